"""The hand-reviewed list of equivalent mutants, tools/mutants-equivalent.txt:
faults no test can tell apart from the code as written, each with the reason.
A run counts a listed mutant as equivalent instead of trying it; an entry
that matches no mutant any more (the line moved, the code changed) is stale
and is reported, never silently dropped.

    FILE:LINE[:COLUMN] OPERATOR BEFORE → AFTER | WHY
"""
from dataclasses import dataclass
from pathlib import Path

EQUIVALENTS_FILE = "tools/mutants-equivalent.txt"


@dataclass
class Entry:
    file: str
    line: int
    column: object  # int, or None for any column of the line
    operator: str
    before: str
    after: str
    why: str
    where: str       # "tools/mutants-equivalent.txt:12", for messages

    def matches(self, mutant):
        return (mutant.file, mutant.line, mutant.operator, mutant.before, mutant.after) == \
            (self.file, self.line, self.operator, self.before, self.after) and \
            self.column in (None, mutant.column)

    def text(self):
        column = f":{self.column}" if self.column else ""
        return f"{self.file}:{self.line}{column} {self.operator} {self.before} → {self.after}"


class EquivalentsError(Exception):
    pass


def read_equivalents(root):
    path = Path(root) / EQUIVALENTS_FILE
    if not path.exists():
        return []
    entries = []
    for number, raw in enumerate(path.read_text().splitlines(), 1):
        line = raw.strip()
        if not line or line.startswith("#"):
            continue
        where = f"{EQUIVALENTS_FILE}:{number}"
        try:
            place, operator, rest = line.split(None, 2)
            change, why = rest.rsplit(" | ", 1)
            before, after = change.split(" → ", 1)
            parts = place.split(":")
            file, line_number = parts[0], int(parts[1])
            column = int(parts[2]) if len(parts) > 2 else None
        except ValueError:
            raise EquivalentsError(f"{where}: not `FILE:LINE[:COLUMN] OPERATOR BEFORE → AFTER | WHY`: {line}")
        if not why.strip():
            raise EquivalentsError(f"{where}: says no reason why no test can tell it apart")
        entries.append(Entry(file, line_number, column, operator, before.strip(), after.strip(), why.strip(), where))
    return entries


def split(entries, mutants, files):
    """The ids of the listed mutants among `mutants`, and the stale entries:
    those naming one of `files` (every mutant of which is in `mutants`)
    that match no mutant."""
    equivalent = set()
    used = set()
    for m in mutants:
        for k, e in enumerate(entries):
            if e.matches(m):
                equivalent.add(m.id)
                used.add(k)
    files = set(files)
    stale = [e for k, e in enumerate(entries) if k not in used and e.file in files]
    return equivalent, stale
