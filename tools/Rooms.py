"""The rooms of the code, read from tools/mutants-rooms.txt: the list says
which room holds each file, and so which tests a change needs (tools/check),
where faults are made (tools/mutate) and which labels a test may carry
(CMake reads the file on its own). Standard library only, as every tool
that reads it must run on Debian's python3 with nothing beside it.
"""
import re
from dataclasses import dataclass
from pathlib import Path

ROOMS_FILE = "tools/mutants-rooms.txt"


class RoomsError(Exception):
    pass


@dataclass
class Room:
    name: str
    presets: list  # the builds its faults are tried in, in order
    include: list  # "dir/": everything below dir; "dir/*": the files directly in it
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
            raise RoomsError(f"{path}:{number}: neither `room NAME PRESETS FILES...` nor `label NAME`: {line}")
    return rooms, labels


def exactly(names):
    """A CTest regular expression matching exactly these names, labels or tests."""
    return "^(" + "|".join(re.sub(r"([][^$.()*+?|\\{}])", r"\\\1", n) for n in sorted(names)) + ")$"


def tests_target(name):
    """The build target of every test a label names (CMake makes one a label)."""
    return "room_tests_" + name.replace("/", "_")


def room_of(rooms, path):
    return next((room for room in rooms if room.holds(path)), None)
