#!/usr/bin/env python3
"""Captures one real frame of intro-silent at 80x25 for the README.

Runs the program without pause, reads frames up to the chosen one and
writes it as a text block between the README's frame markers, replacing
the frame that was there. Blanks at the ends of the rows are dropped, which
shows the same; the hidden last column is not part of a frame anyway. The
trails start where the clock's seed puts them, so every capture differs.

Usage: capture_frame.py --program PATH [--frame 300] [--readme README.md]
"""

import argparse
import re
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "support"))
import intro_run  # noqa: E402

BEGIN = "<!-- frame: scripts/capture-frame.sh writes what follows -->"
END = "<!-- end of frame -->"
WIDTH, HEIGHT = 80, 25


def capture(program, number):
    run = intro_run.Run(program, WIDTH, HEIGHT, intro_run.NO_PAUSE)
    try:
        run.skip_dialogue()
        frame_size = WIDTH * HEIGHT
        data = run.read_exactly(number * frame_size)
    finally:
        run.stop()
    frame = data[-frame_size:].decode("ascii")
    assert len(data) == number * frame_size and frame.startswith("\n"), "short output"
    return [row.rstrip(" ") for row in frame[1:].split("\n")]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--frame", type=int, default=300)
    parser.add_argument("--readme")
    args = parser.parse_args()
    rows = capture(args.program, args.frame)
    block = "\n".join([BEGIN, "", "```text", *rows, "```", "", END])
    if not args.readme:
        print(block)
        return 0
    with open(args.readme) as readme:
        text = readme.read()
    pattern = re.compile(re.escape(BEGIN) + ".*?" + re.escape(END), re.S)
    if not pattern.search(text):
        sys.exit(f"{args.readme} has no frame markers:\n{BEGIN}\n{END}")
    with open(args.readme, "w") as readme:
        readme.write(pattern.sub(lambda _: block, text, count=1))
    print(f"frame {args.frame} written into {args.readme}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
