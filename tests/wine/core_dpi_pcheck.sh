#!/bin/sh
# The converter's picture one to one on screen at 96 dpi (the test prefix) and at 144 dpi (150 %
# scaling, a prefix of its own, so every other test keeps 96 dpi). Screenshots of the Button
# box, the open dialog and the screen go to shots/ beside the test program, as PNG files.
# Usage: core_dpi_pcheck.sh PATH/core_dpi_ptest.exe   (DISPLAY and KAV_WINEPREFIX set)
set -eu
exe="$1"
tools="$(cd "$(dirname "$0")/../../tools" && pwd)"
shots="$(cd "$(dirname "$exe")" && pwd)/shots"
work="$(mktemp -d /tmp/kav_dpi.XXXXXX)"
prefix="$(dirname "$KAV_WINEPREFIX")/wineprefix-dpi144"
trap 'WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
mkdir -p "$shots"

# The display setting Wine reads is the user's "LogPixels" under Control Panel\Desktop.
if [ ! -f "$prefix/.kav-dpi144" ]; then
    "$tools/wine-prefix.sh" "$prefix"
    WINEPREFIX="$prefix" WINEDEBUG=-all wine reg add 'HKCU\Control Panel\Desktop' \
        /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
    WINEPREFIX="$prefix" wineserver -w
    touch "$prefix/.kav-dpi144"
fi

fail=0
for dpi in 96 144; do
    [ "$dpi" = 96 ] && run_prefix="$KAV_WINEPREFIX" || run_prefix="$prefix"
    mkdir -p "$work/$dpi"
    echo "== at $dpi dpi"
    KAV_WINEPREFIX="$run_prefix" KAV_DPI=$dpi KAV_WORK="Z:$work/$dpi" KAV_SHOTS="Z:$shots/dpi$dpi-" \
        "$tools/wine-run.sh" "$exe" </dev/null || fail=1
    for bmp in "$shots"/dpi$dpi-*.bmp; do
        [ -f "$bmp" ] && convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
    done
done
exit $fail
