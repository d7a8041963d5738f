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

import argparse
import os
import pty
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SIZES = [(80, 25), (320, 100)]
RATE = 100
LAST_PROMPT = b"Frames per second (fps) ?"
# One traced call: [pid] name(fd, "first bytes"..., size) = result
CALL = re.compile(rb'^(?:\d+ +)?(write|writev|pwrite64|pwritev2?)\((\d+), (.*?), (\d+)\) += (-?\d+)')
STRACE_CALLS = "write,writev,pwrite64,pwritev,pwritev2"


def answers(width, height):
    return f"5\n{width}\n{height}\n5\n{RATE}\n".encode()


def traced(program, trace):
    # -s 2 shows the first bytes of each write; signals are not of interest.
    return ["strace", "-f", "-qq", "-e", "trace=" + STRACE_CALLS, "-e", "signal=none",
            "-s", "2", "-o", trace, program]


def stop(process):
    """Interrupts the program and strace together, as Ctrl-c would: both
    run in a process group of their own. Interrupted alone, strace would
    leave the program running untraced."""
    try:
        os.killpg(process.pid, signal.SIGINT)
        process.wait(timeout=10)
    except subprocess.TimeoutExpired:
        os.killpg(process.pid, signal.SIGKILL)
        process.wait()
    except ProcessLookupError:
        process.wait()


def run_pipe(program, width, height, frames, cwd, trace):
    """Returns the dialogue text: everything before the first frame."""
    process = subprocess.Popen(traced(program, trace), stdin=subprocess.PIPE,
                               stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, cwd=cwd,
                               start_new_session=True)
    process.stdin.write(answers(width, height))
    process.stdin.flush()
    output = bytearray()
    deadline = time.monotonic() + 120
    dialogue = None
    while time.monotonic() < deadline:
        chunk = os.read(process.stdout.fileno(), 1 << 16)
        if not chunk:
            break
        output += chunk
        if dialogue is None and LAST_PROMPT in output:
            dialogue = output.rindex(LAST_PROMPT) + len(LAST_PROMPT)
        if dialogue is not None and len(output) - dialogue >= frames * width * height:
            break
    stop(process)
    process.stdin.close()
    process.stdout.close()
    if dialogue is None:
        sys.exit(f"no dialogue seen through the pipe: {bytes(output[:200])!r}")
    return bytes(output[:dialogue])


def run_pty(program, width, height, frames, cwd, trace):
    main, terminal = pty.openpty()
    process = subprocess.Popen(traced(program, trace), stdin=terminal, stdout=terminal,
                               stderr=subprocess.DEVNULL, cwd=cwd, start_new_session=True)
    os.close(terminal)
    os.write(main, answers(width, height))
    # The terminal turns each line end into two bytes: a frame shows as
    # height line ends.
    wanted_line_ends = (frames + 1) * height
    seen = 0
    after_prompt = None
    deadline = time.monotonic() + 120
    buffer = bytearray()
    while time.monotonic() < deadline:
        try:
            chunk = os.read(main, 1 << 16)
        except OSError:
            break
        if not chunk:
            break
        if after_prompt is None:
            buffer += chunk
            if LAST_PROMPT in buffer:
                after_prompt = buffer[buffer.rindex(LAST_PROMPT) + len(LAST_PROMPT):]
                seen = after_prompt.count(b"\n")
        else:
            seen += chunk.count(b"\n")
        if after_prompt is not None and seen >= wanted_line_ends:
            break
    stop(process)
    os.close(main)
    if after_prompt is None:
        sys.exit(f"no dialogue seen through the terminal: {bytes(buffer[:200])!r}")


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


def check(trace, dialogue_length, width, height, frames, where):
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


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--module", help="music module to copy beside the program's run")
    parser.add_argument("--frames", type=int, default=50)
    args = parser.parse_args()
    if shutil.which("strace") is None:
        sys.exit("strace is needed")
    program = os.path.abspath(args.program)
    failures = []
    with tempfile.TemporaryDirectory() as cwd:
        if args.module:
            shutil.copy(args.module, os.path.join(cwd, "blumot.mod"))
        for width, height in SIZES:
            trace = os.path.join(cwd, "trace")
            dialogue = run_pipe(program, width, height, args.frames, cwd, trace)
            failure = check(trace, len(dialogue), width, height, args.frames,
                            f"pipe {width}x{height}")
            if failure:
                failures.append(failure)
            run_pty(program, width, height, args.frames, cwd, trace)
            failure = check(trace, len(dialogue), width, height, args.frames,
                            f"terminal {width}x{height}")
            if failure:
                failures.append(failure)
    for failure in failures:
        print("FAIL", failure)
    print(f"{2 * len(SIZES) - len(failures)} passed, {len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
