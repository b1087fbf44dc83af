#!/usr/bin/env python3
"""The control drawn at a device scale by trellan-run --scale: the main view empty and
filled, the file-add dialog and the image editor are written in device pixels and
compared with their references.

usage: test_scale_references.py BIN_DIR REFERENCES OUTPUT SCALE
"""

import json
import os
import struct
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "support"))
import make_photos  # noqa: E402

WIDTH, HEIGHT = 800, 600


def lines(*commands):
    return "".join(json.dumps(command) + "\n" for command in commands)


def png_size(path):
    with open(path, "rb") as picture:
        return struct.unpack(">II", picture.read(24)[16:24])


def main():
    bin_dir, references, output, scale = sys.argv[1], sys.argv[2], sys.argv[3], float(sys.argv[4])
    os.makedirs(output, exist_ok=True)
    for name in os.listdir(output):
        os.remove(os.path.join(output, name))
    with tempfile.TemporaryDirectory() as home:
        photos = []
        for index in range(3):
            path = os.path.join(home, "photo-%02d.png" % (index + 1))
            with open(path, "wb") as picture:
                picture.write(make_photos.png(1600, 1200, make_photos.rows(1600, 1200, index, False, False)))
            photos.append(path)
        add = [{"post": {"name": "addFile", "path": path}} for path in photos]
        shot = lambda name, **more: dict({"screenshot": os.path.join(output, name)}, **more)
        scripts = {
            "main": lines(shot("01-empty.png"), *add, {"pump_ms": 2000}, shot("02-filled.png")),
            # The dialog opens at the desktop, the home folder; choosing it fills the grid.
            "file-add": lines({"click": [48, 16]}, {"pump_ms": 1000}, {"click": [40, 36], "window": "active"},
                              {"pump_ms": 3000}, shot("03-file-add.png", window="active")),
            # The first tile selected, then the toolbar's edit button.
            "editor": lines(add[0], {"pump_ms": 1500}, {"click": [80, 120]}, {"click": [513, 14]},
                            {"pump_ms": 2000}, shot("04-editor.png", window="active")),
        }
        environment = dict(os.environ, HOME=home)
        for name, script in scripts.items():
            run = subprocess.run([os.path.join(bin_dir, "trellan-run"), "--size", "%dx%d" % (WIDTH, HEIGHT),
                                  "--scale", str(scale), "-"], input=script, text=True, env=environment,
                                 capture_output=True, timeout=120)
            if run.returncode != 0:
                print("trellan-run failed on %s: %s" % (name, run.stderr))
                return 1
    expected = (int(-(-WIDTH * scale // 1)), int(-(-HEIGHT * scale // 1)))
    for name in ("01-empty.png", "02-filled.png"):
        if png_size(os.path.join(output, name)) != expected:
            print("%s is %s device pixels, not %s" % (name, png_size(os.path.join(output, name)), expected))
            return 1
    return subprocess.run([os.path.join(bin_dir, "compare-pictures"), references, output]).returncode


if __name__ == "__main__":
    sys.exit(main())
