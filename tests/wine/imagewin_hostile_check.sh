#!/bin/sh
# Damaged and lying image files loaded into image windows. ImageMagick makes sound pictures of
# every kind the open dialog offers (except the metafiles, which the test draws itself); the
# test program mutates them, seeded, and loads each result into an 8-bit and a 32-bit window.
# Usage: imagewin_hostile_check.sh PATH/imagewin_hostile_test.exe   (DISPLAY and KAV_WINEPREFIX set)
set -eu
exe="$1"
here="$(cd "$(dirname "$0")" && pwd)"
dir="$(mktemp -d /tmp/kav_hostile.XXXXXX)"
# KAV_HOSTILE_KEEP=1 keeps the folder of pictures and damaged copies for a closer look.
trap 'rm -rf "$dir"' EXIT; [ -n "${KAV_HOSTILE_KEEP:-}" ] && trap - EXIT
mkdir "$dir/base"
cd "$dir/base"

convert rose: BMP3:rgb24.bmp
convert rose: -colors 200 -type Palette -compress none BMP3:pal8.bmp
convert rose: -colors 200 -type Palette -compress RLE BMP3:rle8.bmp
convert rose: -colors 12 -type Palette -compress none BMP3:pal4.bmp
convert rose: -monochrome BMP3:mono.bmp
convert rose: -alpha set BMP:argb.bmp
convert rose: rgb.png
convert rose: -colors 64 PNG8:pal.png
convert rose: -interlace PNG -alpha set inter.png
convert rose: -colors 64 plain.gif
convert rose: -colors 32 -interlace GIF inter.gif
convert rose: \( rose: -negate \) -colors 32 -delay 10 anim.gif
convert rose: -quality 90 plain.jpg
convert rose: -interlace JPEG prog.jpg
convert rose: -colorspace Gray grey.jpg
convert rose: -compress none plain.tif
convert rose: -compress LZW lzw.tif
convert rose: -colors 16 -type Palette pal.tif
convert rose: -resize 32x32 one.ico
convert rose: -define icon:auto-resize=48,32,16 multi.ico

KAV_HOSTILE_DIR="Z:$dir" "$here/../../tools/wine-run.sh" "$exe"
