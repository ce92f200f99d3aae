#!/usr/bin/env python3
"""Checks which folders include which, from the sources alone. A folder holds
one concern, so the folders of the gauge, the host's contract, the platform
and the bench must form layers: no folder may reach back, through any chain
of includes, into a folder that includes it. The host's contract includes
nothing of ours, and the platform nothing but itself; the gauge's folders
never include the bench; and the bench
sees the gauge only as a host does, through the contract. The bench's own
rooms (bench/hosting, bench/sound, ...) are folders of their own here, so
they must form layers too, and the program at bench/'s top may use them all.
The web page (web/) is a backend of the bench's pass like its window: it may
use the host's contract, the platform and the bench's rooms, and nothing of
the gauge. The speed programs (speed/) measure the gauge as the bench's host
drives it: they may use the gauge, whose steady state they set, the host's
contract, the platform and the bench's hosting, and no other room of the bench.
Lumivane's own room (bench/lumivane), every fact about the gauge and the one
reading of its panel, is a plug-in of the bench: only the run's observers
(bench/recording), the window's status line, the page (web/), the
measuring tools (bench/measuring) and the bench program itself, which tells
the aircraft room which module it checks and installs, may include it; the
host and the pass loop know the gauge's panel only through the reader's
interface.

    CheckIncludes.py SOURCE-ROOT
Prints the folder graph, and a FAULT line for each rule broken.
"""
import re
import sys
from pathlib import Path

# No bytecode left in the source tree by a check.
sys.dont_write_bytecode = True
from Faults import arguments, verdict  # noqa: E402

GAUGE = {"module", "panel", "settings", "callouts", "sound", "resources", "hostcalls"}
TOP = GAUGE | {"host", "platform", "bench", "web", "speed"}
# Folders whose sub-folders are layered folders of their own.
ROOMED = {"bench"}
# What the folders of each top folder may include besides themselves, by top
# folder or by room; None: any layered folder.
ALLOWED = {
    "host": set(),
    # The platform serves the gauge as the system would, knowing nothing of
    # the host's records: what a host needs of a platform is the bench's.
    "platform": {"platform"},
    "bench": {"host", "platform", "bench"},
    "web": {"host", "platform", "bench", "web"},
    "speed": GAUGE | {"host", "platform", "bench/hosting", "speed"},
}
# Rooms that only the files below may include: each a path's start, a room
# or a file without its extension.
ONLY_INCLUDED_BY = {
    "bench/lumivane": ("bench/recording/", "bench/window/StatusLine.", "web/", "bench/measuring/", "bench/PanelSteps."),
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)


def node_of(relative):
    """The layered folder a path (relative to the root) belongs to."""
    parts = relative.split("/")
    if parts[0] in ROOMED and len(parts) > 2:
        return f"{parts[0]}/{parts[1]}"
    return parts[0]


def folder_graph(root, outsiders=None):
    """The folders and which include which, each edge with the first file
    that makes it; every file that includes a room of ONLY_INCLUDED_BY from
    outside goes into `outsiders` as (room, file) when one is given."""
    nodes = set(TOP)
    for top in ROOMED:
        nodes |= {f"{top}/{room.name}" for room in (root / top).iterdir() if room.is_dir()}
    graph = {node: {} for node in nodes}
    for top in TOP:
        for path in sorted((root / top).rglob("*")):
            if path.suffix not in {".h", ".cpp", ".c", ".rc"}:
                continue
            relative = str(path.relative_to(root))
            folder = node_of(relative)
            for include in INCLUDE.findall(path.read_text(errors="replace")):
                if "/" not in include:
                    continue
                target = node_of(include)
                if target in graph and target != folder:
                    graph[folder].setdefault(target, relative)
                allowed = ONLY_INCLUDED_BY.get(target)
                if allowed and target != folder and not relative.startswith(allowed) and outsiders is not None:
                    outsiders.append((target, relative))
    return graph


def find_cycle(graph):
    state = {}
    stack = []

    def visit(node):
        state[node] = "open"
        stack.append(node)
        for target in sorted(graph[node]):
            if state.get(target) == "open":
                return stack[stack.index(target):] + [target]
            if target not in state:
                cycle = visit(target)
                if cycle:
                    return cycle
        stack.pop()
        state[node] = "done"
        return None

    for node in sorted(graph):
        if node not in state:
            cycle = visit(node)
            if cycle:
                return cycle
    return None


def main(root):
    outsiders = []
    graph = folder_graph(Path(root), outsiders)
    faults = [f"{room}/ is included by {where}, which is not among those that may include it "
              f"({', '.join(ONLY_INCLUDED_BY[room])})" for room, where in outsiders]
    for folder in sorted(graph):
        targets = graph[folder]
        print(f"  {folder}: {', '.join(sorted(targets)) or '(nothing)'}")
        allowed = ALLOWED.get(folder.split("/")[0])
        for target, where in sorted(targets.items()):
            if allowed is not None and target not in allowed and target.split("/")[0] not in allowed:
                faults.append(f"{folder}/ includes {target}/ ({where})")
            if folder in GAUGE and target.split("/")[0] in {"bench", "web"}:
                faults.append(f"the gauge's {folder}/ includes the bench ({where})")
    for room, allowed in sorted(ONLY_INCLUDED_BY.items()):
        print(f"  {room} may be included only by {', '.join(allowed)}")
    cycle = find_cycle(graph)
    if cycle:
        steps = " -> ".join(f"{a}/ ({graph[a][b]})" for a, b in zip(cycle, cycle[1:]))
        faults.append(f"folders include each other: {steps} -> {cycle[-1]}/")
    return verdict(faults)


if __name__ == "__main__":
    sys.exit(main(*arguments(__doc__, 1)))
