#!/usr/bin/env python3
"""Checks what the two programs link: `intro-silent` needs nothing beyond the
C and C++ standard libraries (and, in a sanitizer build, the sanitizers'
runtimes) and holds none of the music code; `intro` needs libmikmod.

Reads the programs' dynamic sections and symbol tables with readelf.

Usage: check_linkage.py --silent PATH --music PATH
"""

import os
import re
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests",
                                "support"))
import check_main  # noqa: E402

STANDARD = re.compile(r"^(libc|libm|libstdc\+\+|libgcc_s|ld-linux[-\w]*)\.so(\.\d+)*$")
SANITIZERS = re.compile(r"^lib(asan|ubsan|lsan|tsan)\.so(\.\d+)*$")
MUSIC_SYMBOLS = re.compile(r"\b(MikMod_\w+|Player_\w+|md_mode|music_start|music_play)\b")


def readelf(*arguments):
    result = subprocess.run(["readelf", "--wide", *arguments], capture_output=True, text=True,
                            check=True)
    return result.stdout


def needed(program):
    return re.findall(r"\(NEEDED\)\s+Shared library: \[([^\]]+)\]", readelf("--dynamic", program))


def check(args, work):
    problems = []
    silent_needs = needed(args.silent)
    for library in silent_needs:
        if not (STANDARD.match(library) or SANITIZERS.match(library)):
            problems.append(f"intro-silent needs {library}")
    music_code = sorted(set(MUSIC_SYMBOLS.findall(readelf("--syms", args.silent))))
    if music_code:
        problems.append(f"intro-silent holds music code: {' '.join(music_code[:10])}")
    music_needs = needed(args.music)
    if not any(library.startswith("libmikmod.so") for library in music_needs):
        problems.append(f"intro does not need libmikmod: {music_needs}")

    print("intro-silent needs:", " ".join(silent_needs))
    print("intro needs:", " ".join(music_needs))
    return problems


if __name__ == "__main__":
    check_main.run(__doc__, check, {"silent": None, "music": None})
