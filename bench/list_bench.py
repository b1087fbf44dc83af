#!/usr/bin/env python3
"""List benchmark: 300 photos of 12 to 24 megapixels (bench/make_photos.py) added with
the page command "addFile" through trellan-run, against vipsthumbnail making the same
300 thumbnails two at a time in the same run.

Reports:
  - the longest time the control's thread was busy without returning to its loop
    (trellan-run --stats; target at most 50 ms);
  - the time until every tile has its picture read and its thumbnail made, and its
    ratio to vipsthumbnail's time (target at most 0.7);
  - peak resident memory with all tiles loaded, and again after rotating all of them
    (target at most 400 MB at ratio 1; at --scale R the thumbnails hold R² times their
    pixels, and the target grows by what that adds);
  - the time to scroll the list from top to bottom with the wheel.

    bench/list_bench.py [--build BUILD_DIR] [--count N] [--scale R]
"""

import argparse
import json
import os
import subprocess
import sys
import tempfile
import time

import bench_report
import make_photos

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def vipsthumbnail_seconds(paths, box):
    """Wall time of two vipsthumbnail processes, each making half the thumbnails."""
    with tempfile.TemporaryDirectory() as out:
        halves = [paths[0::2], paths[1::2]]
        start = time.monotonic()
        runs = [subprocess.Popen(["vipsthumbnail", "--size", f"{box}x{box}", "-o", os.path.join(out, "%s.jpg"), *half])
                for half in halves]
        for run in runs:
            if run.wait() != 0:
                sys.exit("vipsthumbnail failed")
        return time.monotonic() - start


class Control:
    """trellan-run fed line by line on its standard input."""

    def __init__(self, build, scale):
        self.process = subprocess.Popen(
            [os.path.join(build, "bin", "trellan-run"), "--stats", "--scale", f"{scale:g}", "--module",
             os.path.join(build, "lib", "libTrellan64.so"), "-"],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True, bufsize=1)

    def send(self, *lines):
        for line in lines:
            self.process.stdin.write(json.dumps(line) + "\n")
        self.process.stdin.flush()

    def read_until(self, prefix):
        for line in self.process.stdout:
            if line.startswith(prefix):
                return line[len(prefix):]
        sys.exit("trellan-run ended early")

    def tiles(self):
        self.send({"dump": "list"})
        return json.loads(self.read_until("#list "))

    def memory(self, field):
        with open(f"/proc/{self.process.pid}/status") as status:
            for line in status:
                if line.startswith(field + ":"):
                    return int(line.split()[1]) / 1024
        return 0.0

    def finish(self):
        self.process.stdin.close()
        stats = json.loads(self.read_until("#stats "))
        self.process.wait()
        return stats


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default=os.path.join(ROOT, "build"))
    parser.add_argument("--count", type=int, default=300)
    parser.add_argument("--scale", type=float, default=1.0, help="device pixel ratio")
    args = parser.parse_args()
    box = round(120 * args.scale)
    # A thumbnail takes at most box² pixels of 4 bytes: what the larger ones add.
    limit = 400 + args.count * 4 * (box * box - 120 * 120) / 2**20
    paths = [os.path.abspath(p) for p in make_photos.make_photos(args.count)]
    print(f"{len(paths)} photos, {sum(os.path.getsize(p) for p in paths) / 2**20:.0f} MiB; "
          f"{os.cpu_count()} processors", flush=True)

    vips = vipsthumbnail_seconds(paths, box)

    control = Control(args.build, args.scale)
    control.send({"post": {"name": "init", "config": {"PostUrl": "http://127.0.0.1:9/"}}})
    control.read_until('{"browser"')
    start = time.monotonic()
    control.send(*({"post": {"name": "addFile", "path": p}} for p in paths))
    while True:
        control.send({"pump_ms": 250})
        listed = control.tiles()
        if len(listed["tiles"]) == len(paths) and all(t["loaded"] for t in listed["tiles"]):
            break
    loaded = time.monotonic() - start
    control.send({"pump_ms": 200})
    control.tiles()
    peak_loaded = control.memory("VmHWM")

    # Every tile selected (a click on the first, then Ctrl+A), then the toolbar's
    # "rotate right" link.
    control.send({"click": [60, 120]}, {"key": "a", "ctrl": True}, {"click": [620, 15]}, {"pump_ms": 200})
    rotated = sum(t["rotation"] == 1 for t in control.tiles()["tiles"])
    peak_rotated = control.memory("VmHWM")
    resident_rotated = control.memory("VmRSS")

    start = time.monotonic()
    notches = 0
    scroll = -1
    while True:
        control.send(*([{"wheel": -120, "x": 400, "y": 300}] * 10))
        notches += 10
        now = control.tiles()["scroll"]
        if now == scroll:
            break
        scroll = now
    scrolled = time.monotonic() - start

    stats = control.finish()
    print(f"longest busy stretch of the control's thread: {stats['longest_busy_ms']:.1f} ms "
          f"(messages {stats['longest_message_ms']:.1f} ms, page commands {stats['longest_command_ms']:.1f} ms; "
          f"target <= 50)")
    print(f"every thumbnail ready: {loaded:.2f} s; vipsthumbnail two at a time: {vips:.2f} s; "
          f"ratio {loaded / vips:.2f} (target <= 0.7)")
    print(f"peak resident memory with {len(paths)} tiles loaded: {peak_loaded:.0f} MB; after rotating "
          f"{rotated} tiles: peak {peak_rotated:.0f} MB, resident {resident_rotated:.0f} MB (target <= {limit:.0f})")
    name = f"{len(paths)} photos of 12-24 MP" + (f" at ratio {args.scale:g}" if args.scale != 1 else "")
    bench_report.record("list", f"{name}: longest busy stretch of the control's thread", stats["longest_busy_ms"],
                        "ms", target="<= 50 ms")
    bench_report.record("list", f"{name}: every thumbnail ready", loaded, "s", "vipsthumbnail, two at a time", vips,
                        "ratio <= 0.7")
    bench_report.record("list", f"{name}: peak memory, all loaded", peak_loaded, "MB", target=f"<= {limit:.0f} MB")
    bench_report.record("list", f"{name}: peak memory after rotating all", peak_rotated, "MB",
                        target=f"<= {limit:.0f} MB")
    print(f"wheel from top to bottom (position {scroll}): {scrolled * 1000:.0f} ms for {notches} notches "
          f"(the last ten at the bottom)")


if __name__ == "__main__":
    main()
