#!/bin/sh
# Builds the Wine prefix that every end-to-end test copies: make_template.sh DIR
#
# A fresh prefix takes several seconds to boot; a copy takes a fraction of one.
# The template is booted once, told that Wine's windows are not managed by a
# window manager (there is none in Xvfb, and without Managed=N Wine waits about
# two seconds each time a top-level window hides or closes), and then left
# alone: run_e2e.sh copies it for each test and never writes into it.
#
# An existing template that was finished (it holds the stamp file) and was
# made by the same Wine is kept, so calling this once per test run is cheap.
set -eu

if [ $# -ne 1 ]; then
    echo "usage: $0 DIR" >&2
    exit 2
fi
dir=$1
stamp=.worvan-e2e-template
wine_version=$(wine --version 2>/dev/null || echo unknown)

if [ -f "$dir/$stamp" ] && [ "$(cat "$dir/$stamp")" = "$wine_version" ]; then
    exit 0
fi

case "$dir" in
    /*) ;;
    *) dir=$(pwd)/$dir ;;
esac
rm -rf "$dir" "$dir.part"
mkdir -p "$dir.part"

export WINEPREFIX="$dir.part"
export WINEDEBUG=-all
# No Mono or Gecko installers, no menu entries or file associations on the host.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

wineboot -i >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\DllOverrides' /v winemenubuilder.exe /t REG_SZ /d '' /f >/dev/null 2>&1
# The registry reaches the disk when the prefix's wine server ends.
wineserver -w

if ! grep -q '"Managed"="N"' "$WINEPREFIX/user.reg"; then
    echo "$0: could not set Managed=N in $WINEPREFIX" >&2
    exit 1
fi

echo "$wine_version" > "$WINEPREFIX/$stamp"
mv "$WINEPREFIX" "$dir"
