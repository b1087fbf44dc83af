"""Figures for the benchmark report.

Each benchmark records its figures with record(); bench/run_all.py (make bench) names
a file in TRELLAN_BENCH_ROWS, collects the rows of every benchmark and writes them as
one table. Run alone, a benchmark records nothing and only prints.
"""

import json
import os


def record(benchmark, figure, value, unit, anchor="", anchor_value=None, target=""):
    """One figure: its value, what it is compared with in the same run (anchor and
    anchor_value, in the same unit; the ratio is value / anchor_value) and its target,
    as text such as "ratio <= 1.15" or "<= 0.25 s"."""
    path = os.environ.get("TRELLAN_BENCH_ROWS")
    if not path:
        return
    row = {"benchmark": benchmark, "figure": figure, "value": value, "unit": unit, "anchor": anchor,
           "anchor_value": anchor_value, "target": target}
    with open(path, "a") as rows:
        rows.write(json.dumps(row) + "\n")
