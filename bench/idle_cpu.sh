#!/bin/sh
# Usage: tools/with-xvfb.sh BUILD/wineprefix bench/idle_cpu.sh BUILD
# Starts the converter, lets it settle and measures over 10 s the processor time of the program
# while it waits for a button, and of the Wine server that its polling talks to.
set -e
build="$(cd "$1" && pwd)"
here="$(cd "$(dirname "$0")/.." && pwd)"
cd "$here/samples"
"$here/tools/wine-run.sh" "$build/win/kavlib.exe" >/dev/null 2>&1 &
sleep 6
pid=$(pgrep -n -f "^$build/win/kavlib.exe" || true)
# The Wine server of this prefix works in a folder named after the prefix's device and inode.
tag=$(printf 'server-%x-%x' $(stat -c '%d %i' "$KAV_WINEPREFIX"))
server=""
for p in $(pgrep -f wineserver); do
  case "$(readlink "/proc/$p/cwd" 2>/dev/null)" in *"$tag") server=$p ;; esac
done
[ -n "$pid" ] || { echo "kavlib.exe did not start"; exit 1; }
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
hz=$(getconf CLK_TCK)
a=$(ticks "$pid"); s=$( [ -n "$server" ] && ticks "$server" || echo 0)
sleep 10
b=$(ticks "$pid"); t=$( [ -n "$server" ] && ticks "$server" || echo 0)
awk -v a="$a" -v b="$b" -v s="$s" -v t="$t" -v hz="$hz" 'BEGIN {
  printf "idle over 10 s: kavlib.exe %.2f%% of one processor, wineserver %.2f%%\n", (b - a) * 100 / hz / 10, (t - s) * 100 / hz / 10 }'
kill "$pid" 2>/dev/null || true
