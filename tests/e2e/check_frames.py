#!/usr/bin/env python3
"""End-to-end check of the intro's whole output, byte for byte.

Runs the built program through pipes at many screen sizes, answers its
dialogue, reads the dialogue text and then a given number of frames, stops the
program, and compares every byte with the reference model in intro_model.py.
The first wrong byte fails the run, with its frame, row and column.

The trails start from rand() after srand(time(NULL)); the seed is found by
trying every whole second between the program's start and its first frame
(one second of margin on each side): exactly one of them must reproduce the
output.

Usage: check_frames.py --program PATH [--variant silent|music]
                       [--source-root DIR] [--jobs N] [--frames-scale F]
"""

import argparse
import math
import os
import sys
import tempfile
import time
from concurrent.futures import ProcessPoolExecutor, as_completed
from pathlib import Path

import intro_model as model

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import intro_run  # noqa: E402

# Custom sizes (width, height, frames). Small and medium sizes run well past
# 4905 frames, where the long text comes round again, and past 2842 frames,
# where the logo path closes; the big ones run fewer to keep the check short.
CUSTOM_RUNS = [
    (1, 1, 6000), (1, 5, 6000), (2, 2, 6000), (3, 4, 6000), (5, 1, 6000),
    (7, 9, 6000), (39, 19, 6000), (40, 24, 6000), (80, 24, 6000),
    (80, 25, 10000), (80, 50, 6000), (81, 21, 6000), (123, 37, 3000),
    (200, 60, 2000),
]

# Menu presets at 50 fps (a real pause between frames), one of them through
# wrong answers that make each menu print again.
PRESET_RUNS = [
    (b"1\n4\n", 12),
    (b"x\n3 and more\n0\n4\n", 12),
]


# ---------------------------------------------------------------------------
# Reporting differences.

def show_byte(b):
    return "end of output" if b is None else f"{bytes([b])!r} (0x{b:02x})"


def first_difference(expected, got):
    """Index of the first differing byte, or None when equal."""
    if expected == got:
        return None
    n = min(len(expected), len(got))
    for i in range(n):
        if expected[i] != got[i]:
            return i
    return n


def frame_position(offset, width):
    """Where a byte offset of a frame lies on the screen."""
    if offset == 0:
        return "the leading line end"
    row, column = divmod(offset - 1, width)
    if column == width - 1:
        return f"the line end after row {row}"
    return f"row {row}, column {column}"


def frame_row(frame, offset, width):
    """The printed row that holds the byte at `offset`, for context."""
    row = 0 if offset == 0 else (offset - 1) // width
    start = 1 + row * width
    return bytes(frame[start:start + width - 1])


def describe_frame_mismatch(number, expected, got, width, seed):
    i = first_difference(expected, got)
    count = sum(1 for a, b in zip(expected, got) if a != b)
    return (f"frame {number} (seed {seed}): first difference at "
            f"{frame_position(i, width)}: expected {show_byte(expected[i])}, "
            f"got {show_byte(got[i] if i < len(got) else None)}; "
            f"{count} byte(s) differ in this frame\n"
            f"    expected row: {frame_row(expected, i, width)!r}\n"
            f"    got row:      {frame_row(got, i, width)!r}")


# ---------------------------------------------------------------------------
# One run: dialogue, then frames.

def check_frames(data, width, height, count, long_text, logo, seeds):
    """Compare `count` frames of `data` with the model for every candidate
    seed in lockstep; a seed drops out at its first wrong frame. Returns
    (seed, None) on success or (None, message) on failure."""
    size = width * height
    runs = {s: model.intro_frames(width, height, long_text, logo,
                                  model.seeded_rand(s)) for s in seeds}
    failures = {}  # seed -> (frame number, differing bytes, message)
    for k in range(count):
        got = bytes(data[k * size:(k + 1) * size])
        for seed in list(runs):
            expected = next(runs[seed])
            if expected != got:
                diffs = sum(1 for a, b in zip(expected, got) if a != b)
                failures[seed] = (k + 1, -diffs, describe_frame_mismatch(
                    k + 1, expected, got, width, seed))
                del runs[seed]
        if not runs:
            break
    if runs:
        # Screens under 4 lines draw no trail, so every seed fits there.
        seed = min(runs) if len(runs) == 1 else f"any of {min(runs)}..{max(runs)}"
        return seed, None
    # Report the seed that went furthest, then the one closest in that frame.
    best = max(failures.values(), key=lambda f: (f[0], f[1]))
    note = ""
    if best[0] == 1:
        note = (f"no seed in {seeds[0]}..{seeds[-1]} reproduces frame 1; "
                f"closest shown\n  ")
    return None, note + best[2]


def check_run(program, variant, answers, count, long_text):
    """Run the program once and check its output. Returns (ok, report)."""
    started = time.time()
    dialogue, settings = model.simulate_dialogue(variant, answers)
    width, height, _ = settings
    label = f"{width}x{height}, {count} frames, answers {answers!r}"
    size = width * height
    with tempfile.TemporaryDirectory() as cwd:
        out = intro_run.collect_output(program, answers, len(dialogue) + count * size,
                                       len(dialogue) + size, cwd)
    problems = []

    stderr_lines = bytes(out.stderr).splitlines(keepends=True)
    if variant == "music":
        stderr_lines = [l for l in stderr_lines
                        if not l.startswith(model.MUSIC_STDERR_PREFIXES)]
    if stderr_lines:
        problems.append(f"standard error not empty: {b''.join(stderr_lines)[:300]!r}")

    printed = bytes(out.stdout[:len(dialogue)])
    i = first_difference(dialogue, printed)
    if i is not None:
        problems.append(
            f"dialogue differs at byte {i}: expected "
            f"{show_byte(dialogue[i])}, got "
            f"{show_byte(printed[i] if i < len(printed) else None)}\n"
            f"    expected: {dialogue[max(0, i - 30):i + 30]!r}\n"
            f"    got:      {printed[max(0, i - 30):i + 30]!r}")
    else:
        frames = memoryview(out.stdout)[len(dialogue):]
        complete = min(count, len(frames) // size)
        last = math.floor(out.t_first_frame or time.time())
        seeds = list(range(math.floor(out.t_start) - 1, last + 2))
        seed, failure = check_frames(frames, width, height, complete, long_text,
                                     model.VARIANTS[variant]["logo"], seeds)
        if failure:
            problems.append(failure)
        if complete < count:
            problems.append(
                f"only {complete} complete frame(s) of {count} arrived "
                f"(exit status {out.status}, {len(frames)} frame bytes"
                f"{', ' + out.stall if out.stall else ''})")
        label += "" if failure or not complete else f", seed {seed}"

    elapsed = time.time() - started
    if problems:
        return False, f"FAIL {label} ({elapsed:.1f} s)\n  " + "\n  ".join(problems)
    return True, f"ok   {label} ({elapsed:.1f} s)"


# ---------------------------------------------------------------------------

def check_long_text(text):
    """The form of the long scroll text that the scrollers' timing rests on."""
    problems = []
    if len(text) != 1635:
        problems.append(f"it has {len(text)} characters, not 1635")
    if not all(32 <= b < 127 for b in text):
        problems.append("it holds characters other than printable 7-bit ones")
    if not (text.startswith(b" " * 40) and text[40:41] != b" "):
        problems.append("it does not begin with exactly 40 blanks")
    tail = b"      Wrap!" + b" " * 29
    if not (text.endswith(tail) and text[-len(tail) - 1:-len(tail)] != b" "):
        problems.append('it does not end with six blanks, "Wrap!" and 29 blanks')
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--program", required=True)
    parser.add_argument("--variant", choices=sorted(model.VARIANTS), default="silent")
    parser.add_argument("--source-root", default=str(Path(__file__).resolve().parents[2]))
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 1)
    parser.add_argument("--frames-scale", type=float, default=1.0,
                        help="multiply the frame counts (for quick trials)")
    args = parser.parse_args()

    program = os.path.abspath(args.program)
    long_text = model.read_long_scroll_text(args.source_root)
    failed = 0
    for problem in check_long_text(long_text):
        print(f"FAIL long scroll text: {problem}")
        failed += 1

    # The frames come without pause.
    runs = [(intro_run.answers(w, h, intro_run.NO_PAUSE), max(1, int(n * args.frames_scale)))
            for w, h, n in CUSTOM_RUNS] + PRESET_RUNS
    # Biggest first (frames times cells), so the parallel workers end together.
    runs.sort(key=lambda run: -run[1] * math.prod(
        model.simulate_dialogue(args.variant, run[0])[1][:2]))
    started = time.time()
    passed = 0
    with ProcessPoolExecutor(max_workers=max(1, args.jobs)) as pool:
        futures = [pool.submit(check_run, program, args.variant, answers, count, long_text)
                   for answers, count in runs]
        for future in as_completed(futures):
            ok, report = future.result()
            print(report, flush=True)
            passed += ok
    print(f"{passed} of {len(runs)} runs passed in {time.time() - started:.1f} s")
    return 0 if passed == len(runs) and not failed else 1


if __name__ == "__main__":
    sys.exit(main())
