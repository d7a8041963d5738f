#!/usr/bin/env python3
"""The intro in hostile surroundings, one group of cases per fault.

- output: the output goes away (/dev/full, a closed pipe with SIGPIPE
  ignored, a hung-up terminal with SIGHUP ignored) or a standard descriptor
  is closed at start. The program must end within 1 s with status 1 and its
  one line on standard error, and no library may take a closed descriptor.
- nonblocking: a non-blocking pipe with a slow reader gets only whole
  frames at 320x100.
- memory: a screen that cannot be allocated under ulimit -v gives its
  message and status 1, where a small one still runs.
- endless_answer: an answer line that never ends (/dev/zero, endless
  digits) ends the dialogue within 1 s with status 1.
- thread_limit: no thread can be made (RLIMIT_NPROC 1 for an unprivileged
  user), or the address space leaves no room for one (ulimit -v): intro
  says in one line that its music cannot start, then runs in silence. The
  program runs from a copy that user can reach, wherever the build is.
- small_stack: a stack limit of 24 KiB (ulimit -s), and of 20 KiB with a
  sound server playing the music when PulseAudio is installed.
- memory_with_server: intro under address-space limits (ulimit -v) from the
  smallest that shows the dialogue to a generous one, with a PulseAudio
  server of its own: at each, the music plays or intro says why not, the
  frames run, and Ctrl-c ends it.
- no_sound: no sound device and no sound server: standard error holds
  intro's own two lines and nothing of the sound libraries', also where
  unshare(2) is refused (as in a container) and where the sound server's
  client configuration does not parse, and once the frames run the
  program has no thread but its main one: nothing mixes.
- nonblocking_input: a terminal left non-blocking, the answers typed after
  the start: the dialogue waits for them.

Programs run in a folder of their own with no sound server to be found;
`--module` names the module of a program that plays music.

Usage: check_hostile.py --program PATH --case CASE [--module PATH] [--sanitized]
"""

import contextlib
import ctypes
import fcntl
import os
import platform
import pty
import re
import resource
import select
import shutil
import signal
import stat
import struct
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import check_main  # noqa: E402
import intro_run  # noqa: E402
from pulse_client import end, pulse_client_environment, start_daemon  # noqa: E402

start = intro_run.start_hostile

QUICK = 1.0  # seconds: the fault is noticed at once
SCREEN_MENU_END = b"[5] other resolution\n?"
# Many frames a second, but not so many that a slow machine cannot keep up.
RATE = 1000


def answers(width=80, height=25):
    return intro_run.answers(width, height, RATE)


def feed(process, data):
    """Writes the answers; a program that has already ended takes none."""
    try:
        process.stdin.write(data)
        process.stdin.flush()
    except BrokenPipeError:
        pass


def expect_end(process, line, what, seconds=QUICK, only_line=False):
    """The process must end within `seconds` with status 1, and its last
    line on standard error must be `line` (its only line if `only_line`)."""
    status = intro_run.ended_within(process, seconds)
    errors = process.stderr.read().decode(errors="replace")
    process.stderr.close()
    if process.stdin:
        process.stdin.close()
    if status is None:
        return [f"{what}: still running after {seconds} s"]
    lines = errors.splitlines()
    problems = []
    if status != 1:
        problems.append(f"{what}: exit status {status}, expected 1")
    if not lines or lines[-1] != line or errors.count(line) != 1 or not errors.endswith("\n"):
        problems.append(f"{what}: standard error does not end in the one line {line!r}: "
                        f"{errors[-300:]!r}")
    elif only_line and len(lines) != 1:
        problems.append(f"{what}: more than its one line on standard error: {errors!r}")
    return problems


def output_to_dev_full(program, cwd):
    with open("/dev/full", "wb") as full:
        process = start(program, stdin=subprocess.PIPE, stdout=full, cwd=cwd)
    feed(process, answers())
    return expect_end(process, "Could not write the frame: No space left on device", "/dev/full")


def start_on_pipe(program, cwd, ignore):
    """The program with its output on a pipe, past its dialogue and first
    frames; returns the process and the pipe's reading end."""
    reader, writer = os.pipe()
    process = start(program, stdin=subprocess.PIPE, stdout=writer, cwd=cwd, ignore=ignore)
    os.close(writer)
    feed(process, answers())
    intro_run.read_past(reader, intro_run.LAST_PROMPT, extra=3 * 80 * 25)
    return process, reader


def output_pipe_closed(program, cwd):
    process, reader = start_on_pipe(program, cwd, ignore=(signal.SIGPIPE,))
    os.close(reader)
    problems = expect_end(process, "Could not write the frame: Broken pipe",
                          "closed pipe, SIGPIPE ignored")
    # With the signal's default action, the signal ends the program.
    process, reader = start_on_pipe(program, cwd, ignore=())
    os.close(reader)
    status = intro_run.ended_within(process, QUICK)
    process.stderr.close()
    process.stdin.close()
    if status != -signal.SIGPIPE:
        problems.append(f"closed pipe: exit status {status}, expected the end by SIGPIPE")
    return problems


def output_terminal_hung_up(program, cwd):
    main, terminal = pty.openpty()
    process = start(program, stdin=terminal, stdout=terminal, cwd=cwd, ignore=(signal.SIGHUP,))
    os.close(terminal)
    os.write(main, answers())
    intro_run.read_past(main, intro_run.LAST_PROMPT, extra=3 * 80 * 25)
    os.close(main)
    return expect_end(process, "Could not write the frame: Input/output error",
                      "hung-up terminal, SIGHUP ignored")


def closed_at_start(program, cwd):
    # Standard output closed: said before the dialogue, and before the
    # music's library starts, so the line is the only one.
    process = start(program, stdin=subprocess.PIPE, stdout=subprocess.DEVNULL, cwd=cwd,
                    close=(1,))
    feed(process, answers())
    problems = expect_end(process, "Standard output is closed.", "standard output closed",
                          only_line=True)
    # Standard input closed: no library's file becomes the input.
    process = start(program, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, cwd=cwd,
                    close=(0,))
    problems += expect_end(process, "Input ended before the dialogue was answered.",
                           "standard input closed")
    # Standard error closed: it is held by /dev/null, not by a library's
    # file, while the frames go on.
    process = start(program, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                    stderr=subprocess.DEVNULL, cwd=cwd, close=(2,))
    feed(process, answers())
    try:
        intro_run.read_past(process.stdout.fileno(), intro_run.LAST_PROMPT, extra=3 * 80 * 25)
        target = os.readlink(f"/proc/{process.pid}/fd/2")
    except (RuntimeError, OSError) as error:
        target = f"nothing ({error})"
    if target != "/dev/null":
        problems.append(f"standard error closed: descriptor 2 is {target}, not /dev/null")
    process.kill()
    process.wait()
    process.stdin.close()
    process.stdout.close()
    return problems


def case_output(program, cwd):
    return (output_to_dev_full(program, cwd) + output_pipe_closed(program, cwd)
            + output_terminal_hung_up(program, cwd) + closed_at_start(program, cwd))


def case_nonblocking(program, cwd, width=320, height=100, frames=40):
    """A reader that takes 4 KiB every 2 ms keeps the pipe full, so the
    program meets EAGAIN in most frames. Every frame must come whole: its
    line ends exactly every `width` bytes from the first, and no others."""
    reader, writer = os.pipe()
    os.set_blocking(writer, False)
    process = start(program, stdin=subprocess.PIPE, stdout=writer, cwd=cwd,
                    stderr=subprocess.DEVNULL)
    os.close(writer)
    feed(process, answers(width, height))
    seen = intro_run.read_past(reader, intro_run.LAST_PROMPT)
    output = bytearray(seen[seen.index(intro_run.LAST_PROMPT) + len(intro_run.LAST_PROMPT):])
    wanted = frames * width * height
    deadline = time.monotonic() + 60
    while len(output) < wanted and time.monotonic() < deadline:
        data = os.read(reader, 4096)
        if not data:
            break
        output += data
        time.sleep(0.002)
    process.kill()
    process.wait()
    process.stdin.close()
    os.close(reader)
    if len(output) < wanted:
        return [f"non-blocking pipe: only {len(output)} bytes of frames, expected {wanted}"]
    output = bytes(output[:wanted])
    rows = wanted // width
    if output[::width] != b"\n" * rows or output.count(b"\n") != rows:
        first = next((i for i in range(0, wanted, width) if output[i] != 10), None)
        line_ends = output.count(b"\n")
        return [f"non-blocking pipe: frames torn; {line_ends} line ends in {frames} frames "
                f"of {height} lines, the first misplaced near byte {first}"]
    print(f"     {frames} whole frames of {width}x{height} through a non-blocking pipe")
    return []


def dialogue_size(program, cwd):
    """The address space of the program as it waits in its dialogue, in
    bytes: the music, if any, has started by then."""
    process = start(program, stdin=subprocess.PIPE, stdout=subprocess.PIPE, cwd=cwd,
                    stderr=subprocess.DEVNULL)
    intro_run.read_past(process.stdout.fileno(), SCREEN_MENU_END)
    size = intro_run.proc_status(process.pid, "VmSize") * 1024
    process.stdin.close()
    process.wait()
    process.stdout.close()
    return size


def case_memory(program, cwd):
    """Under a limit 32 MiB above the program's size in its dialogue, an
    80x25 screen runs, and a 4096x4096 one (80 MiB of cells and frame) gives
    the message."""
    # One malloc arena: a thread's arena reserves 64 MiB of address space
    # when it can, and not under a limit, which would skew the measure.
    os.environ["MALLOC_ARENA_MAX"] = "1"
    limit = dialogue_size(program, cwd) + (32 << 20)
    process = start(program, stdin=subprocess.PIPE, stdout=subprocess.PIPE, cwd=cwd,
                    stderr=subprocess.DEVNULL, address_space=limit)
    feed(process, answers())
    problems = []
    try:
        intro_run.read_past(process.stdout.fileno(), intro_run.LAST_PROMPT, extra=3 * 80 * 25)
    except RuntimeError as error:
        problems.append(f"80x25 under the limit of {limit >> 20} MiB: {error}")
    process.kill()
    process.wait()
    process.stdin.close()
    process.stdout.close()
    process = start(program, stdin=subprocess.PIPE, stdout=subprocess.DEVNULL, cwd=cwd,
                    address_space=limit)
    feed(process, answers(4096, 4096))
    return problems + expect_end(process, "Not enough memory for a 4096x4096 screen.",
                                 f"4096x4096 under {limit >> 20} MiB", seconds=10)


def case_endless_answer(program, cwd):
    with open("/dev/zero", "rb") as zero:
        process = start(program, stdin=zero, stdout=subprocess.PIPE, cwd=cwd)
    problems = expect_end(process, "The answer is too long.", "/dev/zero")
    shown = process.stdout.read()
    process.stdout.close()
    if not shown.endswith(SCREEN_MENU_END):
        problems.append(f"/dev/zero: the output does not end at the screen menu: {shown[-80:]!r}")
    # Endless digits in the width entry, the input left open.
    reader, writer = os.pipe()
    process = start(program, stdin=reader, stdout=subprocess.DEVNULL, cwd=cwd)
    os.close(reader)
    digits = threading.Thread(target=write_digits, args=(writer,), daemon=True)
    digits.start()
    problems += expect_end(process, "The answer is too long.", "endless digits")
    digits.join()
    os.close(writer)
    return problems


def write_digits(fd):
    """Writes the width menu key, then digits until the reader is gone."""
    try:
        os.write(fd, b"5\n")
        while True:
            os.write(fd, b"1" * 4096)
    except OSError:
        pass


MUSIC_NOT_STARTED = "Could not start the music: "
INIT_FAILED = "Could not initialize sound"
REASON = "Reason: "


class Options:
    """What a case needs to know beyond the program: the module of a program
    that plays music (None for intro-silent), and whether it is a sanitizer
    build."""

    def __init__(self, module, sanitized):
        self.module = module
        self.sanitized = sanitized


def with_module(options, cwd):
    if options.module:
        shutil.copy(options.module, os.path.join(cwd, "blumot.mod"))


def frames_come(fd, what, seconds=1.0):
    """Reads the dialogue and then frames for `seconds` from the descriptor;
    problems if they do not come."""
    try:
        intro_run.read_past(fd, intro_run.LAST_PROMPT, extra=3 * 80 * 25)
    except RuntimeError as error:
        return [f"{what}: {error}"]
    drain(fd, seconds)
    return []


def drain(fd, seconds):
    """Reads and drops what comes on the descriptor for `seconds`; returns
    how many bytes came."""
    received = 0
    deadline = time.monotonic() + seconds
    while (left := deadline - time.monotonic()) > 0:
        if not select.select([fd], [], [], left)[0]:
            break
        try:
            data = os.read(fd, 1 << 16)
        except OSError:
            data = b""
        if not data:
            break
        received += len(data)
    return received


def stop(process, *pipes):
    process.kill()
    process.wait()
    for pipe in pipes:
        if pipe is not None:
            pipe.close()


def error_lines(path):
    with open(path, "rb") as errors:
        return errors.read().decode(errors="replace").splitlines()


def runs_on(program, cwd, what, expected_errors, **limits):
    """Starts the program with the given limits (see start_hostile),
    answers for 80x25, and checks that the dialogue and a second of frames
    come, that it still runs then, and that standard error holds lines that
    `expected_errors` accepts. Returns problems."""
    errors = os.path.join(cwd, "stderr")
    with open(errors, "wb") as stderr:
        process = start(program, stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=stderr,
                        cwd=cwd, **limits)
    feed(process, answers())
    problems = frames_come(process.stdout.fileno(), what)
    if not problems and process.poll() is not None:
        problems.append(f"{what}: ended with status {process.returncode} during the frames")
    stop(process, process.stdin, process.stdout)
    lines = error_lines(errors)
    if not expected_errors(lines):
        problems.append(f"{what}: standard error holds {lines!r}")
    return problems


def one_line_starting(prefix):
    return lambda lines: len(lines) == 1 and lines[0].startswith(prefix) and len(lines[0]) > len(
        prefix)


def nothing(lines):
    return lines == []


def unused_user():
    """An unprivileged user id that no process runs as: with RLIMIT_NPROC 1
    it may run the program and nothing more."""
    used = set()
    for entry in os.listdir("/proc"):
        try:
            with open(f"/proc/{entry}/status") as status:
                used.update(int(line.split()[1]) for line in status if line.startswith("Uid:"))
        except (OSError, ValueError):
            pass
    return next(uid for uid in range(65534, 1000, -1) if uid not in used)


def one_process_only():
    """In the new process: RLIMIT_NPROC 1, as an unprivileged user, whom the
    limit binds (root's processes are exempt)."""
    if os.geteuid() == 0:
        user = unused_user()
        os.setgroups([])
        os.setgid(user)
        os.setuid(user)
    resource.setrlimit(resource.RLIMIT_NPROC, (1, 1))


def searchable_by_others(folder):
    """Whether a user outside the owners' groups can pass through every
    folder down to `folder`."""
    folder = os.path.abspath(folder)
    while True:
        if not os.stat(folder).st_mode & stat.S_IXOTH:
            return False
        if folder == os.path.dirname(folder):
            return True
        folder = os.path.dirname(folder)


@contextlib.contextmanager
def reachable_copy(program, options):
    """A copy of the program and its module in a temporary folder of their
    own (mode 755), where an unprivileged user can run them: the build may
    sit where only its owner gets in, such as root's home. Yields the
    program's copy, or None when root would run it as that user and the
    temporary folder's parents shut other users out; the folder goes
    afterwards."""
    folder = tempfile.mkdtemp(prefix="intro-")
    try:
        os.chmod(folder, 0o755)
        if os.geteuid() == 0 and not searchable_by_others(folder):
            print(f"     {os.path.dirname(folder)} is closed to other users: "
                  "the program cannot run as an unprivileged one (set TMPDIR to /tmp)")
            yield None
            return
        copy = shutil.copy(program, folder)
        with_module(options, folder)
        yield copy
    finally:
        shutil.rmtree(folder)


def case_thread_limit(program, cwd, options):
    """No thread can be made, for a limit of threads or of address space:
    intro says why its music cannot start, in one line, and runs like
    intro-silent; a screen too large for the memory is still refused."""
    with reachable_copy(program, options) as copy:
        if copy is None:
            return None
        return thread_limit_problems(copy, os.path.dirname(copy), options)


def thread_limit_problems(program, cwd, options):
    said = one_line_starting(MUSIC_NOT_STARTED) if options.module else nothing
    problems = runs_on(program, cwd, "RLIMIT_NPROC 1", said, also=one_process_only)
    if options.sanitized or problems:
        return problems  # AddressSanitizer reserves more than any limit leaves
    # The program's size in its dialogue without the music thread, and a
    # limit half a megabyte above it: too little for the thread's stack.
    process = start(program, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                    stderr=subprocess.DEVNULL, cwd=cwd, also=one_process_only)
    intro_run.read_past(process.stdout.fileno(), SCREEN_MENU_END)
    limit = intro_run.proc_status(process.pid, "VmSize") * 1024 + (512 << 10)
    stop(process, process.stdin, process.stdout)
    problems += runs_on(program, cwd, f"ulimit -v {limit >> 10}", said, address_space=limit)
    process = start(program, stdin=subprocess.PIPE, stdout=subprocess.DEVNULL, cwd=cwd,
                    address_space=limit)
    feed(process, answers(4096, 4096))
    return problems + expect_end(process, "Not enough memory for a 4096x4096 screen.",
                                 f"4096x4096 under ulimit -v {limit >> 10}", seconds=10)


def case_small_stack(program, cwd, options):
    """The stack limited to 24 KiB (ulimit -s 24): the music thread's stack
    does not follow the limit. With a sound server at 20 KiB, intro plays
    into it from that thread. (Below some 20 KiB the dynamic loader itself
    may overflow while it loads the sound libraries, before the program
    begins.)"""
    with_module(options, cwd)
    problems = runs_on(program, cwd, "ulimit -s 24", lambda lines: True, stack=24 << 10)
    if not options.module:
        return problems
    missing = pulseaudio_missing()
    if missing is not None:
        return problems + missing
    return problems + small_stack_with_server(program, cwd, 20 << 10)


def pulseaudio_missing():
    """None where PulseAudio is installed; otherwise says so, and returns the
    problems of a check that cannot run: none, or one under CI, where every
    tool a test needs must be there."""
    if shutil.which("pulseaudio") and shutil.which("pactl"):
        return None
    print("     no PulseAudio here: the checks with a sound server do not run")
    return ["PulseAudio is not installed"] if os.environ.get("CI") else []


@contextlib.contextmanager
def sound_server(cwd):
    """A PulseAudio server of the check's own in `cwd`, which the programs
    started meanwhile find; it ends afterwards."""
    saved = dict(os.environ)
    os.environ.update(pulse_client_environment(os.path.join(cwd, "server"),
                                               os.path.join(cwd, "home"), "pulse/native"))
    daemon = start_daemon(os.environ, os.path.join(cwd, "daemon.log"), "intro_check")
    try:
        yield
    finally:
        end(daemon)
        os.environ.clear()
        os.environ.update(saved)


def playing_processes():
    """The process ids of the programs that play into the sound server."""
    listing = subprocess.run(["pactl", "list", "sink-inputs"], capture_output=True,
                             text=True).stdout
    return {int(pid) for pid in re.findall(r'application\.process\.id = "(\d+)"', listing)}


def small_stack_with_server(program, cwd, size):
    what = f"ulimit -s {size >> 10}, a sound server"
    with sound_server(cwd):
        process = start(program, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                        stderr=subprocess.DEVNULL, cwd=cwd, stack=size)
        feed(process, answers())
        problems = frames_come(process.stdout.fileno(), what)
        if not problems and process.poll() is not None:
            problems.append(f"{what}: ended with status {process.returncode}")
        elif not problems and process.pid not in playing_processes():
            problems.append(f"{what}: nothing plays into the server")
        stop(process, process.stdin, process.stdout)
    return problems


# A sound library's thread takes a stack of the size ulimit -s gives, 8 MiB
# by default, so the music fails in bands of limits as narrow as that
# (room for one of the client's pools but not for its thread after): the
# limits tried lie closer together.
LIMIT_STEP = 7 << 20
# Above the smallest limit that shows the dialogue, one where the music
# surely plays: the client's pools take 256 MiB.
GENEROUS = 480 << 20


def case_memory_with_server(program, cwd, options):
    """intro under address-space limits (ulimit -v) with a sound server,
    from the smallest limit at which it shows its dialogue to a generous
    one, LIMIT_STEP apart: at each, the frames run, Ctrl-c ends it and no
    other signal does, and either its music plays into the server or
    standard error says why not, in intro's own lines; at the generous one
    it plays. Where the sound libraries run out of address space, the
    server's client may end the process (SIGQUIT), or leave the music thread
    waiting for ever for a thread of its own that could not start."""
    missing = pulseaudio_missing()
    if missing is not None:
        return missing or None
    with_module(options, cwd)
    with sound_server(cwd):
        smallest = smallest_limit_for_dialogue(program, cwd)
        count = -(-GENEROUS // LIMIT_STEP) + 1
        limits = [smallest + GENEROUS * step // (count - 1) for step in range(count)]
        problems, playing = [], []
        for limit in limits:
            found, plays = music_under_limit(program, cwd, limit)
            problems += found
            if plays:
                playing.append(limit)
    if limits[-1] not in playing:
        problems.append(f"the music does not play under ulimit -v {limits[-1] >> 10}")
    print(f"     {len(limits)} limits from {smallest >> 10} to {limits[-1] >> 10} KiB; "
          f"the music plays from {playing[0] >> 10 if playing else None} KiB")
    return problems


def shows_dialogue(program, cwd, limit):
    process = start(program, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                    stderr=subprocess.DEVNULL, cwd=cwd, address_space=limit)
    try:
        intro_run.read_past(process.stdout.fileno(), SCREEN_MENU_END)
        return True
    except RuntimeError:
        return False
    finally:
        stop(process, process.stdin, process.stdout)


def smallest_limit_for_dialogue(program, cwd, precision=256 << 10):
    """The smallest address-space limit, to `precision`, under which the
    program shows its dialogue, found by halving from 1 GiB."""
    low, high = 0, 1 << 30
    while high - low > precision:
        middle = (low + high) // 2
        if shows_dialogue(program, cwd, middle):
            high = middle
        else:
            low = middle
    return high


def interrupt_by_default():
    """In the new process: Ctrl-c ends it, also where this check was started
    with SIGINT ignored (a shell's background job)."""
    signal.signal(signal.SIGINT, signal.SIG_DFL)


def music_under_limit(program, cwd, limit):
    """intro under the limit with the sound server running: returns the
    problems, and whether its music plays."""
    what = f"ulimit -v {limit >> 10}, a sound server"
    errors = os.path.join(cwd, "stderr")
    with open(errors, "wb") as stderr:
        process = start(program, stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=stderr,
                        cwd=cwd, address_space=limit, also=interrupt_by_default)
    feed(process, answers())
    problems = frames_come(process.stdout.fileno(), what, seconds=0.2)
    plays = not problems and process.pid in playing_processes()
    status = process.poll()
    if status is None:
        process.send_signal(signal.SIGINT)
        status = intro_run.ended_within(process, QUICK)
    if status is None:
        problems.append(f"{what}: Ctrl-c did not end it within {QUICK} s")
    elif status != -signal.SIGINT:
        ending = (f"killed by {signal.Signals(-status).name}" if status < 0
                  else f"ended with status {status}")
        problems.append(f"{what}: {ending}")
    process.stdin.close()
    process.stdout.close()
    lines = error_lines(errors)
    said = one_line_starting(MUSIC_NOT_STARTED)(lines) or (lines and own_two_lines(lines))
    if not said and lines:
        problems.append(f"{what}: standard error holds {lines!r}")
    elif not said and not plays and not problems:
        problems.append(f"{what}: no music plays, and intro does not say why")
    return problems, plays


def refuse_unshare():
    """In the new process: unshare(2) fails with EPERM, as a container's
    default filter of system calls makes it (x86-64 only)."""
    audit_arch_x86_64, unshare_call = 0xC000003E, 272
    allow, refuse = 0x7FFF0000, 0x00050000 | 1  # SECCOMP_RET_ERRNO | EPERM
    program = [(0x20, 0, 0, 4), (0x15, 1, 0, audit_arch_x86_64), (0x06, 0, 0, allow),
               (0x20, 0, 0, 0), (0x15, 0, 1, unshare_call), (0x06, 0, 0, refuse),
               (0x06, 0, 0, allow)]
    code = b"".join(struct.pack("HBBI", *instruction) for instruction in program)
    buffer = ctypes.create_string_buffer(code)
    fprog = struct.pack("HxxxxxxQ", len(program), ctypes.addressof(buffer))
    libc = ctypes.CDLL(None, use_errno=True)
    pr_set_no_new_privs, pr_set_seccomp, seccomp_mode_filter = 38, 22, 2
    if (libc.prctl(pr_set_no_new_privs, 1, 0, 0, 0) != 0
            or libc.prctl(pr_set_seccomp, seccomp_mode_filter, ctypes.c_char_p(fprog), 0, 0) != 0):
        raise OSError(ctypes.get_errno(), "no filter of system calls")


def own_two_lines(lines):
    """intro's own report of a sound start that failed; nothing where the
    library settled on its silent driver by itself."""
    return lines == [] or (len(lines) == 2 and lines[0] == INIT_FAILED
                           and lines[1].startswith(REASON) and len(lines[1]) > len(REASON))


def case_no_sound(program, cwd, options):
    """No sound device and no sound server: standard error holds intro's own
    two lines, nothing of the sound libraries' (the PulseAudio client
    reports a configuration that does not parse by itself)."""
    if os.path.isdir("/dev/snd") and any(name.startswith("pcm") for name in os.listdir("/dev/snd")):
        print("this machine has a sound device: the case needs one without")
        return None
    with_module(options, cwd)
    expected = own_two_lines if options.module else nothing
    broken = os.path.join(cwd, "broken-client.conf")
    with open(broken, "w") as conf:
        conf.write("autospawn\n")
    ways = [("no sound", None, {}),
            ("no sound, a client configuration that does not parse", None,
             {"PULSE_CLIENTCONFIG": broken})]
    if platform.machine() == "x86_64":
        ways.append(("no sound, unshare(2) refused", refuse_unshare, {}))
    problems = []
    for what, also, settings in ways:
        errors = os.path.join(cwd, "stderr")
        saved = dict(os.environ)
        os.environ.update(settings)
        with open(errors, "wb") as stderr:
            process = start(program, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                            stderr=stderr, cwd=cwd, also=also)
        os.environ.clear()
        os.environ.update(saved)
        feed(process, answers())
        found = frames_come(process.stdout.fileno(), what)
        stop(process, process.stdin, process.stdout)
        lines = error_lines(errors)
        if not expected(lines):
            found.append(f"{what}: standard error holds {lines!r}")
        problems += found
    return problems


def case_nonblocking_input(program, cwd, options):
    """A terminal left non-blocking by an earlier program, the answers typed
    half a second after the start: the dialogue waits for them and the frames
    follow."""
    with_module(options, cwd)
    main, terminal = pty.openpty()
    flags = fcntl.fcntl(terminal, fcntl.F_GETFL)
    fcntl.fcntl(terminal, fcntl.F_SETFL, flags | os.O_NONBLOCK)
    errors = os.path.join(cwd, "stderr")
    with open(errors, "wb") as stderr:
        process = start(program, stdin=terminal, stdout=terminal, stderr=stderr, cwd=cwd)
    os.close(terminal)
    drain(main, 0.5)
    problems = []
    if process.poll() is not None:
        problems.append(f"ended with status {process.returncode} before the answers came")
    else:
        os.write(main, answers())
        found = frames_come(main, "answers typed late on a non-blocking terminal")
        problems += found
    stop(process)
    os.close(main)
    lines = [line for line in error_lines(errors) if "answer" in line]
    return problems + [f"standard error: {line}" for line in lines]


CASES = {
    "output": lambda program, cwd, _: case_output(program, cwd),
    "nonblocking": lambda program, cwd, _: case_nonblocking(program, cwd),
    "memory": lambda program, cwd, _: case_memory(program, cwd),
    "endless_answer": lambda program, cwd, _: case_endless_answer(program, cwd),
    "thread_limit": case_thread_limit,
    "small_stack": case_small_stack,
    "memory_with_server": case_memory_with_server,
    "no_sound": case_no_sound,
    "nonblocking_input": case_nonblocking_input,
}


def check(args, work):
    # No sound server to be found, as on a machine without sound.
    os.environ.update(pulse_client_environment(work, work, "no-server"))
    # A folder of its own: with no sound device, libmikmod may write its
    # music file into the current folder.
    cwd = os.path.join(work, "run")
    os.mkdir(cwd)
    problems = CASES[args.case](args.program, cwd, Options(args.module, args.sanitized))
    if problems is None:
        raise check_main.Skipped("skipped")
    return problems


if __name__ == "__main__":
    check_main.run(__doc__, check, {
        "program": None, "case": {"choices": sorted(CASES), "required": True},
        "module": {"help": "the music module, for a program that plays one"},
        "sanitized": {"action": "store_true", "help": "an AddressSanitizer build"}}, "{case}")
