#!/usr/bin/env python3
"""Makes the README's moving picture: real frames of intro-silent at 80x25,
shown one after another at 25 frames a second by an SVG with CSS alone.

The program runs without pause; its frames are the ones a run at 25 fps
shows, since the animation steps once a frame and reads no clock. The
frames stand one below the other in a tall strip, and a CSS animation moves
the strip up by one screen every 40 ms, in whole steps, behind a clip of
one screen. Every run of characters is placed on the cell grid and
stretched with textLength to whole cells, so any monospace font keeps the
columns; blanks at the ends of a row are dropped, and a long stretch of
blanks splits a row. The trails start where the clock's seed puts them, so
every picture differs.

Usage: frames_svg.py --program PATH --output FILE [--first 300] [--frames 100]
"""

import argparse
import os
import re
import sys
from xml.sax.saxutils import escape

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..",
                                "tests", "support"))
import intro_run  # noqa: E402

WIDTH, HEIGHT = 80, 25
RATE = 25  # frames a second, as a terminal shows them
CELL_WIDTH, LINE_HEIGHT, FONT_SIZE, BASELINE = 10, 20, 16, 15
SCREEN_WIDTH, SCREEN_HEIGHT = WIDTH * CELL_WIDTH, HEIGHT * LINE_HEIGHT
MARGIN = 8
# A row's runs of characters, split where more than GAP_MAX blanks stand
# between: a text of its own costs about as many bytes of markup.
GAP_MAX = 40
RUN = re.compile(r"\S+(?: {1,%d}\S+)*" % GAP_MAX)


def read_frames(program, first, count):
    """Frames first to first + count - 1 (counted from 1), each a list of
    rows; a frame is a line end and the rows, which end in line ends but
    the last."""
    run = intro_run.Run(program, WIDTH, HEIGHT, intro_run.NO_PAUSE)
    try:
        run.skip_dialogue()
        size = WIDTH * HEIGHT
        data = run.read_exactly((first - 1 + count) * size)
    finally:
        run.stop()
    if len(data) != (first - 1 + count) * size:
        sys.exit(f"the program ended after {len(data)} bytes")
    frames = []
    for start in range((first - 1) * size, len(data), size):
        frame = data[start:start + size].decode("ascii")
        assert frame.startswith("\n"), "a frame starts with a line end"
        frames.append(frame[1:].split("\n"))
    return frames


def row_texts(row, y):
    """The SVG texts of one row: each run of characters at its column."""
    texts = []
    for match in RUN.finditer(row):
        run, column = match.group(), match.start()
        stretch = f' textLength="{len(run) * CELL_WIDTH}"' if len(run) > 1 else ""
        texts.append(f'<text x="{column * CELL_WIDTH}" y="{y}"{stretch}>{escape(run)}</text>')
    return texts


def svg(frames):
    count = len(frames)
    seconds = count / RATE
    lines = [
        f'<svg xmlns="http://www.w3.org/2000/svg" width="{SCREEN_WIDTH + 2 * MARGIN}" '
        f'height="{SCREEN_HEIGHT + 2 * MARGIN}" xml:space="preserve">',
        "<title>BLUMOT: intro-silent at 80x25, 25 frames a second</title>",
        "<style>",
        "text{white-space:pre;font-family:'DejaVu Sans Mono',Menlo,Consolas,monospace;"
        f"font-size:{FONT_SIZE}px;fill:#d8d8d8}}",
        f".strip{{animation:roll {seconds:g}s steps({count}) infinite}}",
        f"@keyframes roll{{to{{transform:translateY(-{count * SCREEN_HEIGHT}px)}}}}",
        "</style>",
        '<rect width="100%" height="100%" fill="#101014"/>',
        f'<clipPath id="screen"><rect width="{SCREEN_WIDTH}" height="{SCREEN_HEIGHT}"/></clipPath>',
        f'<g transform="translate({MARGIN} {MARGIN})"><g clip-path="url(#screen)"><g class="strip">',
    ]
    for number, rows in enumerate(frames):
        top = number * SCREEN_HEIGHT
        for line, row in enumerate(rows):
            lines += row_texts(row, top + line * LINE_HEIGHT + BASELINE)
    lines.append("</g></g></g></svg>")
    return "\n".join(lines) + "\n"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--program", required=True)
    parser.add_argument("--output", required=True)
    parser.add_argument("--first", type=int, default=300)
    parser.add_argument("--frames", type=int, default=4 * RATE)
    args = parser.parse_args()
    if args.first < 1 or args.frames < 1:
        parser.error("frames are counted from 1, and at least one is taken")
    picture = svg(read_frames(args.program, args.first, args.frames))
    with open(args.output, "w") as out:
        out.write(picture)
    print(f"{args.output}: frames {args.first} to {args.first + args.frames - 1}, "
          f"{len(picture.encode())} bytes")
    return 0


if __name__ == "__main__":
    sys.exit(main())
