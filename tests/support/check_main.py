"""The main() of a check script: its arguments, a temporary folder to work
in, its problems printed as "FAIL: ..." and its closing verdict line."""

import argparse
import os
import shutil
import sys
import tempfile

SKIPPED = 77
PATHS = ("program", "module", "silent", "render")  # arguments made absolute


class Skipped(Exception):
    """The check cannot be taken here; its text says why."""


def need(tools, packages):
    """Exits when a tool is not installed: 77 (skipped), 1 under CI."""
    missing = [tool for tool in tools if shutil.which(tool) is None]
    if missing:
        print(f"not installed: {' '.join(missing)} (Debian: {packages})")
        sys.exit(1 if os.environ.get("CI") else SKIPPED)


def run(doc, check, options, title):
    """Parses `options` (name: keywords of add_argument, None for a required
    one) and calls check(args, work) in a temporary folder; it returns its
    problems. Prints them and the closing line, `title` formatted with the
    arguments, then ": passed" or ": failed" (or `title` called with the
    arguments and the problems), and exits 0, 1 or 77 (Skipped). A
    RuntimeError is a problem."""
    parser = argparse.ArgumentParser(description=doc.splitlines()[0])
    for name, keywords in options.items():
        parser.add_argument("--" + name, **(keywords or {"required": True}))
    args = parser.parse_args()
    for name in PATHS:
        if getattr(args, name, None):
            setattr(args, name, os.path.abspath(getattr(args, name)))
    name = title if callable(title) else lambda args, problems: title.format(**vars(args)) + (
        ": failed" if problems else ": passed")
    try:
        with tempfile.TemporaryDirectory(prefix="intro-check-") as work:
            problems = check(args, work)
    except RuntimeError as failure:
        problems = [str(failure)]
    except Skipped as why:
        print(f"{title.format(**vars(args))}: {why}")
        sys.exit(SKIPPED)
    for problem in problems:
        print("FAIL:", problem)
    print(name(args, problems))
    sys.exit(1 if problems else 0)
