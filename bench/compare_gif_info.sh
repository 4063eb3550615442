#!/usr/bin/env bash
# Whole-process GIF decoding, Zefra beside giflib: `zefra-cli gif-info --pixels` and
# bench/giflib_gif_info both read a SIZE x SIZE (default 1600) photo-like GIF (256 colours, smooth value
# noise, edges and grain), decode it and print the CRC-32 of its pixels. Each program runs
# RUNS times, alternating; the script prints the median with min-max of the CPU time and
# of the wall time of each, their ratio, and checks that both computed the same checksum.
#
#   bench/compare_gif_info.sh [BUILD_DIR] [RUNS] [SIZE]    (defaults: build, 41, 1600)
#
# SIZE "banner" takes the 127-frame 468 x 60 benchmark banner as Zefra exports it
# (bench/export_bench --dump) instead of a photo: many small frames, where start-up counts.
set -euo pipefail
build=${1:-build}
runs=${2:-41}
size=${3:-1600}
cli=$build/cli/zefra-cli
peer=$build/bench/giflib_gif_info
for program in "$cli" "$peer"; do
  [[ -x $program ]] || { echo "missing $program (cmake --build $build --target zefra-cli giflib_gif_info)" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
gif=$work/photo.gif
# GIF=FILE reuses a picture made before (KEEP_GIF=FILE keeps the one made now).

if [[ -n ${GIF:-} ]]; then
  cp "$GIF" "$gif"
elif [[ $size == banner ]]; then
  [[ -x $build/bench/export_bench ]] || { echo "missing $build/bench/export_bench" >&2; exit 1; }
  "$build/bench/export_bench" --dump "$work/banner" >/dev/null
  cp "$work/banner/zefra.gif" "$gif"
else
# The picture is written as a BMP by plain Python and reduced by zefra-cli quantize
# (octree, Floyd-Steinberg), so no imaging module is needed.
python3 - "$work/photo.bmp" "$size" <<'PY'
import random, struct, sys
random.seed(7)
W = H = int(sys.argv[2])
# Value noise at three scales (smooth lighting, texture), a few hard-edged shapes, grain.
def grid(n):
    return [[random.random() for _ in range(n + 1)] for _ in range(n + 1)]
scales = [(grid(4), 4, 120), (grid(24), 24, 60), (grid(120), 120, 30)]
row_bytes = (W * 3 + 3) & ~3
rows = []
for y in range(H - 1, -1, -1):  # bottom-up rows
    row = bytearray(row_bytes)
    for x in range(W):
        v = [0.0, 0.0, 0.0]
        for g, n, amp in scales:
            fx, fy = x * n / W, y * n / H
            ix, iy = int(fx), int(fy)
            tx, ty = fx - ix, fy - iy
            a = g[iy][ix] * (1 - tx) + g[iy][ix + 1] * tx
            b = g[iy + 1][ix] * (1 - tx) + g[iy + 1][ix + 1] * tx
            s = (a * (1 - ty) + b * ty) * amp
            v[0] += s; v[1] += s * 0.8 + (x / W) * 20; v[2] += s * 0.6 + (y / H) * 40
        if (x - 500) ** 2 + (y - 900) ** 2 < 250 ** 2: v[0] += 40
        if 1000 < x < 1400 and 200 < y < 700: v[2] += 50
        grain = random.randint(-6, 6)
        r, g_, b_ = (max(0, min(255, int(c) + grain)) for c in v)
        row[3 * x:3 * x + 3] = bytes((b_, g_, r))
    rows.append(bytes(row))
pixels = b"".join(rows)
header = b"BM" + struct.pack("<IHHI", 54 + len(pixels), 0, 0, 54)
info = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
open(sys.argv[1], "wb").write(header + info + pixels)
PY
"$cli" quantize "$work/photo.bmp" "$gif" --mode octree --dither floyd >/dev/null
fi
[[ -n ${KEEP_GIF:-} ]] && cp "$gif" "$KEEP_GIF"

zefra_crc=$("$cli" gif-info --pixels "$gif" | sed -n 's/.* crc32 \([0-9A-F]*\)$/\1/p')
peer_crc=$("$peer" "$gif" | sed -n 's/.* crc32 \([0-9A-F]*\)$/\1/p')
if [[ -z $zefra_crc || $zefra_crc != "$peer_crc" ]]; then
  echo "checksums differ: zefra '$zefra_crc', giflib '$peer_crc'" >&2
  exit 1
fi

# One run: "wall_us cpu_us". CPU time (task-clock from perf, when present) is the fairer
# figure on a shared machine, where wall time mostly measures waiting for a core. With
# perf the wall time is perf's duration_time, the program's own run: timing perf itself
# would add its start-up (tens of ms) to both sides and pull the ratio towards 1.
once() {
  local start end cpu=0
  if [[ -n $perf ]]; then
    perf stat -x, -e task-clock,duration_time -- "$@" 2>&1 >/dev/null |
      awk -F, '/task-clock/ {cpu = $1 * 1000} /duration_time/ {wall = $1 / 1000} END {printf "%d %d\n", wall, cpu}'
    return
  else
    start=$(date +%s%N)
    "$@" >/dev/null
    end=$(date +%s%N)
  fi
  echo "$(((end - start) / 1000)) $cpu"
}
perf=$(command -v perf || true)
: >"$work/zefra"
: >"$work/giflib"
for ((i = 0; i < runs; ++i)); do
  once "$cli" gif-info --pixels "$gif" >>"$work/zefra"
  once "$peer" "$gif" >>"$work/giflib"
done
# "median min max" of column $2 of file $1, in milliseconds.
summary() {
  awk -v c="$2" '{print $c}' "$1" | sort -n |
    awk '{a[NR]=$1} END {printf "%.2f %.2f %.2f\n", a[int((NR+1)/2)]/1000, a[1]/1000, a[NR]/1000}'
}
if [[ $size == banner ]]; then shown="127-frame banner"; else shown="$size x $size photo"; fi
[[ -n ${GIF:-} ]] && shown="$GIF"
echo "file: $shown, $(wc -c <"$gif") bytes, $(wc -l <<<"$zefra_crc") frame(s) with equal crc32, $runs runs each, alternating"
report() {
  local what=$1 column=$2 zm zlo zhi gm glo ghi
  read -r zm zlo zhi < <(summary "$work/zefra" "$column")
  read -r gm glo ghi < <(summary "$work/giflib" "$column")
  printf "%s  zefra-cli gif-info --pixels: median %7.2f ms (%.2f-%.2f)\n" "$what" "$zm" "$zlo" "$zhi"
  printf "%s  giflib_gif_info:             median %7.2f ms (%.2f-%.2f)\n" "$what" "$gm" "$glo" "$ghi"
  printf "%s  giflib / zefra:              %.2fx (medians), %.2fx (minima)\n" "$what" "$(echo "$gm/$zm" | bc -l)" "$(echo "$glo/$zlo" | bc -l)"
}
[[ -n $perf ]] && report "cpu " 2
report "wall" 1
