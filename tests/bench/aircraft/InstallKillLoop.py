#!/usr/bin/python3
"""The bench killed at any moment of an install or an uninstall: on the test
aircraft without the gauge (MakeTestPanel.py), RUNS runs of --install and
--uninstall in turn, each sent SIGKILL after a random wait from nothing to a
little longer than a whole run of its kind takes. After each run, Panel.cfg
is the original or the installed file, whole; every backup beside it is one
of the two, whole; Lumivane.gau in Gauges is absent or the module, whole. A
file of ours a kill left half-written is counted, and must be gone after the
next run that writes there. The backups are checked and removed after each
run.
Prints the counts as one line "figure: install-kills key=value ...", and
exits 1 when a run lost anything.

    InstallKillLoop.py BENCH MODULE WORK-DIR RUNS [SEED]
"""
import os
import random
import shutil
import signal
import subprocess
import sys
import time
from pathlib import Path

# No bytecode left in the source tree by a test run.
sys.dont_write_bytecode = True
sys.path.insert(0, str(Path(__file__).resolve().parent))
from MakeTestPanel import make_bare_panel  # noqa: E402

sys.path.insert(0, str(Path(__file__).resolve().parents[3] / "tools"))
from Faults import arguments, verdict  # noqa: E402

ENV = dict(os.environ, ASAN_OPTIONS="detect_leaks=0:" + os.environ.get("ASAN_OPTIONS", ""))


def command(bench, op, config, out):
    return [bench, f"--{op}", str(config), "--out", str(out), "--quiet"]


def timed(bench, op, config, out):
    started = time.monotonic()
    done = subprocess.run(command(bench, op, config, out), env=ENV, capture_output=True, text=True, timeout=240)
    if done.returncode != 0:
        sys.exit(f"InstallKillLoop: --{op} without a kill failed ({done.returncode}): {done.stderr}")
    return time.monotonic() - started


def main(bench, module, work, runs, seed):
    work = Path(work)
    shutil.rmtree(work, ignore_errors=True)
    config, gauges = make_bare_panel(work / "aircraft", module, keep_module=False)
    out = work / "out"
    module_bytes = Path(module).read_bytes()
    original = config.read_bytes()
    # Installs and uninstalls without a kill: the installed file, and how
    # long an uninstall takes (the middle of three, as a machine under load
    # is slow now and then).
    spans = {"install": [], "uninstall": []}
    for _ in range(3):
        spans["install"].append(timed(bench, "install", config, out))
        installed = config.read_bytes()
        spans["uninstall"].append(timed(bench, "uninstall", config, out))
        if config.read_bytes() != original or installed == original:
            sys.exit("InstallKillLoop: the install without a kill did not add a line, or the uninstall not take it "
                     "out")
    span = {op: sorted(times)[1] for op, times in spans.items()}
    for path in config.parent.glob("Panel.cfg.lumivane-*"):
        path.unlink()
    (gauges / "Lumivane.gau").unlink()

    chance = random.Random(seed)
    counts = {"runs": runs, "changed": 0, "unchanged": 0, "finished": 0, "backups": 0, "ours-left": 0, "lost": 0}
    left = set()
    faults = []
    for run in range(runs):
        op = "install" if config.read_bytes() == original else "uninstall"
        process = subprocess.Popen(command(bench, op, config, out), env=ENV, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        time.sleep(chance.uniform(0, span[op] * 1.1))
        if process.poll() is None:
            process.send_signal(signal.SIGKILL)
        else:
            counts["finished"] += 1
        process.wait()
        now = config.read_bytes()
        expected_before = original if op == "install" else installed
        if now not in (original, installed):
            faults.append(f"run {run} (--{op}): Panel.cfg is neither the original nor the installed file")
        counts["changed" if now != expected_before else "unchanged"] += 1
        for backup in config.parent.glob("Panel.cfg.lumivane-*.bak"):
            counts["backups"] += 1
            if backup.read_bytes() not in (original, installed):
                faults.append(f"run {run} (--{op}): {backup.name} is not whole")
            backup.unlink()
        copied = gauges / "Lumivane.gau"
        if copied.exists() and copied.read_bytes() != module_bytes:
            faults.append(f"run {run} (--{op}): Gauges/Lumivane.gau is not the module, whole")
        ours = {path for folder in (config.parent, gauges) for path in folder.glob("*.lumivane-writing")}
        counts["ours-left"] += len(ours - left)
        # A file of ours left by the run before must be gone once a run
        # that writes there has finished.
        if process.returncode == 0 and op == "uninstall" and config.parent / "Panel.cfg.lumivane-writing" in ours:
            faults.append(f"run {run}: a finished --uninstall left Panel.cfg.lumivane-writing")
        left = ours
        if faults:
            counts["lost"] += 1
            break
    print("figure: install-kills " + " ".join(f"{key}={value}" for key, value in counts.items()), flush=True)
    return verdict(faults)


if __name__ == "__main__":
    given = arguments(__doc__, range(4, 6))
    sys.exit(main(given[0], given[1], given[2], int(given[3]), int(given[4]) if len(given) > 4 else 1998))
