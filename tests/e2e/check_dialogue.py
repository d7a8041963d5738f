#!/usr/bin/env python3
"""End-to-end check of how the intro's dialogue ends through pipes.

When standard input ends before the dialogue is done, the program must stop
at once with exit status 1, one line on standard error, and no frame: only the
dialogue printed so far (a line end closing the unanswered prompt line is
allowed). Out-of-range numbers are refused with the entry's error message and
the prompt again. Each case here runs out of input at the end, so every case
also checks the stop.

-h/--help and -V/--version answer with the usage and the version on
standard output, status 0 and no dialogue; any other argument changes
nothing.

Usage: check_dialogue.py --program PATH --project-version X.Y.Z [--variant silent|music]
"""

import os
import sys
import tempfile

import intro_model as model

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import check_main  # noqa: E402
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

# Arguments other than the two options, each of which must leave the
# dialogue byte for byte as it is without arguments.
IGNORED_ARGUMENTS = [("--frobnicate",), ("-x", "80", "25"), ("help",), ("--",)]

TIMEOUT = 5.0  # "at once": a hang or a read loop on end of input fails here


def check_case(program, variant, answers, arguments=()):
    """Run one case; returns a list of problems (empty when it passes)."""
    expected, settings = model.simulate_dialogue(variant, answers)
    assert settings is None, "every case must run out of input"
    with tempfile.TemporaryDirectory() as cwd:
        result = intro_run.run_to_end(program, answers, TIMEOUT, cwd, arguments)
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


def check_options(program, variant, version):
    """Both spellings of each option give the same answer, on standard
    output alone, with status 0 and without the dialogue (whose input is
    empty, so a dialogue would end with status 1); the other arguments are
    ignored."""
    name = os.path.basename(program)
    answers = {}
    problems = []
    with tempfile.TemporaryDirectory() as cwd:
        for option in ("-h", "--help", "-V", "--version"):
            result = intro_run.run_to_end(program, b"", TIMEOUT, cwd, (option,))
            if result is None:
                problems.append(f"{option}: still running after {TIMEOUT} s")
                continue
            if result.returncode != 0 or result.stderr:
                problems.append(f"{option}: status {result.returncode}, "
                                f"standard error {result.stderr!r}")
            answers[option] = result.stdout
    usage = answers.get("--help", b"")
    wanted = [f"Usage: {name} ".encode(), b"Ctrl-c", b"man blumot"]
    if variant == "music":
        wanted.append(b"blumot.mod")
    missing = [text for text in wanted if text not in usage]
    if missing or b"\033[" in usage:
        problems.append(f"--help lacks {missing} or holds the banner: {usage!r}")
    if answers.get("--version") != f"{name} (blumot) {version}\n".encode():
        problems.append(f"--version answers {answers.get('--version')!r}")
    for short, long in (("-h", "--help"), ("-V", "--version")):
        if short in answers and long in answers and answers[short] != answers[long]:
            problems.append(f"{short} and {long} answer differently")
    for arguments in IGNORED_ARGUMENTS:
        problems += [f"{arguments}: {p}" for p in check_case(program, variant, b"1\n", arguments)]
    return problems


def check(args, work):
    failed = []
    for name, answers in CASES:
        failed += check_main.report(f"{name} (answers {answers!r})",
                                    check_case(args.program, args.variant, answers))
    return failed + check_main.report("options", check_options(args.program, args.variant,
                                                               args.project_version))


if __name__ == "__main__":
    check_main.run(__doc__, check, {
        "program": None, "project-version": None,
        "variant": {"choices": sorted(model.VARIANTS), "default": "silent"}},
        lambda args, failed: f"{len(CASES) + 1 - len(failed)} of {len(CASES) + 1} cases passed")
