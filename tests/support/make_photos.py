#!/usr/bin/env python3
"""Writes example photos as PNG files (standard library only).

usage: make_photos.py FOLDER COUNT [--size WIDTHxHEIGHT] [--noise | --grain] [--prefix NAME]

Each picture is a colour gradient with a different hue. --noise makes every pixel
pseudo-random, so that the files stay large after compression (for upload benchmarks);
--grain keeps the gradient and adds pseudo-random grain to it, so that the files stay
about as large as their pixels (5 MB at 1600x1200), as photographs do.
"""

import argparse
import os
import random
import struct
import zlib


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def png(width, height, pixel_rows):
    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    raw = b"".join(b"\x00" + row for row in pixel_rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 6)) +
            chunk(b"IEND", b""))


def gradient_rows(width, height, base):
    """Red grows with x, green with y and blue with x + y, each modulo 256."""
    cycle = bytes((base + i) % 256 for i in range(256)) * (width // 256 + 2)
    row = bytearray(width * 3)
    row[0::3] = cycle[:width]
    for y in range(height):
        row[1::3] = bytes([(base + y) % 256]) * width
        row[2::3] = cycle[y % 256:y % 256 + width]
        yield bytes(row)


def rows(width, height, index, noise, grain):
    generator = random.Random(index)
    if noise:
        for _ in range(height):
            yield generator.randbytes(width * 3)
        return
    # Grain flips the four low bits of each byte at random (as whole-row integers, which
    # is fast): the gradient still shows, and the noise keeps PNG from compressing it.
    low_bits = int.from_bytes(b"\x0f" * (width * 3), "big")
    for row in gradient_rows(width, height, (index * 53) % 256):
        if grain:
            mixed = int.from_bytes(row, "big") ^ (int.from_bytes(generator.randbytes(len(row)), "big") & low_bits)
            row = mixed.to_bytes(len(row), "big")
        yield row


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("folder")
    parser.add_argument("count", type=int)
    parser.add_argument("--size", default="64x48")
    looks = parser.add_mutually_exclusive_group()
    looks.add_argument("--noise", action="store_true")
    looks.add_argument("--grain", action="store_true")
    parser.add_argument("--prefix", default="photo")
    options = parser.parse_args()
    width, height = (int(v) for v in options.size.lower().split("x"))
    os.makedirs(options.folder, exist_ok=True)
    for index in range(options.count):
        path = os.path.join(options.folder, "%s-%02d.png" % (options.prefix, index + 1))
        with open(path, "wb") as out:
            out.write(png(width, height, rows(width, height, index, options.noise, options.grain)))
        print(path)


if __name__ == "__main__":
    main()
