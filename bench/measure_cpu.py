#!/usr/bin/env python3
"""Processor time of an intro program running at a real frame rate into a
pseudo-terminal, as on a terminal.

For each screen size the program is started on a pseudo-terminal, its
dialogue answered (custom size, the given frame rate), and its output read
and dropped as fast as it comes. Its processor time (user and system, all
threads) is taken once the first frame has come and again `seconds` later;
the difference, over the wall time between the two readings, is the share
of one core that the running intro takes. The reader's own time is not
counted.

With --floor, the reference program bench/frame_floor (a sleep and one
write of a ready frame per period, nothing else) is measured the same way
beside it: what any program pays on this machine for the pause and the
terminal.

Usage: measure_cpu.py --program PATH [--floor PATH] [--seconds 20]
                      [--rate 50] [--size 80x25 --size 320x100] [--cwd DIR]
"""

import argparse
import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "support"))
import intro_run  # noqa: E402


def measure(program, width, height, rate, seconds, cwd, floor=False):
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
        frames = line_ends // height
    finally:
        run.stop()
    return cpu, wall, frames


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--seconds", type=float, default=20)
    parser.add_argument("--rate", type=int, default=50)
    parser.add_argument("--size", action="append")
    parser.add_argument("--floor")
    parser.add_argument("--cwd")
    args = parser.parse_args()
    sizes = [tuple(map(int, size.split("x"))) for size in (args.size or ["80x25", "320x100"])]
    programs = [(args.program, False)] + ([(args.floor, True)] if args.floor else [])
    print(f"{args.rate} fps, {args.seconds:g} s on a pseudo-terminal")
    print()
    print("| Program | Screen | Frames | CPU time | Share of one core | CPU per frame |")
    print("|---|---|---:|---:|---:|---:|")
    for width, height in sizes:
        for program, floor in programs:
            cpu, wall, frames = measure(program, width, height, args.rate, args.seconds,
                                        args.cwd, floor)
            name = os.path.basename(program)
            print(f"| {name} | {width}x{height} | {frames} | {cpu * 1000:.1f} ms | "
                  f"{100 * cpu / wall:.3f} % | {cpu / max(frames, 1) * 1e6:.1f} µs |")
            sys.stdout.flush()


if __name__ == "__main__":
    main()
