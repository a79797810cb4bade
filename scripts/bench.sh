#!/usr/bin/env bash
# `make bench`: how fast varnel-stamp stamps a collection, against a baseline
# program that does only what the job needs and against the one-liners a user
# would otherwise write. Every figure is the median of BENCH_RUNS (at least 5)
# runs taken in this one run, the contenders of a case taking turns, so that
# the ratios hold on a busy machine. Every run is checked before its time
# counts: the same set of files holding the same bytes, and nothing else
# changed. Prints one table and saves it as build/bench/results.json.
#
#   BENCH_RUNS=7 BENCH_TREES="small large" make bench
set -euo pipefail
cd "$(dirname "$0")/.."

bin=build/native/bin
stamp=$bin/varnel-stamp
tool=$bin/varnel-bench-tree
baseline=$bin/varnel-bench-baseline
out=build/bench
runs=${BENCH_RUNS:-5}
trees=${BENCH_TREES:-small large wide}

die() { echo "bench: $*" >&2; exit 1; }
[[ "$runs" =~ ^[0-9]+$ ]] && [ "$runs" -ge 5 ] || die "BENCH_RUNS must be a whole number of at least 5"
for program in "$stamp" "$tool" "$baseline"; do
  [ -x "$program" ] || die "$program is missing: run 'make build' first"
done
export LC_ALL=C

lines=(--line "5:欢迎观看本站电影" --line "3:更多精彩影片 敬请关注")
extensions=3GP,MP4,AVI,WMV,FLV,VOB,RMVB,RM

# What a user would write instead: copy one prepared subtitle file beside each
# movie. $1 is the tree, $2 the prepared file. Folders whose names start with
# "." are not entered, as varnel-stamp does not enter them. The copy is made
# with cat, not cp: when Film.avi and Film.mp4 are handled at the same moment
# by xargs -P, the second cp finds Film.SRT just made and fails ("File
# exists"); both one-liners run the same command so that they compare.
movies="-mindepth 1 -type d -name '.*' -prune -o -type f \\( -iname '*.3gp' -o -iname '*.mp4' \
-o -iname '*.avi' -o -iname '*.wmv' -o -iname '*.flv' -o -iname '*.vob' -o -iname '*.rmvb' -o -iname '*.rm' \\)"
find_exec="find \"\$1\" $movies -exec sh -c 'cat \"\$0\" > \"\${1%.*}.SRT\"' \"\$2\" {} \\;"
find_xargs="find \"\$1\" $movies -print0 | xargs -0 -P $(nproc) -n 1 sh -c 'cat \"\$0\" > \"\${1%.*}.SRT\"' \"\$2\""

mkdir -p "$out/trees" "$out/runs"
# Subtitle files taken away between runs are moved here, and removed only
# when the bench ends (see varnel-bench-tree reset).
trash=$out/trash
rm -rf "$trash"
mkdir -p "$trash"
trap 'rm -rf "$trash"' EXIT

# The document of each format, as varnel-stamp writes it, for the contenders
# that copy a prepared file and for the checks.
for format in SRT SSA; do
  rm -rf "$out/document/$format"
  mkdir -p "$out/document/$format"
  : > "$out/document/$format/a.avi"
  "$stamp" -q --format "$format" "${lines[@]}" "$out/document/$format" > /dev/null
  [ -s "$out/document/$format/a.$format" ] || die "varnel-stamp wrote no $format document"
done

# Trees are made once and kept while their description stays the same.
for tree in $trees; do
  want=$("$tool" describe "$tree")
  if [ ! -d "$out/trees/$tree" ] || [ "$(cat "$out/trees/$tree.made" 2>/dev/null)" != "$want" ]; then
    echo "bench: making the $tree tree"
    rm -rf "$out/trees/$tree" "$out/trees/$tree.made"
    "$tool" make "$tree" "$out/trees/$tree" > "$out/trees/$tree.made.new"
    mv "$out/trees/$tree.made.new" "$out/trees/$tree.made"
  fi
done

# run_contender TREE FORMAT MODE CONTENDER: resets the tree, runs the
# contender once, checks what it did, and appends "MICROSECONDS PEAK_KIB" to
# the contender's sample file.
run_contender() {
  local tree=$1 format=$2 mode=$3 contender=$4
  local dir=$out/trees/$tree document=$out/document/$format/a.$format
  local result=$out/runs/result log=$out/runs/output
  local writes
  writes=$("$tool" writes "$tree")
  "$tool" reset "$tree" "$dir" "$trash" "$format" "$mode"
  local -a command
  case $contender in
    varnel-stamp) command=("$stamp" -q --format "$format" "${lines[@]}" "$dir") ;;
    baseline) command=("$baseline" "$document" "$format" "$extensions" "$dir") ;;
    find-exec) command=(bash -c "$find_exec" bench "$dir" "$document") ;;
    xargs-P) command=(bash -c "$find_xargs" bench "$dir" "$document") ;;
  esac
  "$tool" time "$result" -- "${command[@]}" > "$log" 2>&1
  local micros peak status
  read -r micros peak status < "$result"
  [ "$status" -eq 0 ] || die "$contender on $tree ($format, $mode) ended with status $status: $(head -c 500 "$log")"
  case $contender in
    varnel-stamp) [ "$(cat "$log")" = "written: $writes, skipped: 0, failed: 0" ] ||
      die "varnel-stamp on $tree ($format, $mode) said '$(head -c 500 "$log")', not $writes written" ;;
    baseline) [ "$(cat "$log")" = "written: $writes, failed: 0" ] ||
      die "baseline on $tree ($format, $mode) said '$(head -c 500 "$log")', not $writes written" ;;
  esac
  "$tool" check "$tree" "$dir" "$format" "$document" ||
    die "$contender on $tree ($format, $mode) did not write what the others write"
  echo "$micros $peak" >> "$out/runs/$tree-$format-$mode-$contender"
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

rows=()
# measure TREE FORMAT MODE CONTENDER...: one untimed warm-up round of the fast
# contenders, then BENCH_RUNS rounds in which every contender runs once, each
# round starting with the next contender so that none always goes first.
measure() {
  local tree=$1 format=$2 mode=$3
  shift 3
  local contender
  for contender in "$@"; do rm -f "$out/runs/$tree-$format-$mode-$contender"; done
  echo "bench: $tree tree, $format, $mode: $* ($runs runs each)"
  for contender in varnel-stamp baseline; do
    run_contender "$tree" "$format" "$mode" "$contender"
    rm -f "$out/runs/$tree-$format-$mode-$contender"
  done
  local -a order=("$@")
  local round i
  for ((round = 0; round < runs; round++)); do
    for ((i = 0; i < ${#order[@]}; i++)); do
      run_contender "$tree" "$format" "$mode" "${order[(round + i) % ${#order[@]}]}"
    done
  done
  for contender in "$@"; do rows+=("$tree $format $mode $contender"); done
}

for tree in $trees; do
  measure "$tree" SRT fresh varnel-stamp baseline find-exec xargs-P
  measure "$tree" SRT existing varnel-stamp baseline
  measure "$tree" SSA fresh varnel-stamp baseline
  measure "$tree" SSA existing varnel-stamp baseline
done

# The table, and the same figures as JSON.
json=$out/results.json
{
  echo "{"
  echo "  \"runs\": $runs,"
  echo "  \"machine\": {\"cpus\": $(nproc), \"kernel\": \"$(uname -r)\"},"
  echo "  \"find_exec\": $(printf '%s' "$find_exec" | sed 's/\\/\\\\/g; s/"/\\"/g; s/^/"/; s/$/"/'),"
  echo "  \"xargs_p\": $(printf '%s' "$find_xargs" | sed 's/\\/\\\\/g; s/"/\\"/g; s/^/"/; s/$/"/'),"
  echo "  \"results\": ["
} > "$json"

printf '%-6s %-4s %-9s %-13s %8s %10s %10s %10s %9s %9s\n' \
  tree fmt subtitles contender entries "median ms" "min ms" "max ms" "x base" "peak KiB"
declare -A median_of peak_max
for row in "${rows[@]}"; do
  read -r tree format mode contender <<< "$row"
  median_of[$tree-$format-$mode-$contender]=$(cut -d' ' -f1 "$out/runs/$tree-$format-$mode-$contender" | median)
done
separator=""
for row in "${rows[@]}"; do
  read -r tree format mode contender <<< "$row"
  samples=$out/runs/$tree-$format-$mode-$contender
  med=${median_of[$tree-$format-$mode-$contender]}
  min=$(cut -d' ' -f1 "$samples" | sort -n | head -1)
  max=$(cut -d' ' -f1 "$samples" | sort -n | tail -1)
  peak=$(cut -d' ' -f2 "$samples" | sort -n | tail -1)
  read -r _ _ folders files <<< "$("$tool" describe "$tree")"
  entries=$((folders + files))
  base=${median_of[$tree-$format-$mode-baseline]:-}
  ratio=$(awk -v a="$med" -v b="${base:-0}" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }')
  per_second=$(awk -v n="$entries" -v us="$med" 'BEGIN { printf "%.0f", n / (us / 1e6) }')
  case $contender in find-exec | xargs-P) peak_shown=- ;; *) peak_shown=$peak ;; esac
  printf '%-6s %-4s %-9s %-13s %8d %10.1f %10.1f %10.1f %9s %9s\n' "$tree" "$format" "$mode" "$contender" \
    "$entries" "$(awk -v v="$med" 'BEGIN { print v / 1000 }')" "$(awk -v v="$min" 'BEGIN { print v / 1000 }')" \
    "$(awk -v v="$max" 'BEGIN { print v / 1000 }')" "$ratio" "$peak_shown"
  if [ "$contender" = varnel-stamp ] && [ "$peak" -gt "${peak_max[all]:-0}" ]; then peak_max[all]=$peak; fi
  {
    printf '%s    {"tree": "%s", "entries": %d, "format": "%s", "subtitles": "%s", "contender": "%s", ' \
      "$separator" "$tree" "$entries" "$format" "$mode" "$contender"
    printf '"median_us": %s, "min_us": %s, "max_us": %s, "samples_us": [%s], ' "$med" "$min" "$max" \
      "$(cut -d' ' -f1 "$samples" | paste -sd, -)"
    printf '"entries_per_second": %s, "ratio_to_baseline": %s, "peak_rss_kib": %s}' "$per_second" \
      "$([ "$ratio" = - ] && echo null || echo "$ratio")" "$([ "$peak_shown" = - ] && echo null || echo "$peak")"
  } >> "$json"
  separator=$',\n'
done

goals=()
if [[ " $trees " == *" large "* ]]; then
  for format in SRT SSA; do
    goals+=("$(awk -v a="${median_of[large-$format-fresh-varnel-stamp]}" -v b="${median_of[large-$format-fresh-baseline]}" \
      -v f="$format" 'BEGIN { r = a / b; printf "varnel-stamp / baseline, large tree, %s, fresh: %.2f (goal <= 1.15: %s)", f, r, (r <= 1.15 ? "met" : "missed") }')")
  done
  goals+=("$(awk -v a="${median_of[large-SRT-fresh-find-exec]}" -v b="${median_of[large-SRT-fresh-varnel-stamp]}" \
    'BEGIN { r = a / b; printf "find -exec / varnel-stamp, large tree, SRT, fresh: %.1f (goal >= 20: %s)", r, (r >= 20 ? "met" : "missed") }')")
fi
goals+=("$(awk -v k="${peak_max[all]:-0}" 'BEGIN { printf "varnel-stamp peak memory, every tree: %.1f MiB (goal < 16: %s)", k / 1024, (k < 16 * 1024 ? "met" : "missed") }')")

{
  echo
  echo "  ],"
  echo "  \"goals\": ["
  for ((i = 0; i < ${#goals[@]}; i++)); do
    printf '    "%s"%s\n' "${goals[$i]}" "$([ $i -lt $((${#goals[@]} - 1)) ] && echo ,)"
  done
  echo "  ]"
  echo "}"
} >> "$json"

echo
printf '%s\n' "${goals[@]}"
echo "bench: saved $json"
