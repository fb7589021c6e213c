#!/usr/bin/env bash
# The menu entry and the AppStream metadata validate without warnings.
# Usage: validate_metadata.sh <packaging folder>
set -euo pipefail
DIR=$1
desktop=$(ls "$DIR"/*.desktop)
metainfo=$(ls "$DIR"/*.metainfo.xml)
out=$(desktop-file-validate "$desktop" 2>&1) || { echo "$out"; exit 1; }
# desktop-file-validate exits 0 on hints and warnings too: any output fails.
[ -z "$out" ] || { echo "$out"; exit 1; }
grep -qx 'Exec=zorvat %f' "$desktop"
grep -qx 'Categories=Graphics;2DGraphics;RasterGraphics;' "$desktop"
grep -qx 'MimeType=image/jpeg;image/png;image/bmp;' "$desktop"
appstreamcli validate --no-net "$metainfo"
# The metadata and the help page name every format read and written.
help=$DIR/../resources/program/Zorvat.html
for format in JPEG PNG BMP PDF DXF SVG; do
    grep -q "$format" "$metainfo" || { echo "metainfo does not name $format"; exit 1; }
    grep -q "$format" "$help" || { echo "the help page does not name $format"; exit 1; }
done
for type in image/jpeg image/png image/bmp; do
    grep -q "<mediatype>$type</mediatype>" "$metainfo" || { echo "metainfo lacks $type"; exit 1; }
done
echo "metadata: ok"
