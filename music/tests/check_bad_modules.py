#!/usr/bin/env python3
"""Runs `intro` on damaged music modules and checks that none of them stops
the intro.

The variants are made from the composed module: missing, empty, a folder in
its place, cut short at many points, a wrong signature, absurd lengths and
numbers in the header, random bytes, random pattern data, and songs that end
at once (so that the module is read again every few frames). Each runs in a
folder of its own, with no sound server to be found, with the dialogue
answered (40x24, 50 frames per second). For each:

- standard error holds at most the two lines of a failed sound start
  ("Could not initialize sound", "Reason: ...") and then either nothing (the
  module loaded) or exactly one line "Could not load module, reason: ..."
  with the library's text, and nothing of the sound libraries' own; a
  missing file gives "Could not open requested file";
- standard output carries the dialogue and then only whole frames, and the
  frames keep coming (the animation runs on);
- the interrupt (SIGINT, as Ctrl-c sends it) ends the intro at once, by the
  signal.

The same is checked of an interrupt while the dialogue waits for an answer.
Run it on the sanitizer build to have every load checked for memory errors.

Usage: check_bad_modules.py --program PATH --module PATH [--frames N]
"""

import os
import random
import signal
import subprocess
import sys
import threading
import time
from concurrent.futures import ThreadPoolExecutor

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests",
                                "support"))
import check_main  # noqa: E402
import intro_run  # noqa: E402
from pulse_client import pulse_client_environment  # noqa: E402

ANSWERS = b"4\n4\n"  # 40x24, 50 frames per second
WIDTH, HEIGHT = 40, 24
FRAME_SIZE = WIDTH * HEIGHT
DIALOGUE_END = b"[5] other fps\n?"
FRAME_TIMEOUT = 30.0  # seconds for the frames to come (sanitizer builds start slowly)
EXIT_TIMEOUT = 2.0    # seconds the intro may take to end after SIGINT

INIT_FAILED = b"Could not initialize sound\n"
REASON = b"Reason: "
LOAD_FAILED = b"Could not load module, reason: "
MISSING_FILE = LOAD_FAILED + b"Could not open requested file\n"

# The layout of a four-channel ProTracker module.
SAMPLES = 31
SAMPLE_HEADER = 30
SONG_LENGTH = 950
ORDER = 952
SIGNATURE = 1080
PATTERNS = 1084
PATTERN_SIZE = 64 * 4 * 4


def pattern_count(module):
    return max(module[ORDER:ORDER + 128]) + 1


def with_bytes(module, offset, data):
    changed = bytearray(module)
    changed[offset:offset + len(data)] = data
    return bytes(changed)


def every_sample(module, field_offset, data):
    changed = bytearray(module)
    for number in range(SAMPLES):
        at = 20 + number * SAMPLE_HEADER + field_offset
        changed[at:at + len(data)] = data
    return bytes(changed)


def short_song(module, effect, param):
    """One position whose first row carries the given effect on every channel."""
    changed = bytearray(module)
    changed[SONG_LENGTH] = 1
    first = PATTERNS + module[ORDER] * PATTERN_SIZE
    for channel in range(4):
        cell = first + channel * 4
        changed[cell + 2] = (changed[cell + 2] & 0xF0) | effect
        changed[cell + 3] = param
    return bytes(changed)


def variants(module):
    """(name, content) pairs; content None means no file, "folder" a folder."""
    rng = random.Random(1084)
    patterns_end = PATTERNS + pattern_count(module) * PATTERN_SIZE
    made = [("missing", None), ("folder", "folder"), ("empty", b"")]
    for cut in (1, 20, 600, SONG_LENGTH, SIGNATURE, SIGNATURE + 3, PATTERNS,
                PATTERNS + 500, (PATTERNS + patterns_end) // 2, patterns_end,
                patterns_end + 101, len(module) - 1):
        made.append((f"cut at {cut}", module[:cut]))
    made += [
        ("wrong signature", with_bytes(module, SIGNATURE, b"XK!?")),
        ("eight channels claimed", with_bytes(module, SIGNATURE, b"8CHN")),
        ("sample lengths 65535 words", every_sample(module, 22, b"\xff\xff")),
        ("loops past the samples", every_sample(module, 26, b"\xff\xff\xff\xff")),
        ("finetune and volume 255", every_sample(module, 24, b"\xff\xff")),
        ("song length 0", with_bytes(module, SONG_LENGTH, b"\x00")),
        ("song length 255", with_bytes(module, SONG_LENGTH, b"\xff")),
        ("pattern numbers 127", with_bytes(module, ORDER, b"\x7f" * 128)),
        ("pattern numbers 255", with_bytes(module, ORDER, b"\xff" * 128)),
        ("random header", bytes(rng.getrandbits(8) for _ in range(PATTERNS)) + module[PATTERNS:]),
        ("random header with signature",
         with_bytes(bytes(rng.getrandbits(8) for _ in range(PATTERNS)) + module[PATTERNS:],
                    SIGNATURE, b"M.K.")),
        ("random patterns", module[:PATTERNS]
         + bytes(rng.getrandbits(8) for _ in range(patterns_end - PATTERNS))
         + module[patterns_end:]),
        ("random bytes", bytes(rng.getrandbits(8) for _ in range(len(module)))),
        ("random bytes, short", bytes(rng.getrandbits(8) for _ in range(2000))),
        ("song ends after a row", short_song(module, 0xD, 0)),
        ("speed 0", short_song(module, 0xF, 0)),
        ("endless jump", short_song(module, 0xB, 0)),
        ("sample data missing", module[:patterns_end]),
    ]
    return made


def quiet_environment(root):
    """No sound server to be found: the library falls back as it would on a
    machine without sound."""
    return pulse_client_environment(root, root, "no-server")


class Reader(threading.Thread):
    def __init__(self, pipe):
        super().__init__(daemon=True)
        self.pipe = pipe
        self.data = bytearray()

    def run(self):
        while True:
            chunk = os.read(self.pipe.fileno(), 1 << 16)
            if not chunk:
                return
            self.data.extend(chunk)


def interrupt(process):
    if not intro_run.terminate(process, EXIT_TIMEOUT, signal.SIGINT):
        return f"still running {EXIT_TIMEOUT} s after SIGINT"
    if process.returncode != -signal.SIGINT:
        return f"ended with status {process.returncode}, not by SIGINT"
    return None


def check_stderr(text, name):
    lines = text.splitlines(keepends=True)
    problems = []
    if len(lines) >= 2 and lines[0] == INIT_FAILED:
        if not (lines[1].startswith(REASON) and len(lines[1]) > len(REASON) + 1
                and lines[1].endswith(b"\n")):
            problems.append(f"no reason after the failed start: {lines[1]!r}")
        lines = lines[2:]
    if name == "missing":
        if lines != [MISSING_FILE]:
            problems.append(f"expected {MISSING_FILE!r}, got {b''.join(lines)!r}")
        return problems, "load failed"
    if not lines:
        return problems, "loaded"
    if (len(lines) == 1 and lines[0].startswith(LOAD_FAILED)
            and len(lines[0]) > len(LOAD_FAILED) + 1 and lines[0].endswith(b"\n")):
        return problems, "load failed: " + lines[0][len(LOAD_FAILED):-1].decode(errors="replace")
    problems.append(f"unexpected standard error: {b''.join(lines)[:800]!r}")
    return problems, "?"


def run_variant(program, env, root, index, name, content, frames_wanted):
    folder = os.path.join(root, f"variant{index:02}")
    os.makedirs(folder)
    target = os.path.join(folder, "blumot.mod")
    if content == "folder":
        os.makedirs(target)
    elif content is not None:
        with open(target, "wb") as module_file:
            module_file.write(content)
    problems = []
    started = time.monotonic()
    process = subprocess.Popen([program], cwd=folder, env=env, stdin=subprocess.PIPE,
                               stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    out, err = Reader(process.stdout), Reader(process.stderr)
    out.start()
    err.start()
    try:
        process.stdin.write(ANSWERS)
        process.stdin.flush()
    except BrokenPipeError:
        pass
    wanted = None
    deadline = started + FRAME_TIMEOUT
    while time.monotonic() < deadline and process.poll() is None:
        end = out.data.find(DIALOGUE_END)
        if end >= 0:
            wanted = end + len(DIALOGUE_END) + frames_wanted * FRAME_SIZE
            if len(out.data) >= wanted:
                break
        time.sleep(0.01)
    running = process.poll() is None
    if not running:
        problems.append(f"ended by itself with status {process.returncode}")
    elif wanted is None or len(out.data) < wanted:
        problems.append(f"fewer than {frames_wanted} frames within {FRAME_TIMEOUT:.0f} s")
    if running:
        stopped = interrupt(process)
        if stopped:
            problems.append(stopped)
    process.stdin.close()
    out.join(5)
    err.join(5)
    stdout = bytes(out.data)
    end = stdout.find(DIALOGUE_END)
    if end >= 0:
        frames = stdout[end + len(DIALOGUE_END):]
        count, rest = divmod(len(frames), FRAME_SIZE)
        if rest:
            problems.append(f"standard output ends with {rest} bytes of a frame")
        for number in range(count):
            frame = frames[number * FRAME_SIZE:(number + 1) * FRAME_SIZE]
            if frame[:1] != b"\n" or frame.count(b"\n") != HEIGHT:
                problems.append(f"frame {number} is not a whole {WIDTH}x{HEIGHT} frame")
                break
    stderr_problems, outcome = check_stderr(bytes(err.data), name)
    problems += stderr_problems
    return name, outcome, time.monotonic() - started, problems


def interrupt_during_dialogue(program, env, root):
    folder = os.path.join(root, "dialogue")
    os.makedirs(folder)
    process = subprocess.Popen([program], cwd=folder, env=env, stdin=subprocess.PIPE,
                               stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    out = Reader(process.stdout)
    out.start()
    deadline = time.monotonic() + FRAME_TIMEOUT
    while b"?" not in out.data and time.monotonic() < deadline:
        time.sleep(0.01)
    problem = interrupt(process)
    process.stdin.close()
    out.join(5)
    return [f"interrupt during the dialogue: {problem}"] if problem else []


def check(args, root):
    if not os.path.isfile(args.module):
        print(f"no module at {args.module}: build the blumot_mod target first")
        sys.exit(1)
    with open(args.module, "rb") as module_file:
        module = module_file.read()
    if module[SIGNATURE:PATTERNS] != b"M.K.":
        print(f"{args.module} is not a four-channel ProTracker module")
        sys.exit(1)
    args.started, failed = time.monotonic(), []
    env = quiet_environment(root)
    made = variants(module)
    args.runs = len(made) + 1
    with ThreadPoolExecutor(max_workers=args.jobs) as pool:
        runs = [pool.submit(run_variant, args.program, env, root, index, name, content,
                            args.frames)
                for index, (name, content) in enumerate(made)]
        for run in runs:
            name, outcome, seconds, problems = run.result()
            failed += check_main.report(f"{name}: {outcome} ({seconds:.1f} s)", problems)
    return failed + interrupt_during_dialogue(args.program, env, root)


if __name__ == "__main__":
    check_main.run(__doc__, check, {"program": None, "module": None,
                                    "frames": {"type": int, "default": 25},
                                    "jobs": {"type": int, "default": 4}},
                   lambda args, failed: f"bad modules: {args.runs - len(failed)} of {args.runs} "
                   f"runs right ({args.runs - 1} modules and an interrupt in the dialogue) in "
                   f"{time.monotonic() - args.started:.1f} s")
