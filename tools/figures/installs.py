"""Installs killed at random moments, for `make figures`: the bench of the
`figures` preset (optimised, no sanitizers) killed with SIGKILL at a random
moment of each of FIGURES_INSTALL_KILLS runs (default 500) of --install and
--uninstall on the test aircraft, by tests/bench/aircraft/InstallKillLoop.py,
which checks after each run that the panel and every backup are whole. The
runs are left in build/figures/install-kills/.
"""
from figures.common import INSTALL_KILLS, OUT, ROOT, failures, figure_lines, run, say
from Markdown import code, heading, paragraph

TARGETS = {"figures": ["lumivane-bench", "Lumivane.gau"]}
LOOP = ROOT / "tests" / "bench" / "aircraft" / "InstallKillLoop.py"
BUILD = OUT / "build"


def section():
    count = INSTALL_KILLS
    say(f"killing {count} installs and uninstalls at random moments")
    command = ["/usr/bin/python3", LOOP, BUILD / "lumivane-bench", BUILD / "Lumivane.gau", OUT / "install-kills",
               count]
    ran = run(command, check=False)
    found = figure_lines(ran.output).get("install-kills")
    lines = heading("Installs killed at random moments")
    if ran.status != 0 or not found:
        failures.append("install kills")
        return lines + paragraph("FAILED: the kill loop said:") + code([ran.output[-2000:]])
    figures = found[-1]
    shown = " ".join(str(part).replace(str(ROOT) + "/", "") for part in command[1:])
    return lines + [
        f"{figures['runs']} runs of `lumivane-bench --install` and `--uninstall` in turn on the test aircraft, "
        "each sent SIGKILL after a random wait from nothing to a little longer than a whole run of its kind "
        f"takes (`{shown}`):", "",
        f"- {figures['changed']} changed the panel before they ended, {figures['unchanged']} ended before they "
        f"changed it, {figures['finished']} finished before the kill;",
        f"- {figures['backups']} backups checked whole; {figures['ours-left']} half-written files of ours left "
        "by a kill, each cleared by the next run;",
        f"- runs that lost anything: **{figures['lost']}** (Panel.cfg was always the original or the installed "
        "file, whole).", ""]
