#!/usr/bin/env python3
"""Plays `intro` through a PulseAudio server of its own, as a user hears it,
and checks that the music never drops out.

Starts a fresh PulseAudio daemon with a null sink (its runtime folder and
home in a temporary folder, so no other server is touched) and records the
sink's monitor. Four busy loops per core hold the processors meanwhile, as
a `make -j8` on two cores would. Then, at 10, 25 and 50 frames per second:

- first a control: `paplay` plays a render of the same module (made with
  the music's own mixer settings) under the same load;
- then `intro`, three runs of a few seconds at 80x25.

A run passes when its recording has no silent 20 ms between its first and
last sound (the server fills with silence what it does not get in time),
`intro` delivers frames, its standard error stays empty, Ctrl-c (SIGINT)
ends it within a second, and the energy of its sound above 12 kHz is at
most -30 dB of the whole (the mixer interpolates). When the control itself
drops out, the machine could not play sound in time at all: a failing run
at that rate is inconclusive, and a check with no failing run but an
inconclusive one is reported as skipped (exit 77), never as passed.

Without load, a 0.5 s stop of `intro` mid-run (as a stalled machine stops
it) leaves no more silent 20 ms than the same stop of `paplay`, whose
buffer rides over it. And the sound server's faults are checked too: a server stopped
(SIGSTOP) before `intro` starts lets the banner show within 2 s and the
frames run; one stopped mid-run does not hold the frames; a 0.5 s stop of
`intro` itself leaves the frame rate back within 1 s; a server killed
mid-run leaves the frames at their rate and the processor idle; Ctrl-c in
the dialogue ends it.

Exits 77 (skipped) when PulseAudio is not installed, except under CI, where
that is a failure.

Usage: check_pulseaudio.py --program PATH --module PATH --render PATH
"""

import cmath
import math
import os
import shutil
import signal
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..",
                                "tests", "support"))
import check_main  # noqa: E402
import intro_run  # noqa: E402
from pulse_client import (end, monitor_recording, pulse_client_environment,  # noqa: E402
                          start_daemon)

RATE = 44100
CHANNELS = 2
SINK = "intro_check"
WIDTH, HEIGHT = 80, 25
RATES = (10, 25, 50)
RUNS_PER_RATE = 3
SECONDS = 6             # of frames in each run, and of the control's render
WINDOW = RATE // 50     # 20 ms of sample frames
MIN_RATE_SHARE = 0.8    # share of the chosen frame rate that must be reached
HIGH_FREQUENCY = 12000  # Hz
MAX_HIGH_SHARE_DB = -30.0
EXIT_TIMEOUT = 1.0      # seconds the intro may take to end after SIGINT
LOOPS_PER_CORE = 4
STALL = 0.5             # seconds a program is stopped, as a stalled machine stops it


def silences(samples):
    """The silent 20 ms stretches between the first and the last sound, and
    how long the sound lasted, in seconds."""
    loud = [i for i in range(len(samples) // CHANNELS)
            if samples[CHANNELS * i] or samples[CHANNELS * i + 1]]
    if not loud:
        return None, 0.0
    gaps = sum(1 for before, after in zip(loud, loud[1:]) if after - before > WINDOW)
    return gaps, (loud[-1] - loud[0]) / RATE


def fft(values):
    if len(values) == 1:
        return values
    even, odd = fft(values[0::2]), fft(values[1::2])
    half = len(values) // 2
    turned = [cmath.exp(-2j * math.pi * k / len(values)) * odd[k] for k in range(half)]
    return ([even[k] + turned[k] for k in range(half)]
            + [even[k] - turned[k] for k in range(half)])


def high_share_db(samples, size=2048):
    """Energy above HIGH_FREQUENCY against all of it, in dB, from Hann-windowed
    blocks over the whole recording (both channels mixed): a sample of
    blocks would swing by several dB with where the hi-hats fall."""
    frames = len(samples) // CHANNELS
    window = [0.5 - 0.5 * math.cos(2 * math.pi * i / size) for i in range(size)]
    first = HIGH_FREQUENCY * size // RATE
    high = total = 0.0
    for start in range(0, max(1, frames - size), size):
        block = [(samples[2 * (start + i)] + samples[2 * (start + i) + 1]) * window[i]
                 for i in range(min(size, frames - start))]
        if len(block) < size:
            break
        power = [abs(value) ** 2 for value in fft(block)[:size // 2]]
        high += sum(power[first:])
        total += sum(power)
    return 10 * math.log10(high / total) if high > 0 else -math.inf


def control(render, env):
    """Plays the render with paplay; the number of silent 20 ms inside it."""
    recorder = monitor_recording(env, SINK)
    try:
        time.sleep(0.3)
        subprocess.run(["paplay", f"--device={SINK}", render], env=env, timeout=SECONDS + 30,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(0.3)
    finally:
        recorder.stop()
    gaps, _ = silences(recorder.samples())
    return 1 if gaps is None else gaps


def play_intro(program, module, fps, folder):
    """Runs intro for SECONDS of frames while the monitor is recorded.
    Returns its problems and its recording's samples."""
    recorder = monitor_recording(os.environ, SINK)
    try:
        time.sleep(0.3)
        player = intro_run.Player(program, module, folder, fps)
        if intro_run.frames_within(player.run, SECONDS) == 0:
            player.problems.append("no frames")
        problems = player.finish()
        time.sleep(0.3)
    except RuntimeError as failure:
        problems = [str(failure)]
    finally:
        recorder.stop()
    return problems, recorder.samples()


def dropout_run(program, module, control_gaps, fps, folder):
    """One run under load: (verdict, line of figures); verdict is "pass",
    "fail" or "inconclusive"."""
    problems, samples = play_intro(program, module, fps, folder)
    gaps, sound = silences(samples)
    if gaps is None:
        problems.append("the recording is silent")
    elif gaps:
        problems.append(f"{gaps} silent 20 ms inside {sound:.2f} s of music")
    share = high_share_db(samples) if gaps is not None else 0.0
    if share > MAX_HIGH_SHARE_DB:
        problems.append(f"energy above 12 kHz at {share:.1f} dB of the whole")
    figures = (f"{fps} fps: intro {gaps} silent 20 ms in {sound:.2f} s, above 12 kHz "
               f"{share:.1f} dB; control {control_gaps} silent 20 ms")
    if problems and control_gaps:
        return "inconclusive", figures + " (the control dropped out)"
    return ("fail" if problems else "pass"), figures + "".join(f"\n  {p}" for p in problems)


def stalled(program, module, render_path, folder):
    """intro stopped for STALL seconds mid-run, as a stall of the machine
    (swapping, a burst of load) stops a program, and paplay stopped so as
    the control: the music rides over the stall on what the server holds,
    as the player's does. Returns problems."""
    os.makedirs(folder)
    shutil.copy(module, os.path.join(folder, "blumot.mod"))
    recorder = monitor_recording(os.environ, SINK)
    try:
        time.sleep(0.3)
        player = subprocess.Popen(["paplay", f"--device={SINK}", render_path],
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(2.0)
        player.send_signal(signal.SIGSTOP)
        time.sleep(STALL)
        player.send_signal(signal.SIGCONT)
        player.wait(timeout=SECONDS + 30)
        time.sleep(0.3)
    finally:
        recorder.stop()
    control_gaps, _ = silences(recorder.samples())
    recorder = monitor_recording(os.environ, SINK)
    try:
        time.sleep(0.3)
        run = intro_run.Run(program, WIDTH, HEIGHT, 25, cwd=folder)
        if not intro_run.dialogue_within(run, 10):
            intro_run.stop_within(run, EXIT_TIMEOUT)
            return ["stalled: no dialogue within 10 s"]
        intro_run.frames_within(run, 2.0)
        run.process.send_signal(signal.SIGSTOP)
        time.sleep(STALL)
        run.process.send_signal(signal.SIGCONT)
        intro_run.frames_within(run, 2.5)
        intro_run.stop_within(run, EXIT_TIMEOUT)
        time.sleep(0.3)
    finally:
        recorder.stop()
    gaps, sound = silences(recorder.samples())
    print(f"a {STALL} s stall: intro {gaps} silent 20 ms in {sound:.2f} s; "
          f"control {control_gaps} silent 20 ms")
    if gaps is None:
        return ["stalled: the recording is silent"]
    if gaps > (control_gaps or 0):
        return [f"a {STALL} s stall of intro: {gaps} silent 20 ms, of paplay: {control_gaps}"]
    return []


def busy_loops():
    return [subprocess.Popen(["sh", "-c", "while :; do :; done"])
            for _ in range(LOOPS_PER_CORE * (os.cpu_count() or 1))]


def stopped_server(program, module, daemon, folder):
    """The server stopped before the start, then mid-run; intro stopped for
    0.5 s. Returns problems."""
    os.makedirs(folder)
    shutil.copy(module, os.path.join(folder, "blumot.mod"))
    problems = []
    daemon.send_signal(signal.SIGSTOP)
    try:
        run = intro_run.Run(program, WIDTH, HEIGHT, 25, cwd=folder)
        if not intro_run.dialogue_within(run, 2.0):
            problems.append("server stopped at start: no dialogue within 2 s")
        elif intro_run.frames_within(run, 2.0) < MIN_RATE_SHARE * 50:
            problems.append("server stopped at start: the frames do not keep their rate")
        taken, status = intro_run.stop_within(run, EXIT_TIMEOUT)
        print(f"server stopped at start: ended {taken} s after SIGINT")
        if taken is None or status != -signal.SIGINT:
            problems.append("server stopped at start: not ended by SIGINT")
    finally:
        daemon.send_signal(signal.SIGCONT)
    run = intro_run.Run(program, WIDTH, HEIGHT, 25, cwd=folder)
    if intro_run.dialogue_within(run, 10):
        intro_run.frames_within(run, 1.0)
        daemon.send_signal(signal.SIGSTOP)
        held = intro_run.frames_within(run, 2.0)
        daemon.send_signal(signal.SIGCONT)
        run.process.send_signal(signal.SIGSTOP)
        time.sleep(0.5)
        run.process.send_signal(signal.SIGCONT)
        intro_run.frames_within(run, 1.0)
        recovered = intro_run.frames_within(run, 2.0)
        print(f"server stopped mid-run: {held / 2:.1f} frames a second; "
              f"after a 0.5 s stop of intro: {recovered / 2:.1f}")
        if held < MIN_RATE_SHARE * 50:
            problems.append(f"server stopped mid-run: {held / 2:.1f} frames a second")
        if recovered < 0.95 * 50:
            problems.append(f"1 s after a 0.5 s stop: {recovered / 2:.1f} frames a second")
    else:
        problems.append("no dialogue within 10 s")
    intro_run.stop_within(run, EXIT_TIMEOUT)
    return problems


def server_dies(program, module, daemon, folder):
    """The server killed mid-run: the frames keep their rate and the music
    takes no processor time looking for it. Returns problems."""
    os.makedirs(folder)
    shutil.copy(module, os.path.join(folder, "blumot.mod"))
    run = intro_run.Run(program, WIDTH, HEIGHT, 25, cwd=folder)
    if not intro_run.dialogue_within(run, 10):
        intro_run.stop_within(run, EXIT_TIMEOUT)
        return ["server killed: no dialogue within 10 s"]
    intro_run.frames_within(run, 1.0)
    end(daemon, signal.SIGKILL)
    intro_run.frames_within(run, 0.5)
    before = intro_run.cpu_seconds(run.pid)
    frames = intro_run.frames_within(run, 2.0)
    share = (intro_run.cpu_seconds(run.pid) - before) / 2.0
    taken, status = intro_run.stop_within(run, EXIT_TIMEOUT)
    print(f"server killed mid-run: {frames / 2:.1f} frames a second, {share:.1%} of a core")
    problems = []
    if frames < MIN_RATE_SHARE * 50 or share > 0.05:
        problems.append(f"server killed: {frames / 2:.1f} frames a second, {share:.1%} of a core")
    if taken is None or status != -signal.SIGINT:
        problems.append("server killed: not ended by SIGINT")
    return problems


def interrupt_in_dialogue(program, folder):
    os.makedirs(folder)
    process = intro_run.start_unanswered(program, cwd=folder)
    time.sleep(1.0)
    process.send_signal(signal.SIGINT)
    try:
        process.wait(timeout=EXIT_TIMEOUT)
    except subprocess.TimeoutExpired:
        end(process, signal.SIGKILL)
        return ["dialogue: still running after SIGINT"]
    return [] if process.returncode == -signal.SIGINT else ["dialogue: not ended by SIGINT"]


def check(program, module, render, work):
    os.environ.update(pulse_client_environment(work, os.path.join(work, "home"),
                                               os.path.join("pulse", "native")))
    render_path = os.path.join(work, "render.wav")
    subprocess.run([render, module, str(SECONDS), render_path], check=True)
    daemon = start_daemon(os.environ, os.path.join(work, "daemon.log"), SINK, RATE, CHANNELS)
    verdicts, problems = [], []
    try:
        loops = busy_loops()
        try:
            for fps in RATES:
                control_gaps = control(render_path, os.environ)
                for number in range(RUNS_PER_RATE):
                    folder = os.path.join(work, f"fps{fps}", f"run{number}")
                    verdict, figures = dropout_run(program, module, control_gaps, fps, folder)
                    print(f"{verdict}: {figures}")
                    verdicts.append(verdict)
        finally:
            for loop in loops:
                end(loop, signal.SIGKILL)
        problems += stalled(program, module, render_path, os.path.join(work, "stalled"))
        # Last, as a stop leaves the server's timing disturbed.
        problems += interrupt_in_dialogue(program, os.path.join(work, "dialogue"))
        problems += stopped_server(program, module, daemon, os.path.join(work, "stopped"))
        problems += server_dies(program, module, daemon, os.path.join(work, "killed"))
    finally:
        end(daemon)
    return verdicts, problems


def main(args, work):
    check_main.need(("pulseaudio", "pactl", "parecord", "paplay"),
                    "pulseaudio, pulseaudio-utils")
    verdicts, problems = check(args.program, args.module, args.render, work)
    if "fail" in verdicts:
        problems.append("a run under load failed (above)")
    if not problems and "inconclusive" in verdicts:
        raise check_main.Skipped("inconclusive, the control dropped out (skipped)")
    return problems


if __name__ == "__main__":
    check_main.run(__doc__, main, {"program": None, "module": None, "render": None},
                   "pulseaudio check")
