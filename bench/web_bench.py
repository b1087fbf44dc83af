#!/usr/bin/env python3
"""Web session benchmark: trellan-host and a session's control process on loopback,
driven by a WebSocket client that acts as the page (it acknowledges every frame at
once, as trellan.js does after drawing it).

Measures:
  - round trip: "init" posted to the control until "load_complete" is back (median, p90);
  - a full repaint of an 800 x 600 control holding 20 tiles: bytes and time from the
    resize until the last frame, with the bytes the same pixels take raw and as
    deflate at the default level (the codec choice: fast PNG against the alternatives);
  - frames per second delivered while the wheel scrolls a list of 300 tiles at 60 and at
    240 notches a second (faster than frames can go: notches merge), with the bytes
    they took and how many moved the page's pixels as a copy;
  - resident memory of a session's process, idle and with 300 tiles.

Photos (640 x 480, larger than a thumbnail at ratio 2) are made under bench/out/web/
(kept between runs). Each of --ratios plays a page of that device pixel ratio in a
session of its own: the control's surfaces, frames and thumbnails are in its device
pixels (the sizes above stay in CSS pixels); the session's memory at each is compared
with that at the first (target: at most twice).

    bench/web_bench.py [--build BUILD_DIR] [--rounds N] [--ratios 1,2]
"""

import argparse
import json
import os
import select
import socket
import statistics
import struct
import subprocess
import sys
import tempfile
import time
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "bench", "out", "web")
sys.path.insert(0, os.path.join(ROOT, "tests", "host"))
import wsclient  # noqa: E402
import bench_report  # noqa: E402


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def make_photos(count):
    folder = os.path.join(OUT, f"photos-640-{count}")
    if not os.path.isdir(folder) or len(os.listdir(folder)) < count:
        os.makedirs(folder, exist_ok=True)
        subprocess.run([sys.executable, os.path.join(ROOT, "tests", "support", "make_photos.py"), folder, str(count),
                        "--size", "640x480"], check=True, stdout=subprocess.DEVNULL)
    return sorted(os.path.join(folder, name) for name in os.listdir(folder))[:count]


def post(session, command):
    session.send_json({"t": "post", "text": json.dumps(command)})


def frame_pictures(frame):
    """The PNGs of a frame message."""
    count, = struct.unpack("<I", frame[29:33])
    pictures, at = [], 33
    for _ in range(count):
        size, = struct.unpack("<I", frame[at + 8:at + 12])
        pictures.append(frame[at + 12:at + 12 + size])
        at += 12 + size
    return pictures


def frame_copies(frame):
    """Whether a frame moves the page's pixels."""
    width, height = struct.unpack("<ii", frame[17:25])
    return width > 0 and height > 0


def frames_until_quiet(session, quiet=0.4, limit=20.0):
    """Reads until no frame has come for `quiet` seconds; returns [(time, payload)]."""
    got = []
    end = time.monotonic() + limit
    session.sock.settimeout(quiet)
    while time.monotonic() < end:
        try:
            opcode, payload = session.read_message()
        except (socket.timeout, TimeoutError):
            break
        if opcode == 2:
            session.ack(payload)
            got.append((time.monotonic(), payload))
    session.sock.settimeout(20)
    return got


def wheel_frames(session, rate, seconds=3.0):
    """Turns the wheel `rate` notches a second, thirty down, thirty up and again: each
    notch scrolls a row of tiles, and the list (75 rows) never reaches its end, where
    notches change nothing. Returns the frames, those moved by a copy, and their bytes."""
    count, copies, sent, notches, start = 0, 0, 0, 0, time.monotonic()
    next_notch = start
    while time.monotonic() - start < seconds:
        if time.monotonic() >= next_notch:
            session.send_json({"t": "wheel", "d": -120 if notches // 30 % 2 == 0 else 120, "x": 400, "y": 300})
            notches += 1
            next_notch += 1 / rate
        # A message is read whole once it starts, so a time-out never cuts one.
        if not session.buffer and not select.select([session.sock], [], [], 0.002)[0]:
            continue
        opcode, payload = session.read_message()
        if opcode == 2:
            session.ack(payload)
            count += 1
            copies += frame_copies(payload)
            sent += len(payload)
    return count, copies, sent


def png_pixels(png):
    """Raw RGB bytes of one of the session's PNGs (8-bit RGB, not interlaced)."""
    width, height = struct.unpack(">II", png[16:24])
    at, data = 8, b""
    while at < len(png):
        length, kind = struct.unpack(">I4s", png[at:at + 8])
        if kind == b"IDAT":
            data += png[at + 8:at + 8 + length]
        at += 12 + length
    raw = zlib.decompress(data)
    stride = width * 3
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind, row = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for x in range(stride):
            left = row[x - 3] if x >= 3 else 0
            up = previous[x]
            if kind == 1:
                row[x] = (row[x] + left) & 0xFF
            elif kind == 2:
                row[x] = (row[x] + up) & 0xFF
            elif kind == 3:
                row[x] = (row[x] + (left + up) // 2) & 0xFF
            elif kind == 4:
                upper_left = previous[x - 3] if x >= 3 else 0
                p = left + up - upper_left
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - upper_left)
                row[x] = (row[x] + (left if pa <= pb and pa <= pc else up if pb <= pc else upper_left)) & 0xFF
        rows.append(bytes(row))
        previous = row
    return b"".join(rows)


def rss_kib(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


def start_host(build):
    """A trellan-host on a free loopback port with the module registered; returns the
    process and its port."""
    bin_dir = os.path.join(build, "bin")
    registry = os.path.join(build, "registry")
    subprocess.run([os.path.join(bin_dir, "trellan-regsvr"), os.path.join(build, "lib", "libTrellan64.so")],
                   check=True, stdout=subprocess.DEVNULL, env=dict(os.environ, TRELLAN_REGISTRY_DIR=registry))
    port = free_port()
    host = subprocess.Popen([os.path.join(bin_dir, "trellan-host"), "--port", str(port)], stdout=subprocess.PIPE,
                            env=dict(os.environ, TRELLAN_REGISTRY_DIR=registry, TMPDIR=tempfile.mkdtemp()),
                            text=True)
    host.stdout.readline()
    return host, port


def round_trips(session, rounds):
    times = []
    for _ in range(rounds):
        start = time.perf_counter()
        post(session, {"name": "init", "config": {"PostUrl": "http://127.0.0.1:9/upload"}})
        session.wait_for(lambda m: m["t"] == "event")
        times.append((time.perf_counter() - start) * 1000)
    times.sort()
    print(f"round trip init -> load_complete: median {statistics.median(times):.3f} ms, "
          f"p90 {times[int(len(times) * 0.9)]:.3f} ms ({rounds} rounds; target <= 2 ms)")
    bench_report.record("web", "round trip init -> load_complete (median)", statistics.median(times), "ms",
                        target="<= 2 ms")


def measure(build, ratio, rounds):
    """One session at a device pixel ratio; returns its process's memory with 300
    photos, in KiB."""
    print(f"at device pixel ratio {ratio:g}")
    at = f" at ratio {ratio:g}"
    host, port = start_host(build)
    try:
        session = wsclient.Session(port)
        session.sock.settimeout(20)
        session.wait_for(lambda m: m["t"] == "ready")
        frames_until_quiet(session)
        child = int(open(f"/proc/{host.pid}/task/{host.pid}/children").read().split()[0])
        idle_rss = rss_kib(child)
        if rounds:
            round_trips(session, rounds)

        for path in make_photos(20):
            post(session, {"name": "addFile", "path": path})
        place = {"t": "place", "x": 0, "y": 0, "vw": 1280, "vh": 800, "dpr": ratio}
        session.send_json(dict(place, w=400, h=300))
        frames_until_quiet(session, quiet=1.0)
        start = time.monotonic()
        session.send_json(dict(place, w=800, h=600))
        repaint = frames_until_quiet(session, quiet=1.0)
        sent = sum(len(payload) for _, payload in repaint)
        seconds = (repaint[-1][0] - start) if repaint else 0
        largest = max((png for _, payload in repaint for png in frame_pictures(payload)), key=len, default=b"")
        raw = png_pixels(largest) if largest else b""
        print(f"full repaint of 800x600 after 20 addFile: {len(repaint)} frames, {sent} bytes, {seconds * 1000:.1f} ms")
        bench_report.record("web", "bytes of a full 800x600 repaint" + at, sent / 1024, "KiB")
        if raw:
            print(f"  its largest picture: {len(largest)} bytes as fast PNG; raw RGB {len(raw)}; "
                  f"deflate level 6 of raw {len(zlib.compress(raw, 6))}; level 1 {len(zlib.compress(raw, 1))}")

        for path in make_photos(300)[20:]:
            post(session, {"name": "addFile", "path": path})
        # A click gives the list the keyboard focus, which the wheel follows.
        for action in ("down", "up"):
            session.send_json({"t": "mouse", "a": action, "b": 0, "x": 400, "y": 300})
        frames_until_quiet(session, quiet=1.0)
        for rate in (60, 240):
            count, copies, sent = wheel_frames(session, rate)
            print(f"wheel over 300 addFile'd photos, {rate} notches a second (30 down, 30 up) for 3 s: "
                  f"{count / 3.0:.1f} frames a second (target >= 30), {copies} of {count} moved by a copy, "
                  f"{sent / count / 1024 if count else 0:.1f} KiB a frame")
            bench_report.record("web", f"frames a second, wheel at {rate} notches a second" + at, count / 3.0, "fps",
                                target=">= 30")
            frames_until_quiet(session, quiet=1.0)
        memory = rss_kib(child)
        print(f"session process memory: {idle_rss / 1024:.1f} MiB idle, {memory / 1024:.1f} MiB with 300 photos")
        session.close()
        return memory
    finally:
        host.terminate()
        host.wait(10)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default=os.path.join(ROOT, "build"))
    parser.add_argument("--rounds", type=int, default=200)
    parser.add_argument("--ratios", default="1,2", help="device pixel ratios, the first the anchor")
    args = parser.parse_args()
    ratios = [float(ratio) for ratio in args.ratios.split(",")]
    anchor = None
    for index, ratio in enumerate(ratios):
        memory = measure(args.build, ratio, args.rounds if index == 0 else 0) / 1024
        if anchor is None:
            anchor = (ratio, memory)
            bench_report.record("web", f"session memory with 300 photos at ratio {ratio:g}", memory, "MiB")
        else:
            print(f"memory at ratio {ratio:g} is {memory / anchor[1]:.2f} times that at {anchor[0]:g} (target <= 2)")
            bench_report.record("web", f"session memory with 300 photos at ratio {ratio:g}", memory, "MiB",
                                anchor=f"at ratio {anchor[0]:g}", anchor_value=anchor[1], target="ratio <= 2")


if __name__ == "__main__":
    main()
