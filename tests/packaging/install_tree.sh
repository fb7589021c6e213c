#!/usr/bin/env bash
# Installs the build into <work>/root (DESTDIR, prefix /usr) and checks the
# tree. The program folder's sample settings then say 150 dpi, so that tests
# can tell which settings file was read, and the data folder is made
# read-only, as an installed program's is.
# Usage: install_tree.sh <build dir> <work dir>
set -euo pipefail
BUILD=$(readlink -f "$1")
WORK=$2
[ -d "$WORK" ] && chmod -R u+w "$WORK"
rm -rf "$WORK"
mkdir -p "$WORK"
WORK=$(readlink -f "$WORK")
ROOT=$WORK/root
fail() { echo "install: $*" >&2; exit 1; }

DESTDIR=$ROOT cmake --install "$BUILD" --prefix /usr >"$WORK/install.log"

# The tree.
[ -x "$ROOT/usr/bin/zorvat" ] || fail "no bin/zorvat"
# Read whole before matching: grep -q stops at the first match, and the
# program writing the rest would fail on the closed pipe.
batch_help=$("$ROOT/usr/bin/zorvat-batch" --help) || fail "no working bin/zorvat-batch"
grep -q '^Usage: zorvat-batch' <<<"$batch_help" || fail "bin/zorvat-batch --help shows no usage"
DATA=$ROOT/usr/share/zorvat
for f in Zorvat.html zorvat.ini; do [ -f "$DATA/$f" ] || fail "no share/zorvat/$f"; done
for d in bihin moji; do
    ls "$DATA/buhin/$d" | grep -qiE '\.(jpg|bmp)$' || fail "no parts in share/zorvat/buhin/$d"
done
[ -f "$ROOT/usr/share/icons/hicolor/scalable/apps/zorvat.svg" ] || fail "no scalable icon"
for s in 16 32 48 64 128 256; do
    [ -f "$ROOT/usr/share/icons/hicolor/${s}x${s}/apps/zorvat.png" ] || fail "no ${s}px icon"
done
desktop=$(ls "$ROOT"/usr/share/applications/*.desktop) || fail "no desktop file"
grep -q '^Icon=zorvat$' "$desktop" || fail "desktop file names another icon"
ls "$ROOT"/usr/share/metainfo/*.metainfo.xml >/dev/null || fail "no metainfo"
# Manual pages: installed compressed, they render without a warning, and the
# batch page describes every option the program's own usage lists.
for page in zorvat zorvat-batch; do
    gz=$ROOT/usr/share/man/man1/$page.1.gz
    [ -f "$gz" ] || fail "no manual page $page.1.gz"
    warnings=$(MANWIDTH=80 man --warnings -l "$gz" 2>&1 >/dev/null) || fail "man cannot show $page.1"
    [ -z "$warnings" ] || fail "$page.1: $warnings"
    text=$(MANWIDTH=80 man -l "$gz" 2>/dev/null)
    grep -q '^ENGLISH' <<<"$text" || fail "$page.1 has no English section"
    for format in JPEG PNG BMP PDF; do grep -q "$format" <<<"$text" || fail "$page.1 does not name $format"; done
done
batch_page=$(MANWIDTH=200 man -l "$ROOT/usr/share/man/man1/zorvat-batch.1.gz" 2>/dev/null)
for option in $(grep -oE '(^|[ ,])--?[a-z][a-z-]*' <<<"$batch_help" | tr -d ' ,' | sort -u); do
    grep -q -- "$option\b" <<<"$batch_page" || fail "zorvat-batch.1 does not describe $option"
done

sed -i 's/^dpi=.*/dpi=150/' "$DATA/zorvat.ini"
chmod -R a-w "$DATA"
chmod a+rx "$WORK" "$ROOT"
echo "install: ok"

