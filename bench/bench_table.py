#!/usr/bin/env python3
"""DEVELOPING.md's table from intro_bench's JSON output: per screen size, the
median time and rate of the whole pass, of its drawing and present parts,
and of the floor (one write of a ready frame), and the pass's ratio to the
floor.

Usage: bench_table.py bench.json
"""

import json
import re
import sys


def main():
    with open(sys.argv[1]) as source:
        report = json.load(source)
    medians = {}
    for entry in report["benchmarks"]:
        if entry.get("aggregate_name") != "median":
            continue
        match = re.match(r"BM_(\w+)/w:(\d+)/h:(\d+)", entry["run_name"])
        name, size = match.group(1), f"{match.group(2)}x{match.group(3)}"
        scale = {"ns": 1e-3, "us": 1.0, "ms": 1e3}[entry["time_unit"]]
        medians[(name, size)] = entry["real_time"] * scale  # microseconds
    sizes = sorted({size for _, size in medians}, key=lambda s: int(s.split("x")[0]))
    context = report["context"]
    print(f"Medians over the repetitions; {context['num_cpus']} CPUs at "
          f"{context['mhz_per_cpu']} MHz.")
    print()
    print("| Screen | Whole pass | Fill, draw, advance | Present | Floor: one write "
          "| Pass / floor |")
    print("|---|---:|---:|---:|---:|---:|")
    for size in sizes:
        cells = []
        for name in ("Pass", "PassDraw", "PassPresent", "Floor"):
            micros = medians[(name, size)]
            cells.append(f"{micros:.2f} µs ({1e6 / micros / 1000:.0f}k fps)")
        ratio = medians[("Pass", size)] / medians[("Floor", size)]
        print(f"| {size} | " + " | ".join(cells) + f" | {ratio:.1f} |")


if __name__ == "__main__":
    main()
