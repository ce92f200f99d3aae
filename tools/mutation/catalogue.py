"""Every mutant of a set of files, the same list for the same tree: files in
sorted order, mutants in the order of their place in the file, and a sample
of N chosen by a hash of each mutant's id, so that a quick run always takes
the same mutants and spreads over files and operators alike.
"""
import hashlib
from pathlib import Path

from .operators import Finder
from .records import Records
from .rooms import cpp_files

# The host's record formats: neighbouring fields the gauge and the bench read.
RECORD_FOLDERS = ("host/",)


def records(root, rooms, files):
    r = Records()
    for name in cpp_files(files):
        if name.startswith(RECORD_FOLDERS) or any(room.holds(name) for room in rooms):
            r.read((Path(root) / name).read_text(errors="replace"))
    return r


def mutants_of(root, names, known_records):
    found = []
    for name in sorted(names):
        source = (Path(root) / name).read_text(errors="replace")
        found.extend(Finder(name, source, known_records).mutants())
    return found


def sample(mutants, limit):
    """`limit` of the mutants, chosen by the hash of their ids, in list order."""
    if not limit or limit >= len(mutants):
        return list(mutants)
    ranked = sorted(mutants, key=lambda m: hashlib.sha256(m.id.encode()).hexdigest())
    chosen = {id(m) for m in ranked[:limit]}
    return [m for m in mutants if id(m) in chosen]
