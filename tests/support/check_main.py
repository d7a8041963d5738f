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


def report(name, problems):
    """Prints "ok   name" for a case without problems; else returns the case
    as one problem for run to print, each of its problems on a line below."""
    if not problems:
        print("ok  ", name)
        return []
    return [name + "".join(f"\n     {problem}" for problem in problems)]


def run(doc, check, options, title=None):
    """Parses `options` (name: keywords of add_argument, None for a required
    one), calls check(args, work) in a temporary folder and prints the
    problems it returns (a RuntimeError is one), then a closing line:
    `title` formatted with the arguments and ": passed" or ": failed", or
    title(args, problems) when it is a function; none without a title.
    Exits 0, 1 or 77 (Skipped, its text after the title)."""
    parser = argparse.ArgumentParser(description=doc.splitlines()[0])
    for name, keywords in options.items():
        parser.add_argument("--" + name, **(keywords or {"required": True}))
    args = parser.parse_args()
    for name in PATHS:
        if getattr(args, name, None):
            setattr(args, name, os.path.abspath(getattr(args, name)))
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
    if title:
        print(title(args, problems) if callable(title)
              else title.format(**vars(args)) + (": failed" if problems else ": passed"))
    sys.exit(1 if problems else 0)
