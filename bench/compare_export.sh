#!/usr/bin/env bash
# Zefra's export of the 127-frame benchmark banner beside ImageMagick and gifsicle.
#
#   bench/compare_export.sh [BUILD_DIR] [RUNS]
#
# export_bench --dump renders the frames once and writes them as PNG, the project as
# banner.lbl and Zefra's GIF. Then, RUNS times each (default 5), as whole processes:
# `zefra-cli export banner.lbl` (load, render, export, write) and ImageMagick building an
# optimised GIF from the PNG frames (convert -delay ... -layers Optimize). Prints the
# median wall time with min-max and user+system CPU time of each, and the ratio of the
# medians; gifsicle -O3 re-optimising Zefra's file shows how much smaller it could be.
set -euo pipefail
TIMEFORMAT='%R %U %S'
build=${1:-build}
runs=${2:-5}
bench="$build/bench/export_bench"
cli="$build/cli/zefra-cli"
[ -x "$bench" ] || { echo "missing $bench (build with -DZEFRA_BUILD_BENCHMARKS=ON)" >&2; exit 1; }
[ -x "$cli" ] || { echo "missing $cli" >&2; exit 1; }
work=$(mktemp -d /tmp/zefra-compare.XXXXXX)
trap 'rm -rf "$work"' EXIT

"$bench" --dump "$work" >"$work/zefra.txt"

# Runs "$@" $runs times; prints "median min max cpu_median" in seconds.
timed() {
  local times="$work/times.txt"
  : >"$times"
  for _ in $(seq "$runs"); do
    { time "$@" >/dev/null 2>&1; } 2>"$work/one.txt"
    awk '{printf "%s %.3f\n", $1, $2 + $3}' "$work/one.txt" >>"$times"
  done
  sort -n -k1 "$times" | awk '{w[NR] = $1} END {printf "%.3f %.3f %.3f ", w[int((NR + 1) / 2)], w[1], w[NR]}'
  sort -n -k2 "$times" | awk '{c[NR] = $2} END {printf "%.3f\n", c[int((NR + 1) / 2)]}'
}

row() { printf '%-46s %8s %15s %8s %10s\n' "$@"; }
row "tool ($runs runs)" "median" "min-max" "cpu" "bytes"

read -r z_med z_min z_max z_cpu < <(timed "$cli" export "$work/banner.lbl" "$work/cli.gif" --quiet)
row "zefra-cli export banner.lbl (127 frames)" "$z_med" "$z_min-$z_max" "$z_cpu" "$(stat -c %s "$work/cli.gif")"

if command -v convert-im6.q16 >/dev/null; then
  args=()
  i=1
  while read -r delay; do
    args+=(-delay "$delay" "$(printf '%s/frame-%03d.png' "$work" "$i")")
    i=$((i + 1))
  done <"$work/delays.txt"
  read -r m_med m_min m_max m_cpu < <(timed convert-im6.q16 "${args[@]}" -loop 0 -layers Optimize "$work/im.gif")
  row "ImageMagick: PNG frames -layers Optimize" "$m_med" "$m_min-$m_max" "$m_cpu" "$(stat -c %s "$work/im.gif")"
  awk -v z="$z_med" -v m="$m_med" -v zc="$z_cpu" -v mc="$m_cpu" 'BEGIN {
    printf "zefra-cli export is %.1fx faster than ImageMagick (median wall time; %.1fx in CPU time)\n", m / z, mc / zc }'
else
  echo "ImageMagick (convert-im6.q16) not installed: skipped"
fi

if command -v gifsicle >/dev/null; then
  gifsicle -O3 "$work/cli.gif" -o "$work/zefra-O3.gif"
  awk -v a="$(stat -c %s "$work/cli.gif")" -v b="$(stat -c %s "$work/zefra-O3.gif")" \
    'BEGIN { printf "gifsicle -O3 shrinks Zefra'"'"'s file by %.1f %%\n", 100 * (a - b) / a }'
else
  echo "gifsicle not installed: skipped"
fi
