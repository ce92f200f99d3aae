#!/usr/bin/python3
"""The long form of the kill loop for `make figures`: the bench of the
`figures` preset (optimised, no sanitizers) killed with SIGKILL at a random
moment of each of FIGURES_INSTALL_KILLS runs (default 500) of --install and
--uninstall on the test aircraft, by tests/bench/aircraft/InstallKillLoop.py,
which checks after each run that the panel and every backup are whole. Its
counts become one short section of the report.

    tools/InstallFigures.py   (prints the Markdown)
tools/figures imports it; the runs are left in build/figures/install-kills/.
"""
import os
import subprocess
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
WORK = ROOT / "build" / "figures" / "install-kills"
BUILD = ROOT / "build" / "figures" / "build"
LOOP = ROOT / "tests" / "bench" / "aircraft" / "InstallKillLoop.py"


def runs():
    value = os.environ.get("FIGURES_INSTALL_KILLS", "")
    return int(value) if value.strip().isdigit() and int(value) > 0 else 500


def section():
    """The section's Markdown lines, and the names of what failed."""
    count = runs()
    command = ["/usr/bin/python3", str(LOOP), str(BUILD / "lumivane-bench"), str(BUILD / "Lumivane.gau"), str(WORK),
               str(count)]
    done = subprocess.run(command, capture_output=True, text=True)
    figures = {}
    for line in done.stdout.splitlines():
        if line.startswith("figure: install-kills "):
            figures = dict(part.split("=", 1) for part in line.split()[2:])
    lines = ["## Installs killed at random moments", ""]
    if done.returncode != 0 or not figures:
        lines += [f"FAILED: `{' '.join(command[1:])}` said:", "", "```", (done.stdout + done.stderr)[-2000:], "```", ""]
        return lines, ["install kills"]
    shown = " ".join(str(Path(part).relative_to(ROOT)) if part.startswith(str(ROOT)) else part
                     for part in command[1:])
    lines += [f"{figures['runs']} runs of `lumivane-bench --install` and `--uninstall` in turn on the test aircraft, "
              "each sent SIGKILL after a random wait from nothing to a little longer than a whole run of its kind "
              f"takes (`{shown}`):", "",
              f"- {figures['changed']} changed the panel before they ended, {figures['unchanged']} ended before they "
              f"changed it, {figures['finished']} finished before the kill;",
              f"- {figures['backups']} backups checked whole; {figures['ours-left']} half-written files of ours left "
              "by a kill, each cleared by the next run;",
              f"- runs that lost anything: **{figures['lost']}** (Panel.cfg was always the original or the installed "
              "file, whole).", ""]
    return lines, []


if __name__ == "__main__":
    text, failed = section()
    print("\n".join(text))
    sys.exit(1 if failed else 0)
