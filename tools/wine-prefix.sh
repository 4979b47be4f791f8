#!/bin/sh
# Creates the Wine prefix named by $1 once: boots it without the .NET and HTML engines
# and lets Wine draw window frames and captions itself, as a Windows user sees them.
set -e
prefix="$1"
[ -f "$prefix/.kav-ready" ] && exit 0
mkdir -p "$prefix"
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineboot -i >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d Y /f >/dev/null 2>&1
wineserver -w
touch "$prefix/.kav-ready"
