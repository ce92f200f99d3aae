"""The long forms of the reliability tests, in the native preset under
AddressSanitizer and UndefinedBehaviorSanitizer: every fuzzer
(figures/fuzzing.py), the sound fault matrix, the host's faults, the
settings storm and the soak. The one run of reliability_tests also counts
the calls per pass (figures/calls.py), so it is made once and kept.
"""
import functools
import re
from collections import namedtuple

from Markdown import heading, paragraph, table
from figures import fuzzing
from figures.common import ROOT, RUNS, SOAK_TAKEOFFS, STORM_PRESSES, failures, figure_lines, run, say

TARGETS = {"native": ["reliability_tests"]}
Runs = namedtuple("Runs", "figures ok seconds tests")


def targets():
    return {"native": TARGETS["native"] + fuzzing.targets()["native"]}


@functools.cache
def runs():
    say(f"reliability runs: storm of {STORM_PRESSES} presses, soak of {SOAK_TAKEOFFS} take-offs")
    ran = run([ROOT / "build/native/tests/reliability/reliability_tests"],
              env={"LUMIVANE_STORM_PRESSES": str(STORM_PRESSES), "LUMIVANE_SOAK_TAKEOFFS": str(SOAK_TAKEOFFS)},
              check=False, log=RUNS / "reliability.txt")
    if ran.status:
        failures.append("reliability runs")
    passed = re.search(r"\[  PASSED  \] (\d+) test", ran.output)
    return Runs(figure_lines(ran.output), ran.status == 0, ran.seconds, passed.group(1) if passed else "0")


def fault_matrix(figures):
    cells = {}
    for f in figures.get("fault-matrix", []):
        heard = f["heard"].replace("|", " \\| ")
        cells.setdefault(f["fault"], {})[f["phase"]] = f"`{f['met']}` {heard}"
    return ["### Sound fault matrix", "",
            "Whether the fault was met (R met, - not reached, . no switch to meet), then the call-outs heard over",
            "two take-offs, the second after the fault is gone: 1 the clip sample for sample, 0 silence, x other",
            "sound.", ""] + \
        table(["fault", "at install", "at play", "at kill"],
              [[fault, c.get("install", ""), c.get("play", ""), c.get("kill", "")] for fault, c in cells.items()]) + \
        ["", "After every cell: no device, no buffer, no sound object block left."]


def section():
    done = runs()
    md = heading("Reliability") + paragraph(
        f"Native build under AddressSanitizer and UndefinedBehaviorSanitizer; `reliability_tests` "
        f"({done.tests} tests) {'passed' if done.ok else 'FAILED'} in {done.seconds:.0f} s "
        "(log: `build/figures/runs/reliability.txt`).")
    md += fuzzing.section() + fault_matrix(done.figures)
    for f in done.figures.get("install-twice-leak", []):
        md += ["", "### Host faults", "",
               "Service table never written, calls before install, kill without install, kill twice: nothing",
               "crashes and nothing leaks. A second install without a kill leaks what the first made (by design):",
               f"{f['devices']} device with {f['device-references']} reference, {f['buffers']} buffers holding "
               f"{f['audio-bytes']} bytes of audio, {f['blocks']} LocalAlloc blocks ({f['block-bytes']} bytes in this "
               f"{int(f['pointer-bytes']) * 8}-bit build; in the 32-bit module a block is a 20-byte header and one "
               "4-byte voice, 2 × 24 = 48 bytes)."]
    for f in done.figures.get("settings-storm", []):
        md += ["", "### Settings storm", "",
               f"{f['presses']} random presses hit-tested through the mouse area list: {f['handlers']} ran a handler, "
               f"{f['adjusts']} adjusts, {f['files-read-back']} written files read back equal to memory, "
               f"{f['saves-refused']} saves refused by an unwritable file or folder, order kept through "
               f"{f['in-order-kept']} presses that started in order, {f['passes']} passes, {f['loads']} complete "
               f"loads, {f['file-events']} changes to the settings files."]
    for f in done.figures.get("soak", []):
        md += ["", "### Soak", "",
               f"{f['take-offs']} take-offs ({f['completed']} completed, each with exactly three call-outs; "
               f"{f['rejected']} rejected; {f['dipped-below-speed1']} dipped below Speed1 on the roll), "
               f"{f['call-outs-asked']} call-outs asked, {f['passes']} passes, {f['panel-reloads']} panel reloads. "
               f"Live throughout: {f['live-buffers']} buffers, {f['live-blocks']} blocks ({f['block-bytes']} bytes), "
               "no growth."]
    return md + [""]
