#!/usr/bin/env bash
# Installs what is missing, builds the native and the Windows trees, runs every
# test of both through ctest (the Windows ones under Wine in a private prefix,
# with a private X server when there is no display), stops what it started and
# ends with the line "N passed, M failed".
set -u
cd "$(dirname "$0")"
root=$(pwd)
jobs=$(nproc 2>/dev/null || echo 2)

passed=0
failed=0
note_failure() { echo "FAILED: $*"; failed=$((failed + 1)); }

tools/ensure-packages.sh test || { echo "0 passed, 1 failed"; exit 1; }

# ---------------------------------------------------------------- build
build_tree() {  # name, folder, extra cmake arguments...
  local name=$1 dir=$2
  shift 2
  echo "== building $name"
  if ! cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Release "$@" >"$dir.configure.log" 2>&1; then
    cat "$dir.configure.log"
    return 1
  fi
  if ! cmake --build "$dir" -j"$jobs" >"$dir.build.log" 2>&1; then
    grep -E "error|Error" "$dir.build.log" | head -40
    return 1
  fi
}
mkdir -p build
native_ok=1 windows_ok=1 sanitize_ok=1
build_tree native build/native || { native_ok=0; note_failure "native build"; }
build_tree windows build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake || { windows_ok=0; note_failure "Windows build"; }
if command -v clang++ >/dev/null; then
  build_tree sanitizers build/sanitize -DWORVAN_SANITIZE=ON -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang \
    || { sanitize_ok=0; note_failure "sanitizer build"; }
else
  sanitize_ok=0
fi

# ---------------------------------------------------------------- what the Windows tests need
started_xvfb=""
work=$(mktemp -d /tmp/worvan-test.XXXXXX)
cleanup() {
  for prefix in "$work"/prefix "$work"/template; do
    [ -d "$prefix" ] && WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1
  done
  [ -n "$started_xvfb" ] && kill "$started_xvfb" >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT

display_works() { [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; }
if [ "$windows_ok" = 1 ]; then
  if ! display_works; then
    for n in $(seq 90 120); do
      [ -e "/tmp/.X$n-lock" ] && continue
      Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
      started_xvfb=$!
      export DISPLAY=":$n"
      for _ in $(seq 50); do display_works && break; sleep 0.1; done
      break
    done
  fi
  export WINEDEBUG=-all WINEARCH=win64
  export WINEPREFIX="$work/prefix"
  echo "== preparing a private Wine prefix"
  wineboot -i >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  wineserver -p >/dev/null 2>&1
  if [ -x tests/e2e/make_template.sh ] || [ -f tests/e2e/make_template.sh ]; then
    sh tests/e2e/make_template.sh "$work/template" >/dev/null 2>&1 && export WORVAN_WINE_TEMPLATE="$work/template"
  fi
fi

# ---------------------------------------------------------------- run
run_ctest() {  # name, folder
  local name=$1 dir=$2 log
  log="$dir.ctest.log"
  echo "== testing $name"
  (cd "$dir" && ctest --output-on-failure --timeout 900) >"$log" 2>&1
  grep -E "^ *[0-9]+/[0-9]+ Test +#" "$log" | grep -v " Passed " | sed 's/^/   /'
  local total fails
  total=$(sed -n 's/.*tests failed out of \([0-9]*\).*/\1/p' "$log" | tail -1)
  fails=$(sed -n 's/.* \([0-9]*\) tests failed out of.*/\1/p' "$log" | tail -1)
  if [ -z "$total" ]; then
    note_failure "$name: ctest gave no summary"
    tail -20 "$log"
    return
  fi
  passed=$((passed + total - fails))
  failed=$((failed + fails))
  if [ "$fails" != 0 ]; then
    sed -n '/The following tests FAILED/,$p' "$log"
  fi
  echo "   $name: $((total - fails)) passed, $fails failed (log: $log)"
}
[ "$native_ok" = 1 ] && run_ctest native build/native
[ "$sanitize_ok" = 1 ] && run_ctest sanitizers build/sanitize
[ "$windows_ok" = 1 ] && run_ctest windows build/windows

echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
