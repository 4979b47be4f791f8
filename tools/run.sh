#!/bin/sh
# Usage: tools/run.sh BUILD_DIR
# Starts kavlib.exe under Wine on the user's display, or on a private Xvfb when there is none.
set -e
build="$(cd "$1" && pwd)"
here="$(cd "$(dirname "$0")" && pwd)"
exe="$build/win/kavlib.exe"
export KAV_WINEPREFIX="$build/wineprefix-run"
if [ -n "$DISPLAY" ]; then
  "$here/wine-prefix.sh" "$KAV_WINEPREFIX"
  cd "$(dirname "$here")/samples"
  exec "$here/wine-run.sh" "$exe"
fi
n=70
while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT INT TERM
i=0
while [ ! -e "/tmp/.X11-unix/X$n" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
export DISPLAY=":$n"
"$here/wine-prefix.sh" "$KAV_WINEPREFIX"
echo "No display was set: KAVLIB runs on the private X display :$n (1280x1024)."
echo "See it with:   import -display :$n -window root shot.png   (a screenshot)"
echo "         or:   x11vnc -display :$n   then a VNC viewer   (to work it)"
echo "Stop it with Exit in its Main window, or Ctrl+C here."
cd "$(dirname "$here")/samples"
"$here/wine-run.sh" "$exe"
