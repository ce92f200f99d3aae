"""What there is to try: every mutant of a set of files, the same for the
same tree; a sample chosen by a hash of each id, the same every run; the
lines changed since a commit; and the equivalent mutants reviewed in
tools/mutants-equivalent.txt, an entry matching none said to be stale.
"""
import hashlib
import re
import subprocess
from collections import namedtuple
from pathlib import Path

from Rooms import RoomsError as CatalogueError, room_of
from .cpp import Records
from .operators import mutants

EQUIVALENTS_FILE = "tools/mutants-equivalent.txt"
# The host's record formats: neighbouring fields the gauge and the bench read.
RECORD_FOLDERS = ("host/",)
# where: "tools/mutants-equivalent.txt:12", for messages.
Entry = namedtuple("Entry", "id file why where")


def git(root, *command):
    return subprocess.run(["git", *command], cwd=root, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)


class Tree:
    """The working tree as git sees it (tracked or new, not ignored), the listed equivalents and records."""

    def __init__(self, root, rooms):
        self.root = Path(root)
        names = git(root, "ls-files", "-z", "--cached", "--others", "--exclude-standard").stdout.split("\0")
        self.files = sorted(n for n in set(names) if n and (self.root / n).exists())
        self.cpp = [f for f in self.files if f.endswith((".cpp", ".h"))]
        self.entries, self.known = read_equivalents(root), Records()
        for name in self.cpp:
            if name.startswith(RECORD_FOLDERS) or room_of(rooms, name):
                self.known.read((self.root / name).read_text(errors="replace"))

    def mutants(self, names, lines=None):
        """The mutants of the files, in order; with `lines` ({file: numbers}), those that change one."""
        found = []
        for name in sorted(names):
            source = (self.root / name).read_text(errors="replace")
            found += [m for m in mutants(name, source, self.known) if lines is None or
                      set(range(m.line, m.line + source.count("\n", m.start, m.end) + 1)) & lines.get(name, set())]
        return found


def resolve(rooms, cpp, scope):
    """(room, its C++ files) for a room, or a folder or file within one (never across rooms' tests)."""
    room = next((r for r in rooms if r.name == scope), None)
    if room:
        return room, [f for f in cpp if room.holds(f)]
    chosen = [f for f in cpp if f == scope.rstrip("/") or f.startswith(scope.rstrip("/") + "/")]
    owners = sorted({r.name for r in map(lambda f: room_of(rooms, f), chosen) if r})
    if not chosen:
        raise CatalogueError(f"'{scope}' is neither a room nor a folder or file of C++ sources in one")
    if len(owners) != 1:
        raise CatalogueError(f"'{scope}' holds sources of {', '.join(owners) or 'no room'}; "
                             "name one room, or a folder inside it")
    room = next(r for r in rooms if r.name == owners[0])
    return room, [f for f in chosen if room.holds(f)]


def sample(everything, limit):
    """`limit` of the mutants chosen by the hash of their ids, in order: a larger sample holds the smaller."""
    if not limit or limit >= len(everything):
        return list(everything)
    ranked = sorted(everything, key=lambda m: hashlib.sha256(m.id.encode()).hexdigest())[:limit]
    return [m for m in everything if m in ranked]


def changed_lines(root, ref):
    """{file: numbers of its lines added or changed since `ref`}, the working tree's and new files' too."""
    diff = git(root, "diff", "-U0", "--no-color", "--no-renames", ref, "--")
    if diff.returncode:
        raise CatalogueError(f"git cannot compare with '{ref}': {diff.stderr.strip()}")
    lines = added_lines(diff.stdout)
    for name in git(root, "ls-files", "-z", "--others", "--exclude-standard").stdout.split("\0"):
        if name:
            lines[name] = set(range(1, len((Path(root) / name).read_bytes().splitlines()) + 2))
    return lines


def added_lines(diff):
    """{file: numbers of the lines a `git diff -U0` adds or changes}."""
    lines, name, header = {}, None, False
    for line in diff.splitlines():
        hunk = re.match(r"@@ -\S+ \+(\d+)(?:,(\d+))? @@", line)
        if line.startswith("diff --git "):
            name, header = None, True
        elif header and line.startswith("+++ "):
            # A line the change adds that reads "++ x" is "+++ x" in a hunk.
            name = line[6:] if line.startswith("+++ b/") else None
        elif hunk and name:
            header = False
            lines.setdefault(name, set()).update(range(int(hunk[1]), int(hunk[1]) + int(hunk[2] or 1)))
    return lines


def read_equivalents(root):
    """The listed mutants, each `ID | WHY`, the id as `tools/mutate --list` prints it."""
    path, entries = Path(root) / EQUIVALENTS_FILE, []
    for number, line in enumerate(path.read_text().splitlines() if path.exists() else [], 1):
        if line.strip() and not line.lstrip().startswith("#"):
            where = f"{EQUIVALENTS_FILE}:{number}"
            mutant, _, why = line.rpartition(" | ")
            if not re.match(r"\S+:\S+ [a-z]+ .* → .", mutant.strip()):
                raise CatalogueError(f"{where}: not `FILE:FUNCTION[#N] OPERATOR BEFORE → AFTER | WHY`: {line}")
            if not why.strip():
                raise CatalogueError(f"{where}: says no reason why no test can tell it apart")
            mutant = " ".join(mutant.split())
            entries.append(Entry(mutant, mutant.split(":", 1)[0], why.strip(), where))
    return entries


def split(entries, everything, files):
    """The listed ids among `everything` (all mutants of `files`), and the entries of `files` matching none."""
    ids = {m.id for m in everything}
    return {e.id for e in entries} & ids, [e for e in entries if e.id not in ids and e.file in set(files)]
