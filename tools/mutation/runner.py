"""Trying faults, never in the checkout: one scratch copy of the working tree
per kind of build under build/mutants/trees/, kept between runs so every
build after the first is incremental. A room's builds are made ready once
(the copy brought up to date, the room's test targets built, its tests run
clean and timed); then each fault patches one file, the room's targets are
built and its tests run (the quick ones first, stopping at the first
failure, then the slow ones), each with a time limit, and the file is put
back whatever happened. A fault that compiles to the very objects of the
unchanged tree is equivalent in that build and is not tested.
"""
import hashlib
import json
import os
import re
import shlex
import shutil
import signal
import subprocess
import tempfile
import time
import xml.etree.ElementTree as ElementTree
from dataclasses import dataclass, field, replace
from pathlib import Path

TREES = Path("build/mutants/trees")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)
# A test slower than this in the clean run waits until the quick ones pass.
SLOW_SECONDS = 5.0
TIMEOUT_LINE = re.compile(r"Test\s+#\d+: (.*?) \.*\s*\*\*\*Timeout")
# What one build's outcome says when a fault is tried in several: a build
# whose tests catch it catches it; a hang fails a test run, if not cleanly;
# a fault one build lets pass survives even where another compiles it
# away; only one every build compiles away is equivalent.
WEIGHT = {"equivalent": 0, "not built": 1, "survived": 2, "timed out": 3, "killed": 4}


@dataclass
class Preset:
    """A build faults are tried in: its tree, how it is configured, where it
    builds and where its tests run, the builds its tests need first."""
    name: str
    tree: str
    configure: list
    build_dir: str
    test_dir: str
    needs: list = field(default_factory=list)
    wine: bool = False


def presets():
    # The build itself uses ccache where installed, with paths taken
    # relative to the tree, so every scratch tree shares one cache.
    configure = ["tools/configure"]
    export = ["-DCMAKE_EXPORT_COMPILE_COMMANDS=ON"]
    return {
        "mutants": Preset("mutants", "native", [*configure, "mutants"], "build/mutants-build",
                          "build/mutants-build"),
        # The sanitized build: a fault that reads past a buffer or leaks
        # without changing what any test sees shows here.
        "native": Preset("native", "native", [*configure, "native", *export], "build/native",
                         "build/native"),
        "windows": Preset("windows", "windows", [*configure, "windows", *export], "build/windows",
                          "build/windows", wine=True),
        # The page is built in the native tree, where its test (a test of
        # the mutants build) looks for it.
        "web": Preset("web", "native", [*configure, "web", *export],
                      "build/web-build", "build/mutants-build", needs=["mutants"]),
    }


@dataclass
class Outcome:
    status: str  # killed, survived, timed out, not built, equivalent
    build_seconds: float = 0.0
    test_seconds: float = 0.0
    failed: list = field(default_factory=list)
    note: str = ""
    source: str = ""  # the file as it was, for the survivors' diffs


def verdict(outcomes):
    """The outcome that stands for a fault tried in several builds, with the
    time all of them took."""
    return replace(max(outcomes, key=lambda o: WEIGHT[o.status]),
                   build_seconds=sum(o.build_seconds for o in outcomes),
                   test_seconds=sum(o.test_seconds for o in outcomes))


def settled(outcome):
    """Whether the builds after this one need not try the fault."""
    return outcome.status in ("killed", "not built")


class RunError(Exception):
    pass


def run(command, cwd, limit, env=None):
    """(exit status, or None past `limit` seconds; seconds; output). In a
    session of its own, so that on time-out all of it is stopped."""
    started = time.monotonic()
    with tempfile.TemporaryFile() as out:
        process = subprocess.Popen(command, cwd=cwd, stdout=out, stderr=subprocess.STDOUT,
                                   env=dict(os.environ, **(env or {})), start_new_session=True)
        try:
            status = process.wait(timeout=limit)
        except subprocess.TimeoutExpired:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()
            status = None
        out.seek(0)
        return status, time.monotonic() - started, out.read().decode(errors="replace")


def tail(text, lines=25):
    return "\n".join(text.rstrip().splitlines()[-lines:])


def first_error(out):
    return next((line.strip()[:300] for line in out.splitlines() if "error" in line.lower()), tail(out, 3)[:300])


def exactly(names):
    """A CTest regular expression matching exactly these test names."""
    return "^(" + "|".join(re.sub(r"([][^$.()*+?|\\{}])", r"\\\1", n) for n in sorted(names)) + ")$"


def hung(results, out):
    """Whether a test run ran past its limit, or every test that failed did."""
    failed = {name for name, (ok, _) in (results or {}).items() if not ok}
    return results is None or (bool(failed) and failed <= set(TIMEOUT_LINE.findall(out)))


def touch(path):
    """A time later than anything built from the file before, so make
    rebuilds what depends on it even within one clock tick."""
    now = max(time.time_ns(), path.stat().st_mtime_ns + 10_000_000)
    os.utime(path, ns=(now, now))


def sync(checkout, root, files):
    """Makes the scratch tree hold exactly `files` of the checkout, with
    their contents and modes (its build folders aside); unchanged files keep
    their times. Returns how many were written or removed."""
    changed = 0
    for name in files:
        source, copy = checkout / name, root / name
        if source.is_symlink() and copy.is_symlink() and os.readlink(source) == os.readlink(copy):
            continue
        if not source.is_symlink() and copy.is_file() and not copy.is_symlink() \
                and copy.read_bytes() == source.read_bytes():
            if copy.stat().st_mode & 0o777 != source.stat().st_mode & 0o777:
                os.chmod(copy, source.stat().st_mode & 0o777)
            continue
        if copy.is_dir() and not copy.is_symlink():
            shutil.rmtree(copy)
        elif copy.is_symlink() or copy.exists():
            copy.unlink()
        copy.parent.mkdir(parents=True, exist_ok=True)
        if source.is_symlink():
            os.symlink(os.readlink(source), copy)
        else:
            shutil.copyfile(source, copy)
            os.chmod(copy, source.stat().st_mode & 0o777)
            touch(copy)
        changed += 1
    wanted = set(files)
    for folder, subfolders, names in os.walk(root):
        here = Path(folder)
        if here == root:
            subfolders[:] = [d for d in subfolders if d != "build"]
        for name in names + [d for d in subfolders if (here / d).is_symlink()]:
            if (here / name).relative_to(root).as_posix() not in wanted:
                (here / name).unlink()
                changed += 1
    return changed


def compiled_objects(root, build_dir):
    """{file of the tree: the object files made from it}: each source and
    every header it reaches with #include "...". None when the build wrote no
    compile_commands.json."""
    commands = root / build_dir / "compile_commands.json"
    if not commands.exists():
        return None
    objects, root = {}, root.resolve()
    for entry in json.loads(commands.read_text()):
        folder, words = Path(entry["directory"]), shlex.split(entry.get("command", ""))
        try:
            source = (folder / entry["file"]).resolve().relative_to(root).as_posix()
        except ValueError:
            continue
        made = [str(folder / words[words.index("-o") + 1])] if "-o" in words[:-1] else []
        reached, queue = {source}, [source]
        while queue:
            name = queue.pop()
            text = (root / name).read_text(errors="replace") if (root / name).is_file() else ""
            for include in INCLUDE.findall(text):
                found = next((c for c in (include, (Path(name).parent / include).as_posix())
                              if (root / c).is_file()), None)
                if found and found not in reached:
                    reached.add(found)
                    queue.append(found)
        for name in reached:
            objects.setdefault(name, []).extend(made)
    return objects


def fingerprint(paths):
    return {p: hashlib.sha256(Path(p).read_bytes()).hexdigest() for p in paths if Path(p).is_file()}


class Trial:
    """One room's builds and tests, made ready for faults, then tried with each."""

    def __init__(self, checkout, room, preset_names, jobs, say, exclude=None, build_limit=None, test_limit=None):
        self.all = presets()
        unknown = [p for p in preset_names if p not in self.all]
        if unknown:
            raise RunError(f"no preset {', '.join(unknown)}: choose from {', '.join(self.all)}")
        self.checkout, self.room, self.presets = Path(checkout), room, [self.all[p] for p in preset_names]
        self.jobs, self.say, self.exclude, self.build_limit, self.test_limit = \
            jobs, say, exclude, build_limit, test_limit
        self.label = "^" + re.escape(room.name).replace("\\/", "/") + "$"
        self.target = "room_tests_" + room.name.replace("/", "_")
        self.objects, self.clean, self.slow, self.tiers, self.longest, self.baseline = {}, {}, {}, {}, {}, {}
        self.trees = {}

    def prepare(self, files, needed):
        """Brings each build that compiles one of `needed` up to date and
        checks its tests pass unchanged. {file: the builds that compile it}."""
        owners = {}
        for preset in self.presets:
            if preset.tree not in self.trees:
                root = self.trees[preset.tree] = self.checkout / TREES / preset.tree
                changed = sync(self.checkout, root, files)
                self.say(f"scratch tree {root.relative_to(self.checkout)}: {changed} files brought up to date")
            root = self.trees[preset.tree]
            for name in preset.needs + [preset.name]:
                status, _, out = run(self.all[name].configure, root, None)
                if status != 0:
                    raise RunError(f"configuring {name} in {root} failed:\n{tail(out)}")
            objects = compiled_objects(root, preset.build_dir)
            if objects is None:
                self.build(preset, None)  # a build that writes no compile commands yet
                objects = compiled_objects(root, preset.build_dir) or {}
            self.objects[preset.name] = objects
            mine = [f for f in needed if f in objects]
            for f in mine:
                owners.setdefault(f, []).append(preset.name)
            if not mine:
                self.say(f"{preset.name}: compiles none of the files asked for; not built")
                continue
            self.build(preset, None)
            # The objects of the unchanged tree: a fault whose build gives
            # the same bytes changed nothing this build runs.
            self.clean[preset.name] = fingerprint(sorted({o for f in mine for o in objects[f]}))
            self.measure_clean(preset)
        return owners

    def build(self, preset, limit):
        """(seconds, None) when built, or (seconds, why not)."""
        total = 0
        steps = [(preset.build_dir, [] if preset.needs else ["--target", self.target])] + \
            [(self.all[name].build_dir, ["--target", self.target]) for name in preset.needs]
        for folder, target in steps:
            if limit is None:
                self.say(f"{preset.name}: building {' '.join(target[1:]) or 'everything'} in {folder}")
            jobs = min(self.jobs, 2) if preset.name == "web" else self.jobs
            status, seconds, out = run(["cmake", "--build", folder, "-j", str(jobs), *target],
                                       self.trees[preset.tree], limit)
            total += seconds
            if status != 0 and limit is None:
                raise RunError(f"the unchanged tree does not build ({preset.name}, {folder}):\n{tail(out)}")
            if status != 0:
                return total, f"the build ran past {limit} s" if status is None else first_error(out)
        return total, None

    def measure_clean(self, preset):
        """The room's tests on the unchanged tree must pass (a failing one is
        run once more, for a flaky one); their times sort them into quick
        and slow and set the limits."""
        results, seconds, _, out = self.ctest(preset, [], None, "baseline")
        if not results:
            raise RunError(f"{preset.name}: no test is labelled {self.room.name}:\n{tail(out)}")
        failed = [name for name, (ok, _) in results.items() if not ok]
        again = self.ctest(preset, ["-R", exactly(failed)], None, "baseline-again")[0] if failed else {}
        still = sorted(name for name, (ok, _) in (again or {}).items() if not ok) if again else failed
        if still:
            raise RunError(f"{preset.name}: these tests of {self.room.name} fail on the unchanged tree: "
                           f"{', '.join(still)}; fix them or leave them out with MUTANTS_EXCLUDE")
        slow = self.slow[preset.name] = sorted(n for n, (_, t) in results.items() if t >= SLOW_SECONDS)
        times = [[t for n, (_, t) in results.items() if (n in slow) == tier] for tier in (False, True)]
        self.tiers[preset.name] = [sum(t) for t in times]
        self.longest[preset.name] = [max(t or [0]) for t in times]
        self.baseline[preset.name] = {"tests": len(results), "seconds": round(seconds, 1), "slow": slow}
        self.say(f"{preset.name}: {len(results)} tests of {self.room.name} pass on the unchanged tree in "
                 f"{seconds:.0f} s ({len(slow)} slow, run after the others)")

    def ctest(self, preset, selection, limit, junit, quick=False):
        """({test: (passed, seconds)}, or None when stopped at `limit`;
        seconds; exit status; output) of the room's tests, the quick ones
        alone if `quick`."""
        root = self.trees[preset.tree]
        report = root / preset.test_dir / "mutants" / f"{junit}.xml"
        report.parent.mkdir(parents=True, exist_ok=True)
        report.unlink(missing_ok=True)
        command = ["ctest", "--test-dir", preset.test_dir, "-L", self.label, "-j", str(self.jobs),
                   "--output-junit", str(report), *selection]
        exclude = [e for e in [self.exclude, quick and self.slow[preset.name] and exactly(self.slow[preset.name])]
                   if e]
        command += ["-E", "|".join(f"({e})" for e in exclude)] if exclude else []
        if limit is not None:
            # A test that hangs is stopped at four times the longest of its
            # tier in the clean run (its own TIMEOUT, where it has one, wins).
            command += ["--stop-on-failure"] * quick + \
                ["--timeout", str(int(max(20, 4 * self.longest[preset.name][0]) if quick
                                      else max(60, 4 * self.longest[preset.name][1])))]
        status, seconds, out = run(command, root, limit, env={"WINEDEBUG": "-all"} if preset.wine else None)
        results = {}
        if report.exists():
            for case in ElementTree.parse(report).getroot().iter("testcase"):
                if case.get("status", "run") not in ("notrun", "disabled", "skipped"):
                    results[case.get("name")] = (case.get("status", "run") == "run", float(case.get("time") or 0))
        return None if status is None else results, seconds, status, out

    def try_mutant(self, mutant, preset_name):
        preset = self.all[preset_name]
        path = self.trees[preset.tree] / mutant.file
        original = path.read_bytes()
        try:
            path.write_bytes(mutant.apply(original.decode()).encode())
            touch(path)
            return replace(self.build_and_test(preset, mutant.file), source=original.decode())
        finally:
            path.write_bytes(original)
            touch(path)

    def build_and_test(self, preset, file):
        seconds, why_not = self.build(preset, self.build_limit)
        outcome = Outcome("survived", build_seconds=seconds)
        if why_not:
            return replace(outcome, status="not built", note=why_not)
        clean = self.clean[preset.name]
        now = fingerprint([o for o in self.objects[preset.name].get(file, []) if o in clean])
        if now and all(now[o] == clean[o] for o in now):
            return replace(outcome, status="equivalent", note=f"the {preset.name} build compiles it to the very "
                           "same objects: code this build leaves out, or a change the compiler erases")
        tiers = [([], self.tiers[preset.name][0], True)]
        if self.slow[preset.name]:
            tiers.append((["-R", exactly(self.slow[preset.name])], self.tiers[preset.name][1], False))
        for number, (selection, clean_seconds, quick) in enumerate(tiers):
            limit = self.test_limit or 3 * clean_seconds + 60
            for attempt in (1, 2):
                results, seconds, status, out = self.ctest(preset, selection, limit, f"tier{number}", quick)
                outcome.test_seconds += seconds
                # Wine's sound now and then hangs a test on the server the
                # runs before left running, whatever the fault; a fault that
                # hangs hangs again on a fresh server.
                if not (preset.wine and attempt == 1 and hung(results, out)):
                    break
                self.stop_wine(preset)
            failed = sorted(name for name, (ok, _) in (results or {}).items() if not ok)
            if results is None or (failed and hung(results, out)):
                self.stop_wine(preset)
                return replace(outcome, status="timed out", failed=failed, note=f"the tests ran past {limit:.0f} s"
                               if results is None else "every failing test ran past its time limit")
            if failed or status != 0:
                # Failing with no test failed is CTest's own: a listing that crashed, say.
                return replace(outcome, status="killed", failed=failed, note="" if failed else first_error(out))
        return outcome

    def stop_wine(self, preset):
        for prefix in (self.trees[preset.tree] / preset.build_dir).glob("**/prefix") if preset.wine else []:
            subprocess.run(["wineserver", "-k"], env=dict(os.environ, WINEPREFIX=str(prefix)),
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def finish(self):
        for preset in self.presets:
            if preset.tree in self.trees:
                self.stop_wine(preset)
