#!/usr/bin/env python3
"""valgrind's memcheck over a run of an intro program.

The program runs under memcheck at the given size and frame rate, its
standard output on a pipe; after its dialogue `frames` whole frames are
read and checked for their size, then the program is interrupted as Ctrl-c
would end it. With a module, intro plays it into a PulseAudio server of the
run's own (a null sink), so the music mixes under memcheck all the while:
without a sound device and a server, intro mixes nothing. memcheck's report must show no error and no definitely lost
byte. Objects that the program keeps for its whole run are still reachable
when the interrupt ends it; they are not leaks.

Usage: valgrind_run.py --program PATH [--frames 2000] [--size 80x25]
                       [--rate 1000001] [--module blumot.mod]
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "support"))
import intro_run  # noqa: E402
from pulse_client import end, pulse_client_environment, start_daemon  # noqa: E402


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--frames", type=int, default=2000)
    parser.add_argument("--size", default="80x25")
    parser.add_argument("--rate", type=int, default=intro_run.NO_PAUSE)
    parser.add_argument("--module", help="music module to copy into the run's folder")
    args = parser.parse_args()
    width, height = map(int, args.size.split("x"))
    name = os.path.basename(args.program)
    with tempfile.TemporaryDirectory() as folder:
        daemon = None
        if args.module:
            shutil.copy(args.module, os.path.join(folder, "blumot.mod"))
            os.environ.update(pulse_client_environment(os.path.join(folder, "pulse"), folder,
                                                       os.path.join("pulse", "native")))
            daemon = start_daemon(os.environ, os.path.join(folder, "daemon.log"), "memcheck")
        log = os.path.join(folder, "memcheck.log")
        # Only definite leaks count as errors: blocks that a library keeps
        # in structures of its own (the PulseAudio client's) may show as
        # possibly lost.
        wrapper = ["valgrind", "--tool=memcheck", "--leak-check=full",
                   "--show-leak-kinds=definite,indirect",
                   "--errors-for-leak-kinds=definite", f"--log-file={log}"]
        run = intro_run.Run(args.program, width, height, args.rate, cwd=folder, wrapper=wrapper,
                            stderr=subprocess.DEVNULL)
        try:
            run.skip_dialogue(timeout=300)
            frame = width * height
            data = run.read_exactly(args.frames * frame)
        finally:
            run.stop(timeout=300)
            if daemon is not None:
                end(daemon)
        report = open(log).read()
    frames = len(data) // frame
    errors = re.search(r"ERROR SUMMARY: (\d+) errors", report)
    definitely = re.search(r"definitely lost: ([\d,]+) bytes", report)
    lost = int(definitely.group(1).replace(",", "")) if definitely else 0
    possibly = re.search(r"possibly lost: ([\d,]+) bytes in ([\d,]+) blocks", report)
    still = re.search(r"still reachable: ([\d,]+) bytes in ([\d,]+) blocks", report)
    print(f"{name}: {frames} frames of {width}x{height} under memcheck")
    print(f"  errors: {errors.group(1) if errors else 'no summary'}")
    print(f"  definitely lost: {lost} bytes" + ("" if definitely else " (no leak found)"))
    if possibly:
        print(f"  possibly lost: {possibly.group(1)} bytes in {possibly.group(2)} blocks")
    if still:
        print(f"  still reachable at the interrupt: {still.group(1)} bytes "
              f"in {still.group(2)} blocks")
    ok = frames == args.frames and errors is not None and errors.group(1) == "0" and lost == 0
    if not ok:
        print(report[-6000:])
        print("FAIL")
        return 1
    print("ok")
    return 0


if __name__ == "__main__":
    sys.exit(main())
