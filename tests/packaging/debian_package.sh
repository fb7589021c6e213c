#!/usr/bin/env bash
# Builds the Debian package with CPack and checks its name, contents and
# dependencies.
# Usage: debian_package.sh <build dir> <work dir>
set -euo pipefail
BUILD=$(readlink -f "$1")
WORK=$2
rm -rf "$WORK"
mkdir -p "$WORK"
fail() { echo "package: $*" >&2; exit 1; }
cpack --config "$BUILD/CPackConfig.cmake" -B "$WORK" >"$WORK/cpack.log" 2>&1 || { cat "$WORK/cpack.log"; fail "cpack failed"; }
debs=("$WORK"/zorvat_*_amd64.deb)
[ -f "${debs[0]}" ] || fail "no zorvat_<version>_amd64.deb in $(ls "$WORK")"
dpkg-deb -c "${debs[0]}" | awk '{print $6}' >"$WORK/contents"
for f in ./usr/bin/zorvat ./usr/bin/zorvat-batch ./usr/share/zorvat/zorvat.ini ./usr/share/zorvat/Zorvat.html \
         ./usr/share/icons/hicolor/scalable/apps/zorvat.svg \
         ./usr/share/man/man1/zorvat.1.gz ./usr/share/man/man1/zorvat-batch.1.gz; do
    grep -qx "$f" "$WORK/contents" || fail "$f is not in the package"
done
grep -qE '^\./usr/share/zorvat/buhin/bihin/.+\.(jpg|bmp)$' "$WORK/contents" || fail "no parts in buhin/bihin"
grep -qE '^\./usr/share/zorvat/buhin/moji/.+\.(jpg|bmp)$' "$WORK/contents" || fail "no parts in buhin/moji"
grep -qE '^\./usr/share/applications/.+\.desktop$' "$WORK/contents" || fail "no desktop file"
grep -qE '^\./usr/share/metainfo/.+\.metainfo\.xml$' "$WORK/contents" || fail "no metainfo"
depends=$(dpkg-deb -f "${debs[0]}" Depends)
for p in libqt6widgets6 libsane1 libjpeg62-turbo fonts-ipafont-gothic qt6-translations-l10n; do
    echo "$depends" | grep -q "\b$p\b" || fail "Depends lacks $p: $depends"
done
# The description names every format read and written.
description=$(dpkg-deb -f "${debs[0]}" Description)
for format in JPEG PNG BMP PDF DXF SVG; do
    echo "$description" | grep -q "\b$format\b" || fail "the description does not name $format: $description"
done
echo "package: ok"
