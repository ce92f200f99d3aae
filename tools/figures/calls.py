"""The gauge's calls to the system in each pass, counted natively by
link-time wrappers during the reliability runs; the same table is made of
the Wine count (figures/wine.py), which is held to this one.
"""
from Markdown import heading, table
from figures import reliability

TARGETS = reliability.TARGETS
COUNTED = ["LocalAlloc", "LocalFree", "fopen", "failed-fopen", "fgetc", "fputs", "fclose", "DirectSoundCreate"]
HEADER = ["state", "passes", "LocalAlloc", "LocalFree", "fopen", "failed fopen", "fgetc", "fputs", "fclose",
          "DirectSoundCreate"]


def rows(figures):
    return [[f["state"], f["passes"]] + [f[k] for k in COUNTED] for f in figures.get("calls-per-pass", [])]


def notes(figures, name, what):
    lines = []
    for f in figures.get(name, []):
        line = f"{what}: " + ", ".join(f"{k} {f[k]}" for k in COUNTED if f.get(k, "0") != "0") + "."
        if line not in lines:
            lines.append(line)
    return lines


def section():
    figures = reliability.runs().figures
    return heading("Calls to the system per pass (native, counted by link-time wrappers)") + \
        table(HEADER, rows(figures)) + [""] + \
        notes(figures, "calls-at-install", "Install") + notes(figures, "calls-at-kill", "Kill") + [""]
