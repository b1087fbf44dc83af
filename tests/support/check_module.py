#!/usr/bin/env python3
"""Checks that the module is loaded by the containers and linked by none of them.

    check_module.py BIN_DIR LIB_DIR

- the module's dynamic symbols are exactly the component-model entry points and the
  raster image classes' exported members;
- no program links the module (ldd);
- a copy of the module registered at a path with a quote, spaces and Chinese is
  recorded under that path, and each of two builds registered in turn (the copy
  carries another build-id) is the one trellan-run loads.
"""

import json
import os
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

BIN = pathlib.Path(sys.argv.pop(1)) if len(sys.argv) > 2 else pathlib.Path("build/bin")
LIB = pathlib.Path(sys.argv.pop(1)) if len(sys.argv) > 1 else pathlib.Path("build/lib")
MODULE = LIB / "libTrellan64.so"
PROGRAMS = ["trellan-run", "trellan-session", "trellan-host", "trellan-regsvr", "trellan-post", "trellan-picture"]
ENTRY_POINTS = {"DllCanUnloadNow", "DllGetClassObject", "DllInstall", "DllRegisterServer", "DllUnregisterServer"}
IMAGE_CLASSES = ("RasterImage", "RasterFile", "RasterIOFile", "RasterMemFile")


def run(*command, **options):
    return subprocess.run(command, capture_output=True, text=True, timeout=60, **options)


def build_id(path):
    """The build-id note of an ELF file, from readelf."""
    found = re.search(r"Build ID: ([0-9a-f]+)", run("readelf", "-n", str(path)).stdout)
    assert found, f"{path} has no build-id note"
    return found.group(1)


class ModuleTest(unittest.TestCase):
    def test_only_the_entry_points_and_the_image_classes_are_exported(self):
        listing = run("nm", "-D", "--defined-only", str(MODULE)).stdout
        names = run("c++filt", input=listing).stdout
        exported = {line.split(" ", 2)[2] for line in names.splitlines() if line.count(" ") >= 2}
        self.assertTrue(ENTRY_POINTS <= exported, exported)
        others = exported - ENTRY_POINTS
        strays = [name for name in others
                  if not re.match(r"(vtable for )?(%s)\b" % "|".join(IMAGE_CLASSES), name)]
        self.assertEqual(strays, [])
        self.assertIn("RasterImage::RasterImage(RasterImage const&)", others)
        self.assertIn("vtable for RasterMemFile", others)

    def test_no_program_links_the_module(self):
        for program in PROGRAMS:
            with self.subTest(program=program):
                linked = run("ldd", str(BIN / program)).stdout
                self.assertNotIn("libTrellan64", linked)
                self.assertIn("libTrellanPlatform", linked)


class RegisteredBuildTest(unittest.TestCase):
    def setUp(self):
        self.temp = tempfile.TemporaryDirectory()
        root = pathlib.Path(self.temp.name)
        self.environment = dict(os.environ, TRELLAN_REGISTRY_DIR=str(root / "registry"))
        self.copy = root / "o'brien 目录" / "libTrellan64.so"
        self.copy.parent.mkdir()
        shutil.copy(MODULE, self.copy)
        # Another build: the same code under another build-id.
        original = bytes.fromhex(build_id(MODULE))
        other = bytes(byte ^ 0xFF for byte in original)
        data = self.copy.read_bytes()
        self.assertEqual(data.count(original), 1)
        self.copy.write_bytes(data.replace(original, other))

    def tearDown(self):
        self.temp.cleanup()

    def register(self, module):
        result = run(str(BIN / "trellan-regsvr"), str(module), env=self.environment)
        self.assertEqual(result.returncode, 0, result.stderr)

    def loaded_build(self):
        result = run(str(BIN / "trellan-run"), "-", input='{"dump": "build"}\n', env=self.environment)
        self.assertEqual(result.returncode, 0, result.stderr)
        line = next(line for line in result.stdout.splitlines() if line.startswith("#build "))
        build = json.loads(line[len("#build "):])
        return build["build_id"], build["module"]

    def test_each_registered_build_is_the_one_that_runs(self):
        self.register(self.copy)
        listing = run(str(BIN / "trellan-regsvr"), "--list", env=self.environment).stdout
        self.assertIn(str(self.copy), listing)
        self.assertEqual(self.loaded_build(), (build_id(self.copy), str(self.copy)))

        self.register(MODULE)
        self.assertEqual(self.loaded_build(), (build_id(MODULE), str(MODULE.resolve())))
        self.assertNotEqual(build_id(MODULE), build_id(self.copy))


if __name__ == "__main__":
    unittest.main()
