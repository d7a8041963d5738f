#!/usr/bin/env python3
"""What the music costs `intro`, measured through a PulseAudio server of
the script's own (a null sink), at 80x25 on a pipe:

- frames per second of `intro` and `intro-silent` at 10, 25 and 50 fps;
- processor time of `intro` at 25 fps, beside another build of it if given;
- the frame rate in the first second and the two after a 0.5 s stop
  (SIGSTOP, SIGCONT) of `intro`;
- with the server stopped before the start: the time to the end of the
  dialogue and the frame rate; with the server stopped mid-run: the rate;
- how long Ctrl-c (SIGINT) takes to end `intro` in the dialogue, while it
  plays, with the server stopped at start and mid-run, and with no server.

Usage: measure_music.py --intro PATH --silent PATH --module PATH
                        [--compare PATH] [--seconds S]
"""

import argparse
import os
import shutil
import signal
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "support"))
import intro_run  # noqa: E402
from pulse_client import end, pulse_client_environment, start_daemon  # noqa: E402

WIDTH, HEIGHT = 80, 25


def started(program, fps, folder):
    run = intro_run.Run(program, WIDTH, HEIGHT, fps, cwd=folder)
    if not intro_run.dialogue_within(run, 10):
        intro_run.stop_within(run, 1)
        raise RuntimeError(f"{program}: no dialogue within 10 s")
    return run


def interrupt_ms(run):
    taken, _ = intro_run.stop_within(run, 5)
    return "over 5000" if taken is None else f"{taken * 1000:.1f}"


def frame_rates(args, folder):
    print("| fps | intro-silent | intro | intro / intro-silent |")
    print("|---:|---:|---:|---:|")
    for fps in (10, 25, 50):
        rates = []
        for program in (args.silent, args.intro):
            run = started(program, fps, folder)
            intro_run.frames_within(run, 1.0)
            rates.append(intro_run.frames_within(run, args.seconds) / args.seconds)
            intro_run.stop_within(run, 1)
        print(f"| {fps} | {rates[0]:.2f} | {rates[1]:.2f} | {rates[1] / rates[0]:.4f} |")


def cpu_at_25(programs, args, folder):
    for name, program in programs:
        run = started(program, 25, folder)
        intro_run.frames_within(run, 1.0)
        before = intro_run.cpu_seconds(run.pid)
        frames = intro_run.frames_within(run, args.seconds)
        used = intro_run.cpu_seconds(run.pid) - before
        intro_run.stop_within(run, 1)
        print(f"{name}: {frames} frames in {args.seconds} s at 25 fps, CPU {used * 1000:.1f} ms, "
              f"{used / args.seconds:.3%} of a core")


def after_a_stop(args, folder):
    run = started(args.intro, 25, folder)
    intro_run.frames_within(run, 2.0)
    run.process.send_signal(signal.SIGSTOP)
    time.sleep(0.5)
    run.process.send_signal(signal.SIGCONT)
    first = intro_run.frames_within(run, 1.0)
    then = intro_run.frames_within(run, 2.0) / 2
    print(f"after a 0.5 s stop at 25 fps: {first} frames in the first second, "
          f"{then:.1f} a second in the two after")
    print(f"Ctrl-c while playing: {interrupt_ms(run)} ms")


def stopped_server(args, daemon, folder):
    daemon.send_signal(signal.SIGSTOP)
    try:
        begun = time.monotonic()
        run = intro_run.Run(args.intro, WIDTH, HEIGHT, 25, cwd=folder)
        shown = intro_run.dialogue_within(run, 10)
        print(f"server stopped at start: dialogue {'ended' if shown else 'not ended'} after "
              f"{time.monotonic() - begun:.2f} s, "
              f"{intro_run.frames_within(run, 2.0) / 2:.1f} frames a second")
        print(f"Ctrl-c with the server stopped at start: {interrupt_ms(run)} ms")
    finally:
        daemon.send_signal(signal.SIGCONT)
    run = started(args.intro, 25, folder)
    intro_run.frames_within(run, 2.0)
    daemon.send_signal(signal.SIGSTOP)
    try:
        intro_run.frames_within(run, 1.0)
        print(f"server stopped mid-run: {intro_run.frames_within(run, 2.0) / 2:.1f} frames a second")
        print(f"Ctrl-c with the server stopped mid-run: {interrupt_ms(run)} ms")
    finally:
        daemon.send_signal(signal.SIGCONT)


def in_dialogue(args, folder):
    process = intro_run.start_unanswered(args.intro, cwd=folder)
    time.sleep(1.0)
    sent = time.monotonic()
    process.send_signal(signal.SIGINT)
    process.wait(timeout=5)
    print(f"Ctrl-c in the dialogue: {(time.monotonic() - sent) * 1000:.1f} ms")
    process.stdin.close()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--intro", required=True)
    parser.add_argument("--silent", required=True)
    parser.add_argument("--module", required=True)
    parser.add_argument("--compare", help="another build of intro, for its processor time")
    parser.add_argument("--seconds", type=float, default=10.0)
    args = parser.parse_args()
    for name in ("intro", "silent", "compare"):
        if getattr(args, name):
            setattr(args, name, os.path.abspath(getattr(args, name)))
    with tempfile.TemporaryDirectory(prefix="intro-music-measure-") as work:
        folder = os.path.join(work, "run")
        os.makedirs(folder)
        shutil.copy(args.module, os.path.join(folder, "blumot.mod"))
        saved = dict(os.environ)
        os.environ.update(pulse_client_environment(work, os.path.join(work, "home"),
                                                   os.path.join("pulse", "native")))
        daemon = start_daemon(os.environ, os.path.join(work, "daemon.log"), "measure")
        try:
            frame_rates(args, folder)
            programs = [("intro", args.intro)]
            if args.compare:
                programs.append(("compared intro", args.compare))
            cpu_at_25(programs, args, folder)
            after_a_stop(args, folder)
            in_dialogue(args, folder)
            stopped_server(args, daemon, folder)
        finally:
            end(daemon)
        os.environ.clear()
        os.environ.update(saved)
        os.environ.update(pulse_client_environment(os.path.join(work, "none"), work, "no-server"))
        run = started(args.intro, 25, folder)
        intro_run.frames_within(run, 2.0)
        print(f"Ctrl-c with no server: {interrupt_ms(run)} ms")
    return 0


if __name__ == "__main__":
    sys.exit(main())
