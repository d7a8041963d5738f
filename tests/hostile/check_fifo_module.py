#!/usr/bin/env python3
"""A FIFO named "blumot.mod" never holds `intro`: opening one blocks until a
writer comes, so the music must refuse it without waiting.

- At start: the banner, the dialogue and the frames come at once, standard
  error says "Could not load module, reason: ..." and Ctrl-c (SIGINT) ends
  the intro within a second, also when sent while the music starts: the
  sound library's start is a few milliseconds wide, so Ctrl-c comes at
  every 5 ms of the first 200.
- At a restart: a song that ends after one row is read again every few
  frames; once a FIFO replaces it, the music ends silently and the frames
  keep their rate, and Ctrl-c ends the intro within a second.

Runs with no sound server to be found.

Usage: check_fifo_module.py --program PATH --module PATH
"""

import os
import signal
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import check_main  # noqa: E402
import intro_run  # noqa: E402
from pulse_client import pulse_client_environment  # noqa: E402

WIDTH, HEIGHT, FPS = 40, 24, 50
SONG_LENGTH, ORDER, PATTERNS, PATTERN_SIZE = 950, 952, 1084, 1024
LOAD_FAILED = b"Could not load module, reason: "
EXIT_TIMEOUT = 1.0


def one_row_song(module):
    """The module cut to one position whose first row breaks to the next."""
    changed = bytearray(module)
    changed[SONG_LENGTH] = 1
    first = PATTERNS + module[ORDER] * PATTERN_SIZE
    changed[first + 2] = (changed[first + 2] & 0xF0) | 0xD
    changed[first + 3] = 0
    return bytes(changed)


def ended_by_interrupt(run, problems, when, quiet=False):
    taken, status = intro_run.stop_within(run, EXIT_TIMEOUT)
    if taken is None:
        problems.append(f"{when}: still running {EXIT_TIMEOUT} s after SIGINT")
    elif status != -signal.SIGINT:
        problems.append(f"{when}: ended with status {status}, not by SIGINT")
    elif not quiet:
        print(f"{when}: ended {taken * 1000:.0f} ms after SIGINT")


def fifo_at_start(program, folder, problems):
    os.mkfifo(os.path.join(folder, "blumot.mod"))
    errors = os.path.join(folder, "stderr")
    with open(errors, "wb") as stderr:
        run = intro_run.Run(program, WIDTH, HEIGHT, FPS, cwd=folder, stderr=stderr)
        if not intro_run.dialogue_within(run, 2.0):
            problems.append("at start: no dialogue within 2 s")
        elif intro_run.frames_within(run, 1.0) < FPS // 2:
            problems.append("at start: the frames do not come")
        ended_by_interrupt(run, problems, "at start, in the frames")
    with open(errors, "rb") as text:
        lines = text.read().splitlines()
    if not lines or not lines[-1].startswith(LOAD_FAILED):
        problems.append(f"at start: no load failure on standard error: {lines!r}")
    for delay in range(0, 205, 5):
        run = intro_run.Run(program, WIDTH, HEIGHT, FPS, cwd=folder)
        time.sleep(delay / 1000)
        ended_by_interrupt(run, problems, f"at start, {delay} ms in", quiet=True)


def fifo_at_restart(program, module, folder, problems):
    target = os.path.join(folder, "blumot.mod")
    with open(target, "wb") as song:
        song.write(one_row_song(module))
    run = intro_run.Run(program, WIDTH, HEIGHT, FPS, cwd=folder)
    if not intro_run.dialogue_within(run, 5.0):
        problems.append("at a restart: no dialogue within 5 s")
    else:
        before = intro_run.frames_within(run, 1.0)
        os.mkfifo(target + ".fifo")
        os.replace(target + ".fifo", target)
        intro_run.frames_within(run, 0.5)  # the next restarts meet the FIFO
        after = intro_run.frames_within(run, 1.0)
        print(f"at a restart: {before} frames in the second before the FIFO, {after} after")
        if after < 0.8 * before:
            problems.append(f"at a restart: {after} frames a second after the FIFO came, "
                            f"{before} before")
    ended_by_interrupt(run, problems, "at a restart")


def check(args, root):
    with open(args.module, "rb") as module_file:
        module = module_file.read()
    problems = []
    os.environ.update(pulse_client_environment(root, root, "no-server"))
    for name in ("start", "restart"):
        os.makedirs(os.path.join(root, name))
    fifo_at_start(args.program, os.path.join(root, "start"), problems)
    fifo_at_restart(args.program, module, os.path.join(root, "restart"), problems)
    return problems


if __name__ == "__main__":
    check_main.run(__doc__, check, {"program": None, "module": None}, "fifo module")
