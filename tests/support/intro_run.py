"""Running a built intro program for a measurement: answering its dialogue
for a custom screen and frame rate, and reading its frames from a pipe or a
pseudo-terminal.

Frames follow the dialogue, which ends with the frame-rate prompt; on a
pipe each frame is exactly width x height bytes, a line end leading each of
its rows.
"""

import fcntl
import os
import pty
import resource
import signal
import subprocess
import time

LAST_PROMPT = b"Frames per second (fps) ?"
# A frame rate above 1000000 gives the frame period 0: no pause at all.
NO_PAUSE = 1000001


def answers(width, height, rate):
    return f"5\n{width}\n{height}\n5\n{rate}\n".encode()


def _interrupt_by_default():
    """Ctrl-c ends the program as it does in a terminal, also when this
    script was started where SIGINT is ignored (a shell's background job)."""
    signal.signal(signal.SIGINT, signal.SIG_DFL)


class Run:
    """The program started with its standard output on a pipe (terminal
    False) or on a pseudo-terminal (terminal True), its dialogue answered.
    `wrapper` goes in front of the program (valgrind, strace); `env`, if
    given, is its whole environment, and `also`, if given, is called last in
    the new process."""

    def __init__(self, program, width, height, rate, terminal=False, cwd=None, wrapper=(),
                 stderr=subprocess.DEVNULL, arguments=(), env=None, also=None):
        self.width, self.height = width, height
        self.terminal = terminal
        command = [*wrapper, os.path.abspath(program), *arguments]

        def prepare():
            _interrupt_by_default()
            if also is not None:
                also()

        if terminal:
            self.fd, other = pty.openpty()
            self.process = subprocess.Popen(command, stdin=other, stdout=other, stderr=stderr,
                                            cwd=cwd, env=env, start_new_session=True,
                                            preexec_fn=prepare)
            os.close(other)
            os.write(self.fd, answers(width, height, rate))
        else:
            self.process = subprocess.Popen(command, stdin=subprocess.PIPE,
                                            stdout=subprocess.PIPE, stderr=stderr, cwd=cwd,
                                            env=env, preexec_fn=prepare)
            self.fd = self.process.stdout.fileno()
            # A wide pipe: fewer reads per frame for the reader.
            try:
                fcntl.fcntl(self.fd, fcntl.F_SETPIPE_SZ, 1 << 20)
            except OSError:
                pass
            self.process.stdin.write(answers(width, height, rate))
            self.process.stdin.flush()
        self.pending = b""

    @property
    def pid(self):
        return self.process.pid

    def chunk(self, size=1 << 20):
        """The next bytes from the program; b"" when it has ended."""
        if self.pending:
            data, self.pending = self.pending, b""
            return data
        try:
            return os.read(self.fd, size)
        except OSError:  # a terminal whose other side has closed
            return b""

    def skip_dialogue(self, timeout=60):
        """Reads up to the end of the dialogue and returns its text; what
        follows is kept for the next read."""
        seen = bytearray()
        deadline = time.monotonic() + timeout
        while LAST_PROMPT not in seen:
            if time.monotonic() > deadline:
                raise RuntimeError(f"no dialogue within {timeout} s: {bytes(seen[:300])!r}")
            data = self.chunk()
            if not data:
                raise RuntimeError(f"the program ended in its dialogue: {bytes(seen[:300])!r}")
            seen += data
        end = seen.rindex(LAST_PROMPT) + len(LAST_PROMPT)
        self.pending = bytes(seen[end:])
        return bytes(seen[:end])

    def read_exactly(self, size):
        """Exactly `size` bytes, or fewer if the program ends."""
        parts = []
        while size > 0:
            data = self.chunk(min(size, 1 << 20))
            if not data:
                break
            if len(data) > size:
                self.pending = data[size:]
                data = data[:size]
            parts.append(data)
            size -= len(data)
        return b"".join(parts)

    def stop(self, sig=signal.SIGINT, timeout=60):
        """Interrupts the program, as Ctrl-c would, and waits for it. Returns
        the resource usage of the ended process."""
        if self.process.poll() is None:
            self.process.send_signal(sig)
        try:
            _, _, usage = os.wait4(self.process.pid, 0)
        except ChildProcessError:
            usage = None
        self.process.returncode = -sig
        if self.terminal:
            os.close(self.fd)
        else:
            self.process.stdout.close()
            self.process.stdin.close()
        return usage


def proc_status(pid, field):
    """A field of /proc/<pid>/status, such as VmRSS, in kB."""
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith(field + ":"):
                return int(line.split()[1])
    raise KeyError(field)


def cpu_seconds(pid):
    """Processor time the process has run so far, to the nanosecond where
    the kernel keeps scheduler statistics."""
    try:
        total = 0
        for task in os.listdir(f"/proc/{pid}/task"):
            with open(f"/proc/{pid}/task/{task}/schedstat") as stat:
                total += int(stat.read().split()[0])
        return total / 1e9
    except FileNotFoundError:
        with open(f"/proc/{pid}/stat") as stat:
            fields = stat.read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def start_hostile(program, stdin=None, stdout=None, stderr=subprocess.PIPE, cwd=None, ignore=(),
                  close=(), address_space=None, stack=None, also=None):
    """Starts the program bare, as a hostile environment may leave it: the
    signals in `ignore` ignored (as nohup or some service managers leave
    them), the descriptors in `close` closed, its address space limited to
    `address_space` bytes (ulimit -v) and its stack to `stack` bytes
    (ulimit -s); `also`, if given, is called last in the new process. The
    dialogue is left to the caller."""
    def prepare():
        for sig in ignore:
            signal.signal(sig, signal.SIG_IGN)
        for fd in close:
            os.close(fd)
        if address_space is not None:
            resource.setrlimit(resource.RLIMIT_AS, (address_space, address_space))
        if stack is not None:
            resource.setrlimit(resource.RLIMIT_STACK, (stack, stack))
        if also is not None:
            also()

    # Unbuffered pipes: answers the program never took are not written again
    # when the pipe is closed.
    return subprocess.Popen([os.path.abspath(program)], stdin=stdin, stdout=stdout,
                            stderr=stderr, cwd=cwd, preexec_fn=prepare, start_new_session=True,
                            bufsize=0)


def ended_within(process, seconds):
    """The exit status (minus the signal for a killed process) when the
    process ends within `seconds`; None when it does not, and it is then
    killed."""
    try:
        return process.wait(timeout=seconds)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()
        return None


def read_past(fd, marker, extra=0, timeout=60):
    """Reads from the descriptor until `marker` has come and at least
    `extra` bytes after it; returns everything read. Raises RuntimeError
    when the output ends or the time runs out first."""
    seen = bytearray()
    deadline = time.monotonic() + timeout
    while marker not in seen or len(seen) - seen.index(marker) - len(marker) < extra:
        if time.monotonic() > deadline:
            raise RuntimeError(f"{marker!r} not seen within {timeout} s: {bytes(seen[:300])!r}")
        try:
            data = os.read(fd, 1 << 16)
        except OSError:
            data = b""
        if not data:
            raise RuntimeError(f"the output ended before {marker!r}: {bytes(seen[:300])!r}")
        seen += data
    return bytes(seen)


class Collected:
    """What collect_output gathered from one run."""

    def __init__(self):
        self.stdout = bytearray()
        self.stderr = bytearray()
        self.t_start = time.time()
        self.t_first_frame = None  # when first_frame_end bytes had come
        self.status = None
        self.stall = None  # why reading stopped early, if it did


def _read_available(selector, timeout):
    """Reads whatever the registered pipes deliver within `timeout` seconds
    into their buffers; a pipe at its end is dropped. False if nothing came."""
    events = selector.select(timeout=max(0, timeout))
    for key, _ in events:
        data = os.read(key.fd, 1 << 16)
        if data:
            key.data.extend(data)
        else:
            selector.unregister(key.fileobj)
    return bool(events)


def terminate(process, timeout=5.0, sig=signal.SIGTERM):
    """Ends a program with `sig`, and with SIGKILL if it has not ended
    within `timeout` seconds. True when it ended in time by itself."""
    if process.poll() is None:
        process.send_signal(sig)
    try:
        process.wait(timeout=timeout)
        return True
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()
        return False


def collect_output(program, answer_bytes, wanted, first_frame_end=0, cwd=None,
                   read_timeout=60.0, idle_timeout=10.0, stop_timeout=5.0):
    """Starts the program on pipes, gives it `answer_bytes` and the end of
    its input, reads standard output until `wanted` bytes have come (or it
    ends, or the time is up), and standard error all along, then ends it.
    Returns a Collected."""
    import selectors

    out = Collected()
    process = subprocess.Popen([os.path.abspath(program)], stdin=subprocess.PIPE,
                               stdout=subprocess.PIPE, stderr=subprocess.PIPE, cwd=cwd)
    try:
        process.stdin.write(answer_bytes)
        process.stdin.close()
    except BrokenPipeError:
        pass  # it ended early; what it printed tells why
    selector = selectors.DefaultSelector()
    selector.register(process.stdout, selectors.EVENT_READ, out.stdout)
    selector.register(process.stderr, selectors.EVENT_READ, out.stderr)
    deadline = out.t_start + read_timeout
    try:
        while len(out.stdout) < wanted and process.stdout in selector.get_map():
            remaining = deadline - time.time()
            if not _read_available(selector, min(idle_timeout, remaining)):
                out.stall = (f"no output for {idle_timeout:.0f} s" if remaining > idle_timeout
                             else f"not done after {read_timeout:.0f} s")
                break
            if out.t_first_frame is None and len(out.stdout) >= first_frame_end:
                out.t_first_frame = time.time()
    finally:
        terminate(process, stop_timeout)
        out.status = process.returncode
        # What reached standard error before the end still counts; a
        # bounded wait, as a left-over child could hold the pipe open.
        if process.stdout in selector.get_map():
            selector.unregister(process.stdout)
        drain_until = time.time() + stop_timeout
        while selector.get_map() and time.time() < drain_until:
            _read_available(selector, drain_until - time.time())
        selector.close()
        process.stdout.close()
        process.stderr.close()
    return out


def run_to_end(program, answer_bytes, timeout, cwd=None, arguments=()):
    """Runs the program on the given input, which it must end on by itself
    within `timeout` seconds. Returns the subprocess.CompletedProcess, or
    None when the program was still running and has been killed."""
    try:
        return subprocess.run([os.path.abspath(program), *arguments], input=answer_bytes,
                              capture_output=True, timeout=timeout, cwd=cwd)
    except subprocess.TimeoutExpired:
        return None


def strace_wrapper(trace, calls):
    """The `wrapper` of a Run under strace that logs the given system calls
    (a comma-separated list), with the first two bytes of their buffers,
    into the file `trace`."""
    return ["strace", "-f", "-qq", "-e", "trace=" + calls, "-e", "signal=none", "-s", "2",
            "-o", trace]


def _descendants(pid):
    children = []
    try:
        for task in os.listdir(f"/proc/{pid}/task"):
            with open(f"/proc/{pid}/task/{task}/children") as listed:
                children += [int(child) for child in listed.read().split()]
    except (FileNotFoundError, ProcessLookupError):
        pass
    return [grandchild for child in children for grandchild in [child, *_descendants(child)]]


def stop_wrapped(run, timeout=10):
    """Stops a Run started with a wrapper (strace, valgrind) together with
    the program under it, as Ctrl-c on the terminal would: the program is
    interrupted first, so that the wrapper does not let it go on untraced.
    Returns what Run.stop returns."""
    for pid in _descendants(run.pid):
        try:
            os.kill(pid, signal.SIGINT)
        except ProcessLookupError:
            pass
    return run.stop(timeout=timeout)


def read_line_ends(run, wanted=None, seconds=None):
    """Reads and drops the program's output, counting its line ends, until
    `wanted` of them have come or `seconds` have passed. Returns the count;
    raises RuntimeError when the program ends before."""
    import selectors

    selector = selectors.DefaultSelector()
    selector.register(run.fd, selectors.EVENT_READ)
    end = None if seconds is None else time.monotonic() + seconds
    count = 0
    try:
        while wanted is None or count < wanted:
            if end is not None and not run.pending:
                now = time.monotonic()
                if now >= end:
                    break
                if not selector.select(timeout=end - now):
                    continue
            data = run.chunk()
            if not data:
                raise RuntimeError(f"the program ended after {count} line ends")
            count += data.count(b"\n")
    finally:
        selector.close()
    return count


def stop_within(run, seconds, sig=signal.SIGINT):
    """Sends `sig` to a Run and waits at most `seconds` for it to end, then
    closes the Run. Returns (seconds taken or None if it still ran and had to
    be killed, the exit status as subprocess gives it)."""
    sent = time.monotonic()
    if run.process.poll() is None:
        run.process.send_signal(sig)
    try:
        run.process.wait(timeout=seconds)
        taken = time.monotonic() - sent
    except subprocess.TimeoutExpired:
        run.process.kill()
        run.process.wait()
        taken = None
    status = run.process.returncode
    run.stop()
    return taken, status


def frames_within(run, seconds):
    """Whole frames read from a Run on a pipe within `seconds`; whatever is
    left of a frame is kept for the next read."""
    import select

    size = run.width * run.height
    deadline = time.monotonic() + seconds
    received = bytearray(run.pending)
    run.pending = b""
    while time.monotonic() < deadline:
        ready, _, _ = select.select([run.fd], [], [], max(0.0, deadline - time.monotonic()))
        if not ready:
            break
        data = run.chunk()
        if not data:
            break
        received += data
    count, rest = divmod(len(received), size)
    run.pending = bytes(received[count * size:])
    return count


def dialogue_within(run, seconds):
    """Reads a Run's dialogue, as skip_dialogue does, but never waits past
    `seconds` in all. True if the dialogue ended in time."""
    import select

    seen = bytearray(run.pending)
    deadline = time.monotonic() + seconds
    while LAST_PROMPT not in seen:
        left = deadline - time.monotonic()
        if left <= 0 or not select.select([run.fd], [], [], left)[0]:
            run.pending = bytes(seen)
            return False
        data = run.chunk()
        if not data:
            run.pending = bytes(seen)
            return False
        seen += data
    run.pending = bytes(seen[seen.rindex(LAST_PROMPT) + len(LAST_PROMPT):])
    return True


def start_unanswered(program, cwd=None):
    """The program started with its dialogue left waiting for an answer on
    a pipe; its output is dropped. Returns the subprocess.Popen."""
    return subprocess.Popen([os.path.abspath(program)], cwd=cwd, stdin=subprocess.PIPE,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


class Player:
    """intro in a folder of its own with `module` as its blumot.mod, past its
    dialogue for 80x25 at `fps` frames a second, its frames counted."""

    MIN_RATE_SHARE, EXIT_TIMEOUT = 0.8, 1.0

    def __init__(self, program, module, folder, fps=25):
        import shutil

        self.problems = []
        self.folder, self.fps = folder, fps
        os.makedirs(folder)
        shutil.copy(module, os.path.join(folder, "blumot.mod"))
        self.errors = open(os.path.join(folder, "stderr"), "wb+")
        self.run = Run(program, 80, 25, fps, cwd=folder, stderr=self.errors)
        if not dialogue_within(self.run, 10):
            raise RuntimeError("; ".join(["no dialogue within 10 s", *self.finish()]))

    def frames(self, seconds, what):
        frames = frames_within(self.run, seconds)
        if frames < self.MIN_RATE_SHARE * self.fps * seconds:
            self.problems.append(f"{what}: {frames / seconds:.1f} frames a second")
        return frames

    def finish(self, allowed=b""):
        """Stops it with SIGINT; its problems, with standard error other
        than empty or `allowed`."""
        taken, status = stop_within(self.run, self.EXIT_TIMEOUT)
        problems = self.problems
        if taken is None or status != -signal.SIGINT:
            problems.append(f"not ended by SIGINT within {self.EXIT_TIMEOUT} s ({status})")
        self.errors.seek(0)
        text = self.errors.read()
        self.errors.close()
        if text not in (b"", allowed):
            problems.append(f"standard error: {text[:300]!r}")
        return problems
