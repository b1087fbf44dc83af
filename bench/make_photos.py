#!/usr/bin/env python3
"""Makes the photo set of the list benchmark: COUNT photos of 12 to 24 megapixels,
JPEG with every thirtieth one PNG, under bench/out/photos/ (kept between runs).

Each size class starts from a different photograph of Debian's mate-backgrounds,
enlarged and given sensor-like noise so that it carries photographic detail at full
size; every photo is that base with a colour tint of its own, so no two files are
alike. Uses vips from libvips-tools.

    bench/make_photos.py [--count N]
"""

import argparse
import os
import subprocess
from concurrent.futures import ThreadPoolExecutor

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "bench", "out")
PHOTOS = os.path.join(OUT, "photos")
NATURE = "/usr/share/backgrounds/mate/nature"
# (width, height, source photograph): 12, 16, 20 and 24 megapixels, two of them upright.
SIZES = [(4000, 3000, "TwoWings.jpg"), (3264, 4896, "FreshFlower.jpg"),
         (5472, 3648, "GreenMeadow.jpg"), (4000, 6000, "LadyBird.jpg")]


def vips(*args):
    subprocess.run(["vips", *map(str, args)], check=True, capture_output=True)


def make_base(width, height, source):
    """The enlarged, noisy photograph of one size class, as an uncompressed vips file."""
    base = os.path.join(OUT, f"base-{width}x{height}.v")
    if os.path.exists(base):
        return base
    tmp = os.path.join(OUT, "tmp")
    os.makedirs(tmp, exist_ok=True)
    resized, noise, noise3 = (os.path.join(tmp, f"{name}-{width}.v") for name in ("resized", "noise", "noise3"))
    source_path = os.path.join(NATURE, source)
    vips("thumbnail", source_path, resized, width, "--height", height, "--size", "force")
    vips("gaussnoise", noise, width, height, "--sigma", 9, "--mean", 0)
    vips("bandjoin", f"{noise} {noise} {noise}", noise3)
    vips("add", resized, noise3, base + ".float.v")
    vips("cast", base + ".float.v", base, "uchar")
    for path in (resized, noise, noise3, base + ".float.v"):
        os.remove(path)
    return base


def make_photo(index, bases):
    width, height, _ = SIZES[index % len(SIZES)]
    extension = "png" if index % 30 == 7 else "jpg"
    path = os.path.join(PHOTOS, f"photo-{index:03d}.{extension}")
    if os.path.exists(path):
        return path
    # A tint of its own: each band scaled by 0.85 .. 1.15 and shifted a little.
    scales = [0.85 + ((index * k) % 31) / 100 for k in (7, 11, 13)]
    shifts = [((index * k) % 21) - 10 for k in (3, 5, 17)]
    saver = "[compression=1]" if extension == "png" else "[Q=90,strip]"
    # "--" ends the options: the shifts may be negative.
    vips("linear", "--uchar", "--", bases[index % len(SIZES)], path + saver, " ".join(map(str, scales)),
         " ".join(map(str, shifts)))
    return path


def make_photos(count):
    os.makedirs(PHOTOS, exist_ok=True)
    bases = [make_base(*size) for size in SIZES]
    with ThreadPoolExecutor(max_workers=2) as pool:
        return list(pool.map(lambda i: make_photo(i, bases), range(count)))


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--count", type=int, default=300)
    args = parser.parse_args()
    paths = make_photos(args.count)
    total = sum(os.path.getsize(p) for p in paths)
    print(f"{len(paths)} photos, {total / 2**20:.0f} MiB, in {PHOTOS}")


if __name__ == "__main__":
    main()
