#!/bin/sh
# Runs one end-to-end test in a Wine prefix of its own:
#
#   run_e2e.sh DRIVER EXE NAME
#
# DRIVER is e2e_driver.exe, EXE the WOrvan.exe to test, NAME the test (see
# `wine DRIVER --list`). The prefix is a copy of $WORVAN_WINE_TEMPLATE when that
# names a template made by make_template.sh, else a freshly booted one. The
# program is copied to C:\Orvan\ in the prefix, with its help file if there is
# one beside it, so that the positions file it keeps beside itself and its
# settings file are the test's own. Uses the X display in DISPLAY.
# Exits with the driver's exit code: 0 when every check of the test passed.
set -u

if [ $# -ne 3 ]; then
    echo "usage: $0 DRIVER EXE NAME" >&2
    exit 2
fi
driver=$1
exe=$2
name=$3
here=$(cd "$(dirname "$0")" && pwd)

if [ -z "${DISPLAY:-}" ]; then
    echo "$0: DISPLAY is not set: the end-to-end tests need an X display (./test.sh starts an Xvfb)" >&2
    exit 1
fi
for file in "$driver" "$exe"; do
    if [ ! -f "$file" ]; then
        echo "$0: $file does not exist" >&2
        exit 1
    fi
done

: "${WINEDEBUG:=-all}"
export WINEDEBUG
prefix=$(mktemp -d /tmp/wp-e2e-XXXXXX)
export WINEPREFIX="$prefix"

server_started=no
cleanup() {
    if [ "$server_started" = yes ]; then
        wineserver -k >/dev/null 2>&1
        wineserver -w >/dev/null 2>&1
    fi
    rm -rf "$prefix"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

template=${WORVAN_WINE_TEMPLATE:-}
if [ -n "$template" ] && [ -f "$template/.worvan-e2e-template" ]; then
    # Hard links make the copy fast: the 700 MB of DLLs are shared with the
    # template, as Wine never writes them at run time. Whatever Wine or the
    # program may rewrite in place is copied for real: the registry, the ini
    # files of the Windows folder and the users' folders. (Hard links need the
    # template on the same file system as /tmp; elsewhere it is copied whole.)
    cp -al "$template/." "$prefix/" 2>/dev/null || cp -a "$template/." "$prefix/"
    cp -a --remove-destination "$template"/*.reg "$prefix/"
    cp -a --remove-destination "$template"/drive_c/windows/*.ini "$prefix/drive_c/windows/"
    rm -rf "$prefix/drive_c/users"
    cp -a "$template/drive_c/users" "$prefix/drive_c/"
else
    if [ -n "$template" ]; then
        echo "$0: $template is not a finished template; booting a prefix of our own" >&2
    fi
    rmdir "$prefix"
    if ! sh "$here/make_template.sh" "$prefix"; then
        echo "$0: could not make a Wine prefix in $prefix" >&2
        exit 1
    fi
fi

mkdir -p "$prefix/drive_c/Orvan"
cp "$exe" "$prefix/drive_c/Orvan/WOrvan.exe"
help_file="${exe%.exe}.chm"
if [ -f "$help_file" ]; then
    cp "$help_file" "$prefix/drive_c/Orvan/WOrvan.chm"
fi

# A wine server of the prefix's own, started before the driver so that the
# driver and the program share it. It would outlive a test that was killed by
# at most ten seconds.
server_started=yes
wineserver -p10
wine "$driver" "$name" 'C:\Orvan\WOrvan.exe'
code=$?
exit $code
