#!/usr/bin/env python3
"""A long run of intro-silent without pause into a checker of its frames.

The program runs at the given size with frame rate 1000001 (no pause), its
standard output on a pipe. After the dialogue, the checker reads frame
after frame and verifies every one: exactly width x height bytes, made of
rows that each begin with a line end followed by width - 1 printable
characters, so that a frame holds exactly `height` line ends, the first one
leading. The program's resident memory is read after the first 1000 frames
and again after the last; the two must be equal.

Usage: soak.py --program PATH [--frames 1000000] [--size 80x25]
"""

import argparse
import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "support"))
import intro_run  # noqa: E402

PRINTABLE = bytes(range(32, 127))


def check_frames(block, width, frame_size, first_frame):
    """Checks whole frames laid end to end; returns an error or None."""
    rows = len(block) // width
    if block[::width] != b"\n" * rows:
        offset = next(i for i in range(0, len(block), width) if block[i] != 10)
        return f"frame {first_frame + offset // frame_size}: no line end at a row start"
    if block.count(b"\n") != rows:
        return f"a line end inside a row among frames from {first_frame}"
    if block.translate(None, PRINTABLE + b"\n"):
        return f"a byte that is not printable among frames from {first_frame}"
    return None


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--frames", type=int, default=1_000_000)
    parser.add_argument("--size", default="80x25")
    args = parser.parse_args()
    width, height = map(int, args.size.split("x"))
    frame_size = width * height
    batch = max(1, (4 << 20) // frame_size)  # frames checked at a time

    run = intro_run.Run(args.program, width, height, intro_run.NO_PAUSE)
    samples = []  # (frames read, resident kB)
    failure = None
    frames = 0
    start = time.monotonic()
    try:
        run.skip_dialogue()
        while frames < args.frames:
            # Stops at 1000 frames, at every 100000 and at the end to read
            # the resident memory.
            stop_at = 1000 if frames < 1000 else (frames // 100_000 + 1) * 100_000
            count = min(batch, args.frames - frames, stop_at - frames)
            block = run.read_exactly(count * frame_size)
            if len(block) != count * frame_size:
                failure = f"the output ended after {frames + len(block) // frame_size} frames"
                break
            failure = check_frames(block, width, frame_size, frames)
            if failure:
                break
            frames += count
            if frames == 1000 or frames == args.frames or frames % 100_000 == 0:
                samples.append((frames, intro_run.proc_status(run.pid, "VmRSS")))
    finally:
        elapsed = time.monotonic() - start
        run.stop()

    print(f"{frames} frames of {width}x{height} ({frames * frame_size / 1e9:.2f} GB) "
          f"checked in {elapsed:.1f} s, {frames / elapsed:.0f} frames/s")
    for count, rss in samples:
        print(f"  resident memory after {count} frames: {rss} kB")
    if failure is None and samples:
        first = next(rss for count, rss in samples if count == 1000)
        last = samples[-1][1]
        if last != first:
            failure = f"resident memory grew from {first} kB to {last} kB"
    if failure:
        print("FAIL", failure)
        return 1
    print("ok: every frame whole, resident memory unchanged")
    return 0


if __name__ == "__main__":
    sys.exit(main())
