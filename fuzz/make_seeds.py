#!/usr/bin/env python3
"""Writes the seed corpus of the fuzz targets into corpus/<target>/.

The seeds are small inputs of the kinds each target reads: dialogue answers,
drawing calls in the draw target's encoding, and tiny music modules in the
four-channel ProTracker format, composed here. Run it again after changing
an encoding; the files it writes are kept in the tree.
"""

import struct
import sys
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE.parent / "tests" / "support"))
import intro_run  # noqa: E402


def write(target, name, data):
    folder = HERE / "corpus" / target
    folder.mkdir(parents=True, exist_ok=True)
    (folder / name).write_bytes(data)


# --- the dialogue ---------------------------------------------------------

DIALOGUES = {
    "presets": b"1\n4\n",
    "custom": intro_run.answers(100, 50, 3),
    "wrong-answers": b"x\n3 and more\n0\n4\n",
    "leading-blank": b"5\n 100\n007\n24\n5\n1000001\n",
    "too-large": b"5\n99999999999\n32767\n513\n512\n5\n2147483648\n2147483647\n",
    "ends-early": b"5\n80\n",
    "no-line-end": b"1\n4",
    "empty": b"",
}


# --- drawing calls ----------------------------------------------------------
# Canvas size bytes, then calls: operation, character, then coordinates. A
# coordinate byte below 0x80 is that byte less 32; a byte with its high bit
# set is followed by a whole 32-bit value, high byte first.

def small(value):
    return bytes([value + 32])


def full(value):
    return b"\x80" + struct.pack(">i", value)


def call(op, ch, *arguments):
    return bytes([op, ord(ch)]) + b"".join(arguments)


DRAWINGS = {
    "cells": bytes([11, 8]) + call(0, "a", small(3), small(2), struct.pack(">i", 321))
    + call(1, "b", small(11), small(7)) + call(1, "c", small(-1), small(0)),
    "text": bytes([9, 5]) + call(2, "t", small(-1), small(1), bytes([7]), b"AB\nZ q\n")
    + call(2, "t", full(2**31 - 1), small(0), bytes([3]), b"xyz"),
    "spans": bytes([11, 8]) + call(3, "-", small(10), small(3), small(4))
    + call(4, "|", small(30), small(-30), small(2)) + call(5, "#", small(4), small(3), small(2), small(1)),
    "lines": bytes([11, 8]) + call(6, "*", small(0), small(0), small(3), small(1))
    + call(7, "*", small(5), small(0), small(0), small(5))
    + call(6, "*", full(-32768), small(3), small(-1), small(7))
    + call(6, "*", full(-(2**31)), small(3), full(2**31 - 1), small(3)),
    "fill-and-glyphs": bytes([11, 8]) + call(8, " ", struct.pack(">i", ord(".")))
    + call(9, "g", small(-3), small(0), small(65)) + call(9, "g", small(0), small(0), full(103)),
    "trail": bytes([11, 8]) + call(10, "+", *[small(v) for v in (1, 2, 9, 6, 1, -1, -1, 1, 3, 2, 3, 2)], bytes([4]))
    + call(10, "x", full(-(2**31)), small(0), small(5), small(5), full(-(2**31)), small(1),
           small(1), small(1), full(2**31 - 1), small(1), small(1), small(1), bytes([7])),
    "scroller": bytes([11, 8]) + call(11, " ", small(0), small(4), small(1), small(1), small(1))
    + call(11, " ", full(2**31 - 1), full(-(2**31)), full(-(2**31)), small(-1), full(2**31 - 1)),
}


# --- music modules --------------------------------------------------------

def sample_header(name, length_words, volume=64, loop_start=0, loop_words=1):
    return (name.encode().ljust(22, b"\0") + struct.pack(">H", length_words) + bytes([0, volume])
            + struct.pack(">HH", loop_start, loop_words))


def cell(sample=0, period=0, effect=0, parameter=0):
    return bytes([(sample & 0xF0) | (period >> 8), period & 0xFF,
                  ((sample & 0x0F) << 4) | effect, parameter])


def pattern(rows):
    """rows: {row: [cell for channels 0 to 3]}; missing rows are empty."""
    data = b""
    for row in range(64):
        cells = rows.get(row, [])
        data += b"".join(cells) + cell() * (4 - len(cells))
    return data


def module(title, samples, orders, patterns, sample_data):
    headers = b"".join(samples) + sample_header("", 0) * (31 - len(samples))
    order_table = bytes(orders) + bytes(128 - len(orders))
    return (title.encode().ljust(20, b"\0") + headers + bytes([len(orders), 127]) + order_table
            + b"M.K." + b"".join(patterns) + sample_data)


SQUARE = bytes([0x60] * 16 + [0xA0] * 16)  # 32 bytes: one period
NOISE = bytes((i * 97 + 13) % 256 for i in range(64))

C2, E2, G2, C3 = 428, 339, 285, 214

MODULES = {
    # One pattern of plain notes; the song ends after it.
    "plain.mod": module(
        "plain", [sample_header("square", len(SQUARE) // 2, loop_start=0, loop_words=16)],
        [0], [pattern({row: [cell(1, (C2, E2, G2, C3)[row // 4 % 4])] for row in range(0, 64, 4)})],
        SQUARE),
    # Two samples and the pattern effects: speed, volume slide, arpeggio,
    # portamento, a pattern break and a jump back that loops the song.
    "effects.mod": module(
        "effects", [sample_header("square", 16, loop_start=0, loop_words=16),
                    sample_header("noise", 32, volume=40)],
        [0, 1, 0],
        [pattern({0: [cell(1, C2, 0xF, 3), cell(2, C3)], 4: [cell(1, E2, 0x0, 0x37)],
                  8: [cell(0, 0, 0xA, 0x0F), cell(2, G2, 0xC, 20)], 12: [cell(1, G2, 0x3, 8)],
                  16: [cell(0, 0, 0xD, 0)]}),
         pattern({0: [cell(2, C2, 0x4, 0x44)], 2: [cell(1, C3, 0xE, 0x91)],
                  6: [cell(0, 0, 0xB, 1)]})],
        SQUARE + NOISE),
}


def main():
    for name, data in DIALOGUES.items():
        write("dialogue", name, data)
    for name, data in DRAWINGS.items():
        write("draw", name, data)
    for name, data in MODULES.items():
        write("module", name, data)


if __name__ == "__main__":
    main()
