"""The web page (build/web) in headless Chromium, as its browser test
prints it: one pass with painting, timed by the page's own benchmark, and
the bytes its files take with gzip (tests/web/PageTest.py).
"""
import re

from Markdown import heading, paragraph
from figures.common import ROOT, RUNS, failures, run, say

TARGETS = {"web": ["lumivane-web"], "native": ["lumivane-bench", "Lumivane.gau"]}


def section():
    say("the web page in headless Chromium")
    ran = run(["/usr/bin/python3", ROOT / "tests/web/PageTest.py", "--page", ROOT / "build/web",
               "--bench", ROOT / "build/native/lumivane-bench", "--module", ROOT / "build/native/Lumivane.gau",
               "--out", RUNS / "web", "PageTest.test_7_measure_and_keep_a_screenshot",
               "PageTest.test_8_the_page_is_small_enough_to_send"], check=False, log=RUNS / "web.txt")
    if ran.status:
        failures.append("web page")
    cost = re.search(r"one pass with painting in headless Chromium: ([0-9.]+) ms", ran.output)
    size = re.search(r"the page's files with gzip: (\d+) bytes, budget (\d+) \((.*)\)", ran.output)
    cost, (sent, budget, files) = cost.group(1) if cost else "?", size.groups() if size else ("?",) * 3
    return heading("The web page") + paragraph(
        f"One pass with painting in headless Chromium: **{cost} ms** (the page's own benchmark, 2000 "
        f"passes; aim: under 1 ms). Its files with gzip (level 6): **{sent} bytes** (budget {budget}): "
        f"{files}. Log: `build/figures/runs/web.txt`.")
