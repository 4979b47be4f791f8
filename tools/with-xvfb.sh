#!/bin/sh
# Usage: tools/with-xvfb.sh PREFIX_DIR COMMAND...
# Runs COMMAND on a private Xvfb display (1280x1024x24) with the Wine prefix PREFIX_DIR,
# so tests never see the user's windows nor another test run's.
set -e
prefix="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"; shift
here="$(cd "$(dirname "$0")" && pwd)"
n=90
while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
i=0
while [ ! -e "/tmp/.X11-unix/X$n" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
export DISPLAY=":$n" KAV_WINEPREFIX="$prefix"
cleanup() { WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1 || true; kill "$xvfb" 2>/dev/null || true; }
trap cleanup EXIT INT TERM
"$here/wine-prefix.sh" "$prefix"
# Keep one wineserver alive for the whole run so each test does not pay for its start.
# Its helper processes (services, the desktop) start now, away from the test's output pipes:
# a helper that inherited a test's pipe would keep the test runner waiting for its end.
WINEPREFIX="$prefix" wineserver -p >/dev/null 2>&1 || true
"$here/wine-run.sh" wineboot >/dev/null 2>&1 </dev/null || true
status=0
"$@" || status=$?
exit $status
