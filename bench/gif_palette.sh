#!/bin/sh
# Usage: tools/with-xvfb.sh BUILD/wineprefix sh bench/gif_palette.sh BUILD
# How close a 32-bit window saved as GIF stays to the picture, beside ImageMagick's own GIF of
# the same picture (`convert in.png out.gif`, and without dithering, `+dither`), all measured
# by ImageMagick's compare:
#   mean     mean absolute difference over every channel of every pixel (0..255)
#   largest  the largest difference of any channel of any pixel (0..255)
# Pictures: ImageMagick's built-in rose: and logo:, and a photo-like 640 x 480 picture of
# smooth random clouds (many thousands of colours). Also prints the time of our GIF save.
set -eu
build="$(cd "$1" && pwd)"
exe="$build/win/bench/kav_bench_gif.exe"
here="$(cd "$(dirname "$0")/.." && pwd)"
dir="$(mktemp -d /tmp/kav_gif_palette.XXXXXX)"
trap 'rm -rf "$dir"' EXIT
cd "$dir"

convert rose: rose.png
convert logo: logo.png
convert -seed 7 -size 640x480 plasma:fractal -blur 0x2 -depth 8 photo.png
for name in rose logo photo; do
    convert "$name.png" "$name.im.gif"
    convert "$name.png" +dither "$name.imnd.gif"
done

KAV_GIF_BENCH_DIR="Z:$(echo "$dir" | tr / '\\\\')" KAV_GIF_BENCH_FILES="rose logo photo" \
    "$here/tools/wine-run.sh" "$exe" 2>/dev/null

# The normalised figure that compare prints in brackets, on the 0..255 scale.
figure() {  # metric, picture, GIF
    compare -metric "$1" "$2" "$3" null: 2>&1 | sed -n 's/.*(\([0-9.e+-]*\)).*/\1/p' | head -n 1 |
        awk '{ printf "%.2f", $1 * 255 }'
}
row() { printf '%-6s %-8s %8s %8s   %8s %8s   %8s %8s\n' "$@"; }
row picture colours ours "" IM "" "IM +dither" ""
row "" "" mean largest mean largest mean largest
for name in rose logo photo; do
    if [ ! -s "$name.kav.gif" ]; then echo "$name: no GIF written by the program"; continue; fi
    row "$name" "$(identify -format '%k' "$name.png")" \
        "$(figure MAE "$name.png" "$name.kav.gif")" "$(figure PAE "$name.png" "$name.kav.gif")" \
        "$(figure MAE "$name.png" "$name.im.gif")" "$(figure PAE "$name.png" "$name.im.gif")" \
        "$(figure MAE "$name.png" "$name.imnd.gif")" "$(figure PAE "$name.png" "$name.imnd.gif")"
done
