"""Every fuzzer, each for FIGURES_FUZZ_SECONDS over its seeds: the bounded
runs `make test` makes, lengthened. Which fuzzers there are, their seeds
and their limits are read from the native build's CTest list (label fuzz),
as fuzz/CMakeLists.txt wrote them; what a run finds goes where the test's
would, under build/native/fuzz/.
"""
import json
import re
from pathlib import Path

from Markdown import heading, table
from figures.common import FUZZ_SECONDS, ROOT, RUNS, failures, run, say


def fuzzers():
    """(name, command) of each fuzz test, its time made the figures'."""
    listing = run(["ctest", "--test-dir", ROOT / "build/native", "-L", "^fuzz$", "--show-only=json-v1"])
    return [(test["name"].removesuffix("_fuzz"),
             [f"-max_total_time={FUZZ_SECONDS}" if a.startswith("-max_total_time=") else a for a in test["command"]])
            for test in json.loads(listing.output)["tests"]]


def targets():
    return {"native": [Path(command[0]).name for _, command in fuzzers()]}


def fuzz(name, command):
    say(f"fuzzing {name} for {FUZZ_SECONDS} s")
    artifacts = Path(next(a for a in command if a.startswith("-artifact_prefix=")).partition("=")[2]).parent
    found = Path(next(a for a in command[1:] if not a.startswith("-")))
    artifacts.mkdir(parents=True, exist_ok=True)
    found.mkdir(parents=True, exist_ok=True)
    before = set(artifacts.iterdir())
    ran = run(command, check=False, log=RUNS / f"fuzz.{name}.txt")
    stats = dict(re.findall(r"stat::(\w+):\s+(\d+)", ran.output))
    findings = sorted(p.name for p in set(artifacts.iterdir()) - before)
    if ran.status or findings:
        failures.append(f"fuzzing {name}")
    return [name, f"{ran.seconds:.0f}", int(stats.get("number_of_executed_units", 0)),
            int(stats.get("average_exec_per_sec", 0)), int(stats.get("new_units_added", 0)),
            len(list(found.iterdir())),
            ", ".join(findings) or ("no findings" if not (ran.status or findings) else f"exit {ran.status}")]


def section():
    rows = [fuzz(name, command) for name, command in fuzzers()]
    return heading("Fuzzing", 3) + \
        table(["target", "seconds", "executions", "per second", "new inputs", "corpus", "findings"], rows) + [""]
