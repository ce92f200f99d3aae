#!/usr/bin/env python3
"""Checks that CI guards the order a newcomer uses: the README's two commands,
`make demo` then `make test`, are what .ci/run runs, in that order. A demo
that leaves Wine in a state the tests trip over shows up only in that order.

    CheckFrontDoor.py SOURCE-ROOT
"""
import re
import sys
from pathlib import Path

# No bytecode left in the source tree by a check.
sys.dont_write_bytecode = True
from Faults import arguments, verdict  # noqa: E402

EXPECTED = ["make demo", "make test"]


def main(root):
    root = Path(root)
    readme = (root / "README.md").read_text()
    # The commands the README gives as indented command lines.
    told = [line.strip() for line in readme.splitlines() if re.fullmatch(r"    make \w+", line)]
    run = [line.strip() for line in (root / ".ci" / "run").read_text().splitlines()
           if re.match(r"\s*make\b", line)]
    faults = []
    if told != EXPECTED:
        faults.append(f"the README tells a newcomer to run {told}, not {EXPECTED}")
    if run != EXPECTED:
        faults.append(f".ci/run runs {run}, not {EXPECTED} in that order")
    return verdict(faults, None if faults else f"CI runs {' then '.join(EXPECTED)}, as the README says")


if __name__ == "__main__":
    sys.exit(main(*arguments(__doc__, 1)))
