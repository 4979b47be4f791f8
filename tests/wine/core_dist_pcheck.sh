#!/bin/sh
# The download as a user gets it: packs the zip with tools/dist.sh (what `make dist` runs),
# unpacks it into an empty folder, checks what it holds and starts the program from there.
# Usage: core_dist_pcheck.sh PATH/core_dist_ptest.exe PATH/kavlib.exe   (DISPLAY, KAV_WINEPREFIX set)
set -eu
exe="$1"
kavlib="$2"
tools="$(cd "$(dirname "$0")/../../tools" && pwd)"
work="$(mktemp -d /tmp/kav_dist.XXXXXX)"
trap 'rm -rf "$work"' EXIT

zip="$("$tools/dist.sh" "$kavlib" "$work/out")"
mkdir "$work/user"
(cd "$work/user" && unzip -q "$zip")
folder="$(ls "$work/user")"

fail=0
check() {  # description, then a command that must succeed
    what="$1"; shift
    if "$@" >/dev/null 2>&1; then echo "ok   $what"; else echo "FAIL $what"; fail=1; fi
}
check "one folder named after the version" test "$folder" = "kavlib-$(sed -n 's/^#define KAV_VERSION "\([^"]*\)".*/\1/p' "$tools/../include/kavlib.h")"
dir="$work/user/$folder"
check "the program" test -s "$dir/kavlib.exe"
check "the samples" test -s "$dir/samples/imagedata_rings.txt" -a -s "$dir/samples/imagedata_gradient.txt" -a -s "$dir/samples/imagedata_grid_full.txt"
crlf_lines() { [ "$(grep -c "$(printf '\r')\$" "$1")" -eq "$(wc -l < "$1")" ]; }
check "the notes, on log files too" grep -q "^Log files" "$dir/README.txt"
check "the notes with CR LF line ends" crlf_lines "$dir/README.txt"
# A bare Windows has the system's own DLLs only: nothing of the compiler's run time may be needed.
imports="$(x86_64-w64-mingw32-objdump -p "$dir/kavlib.exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')"
for dll in $imports; do
    case "$dll" in
        kernel32.dll|user32.dll|gdi32.dll|gdiplus.dll|comdlg32.dll|shell32.dll|msvcrt.dll|advapi32.dll|ole32.dll) ;;
        *) echo "FAIL imports $dll, which a bare Windows lacks"; fail=1 ;;
    esac
done

KAV_DIST_DIR="Z:$dir" "$tools/wine-run.sh" "$exe" </dev/null || fail=1
check "nothing written beside the program" test "$(ls "$dir" | tr '\n' ' ')" = "README.txt kavlib.exe samples "
exit $fail
