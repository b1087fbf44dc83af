#!/usr/bin/env python3
"""Upload benchmark: trellan-post against curl, sending the same bytes.

50 photos of 2 to 4 MB (generated PNGs with noisy pixels, so that they stay that
large). Encoding them as the upload threads do (PNG, and JPEG at quality 100) is timed
with trellan-picture encode, three at a time. Sending is compared on the same photos
as BMP files, which the engine encodes by copying pixels: they go to the test receiver
on loopback, three at a time, once by trellan-post --threads 3 and once by one curl
process posting equivalent multipart bodies (--parallel --parallel-max 3) with the
bytes the engine sends, the same fields and file names; then both again one at a time,
where nothing else runs beside the upload. Last, 50 camera-size JPEGs (24 MP) are
sent by trellan-post --send-original and by curl, three at a time, both posting the
files' own bytes.

The receiver measures sending: for each request, the span from its connection to the
last byte of its body. Two figures come from those spans: the seconds during which any
upload was on the wire (the target's measure: how long sending the set takes), and the
spans summed over requests, printed with the mean number in flight, which shows
whether both senders really kept three uploads going. The engine encodes each picture
before it connects, so encoding is not in its wire time. Wall times are
printed too. Inputs are made under bench/out/upload/ (kept between runs).

    bench/upload_bench.py [--build BUILD_DIR] [--runs N] [--files N]
"""

import argparse
import concurrent.futures
import json
import os
import shutil
import subprocess
import sys
import time

import bench_report

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "bench", "out", "upload")
SUPPORT = os.path.join(ROOT, "tests", "support")
SIZES = ["900x800", "1000x900", "1100x1000", "1150x1150"]


def install_curl():
    if shutil.which("curl"):
        return
    sudo = [] if os.geteuid() == 0 else ["sudo"]
    env = dict(os.environ, DEBIAN_FRONTEND="noninteractive")
    subprocess.run(sudo + ["apt-get", "update", "-q"], check=True, env=env)
    subprocess.run(sudo + ["apt-get", "install", "-y", "--no-install-recommends", "curl"], check=True, env=env)


def make_photos(count):
    folder = os.path.join(OUT, "photos")
    existing = sorted(f for f in os.listdir(folder)) if os.path.isdir(folder) else []
    if len(existing) == count:
        return [os.path.join(folder, f) for f in existing]
    shutil.rmtree(folder, ignore_errors=True)
    paths = []
    per_size = (count + len(SIZES) - 1) // len(SIZES)
    for index, size in enumerate(SIZES):
        made = min(per_size, count - len(paths))
        if made <= 0:
            break
        result = subprocess.run([sys.executable, os.path.join(SUPPORT, "make_photos.py"), folder, str(made),
                                 "--size", size, "--noise", "--prefix", "photo%d" % index],
                                check=True, capture_output=True, text=True)
        paths += result.stdout.split()
    return sorted(paths)


def encode_all(build, photos, format_name, folder_name=None):
    """trellan-picture encode, three at a time, as three upload threads would."""
    folder = os.path.join(OUT, folder_name or "encoded-" + format_name)
    os.makedirs(folder, exist_ok=True)
    tool = os.path.join(build, "bin", "trellan-picture")

    def encode(path):
        out = os.path.join(folder, os.path.splitext(os.path.basename(path))[0] + "." + format_name)
        subprocess.run([tool, "encode", "--format", format_name, path, out], check=True, capture_output=True)
        return out

    started = time.monotonic()
    with concurrent.futures.ThreadPoolExecutor(3) as pool:
        encoded = list(pool.map(encode, photos))
    return encoded, time.monotonic() - started


def busy_seconds(intervals):
    """The length of the union of the (start, end) intervals."""
    busy, reach = 0.0, None
    for start, end in sorted(intervals):
        if reach is None or start > reach:
            busy += end - start
            reach = end
        elif end > reach:
            busy += end - reach
            reach = end
    return busy


class Receiver:
    def __init__(self):
        self.stats = os.path.join(OUT, "stats.json")
        self.process = subprocess.Popen([sys.executable, os.path.join(SUPPORT, "receiver.py"), "--stats", self.stats,
                                         "--exit-on-stdin-eof"], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        text=True)
        self.port = int(self.process.stdout.readline().split()[1])
        self.url = "http://127.0.0.1:%d/upload" % self.port

    def wire(self):
        """(summed per-upload wire seconds, seconds during which any upload was sending)"""
        with open(self.stats) as f:
            stats = json.load(f)
        return stats["wire_seconds"], busy_seconds(stats["wire_intervals"])

    def close(self):
        self.process.stdin.close()
        self.process.wait(timeout=10)


def timed(command):
    started = time.monotonic()
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return time.monotonic() - started


def run_engine(build, photos, threads, extra=()):
    receiver = Receiver()
    try:
        wall = timed([os.path.join(build, "bin", "trellan-post"), "--url", receiver.url, "--threads", str(threads)] +
                     list(extra) + photos)
        return (wall,) + receiver.wire()
    finally:
        receiver.close()


def run_curl(encoded, threads):
    receiver = Receiver()
    try:
        # --parallel-immediate opens the connections at once; without it curl waits on
        # the first connection for multiplexing and, as every request closes its
        # connection, ends up sending one file at a time.
        command = ["curl", "--silent", "--parallel", "--parallel-immediate", "--parallel-max", str(threads)]
        for index, path in enumerate(encoded):
            name = os.path.basename(path).replace("-", "%2D").replace(".", "%2E")
            if index:
                command.append("--next")
            # Options apply per transfer after --next; an empty Expect keeps curl from
            # waiting for a "100 Continue", as the engine does.
            command += ["-o", "/dev/null", "-A", "Quelvane7", "-H", "Connection: Close", "-H", "Expect:",
                        "-F", "id=%032x" % index, "-F", "width=1000", "-F", "height=900", "-F", "remark=" + name,
                        "-F", "file=@%s;filename=%s;type=application/octet-stream" % (path, name), receiver.url]
        wall = timed(command)
        return (wall,) + receiver.wire()
    finally:
        receiver.close()


def make_camera_photos(count):
    """Camera-size JPEGs: 24 megapixels from a photograph of Debian's mate-backgrounds,
    enlarged with sensor-like noise (as bench/make_photos.py makes them), each tinted."""
    sys.path.insert(0, os.path.join(ROOT, "bench"))
    import make_photos as camera
    folder = os.path.join(OUT, "camera")
    os.makedirs(folder, exist_ok=True)
    base = camera.make_base(6000, 4000, "GreenMeadow.jpg")

    def make(index):
        path = os.path.join(folder, "camera-%03d.jpg" % index)
        if not os.path.exists(path):
            scales = [0.85 + ((index * k) % 31) / 100 for k in (7, 11, 13)]
            shifts = [((index * k) % 21) - 10 for k in (3, 5, 17)]
            camera.vips("linear", "--uchar", "--", base, path + "[Q=92]", " ".join(map(str, scales)),
                        " ".join(map(str, shifts)))
        return path

    with concurrent.futures.ThreadPoolExecutor(2) as pool:
        return list(pool.map(make, range(count)))


def compare(build, bitmaps, sent, threads, runs, wall_target, extra=(), label=""):
    engine_runs, curl_runs = [], []
    for _ in range(runs):
        engine_runs.append(run_engine(build, bitmaps, threads, extra))
        curl_runs.append(run_curl(sent, threads))
    engine = [min(r[i] for r in engine_runs) for i in (0, 1, 2)]
    curl = [min(r[i] for r in curl_runs) for i in (0, 1, 2)]
    print("best of %d runs, %d upload%s in flight%s:" % (runs, threads, "s" if threads > 1 else "", label))
    for name, (wall, summed, busy) in (("trellan-post", engine), ("curl", curl)):
        print("  %-13s %.2f s wall, %.2f s sending (any upload on the wire), %.2f s summed over uploads "
              "(%.2f in flight on average)" % (name + ":", wall, busy, summed, summed / busy))
    print("  sending ratio (seconds sending, trellan-post / curl): %.2f" % (engine[2] / curl[2]))
    print("  summed-wire ratio: %.2f" % (engine[1] / curl[1]))
    print("  wall ratio: %.2f   (target <= %.2f)" % (engine[0] / curl[0], wall_target))
    name = "%d in flight%s" % (threads, label)
    bench_report.record("upload", "%s: wall time" % name, engine[0], "s", "curl", curl[0], "ratio <= %.2f" % wall_target)
    if threads > 1:
        print("  trellan-post uploads on the wire: %.2f of %d on average   (target >= %.1f)"
              % (engine[1] / engine[2], threads, 0.9 * threads))
        bench_report.record("upload", "%s: uploads on the wire on average" % name, engine[1] / engine[2], "",
                            "curl", curl[1] / curl[2], ">= %.1f" % (0.9 * threads))


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default=os.path.join(ROOT, "build"))
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--files", type=int, default=50)
    options = parser.parse_args()
    build = os.path.abspath(options.build)
    install_curl()

    photos = make_photos(options.files)
    print("%d photos, %.1f MB of PNG" % (len(photos), sum(os.path.getsize(p) for p in photos) / 1e6))
    for format_name in ("png", "jpg"):
        _, seconds = encode_all(build, photos, format_name)
        print("encoding them as %s (trellan-picture encode, 3 at a time): %.2f s wall" % (format_name, seconds))
    # Sending is compared on BMP pictures, whose encoding is a plain copy of the pixels,
    # so that encoding on the upload threads does not take the processor from sending.
    bitmaps, _ = encode_all(build, photos, "bmp")
    sent, _ = encode_all(build, bitmaps, "bmp", "sent-bmp")
    print("sending %d BMP pictures, %.1f MB" % (len(sent), sum(os.path.getsize(p) for p in sent) / 1e6))

    for threads, target in ((3, 1.15), (1, 1.3)):
        compare(build, bitmaps, sent, threads, options.runs, target)

    # Camera photos with "SendOriginal": the engine sends each file's own bytes, as curl does.
    cameras = make_camera_photos(options.files)
    print("sending %d camera JPEGs of 24 MP, %.1f MB, as their own bytes" %
          (len(cameras), sum(os.path.getsize(p) for p in cameras) / 1e6))
    compare(build, cameras, cameras, 3, options.runs, 1.1, ["--send-original"], ", --send-original")


if __name__ == "__main__":
    main()
