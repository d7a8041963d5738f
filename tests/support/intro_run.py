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


def start_hostile(program, stdin=None, stdout=None, stderr=subprocess.PIPE, cwd=None, ignore=(),
          close=(), address_space=None):
    """Starts the program bare, as a hostile environment may leave it: the
    signals in `ignore` ignored (as nohup or some service managers leave
    them), the descriptors in `close` closed, and its address space limited
    to `address_space` bytes (ulimit -v). The dialogue is left to the
    caller."""
    def prepare():
        for sig in ignore:
            signal.signal(sig, signal.SIG_IGN)
        for fd in close:
            os.close(fd)
        if address_space is not None:
            resource.setrlimit(resource.RLIMIT_AS, (address_space, address_space))

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
