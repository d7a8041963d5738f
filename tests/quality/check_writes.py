#!/usr/bin/env python3
"""Counts the write(2) calls of a built intro program, one per frame.

Runs the program under strace, answering its dialogue for a custom screen
and 100 frames per second, once with standard output on a pipe and once on
a pseudo-terminal, at 80x25 and at 320x100. After the dialogue, every
write to standard output must carry exactly one whole frame: width x height
bytes beginning with its line end, written in full. The dialogue's own
writes must add up to the dialogue text exactly, so no frame shares a write
with it.

Usage: check_writes.py --program PATH [--module blumot.mod] [--frames N]
"""

import os
import re
import shutil
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import check_main  # noqa: E402
import intro_run  # noqa: E402

SIZES = [(80, 25), (320, 100)]
RATE = 100
# One traced call: [pid] name(fd, "first bytes"..., size) = result
CALL = re.compile(rb'^(?:\d+ +)?(write|writev|pwrite64|pwritev2?)\((\d+), (.*?), (\d+)\) += (-?\d+)')
STRACE_CALLS = "write,writev,pwrite64,pwritev,pwritev2"


def run_pipe(program, width, height, frames, cwd, trace):
    """Returns the dialogue text: everything before the first frame."""
    run = intro_run.Run(program, width, height, RATE, cwd=cwd,
                        wrapper=intro_run.strace_wrapper(trace, STRACE_CALLS))
    try:
        dialogue = run.skip_dialogue(timeout=120)
        run.read_exactly(frames * width * height)
    finally:
        intro_run.stop_wrapped(run)
    return dialogue


def run_pty(program, width, height, frames, cwd, trace):
    run = intro_run.Run(program, width, height, RATE, terminal=True, cwd=cwd,
                        wrapper=intro_run.strace_wrapper(trace, STRACE_CALLS))
    try:
        run.skip_dialogue(timeout=120)
        # The terminal turns each line end into two bytes: a frame shows as
        # height line ends.
        intro_run.read_line_ends(run, wanted=(frames + 1) * height)
    finally:
        intro_run.stop_wrapped(run)


def standard_output_writes(trace):
    """(first bytes, size, result) of each write to file descriptor 1, in
    order; the result is None for a call cut short by the stop."""
    writes = []
    with open(trace, "rb") as log:
        for line in log:
            match = CALL.match(line)
            if match and match.group(2) == b"1":
                writes.append((match.group(3), int(match.group(4)), int(match.group(5))))
            elif re.match(rb'^(?:\d+ +)?write\(1,.*<unfinished \.\.\.>', line):
                writes.append((None, None, None))
    return writes


def check_trace(trace, dialogue_length, width, height, frames, where):
    writes = standard_output_writes(trace)
    # The dialogue: writes whose sizes add up to its text exactly.
    total = 0
    index = 0
    while index < len(writes) and total < dialogue_length:
        total += writes[index][1] or 0
        index += 1
    if total != dialogue_length:
        return f"{where}: the dialogue's writes end at byte {total}, not at {dialogue_length}"
    frame_writes = writes[index:]
    # The stop may cut the last write short.
    if frame_writes and frame_writes[-1][2] != frame_writes[-1][1]:
        frame_writes = frame_writes[:-1]
    size = width * height
    for number, (first, length, result) in enumerate(frame_writes):
        if length != size or result != size or not first.startswith(b'"\\n'):
            return (f"{where}: write {number} after the dialogue is {first!r} of {length} bytes "
                    f"returning {result}, not one whole frame of {size}")
    if len(frame_writes) < frames:
        return f"{where}: only {len(frame_writes)} frame writes, expected at least {frames}"
    print(f"ok   {where}: {len(frame_writes)} frames, {len(frame_writes)} writes of {size} bytes")
    return None


def check(args, cwd):
    check_main.need(("strace",), "strace")
    failures = []
    if args.module:
        shutil.copy(args.module, os.path.join(cwd, "blumot.mod"))
    for width, height in SIZES:
        trace = os.path.join(cwd, "trace")
        dialogue = run_pipe(args.program, width, height, args.frames, cwd, trace)
        failures.append(check_trace(trace, len(dialogue), width, height, args.frames,
                                    f"pipe {width}x{height}"))
        run_pty(args.program, width, height, args.frames, cwd, trace)
        failures.append(check_trace(trace, len(dialogue), width, height, args.frames,
                                    f"terminal {width}x{height}"))
    return [failure for failure in failures if failure]


if __name__ == "__main__":
    check_main.run(__doc__, check, {
        "program": None, "module": {"help": "music module to copy beside the program's run"},
        "frames": {"type": int, "default": 50}},
        lambda args, failures: f"{2 * len(SIZES) - len(failures)} passed, {len(failures)} failed")
