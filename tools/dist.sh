#!/bin/sh
# Usage: tools/dist.sh KAVLIB_EXE OUTPUT_DIR
# Packs the download OUTPUT_DIR/kavlib-VERSION.zip: one folder kavlib-VERSION/ holding
# kavlib.exe, the sample image-data files in samples/ and README.txt (docs/download-readme.txt
# with CR LF line ends, so every Windows editor shows its lines). Prints the zip's path.
set -eu
exe="$1"
mkdir -p "$2"
out="$(cd "$2" && pwd)"
src="$(cd "$(dirname "$0")/.." && pwd)"
version="$(sed -n 's/^#define KAV_VERSION "\([^"]*\)".*/\1/p' "$src/include/kavlib.h")"
[ -n "$version" ] || { echo "no KAV_VERSION in include/kavlib.h" >&2; exit 1; }
name="kavlib-$version"
stage="$(mktemp -d /tmp/kav_dist_stage.XXXXXX)"
trap 'rm -rf "$stage"' EXIT

mkdir -p "$stage/$name/samples"
cp "$exe" "$stage/$name/kavlib.exe"
cp "$src"/samples/imagedata_*.txt "$stage/$name/samples/"
sed 's/$/\r/' "$src/docs/download-readme.txt" > "$stage/$name/README.txt"

rm -f "$out/$name.zip"
(cd "$stage" && zip -q -r -X "$out/$name.zip" "$name")
echo "$out/$name.zip"
