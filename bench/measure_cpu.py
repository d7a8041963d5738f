#!/usr/bin/env python3
"""Processor time of an intro program running at a real frame rate into a
pseudo-terminal, as on a terminal, beside the reference program
bench/frame_floor (a sleep and one write of a ready frame per period,
nothing else): what any program pays on this machine for the pause and the
terminal.

For each screen size each program is started on a pseudo-terminal, the
intro's dialogue answered (custom size, the given frame rate), and its
output read and dropped as fast as it comes. Its processor time (user and
system, all threads) is taken once the first frame has come and again
`seconds` later, and divided by the frames that came in between. The
reader's own time is not counted.

The machine's speed drifts, so the programs take turns: every round runs
each of them once at each size, the order turned round from one round to
the next, and the table gives per program the median over the rounds, the
ratio of the intro's median to the floor's, and the range of the ratios
within the rounds. With --compare, a second build of the intro runs in the same rounds.

Usage: measure_cpu.py --program PATH --floor PATH [--compare PATH]
                      [--seconds 10] [--runs 5] [--rate 50]
                      [--size 80x25 --size 320x100] [--cwd DIR]
"""

import argparse
import os
import statistics
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "support"))
import intro_run  # noqa: E402


def measure(program, width, height, rate, seconds, cwd, floor=False):
    """Processor seconds per frame, share of one core and frames per second
    of one run."""
    if floor:
        run = intro_run.Run(program, width, height, rate, terminal=True, cwd=cwd,
                            arguments=[str(width), str(height), str(rate)])
    else:
        run = intro_run.Run(program, width, height, rate, terminal=True, cwd=cwd)
    try:
        if not floor:
            run.skip_dialogue()
        # The first frame: its height line ends.
        line_ends = intro_run.read_line_ends(run, wanted=height)
        start_cpu, start = intro_run.cpu_seconds(run.pid), time.monotonic()
        line_ends += intro_run.read_line_ends(run, seconds=seconds)
        cpu, wall = intro_run.cpu_seconds(run.pid) - start_cpu, time.monotonic() - start
        frames = max(line_ends // height, 1)
    finally:
        run.stop()
    return cpu / frames, cpu / wall, frames / wall


def load():
    return " ".join(f"{value:.2f}" for value in os.getloadavg())


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--floor", required=True)
    parser.add_argument("--compare", help="another build of the intro, in the same rounds")
    parser.add_argument("--seconds", type=float, default=10)
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--rate", type=int, default=50)
    parser.add_argument("--size", action="append")
    parser.add_argument("--cwd")
    args = parser.parse_args()
    sizes = [tuple(map(int, size.split("x"))) for size in (args.size or ["80x25", "320x100"])]
    programs = [("intro", args.program, False), ("floor", args.floor, True)]
    if args.compare:
        programs.append(("compare", args.compare, False))

    # (program, width, height) -> a value per round
    per_frame, shares, rates = {}, {}, {}
    started = load()
    for round_number in range(args.runs):
        order = programs if round_number % 2 == 0 else programs[::-1]
        for width, height in sizes:
            for key, path, floor in order:
                cpu, share, rate = measure(path, width, height, args.rate, args.seconds, args.cwd,
                                           floor)
                per_frame.setdefault((key, width, height), []).append(cpu)
                shares.setdefault((key, width, height), []).append(share)
                rates.setdefault((key, width, height), []).append(rate)
                print(f"round {round_number + 1}, {width}x{height}, {os.path.basename(path)}: "
                      f"{cpu * 1e6:.1f} µs a frame", file=sys.stderr)

    def cell(key, width, height):
        seconds = statistics.median(per_frame[(key, width, height)])
        share = statistics.median(shares[(key, width, height)])
        return f"{seconds * 1e6:.1f} µs ({100 * share:.3f} %)"

    def ratio(key, width, height):
        program, floor = per_frame[(key, width, height)], per_frame[("floor", width, height)]
        rounds = [a / b for a, b in zip(program, floor)]
        return (f"{statistics.median(program) / statistics.median(floor):.2f} "
                f"({min(rounds):.2f} to {max(rounds):.2f})")

    print(f"{args.rate} fps on a pseudo-terminal, {args.runs} rounds of {args.seconds:g} s a "
          f"program; load average {started} at the start, {load()} at the end.")
    print("Processor time per frame (share of one core), medians over the rounds; the ratio")
    print("of the medians, and in brackets the range of the ratios within the rounds:")
    print()
    header = "| Screen | intro-silent | frame_floor | intro-silent / frame_floor |"
    rule = "|---|---:|---:|---:|"
    if args.compare:
        header += " compared build | compared / frame_floor |"
        rule += "---:|---:|"
    print(header)
    print(rule)
    for width, height in sizes:
        row = (f"| {width}x{height} | {cell('intro', width, height)} | "
               f"{cell('floor', width, height)} | {ratio('intro', width, height)} |")
        if args.compare:
            row += f" {cell('compare', width, height)} | {ratio('compare', width, height)} |"
        print(row)
    slowest = min(min(values) for values in rates.values())
    print()
    print(f"Every run showed at least {slowest:.1f} frames a second.")


if __name__ == "__main__":
    main()
