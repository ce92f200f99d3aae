"""The README's two commands as CI runs them, on a fresh clone of HEAD:
cold, with a compiler cache of its own left empty, then warm, in another
fresh clone with the cache the cold run filled; each `make test` stage
timed by tools/stages. Then the edit loop, `make check` after an edit of
bench/flying/Run.cpp, in the warm clone. Half an hour: FIGURES_FRONT_DOOR=0
leaves it out.
"""
import re
import shutil

from Markdown import heading, paragraph, table
from figures.common import OUT, ROOT, RUN_FRONT_DOOR, failures, run, say

TARGETS = {}
KINDS = ("cold", "warm")


def measure():
    door = OUT / "front-door"
    cache = door / "ccache"
    shutil.rmtree(door, ignore_errors=True)
    door.mkdir(parents=True)
    results = {}
    for kind in KINDS:
        clone = door / kind
        run(["git", "clone", "-q", ROOT, clone])
        env = {"CCACHE_DIR": str(cache), "LUMIVANE_STAGES_FILE": str(door / f"{kind}-stages.txt")}
        say(f"the front door, {kind}: make demo, then make test, in {clone}")
        demo = run(["make", "demo"], cwd=clone, env=env, check=False, log=door / f"{kind}-demo.txt")
        test = run(["make", "test"], cwd=clone, env=env, check=False, log=door / f"{kind}-test.txt")
        stages_file = door / f"{kind}-stages.txt"
        stages = [line.split("\t") for line in stages_file.read_text().splitlines() if line.count("\t") == 2] \
            if stages_file.exists() else []
        ok = demo.status == 0 and test.status == 0
        if not ok:
            failures.append(f"front door ({kind})")
        results[kind] = {"ok": ok, "demo": demo.seconds, "test": test.seconds, "stages": stages}
    run_file = door / "warm/bench/flying/Run.cpp"
    run_file.write_text(run_file.read_text() + "\n")
    say("the edit loop: make check after an edit of bench/flying/Run.cpp")
    check = run(["make", "check"], cwd=door / "warm", env={"CCACHE_DIR": str(cache)}, check=False,
                log=door / "check.txt")
    if check.status:
        failures.append("make check")
    results["check"] = {"ok": check.status == 0, "seconds": check.seconds,
                        "tests": ", ".join(re.findall(r"out of (\d+)", check.output)) or "?"}
    return results


def section():
    if not RUN_FRONT_DOOR:
        return heading("The front door") + paragraph("Left out (FIGURES_FRONT_DOOR=0).")
    results = measure()
    names = []
    for kind in KINDS:
        names += [name for name, _, _ in results[kind]["stages"] if name not in names]
    rows = [["`make demo`", f"{results['cold']['demo']:.0f}", f"{results['warm']['demo']:.0f}"]]
    for name in names:
        cells = []
        for kind in KINDS:
            found = [(seconds, status) for n, seconds, status in results[kind]["stages"] if n == name]
            cells.append("" if not found else f"{float(found[0][0]):.0f}" + ("" if found[0][1] == "0" else " (failed)"))
        rows.append(["`make test`: " + name] + cells)
    rows.append(["**`make test`**", f"**{results['cold']['test']:.0f}**", f"**{results['warm']['test']:.0f}**"])
    rows.append(["**`.ci/run`**", f"**{results['cold']['demo'] + results['cold']['test']:.0f}**",
                 f"**{results['warm']['demo'] + results['warm']['test']:.0f}**"])
    check = results["check"]
    return heading("The front door: `make demo`, then `make test` (`.ci/run`), in a fresh clone") + paragraph(
        "Cold: an empty compiler cache, as on a new machine. Warm: another fresh clone, with the compiler",
        "cache the cold run filled. Logs: `build/figures/front-door/`.") + \
        table(["stage", "cold, s", "warm, s"], rows) + [""] + paragraph(
        f"`make check` after an edit of `bench/flying/Run.cpp` in the warm clone: **{check['seconds']:.0f} s** "
        f"({'passed' if check['ok'] else 'FAILED'}; tests run per build: {check['tests']}). Aims: `make test` at "
        "most 6 minutes and `.ci/run` at most 8 from a fresh clone, `make check` at most 90 s.")
