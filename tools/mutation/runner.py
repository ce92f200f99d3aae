"""Trying faults: a room's builds made ready once (the tree brought up to
date, configured, the room's test targets built, its tests run clean and
timed), then one fault at a time: one file of the scratch tree patched, the
room's targets built with a time limit, the room's tests run with another
(the quick ones first, stopping at the first failure, then the slow ones),
and the file put back, whatever happened. A fault that compiles to the very
objects of the unchanged tree is equivalent in that build and is not tested.
Nothing here touches the checkout.
"""
import os
import re
import signal
import subprocess
import tempfile
import time
import xml.etree.ElementTree as ElementTree
from dataclasses import dataclass, field, replace
from pathlib import Path

from .scratch import Tree, compiled_objects, fingerprint, presets, touch

# A test slower than this in the clean run waits until the quick ones pass.
SLOW_SECONDS = 5.0
TIMEOUT_LINE = re.compile(r"Test\s+#\d+: (.*?) \.*\s*\*\*\*Timeout")


@dataclass
class Outcome:
    status: str                  # killed, survived, timed out, not built, equivalent
    build_seconds: float = 0.0
    test_seconds: float = 0.0
    failed: list = field(default_factory=list)
    note: str = ""
    source: str = ""             # the file as it was, for the survivors' diffs


# How much one build's outcome says when a fault is tried in several: a
# build whose tests catch it catches it; a hang fails a test run, if not
# cleanly (a fault that hangs natively may be caught outright under Wine);
# a fault one build's tests let pass survives even where another build
# compiles it away; only one every build compiles away is equivalent.
WEIGHT = {"equivalent": 0, "not built": 1, "survived": 2, "timed out": 3, "killed": 4}


def verdict(outcomes):
    """The outcome that stands for a fault tried in several builds, in the
    order tried, with the time all of them took."""
    chosen = max(outcomes, key=lambda o: WEIGHT[o.status])
    return replace(chosen, build_seconds=sum(o.build_seconds for o in outcomes),
                   test_seconds=sum(o.test_seconds for o in outcomes))


def settled(outcome):
    """Whether the builds after this one need not try the fault."""
    return outcome.status in ("killed", "not built")


class RunError(Exception):
    pass


def run(command, cwd, limit, env=None):
    """(exit status or None when it ran past `limit` seconds, seconds, output).
    The command runs in a session of its own, so that on time-out all of
    it is stopped, test programs included."""
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
        text = out.read().decode(errors="replace")
    return status, time.monotonic() - started, text


def tail(text, lines=25):
    return "\n".join(text.rstrip().splitlines()[-lines:])


def ctest_name_pattern(names):
    """A CTest regular expression matching exactly these test names."""
    special = set("^$.[]()*+?|\\{}")
    escaped = ["".join("\\" + c if c in special else c for c in name) for name in sorted(names)]
    return "^(" + "|".join(escaped) + ")$"


class Trial:
    """One room's builds and tests, made ready for faults and then tried with each."""

    def __init__(self, checkout, room, preset_names, jobs, say, exclude=None, build_limit=None,
                 test_limit=None):
        self.checkout = Path(checkout)
        self.room = room
        self.all_presets = presets()
        unknown = [p for p in preset_names if p not in self.all_presets]
        if unknown:
            raise RunError(f"no preset {', '.join(unknown)}: choose from {', '.join(self.all_presets)}")
        self.presets = [self.all_presets[p] for p in preset_names]
        self.jobs = jobs
        self.say = say
        self.exclude = exclude
        self.build_limit = build_limit
        self.test_limit = test_limit
        self.label = "^" + re.escape(room.name).replace("\\/", "/") + "$"
        self.target = "room_tests_" + room.name.replace("/", "_")
        self.objects = {}
        self.clean = {}
        self.slow = {}
        self.tier_seconds = {}
        self.longest_test = {}
        self.baseline = {}
        self.trees = {}

    # -- getting ready --

    def prepare(self, files, needed):
        """Brings each preset that compiles one of `needed` (the files that
        will be patched) up to date, and checks its tests pass unchanged.
        Returns {file: [preset names]}: the presets that compile each file,
        in the order chosen."""
        owners = {}
        for preset in self.presets:
            tree = self.trees.get(preset.tree)
            if tree is None:
                tree = self.trees[preset.tree] = Tree(self.checkout, preset.tree)
                changed = tree.sync(files)
                self.say(f"scratch tree {tree.root.relative_to(self.checkout)}: {changed} files brought up to date")
            for name in preset.needs + [preset.name]:
                self._configure(self.all_presets[name], tree)
            objects = compiled_objects(tree.root, preset.build_dir)
            if objects is None:
                # A build that writes no compile commands yet: built once first.
                self._build(preset, tree)
                objects = compiled_objects(tree.root, preset.build_dir) or {}
            self.objects[preset.name] = objects
            mine = [f for f in needed if f in objects]
            for f in mine:
                owners.setdefault(f, []).append(preset.name)
            if not mine:
                self.say(f"{preset.name}: compiles none of the files asked for; not built")
                continue
            self._build(preset, tree)
            # The objects of the unchanged tree: a fault whose build gives
            # the same bytes changed nothing this build runs.
            self.clean[preset.name] = fingerprint(sorted({o for f in mine for o in objects[f]}))
            self._baseline(preset, tree)
        return owners

    def _configure(self, preset, tree):
        status, seconds, out = run(preset.configure, tree.root, None)
        if status != 0:
            raise RunError(f"configuring {preset.name} in {tree.root} failed:\n{tail(out)}")

    def build_steps(self, preset):
        steps = [(preset.build_dir, [] if preset.needs else ["--target", self.target])]
        for name in preset.needs:
            steps.append((self.all_presets[name].build_dir, ["--target", self.target]))
        return steps

    def _build(self, preset, tree):
        for folder, target in self.build_steps(preset):
            jobs = min(self.jobs, 2) if preset.name == "web" else self.jobs
            self.say(f"{preset.name}: building {' '.join(target[1:]) or 'everything'} in {folder}")
            status, seconds, out = run(["cmake", "--build", folder, "-j", str(jobs), *target], tree.root, None)
            if status != 0:
                raise RunError(f"the unchanged tree does not build ({preset.name}, {folder}):\n{tail(out)}")

    def _baseline(self, preset, tree):
        """Runs the room's tests on the unchanged tree: they must pass (a
        test that fails is run once more, for a flaky one); their times
        sort them into quick and slow and set the limits."""
        results, seconds, status, out = self._ctest(preset, tree, [], limit=None, junit="baseline")
        if results is None or not results:
            raise RunError(f"{preset.name}: no test is labelled {self.room.name}:\n{tail(out)}")
        failed = [name for name, (ok, _) in results.items() if not ok]
        if failed:
            again, _, _, _ = self._ctest(preset, tree, ["-R", ctest_name_pattern(failed)], limit=None,
                                         junit="baseline-again")
            still = sorted(name for name, (ok, _) in (again or {}).items() if not ok) if again else failed
            if still:
                raise RunError(f"{preset.name}: these tests of {self.room.name} fail on the unchanged tree: "
                               f"{', '.join(still)}; fix them or leave them out with MUTANTS_EXCLUDE")
        slow = sorted(name for name, (_, t) in results.items() if t >= SLOW_SECONDS)
        self.slow[preset.name] = slow
        quick_time = sum(t for name, (_, t) in results.items() if name not in slow)
        slow_time = sum(t for name, (_, t) in results.items() if name in slow)
        self.tier_seconds[preset.name] = (quick_time, slow_time)
        self.longest_test[preset.name] = (max([t for name, (_, t) in results.items() if name not in slow] or [0]),
                                          max([t for name, (_, t) in results.items() if name in slow] or [0]))
        self.baseline[preset.name] = {"tests": len(results), "seconds": round(seconds, 1), "slow": slow}
        self.say(f"{preset.name}: {len(results)} tests of {self.room.name} pass on the unchanged tree in "
                 f"{seconds:.0f} s ({len(slow)} slow, run after the others)")

    def _ctest(self, preset, tree, selection, limit, junit, stop=False, quick=False):
        """({test: (passed, seconds)}, seconds, exit status, output) of the
        room's tests (only the quick ones if `quick`); the results are None
        when the run was stopped at its limit."""
        report = tree.root / preset.test_dir / "mutants" / f"{junit}.xml"
        report.parent.mkdir(parents=True, exist_ok=True)
        if report.exists():
            report.unlink()
        command = ["ctest", "--test-dir", preset.test_dir, "-L", self.label, "-j", str(self.jobs),
                   "--output-junit", str(report)]
        exclude = [self.exclude] if self.exclude else []
        if quick and self.slow.get(preset.name):
            exclude.append(ctest_name_pattern(self.slow[preset.name]))
        if exclude:
            command += ["-E", "|".join(f"({e})" for e in exclude)]
        command += selection
        if stop:
            command.append("--stop-on-failure")
        if limit is not None:
            # A test that hangs is stopped at four times the longest of its
            # tier in the clean run (the test's own TIMEOUT, where it has
            # one, still wins).
            quick_longest, slow_longest = self.longest_test[preset.name]
            each = max(20, 4 * quick_longest) if quick else max(60, 4 * slow_longest)
            command += ["--timeout", str(int(each))]
        status, seconds, out = run(command, tree.root, limit, env={"WINEDEBUG": "-all"} if preset.wine else None)
        if status is None:
            return None, seconds, status, out
        return _junit(report, out), seconds, status, out

    # -- one fault --

    def try_mutant(self, mutant, preset_name):
        preset = self.all_presets[preset_name]
        tree = self.trees[preset.tree]
        path = tree.root / mutant.file
        original = path.read_bytes()
        source = original.decode()
        outcome = Outcome("survived")
        try:
            path.write_bytes(mutant.apply(source).encode())
            touch(path)
            outcome = self._build_and_test(preset, tree, mutant.file)
            outcome.source = source
        finally:
            path.write_bytes(original)
            touch(path)
        return outcome

    def _build_and_test(self, preset, tree, file):
        outcome = Outcome("survived")
        for folder, target in self.build_steps(preset):
            jobs = min(self.jobs, 2) if preset.name == "web" else self.jobs
            status, seconds, out = run(["cmake", "--build", folder, "-j", str(jobs), *target], tree.root,
                                       self.build_limit)
            outcome.build_seconds += seconds
            if status != 0:
                outcome.status = "not built"
                outcome.note = f"the build ran past {self.build_limit} s" if status is None else _first_error(out)
                return outcome
        clean = self.clean[preset.name]
        now = fingerprint([o for o in self.objects[preset.name].get(file, []) if o in clean])
        if now and all(now[o] == clean[o] for o in now):
            outcome.status = "equivalent"
            outcome.note = (f"the {preset.name} build compiles it to the very same objects: code this build "
                            "leaves out, or a change the compiler erases")
            return outcome
        quick, slow = self.tier_seconds[preset.name]
        tiers = [([], quick, True)]
        if self.slow[preset.name]:
            tiers.append((["-R", ctest_name_pattern(self.slow[preset.name])], slow, False))
        for number, (selection, clean_seconds, first) in enumerate(tiers):
            limit = self.test_limit or 3 * clean_seconds + 60
            for attempt in (1, 2):
                results, seconds, status, out = self._ctest(preset, tree, selection, limit, f"tier{number}",
                                                            stop=first, quick=first)
                outcome.test_seconds += seconds
                # Wine's sound now and then hangs a test on the server the
                # runs before left running, whatever the fault; a fault that
                # hangs hangs again on a fresh server.
                if not (preset.wine and attempt == 1 and _hung(results, out)):
                    break
                self._stop_wine(preset, tree)
            if results is None:
                outcome.status = "timed out"
                outcome.note = f"the tests ran past {limit:.0f} s"
                self._stop_wine(preset, tree)
                return outcome
            failed = sorted(name for name, (ok, _) in results.items() if not ok)
            if status != 0 and not failed:
                # CTest itself failed: a listing that crashed, say.
                outcome.status = "killed"
                outcome.note = _first_error(out)
                return outcome
            if failed:
                outcome.failed = failed
                outcome.status = "timed out" if _hung(results, out) else "killed"
                if outcome.status == "timed out":
                    outcome.note = "every failing test ran past its time limit"
                    self._stop_wine(preset, tree)
                return outcome
        return outcome

    def _stop_wine(self, preset, tree):
        if not preset.wine:
            return
        for prefix in (tree.root / preset.build_dir).glob("**/prefix"):
            subprocess.run(["wineserver", "-k"], env=dict(os.environ, WINEPREFIX=str(prefix)),
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def finish(self):
        for preset in self.presets:
            tree = self.trees.get(preset.tree)
            if tree:
                self._stop_wine(preset, tree)


def _hung(results, out):
    """Whether a test run ran past its limit, or every test that failed did."""
    if results is None:
        return True
    failed = {name for name, (ok, _) in results.items() if not ok}
    return bool(failed) and failed <= set(TIMEOUT_LINE.findall(out))


def _junit(path, out):
    """{test: (passed, seconds)} from CTest's JUnit report."""
    if not path.exists():
        return {}
    results = {}
    for case in ElementTree.parse(path).getroot().iter("testcase"):
        status = case.get("status", "run")
        if status in ("notrun", "disabled", "skipped"):
            continue
        results[case.get("name")] = (status == "run", float(case.get("time", 0) or 0))
    return results


def _first_error(out):
    for line in out.splitlines():
        if "error" in line.lower():
            return line.strip()[:300]
    return tail(out, 3)[:300]
