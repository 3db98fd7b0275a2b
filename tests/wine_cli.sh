#!/bin/sh
# lumaroth-cli.exe under Wine, in a Japanese and an English locale (code pages 932 and
# 1252): a song's Shift-JIS title reaches the console as UTF-8, and a song whose name the
# code page cannot hold opens and renders into a WAV file of such a name.
#   tests/wine_cli.sh lumaroth-cli.exe CORPUS_DIR
set -eu
cli=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
# The title's five characters each end in the byte 5C, a backslash in ASCII.
cp "$2/synthetic-sjis/sjis_5c_trail_format1.mid" "曲ソ表.mid"
for lang in ja_JP.UTF-8 en_US.UTF-8; do
  LANG=$lang wine "$cli" info "曲ソ表.mid" >info.txt 2>&1 || { cat info.txt; exit 1; }
  grep -q "名前：ソ表能十予（0x5C後続バイト）" info.txt || {
    echo "$lang: the title is not the song's"; cat info.txt; exit 1; }
done
status=0
LANG=en_US.UTF-8 wine "$cli" render "曲ソ表.mid" "曲ソ表.wav" 2>render.txt || status=$?
[ "$status" = 0 ] && [ -s "曲ソ表.wav" ] || { echo "render: exit $status"; cat render.txt; exit 1; }
echo "lumaroth-cli.exe: titles, names and render as expected"
