#!/usr/bin/env python3
"""Editor benchmark: build/bin/editor-bench (bench/editor_bench.cpp) on a 24-megapixel
camera JPEG (6000 x 4000, a photograph of Debian's mate-backgrounds enlarged with
sensor-like noise, as bench/make_photos.py makes them), median of several runs.

Reports the time from the edit button to the first view (target <= 0.25 s) against
vipsthumbnail fitting the same photo into the canvas, the time until the whole picture
is read (target <= 0.5 s) against a full decode by vips, the time OK takes to store an
edited photo (target <= 0.4 s), the longest busy stretch of a brightness drag, and the
peak memory (target <= 300 MB). Inputs are made under bench/out/editor/ (kept).

    bench/editor_bench.py [--build BUILD_DIR] [--runs N]
"""

import argparse
import json
import os
import statistics
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "bench", "out", "editor")
sys.path.insert(0, os.path.join(ROOT, "bench"))
import bench_report  # noqa: E402
import make_photos as camera  # noqa: E402


def make_inputs():
    os.makedirs(OUT, exist_ok=True)
    base = camera.make_base(6000, 4000, "GreenMeadow.jpg")
    paths = []
    for index, tint in enumerate(("1.05 0.95 1", "0.9 1 1.1")):
        path = os.path.join(OUT, f"camera-{index}.jpg")
        if not os.path.exists(path):
            camera.vips("linear", "--uchar", base, path + "[Q=92]", tint, "0 0 0")
        paths.append(path)
    return paths


def seconds_of(command):
    start = time.monotonic()
    subprocess.run(command, check=True, capture_output=True)
    return time.monotonic() - start


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default=os.path.join(ROOT, "build"))
    parser.add_argument("--runs", type=int, default=5)
    options = parser.parse_args()
    program = os.path.join(options.build, "bin", "editor-bench")
    if not os.access(program, os.X_OK):
        sys.exit(f"{program} not found: build the project first (make build)")
    photo, following = make_inputs()
    runs = [json.loads(subprocess.run([program, photo, following], check=True, capture_output=True,
                                      text=True).stdout) for _ in range(options.runs)]
    fitted = statistics.median(seconds_of(["vipsthumbnail", photo, "--size", "664x498", "-o",
                                           os.path.join(OUT, "fitted.jpg")]) for _ in range(options.runs))
    decoded = statistics.median(seconds_of(["vips", "copy", photo, os.path.join(OUT, "decoded.v")])
                                for _ in range(options.runs))
    os.remove(os.path.join(OUT, "decoded.v"))

    def median(key):
        return statistics.median(run[key] for run in runs)

    first, whole, ok = median("editor_open_ms") / 1000, median("editor_full_ms") / 1000, median("ok_ms") / 1000
    peak = max(run["peak_rss_mb"] for run in runs)
    move = max(run["longest_move_ms"] for run in runs)
    print(f"24 MP JPEG (6000x4000), median of {options.runs} runs")
    print(f"  first view after the edit button  {first:6.3f} s (vipsthumbnail to the canvas {fitted:.3f} s; "
          f"target <= 0.25 s)")
    print(f"  whole picture read                {whole:6.3f} s (vips full decode {decoded:.3f} s; target <= 0.5 s)")
    print(f"  OK storing the edited photo       {ok:6.3f} s (target <= 0.4 s)")
    print(f"  longest stretch of a drag         {move:6.1f} ms")
    print(f"  peak memory                       {peak:6.1f} MB (target <= 300 MB)")
    name = "24 MP JPEG"
    bench_report.record("editor", f"{name}: first view after the edit button", first, "s",
                        "vipsthumbnail to the canvas size", fitted, "<= 0.25 s")
    bench_report.record("editor", f"{name}: whole picture read", whole, "s", "vips copy (full decode)", decoded,
                        "<= 0.5 s")
    bench_report.record("editor", f"{name}: OK stores the edited photo", ok, "s", target="<= 0.4 s")
    bench_report.record("editor", f"{name}: longest busy stretch of a brightness drag", move, "ms")
    bench_report.record("editor", f"{name}: peak resident memory", peak, "MB", target="<= 300 MB")
    return 0


if __name__ == "__main__":
    sys.exit(main())
