#!/usr/bin/env bash
# Zefra's export of the 127-frame benchmark banner beside ImageMagick and gifsicle.
#
#   bench/compare_export.sh [BUILD_DIR]
#
# export_bench --dump renders the frames once and writes them as PNG together with
# Zefra's GIF and its export times. ImageMagick then builds an optimised GIF from the
# same PNG frames (convert -delay ... -layers Optimize), and gifsicle -O3 re-optimises
# Zefra's file. Times are the best of three wall-clock runs.
set -euo pipefail
build=${1:-build}
bench="$build/bench/export_bench"
[ -x "$bench" ] || { echo "missing $bench (build with -DZEFRA_BUILD_BENCHMARKS=ON)" >&2; exit 1; }
work=$(mktemp -d /tmp/zefra-compare.XXXXXX)
trap 'rm -rf "$work"' EXIT

"$bench" --dump "$work" >"$work/zefra.txt"
zefra_full=$(awk '/zefra_export_seconds/ {print $2}' "$work/zefra.txt")
zefra_assemble=$(awk '/zefra_assemble_seconds/ {print $2}' "$work/zefra.txt")
zefra_bytes=$(stat -c %s "$work/zefra.gif")

best_of_three() {  # prints the best wall-clock seconds of three runs of "$@"
  local best=
  for _ in 1 2 3; do
    local t0 t1
    t0=$(date +%s.%N)
    "$@" >/dev/null 2>&1
    t1=$(date +%s.%N)
    best=$(echo "$t0 $t1 $best" | awk '{d = $2 - $1; if ($3 == "" || d < $3) print d; else print $3}')
  done
  printf '%.3f' "$best"
}

row() { printf '%-44s %10s %12s\n' "$1" "$2" "$3"; }
row "tool" "seconds" "bytes"
row "Zefra: render + export (127 frames)" "$zefra_full" "$zefra_bytes"
row "Zefra: export from rendered frames" "$zefra_assemble" "$zefra_bytes"

if command -v convert-im6.q16 >/dev/null; then
  args=()
  i=1
  while read -r delay; do
    args+=(-delay "$delay" "$(printf '%s/frame-%03d.png' "$work" "$i")")
    i=$((i + 1))
  done <"$work/delays.txt"
  t=$(best_of_three convert-im6.q16 "${args[@]}" -loop 0 -layers Optimize "$work/im.gif")
  row "ImageMagick: PNG frames -layers Optimize" "$t" "$(stat -c %s "$work/im.gif")"
else
  echo "ImageMagick (convert-im6.q16) not installed: skipped"
fi

if command -v gifsicle >/dev/null; then
  t=$(best_of_three gifsicle -O3 "$work/zefra.gif" -o "$work/zefra-O3.gif")
  o3=$(stat -c %s "$work/zefra-O3.gif")
  row "gifsicle -O3 on Zefra's GIF" "$t" "$o3"
  awk -v a="$zefra_bytes" -v b="$o3" 'BEGIN { printf "gifsicle -O3 shrinks Zefra'"'"'s file by %.1f %%\n", 100 * (a - b) / a }'
else
  echo "gifsicle not installed: skipped"
fi
