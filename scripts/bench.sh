#!/usr/bin/env bash
# `make bench`: how fast varnel-stamp stamps a collection, against a baseline
# program that does only what the job needs and against the one-liners a user
# would otherwise write. Every figure is the median of BENCH_RUNS (at least 5)
# runs taken in this one run, the contenders of a case taking turns, so that
# the ratios hold on a busy machine. Every run is checked before its time
# counts: the same set of files holding the same bytes, and nothing else
# changed. Prints one table and saves it as build/bench/results.json.
#
# With the large tree, the Windows programs run on it too, under Wine on a
# virtual display: varnel-stamp.exe, and a whole run through the window
# (varnel-bench-window drives the real main window from the Start click to the
# completion text). BENCH_PARTS picks "native", "wine" or both (the default).
#
#   BENCH_RUNS=7 BENCH_TREES="small large" BENCH_PARTS=wine make bench
set -euo pipefail
cd "$(dirname "$0")/.."

bin=build/native/bin
stamp=$bin/varnel-stamp
tool=$bin/varnel-bench-tree
baseline=$bin/varnel-bench-baseline
out=build/bench
runs=${BENCH_RUNS:-5}
trees=${BENCH_TREES:-small large wide}
parts=${BENCH_PARTS:-native wine}
winbin=build/windows/bin
prefix=$PWD/build/windows/wineprefix
wine_part=0
[[ " $parts " == *" wine "* && " $trees " == *" large "* ]] && wine_part=1

die() { echo "bench: $*" >&2; exit 1; }
scripts/bench-deps.sh
[[ "$runs" =~ ^[0-9]+$ ]] && [ "$runs" -ge 5 ] || die "BENCH_RUNS must be a whole number of at least 5"
for program in "$stamp" "$tool" "$baseline"; do
  [ -x "$program" ] || die "$program is missing: run 'make build' first"
done
if [ "$wine_part" = 1 ]; then
  for program in "$winbin/varnel-stamp.exe" "$winbin/varnel-bench-window.exe"; do
    [ -f "$program" ] || die "$program is missing: run 'make build' first"
  done
  # The window needs a display: without one, the whole bench runs on a
  # virtual one (the native contenders do not use it).
  if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
  fi
fi
export LC_ALL=C

lines=(--line "5:欢迎观看本站电影" --line "3:更多精彩影片 敬请关注")
# The same lines as rows of the window's advertisement list.
rows_of_window=()
for ((i = 1; i < ${#lines[@]}; i += 2)); do rows_of_window+=("${lines[i]}"); done
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
wine_up=0
trap 'rm -rf "$trash"; [ "$wine_up" = 0 ] || wineserver -k 2>/dev/null || true' EXIT

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

# Under Wine a file whose name starts with "." is a hidden file, and the
# Windows programs do not replace a hidden file: where two movies of such a
# name share a base name (.sample 9.avi and .sample 9.mp4), the first is
# stamped and the second write fails. hidden_pairs DIR: how many such pairs.
hidden_pairs() {
  find "$1" -mindepth 1 -type d -name '.*' -prune -o -type f -name '.*' \( -iname '*.3gp' -o -iname '*.mp4' \
    -o -iname '*.avi' -o -iname '*.wmv' -o -iname '*.flv' -o -iname '*.vob' -o -iname '*.rmvb' -o -iname '*.rm' \) \
    -print | sed 's/\.[^./]*$//' | sort | uniq -d | wc -l
}
declare -A wine_failures

# run_contender TREE FORMAT MODE CONTENDER: resets the tree, runs the
# contender once (under the command in `wrap`, if any), checks what it did,
# and appends "WALL_MICROSECONDS PEAK_KIB CPU_MICROSECONDS" to the
# contender's sample file (its name ending in `suffix`). The wall time of
# the window is its own: from the Start click to the completion text.
wrap=()
suffix=""
run_contender() {
  local tree=$1 format=$2 mode=$3 contender=$4
  local dir=$out/trees/$tree document=$out/document/$format/a.$format
  local result=$out/runs/result log=$out/runs/output
  local writes windir
  writes=$("$tool" writes "$tree")
  windir="Z:$(realpath "$dir" | tr / '\\')"
  "$tool" reset "$tree" "$dir" "$trash" "$format" "$mode"
  local -a command
  case $contender in
    varnel-stamp) command=("$stamp" -q --format "$format" "${lines[@]}" "$dir") ;;
    baseline) command=("$baseline" "$document" "$format" "$extensions" "$dir") ;;
    find-exec) command=(bash -c "$find_exec" bench "$dir" "$document") ;;
    xargs-P) command=(bash -c "$find_xargs" bench "$dir" "$document") ;;
    stamp.exe) command=(cmake/wine-run "$prefix" "$winbin/varnel-stamp.exe" -q --format "$format" "${lines[@]}"
                        "$windir") ;;
    window) command=(cmake/wine-run "$prefix" "$winbin/varnel-bench-window.exe" "$windir" "${rows_of_window[@]}") ;;
  esac
  "$tool" time "$result" -- "${wrap[@]}" "${command[@]}" > "$log" 2>&1
  local micros peak status cpu
  read -r micros peak status cpu < "$result"
  local failed=${wine_failures[$tree]:-0}
  # varnel-stamp.exe ends with status 1 when a write failed.
  [ "$contender" = stamp.exe ] && [ "$failed" -gt 0 ] && [ "$status" -eq 1 ] && status=0
  [ "$status" -eq 0 ] || die "$contender on $tree ($format, $mode) ended with status $status: $(head -c 500 "$log")"
  case $contender in
    varnel-stamp) [ "$(cat "$log")" = "written: $writes, skipped: 0, failed: 0" ] ||
      die "varnel-stamp on $tree ($format, $mode) said '$(head -c 500 "$log")', not $writes written" ;;
    baseline) [ "$(cat "$log")" = "written: $writes, failed: 0" ] ||
      die "baseline on $tree ($format, $mode) said '$(head -c 500 "$log")', not $writes written" ;;
    stamp.exe) [ "$(grep -v '^varnel-stamp: cannot write .*: the existing file is hidden' "$log" | tr -d '\r')" = \
                 "written: $((writes - failed)), skipped: 0, failed: $failed" ] &&
               [ "$(grep -c ': the existing file is hidden' "$log")" = "$failed" ] ||
      die "varnel-stamp.exe on $tree ($format, $mode) said '$(head -c 500 "$log")', not $((writes - failed)) written" ;;
    window)
      local said
      said=$(tr -d '\r' < "$log")
      [[ "$said" =~ ^written:\ $((writes - failed)),\ microseconds:\ ([0-9]+)$ ]] ||
        die "the window on $tree ($format, $mode) said '$(head -c 500 "$log")', not $((writes - failed)) written"
      micros=${BASH_REMATCH[1]} ;;
  esac
  "$tool" check "$tree" "$dir" "$format" "$document" ||
    die "$contender on $tree ($format, $mode) did not write what the others write"
  echo "$micros $peak $cpu" >> "$out/runs/$tree-$format-$mode-$contender$suffix"
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

rows=()
# measure TREE FORMAT MODE CONTENDER...: one untimed warm-up round of the
# contenders in `warmup`, then BENCH_RUNS rounds in which every contender runs
# once, each round starting with the next contender so that none always goes
# first.
warmup=(varnel-stamp baseline)
measure() {
  local tree=$1 format=$2 mode=$3
  shift 3
  local contender
  for contender in "$@"; do rm -f "$out/runs/$tree-$format-$mode-$contender"; done
  echo "bench: $tree tree, $format, $mode: $* ($runs runs each)"
  for contender in "${warmup[@]}"; do
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

native_trees=""
[[ " $parts " == *" native "* ]] && native_trees=$trees
for tree in $native_trees; do
  measure "$tree" SRT fresh varnel-stamp baseline find-exec xargs-P
  measure "$tree" SRT existing varnel-stamp baseline
  measure "$tree" SSA fresh varnel-stamp baseline
  measure "$tree" SSA existing varnel-stamp baseline
done

# The Windows programs under Wine, with one Wine server kept up for the whole
# part (starting Wine afresh for every run would add seconds to each).
if [ "$wine_part" = 1 ]; then
  cmake/wine-run "$prefix"  # initialises the prefix on first use
  export WINEPREFIX=$prefix
  wine_up=1
  wineserver -p
  cmake/wine-run "$prefix" cmd.exe /c exit > /dev/null 2>&1 < /dev/null || true
  wine_failures[large]=$(hidden_pairs "$out/trees/large")
  warmup=(stamp.exe)
  measure large SRT fresh stamp.exe window
  warmup=(varnel-stamp baseline)
fi

# Counts that other work on the machine cannot move: system calls (strace)
# and instructions run in user space (callgrind), one checked run each.
echo "bench: counting system calls and instructions (SRT)"
declare -A calls instructions
count_rows=()
for tree in $native_trees; do
  for mode in fresh existing; do
    for contender in varnel-stamp baseline; do
      key=$tree-SRT-$mode-$contender
      wrap=(strace -c -o "$out/runs/$key.strace")
      suffix=.counted
      run_contender "$tree" SRT "$mode" "$contender"
      calls[$key]=$(awk '$NF == "total" { print $4 }' "$out/runs/$key.strace")
      wrap=(valgrind -q --tool=callgrind "--callgrind-out-file=$out/runs/$key.callgrind")
      run_contender "$tree" SRT "$mode" "$contender"
      instructions[$key]=$(awk '$1 == "summary:" || $1 == "totals:" { print $2; exit }' "$out/runs/$key.callgrind")
      rm -f "$out/runs/$key.callgrind" "$out/runs/$key.counted"
      count_rows+=("$tree SRT $mode $contender")
    done
  done
done
wrap=()
suffix=""

# The table, and the same figures as JSON. Samples hold one run a line:
# wall microseconds, peak KiB, processor microseconds.

# stats FILE COLUMN: "MEDIAN MIN MAX" of that column.
stats() {
  cut -d' ' -f"$2" "$1" | sort -n |
    awk '{ v[NR] = $1 } END { m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; print m, v[1], v[NR] }'
}
ratio() { awk -v a="$1" -v b="${2:-0}" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "null" }'; }
ms() { awk -v v="$1" 'BEGIN { printf "%.1f", v / 1000 }'; }
json_text() { printf '%s' "$1" | sed 's/\\/\\\\/g; s/"/\\"/g; s/^/"/; s/$/"/'; }

declare -A wall cpu_time
for row in "${rows[@]}"; do
  read -r tree format mode contender <<< "$row"
  read -r wall[$tree-$format-$mode-$contender] _ _ < <(stats "$out/runs/$tree-$format-$mode-$contender" 1)
  read -r cpu_time[$tree-$format-$mode-$contender] _ _ < <(stats "$out/runs/$tree-$format-$mode-$contender" 3)
done

json=$out/results.json
{
  echo "{"
  echo "  \"runs\": $runs,"
  echo "  \"machine\": {\"cpus\": $(nproc), \"kernel\": \"$(uname -r)\", \"load_average\": \"$(cut -d' ' -f1-3 /proc/loadavg)\"},"
  echo "  \"find_exec\": $(json_text "$find_exec"),"
  echo "  \"xargs_p\": $(json_text "$find_xargs"),"
  echo "  \"results\": ["
} > "$json"

echo
printf '%-6s %-4s %-9s %-13s %7s | %9s %9s %9s %7s %9s | %9s %7s | %8s\n' tree fmt subtitles contender entries \
  "wall ms" min max "x base" entries/s "cpu ms" "x base" "peak KiB"
peak_all=0
separator=""
for row in "${rows[@]}"; do
  read -r tree format mode contender <<< "$row"
  key=$tree-$format-$mode-$contender
  samples=$out/runs/$key
  read -r med min max < <(stats "$samples" 1)
  peak=$(cut -d' ' -f2 "$samples" | sort -n | tail -1)
  read -r _ _ folders files <<< "$("$tool" describe "$tree")"
  entries=$((folders + files))
  wall_ratio=$(ratio "$med" "${wall[$tree-$format-$mode-baseline]:-}")
  cpu_ratio=$(ratio "${cpu_time[$key]}" "${cpu_time[$tree-$format-$mode-baseline]:-}")
  # Only the two single programs have a peak of their own; the one-liners
  # are many processes, and under Wine the Wine server does part of the work.
  case $contender in find-exec | xargs-P | stamp.exe | window) peak=null ;; esac
  per_second=$(awk -v n="$entries" -v us="$med" 'BEGIN { printf "%.0f", n / (us / 1e6) }')
  [ "$contender" = varnel-stamp ] && [ "$peak" -gt "$peak_all" ] && peak_all=$peak
  printf '%-6s %-4s %-9s %-13s %7d | %9s %9s %9s %7s %9s | %9s %7s | %8s\n' "$tree" "$format" "$mode" "$contender" \
    "$entries" "$(ms "$med")" "$(ms "$min")" "$(ms "$max")" "$wall_ratio" "$per_second" "$(ms "${cpu_time[$key]}")" \
    "$cpu_ratio" "$peak"
  {
    printf '%s    {"tree": "%s", "entries": %d, "format": "%s", "subtitles": "%s", "contender": "%s", ' \
      "$separator" "$tree" "$entries" "$format" "$mode" "$contender"
    printf '"wall_median_us": %s, "wall_min_us": %s, "wall_max_us": %s, "wall_samples_us": [%s], ' \
      "$med" "$min" "$max" "$(cut -d' ' -f1 "$samples" | paste -sd, -)"
    printf '"cpu_median_us": %s, "cpu_samples_us": [%s], ' "${cpu_time[$key]}" "$(cut -d' ' -f3 "$samples" | paste -sd, -)"
    printf '"entries_per_second": %s, "wall_ratio_to_baseline": %s, "cpu_ratio_to_baseline": %s, "peak_rss_kib": %s}' \
      "$per_second" "$wall_ratio" "$cpu_ratio" "$peak"
  } >> "$json"
  separator=$',\n'
done

if [ ${#count_rows[@]} -gt 0 ]; then
  echo
  printf '%-6s %-4s %-9s %-13s %7s | %12s %9s %7s | %14s %9s %7s\n' tree fmt subtitles contender entries \
    "system calls" "per entry" "x base" "instructions" "per entry" "x base"
fi
separator=$'\n  ],\n  "counts": [\n'
for row in ${count_rows[@]+"${count_rows[@]}"}; do
  read -r tree format mode contender <<< "$row"
  key=$tree-$format-$mode-$contender
  read -r _ _ folders files <<< "$("$tool" describe "$tree")"
  entries=$((folders + files))
  calls_ratio=$(ratio "${calls[$key]}" "${calls[$tree-$format-$mode-baseline]}")
  instructions_ratio=$(ratio "${instructions[$key]}" "${instructions[$tree-$format-$mode-baseline]}")
  printf '%-6s %-4s %-9s %-13s %7d | %12d %9.2f %7s | %14d %9.0f %7s\n' "$tree" "$format" "$mode" "$contender" \
    "$entries" "${calls[$key]}" "$(awk -v c="${calls[$key]}" -v n="$entries" 'BEGIN { print c / n }')" "$calls_ratio" \
    "${instructions[$key]}" "$(awk -v c="${instructions[$key]}" -v n="$entries" 'BEGIN { print c / n }')" \
    "$instructions_ratio"
  printf '%s    {"tree": "%s", "entries": %d, "format": "%s", "subtitles": "%s", "contender": "%s", "system_calls": %s, "user_instructions": %s}' \
    "$separator" "$tree" "$entries" "$format" "$mode" "$contender" "${calls[$key]}" "${instructions[$key]}" >> "$json"
  separator=$',\n'
done

# goal TEXT VALUE OK: one line of the goals, "met" when OK is 1.
goals=()
goal() { goals+=("$1: $2 (goal $3: $( [ "$4" = 1 ] && echo met || echo missed))"); }
if [[ " $native_trees " == *" large "* ]]; then
  for format in SRT SSA; do
    r=$(ratio "${wall[large-$format-fresh-varnel-stamp]}" "${wall[large-$format-fresh-baseline]}")
    goal "varnel-stamp / baseline wall time, large tree, $format, fresh" "$r" "<= 1.15" \
      "$(awk -v r="$r" 'BEGIN { print (r <= 1.15) ? 1 : 0 }')"
  done
  r=$(ratio "${wall[large-SRT-fresh-find-exec]}" "${wall[large-SRT-fresh-varnel-stamp]}")
  goal "find -exec / varnel-stamp wall time, large tree, SRT, fresh" "$r" ">= 20" \
    "$(awk -v r="$r" 'BEGIN { print (r >= 20) ? 1 : 0 }')"
fi
if [ "$wine_part" = 1 ]; then
  r=$(ratio "${wall[large-SRT-fresh-window]}" "${wall[large-SRT-fresh-stamp.exe]}")
  goal "window (Start click to completion text) / varnel-stamp.exe wall time under Wine, large tree, SRT, fresh" \
    "$r" "<= 2" "$(awk -v r="$r" 'BEGIN { print (r <= 2) ? 1 : 0 }')"
fi
if [ -n "$native_trees" ]; then
  goal "varnel-stamp peak memory, every tree measured" "$(awk -v k="$peak_all" 'BEGIN { printf "%.1f MiB", k / 1024 }')" \
    "< 16 MiB" "$(awk -v k="$peak_all" 'BEGIN { print (k < 16 * 1024) ? 1 : 0 }')"
fi

{
  echo
  echo "  ],"
  echo "  \"goals\": ["
  for ((i = 0; i < ${#goals[@]}; i++)); do
    printf '    %s%s\n' "$(json_text "${goals[$i]}")" "$([ $i -lt $((${#goals[@]} - 1)) ] && echo ,)"
  done
  echo "  ]"
  echo "}"
} >> "$json"

echo
printf '%s\n' "${goals[@]}"
echo "bench: saved $json"
