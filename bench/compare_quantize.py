#!/usr/bin/python3
"""One picture to 256 colours: `zefra-cli quantize` beside ImageMagick `-colors 256`.

    bench/compare_quantize.py [--build BUILD_DIR] [--runs N] [--size PIXELS]

The picture is ImageMagick's fractal plasma (seed 7), blurred by one pixel: smooth and
colourful like a photograph, and the same on every machine with the same ImageMagick. Both
programs read it as a PNG and write a GIF into a memory-backed folder (/dev/shm when it is
there), so the disk's flush time does not count. Each runs N times (default 11),
alternating; the script prints the median and best wall time of each, the ratio of the
medians, and the PSNR over red, green and blue of each GIF against the picture (ImageMagick
with its default dithering and without).
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

import numpy as np
from PIL import Image


def psnr(a_path, b_path):
    with Image.open(a_path) as a, Image.open(b_path) as b:
        x = np.asarray(a.convert("RGB"), dtype=np.float64)
        y = np.asarray(b.convert("RGB"), dtype=np.float64)
    mse = ((x - y) ** 2).mean()
    return float("inf") if mse == 0 else 10 * np.log10(255.0 * 255.0 / mse)


def wall(cmd):
    start = time.perf_counter()
    subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return time.perf_counter() - start


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--build", default="build")
    ap.add_argument("--runs", type=int, default=11)
    ap.add_argument("--size", type=int, default=1000, help="width and height of the picture")
    args = ap.parse_args()
    cli = os.path.join(args.build, "cli", "zefra-cli")
    magick = shutil.which("convert-im6.q16") or shutil.which("convert")
    if not os.access(cli, os.X_OK):
        sys.exit(f"missing {cli} (cmake --build {args.build} --target zefra-cli)")
    if not magick:
        sys.exit("ImageMagick is not installed (Debian package imagemagick)")
    scratch = "/dev/shm" if os.access("/dev/shm", os.W_OK) else None
    with tempfile.TemporaryDirectory(dir=scratch) as work:
        photo = os.path.join(work, "photo.png")
        subprocess.run([magick, "-seed", "7", "-size", f"{args.size}x{args.size}", "plasma:fractal", "-blur", "0x1",
                        photo], check=True)
        ours, theirs, plain = (os.path.join(work, n) for n in ("zefra.gif", "im.gif", "im-plain.gif"))
        zefra_cmd = [cli, "quantize", photo, ours]
        magick_cmd = [magick, photo, "-colors", "256", theirs]
        subprocess.run([magick, photo, "-dither", "None", "-colors", "256", plain], check=True)
        times = {"zefra": [], "im": []}
        for _ in range(args.runs):
            times["zefra"].append(wall(zefra_cmd))
            times["im"].append(wall(magick_cmd))
        z, m = statistics.median(times["zefra"]), statistics.median(times["im"])
        print(f"picture: {args.size} x {args.size} plasma, {args.runs} runs each")
        print(f"{'program':34} {'median s':>9} {'best s':>8} {'PSNR dB':>8}")
        print(f"{'zefra-cli quantize':34} {z:9.3f} {min(times['zefra']):8.3f} {psnr(photo, ours):8.2f}")
        print(f"{'ImageMagick -colors 256':34} {m:9.3f} {min(times['im']):8.3f} {psnr(photo, theirs):8.2f}")
        print(f"{'ImageMagick -dither None -colors 256':34} {'':9} {'':8} {psnr(photo, plain):8.2f}")
        print(f"zefra is {m / z:.1f}x faster (medians)")


if __name__ == "__main__":
    main()
