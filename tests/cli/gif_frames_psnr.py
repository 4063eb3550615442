#!/usr/bin/env python3
"""Compares the frames of two GIF files as Pillow decodes them, each laid on one background
colour, and prints one line per frame: its number and the PSNR in dB ("inf" when equal).
With --bmp, the second argument is a printf pattern of BMP files (one per frame) instead.

usage: gif_frames_psnr.py SOURCE.gif (EXPORTED.gif | --bmp PATTERN) '#RRGGBB'
"""
import math
import sys

from PIL import Image, ImageSequence


def gif_frames(path):
    return [frame.convert("RGBA").copy() for frame in ImageSequence.Iterator(Image.open(path))]


def on_background(image, colour):
    base = Image.new("RGBA", image.size, colour + (255,))
    return Image.alpha_composite(base, image.convert("RGBA")).convert("RGB")


def psnr(a, b):
    if a.size != b.size:
        return -1.0
    pa, pb = a.tobytes(), b.tobytes()
    squared = sum((x - y) ** 2 for x, y in zip(pa, pb)) / len(pa)
    return math.inf if squared == 0 else 10 * math.log10(255 * 255 / squared)


def main():
    args = sys.argv[1:]
    colour_text = args[-1]
    colour = tuple(int(colour_text[i:i + 2], 16) for i in (1, 3, 5))
    source = gif_frames(args[0])
    if args[1] == "--bmp":
        other = [Image.open(args[2] % (i + 1)) for i in range(len(source))]
    else:
        other = gif_frames(args[1])
    print("frames", len(source), len(other))
    for i, (a, b) in enumerate(zip(source, other)):
        value = psnr(on_background(a, colour), on_background(b, colour))
        print(i + 1, "inf" if math.isinf(value) else "%.2f" % value)


if __name__ == "__main__":
    main()
