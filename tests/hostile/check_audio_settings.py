#!/usr/bin/env python3
"""`intro` under whatever sound settings a user's environment names, on a
machine where no sound server answers and no sound device opens.

- sdl: SDL_AUDIODRIVER set to each of pulseaudio, pulse, pipewire, jack,
  dsp, disk, dummy and a typo (a session may set it for every program), and
  AUDIODEV naming a device that is not there.
- servers_alsa: PULSE_SERVER naming a socket where nothing listens, and
  one whose server takes the connection but never answers, alone and with
  SDL_AUDIODRIVER=pulseaudio (watched for minutes: time-outs add up); and
  an ALSA configuration (ALSA_CONFIG_PATH, a ~/.asoundrc) whose default
  device is broken.
- stderr_full: standard error on a full pipe that nobody reads until the
  frames have begun: then nothing of the music may come on it.

In every setting the banner and the frames come at their rate, Ctrl-c ends
the program within a second, standard error holds at most intro's own
lines (nothing of a library, also where unshare(2) is refused, as in a
container), nothing grows in the current folder, and nothing is mixed for
nobody: the threads besides the main one take next to no processor time
and run a few times a second at most while the frames run. The processor
time of each run is printed beside intro-silent's.

Usage: check_audio_settings.py --program INTRO --silent INTRO-SILENT
                               --module PATH --case CASE
"""

import fcntl
import os
import platform
import select
import shutil
import signal
import socket
import subprocess
import sys
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "support"))
sys.path.insert(0, HERE)
import check_main  # noqa: E402
import intro_run  # noqa: E402
from check_hostile import refuse_unshare  # noqa: E402
from pulse_client import pulse_client_environment  # noqa: E402

WIDTH, HEIGHT, FPS = 80, 25, 25
SECONDS = 3.0             # of frames watched in each run
LONG_SECONDS = 160.0      # where a library's time-outs add up to minutes
DIALOGUE_WITHIN = 5.0     # seconds from the start to the end of the dialogue
EXIT_WITHIN = 1.0         # seconds from SIGINT to the end
MIN_RATE_SHARE = 0.8      # share of the frame rate that must be reached
# Processor time the threads besides the main one may take while the frames
# run, as a share of a core: a connection tried now and then costs well
# under a thousandth; mixing a second of music into nothing costs several
# hundredths.
MAX_SIDE_SHARE = 0.005
# And the times they may run a second: a try every second or so is a few,
# a mixer fed for nobody runs with every buffer it fills, ninety and more
# (whatever the speed of the processor).
MAX_SIDE_RUNS = 10
OWN_LINES = ("Could not initialize sound", "Reason: ")


def own_lines(lines):
    """intro's own report of a sound start that failed, or nothing."""
    return lines == [] or (len(lines) == 2 and lines[0] == OWN_LINES[0]
                           and lines[1].startswith(OWN_LINES[1]))


def thread_times(pid):
    """Processor seconds and times switched in, of each thread by its id."""
    times = {}
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/schedstat") as stat:
                fields = stat.read().split()
        except (FileNotFoundError, ProcessLookupError):
            continue  # a thread that ended meanwhile
        times[int(task)] = (int(fields[0]) / 1e9, int(fields[2]))
    return times


def thread_use(pid, before, after):
    """From two thread_times: the main thread's processor seconds, and the
    other threads' processor seconds and runs, over the time between. A
    thread that ended between them is not counted; one that began counts
    from its start."""
    main = others = 0.0
    runs = 0
    for task, (seconds, switched) in after.items():
        seconds_before, switched_before = before.get(task, (0.0, 0))
        if task == pid:
            main += seconds - seconds_before
        else:
            others += seconds - seconds_before
            runs += switched - switched_before
    return main, others, runs


class Silent:
    """A unix socket that takes connections and never answers them."""

    def __init__(self, path):
        self.listener = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.listener.bind(path)
        self.listener.listen(64)
        self.path = path

    def close(self):
        self.listener.close()


def play(program, env, folder, module, stderr=None, seconds=SECONDS, began=None):
    """Runs the program in `folder` with `env`, answers for 80x25 at 25 fps,
    calls `began`, if given, after half a second of frames, and watches
    `seconds` of frames. Returns (problems, figures)."""
    os.makedirs(folder)
    if module:
        shutil.copy(module, os.path.join(folder, "blumot.mod"))
    errors_path = os.path.join(folder, "..", os.path.basename(folder) + ".stderr")
    also = refuse_unshare if platform.machine() == "x86_64" else None
    owned = stderr is None
    if owned:
        stderr = open(errors_path, "wb")
    run = intro_run.Run(program, WIDTH, HEIGHT, FPS, cwd=folder, stderr=stderr, env=env,
                        also=also)
    process = run.process
    if owned:
        stderr.close()
    problems, figures = [], ""
    if not intro_run.dialogue_within(run, DIALOGUE_WITHIN):
        status = process.poll()
        problems.append(f"no dialogue within {DIALOGUE_WITHIN} s" if status is None
                        else f"ended with status {status} before its frames")
    else:
        intro_run.frames_within(run, 0.5)
        if began is not None:
            began()
        before = thread_times(process.pid)
        frames = intro_run.frames_within(run, seconds)
        try:  # the output ends a little before the program does
            status = process.wait(timeout=0.5)
        except subprocess.TimeoutExpired:
            status = None
        if status is not None:
            problems.append(f"ended with status {status} during the frames")
        else:
            main, others, runs = thread_use(process.pid, before, thread_times(process.pid))
            side, wakes = others / seconds, runs / seconds
            figures = (f"{frames / seconds:.1f} fps, main thread {main / seconds:.2%} of a core, "
                       f"other threads {side:.2%} and {wakes:.1f} runs a second")
            if frames < MIN_RATE_SHARE * FPS * seconds:
                problems.append(f"{frames / seconds:.1f} frames a second")
            if side > MAX_SIDE_SHARE or wakes > MAX_SIDE_RUNS:
                problems.append(f"the threads besides the main one take {side:.2%} of a core "
                                f"and run {wakes:.0f} times a second with nobody to hear the "
                                "music")
    taken, status = intro_run.stop_within(run, EXIT_WITHIN)
    if taken is None:
        problems.append(f"still running {EXIT_WITHIN} s after SIGINT")
    elif status not in (-signal.SIGINT,) and not problems:
        problems.append(f"ended by SIGINT with status {status}")
    left = {name: os.path.getsize(os.path.join(folder, name))
            for name in os.listdir(folder) if name != "blumot.mod"}
    if left:
        problems.append(f"left in the current folder: {left}")
    if owned:
        with open(errors_path, "rb") as text:
            lines = text.read().decode(errors="replace").splitlines()
        if not own_lines(lines):
            problems.append(f"standard error holds {lines[:6]!r}")
    return problems, figures


def base_environment(root):
    """No sound server to be found, no session bus, no display."""
    env = pulse_client_environment(root, os.path.join(root, "home"), "no-server")
    for name in ("SDL_AUDIODRIVER", "AUDIODEV", "ALSA_CONFIG_PATH", "ALSA_CARD",
                 "ALSA_PCM_CARD", "JACK_DEFAULT_SERVER", "WAYLAND_DISPLAY"):
        env.pop(name, None)
    return env


def settings_sdl(root):
    drivers = ("pulseaudio", "pulse", "pipewire", "jack", "dsp", "disk", "dummy", "pulsaudio")
    for driver in drivers:
        yield f"SDL_AUDIODRIVER={driver}", {"SDL_AUDIODRIVER": driver}, SECONDS
    yield ("SDL_AUDIODRIVER=dsp AUDIODEV=/dev/null",
           {"SDL_AUDIODRIVER": "dsp", "AUDIODEV": "/dev/null"}, SECONDS)


def settings_servers(root):
    silent = os.path.join(root, "silent-server")
    yield "PULSE_SERVER naming no socket", {"PULSE_SERVER": "unix:" + root + "/nothing"}, SECONDS
    yield "PULSE_SERVER that never answers", {"PULSE_SERVER": "unix:" + silent}, SECONDS
    # The sound libraries give up on such a server only after minutes.
    yield ("PULSE_SERVER that never answers, SDL_AUDIODRIVER=pulseaudio",
           {"PULSE_SERVER": "unix:" + silent, "SDL_AUDIODRIVER": "pulseaudio"}, LONG_SECONDS)


def settings_alsa(root):
    broken = os.path.join(root, "broken.conf")
    with open(broken, "w") as conf:
        conf.write("pcm.!default { type hw card 7 device 3 }\nctl.!default { type hw card 7 }\n")
    garbled = os.path.join(root, "garbled.conf")
    with open(garbled, "w") as conf:
        conf.write("pcm.!default { type plug slave.pcm \n")
    yield "ALSA_CONFIG_PATH with a default on no card", {"ALSA_CONFIG_PATH": broken}, SECONDS
    yield "ALSA_CONFIG_PATH that does not parse", {"ALSA_CONFIG_PATH": garbled}, SECONDS
    yield "ALSA_CONFIG_PATH naming no file", {"ALSA_CONFIG_PATH": root + "/no.conf"}, SECONDS
    yield "~/.asoundrc with a default on no card", {"ASOUNDRC": broken}, SECONDS
    yield ("~/.asoundrc with a default on no card, SDL_AUDIODRIVER=alsa",
           {"ASOUNDRC": broken, "SDL_AUDIODRIVER": "alsa"}, SECONDS)


def with_asoundrc(env, path):
    home = env["HOME"]
    target = os.path.join(home, ".asoundrc")
    if os.path.exists(target):
        os.remove(target)
    if path:
        shutil.copy(path, target)


def check_settings(program, silent, module, root, settings):
    env0 = base_environment(root)
    server = Silent(os.path.join(root, "silent-server"))
    problems = []
    try:
        reference, figures = play(silent, env0, os.path.join(root, "silent"), None)
        print(f"intro-silent: {figures}")
        problems += [f"intro-silent: {problem}" for problem in reference]
        for number, (what, changes, seconds) in enumerate(settings(root)):
            env = dict(env0)
            with_asoundrc(env, changes.pop("ASOUNDRC", None))
            env.update(changes)
            found, figures = play(program, env, os.path.join(root, f"run{number}"), module,
                                  seconds=seconds)
            print(f"{'FAIL' if found else 'ok  '} {what}: {figures}")
            problems += [f"{what}: {problem}" for problem in found]
            with_asoundrc(env, None)
    finally:
        server.close()
    return problems


def read_for(fd, seconds, seen):
    os.set_blocking(fd, False)
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        select.select([fd], [], [], 0.1)
        try:
            seen += os.read(fd, 1 << 16)
        except BlockingIOError:
            pass


def check_stderr_full(program, silent, module, root):
    """Standard error is a pipe whose reader does not read and that is full
    before the start: the banner and the frames come all the same. Once the
    frames have begun, the reader drains the pipe and reads on for a while:
    nothing but its own filler may come."""
    env = base_environment(root)
    problems = []
    for name, path, copy in (("intro-silent", silent, None), ("intro", program, module)):
        reader, writer = os.pipe()
        fcntl.fcntl(writer, fcntl.F_SETFL, fcntl.fcntl(writer, fcntl.F_GETFL) | os.O_NONBLOCK)
        try:
            while True:
                os.write(writer, b"x" * 65536)
        except BlockingIOError:
            pass
        fcntl.fcntl(writer, fcntl.F_SETFL, fcntl.fcntl(writer, fcntl.F_GETFL) & ~os.O_NONBLOCK)
        seen = bytearray()
        drain = threading.Thread(target=read_for, args=(reader, 1.5, seen))
        found, figures = play(path, env, os.path.join(root, name), copy, stderr=writer,
                              began=drain.start)
        drain.join()
        os.close(writer)
        os.close(reader)
        if seen.replace(b"x", b""):
            found.append(f"after the first frame: {bytes(seen.replace(b'x', b''))[:200]!r}")
        print(f"{'FAIL' if found else 'ok  '} {name}, standard error full: {figures}")
        problems += [f"{name}, standard error full: {problem}" for problem in found]
    return problems


def settings_servers_alsa(root):
    yield from settings_servers(root)
    yield from settings_alsa(root)


CASES = {
    "sdl": lambda *a: check_settings(*a, settings_sdl),
    "servers_alsa": lambda *a: check_settings(*a, settings_servers_alsa),
    "stderr_full": check_stderr_full,
}


def check(args, work):
    if os.path.isdir("/dev/snd") and any(name.startswith("pcm") for name in os.listdir("/dev/snd")):
        raise check_main.Skipped("this machine has a sound device: the settings need one without")
    return CASES[args.case](args.program, args.silent, args.module, work)


if __name__ == "__main__":
    check_main.run(__doc__, check, {"program": None, "silent": None, "module": None,
                                    "case": {"choices": sorted(CASES), "required": True}},
                   "audio settings, {case}")
