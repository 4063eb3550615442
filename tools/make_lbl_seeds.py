#!/usr/bin/env python3
"""Writes the seed files of the .lbl fuzz target into fuzz/corpus/lbl/.

Small valid projects of both formats and a few near misses, so the fuzzer starts from
inputs that reach every branch of the reader. Run from the repository root.
"""
import os
import struct
import sys

RECORD = 10852
OLD_RECORD = 4100


def lb1(frames, count=None, extra=b""):
    out = bytearray()
    for k in range(frames):
        rec = bytearray(RECORD)
        struct.pack_into("<h", rec, 8, 100 + 10 * k)          # delayMs
        struct.pack_into("<hh", rec, 20, 468, 60)             # width, height
        rec[66] = 5
        rec[67:72] = b"Zefra"                                   # text[1]
        rec[10668 + k % 10] = 1                                 # a shape in use
        if k == 0:
            rec[0:4] = b"\x05LB1"
            rec[4] = frames if count is None else count
            struct.pack_into("<h", rec, 6, 96)                # designDpi
        out += rec
    return bytes(out) + extra


def v102(frames, count=None):
    out = bytearray()
    for k in range(frames):
        rec = bytearray(OLD_RECORD)
        struct.pack_into("<h", rec, 6, 200)
        struct.pack_into("<hh", rec, 16, 300, 40)
        rec[20] = 2 if k == 0 else 1                             # transparent / gradient
        rec[22], rec[23], rec[24], rec[25] = 3, 0, 2, 5
        rec[70] = 2
        rec[71:73] = b"Hi"
        if k == 0:
            rec[0:4] = b"\x05LBL"
            rec[4] = frames if count is None else count
        out += rec
    return bytes(out)


SEEDS = {
    "lb1-one-frame.lbl": lb1(1),
    "lb1-three-frames.lbl": lb1(3),
    "lb1-extra-bytes.lbl": lb1(1, extra=b"\xff" * 17),
    "lb1-count-says-two.lbl": lb1(1, count=2),
    "lb1-count-zero.lbl": lb1(1, count=0),
    "lb1-truncated.lbl": lb1(2)[:-1],
    "v102-one-frame.lbl": v102(1),
    "v102-two-frames.lbl": v102(2),
    "v102-count-128.lbl": v102(1, count=128),
    "bad-signature.lbl": b"\x05LBX" + bytes(40),
    "too-short.lbl": b"\x05LB",
}


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join("fuzz", "corpus", "lbl")
    os.makedirs(folder, exist_ok=True)
    for name, data in SEEDS.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)
    print(f"wrote {len(SEEDS)} seeds to {folder}")


if __name__ == "__main__":
    main()
