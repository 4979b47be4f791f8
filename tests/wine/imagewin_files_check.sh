#!/bin/sh
# Image files in and out of image windows, judged by an independent decoder (ImageMagick).
# 1. makes input pictures from ImageMagick's built-in "rose:" and raw RGB references of them;
# 2. runs the Wine test program, which loads them into windows and saves windows into the folder;
# 3. reads back what the program saved.
# Usage: imagewin_files_check.sh PATH/imagewin_files_test.exe   (DISPLAY and KAV_WINEPREFIX set)
set -eu
exe="$1"
here="$(cd "$(dirname "$0")" && pwd)"
dir="$(mktemp -d /tmp/kav_image_files.XXXXXX)"
trap 'rm -rf "$dir"' EXIT
cd "$dir"

convert rose: rose.bmp
convert rose: rose.png
convert rose: rose.tif
convert rose: -quality 95 rose.jpg
convert rose: rose.ico
convert rose: -colors 16 rose16.gif
convert rose: -depth 8 rgb:rose.rgb
convert rose.jpg -depth 8 rgb:rose_jpg.rgb
convert rose16.gif -depth 8 rgb:rose16.rgb
convert rose.ico -depth 8 rgb:rose_ico.rgb
convert -size 100x100 gradient:red-blue square.png

fail=0
KAV_IMAGE_TEST_DIR="Z:$dir" "$here/../../tools/wine-run.sh" "$exe" || fail=1

check() {  # description, then a command that must succeed
    what="$1"; shift
    if "$@" >/dev/null 2>&1; then echo "ok   $what"; else echo "FAIL $what"; fail=1; fi
}
same_pixels() {  # saved file, raw reference, width x height, colour tolerance (fuzz)
    # The count of differing pixels comes first on the error stream; a reader warning may follow.
    ae=$(compare -metric AE ${4:+-fuzz $4} "$1" -size "$3" -depth 8 "rgb:$2" null: 2>&1 >/dev/null |
         head -n 1 | sed 's/^\([0-9]*\).*/\1/' || true)
    [ "$ae" = "0" ]
}
byte_at() { od -An -tu1 -j "$2" -N1 "$1" | tr -d ' '; }
size_is() { [ "$(identify -format '%wx%h' "$1[0]")" = "$2" ]; }

# 32-bit window 37 x 23: 24-bit files holding the picture.
for f in t32.bmp t32.png t32.tif t32.gif t32.jpg; do
    check "$f readable, 37x23" size_is "$f" 37x23
done
check "t32.bmp pixels" same_pixels t32.bmp t32.rgb 37x23
check "t32.png pixels" same_pixels t32.png t32.rgb 37x23
check "t32.tif pixels (16-bit palette scaling)" same_pixels t32.tif t32.rgb 37x23 1%
# More than 256 colours: the GIF holds the picture through a palette made for it, which keeps
# every pixel far closer than any fixed palette of 256 colours could.
check "t32.gif pixels close to the picture" same_pixels t32.gif t32.rgb 37x23 6%
check "t32.jpg within tolerance" same_pixels t32.jpg t32.rgb 37x23 12%
check "t32.bmp is 24-bit" test "$(byte_at t32.bmp 28)" = 24
check "t32.png is truecolour" test "$(byte_at t32.png 25)" = 2

# 8-bit window of width 5: indexed files with the window's palette, rows not sheared.
for f in w5.bmp w5.png w5.tif w5.gif w5.jpg; do
    check "$f readable, 5x4" size_is "$f" 5x4
done
check "w5.bmp pixels" same_pixels w5.bmp w5.rgb 5x4
check "w5.png pixels" same_pixels w5.png w5.rgb 5x4
check "w5.gif pixels" same_pixels w5.gif w5.rgb 5x4
check "w5.tif pixels (16-bit palette scaling)" same_pixels w5.tif w5.rgb 5x4 1%
check "w5.bmp is 8-bit" test "$(byte_at w5.bmp 28)" = 8
check "w5.png is paletted" test "$(byte_at w5.png 25)" = 3
check "w5.tif is paletted" sh -c "identify -verbose w5.tif | grep -qi 'Type: Palette'"

# Names and extensions.
check "out becomes out.png" test -s out.png
check "up.PNG kept" test -s up.PNG
check "up.PNG got no second extension" test ! -e up.PNG.png
check "a becomes a.png" test -s a.png
check "photo.jpeg becomes photo.jpeg.jpg" test -s photo.jpeg.jpg
check "photo.jpeg.jpg is a JPEG" sh -c "[ \"\$(identify -format %m photo.jpeg.jpg)\" = JPEG ]"
check "width 0 writes nothing" sh -c "! ls zero* 2>/dev/null | grep -q ."

exit $fail
