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
import signal
import subprocess
import time

LAST_PROMPT = b"Frames per second (fps) ?"
# A frame rate above 1000000 gives the frame period 0: no pause at all.
NO_PAUSE = 1000001


def answers(width, height, rate):
    return f"5\n{width}\n{height}\n5\n{rate}\n".encode()


class Run:
    """The program started with its standard output on a pipe (terminal
    False) or on a pseudo-terminal (terminal True), its dialogue answered.
    `wrapper` goes in front of the program (valgrind, strace)."""

    def __init__(self, program, width, height, rate, terminal=False, cwd=None, wrapper=(),
                 stderr=subprocess.DEVNULL, arguments=()):
        self.width, self.height = width, height
        self.terminal = terminal
        command = [*wrapper, os.path.abspath(program), *arguments]
        if terminal:
            self.fd, other = pty.openpty()
            self.process = subprocess.Popen(command, stdin=other, stdout=other, stderr=stderr,
                                            cwd=cwd, start_new_session=True)
            os.close(other)
            os.write(self.fd, answers(width, height, rate))
        else:
            self.process = subprocess.Popen(command, stdin=subprocess.PIPE,
                                            stdout=subprocess.PIPE, stderr=stderr, cwd=cwd)
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
