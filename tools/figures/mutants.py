"""The share of plausible slips the tests catch in each room, from the
latest run of tools/mutate saved in docs/mutants/. A room takes hours on two
cores, so the rooms are run apart (`make mutants ROOM=...`), or all first
with FIGURES_MUTANTS=1.
"""
from Markdown import heading, paragraph, table
from Rooms import read_rooms
from figures.common import ROOT, RUN_MUTANTS, RUNS, failures, run, say
from mutation import report

TARGETS = {}


def rooms_table(rooms):
    """The score table of every room from its latest saved result, with when
    it was measured, and the rooms never measured."""
    results = {room.name: report.latest(ROOT, room.name) for room in rooms}
    rows = [report.row(name, r) + [r["finished"] or f"{r['measured']}, unfinished", r["commit"]]
            for name, r in results.items() if r and "mutants" in r]
    return table(report.HEADER + ["measured", "commit"], rows) if rows else [], \
        [name for name, r in results.items() if not (r and "mutants" in r)]


def section():
    rooms, _ = read_rooms(ROOT)
    for room in rooms if RUN_MUTANTS else []:
        say(f"mutants of {room.name}")
        if run([ROOT / "tools/mutate", "--room", room.name], check=False,
               log=RUNS / f"mutants.{room.name.replace('/', '-')}.txt").status:
            failures.append(f"mutants of {room.name}")
    md = heading("Mutants: the slips the tests catch, room by room") + paragraph(
        "Faults made one at a time in each room's C++ sources by `tools/mutate` (comparisons turned, logical",
        "operators swapped, constants and offsets moved by one, conditions forced, clamps, calls and",
        "assignments deleted, results forced, fields read for their neighbours), each built and judged by",
        "the tests labelled with the room. Score: killed / (all − equivalent − not built); a sample where",
        "the mutants column says so (MUTANTS_LIMIT), and then the last column is the least score of the",
        "whole room that the sample leaves likely (one-sided Clopper-Pearson, 95%).",
        "Details and survivors: `docs/mutants/<room>.md`.")
    rows, never = rooms_table(rooms)
    md += rows + [""] if rows else []
    if never:
        md += paragraph("Never measured: " + ", ".join(never) + ". Each with `make mutants ROOM=<room>` (add",
                        "`MUTANTS_LIMIT=N` for a sample), or all of them with `make figures FIGURES_MUTANTS=1`.")
    return md
