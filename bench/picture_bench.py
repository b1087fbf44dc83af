#!/usr/bin/env python3
"""Picture benchmark: trellan-picture against the tools a user would pick instead.

Thumbnails (box 120 x 120) against vipsthumbnail, ImageMagick's convert -thumbnail
and the JPEG decode floor (djpeg -scale 1/8); thumbnails of HEIC (with and without
an embedded thumbnail), AVIF and WebP photos against vipsthumbnail; JPEG encoding at quality 100
against cjpeg -quality 100 on the same pixels (one 24-bit BMP read by both). Every
command is timed as a whole process with hyperfine; peak memory comes from
/usr/bin/time -v. Inputs are made under bench/out/ (kept between runs) from the
photographs of Debian's mate-backgrounds package.

    bench/picture_bench.py [--build BUILD_DIR] [--runs N] [--only TEXT]
"""

import argparse
import json
import os
import shutil
import subprocess
import sys

import bench_report

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "bench", "out")
PACKAGES = ["libvips-tools", "libheif-examples", "libavif-bin", "webp", "imagemagick", "libjpeg-turbo-progs", "mate-backgrounds", "hyperfine", "time"]
BACKGROUNDS = "/usr/share/backgrounds/mate"


def install_tools():
    missing = [p for p in PACKAGES
               if subprocess.run(["dpkg-query", "-W", "-f=${Status}", p], capture_output=True,
                                 text=True).stdout != "install ok installed"]
    if not missing:
        return
    sudo = [] if os.geteuid() == 0 else ["sudo"]
    env = dict(os.environ, DEBIAN_FRONTEND="noninteractive")
    subprocess.run(sudo + ["apt-get", "update", "-q"], check=True, env=env)
    subprocess.run(sudo + ["apt-get", "install", "-y", "--no-install-recommends"] + missing, check=True, env=env)


def make(path, command):
    """Runs the command that writes path unless an earlier run made it already."""
    if not os.path.exists(path):
        print("making", os.path.relpath(path, ROOT), flush=True)
        subprocess.run(command, shell=True, check=True)
    return path


def make_inputs():
    os.makedirs(OUT, exist_ok=True)
    nature = os.path.join(BACKGROUNDS, "nature")
    # A 24-megapixel baseline photo: a real photograph enlarged, with sensor-like noise
    # so that it carries photographic detail at full size.
    photo = make(os.path.join(OUT, "photo-6000x4000.jpg"),
                 f"convert {nature}/TwoWings.jpg -resize 6000x4000! -attenuate 0.4 +noise Gaussian "
                 f"-sampling-factor 2x2 -quality 92 -interlace none {OUT}/photo-6000x4000.jpg")
    bmp = make(os.path.join(OUT, "photo-6000x4000.bmp"), f"convert {photo} -type truecolor BMP3:{OUT}/photo-6000x4000.bmp")
    png = make(os.path.join(OUT, "photo-4000x3000.png"), f"convert {photo} -resize 4000x3000! {OUT}/photo-4000x3000.png")
    # A phone's 12 MP photo in the phones' formats; the HEIC files once with a 320-pixel
    # embedded thumbnail, as phones write them, and once without.
    phone = make(os.path.join(OUT, "photo-4032x3024.png"), f"convert {photo} -resize 4032x3024! {OUT}/photo-4032x3024.png")
    heic = make(os.path.join(OUT, "photo-4032x3024.heic"), f"heif-enc -q 80 -t 320 {phone} -o {OUT}/photo-4032x3024.heic")
    bare = make(os.path.join(OUT, "photo-bare-4032x3024.heic"), f"heif-enc -q 80 {phone} -o {OUT}/photo-bare-4032x3024.heic")
    avif = make(os.path.join(OUT, "photo-4032x3024.avif"), f"avifenc -s 8 {phone} {OUT}/photo-4032x3024.avif > /dev/null")
    webp = make(os.path.join(OUT, "photo-4032x3024.webp"), f"cwebp -quiet -q 85 {phone} -o {OUT}/photo-4032x3024.webp")
    return {
        "24 MP baseline JPEG (6000x4000)": (photo, "jpeg"),
        "progressive JPEG (Elephants 5640x3172)": (os.path.join(BACKGROUNDS, "abstract", "Elephants_5640x3172.jpg"), "jpeg"),
        "photo JPEG (Wood 2560x1920)": (os.path.join(nature, "Wood.jpg"), "jpeg"),
        "photo JPEG (RainDrops 1920x1200)": (os.path.join(nature, "RainDrops.jpg"), "jpeg"),
        "12 MP PNG (4000x3000)": (png, "png"),
        "12 MP HEIC with embedded thumbnail (4032x3024)": (heic, "phone"),
        "12 MP HEIC without thumbnail (4032x3024)": (bare, "phone"),
        "12 MP AVIF (4032x3024)": (avif, "phone"),
        "12 MP WebP (4032x3024)": (webp, "phone"),
    }, bmp


def timed(commands, runs):
    """Median wall time and mean processor time (user + system) in seconds of each
    command (name -> shell command). On a shared machine the median keeps a few
    disturbed runs from moving the wall figure, and the processor time is steadier."""
    report = os.path.join(OUT, "hyperfine.json")
    args = ["hyperfine", "--style", "none", "--warmup", "1", "--runs", str(runs), "--export-json", report]
    for name, command in commands.items():
        args += ["--command-name", name, command]
    subprocess.run(args, check=True, stdout=subprocess.DEVNULL)
    with open(report) as f:
        return {r["command"]: (r["median"], r["user"] + r["system"]) for r in json.load(f)["results"]}


def peak_memory_mb(command):
    result = subprocess.run(["/usr/bin/time", "-v", "sh", "-c", command], capture_output=True, text=True)
    for line in result.stderr.splitlines():
        if "Maximum resident set size" in line:
            return int(line.split(":")[1]) / 1024
    return float("nan")


def compare(title, commands, runs):
    times = timed(commands, runs)
    wall, cpu = times["trellan-picture"]
    for name in commands:
        if name != "trellan-picture":
            bench_report.record("picture", f"{title}: wall time of trellan-picture", wall, "s", name, times[name][0])
    print(f"\n{title}")
    print(f"  {'command':<18}{'wall ms':>9}{'ours/it':>9}{'cpu ms':>9}{'ours/it':>9}{'peak MB':>9}")
    for name, command in commands.items():
        their_wall, their_cpu = times[name]
        print(f"  {name:<18}{their_wall * 1000:>9.1f}{wall / their_wall:>9.2f}"
              f"{their_cpu * 1000:>9.1f}{cpu / their_cpu:>9.2f}{peak_memory_mb(command):>9.1f}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default=os.path.join(ROOT, "build"), help="build folder holding bin/trellan-picture")
    parser.add_argument("--runs", type=int, default=10)
    parser.add_argument("--only", default="", help="run only the comparisons whose title holds this text")
    options = parser.parse_args()
    program = os.path.join(options.build, "bin", "trellan-picture")
    if not os.access(program, os.X_OK):
        sys.exit(f"{program} not found: build the project first (make build)")
    install_tools()
    inputs, bmp = make_inputs()
    print("Ratios are trellan-picture's time over the other command's: below 1 means trellan-picture is faster.")

    for title, (path, kind) in inputs.items():
        if options.only not in title:
            continue
        commands = {
            "trellan-picture": f"{program} thumbnail {path} {OUT}/thumb-ours.jpg",
            "vipsthumbnail": f"vipsthumbnail {path} -s 120 -o {OUT}/thumb-vips.jpg",
        }
        # Debian's ImageMagick reads none of the phone formats in every build.
        if kind != "phone":
            commands["convert"] = f"convert {path} -thumbnail 120x120 {OUT}/thumb-magick.jpg"
        if kind == "jpeg":
            commands["djpeg -scale 1/8"] = f"djpeg -scale 1/8 {path} > /dev/null"
        compare(f"thumbnail, {title}", commands, options.runs)

    if options.only:
        return
    compare("JPEG encoding at quality 100, 24 MP from one BMP", {
        "trellan-picture": f"{program} encode --format jpg {bmp} {OUT}/encoded-ours.jpg",
        "cjpeg -quality 100": f"cjpeg -quality 100 {bmp} > {OUT}/encoded-cjpeg.jpg",
    }, max(3, options.runs // 3))


if __name__ == "__main__":
    main()
