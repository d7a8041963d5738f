#!/usr/bin/env python3
"""Plays `intro` on a machine with ALSA and no sound server: the default
device of a ~/.asoundrc of the test's own (its home a folder of its own)
is ALSA's `file` plugin over its `null` device, which writes the stream to
a file and never blocks.

The music arrives in that file, at no less than the real rate (44100
sample frames of 4 bytes a second) and not many times faster either: on a
device that does not block, the clock paces the music. The frames keep
their rate, standard error stays empty, and Ctrl-c ends the program within
a second.

Cases (--case): plays, the above; device_returns, the default device a
`file` plugin on a FIFO whose reader goes away for 2 s and comes back
(ALSA's writes fail, and SIGPIPE comes): intro lives on and the music is
in the FIFO again within 3 s of the reader's return; module_returns, a
short module of the test's own replaced by a cut one that does not load
before its song ends, and put back 3 s later: the music is back within
5 s.

Usage: check_alsa_alone.py --program PATH --module PATH [--case CASE]
"""

import array
import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..",
                                "tests", "support"))
import check_main  # noqa: E402
import intro_run  # noqa: E402
from pulse_client import TimedOutput, pulse_client_environment  # noqa: E402

BYTES_PER_SECOND = 44100 * 4
FPS = 25
SETTLE = 3.0          # seconds of frames before the rate is taken: a deep buffer fills first
MEASURE = 4.0         # seconds over which the rate is taken
MIN_SHARE, MAX_SHARE = 0.95, 2.0   # of the real rate
MIN_RATE_SHARE = 0.8
DEVICE_BACK = 3.0     # seconds from the device's return to the music
MODULE_BACK = 5.0     # and from the module's


ASOUNDRC = """pcm.!default {{
  type file
  slave.pcm "null"
  file "{}"
  format "raw"
}}
"""


def size(path):
    try:
        return os.path.getsize(path)
    except FileNotFoundError:
        return 0


def watch(run, stream, seconds, began):
    """Frames read within `seconds`, or None when the stream outgrows by far
    what the music could have played since `began`: then the watch stops
    at once, so that a mixer that runs free does not fill the disk."""
    frames, end = 0, time.monotonic() + seconds
    while (left := end - time.monotonic()) > 0:
        frames += intro_run.frames_within(run, min(0.25, left))
        if size(stream) > (time.monotonic() - began + 10) * BYTES_PER_SECOND * MAX_SHARE:
            return None
    return frames


def sound_in(path):
    samples = array.array("h")
    with open(path, "rb") as stream:
        data = stream.read(BYTES_PER_SECOND * 4)
    samples.frombytes(data[:len(data) // 2 * 2])
    return sum(1 for sample in samples if sample)


def short_module():
    """A ProTracker module of 1.92 s: a looped tone from its first row, a
    pattern break after row 15 at speed 6."""
    module = bytearray(1084 + 1024 + 2000)
    module[42:50] = bytes((1000 >> 8, 1000 & 0xff, 0, 64, 0, 0, 1000 >> 8, 1000 & 0xff))
    module[950:952] = bytes((1, 127))  # one position
    module[1080:1088] = b"M.K." + bytes((428 >> 8, 428 & 0xff, 0x1f, 6))  # sample 1, speed 6
    module[1084 + 15 * 16 + 2] = 0x0d
    module[2108:] = bytes(60 if i % 40 < 20 else 196 for i in range(2000))
    return bytes(module)


def replace(path, data):
    with open(path + ".new", "wb") as out:
        out.write(data)
    os.replace(path + ".new", path)


def check_plays(program, module, work, stream):
    player = intro_run.Player(program, module, os.path.join(work, "run"))
    run = player.run
    began = time.monotonic()
    settled = watch(run, stream, SETTLE, began)
    first, measuring = size(stream), time.monotonic()
    measured = watch(run, stream, MEASURE, began) if settled is not None else None
    now, last = time.monotonic(), size(stream)
    elapsed, measure = now - began, now - measuring
    problems = player.finish()
    if measured is None:
        problems.append(f"the music ran free: {last} bytes within {elapsed:.2f} s, "
                        f"{last / elapsed / BYTES_PER_SECOND:.0f} times the real rate")
    else:
        share = (last - first) / measure / BYTES_PER_SECOND
        frame_rate = (settled + measured) / elapsed
        print(f"ALSA alone: {first} bytes after {SETTLE:.0f} s of frames, then "
              f"{(last - first) / measure:.0f} bytes a second, {share:.2f} of the real rate; "
              f"{frame_rate:.1f} frames a second")
        if last == 0:
            problems.append("nothing reached the default device")
        elif not sound_in(stream):
            problems.append("only silence reached the default device")
        elif share < MIN_SHARE:
            problems.append(f"the music reached the device at {share:.2f} of the real rate")
        elif share > MAX_SHARE:
            problems.append(f"the music was mixed at {share:.2f} times the real rate")
        if frame_rate < MIN_RATE_SHARE * FPS:
            problems.append(f"{frame_rate:.1f} frames a second")
    return problems


def check_device_returns(program, module, work, fifo):
    """The device's FIFO loses its reader (writes fail, SIGPIPE comes) and
    gets one again."""
    readers = [TimedOutput(["cat", fifo])]
    try:
        player = intro_run.Player(program, module, os.path.join(work, "run"))
        player.frames(3.0, "before the device failed")
        readers[0].stop()
        player.frames(2.0, "while the device failed")
        readers.append(TimedOutput(["cat", fifo]))
        returned = time.monotonic()
        player.frames(DEVICE_BACK + 2, "after the device came back")
        problems = player.finish()
    finally:
        for reader in readers:
            reader.stop()
    if readers[0].first_sound() is None:
        problems.append("no music before the device failed")
    return problems + back("device", readers[-1].first_sound(), returned, DEVICE_BACK)


def check_module_returns(program, module, work, fifo):
    """The module replaced by a file that does not load before the song
    ends, and put back."""
    short = os.path.join(work, "short.mod")
    replace(short, short_module())
    reader = TimedOutput(["cat", fifo])
    try:
        player = intro_run.Player(program, short, os.path.join(work, "run"))
        player.frames(0.5, "before the module went")
        gone = time.monotonic()
        replace(os.path.join(player.folder, "blumot.mod"), short_module()[:600])
        player.frames(3.0, "while the module did not load")
        replace(os.path.join(player.folder, "blumot.mod"), short_module())
        returned = time.monotonic()
        player.frames(MODULE_BACK + 1, "after the module came back")
        problems = player.finish()
    finally:
        reader.stop()
    if (reader.first_sound() or gone) >= gone:
        problems.append("no music before the module went")
    return problems + back("module", reader.first_sound(returned), returned, MODULE_BACK)


def back(what, came, returned, within):
    if came is None:
        return [f"no music within {within + 1:.0f} s of the {what}'s return"]
    print(f"ALSA alone: the music back {came - returned:.2f} s after the {what}'s return")
    return [] if came - returned <= within else [
        f"the music was back {came - returned:.2f} s after the {what}'s return"]


CASES = {"plays": check_plays, "device_returns": check_device_returns,
         "module_returns": check_module_returns}


def check(args, work):
    home = os.path.join(work, "home")
    # No sound server to be found, no autospawn.
    os.environ.update(pulse_client_environment(work, home, "no-server"))
    for name in ("SDL_AUDIODRIVER", "AUDIODEV", "ALSA_CONFIG_PATH"):
        os.environ.pop(name, None)
    # The default device writes to a file, or for a returning case to a FIFO.
    stream = os.path.join(work, "stream.raw" if args.case == "plays" else "stream.fifo")
    if args.case != "plays":
        os.mkfifo(stream)
    with open(os.path.join(home, ".asoundrc"), "w") as conf:
        conf.write(ASOUNDRC.format(stream))
    return CASES[args.case](args.program, args.module, work, stream)


if __name__ == "__main__":
    check_main.run(__doc__, check, {"program": None, "module": None, "case": {
        "choices": sorted(CASES), "default": "plays"}}, "ALSA alone")
