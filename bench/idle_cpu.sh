#!/bin/sh
# Usage: tools/with-xvfb.sh BUILD/wineprefix bench/idle_cpu.sh BUILD [SECONDS]
# Measures over SECONDS (60 by default) the processor time of two waiting programs and of the
# Wine server their waits talk to: the converter waiting for a button, and a program waiting in
# a line input in Text window 0 (kav_bench_idle_input). Each is started alone and left to settle.
# First the Wine server is measured with neither running: what it spends on its own (its clock
# keeps the processes' shared time current many times a second) is in both figures.
set -e
build="$(cd "$1" && pwd)"
seconds="${2:-60}"
here="$(cd "$(dirname "$0")/.." && pwd)"
hz=$(getconf CLK_TCK)
# The Wine server of this prefix works in a folder named after the prefix's device and inode.
tag=$(printf 'server-%x-%x' $(stat -c '%d %i' "$KAV_WINEPREFIX"))
# Processor time of a process in microseconds: the sum over its threads of the time each has run
# (/proc/PID/task/*/schedstat, in nanoseconds), or from the clock ticks of /proc/PID/stat where
# that is missing (one tick is 1/CLK_TCK s: 0.017 % of one processor over 60 s).
ticks() {
  if [ -r "/proc/$1/schedstat" ]; then
    cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { printf "%.0f\n", s / 1000 }'
  else
    awk -v hz="$hz" '{ printf "%.0f\n", ($14 + $15) * 1000000 / hz }' "/proc/$1/stat" 2>/dev/null || echo 0
  fi
}
find_server() {
  for p in $(pgrep -f wineserver); do
    case "$(readlink "/proc/$p/cwd" 2>/dev/null)" in *"$tag") echo "$p"; return ;; esac
  done
}

# measure LABEL EXE: starts EXE, waits 6 s, measures for the given seconds, ends it.
measure() {
  "$here/tools/wine-run.sh" "$2" >/dev/null 2>&1 &
  sleep 6
  pid=$(pgrep -n -f "^$2" || true)
  [ -n "$pid" ] || { echo "$1: $2 did not start"; return 1; }
  server=$(find_server)
  a=$(ticks "$pid"); s=$( [ -n "$server" ] && ticks "$server" || echo 0)
  sleep "$seconds"
  b=$(ticks "$pid"); t=$( [ -n "$server" ] && ticks "$server" || echo 0)
  kill "$pid" 2>/dev/null || true
  while kill -0 "$pid" 2>/dev/null; do sleep 0.2; done
  awk -v l="$1" -v e="$(basename "$2")" -v a="$a" -v b="$b" -v s="$s" -v t="$t" -v n="$seconds" 'BEGIN {
    p = (b - a) / 10000 / n; w = (t - s) / 10000 / n
    printf "idle over %d s, %s: %s %.3f%% of one processor, wineserver %.3f%%, together %.3f%%\n", n, l, e, p, w, p + w }'
}

cd "$here/samples"
server=$(find_server)
s=$( [ -n "$server" ] && ticks "$server" || echo 0)
sleep "$seconds"
t=$( [ -n "$server" ] && ticks "$server" || echo 0)
awk -v s="$s" -v t="$t" -v n="$seconds" 'BEGIN {
  printf "idle over %d s, no program running: wineserver %.3f%% of one processor\n", n, (t - s) / 10000 / n }'
measure "converter waiting for a button" "$build/win/kavlib.exe"
measure "line input waiting for keys in Text window 0" "$build/win/bench/kav_bench_idle_input.exe"
