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

Usage: check_alsa_alone.py --program PATH --module PATH
"""

import array
import os
import shutil
import signal
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..",
                                "tests", "support"))
import check_main  # noqa: E402
import intro_run  # noqa: E402
from pulse_client import pulse_client_environment  # noqa: E402

BYTES_PER_SECOND = 44100 * 4
WIDTH, HEIGHT, FPS = 80, 25, 25
SETTLE = 3.0          # seconds of frames before the rate is taken: a deep buffer fills first
MEASURE = 4.0         # seconds over which the rate is taken
MIN_SHARE, MAX_SHARE = 0.95, 2.0   # of the real rate
MIN_RATE_SHARE = 0.8
EXIT_TIMEOUT = 1.0


def asoundrc(path, stream):
    with open(path, "w") as conf:
        conf.write(f"""pcm.!default {{
  type file
  slave.pcm "null"
  file "{stream}"
  format "raw"
}}
""")


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


def check(program, module, work):
    home = os.path.join(work, "home")
    # No sound server to be found, no autospawn.
    os.environ.update(pulse_client_environment(work, home, "no-server"))
    for name in ("SDL_AUDIODRIVER", "AUDIODEV", "ALSA_CONFIG_PATH"):
        os.environ.pop(name, None)
    stream = os.path.join(work, "stream.raw")
    asoundrc(os.path.join(home, ".asoundrc"), stream)
    folder = os.path.join(work, "run")
    os.makedirs(folder)
    shutil.copy(module, os.path.join(folder, "blumot.mod"))
    problems = []
    with open(os.path.join(work, "stderr"), "wb+") as errors:
        run = intro_run.Run(program, WIDTH, HEIGHT, FPS, cwd=folder, stderr=errors)
        if not intro_run.dialogue_within(run, 10):
            intro_run.stop_within(run, EXIT_TIMEOUT)
            return ["no dialogue within 10 s"]
        began = time.monotonic()
        settled = watch(run, stream, SETTLE, began)
        first, measuring = size(stream), time.monotonic()
        measured = watch(run, stream, MEASURE, began) if settled is not None else None
        now, last = time.monotonic(), size(stream)
        elapsed, measure = now - began, now - measuring
        taken, status = intro_run.stop_within(run, EXIT_TIMEOUT)
        errors.seek(0)
        text = errors.read()
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
    if taken is None or status != -signal.SIGINT:
        problems.append(f"not ended by SIGINT within {EXIT_TIMEOUT} s ({status})")
    if text:
        problems.append(f"standard error: {text[:300]!r}")
    return problems


if __name__ == "__main__":
    check_main.run(__doc__, lambda args, work: check(args.program, args.module, work),
                   {"program": None, "module": None}, "ALSA alone")
