#!/bin/sh
# The generated layout source re-creates the layout it describes.
# 1. the layout maker arranges windows and saves the report's source and its layout;
# 2. the source becomes the body of KAV_Setup of a new program, built with the cross compiler
#    against kavlib.h and the libraries only;
# 3. the new program saves the layout it made, which must equal the first.
# Usage: report_roundtrip_check.sh MAKER.exe CXX INCLUDE_DIR REPLAY_MAIN.a ENTRY.a LIBRARY.a
set -eu
maker="$1"; cxx="$2"; include="$3"; replay_main="$4"; entry="$5"; library="$6"
here="$(cd "$(dirname "$0")" && pwd)"
run="$here/../../../tools/wine-run.sh"
dir="$(mktemp -d /tmp/kav_roundtrip.XXXXXX)"
trap 'rm -rf "$dir"' EXIT
cd "$dir"

"$run" "$maker"
for f in layout_source.txt original.txt; do
    [ -s "$f" ] || { echo "FAIL the layout maker wrote no $f"; exit 1; }
done
fail=0
tab="$(printf '\t')"
for call in KAV_CreateImage8 KAV_CreateImage8FL KAV_CreateImageFL KAV_PlaceMain KAV_ResizeButtonBox; do
    grep -q "$tab$call(" layout_source.txt || { echo "FAIL no $call line"; fail=1; }
done

{
    printf '#include "kavlib.h"\n\nvoid KAV_Setup(void)\n{\n'
    cat layout_source.txt
    printf '\trun_state.start_requested = 1;\n}\n'
} > replay_setup.cpp
"$cxx" -std=c++17 -Wall -Werror -I "$include" -mwindows -static -Wl,--undefined=WinMain -o replay.exe replay_setup.cpp \
    -Wl,--whole-archive "$replay_main" -Wl,--no-whole-archive "$entry" "$library" \
    -lgdiplus -lcomdlg32 -lshell32 -lgdi32 -luser32 -lkernel32 || { echo "FAIL the source does not build"; exit 1; }
"$run" ./replay.exe
if diff original.txt replayed.txt; then echo "ok   the layouts are the same"; else echo "FAIL the layouts differ"; fail=1; fi
cat original.txt
exit $fail
