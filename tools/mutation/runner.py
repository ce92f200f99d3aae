"""Trying faults, never in the checkout: a scratch copy of the working tree
per kind of build, kept between runs so that builds are incremental. A
room's builds are made ready once (built, its tests run clean and timed);
then each fault patches one file, and the room's targets are built and its
tests run (the quick ones first, to the first failure) within time limits.
A fault that compiles to the very objects of the unchanged tree is
equivalent in that build.
"""
import hashlib
import os
import re
import shutil
import subprocess
import time
import xml.etree.ElementTree as ElementTree
from collections import namedtuple
from pathlib import Path
from types import SimpleNamespace

from Commands import run
from Rooms import exactly, tests_target

TREES = Path("build/mutants/trees")
BUILD_LIMIT = 600  # seconds a fault's build may take; its tests, three times the clean run's and a minute
# A test slower than this in the clean run waits until the quick ones pass.
SLOW_SECONDS = 5.0
TIMEOUT_LINE = re.compile(r"Test\s+#\d+: (.*?) \.*\s*\*\*\*Timeout")
# A fault tried in several builds: one build's tests catching it catch it; a
# hang fails a run, if not cleanly; one a build lets pass survives even where
# another compiles it away; only one every build compiles away is equivalent.
WEIGHT = {"equivalent": 0, "not built": 1, "survived": 2, "timed out": 3, "killed": 4}

# A build (a CMake preset): its scratch tree, where it builds, where its tests
# run, the builds they need first, and whether they run under Wine. The trees
# share one compiler cache, as the build takes paths relative to the tree.
Preset = namedtuple("Preset", "name tree build_dir test_dir needs wine")
PRESETS = {p.name: p for p in [
    Preset("mutants", "native", "build/mutants-build", "build/mutants-build", [], False),
    # The sanitized build: a fault that reads past a buffer or leaks
    # without changing what any test sees shows here.
    Preset("native", "native", "build/native", "build/native", [], False),
    Preset("windows", "windows", "build/windows", "build/windows", [], True),
    # The page is built in the native tree, where its test (a test of the
    # mutants build) looks for it.
    Preset("web", "native", "build/web-build", "build/mutants-build", ["mutants"], False)]}


# status: killed, survived, timed out, not built or equivalent; failed: the
# tests that caught it; source: the file as it was, for a survivor's diff.
Outcome = namedtuple("Outcome", "status build_seconds test_seconds failed note source",
                     defaults=(0.0, 0.0, [], "", ""))


def verdict(outcomes):
    """The outcome that stands for a fault tried in several builds, with the time all of them took."""
    return max(outcomes, key=lambda o: WEIGHT[o.status])._replace(
        build_seconds=sum(o.build_seconds for o in outcomes), test_seconds=sum(o.test_seconds for o in outcomes))


def settled(outcome):
    """Whether the builds after this one need not try the fault."""
    return outcome.status in ("killed", "not built")


class RunError(Exception):
    pass


def tail(text, lines=25):
    return "\n".join(text.rstrip().splitlines()[-lines:])


def first_error(out):
    return next((line.strip()[:300] for line in out.splitlines() if "error" in line.lower()), tail(out, 3)[:300])


def hung(results, out):
    """Whether a test run ran past its limit, or every test that failed did."""
    failed = {name for name, (ok, _) in (results or {}).items() if not ok}
    return results is None or (bool(failed) and failed <= set(TIMEOUT_LINE.findall(out)))


def touch(path):
    """A time later than anything built from the file before, even within one clock tick."""
    now = max(time.time_ns(), path.stat().st_mtime_ns + 10_000_000)
    os.utime(path, ns=(now, now))


def sync(checkout, root, files):
    """The scratch tree made to hold exactly `files`, unchanged ones keeping their times: how many changed."""
    changed, files = 0, set(files)
    for name in files:
        source, copy = checkout / name, root / name
        if copy.is_file() and copy.read_bytes() == source.read_bytes():
            os.chmod(copy, source.stat().st_mode & 0o777)
            continue
        copy.parent.mkdir(parents=True, exist_ok=True)
        shutil.copy(source, copy)
        touch(copy)
        changed += 1
    for folder, subfolders, names in os.walk(root):
        subfolders[:] = [d for d in subfolders if folder != str(root) or d != "build"]
        for name in names:
            if Path(folder, name).relative_to(root).as_posix() not in files:
                Path(folder, name).unlink()
                changed += 1
    return changed


def compiled_objects(root, build_dir):
    """{file of the tree: the objects made from it}, as the compiler told Ninja what each one read."""
    deps = subprocess.run(["ninja", "-C", str(root / build_dir), "-t", "deps"], stdout=subprocess.PIPE,
                          stderr=subprocess.DEVNULL, text=True).stdout
    objects, made, root = {}, None, root.resolve()
    for line in deps.splitlines():
        if line[:1].strip():
            made = str(root / build_dir / line.split(": #deps", 1)[0])
        elif line.strip() and made:
            name = os.path.relpath(os.path.normpath(root / build_dir / line.strip()), root)
            if not name.startswith(".."):
                objects.setdefault(Path(name).as_posix(), []).append(made)
    return objects


def fingerprint(paths):
    return {p: hashlib.sha256(Path(p).read_bytes()).hexdigest() for p in paths if Path(p).is_file()}


class Trial:
    """One room's builds and tests, made ready for faults, then tried with each."""

    def __init__(self, checkout, room, preset_names, args, say):
        if unknown := [p for p in preset_names if p not in PRESETS]:
            raise RunError(f"no preset {', '.join(unknown)}: choose from {', '.join(PRESETS)}")
        self.checkout, self.room, self.args, self.say = Path(checkout), room, args, say
        self.presets, self.builds, self.baseline = [PRESETS[p] for p in preset_names], {}, {}

    def prepare(self, files, needed):
        """Each build that compiles one of `needed` made, its tests passing: {file: the builds that compile it}."""
        owners, trees = {}, {}
        for preset in self.presets:
            if preset.tree not in trees:
                trees[preset.tree] = root = self.checkout / TREES / preset.tree
                changed = sync(self.checkout, root, files)
                self.say(f"scratch tree {root.relative_to(self.checkout)}: {changed} files brought up to date")
            # The objects each file makes and their bytes unchanged; the tests'
            # tiers, each (CTest's options, the tests left out, their seconds).
            build = self.builds[preset.name] = SimpleNamespace(preset=preset, root=trees[preset.tree], tiers=[])
            for name in preset.needs + [preset.name]:
                status, _, out = run(["tools/configure", name], build.root)
                if status != 0:
                    raise RunError(f"configuring {name} in {build.root} failed:\n{tail(out)}")
            # What each object read is known once it is built.
            self.build(build, None)
            build.objects = compiled_objects(build.root, preset.build_dir)
            mine = [f for f in needed if f in build.objects]
            for f in mine:
                owners.setdefault(f, []).append(preset.name)
            if not mine:
                self.say(f"{preset.name}: compiles none of the files asked for; not tried there")
                continue
            build.clean = fingerprint(sorted({o for f in mine for o in build.objects[f]}))
            self.measure_clean(build)
        return owners

    def build(self, build, limit):
        """(seconds, None) when built, or (seconds, why not)."""
        total, preset, target = 0, build.preset, ["--target", tests_target(self.room.name)]
        for folder, targets in [(preset.build_dir, [] if preset.needs else target)] + \
                [(PRESETS[name].build_dir, target) for name in preset.needs]:
            if limit is None:
                self.say(f"{preset.name}: building {' '.join(targets[1:]) or 'everything'} in {folder}")
            jobs = min(self.args.jobs, 2) if preset.name == "web" else self.args.jobs
            status, seconds, out = run(["cmake", "--build", folder, "-j", str(jobs), *targets], build.root, limit)
            total += seconds
            if status != 0 and limit is None:
                raise RunError(f"the unchanged tree does not build ({preset.name}, {folder}):\n{tail(out)}")
            if status != 0:
                return total, f"the build ran past {limit} s" if status is None else first_error(out)
        return total, None

    def measure_clean(self, build):
        """The room's tests passing unchanged (a flaky one gets a second run), timed into tiers and limits."""
        name = build.preset.name
        results, seconds, _, out = self.ctest(build, ["--repeat", "until-pass:2"], None, "baseline")
        if not results:
            raise RunError(f"{name}: no test is labelled {self.room.name}:\n{tail(out)}")
        if failed := sorted(n for n, (ok, _) in results.items() if not ok):
            raise RunError(f"{name}: these tests of {self.room.name} fail on the unchanged tree: "
                           f"{', '.join(failed)}; fix them or leave them out with MUTANTS_EXCLUDE")
        slow = sorted(n for n, (_, t) in results.items() if t >= SLOW_SECONDS)
        quick = [t for n, (_, t) in results.items() if n not in slow]
        # The quick tests stop at the first failure; then the slow ones. A
        # test that hangs is stopped at four times the longest of its tier in
        # the clean run (its own TIMEOUT, where it has one, wins).
        build.tiers = [(["--stop-on-failure", "--timeout", str(int(max(20, 4 * max(quick or [0]))))],
                        slow and exactly(slow), sum(quick))]
        if slow:
            times = [results[n][1] for n in slow]
            build.tiers.append((["-R", exactly(slow), "--timeout", str(int(max(60, 4 * max(times))))], None,
                                sum(times)))
        self.baseline[name] = {"tests": len(results), "seconds": round(seconds, 1), "slow": slow}
        self.say(f"{name}: {len(results)} tests of {self.room.name} pass on the unchanged tree in "
                 f"{seconds:.0f} s ({len(slow)} slow, run after the others)")

    def ctest(self, build, options, limit, junit, exclude=None):
        """({test: (passed, seconds)}, None past `limit`; seconds; exit status; output) of the room's tests."""
        report = build.root / build.preset.test_dir / "mutants" / f"{junit}.xml"
        report.parent.mkdir(parents=True, exist_ok=True)
        report.unlink(missing_ok=True)
        exclude = "|".join(f"({e})" for e in (self.args.exclude, exclude) if e)
        options = options + (["-E", exclude] if exclude else [])
        status, seconds, out = run(["ctest", "--test-dir", build.preset.test_dir, "-L", exactly([self.room.name]), "-j",
                                    str(self.args.jobs), "--output-junit", str(report), *options],
                                   build.root, limit, {"WINEDEBUG": "-all"} if build.preset.wine else None)
        results = {}
        if report.exists():
            for case in ElementTree.parse(report).getroot().iter("testcase"):
                if case.get("status", "run") not in ("notrun", "disabled", "skipped"):
                    results[case.get("name")] = (case.get("status", "run") == "run", float(case.get("time") or 0))
        return None if status is None else results, seconds, status, out

    def judge(self, mutant, presets):
        """The fault tried in each build until one settles it, the file put back: the outcome and its build."""
        outcomes = []
        for preset in presets:
            path = self.builds[preset].root / mutant.file
            original = path.read_bytes()
            try:
                path.write_bytes(mutant.apply(original.decode()).encode())
                touch(path)
                outcomes.append((self.build_and_test(self.builds[preset], mutant.file), preset))
            finally:
                path.write_bytes(original)
                touch(path)
            if settled(outcomes[-1][0]):
                break
        outcome = verdict([o for o, _ in outcomes])._replace(source=original.decode())
        return outcome, next(p for o, p in outcomes if o.status == outcome.status)

    def build_and_test(self, build, file):
        built, why_not = self.build(build, BUILD_LIMIT)
        if why_not:
            return Outcome("not built", built, note=why_not)
        now = fingerprint([o for o in build.objects.get(file, []) if o in build.clean])
        if now and all(now[o] == build.clean[o] for o in now):
            return Outcome("equivalent", built, note=f"the {build.preset.name} build compiles it to the very same "
                           "objects: code this build leaves out, or a change the compiler erases")
        tested = 0
        for number, (options, exclude, clean_seconds) in enumerate(build.tiers):
            # Wine's sound now and then hangs a test on the server the runs
            # before left running, whatever the fault: each run has a fresh one.
            stop_wine(build)
            limit = 3 * clean_seconds + 60
            results, seconds, status, out = self.ctest(build, options, limit, f"tier{number}", exclude)
            tested += seconds
            failed = sorted(name for name, (ok, _) in (results or {}).items() if not ok)
            if hung(results, out):
                return Outcome("timed out", built, tested, failed, f"the tests ran past {limit:.0f} s"
                               if results is None else "every failing test ran past its time limit")
            if failed or status != 0:
                # Failing with no test failed is CTest's own: a listing that crashed, say.
                return Outcome("killed", built, tested, failed, "" if failed else first_error(out))
        return Outcome("survived", built, tested)

    def finish(self):
        for build in self.builds.values():
            stop_wine(build)


def stop_wine(build):
    for prefix in (build.root / build.preset.build_dir).glob("**/prefix") if build.preset.wine else []:
        subprocess.run(["wineserver", "-k"], env=dict(os.environ, WINEPREFIX=str(prefix)),
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
