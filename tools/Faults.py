"""How every check and test script of ours ends, written once so that each
reads alike in a CTest log: each fault on a line of its own, led by the same
word; then one line of what was looked at; and the shell's status, 1 when
anything was wrong. A script called with the wrong number of arguments says
its usage and ends with status 1 before it reads anything.
"""
import sys


def arguments(usage, counts):
    """The command line's arguments, when there are `counts` of them (a number or a range)."""
    given = sys.argv[1:]
    if len(given) not in (counts if isinstance(counts, range) else (counts,)):
        sys.exit(usage)
    return given


def verdict(faults, summary=None, word="FAULT"):
    """Says each fault, then the summary if any; the exit status."""
    for fault in faults:
        print(f"{word}: {fault}", flush=True)
    if summary:
        print(summary, flush=True)
    return 1 if faults else 0
