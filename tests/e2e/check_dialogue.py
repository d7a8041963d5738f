#!/usr/bin/env python3
"""End-to-end check of how the intro's dialogue ends through pipes.

When standard input ends before the dialogue is done, the program must stop
at once with exit status 1, one line on standard error, and no frame: only the
dialogue printed so far (a line end closing the unanswered prompt line is
allowed). Out-of-range numbers are refused with the entry's error message and
the prompt again. Each case here runs out of input at the end, so every case
also checks the stop.

Usage: check_dialogue.py --program PATH [--variant silent|music]
"""

import argparse
import os
import sys
import tempfile

import intro_model as model

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import intro_run  # noqa: E402

CASES = [
    ("empty input", b""),
    ("end of input at the screen menu", b"7\n"),
    ("end of input inside the width entry", b"5\n12"),
    ("end of input at the height prompt", b"5\n80\n"),
    ("end of input at the fps menu", b"1\n"),
    ("width too large for 32 bits", b"5\n99999999999\n"),
    ("width 32768, beyond the fixed-point range", b"5\n32768\n"),
    ("width 32767 accepted", b"5\n32767\n"),
    ("5000 x 5000 cells, too many", b"5\n5000\n5000\n"),
    ("4096 x 4096 cells, the most accepted", b"5\n4096\n4096\n"),
]

TIMEOUT = 5.0  # "at once": a hang or a read loop on end of input fails here



def check_case(program, variant, answers):
    """Run one case; returns a list of problems (empty when it passes)."""
    expected, settings = model.simulate_dialogue(variant, answers)
    assert settings is None, "every case must run out of input"
    with tempfile.TemporaryDirectory() as cwd:
        result = intro_run.run_to_end(program, answers, TIMEOUT, cwd)
    if result is None:
        return [f"still running after {TIMEOUT} s"]
    problems = []
    if result.returncode != 1:
        problems.append(f"exit status {result.returncode}, expected 1")
    if result.stdout not in (expected, expected + b"\n"):
        i = next((k for k, (a, b) in enumerate(zip(expected, result.stdout)) if a != b),
                 min(len(expected), len(result.stdout)))
        problems.append(f"standard output differs at byte {i} "
                        f"({len(result.stdout)} bytes, expected {len(expected)}):\n"
                        f"    expected: {expected[max(0, i - 40):i + 40]!r}\n"
                        f"    got:      {result.stdout[max(0, i - 40):i + 40]!r}")
    lines = result.stderr.splitlines(keepends=True)
    if variant == "music":
        lines = [l for l in lines if not l.startswith(model.MUSIC_STDERR_PREFIXES)]
    if len(lines) != 1 or not lines[0].endswith(b"\n") or len(lines[0]) < 2:
        problems.append(f"standard error is not exactly one line: {result.stderr!r}")
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--program", required=True)
    parser.add_argument("--variant", choices=sorted(model.VARIANTS), default="silent")
    args = parser.parse_args()
    program = os.path.abspath(args.program)
    failed = 0
    for name, answers in CASES:
        problems = check_case(program, args.variant, answers)
        print(f"{'FAIL' if problems else 'ok  '} {name} (answers {answers!r})")
        for p in problems:
            print("  " + p)
        failed += bool(problems)
    print(f"{len(CASES) - failed} of {len(CASES)} cases passed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
