#!/usr/bin/env bash
# Stamps a copy of the bundled example tree and shows what was written.
set -euo pipefail
cd "$(dirname "$0")/.."

stamp=build/native/bin/varnel-stamp
demo=build/demo/movies
rm -rf "$demo"
mkdir -p "$(dirname "$demo")"
cp -r examples/movies "$demo"

echo "== varnel-stamp on $demo"
"$stamp" --line "5:欢迎观看本站电影" --line "3:更多精彩影片 敬请关注" --lead-in 10 "$demo"

echo
echo "== the tree afterwards"
(cd "$demo" && find . -type f | LC_ALL=C sort)

echo
echo "== Film.SRT (written in code page 936 with CR LF; shown here as UTF-8)"
iconv -f CP936 -t UTF-8 "$demo/Film.SRT" | sed 's/\r$/   [CR LF]/'
