"""PipeWire's sound server as a desktop runs it, but of the test's own: a
session bus, pipewire, wireplumber and pipewire-pulse (its PulseAudio
protocol server), all under one runtime folder with a home and
configuration folders of their own, so that nothing of the machine's
servers or settings is reached. The packaged configuration is read as
shipped. A null sink takes the sound, and outlives a restart of
pipewire-pulse.

Every process is started here and stopped here by its pid.
"""

import os
import signal
import subprocess
import time

from pulse_client import end

TOOLS = ("dbus-daemon", "pipewire", "wireplumber", "pipewire-pulse", "pw-cli", "pw-record",
         "pactl")
PACKAGES = "dbus-daemon pipewire pipewire-pulse wireplumber pipewire-bin pulseaudio-utils"


class PipeWire:
    """Starts the servers under `root` with a null sink named `sink`; `env`
    is then the environment a client of theirs runs in."""

    def __init__(self, root, sink, rate=44100, channels=2):
        self.root, self.sink = root, sink
        self.processes = {}
        runtime = os.path.join(root, "runtime")
        for folder in ("runtime", "home", "config", "state", "data", "logs"):
            os.makedirs(os.path.join(root, folder), mode=0o700, exist_ok=True)
        env = {name: value for name, value in os.environ.items()
               if not name.startswith(("PULSE_", "PIPEWIRE_", "WIREPLUMBER_", "XDG_", "DBUS_",
                                       "JACK_", "SDL_", "ALSA_"))}
        env.pop("DISPLAY", None)
        env.update(XDG_RUNTIME_DIR=runtime, HOME=os.path.join(root, "home"),
                   XDG_CONFIG_HOME=os.path.join(root, "config"),
                   XDG_STATE_HOME=os.path.join(root, "state"),
                   XDG_DATA_HOME=os.path.join(root, "data"),
                   # The configuration as packaged, never the machine's /etc.
                   PIPEWIRE_CONFIG_DIR="/usr/share/pipewire",
                   WIREPLUMBER_CONFIG_DIR="/usr/share/wireplumber",
                   DBUS_SESSION_BUS_ADDRESS="unix:path=" + os.path.join(runtime, "bus"),
                   PULSE_SERVER="unix:" + os.path.join(runtime, "pulse", "native"))
        client_conf = os.path.join(root, "client.conf")
        with open(client_conf, "w") as conf:
            conf.write("autospawn = no\n")
        env["PULSE_CLIENTCONFIG"] = client_conf
        self.env = env
        try:
            self._start("dbus-daemon", ["dbus-daemon", "--session", "--nofork", "--nopidfile",
                                        "--address=" + env["DBUS_SESSION_BUS_ADDRESS"]])
            self._wait_for(os.path.join(runtime, "bus"), "the session bus")
            self._start("pipewire", ["pipewire"])
            self._wait_for(os.path.join(runtime, "pipewire-0"), "pipewire")
            self._start("wireplumber", ["wireplumber"])
            self.start_pulse()
            subprocess.run(["pw-cli", "create-node", "adapter",
                            f"{{ factory.name=support.null-audio-sink node.name={sink} "
                            f"media.class=Audio/Sink object.linger=true audio.rate={rate} "
                            f"audio.channels={channels} audio.position=[FL FR] }}"],
                           env=env, check=True, capture_output=True, timeout=10)
            self._wait_until(lambda: self._default_sink() == sink, f"the sink {sink}")
        except BaseException:
            self.stop()
            raise

    def _start(self, name, command):
        log = open(os.path.join(self.root, "logs", name + ".log"), "ab")
        self.processes[name] = subprocess.Popen(command, env=self.env, stdin=subprocess.DEVNULL,
                                                stdout=log, stderr=log, start_new_session=True)
        log.close()

    def _wait_until(self, ready, what, seconds=15):
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            if ready():
                return
            dead = [name for name, process in self.processes.items() if process.poll() is not None]
            if dead:
                break
            time.sleep(0.05)
        raise RuntimeError(f"{what} did not come up; logs in {self.root}/logs:\n" + self.logs())

    def _wait_for(self, path, what):
        self._wait_until(lambda: os.path.exists(path), what)

    def _default_sink(self):
        info = subprocess.run(["pactl", "get-default-sink"], env=self.env, capture_output=True,
                              timeout=10)
        return info.stdout.decode().strip() if info.returncode == 0 else None

    def logs(self):
        text = []
        for name in sorted(os.listdir(os.path.join(self.root, "logs"))):
            with open(os.path.join(self.root, "logs", name), "rb") as log:
                text.append(f"--- {name}\n" + log.read()[-2000:].decode(errors="replace"))
        return "\n".join(text)

    def start_pulse(self):
        """Starts pipewire-pulse and waits until it answers."""
        self._start("pipewire-pulse", ["pipewire-pulse"])
        self._wait_until(lambda: subprocess.run(["pactl", "info"], env=self.env,
                                                capture_output=True, timeout=10).returncode == 0,
                         "pipewire-pulse")

    def kill_pulse(self):
        """Ends pipewire-pulse as a crash would."""
        end(self.processes.pop("pipewire-pulse"), signal.SIGKILL)

    def record(self, path, rate=44100, channels=2):
        """Records what reaches the sink into a WAV file, until end() of the
        returned process with SIGINT."""
        log = open(os.path.join(self.root, "logs", "pw-record.log"), "ab")
        recorder = subprocess.Popen(
            ["pw-record", "-P", "{ stream.capture.sink=true }", "--target", self.sink,
             f"--rate={rate}", f"--channels={channels}", "--format=s16", path],
            env=self.env, stdin=subprocess.DEVNULL, stdout=log, stderr=log)
        log.close()
        return recorder

    def stop(self):
        for name in ("pipewire-pulse", "wireplumber", "pipewire", "dbus-daemon"):
            if name in self.processes:
                end(self.processes.pop(name))
