"""The environment in which intro looks for a PulseAudio server: a private
runtime folder and home, no autospawn, and one given server socket, so a
test never reaches the desktop's server or starts one by accident."""

import os


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
