#!/usr/bin/env python3
"""Writes example photos as PNG files (standard library only).

usage: make_photos.py FOLDER COUNT [--size WIDTHxHEIGHT] [--noise] [--prefix NAME]

Each picture is a colour gradient with a different hue; --noise adds pseudo-random
pixels so that the files stay large after compression (for upload benchmarks).
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


def rows(width, height, index, noise):
    generator = random.Random(index)
    base = (index * 53) % 256
    for y in range(height):
        if noise:
            yield generator.randbytes(width * 3)
            continue
        row = bytearray()
        for x in range(width):
            row += bytes(((base + x) % 256, (base + y) % 256, (base + x + y) % 256))
        yield bytes(row)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("folder")
    parser.add_argument("count", type=int)
    parser.add_argument("--size", default="64x48")
    parser.add_argument("--noise", action="store_true")
    parser.add_argument("--prefix", default="photo")
    options = parser.parse_args()
    width, height = (int(v) for v in options.size.lower().split("x"))
    os.makedirs(options.folder, exist_ok=True)
    for index in range(options.count):
        path = os.path.join(options.folder, "%s-%02d.png" % (options.prefix, index + 1))
        with open(path, "wb") as out:
            out.write(png(width, height, rows(width, height, index, options.noise)))
        print(path)


if __name__ == "__main__":
    main()
