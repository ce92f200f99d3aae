"""What there is to try: the rooms of tools/mutants-rooms.txt (CMake reads it
too, to check every test's labels) and the C++ files each holds; every
mutant of a set of files, the same list for the same tree; a sample of N
chosen by a hash of each id, so a quick run always takes the same mutants;
the lines changed since a commit; and the reviewed equivalent mutants of
tools/mutants-equivalent.txt, whose entries that match no mutant any more
are stale and reported, never silently dropped.
"""
import hashlib
import re
import subprocess
from dataclasses import dataclass
from pathlib import Path

from .operators import Records, mutants

ROOMS_FILE, EQUIVALENTS_FILE = "tools/mutants-rooms.txt", "tools/mutants-equivalent.txt"
# The host's record formats: neighbouring fields the gauge and the bench read.
RECORD_FOLDERS = ("host/",)


class CatalogueError(Exception):
    pass


@dataclass
class Room:
    name: str
    presets: list
    include: list
    exclude: list

    def holds(self, path):
        def matches(pattern):
            return str(Path(path).parent) == pattern[:-2] if pattern.endswith("/*") else path.startswith(pattern)
        return any(map(matches, self.include)) and not any(map(matches, self.exclude))


def read_rooms(root):
    """The rooms in their listed order, and the other labels."""
    rooms, labels, path = [], [], Path(root) / ROOMS_FILE
    for number, line in enumerate(path.read_text().splitlines(), 1):
        words = line.split("#", 1)[0].split()
        if words[:1] == ["label"] and len(words) == 2:
            labels.append(words[1])
        elif words[:1] == ["room"] and len(words) >= 4:
            rooms.append(Room(words[1], words[2].split(","), [w for w in words[3:] if w[0] != "-"],
                              [w[1:] for w in words[3:] if w[0] == "-"]))
        elif words:
            raise CatalogueError(f"{path}:{number}: neither `room NAME PRESETS FILES...` nor `label NAME`: {line}")
    return rooms, labels


def git(root, *command):
    return subprocess.run(["git", *command], cwd=root, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)


def tree_files(root):
    """Every file of the working tree git would see (tracked or new, not
    ignored), sorted; the scratch trees are copies of exactly these."""
    names = git(root, "ls-files", "-z", "--cached", "--others", "--exclude-standard").stdout.split("\0")
    return sorted(n for n in set(names) if n and ((Path(root) / n).exists() or (Path(root) / n).is_symlink()))


def cpp_files(files):
    return [f for f in files if f.endswith((".cpp", ".h"))]


def room_of(rooms, path):
    return next((room for room in rooms if room.holds(path)), None)


def resolve(rooms, files, scope):
    """(room, its C++ files) for a room, or a folder or file within one room:
    one that spans rooms is refused, as its faults need several rooms' tests."""
    room = next((r for r in rooms if r.name == scope), None)
    if room:
        return room, [f for f in cpp_files(files) if room.holds(f)]
    chosen = [f for f in cpp_files(files) if f == scope.rstrip("/") or f.startswith(scope.rstrip("/") + "/")]
    owners = sorted({r.name for r in map(lambda f: room_of(rooms, f), chosen) if r})
    if not chosen:
        raise CatalogueError(f"'{scope}' is neither a room nor a folder or file of C++ sources in one")
    if len(owners) != 1:
        raise CatalogueError(f"'{scope}' holds sources of {', '.join(owners) or 'no room'}; "
                             "name one room, or a folder inside it")
    room = next(r for r in rooms if r.name == owners[0])
    return room, [f for f in chosen if room.holds(f)]


def records(root, rooms, files):
    known = Records()
    for name in cpp_files(files):
        if name.startswith(RECORD_FOLDERS) or room_of(rooms, name):
            known.read((Path(root) / name).read_text(errors="replace"))
    return known


def mutants_of(root, names, known, lines=None):
    """The mutants of the files, in file order; with `lines` ({file: line
    numbers}), only those that change one of those lines."""
    found = []
    for name in sorted(names):
        source = (Path(root) / name).read_text(errors="replace")
        found += [m for m in mutants(name, source, known) if lines is None or
                  set(range(m.line, m.line + source.count("\n", m.start, m.end) + 1)) & lines.get(name, set())]
    return found


def sample(everything, limit):
    """`limit` of the mutants, chosen by the hash of their ids, in list order:
    a larger sample holds the smaller."""
    if not limit or limit >= len(everything):
        return list(everything)
    ranked = sorted(everything, key=lambda m: hashlib.sha256(m.id.encode()).hexdigest())[:limit]
    return [m for m in everything if m in ranked]


def changed_lines(root, ref):
    """{file: the numbers of its lines added or changed since commit `ref`},
    the working tree's own changes and its new files included."""
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


@dataclass
class Entry:
    id: str
    why: str
    where: str  # "tools/mutants-equivalent.txt:12", for messages

    @property
    def file(self):
        return self.id.split(":", 1)[0]


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
            entries.append(Entry(" ".join(mutant.split()), why.strip(), where))
    return entries


def split(entries, everything, files):
    """The ids of the listed mutants among `everything`, and the stale
    entries: those naming one of `files` (all of whose mutants are in
    `everything`) that match none of them."""
    ids = {m.id for m in everything}
    return {e.id for e in entries} & ids, [e for e in entries if e.id not in ids and e.file in set(files)]
