"""Where a line of a file measured at one commit stands in the file as it is
now, so that a survivor tried again after the code changed is the same fault,
and a survivor of code that is gone leaves the report instead of standing as
a fault nobody can find.
"""
import difflib


def now_at(old, new, line):
    """The lines of `new` (1-based) where line `line` of `old` may stand now.

    The one line the edit from `old` to `new` kept it as, when it kept it.
    Otherwise the lines that read as it read and are new to `new`: code moved
    or copied elsewhere. A line that reads the same and was already there
    before is another line of the same text, whose faults were faults of
    their own: the line is not it. Empty when the line is gone."""
    kept = {}
    for tag, i1, i2, j1, _ in difflib.SequenceMatcher(None, old, new, autojunk=False).get_opcodes():
        if tag == "equal":
            kept.update({i1 + k + 1: j1 + k + 1 for k in range(i2 - i1)})
    if line in kept:
        return [kept[line]]
    if not 0 < line <= len(old):
        return []
    there_before = set(kept.values())
    return [j + 1 for j, text in enumerate(new) if text == old[line - 1] and j + 1 not in there_before]


def reads_at(lines, line, column, before):
    """Whether the code of `lines` from `line`:`column` (1-based) on reads as
    a mutant's `before` text, spacing and line breaks aside: a statement may
    run over several lines, and a long `before` is cut short with "…"."""
    if not 0 < line <= len(lines):
        return False
    wanted = "".join(before.split("…")[0].split())
    rest, k = "".join(lines[line - 1][column - 1:].split()), line
    while len(rest) < len(wanted) and k < len(lines):
        rest += "".join(lines[k].split())
        k += 1
    return rest.startswith(wanted)
