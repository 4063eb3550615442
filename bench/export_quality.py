#!/usr/bin/python3
"""Export quality, size and speed of Zefra beside ImageMagick, gifsicle and pngquant.

    bench/export_quality.py [--build BUILD_DIR] [--runs N] [--only NAME] [--keep DIR]

export_quality_bench renders every sample project and a set of generated banners
(gradients, 3D text, shapes, pictures; 12 and 127 frames) once, and exports them from the
rendered frames with Zefra's standard and classic pipelines. From the same PNG frames
ImageMagick builds an optimised GIF (convert -delay .. -loop 0 -layers Optimize);
gifsicle -O3 re-optimises Zefra's GIF and ImageMagick's; pngquant (when installed)
reduces every frame on its own, which gives the quality ceiling of a 256-colour frame.

Every GIF is decoded by Pillow with its disposal methods; the picture on screen when
project frame i starts is compared with frame i as rendered (PSNR over red, green and
blue; in a transparent export over the pixels not in the transparent colour, whose alpha
is checked separately). Times are medians of N runs (default 5) of the export from
rendered frames; ImageMagick is timed the same way on the PNG frames. On a busy machine
the processor seconds of Zefra's standard export are printed beside its wall time.
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


def load_rgb(path):
    with Image.open(path) as im:
        return np.asarray(im.convert("RGB"), dtype=np.int32)


def psnr(a, b, mask=None):
    d = (a - b) ** 2
    if mask is not None:
        if not mask.any():
            return float("inf")
        d = d[mask]
    mse = d.mean()
    return float("inf") if mse == 0 else 10 * np.log10(255.0 * 255.0 / mse)


def decode_gif(path):
    """Composed RGBA frames and their delays (hundredths), as a viewer shows them."""
    frames, delays = [], []
    with Image.open(path) as im:
        n = getattr(im, "n_frames", 1)
        for k in range(n):
            im.seek(k)
            frames.append(np.asarray(im.convert("RGBA"), dtype=np.int32))
            delays.append(int(round(im.info.get("duration", 0) / 10)))
    return frames, delays


def shown_frames(frames, delays, project_delays):
    """For each project frame, the GIF frame on screen when it starts."""
    out, start = [], 0
    for pd in project_delays:
        j, t = 0, 0
        if len(frames) > 1:
            while j + 1 < len(delays) and t + delays[j] <= start:
                t += delays[j]
                j += 1
        out.append(frames[j])
        start += pd
    return out


def timed(cmd, runs):
    times = []
    for _ in range(runs):
        t0 = time.perf_counter()
        subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        times.append(time.perf_counter() - t0)
    return statistics.median(times)


def hex_colour(text):
    return None if text == "-" else tuple(int(text[i:i + 2], 16) for i in (1, 3, 5))


def measure(path, renders, project_delays, clear):
    frames, delays = decode_gif(path)
    shown = shown_frames(frames, delays, project_delays)
    values, alpha_errors = [], 0
    for got, want in zip(shown, renders):
        mask = None
        if clear is not None:
            mask = ~np.all(want == np.array(clear), axis=2)
            # Exactly the pixels in the transparent colour are transparent.
            alpha_errors += int(np.count_nonzero((got[:, :, 3] == 255) != mask))
        else:
            alpha_errors += int(np.count_nonzero(got[:, :, 3] != 255))
        values.append(psnr(got[:, :, :3], want, mask))
    finite = [v for v in values if v != float("inf")]
    mean = statistics.mean(finite) if finite else float("inf")
    return mean, min(values), len(frames), alpha_errors


def pngquant_ceiling(work, files, renders):
    values = []
    for f, want in zip(files, renders):
        out = os.path.join(work, "pq.png")
        r = subprocess.run(["pngquant", "--force", "--speed", "1", "--output", out, "256", f],
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if r.returncode not in (0, 99):
            return None
        values.append(psnr(load_rgb(out), want))
    finite = [v for v in values if v != float("inf")]
    return statistics.mean(finite) if finite else float("inf")


def fmt(v):
    return "  inf" if v == float("inf") else f"{v:5.1f}"


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--build", default="build")
    ap.add_argument("--runs", type=int, default=5)
    ap.add_argument("--only", default="", help="cases whose name contains this text")
    ap.add_argument("--keep", default="", help="keep the frames and GIFs in this folder")
    args = ap.parse_args()
    bench = os.path.join(args.build, "bench", "export_quality_bench")
    if not os.access(bench, os.X_OK):
        sys.exit(f"missing {bench} (configure with -DZEFRA_BUILD_BENCHMARKS=ON and build it)")
    convert = shutil.which("convert-im6.q16") or shutil.which("convert")
    gifsicle = shutil.which("gifsicle")
    pngquant = shutil.which("pngquant")

    work = args.keep or tempfile.mkdtemp(prefix="zefra-quality.")
    os.makedirs(work, exist_ok=True)
    subprocess.run([bench, work, str(args.runs)], check=True, stdout=subprocess.DEVNULL)

    header = f"{'case':<26}{'method':<18}{'bytes':>9}{'mean dB':>9}{'worst':>7}{'seconds':>9}"
    print(header)
    print("-" * len(header))
    verdicts = []
    for case in sorted(os.listdir(work)):
        d = os.path.join(work, case)
        if not os.path.isdir(d) or args.only not in case:
            continue
        files = sorted(os.path.join(d, f) for f in os.listdir(d) if f.startswith("frame-"))
        renders = [load_rgb(f) for f in files]
        project_delays = [int(x) for x in open(os.path.join(d, "delays.txt")).read().split()]
        clear_text, loop = open(os.path.join(d, "info.txt")).read().split()
        clear = hex_colour(clear_text)
        times = dict(line.split() for line in open(os.path.join(d, "times.txt")))
        rows = {}
        for method, gif, secs in (("zefra", "standard.gif", float(times["standard"])),
                                  ("zefra --classic", "classic.gif", float(times["classic"]))):
            path = os.path.join(d, gif)
            rows[method] = (os.path.getsize(path),) + measure(path, renders, project_delays, clear) + (secs,)
        if convert:
            im_gif = os.path.join(d, "imagemagick.gif")
            cmd = [convert]
            for f, cs in zip(files, project_delays):
                cmd += ["-delay", str(cs), f]
            cmd += ["-loop", "0", "-layers", "Optimize", im_gif]
            secs = timed(cmd, min(args.runs, 3))
            rows["imagemagick"] = (os.path.getsize(im_gif),) + measure(im_gif, renders, project_delays, None) + (secs,)
        if gifsicle:
            for source, name in (("standard.gif", "gifsicle -O3 zefra"), ("imagemagick.gif", "gifsicle -O3 im")):
                src = os.path.join(d, source)
                if not os.path.exists(src):
                    continue
                out = os.path.join(d, "O3-" + source)
                secs = timed([gifsicle, "-O3", src, "-o", out], 1)
                rows[name] = (os.path.getsize(out),) + measure(out, renders, project_delays,
                                                               clear if source == "standard.gif" else None) + (secs,)
        ceiling = pngquant_ceiling(d, files, renders) if pngquant else None
        for method, (size, mean, worst, nframes, alpha, secs) in rows.items():
            note = f"  alpha errors {alpha}" if alpha else ""
            if method == "zefra" and "standard-cpu" in times:
                note += f"  (cpu {float(times['standard-cpu']):.3f} s)"
            print(f"{case:<26}{method:<18}{size:>9}{fmt(mean):>9}{fmt(worst):>7}{secs:>9.3f}{note}")
        if ceiling is not None:
            z = rows["zefra"][1]
            print(f"{case:<26}{'pngquant/frame':<18}{'':>9}{fmt(ceiling):>9}{'':>7}{'':>9}"
                  f"  zefra is {ceiling - z:.1f} dB below")
        if "imagemagick" in rows:
            z, im = rows["zefra"], rows["imagemagick"]
            o3 = rows.get("gifsicle -O3 zefra")
            shrink = 100.0 * (z[0] - o3[0]) / z[0] if o3 else float("nan")
            checks = [
                ("mean>=IM+3", z[1] >= im[1] + 3),
                ("worst>=IM", z[2] >= im[2]),
                ("size<=IM", z[0] <= im[0]),
                (f"O3 {shrink:.1f}%<5", shrink < 5),
                ("alpha exact", z[4] == 0),
            ]
            verdicts.append((case, checks))
        print()
    if verdicts:
        print("targets (zefra standard):")
        for case, checks in verdicts:
            print(f"  {case:<26}" + "  ".join(f"{name}:{'ok' if good else 'MISSED'}" for name, good in checks))
    if not args.keep:
        shutil.rmtree(work)


if __name__ == "__main__":
    main()
