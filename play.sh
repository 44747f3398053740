#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it under Wine.
#   ./play.sh                     play on this desktop
#   ./play.sh --screenshot FILE   start it in a private X server, save a PNG of
#                                 the main window after start-up, close it
set -u
cd "$(dirname "$0")"
root=$(pwd)

shot=""
if [ "${1:-}" = "--screenshot" ]; then
  [ -n "${2:-}" ] || { echo "usage: ./play.sh [--screenshot FILE]" >&2; exit 2; }
  shot=$(realpath -m "$2")
elif [ $# -gt 0 ]; then
  echo "usage: ./play.sh [--screenshot FILE]" >&2
  exit 2
fi

if [ -z "$shot" ] && [ -z "${DISPLAY:-}" ]; then
  echo "No display to show the game on: run it from a desktop session, or use ./play.sh --screenshot FILE." >&2
  exit 1
fi

tools/ensure-packages.sh play || exit 1
echo "Building..."
if ! cmake -S "$root" -B build/windows -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake >build/play-configure.log 2>&1 \
   && ! { mkdir -p build && cmake -S "$root" -B build/windows -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake >build/play-configure.log 2>&1; }; then
  cat build/play-configure.log
  exit 1
fi
if ! cmake --build build/windows -j"$(nproc)" --target WOrvan help_chm >build/play-build.log 2>&1 \
   && ! cmake --build build/windows -j"$(nproc)" --target WOrvan >build/play-build.log 2>&1; then
  grep -E "error|Error" build/play-build.log | head -40
  exit 1
fi
export WINEDEBUG=-all

if [ -z "$shot" ]; then
  exec wine build/windows/WOrvan.exe
fi

# ---------------------------------------------------------------- screenshot
work=$(mktemp -d /tmp/worvan-shot.XXXXXX)
xvfb=""
cleanup() {
  WINEPREFIX="$work/prefix" wineserver -k >/dev/null 2>&1
  [ -n "$xvfb" ] && kill "$xvfb" >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT
for n in $(seq 140 170); do
  [ -e "/tmp/.X$n-lock" ] && continue
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  export DISPLAY=":$n"
  break
done
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
export WINEPREFIX="$work/prefix"
wineboot -i >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
mkdir -p "$WINEPREFIX/drive_c/Orvan"
cp build/windows/WOrvan.exe "$WINEPREFIX/drive_c/Orvan/"
[ -f build/windows/WOrvan.chm ] && cp build/windows/WOrvan.chm "$WINEPREFIX/drive_c/Orvan/"
wine 'C:\Orvan\WOrvan.exe' >/dev/null 2>&1 &
game=$!
window=""
for _ in $(seq 100); do
  window=$(xdotool search --name "^Orvan's Knight$" 2>/dev/null | head -1)
  [ -n "$window" ] && break
  sleep 0.2
done
if [ -z "$window" ]; then
  echo "The game's window did not appear." >&2
  exit 1
fi
sleep 2  # let it paint
eval "$(xdotool getwindowgeometry --shell "$window")"
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$shot"
wineserver -k >/dev/null 2>&1
wait "$game" 2>/dev/null
echo "Saved $shot"
