#!/usr/bin/env python3
"""Decodes a GIF with Pillow for the export's peer checks.

Usage: pillow_frames.py FILE.gif OUT_PREFIX

Prints one line "frames N loop L" (L is -1 when the file has no loop extension), then one
line per frame "duration MS", and writes each composed frame as raw RGBA bytes to
OUT_PREFIX<index>.rgba. Any warning is turned into an error by running with -W error.
"""
import sys

from PIL import Image


def main():
    path, prefix = sys.argv[1], sys.argv[2]
    with Image.open(path) as im:
        if im.format != "GIF":
            raise SystemExit("not a GIF: %s" % im.format)
        n = getattr(im, "n_frames", 1)
        loop = im.info.get("loop", -1)
        print("frames %d loop %d" % (n, loop))
        for i in range(n):
            im.seek(i)
            print("duration %d" % im.info.get("duration", 0))
            frame = im.convert("RGBA")
            if frame.size != im.size:
                raise SystemExit("frame %d has size %s" % (i, frame.size))
            with open("%s%03d.rgba" % (prefix, i), "wb") as out:
                out.write(frame.tobytes())


if __name__ == "__main__":
    main()
