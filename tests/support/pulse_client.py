"""The environment in which intro looks for a PulseAudio server: a private
runtime folder and home, no autospawn, and one given server socket, so a
test never reaches the desktop's server or starts one by accident; and a
server of the test's own with a null sink in that environment."""

import array
import os
import signal
import subprocess
import sys
import threading
import time


def pulse_client_environment(root, home, server_socket):
    runtime = os.path.join(root, "runtime")
    os.makedirs(runtime, mode=0o700)
    os.makedirs(home, mode=0o700, exist_ok=True)
    client_conf = os.path.join(root, "client.conf")
    with open(client_conf, "w") as conf:
        conf.write("autospawn = no\n")
    env = dict(os.environ)
    env.update(XDG_RUNTIME_DIR=runtime, HOME=home, PULSE_CLIENTCONFIG=client_conf,
               PULSE_SERVER="unix:" + os.path.join(runtime, server_socket))
    for name in ("PULSE_SINK", "PULSE_SOURCE", "DISPLAY", "DBUS_SESSION_BUS_ADDRESS"):
        env.pop(name, None)
    return env


def end(process, sig=signal.SIGTERM, grace=5):
    """Ends a process the caller started: `sig`, then SIGKILL after `grace`."""
    if process.poll() is None:
        process.send_signal(sig)
        try:
            process.wait(timeout=grace)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


def start_daemon(env, log_path, sink, rate=44100, channels=2):
    """A fresh PulseAudio daemon in `env` with one null sink, ready to take
    clients. Raises RuntimeError with its log if it does not start."""
    command = [
        "pulseaudio", "--daemonize=no", "--exit-idle-time=-1", "-n",
        "--use-pid-file=no", "--realtime=no", "--high-priority=no", "--no-cpu-limit=yes",
        "--log-target=stderr",
        f"--load=module-null-sink sink_name={sink} rate={rate} channels={channels}",
        "--load=module-native-protocol-unix",
    ]
    log = open(log_path, "wb")
    daemon = subprocess.Popen(command, env=env, stdin=subprocess.DEVNULL,
                              stdout=log, stderr=log, start_new_session=True)
    deadline = time.monotonic() + 15
    while time.monotonic() < deadline and daemon.poll() is None:
        if subprocess.run(["pactl", "info"], env=env, capture_output=True,
                          timeout=10).returncode == 0:
            return daemon
        time.sleep(0.2)
    end(daemon)
    with open(log_path, "rb") as text:
        raise RuntimeError("the PulseAudio daemon did not start:\n"
                           + text.read().decode(errors="replace"))


class TimedOutput:
    """A command's output of 16-bit samples (parecord's, or a cat of a
    FIFO), read as it comes with the time each block came, until stop()."""

    def __init__(self, command, env=None):
        self.process = subprocess.Popen(command, env=env, stdin=subprocess.DEVNULL,
                                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        self.blocks = []
        self.reader = threading.Thread(target=self._read)
        self.reader.start()

    def _read(self):
        while block := self.process.stdout.read1(1 << 14):
            self.blocks.append((time.monotonic(), block))

    def stop(self, sig=signal.SIGINT):
        end(self.process, sig)
        self.reader.join()
        self.process.stdout.close()

    def first_sound(self, after=0.0):
        """When the first block from `after` on with a sample that is not
        zero came; None if none did."""
        return next((came for came, block in self.blocks
                     if came >= after and block.strip(b"\0")), None)

    def samples(self):
        samples = array.array("h")
        data = b"".join(block for _, block in self.blocks)
        samples.frombytes(data[:len(data) // 4 * 4])
        if sys.byteorder != "little":
            samples.byteswap()
        return samples


def monitor_recording(env, sink, rate=44100, channels=2):
    """parecord of the sink's monitor as a TimedOutput: PulseAudio's null
    sink sends nothing while nothing plays, so the times of the blocks, not
    their count, tell when the sound came."""
    return TimedOutput(["parecord", "--raw", f"--device={sink}.monitor", "--format=s16le",
                        f"--rate={rate}", f"--channels={channels}", "--latency-msec=20"], env)
