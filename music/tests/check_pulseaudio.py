#!/usr/bin/env python3
"""Plays `intro` through a PulseAudio server of its own and checks that the
music reaches it without gaps.

Starts a PulseAudio daemon with a null sink (its runtime folder and home in a
temporary folder, so no other server is touched) and keeps the sink busy with
a player of silence at a short latency, as a sink in use on a desktop is: an
idle null sink takes about a second to start playing a new stream. Then runs
`intro` at 10, 25 and 50 frames per second for a few seconds each, in a
folder holding the module, and records the sink's monitor meanwhile. For each
run:

- between the first and the last sound of the recording, no 20 ms stretch is
  silent (the server fills what it does not get in time with silence);
- standard output carries the dialogue and then only whole frames, at close
  to the chosen rate once the server has started to play (a driver that
  blocks must not hold the frame loop);
- standard error stays empty (the sound started);
- the interrupt (SIGINT, as Ctrl-c sends it) ends the intro at once; so it
  does too while the dialogue waits for an answer.

A run that fails is run once more, and the second run decides: the machine
is shared, and a fault of the intro fails every run.

The daemon is stopped at the end, whatever happened. Prints one line of
figures per run. Exits 77 (skipped) when PulseAudio is not installed, except
under CI, where that is a failure.

Usage: check_pulseaudio.py --program PATH --module PATH [--seconds S] [--fps N]...
"""

import argparse
import array
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time

from pulse_client import pulse_client_environment

RATE = 44100
CHANNELS = 2
SINK = "intro_check"
WIDTH, HEIGHT = 80, 25
FRAME_SIZE = WIDTH * HEIGHT
RUNS = [(10, b"1\n1\n"), (25, b"1\n3\n"), (50, b"1\n4\n")]
# The player of silence and the recorder ask for a short latency, so that the
# null sink plays in small steps, as a sound card's sink does while a
# low-latency client runs.
LATENCY_MS = 20
LONGEST_GAP_MS = 20
MIN_RATE_SHARE = 0.8   # share of the chosen frame rate that must be reached
SETTLE = 2.0           # seconds after the first frame before the rate is taken,
                       # while the music settles on the server's buffer
EXIT_TIMEOUT = 1.0     # seconds the intro may take to end after SIGINT
SKIPPED = 77

DIALOGUE_END = b"[5] other fps\n?"


class Failure(Exception):
    pass


def pulse_environment(root):
    return pulse_client_environment(root, os.path.join(root, "home"),
                                    os.path.join("pulse", "native"))


def start_daemon(env, log_path):
    command = [
        "pulseaudio", "--daemonize=no", "--exit-idle-time=-1", "-n",
        "--use-pid-file=no", "--realtime=no", "--high-priority=no", "--no-cpu-limit=yes",
        "--log-target=stderr",
        f"--load=module-null-sink sink_name={SINK} rate={RATE} channels={CHANNELS}",
        "--load=module-native-protocol-unix",
    ]
    log = open(log_path, "wb")
    daemon = subprocess.Popen(command, env=env, stdin=subprocess.DEVNULL,
                              stdout=log, stderr=log, start_new_session=True)
    deadline = time.time() + 15
    while time.time() < deadline:
        if daemon.poll() is not None:
            break
        ready = subprocess.run(["pactl", "info"], env=env, capture_output=True, timeout=10)
        if ready.returncode == 0:
            return daemon
        time.sleep(0.2)
    stop(daemon, signal.SIGTERM, 5)
    with open(log_path, "rb") as text:
        raise Failure("the PulseAudio daemon did not start:\n" + text.read().decode(errors="replace"))


def stop(process, sig, grace):
    """Ends a process this script started: `sig`, then SIGKILL after `grace`."""
    if process.poll() is None:
        process.send_signal(sig)
        try:
            process.wait(timeout=grace)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


class Reader(threading.Thread):
    """Collects everything a pipe delivers."""

    def __init__(self, pipe):
        super().__init__(daemon=True)
        self.pipe = pipe
        self.data = bytearray()
        self.arrivals = []  # (time, bytes so far)
        self.first_frame_at = None
        self.frames_start = None  # where the first frame begins

    def run(self):
        while True:
            chunk = os.read(self.pipe.fileno(), 1 << 16)
            if not chunk:
                return
            self.data.extend(chunk)
            now = time.monotonic()
            self.arrivals.append((now, len(self.data)))
            if self.frames_start is None:
                end = self.data.find(DIALOGUE_END)
                if end >= 0:
                    self.frames_start = end + len(DIALOGUE_END)
            if (self.first_frame_at is None and self.frames_start is not None
                    and len(self.data) >= self.frames_start + FRAME_SIZE):
                self.first_frame_at = now

    def frames_by(self, moment):
        """Whole frames received up to `moment`."""
        received = 0
        for at, size in self.arrivals:
            if at > moment:
                break
            received = size
        return max(0, received - (self.frames_start or 0)) // FRAME_SIZE


def check_frames(stdout, fps, problems):
    end = stdout.find(DIALOGUE_END)
    if end < 0:
        problems.append("the dialogue did not end")
        return 0
    frames = stdout[end + len(DIALOGUE_END):]
    count, rest = divmod(len(frames), FRAME_SIZE)
    if rest:
        problems.append(f"standard output ends with {rest} bytes of a frame")
    for index in range(count):
        frame = frames[index * FRAME_SIZE:(index + 1) * FRAME_SIZE]
        if frame[0:1] != b"\n" or frame.count(b"\n") != HEIGHT:
            problems.append(f"frame {index} is not a whole {WIDTH}x{HEIGHT} frame")
            break
    return count


def analyse(recording):
    """The first and the last sound, the longest silence between them, where
    it begins (from the first sound) and the sum of all silences, all in
    sample frames."""
    samples = array.array("h")
    samples.frombytes(recording[:len(recording) // 4 * 4])
    if sys.byteorder != "little":
        samples.byteswap()
    frames = len(samples) // CHANNELS
    first = last = None
    longest = total = run = 0
    longest_at = None
    for index in range(frames):
        if samples[2 * index] or samples[2 * index + 1]:
            if first is None:
                first = index
            elif run:
                if run > longest:
                    longest, longest_at = run, index - run - first
                total += run
            run = 0
            last = index
        else:
            run += 1
    return first, last, longest, longest_at, total


def run_at(program, module, env, fps, answers, seconds, work):
    folder = os.path.join(work, f"fps{fps}")
    os.makedirs(folder, exist_ok=True)
    shutil.copy(module, os.path.join(folder, "blumot.mod"))
    record_path = os.path.join(folder, "monitor.raw")
    problems = []

    with open(record_path, "wb") as record_file:
        recorder = subprocess.Popen(
            ["parecord", "--raw", f"--device={SINK}.monitor", "--format=s16le",
             f"--rate={RATE}", f"--channels={CHANNELS}",
             f"--latency-msec={LATENCY_MS}"],
            env=env, stdin=subprocess.DEVNULL, stdout=record_file, stderr=subprocess.PIPE)
        try:
            time.sleep(0.5)
            intro = subprocess.Popen([program], cwd=folder, env=env, stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE, stderr=subprocess.PIPE)
            try:
                out, err = Reader(intro.stdout), Reader(intro.stderr)
                out.start()
                err.start()
                intro.stdin.write(answers)
                intro.stdin.flush()
                deadline = time.monotonic() + 10
                while out.first_frame_at is None and time.monotonic() < deadline:
                    time.sleep(0.01)
                if out.first_frame_at is None:
                    raise Failure(f"{fps} fps: no frame within 10 s; standard error: "
                                  f"{bytes(err.data)[:500]!r}")
                time.sleep(seconds)
                interrupted_at = time.monotonic()
                intro.send_signal(signal.SIGINT)
                try:
                    intro.wait(timeout=EXIT_TIMEOUT)
                except subprocess.TimeoutExpired:
                    problems.append(f"still running {EXIT_TIMEOUT} s after SIGINT")
                ended = time.monotonic() - interrupted_at
                ran = interrupted_at - out.first_frame_at
            finally:
                stop(intro, signal.SIGKILL, 5)
                intro.stdin.close()
                out.join(5)
                err.join(5)
            time.sleep(0.3)
        finally:
            stop(recorder, signal.SIGINT, 5)
    if intro.returncode != -signal.SIGINT:
        problems.append(f"ended with status {intro.returncode}, not by SIGINT")
    if err.data:
        problems.append(f"standard error is not empty: {bytes(err.data)[:500]!r}")
    frames = check_frames(bytes(out.data), fps, problems)
    settled = out.first_frame_at + SETTLE
    rate = (out.frames_by(interrupted_at) - out.frames_by(settled)) / (interrupted_at - settled)
    if rate < MIN_RATE_SHARE * fps:
        problems.append(f"{rate:.1f} frames per second, below {MIN_RATE_SHARE:.0%} of {fps}")

    with open(record_path, "rb") as record_file:
        first, last, longest, longest_at, silent = analyse(record_file.read())
    if first is None:
        problems.append("the recording is silent")
        figures = "no sound"
    else:
        # The server starts to play late and drops what it holds at the
        # interrupt, so the sound is shorter than the run.
        span = (last - first + 1) / RATE
        delivered = (span - silent / RATE) / span
        figures = (f"sound for {span:.2f} s of the {ran:.2f} s run, "
                   f"silence inside it {silent * 1000 / RATE:.1f} ms "
                   f"(longest {longest * 1000 / RATE:.1f} ms): {delivered:.1%} delivered")
        if longest * 1000 >= LONGEST_GAP_MS * RATE:
            problems.append(f"a silence of {longest * 1000 / RATE:.1f} ms inside the music, "
                            f"{longest_at / RATE:.2f} s after its first sound")
    print(f"{fps} fps: {frames} frames in {ran:.2f} s, {rate:.1f}/s after the first "
          f"{SETTLE:.0f} s; {figures}; ended {ended * 1000:.0f} ms after SIGINT")
    return problems


def interrupt_during_dialogue(program, module, env, work):
    folder = os.path.join(work, "dialogue")
    os.makedirs(folder)
    shutil.copy(module, os.path.join(folder, "blumot.mod"))
    intro = subprocess.Popen([program], cwd=folder, env=env, stdin=subprocess.PIPE,
                             stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    try:
        out = Reader(intro.stdout)
        out.start()
        deadline = time.monotonic() + 10
        while b"?" not in out.data and time.monotonic() < deadline:
            time.sleep(0.01)
        intro.send_signal(signal.SIGINT)
        try:
            intro.wait(timeout=EXIT_TIMEOUT)
        except subprocess.TimeoutExpired:
            return [f"dialogue: still running {EXIT_TIMEOUT} s after SIGINT"]
    finally:
        stop(intro, signal.SIGKILL, 5)
        intro.stdin.close()
    if intro.returncode != -signal.SIGINT:
        return [f"dialogue: ended with status {intro.returncode}, not by SIGINT"]
    return []


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--program", required=True)
    parser.add_argument("--module", required=True)
    parser.add_argument("--seconds", type=float, default=6.0)
    parser.add_argument("--fps", type=int, action="append", choices=[fps for fps, _ in RUNS],
                        help="run only at this rate (may be given more than once)")
    args = parser.parse_args()

    missing = [tool for tool in ("pulseaudio", "pactl", "parecord", "pacat")
               if shutil.which(tool) is None]
    if missing:
        print(f"not installed: {' '.join(missing)} (Debian: pulseaudio, pulseaudio-utils)")
        return 1 if os.environ.get("CI") else SKIPPED
    if not os.path.isfile(args.module):
        print(f"no module at {args.module}: build the blumot_mod target first")
        return 1
    program = os.path.abspath(args.program)
    module = os.path.abspath(args.module)

    problems = []
    with tempfile.TemporaryDirectory(prefix="intro-pulse-") as work:
        env = pulse_environment(work)
        daemon = start_daemon(env, os.path.join(work, "daemon.log"))
        silence = None
        try:
            silence = subprocess.Popen(
                ["pacat", "--playback", "--raw", f"--device={SINK}", "--format=s16le",
                 f"--rate={RATE}", f"--channels={CHANNELS}", f"--latency-msec={LATENCY_MS}",
                 "/dev/zero"],
                env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                stderr=subprocess.DEVNULL)
            time.sleep(1.0)
            for fps, answers in RUNS:
                if args.fps and fps not in args.fps:
                    continue
                # A real-time check on a shared machine: a run that fails is
                # run once more, and the second run decides. A fault of the
                # intro fails both.
                for attempt in (1, 2):
                    found = run_at(program, module, env, fps, answers, args.seconds,
                                   os.path.join(work, f"attempt{attempt}"))
                    if not found:
                        break
                    for problem in found:
                        print(f"{'FAIL' if attempt == 2 else 'once'}: {fps} fps: {problem}")
                    if attempt == 2:
                        problems += [f"{fps} fps: {p}" for p in found]
            found = interrupt_during_dialogue(program, module, env, work)
            for problem in found:
                print("FAIL:", problem)
            problems += found
        finally:
            if silence is not None:
                stop(silence, signal.SIGTERM, 5)
            if daemon.poll() is not None:
                with open(os.path.join(work, "daemon.log"), "rb") as log:
                    problems.append("the PulseAudio daemon ended during the check")
                    print("FAIL: the PulseAudio daemon ended during the check:\n"
                          + log.read()[-3000:].decode(errors="replace"))
            stop(daemon, signal.SIGTERM, 5)
    print("pulseaudio check:", "failed" if problems else "passed")
    return 1 if problems else 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except Failure as failure:
        print("FAIL:", failure)
        sys.exit(1)
