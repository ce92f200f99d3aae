"""The rooms of the code, read from tools/mutants-rooms.txt (which CMake reads
too, to check every test's labels), the C++ files each holds, and what a run
was asked for: a room by name, or a folder or file inside one room. A file
belongs to one room at most; a path that spans rooms is refused, since its
faults would need several rooms' tests.
"""
import subprocess
from dataclasses import dataclass
from pathlib import Path

ROOMS_FILE = "tools/mutants-rooms.txt"
SUFFIXES = (".cpp", ".h")


@dataclass
class Room:
    name: str
    presets: list
    include: list
    exclude: list

    def holds(self, path):
        return any(_matches(path, p) for p in self.include) and not any(_matches(path, p) for p in self.exclude)


def _matches(path, pattern):
    if pattern.endswith("/*"):
        return str(Path(path).parent) == pattern[:-2]
    return path.startswith(pattern)


class RoomsError(Exception):
    pass


def read_rooms(root):
    """The rooms in their listed order, and the other labels."""
    rooms, labels = [], []
    path = Path(root) / ROOMS_FILE
    for number, line in enumerate(path.read_text().splitlines(), 1):
        words = line.split("#", 1)[0].split()
        if not words:
            continue
        if words[0] == "label" and len(words) == 2:
            labels.append(words[1])
        elif words[0] == "room" and len(words) >= 4:
            include = [w for w in words[3:] if not w.startswith("-")]
            exclude = [w[1:] for w in words[3:] if w.startswith("-")]
            rooms.append(Room(words[1], words[2].split(","), include, exclude))
        else:
            raise RoomsError(f"{path}:{number}: neither `room NAME PRESETS FILES...` nor `label NAME`: {line.strip()}")
    return rooms, labels


def tree_files(root):
    """Every file of the working tree that git would see (tracked or new,
    not ignored), sorted; the scratch trees are copies of exactly these."""
    out = subprocess.run(["git", "ls-files", "-z", "--cached", "--others", "--exclude-standard"],
                         cwd=root, stdout=subprocess.PIPE, check=True).stdout
    names = sorted({n for n in out.decode().split("\0") if n})
    return [n for n in names if (Path(root) / n).exists() or (Path(root) / n).is_symlink()]


def cpp_files(files):
    return [f for f in files if f.endswith(SUFFIXES)]


def room_of(rooms, path):
    for room in rooms:
        if room.holds(path):
            return room
    return None


def resolve(rooms, files, scope):
    """(room, files) for what a run names: a room, or a folder or file that
    lies within one room."""
    by_name = {r.name: r for r in rooms}
    if scope in by_name:
        room = by_name[scope]
        return room, [f for f in cpp_files(files) if room.holds(f)]
    wanted = scope.rstrip("/")
    chosen = [f for f in cpp_files(files) if f == wanted or f.startswith(wanted + "/")]
    if not chosen:
        raise RoomsError(f"'{scope}' is neither a room nor a folder or file of C++ sources in one")
    owners = sorted({r.name for f in chosen for r in [room_of(rooms, f)] if r})
    if len(owners) != 1:
        names = ", ".join(owners) if owners else "no room"
        raise RoomsError(f"'{scope}' holds sources of {names}; name one room, or a folder inside it")
    room = by_name[owners[0]]
    return room, [f for f in chosen if room.holds(f)]
