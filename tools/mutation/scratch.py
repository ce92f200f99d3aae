"""The scratch trees faults are made in: one copy of the working tree per
kind of build, under build/mutants/trees/, each with its own build folder,
kept between runs so that every build after the first is incremental. A
copy is brought up to date file by file (unchanged files keep their times,
so make rebuilds only what changed); the checkout itself is only ever read.
"""
import hashlib
import json
import os
import re
import shlex
import shutil
import subprocess
import time
from dataclasses import dataclass, field
from pathlib import Path

TREES = Path("build/mutants/trees")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)


@dataclass
class Preset:
    """A build that faults are tried in: the tree it lives in, how it is
    configured and built, and which build folder runs the tests."""
    name: str
    tree: str
    configure: list
    build_dir: str
    test_dir: str
    # Builds of other presets of the same tree its tests need first, by name.
    needs: list = field(default_factory=list)
    wine: bool = False


def _launchers():
    if shutil.which("ccache"):
        return ["-DCMAKE_C_COMPILER_LAUNCHER=ccache", "-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"]
    return []


def presets():
    export = ["-DCMAKE_EXPORT_COMPILE_COMMANDS=ON"]
    return {
        "mutants": Preset("mutants", "native", ["cmake", "--preset", "mutants", *_launchers()],
                          "build/mutants-build", "build/mutants-build"),
        # The sanitized build: a fault that reads past a buffer or leaks
        # without changing what any test sees shows here, so faults the
        # quick build lets pass can be tried in it.
        "native": Preset("native", "native", ["cmake", "--preset", "native", *_launchers(), *export],
                         "build/native", "build/native"),
        "windows": Preset("windows", "windows", ["cmake", "--preset", "windows", *_launchers(), *export],
                          "build/windows", "build/windows", wine=True),
        # The page is built in the native tree, where its test (a test of
        # the mutants build) looks for it.
        "web": Preset("web", "native", ["cmake", "--preset", "web", *export],
                      "build/web-build", "build/mutants-build", needs=["mutants"]),
    }


class Tree:
    def __init__(self, checkout, name):
        self.checkout = Path(checkout)
        self.root = self.checkout / TREES / name

    def sync(self, files):
        """Makes the tree hold exactly `files` of the checkout, with their
        contents and modes; returns how many were written or removed."""
        changed = 0
        wanted = set(files)
        for name in files:
            source, copy = self.checkout / name, self.root / name
            if source.is_symlink():
                target = os.readlink(source)
                if not copy.is_symlink() or os.readlink(copy) != target:
                    _remove(copy)
                    copy.parent.mkdir(parents=True, exist_ok=True)
                    os.symlink(target, copy)
                    changed += 1
                continue
            data = source.read_bytes()
            if copy.is_symlink() or not copy.is_file() or copy.read_bytes() != data:
                _remove(copy)
                copy.parent.mkdir(parents=True, exist_ok=True)
                copy.write_bytes(data)
                touch(copy)
                changed += 1
            mode = source.stat().st_mode & 0o777
            if copy.stat().st_mode & 0o777 != mode:
                os.chmod(copy, mode)
        if self.root.exists():
            for folder, subfolders, names in os.walk(self.root, topdown=True):
                here = Path(folder)
                relative_folder = here.relative_to(self.root).as_posix()
                if relative_folder == ".":
                    # The build folders are the tree's own.
                    subfolders[:] = [d for d in subfolders if d != "build"]
                for name in names + [d for d in subfolders if (here / d).is_symlink()]:
                    relative = (here / name).relative_to(self.root).as_posix()
                    if relative not in wanted:
                        (here / name).unlink()
                        changed += 1
        return changed


def _remove(path):
    if path.is_symlink() or path.is_file():
        path.unlink()
    elif path.is_dir():
        shutil.rmtree(path)


def touch(path):
    """Gives a file a time later than anything built from it before, so that
    make rebuilds what depends on it even within one clock tick."""
    before = path.stat().st_mtime_ns
    now = max(time.time_ns(), before + 10_000_000)
    os.utime(path, ns=(now, now))


def compiled_objects(tree_root, build_dir):
    """What a build compiles, by file of the tree: each source and every
    header it reaches with #include "..." (relative to the tree's root),
    with the object files made from it (absolute paths). None when the
    build wrote no compile_commands.json."""
    commands = Path(tree_root) / build_dir / "compile_commands.json"
    if not commands.exists():
        return None
    root = Path(tree_root).resolve()
    objects = {}
    for entry in json.loads(commands.read_text()):
        folder = Path(entry["directory"])
        path = Path(entry["file"])
        try:
            source = (path if path.is_absolute() else folder / path).resolve().relative_to(root).as_posix()
        except ValueError:
            continue
        words = shlex.split(entry.get("command", ""))
        made = words[words.index("-o") + 1] if "-o" in words[:-1] else None
        for name in [source, *_reached(root, source)]:
            objects.setdefault(name, [])
            if made:
                objects[name].append(str(folder / made))
    return objects


def _reached(root, source):
    """The headers of the tree a source reaches through #include "..."."""
    reached, queue = set(), [source]
    while queue:
        name = queue.pop()
        try:
            text = (root / name).read_text(errors="replace")
        except OSError:
            continue
        for include in INCLUDE.findall(text):
            for candidate in (include, (Path(name).parent / include).as_posix()):
                if candidate not in reached and candidate != source and (root / candidate).is_file():
                    reached.add(candidate)
                    queue.append(candidate)
                    break
    return sorted(reached)


def fingerprint(paths):
    """{object file: its SHA-256} for the objects that exist."""
    prints = {}
    for path in paths:
        try:
            prints[path] = hashlib.sha256(Path(path).read_bytes()).hexdigest()
        except OSError:
            continue
    return prints
