#!/usr/bin/env python3
"""Runs every benchmark in bench/ and writes one table, bench/out/report.md: each
figure, its anchor (the tool a user would pick instead, run on the same inputs in the
same run), the ratio and the target, with whether the target is met.

    bench/run_all.py [--build BUILD_DIR] [--quick]

--quick runs each benchmark with fewer runs and files (a smoke run; the figures are
noisier). A benchmark that fails is listed in the report with its exit status; the
others still run.
"""

import argparse
import datetime
import json
import os
import re
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "bench", "out")
ROWS = os.path.join(OUT, "rows.jsonl")


def benchmarks(build, quick):
    """(name, command) of every benchmark, the editor's through editor_bench.py."""
    bench = os.path.join(ROOT, "bench")
    few = quick
    return [
        ("picture", [sys.executable, os.path.join(bench, "picture_bench.py"), "--build", build,
                     "--runs", "3" if few else "10"]),
        ("editor", [sys.executable, os.path.join(bench, "editor_bench.py"), "--build", build,
                    "--runs", "2" if few else "5"]),
        ("list", [sys.executable, os.path.join(bench, "list_bench.py"), "--build", build,
                  "--count", "100" if few else "300"]),
        ("list at ratio 2", [sys.executable, os.path.join(bench, "list_bench.py"), "--build", build,
                             "--count", "100" if few else "300", "--scale", "2"]),
        ("file-add", [sys.executable, os.path.join(bench, "file_add_bench.py"), "--build", build,
                      "--runs", "1" if few else "3"]),
        ("upload", [sys.executable, os.path.join(bench, "upload_bench.py"), "--build", build,
                    "--runs", "1" if few else "3", "--files", "20" if few else "50"]),
        ("web", [sys.executable, os.path.join(bench, "web_bench.py"), "--build", build]),
    ]


def met(row, ratio):
    """Whether the row's target ("<= 0.25 s", "ratio <= 1.15", ">= 2.7") holds; None
    when it has no target."""
    match = re.match(r"\s*(ratio\s+)?(<=|>=)\s*([0-9.]+)", row["target"] or "")
    if not match:
        return None
    measured = ratio if match.group(1) else row["value"]
    if measured is None:
        return None
    limit = float(match.group(3))
    return measured <= limit if match.group(2) == "<=" else measured >= limit


def number(value):
    return "" if value is None else f"{value:.3g}" if abs(value) < 100 else f"{value:.0f}"


def write_report(rows, failures, quick, started):
    lines = [
        "# Benchmark report",
        "",
        f"Run {started:%Y-%m-%d %H:%M} UTC{' (--quick: fewer runs and files)' if quick else ''}; "
        f"{os.cpu_count()} processors, load average at the end {os.getloadavg()[0]:.1f}. "
        "Ratios are ours over the anchor's, measured in the same run: below 1 is faster (or smaller).",
        "",
        "| benchmark | figure | value | anchor | anchor's value | ratio | target | met |",
        "|---|---|---|---|---|---|---|---|",
    ]
    for row in rows:
        ratio = row["value"] / row["anchor_value"] if row["anchor_value"] else None
        verdict = {True: "yes", False: "**no**", None: ""}[met(row, ratio)]
        lines.append(f"| {row['benchmark']} | {row['figure']} | {number(row['value'])} {row['unit']} | "
                     f"{row['anchor'] or '—'} | {number(row['anchor_value'])} | {number(ratio)} | "
                     f"{row['target'] or '—'} | {verdict} |")
    for name, status in failures:
        lines.append(f"| {name} | the benchmark failed (exit status {status}) | | | | | | **no** |")
    with open(os.path.join(OUT, "report.md"), "w") as report:
        report.write("\n".join(lines) + "\n")


def recorded_rows():
    if not os.path.exists(ROWS):
        return []
    with open(ROWS) as recorded:
        return [json.loads(line) for line in recorded if line.strip()]


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default=os.path.join(ROOT, "build"))
    parser.add_argument("--quick", action="store_true")
    parser.add_argument("--only", default="", help="run only the benchmarks whose name holds this text")
    options = parser.parse_args()
    build = os.path.abspath(options.build)
    os.makedirs(OUT, exist_ok=True)
    if os.path.exists(ROWS):
        os.remove(ROWS)
    started = datetime.datetime.now(datetime.timezone.utc)
    failures = []
    env = dict(os.environ, TRELLAN_BENCH_ROWS=ROWS)
    for name, command in benchmarks(build, options.quick):
        if options.only not in name:
            continue
        print(f"== {name}: {' '.join(os.path.relpath(c, ROOT) if c.startswith(ROOT) else c for c in command[1:])}",
              flush=True)
        status = subprocess.run(command, env=env).returncode
        if status != 0:
            failures.append((name, status))
        # Written after each benchmark, so an interrupted run keeps what it measured.
        write_report(recorded_rows(), failures, options.quick, started)
    print(f"report: {os.path.relpath(os.path.join(OUT, 'report.md'), ROOT)}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
