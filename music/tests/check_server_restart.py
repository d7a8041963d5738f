#!/usr/bin/env python3
"""Plays `intro` through a sound server of the test's own, restarts the
server mid-run, and checks that the music comes back.

- pipewire: a session bus, pipewire, wireplumber and pipewire-pulse (the
  PulseAudio protocol server of PipeWire), with a null sink recorded by
  pw-record; pipewire-pulse is killed by its pid mid-run and started again
  (as a crash, a restart of the user's service, or a Bluetooth switch
  does), while the sink and its recording go on.
- pulseaudio: a PulseAudio daemon with a null sink whose monitor parecord
  records as it comes; the daemon is killed and started again, and
  recorded again. The time the music takes to come back is taken from
  the arrival of its first sound on the monitor, less the time paplay's
  first sound takes to arrive there (the monitor's own delay).
- late_pulseaudio: no server and no ALSA device at the start, then such a
  daemon started 4 s into the frames where intro's client looks: the
  music is on its monitor within 3 s, measured the same way; intro's two
  lines of a sound start that failed may stand on standard error.

After a restart, the music has played with no silent 20 ms before it, is
back within 3 s of the server answering again, and plays on with no silent
20 ms. Each way, the frames keep their rate all along, standard error
stays empty, and Ctrl-c ends the program within a second.

Exits 77 (skipped) when the server's programs are not installed, except
under CI, where that is a failure.

Usage: check_server_restart.py --server pipewire|pulseaudio|late_pulseaudio
                               --program PATH --module PATH
"""

import array
import math
import os
import signal
import subprocess
import sys
import time
import wave

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tests", "support"))
sys.path.insert(0, HERE)
import check_main  # noqa: E402
import intro_run  # noqa: E402
import pipewire_server  # noqa: E402
from pulse_client import end, monitor_recording, pulse_client_environment, start_daemon  # noqa: E402,E501

RATE = 44100
CHANNELS = 2
SINK = "intro_check"
BEFORE = 5.0          # seconds of frames before the restart
AFTER = 7.0           # and after it
BACK_WITHIN = 3.0     # seconds from the server answering again to the music
LATE = 4.0            # seconds of frames before a server first answers
NO_SOUND = b"Could not initialize sound\nReason: Sound device not detected\n"
WINDOW = RATE // 50   # 20 ms of sample frames


def sound_stretches(samples):
    """The stretches of sound as (first, last) sample frames, split where
    more than 20 ms pass without a sample that is not zero."""
    stretches = []
    for i in range(len(samples) // CHANNELS):
        if samples[CHANNELS * i] or samples[CHANNELS * i + 1]:
            if stretches and i - stretches[-1][1] <= WINDOW:
                stretches[-1][1] = i
            else:
                stretches.append([i, i])
    return stretches


def wav_samples(path):
    with wave.open(path, "rb") as recording:
        samples = array.array("h", recording.readframes(recording.getnframes()))
    if sys.byteorder != "little":
        samples.byteswap()
    return samples


def describe(stretches):
    return ", ".join(f"{first / RATE:.2f}-{last / RATE:.2f} s" for first, last in stretches[:8])


def check_pipewire(program, module, work):
    server = pipewire_server.PipeWire(os.path.join(work, "server"), SINK, RATE, CHANNELS)
    problems = []
    try:
        os.environ.clear()
        os.environ.update(server.env)
        path = os.path.join(work, "recording.wav")
        recorder = server.record(path, RATE, CHANNELS)
        try:
            time.sleep(0.5)
            started = time.monotonic()
            player = intro_run.Player(program, module, os.path.join(work, "intro"))
            player.frames(BEFORE, "before the restart")
            killed = time.monotonic()
            server.kill_pulse()
            server.start_pulse()
            ready = time.monotonic()
            player.frames(AFTER, "after the restart")
            problems += player.finish()
            time.sleep(0.3)
        finally:
            end(recorder, signal.SIGINT)
    finally:
        server.stop()
    restart = ready - killed
    stretches = sound_stretches(wav_samples(path))
    print(f"pipewire-pulse restarted in {restart:.2f} s; sound at {describe(stretches)} "
          f"of the recording (intro started {killed - started:.2f} s before the kill)")
    if not stretches:
        return problems + ["the recording is silent"]
    # The one gap allowed is the restart's: the first stretch ends when
    # pipewire-pulse goes, the second begins when the music is back.
    if len(stretches) == 1:
        return problems + ["the music stopped at the restart and never came back"
                           if stretches[0][1] / RATE < BEFORE + AFTER - 2 else
                           "the restart left no gap: was the server restarted?"]
    gap = (stretches[1][0] - stretches[0][1]) / RATE
    back = gap - restart
    print(f"pipewire: silent {gap:.2f} s across the restart, back {back:.2f} s after the "
          "server answered")
    if back > BACK_WITHIN:
        problems.append(f"the music was back {back:.2f} s after the server answered again")
    if len(stretches) > 2:
        problems.append(f"{len(stretches) - 2} more silent stretches: {describe(stretches)}")
    if (stretches[0][1] - stretches[0][0]) / RATE < BEFORE - 1.5:
        problems.append(f"before the restart only {describe(stretches[:1])} of sound")
    return problems


def tone(path, seconds=1.0, frequency=440):
    """A WAV file of a sine tone."""
    frames = int(RATE * seconds)
    samples = array.array("h", (int(8000 * math.sin(2 * math.pi * frequency * i / RATE))
                                for i in range(frames) for _ in range(CHANNELS)))
    if sys.byteorder != "little":
        samples.byteswap()
    with wave.open(path, "wb") as out:
        out.setnchannels(CHANNELS)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(samples.tobytes())


def sound_delay(path):
    """Seconds from the start of paplay to its first sound on the monitor:
    the delay the measurement itself adds to the return of the music."""
    recording = monitor_recording(os.environ, SINK)
    try:
        time.sleep(0.5)
        started = time.monotonic()
        subprocess.run(["paplay", f"--device={SINK}", path], timeout=30,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(0.3)
    finally:
        recording.stop()
    came = recording.first_sound()
    if came is None:
        raise RuntimeError("paplay's tone never reached the monitor")
    return came - started


def check_pulseaudio(program, module, work):
    os.environ.update(pulse_client_environment(work, os.path.join(work, "home"),
                                               os.path.join("pulse", "native")))
    log = os.path.join(work, "daemon.log")
    daemon = start_daemon(os.environ, log, SINK, RATE, CHANNELS)
    tone_path = os.path.join(work, "tone.wav")
    tone(tone_path)
    problems, recordings = [], []
    try:
        delay = sound_delay(tone_path)
        recordings.append(monitor_recording(os.environ, SINK))
        time.sleep(0.5)
        player = intro_run.Player(program, module, os.path.join(work, "intro"))
        player.frames(BEFORE, "before the restart")
        killed = time.monotonic()
        end(daemon, signal.SIGKILL)
        recordings[0].stop()
        daemon = start_daemon(os.environ, log, SINK, RATE, CHANNELS)
        ready = time.monotonic()
        recordings.append(monitor_recording(os.environ, SINK))
        player.frames(AFTER, "after the restart")
        problems += player.finish()
        time.sleep(0.3)
    finally:
        for recording in recordings:
            recording.stop()
        end(daemon)
    before = sound_stretches(recordings[0].samples())
    after = sound_stretches(recordings[-1].samples()) if len(recordings) == 2 else []
    print(f"pulseaudio restarted in {ready - killed:.2f} s; sound before: {describe(before)}; "
          f"after: {describe(after)} (times within the sound the monitor sent)")
    if len(before) != 1:
        problems.append(f"before the restart: sound at {describe(before)}")
    came = recordings[-1].first_sound() if len(recordings) == 2 else None
    if came is None:
        return problems + [f"the music did not come back within {AFTER:.0f} s of the restart"]
    back = came - ready - delay
    print(f"pulseaudio: back {back:.2f} s after the server answered ({came - ready:.2f} s "
          f"less the {delay:.2f} s a paplay's first sound takes to reach the monitor)")
    if back > BACK_WITHIN:
        problems.append(f"the music was back {back:.2f} s after the server answered again")
    if len(after) > 1:
        problems.append(f"after the restart: sound at {describe(after)}")
    return problems


def check_late_pulseaudio(program, module, work):
    """No server and no ALSA device at the start; a PulseAudio daemon
    started LATE seconds into the frames."""
    home = os.path.join(work, "home")
    os.environ.update(pulse_client_environment(work, home, os.path.join("pulse", "native")))
    with open(os.path.join(home, ".asoundrc"), "w") as conf:
        conf.write("pcm.!default { type hw card 7 device 3 }\nctl.!default { type hw card 7 }\n")
    tone_path = os.path.join(work, "tone.wav")
    tone(tone_path)
    player = intro_run.Player(program, module, os.path.join(work, "intro"))
    player.frames(LATE, "before the server")
    daemon = start_daemon(os.environ, os.path.join(work, "daemon.log"), SINK, RATE, CHANNELS)
    try:
        ready = time.monotonic()
        recording = monitor_recording(os.environ, SINK)
        player.frames(AFTER, "after the server started")
        problems = player.finish(allowed=NO_SOUND)
        recording.stop()
        delay = sound_delay(tone_path)
    finally:
        end(daemon)
    came = recording.first_sound()
    if came is None:
        return problems + [f"no music within {AFTER:.0f} s of the server's start"]
    back = came - ready - delay
    print(f"late pulseaudio: music {back:.2f} s after the server answered ({came - ready:.2f} s "
          f"less the {delay:.2f} s of paplay's first sound)")
    return problems + ([f"the music came {back:.2f} s after the server answered"]
                       if back > BACK_WITHIN else [])


SERVERS = {
    "pipewire": (check_pipewire, pipewire_server.TOOLS, pipewire_server.PACKAGES),
    "pulseaudio": (check_pulseaudio, ("pulseaudio", "pactl", "parecord", "paplay"),
                   "pulseaudio pulseaudio-utils"),
}
SERVERS["late_pulseaudio"] = (check_late_pulseaudio, *SERVERS["pulseaudio"][1:])


def check(args, work):
    check_server, tools, packages = SERVERS[args.server]
    check_main.need(tools, packages)
    return check_server(args.program, args.module, work)


if __name__ == "__main__":
    check_main.run(__doc__, check, {"server": {"choices": sorted(SERVERS), "required": True},
                                    "program": None, "module": None}, "sound server, {server}")
