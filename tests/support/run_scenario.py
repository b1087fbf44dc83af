#!/usr/bin/env python3
"""Runs one trellan-run scenario and compares what it printed with what is expected.

The script's leading comment lines may hold directives:
  # args: --size 640x480        extra arguments for trellan-run
  # exit: 3                     the expected exit status (default 0)
  # stderr: TEXT                a text standard error must contain
Standard output must equal the .expected file beside the script, byte for byte.
"""
import pathlib
import shlex
import subprocess
import sys


def directives(script):
    found = {"args": [], "exit": 0, "stderr": []}
    for line in script.read_bytes().decode("utf-8", "replace").splitlines():
        if not line.startswith("#"):
            break
        key, _, value = line[1:].strip().partition(":")
        value = value.strip()
        if key == "args":
            found["args"] = shlex.split(value)
        elif key == "exit":
            found["exit"] = int(value)
        elif key == "stderr":
            found["stderr"].append(value)
    return found


def main():
    runner, script = sys.argv[1], pathlib.Path(sys.argv[2])
    wanted = directives(script)
    expected = script.with_suffix(".expected").read_bytes()
    result = subprocess.run([runner, *wanted["args"], str(script)], capture_output=True, timeout=120)
    problems = []
    if result.returncode != wanted["exit"]:
        problems.append(f"exit status {result.returncode}, expected {wanted['exit']}")
    if result.stdout != expected:
        problems.append("standard output differs:\n--- expected\n" + expected.decode("utf-8", "replace")
                        + "--- got\n" + result.stdout.decode("utf-8", "replace"))
    stderr = result.stderr.decode("utf-8", "replace")
    for text in wanted["stderr"]:
        if text not in stderr:
            problems.append(f"standard error lacks {text!r}; it was:\n{stderr}")
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
