#!/usr/bin/env bash
# The tour search inside the running program under Wine, compared with the
# same search in tour-bench. Prints, for each position of bench/hard_positions.txt,
# the squares placed, the time in tour-bench and in the program (from the
# "Solution" command until its handler returns), and the program's speed as a
# share of tour-bench's; then how soon a key press stops a long search.
# Needs build/native and build/windows built (./test.sh builds both).
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
positions="$root/bench/hard_positions.txt"
bench="$root/build/native/bench/tour-bench"
driver="$root/build/windows/tests/e2e/e2e_driver.exe"
exe="$root/build/windows/WOrvan.exe"
for f in "$bench" "$driver" "$exe"; do [ -f "$f" ] || { echo "missing $f: build first" >&2; exit 1; }; done

work=$(mktemp -d /tmp/worvan-bench.XXXXXX)
xvfb=""
cleanup() { [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null; WINEPREFIX="$work/template" wineserver -k 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  for n in $(seq 180 199); do
    [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 & xvfb=$!
    export DISPLAY=":$n"; break
  done
  sleep 1
fi
export WINEDEBUG=-all
sh tests/e2e/make_template.sh "$work/template" >/dev/null 2>&1
export WORVAN_WINE_TEMPLATE="$work/template"
export WORVAN_BENCH_POSITIONS="Z:$(echo "$positions" | tr / '\\')"

grep -v '^#' "$positions" | "$bench" solve --limit-ms 1000 > "$work/core.txt"
sh tests/e2e/run_e2e.sh "$driver" "$exe" bench_solution_command > "$work/program.txt" || true
sh tests/e2e/run_e2e.sh "$driver" "$exe" bench_key_press_stops_a_search > "$work/stop.txt" || true

echo "position                                   outcome  squares     tour-bench ms  program ms  program speed"
i=0
grep -v '^#' "$positions" | while read -r text; do
  core=$(sed -n "$((i + 1))p" "$work/core.txt")
  outcome=$(echo "$core" | cut -d' ' -f1)
  squares=$(echo "$core" | cut -d' ' -f6)
  micros=$(echo "$core" | cut -d' ' -f7)
  program=$(grep "^RESULT $i " "$work/program.txt" | cut -d' ' -f3,4)
  pms=${program#* }
  awk -v t="$text" -v o="$outcome" -v s="$squares" -v us="$micros" -v p="$pms" -v po="${program% *}" 'BEGIN {
    cms = us / 1000; share = (p > 0 && cms > 0) ? sprintf("%.0f %%", 100 * cms / p) : "-";
    printf "%-42.42s %-8s %-11d %-14.1f %-11s %s (program: %s)\n", t, o, s, cms, p, share, po }'
  i=$((i + 1))
done
echo
echo "key press during a long search, time until the program handles its next message (ms):"
grep "^RESULT stop" "$work/stop.txt" | cut -d' ' -f4 | tr '\n' ' '
echo
