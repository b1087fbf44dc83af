#!/usr/bin/env python3
"""File-add dialog benchmark: a folder of 500 photos of 6 to 24 megapixels.

Reports how long until the dialog's grid shows all 500 names, how long until every
thumbnail is read, the longest time the window thread was busy (target <= 50 ms) and
the peak memory, from build/bin/file-add-bench; and compares the thumbnail time with
vipsthumbnail making the same 500 thumbnails two at a time (target <= 0.8 of it).
The photos are ten real photographs at four sizes, linked under 500 names (so the
folder costs the disk ten files), made under bench/out/ and kept between runs.

    bench/file_add_bench.py [--build BUILD_DIR] [--runs N]
"""

import argparse
import glob
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

import bench_report

from picture_bench import BACKGROUNDS, OUT, ROOT, install_tools, make

SIZES = ["3000x2000", "4000x3000", "4896x3264", "6000x4000"]
COUNT = 500


def make_folder():
    sources = sorted(glob.glob(os.path.join(BACKGROUNDS, "nature", "*.jpg")))[:10]
    bases = []
    for index, source in enumerate(sources):
        size = SIZES[index % len(SIZES)]
        base = os.path.join(OUT, f"dialog-base-{index}-{size}.jpg")
        bases.append(make(base, f"convert '{source}' -resize {size}! -quality 90 {base}"))
    folder = os.path.join(OUT, "dialog-500")
    if len(glob.glob(os.path.join(folder, "*.jpg"))) != COUNT:
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)
        for i in range(COUNT):
            os.link(bases[i % len(bases)], os.path.join(folder, f"photo-{i:03d}.jpg"))
    return folder


def dialog_run(build, folder):
    result = subprocess.run([os.path.join(build, "bin", "file-add-bench"), folder], capture_output=True, text=True,
                            check=True)
    return json.loads(result.stdout.strip().splitlines()[-1])


def vips_run(folder):
    """Seconds for vipsthumbnail to make every 120 x 120 thumbnail, two processes at once."""
    files = sorted(glob.glob(os.path.join(folder, "*.jpg")))
    with tempfile.TemporaryDirectory() as target:
        started = time.monotonic()
        subprocess.run(["xargs", "-P", "2", "-n", str(COUNT // 2 + 1), "vipsthumbnail", "-s", "120x120", "-o",
                        os.path.join(target, "%s.jpg")], input="\n".join(files), text=True, check=True)
        return (time.monotonic() - started) * 1000.0


def median(values):
    ordered = sorted(values)
    return ordered[len(ordered) // 2]


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default=os.path.join(ROOT, "build"))
    parser.add_argument("--runs", type=int, default=3)
    args = parser.parse_args()
    install_tools()
    os.makedirs(OUT, exist_ok=True)
    folder = make_folder()
    runs = [dialog_run(args.build, folder) for _ in range(args.runs)]
    vips = median([vips_run(folder) for _ in range(args.runs)])
    thumbnails = median([r["thumbnails_ms"] for r in runs])
    print(f"folder of {runs[0]['pictures']} photos (6-24 MP), median of {args.runs} runs")
    print(f"  all names in the grid      {median([r['names_ms'] for r in runs]):8.1f} ms")
    print(f"  every thumbnail read       {thumbnails:8.1f} ms")
    print(f"  vipsthumbnail, 2 at a time {vips:8.1f} ms   ratio {thumbnails / vips:.2f} (target <= 0.8)")
    print(f"  longest busy stretch       {max(r['longest_busy_ms'] for r in runs):8.1f} ms (target <= 50)")
    print(f"  peak memory                {max(r['peak_rss_mb'] for r in runs):8.1f} MB")
    name = f"folder of {runs[0]['pictures']} photos"
    bench_report.record("file-add", f"{name}: every thumbnail read", thumbnails / 1000, "s",
                        "vipsthumbnail, two at a time", vips / 1000, "ratio <= 0.8")
    bench_report.record("file-add", f"{name}: longest busy stretch", max(r["longest_busy_ms"] for r in runs), "ms",
                        target="<= 50 ms")
    bench_report.record("file-add", f"{name}: peak memory", max(r["peak_rss_mb"] for r in runs), "MB")
    return 0


if __name__ == "__main__":
    sys.exit(main())
