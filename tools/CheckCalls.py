#!/usr/bin/env python3
"""Checks who calls whom, from the built objects. CheckIncludes.py holds the
folders to layers by what they include; this holds them to the same layers by
what their code needs when it is linked. From nm of each folder's objects and
libraries (listed by the build in call-layers.txt) it takes the symbols each
folder defines and the ones it needs, and draws an edge from a folder to each
other folder that defines what it needs. With the includes, those edges must
form no cycle: no folder may need a symbol defined in a folder above it,
which is how two files come to call each other across folders. And the
gauge's folders need nothing the bench or the page defines.

Two needs are drawn but never counted, each named below with its reason:
a system call that a host serves, and the element records' pointer to the
gauge header.

    CheckCalls.py SOURCE-ROOT CALL-LAYERS-FILE [FOLDER=OBJECT ...]
The extra FOLDER=OBJECT pairs add objects to a folder, for a check of the
check. Prints the graph, and a FAULT line for each rule broken.
"""
import re
import subprocess
import sys
from pathlib import Path

# No bytecode left in the source tree by a check.
sys.dont_write_bytecode = True
sys.path.insert(0, str(Path(__file__).resolve().parent))
import CheckIncludes  # noqa: E402
from Faults import arguments, verdict  # noqa: E402

# The system's call that a host serves in the system's place: the native
# module imports DirectSoundCreate from whichever program loads it, as the
# DLL imports it from dsound.dll.
SERVED_BY_HOST = {"DirectSoundCreate"}
# (folder, symbol) of the host's records: the host's layout makes every
# element of the panel's static chain point back at the gauge header, which
# the module's linkage lists above it.
HOST_RECORDS = {("panel", "Gauge")}
# Symbol kinds nm gives a definition that the linker binds others to; weak
# definitions (inline functions, templates, type information) belong to
# whoever uses them and are left out.
DEFINED = set("TDRBCGSIu")
NM_SECONDS = 60
NM_BYTES = 64 << 20


def plain(symbol, underscored):
    """The name as the compiler would give it on ELF: without the underscore
    that 32-bit Windows puts before every name, or the argument bytes of a
    stdcall name (_DirectSoundCreate@12)."""
    if underscored and symbol.startswith("_"):
        symbol = symbol[1:]
    return re.sub(r"@\d+$", "", symbol)


def symbols(nm, path):
    """(defined, needed) names of one object or library."""
    try:
        done = subprocess.run([nm, "-P", "-A", path], capture_output=True, timeout=NM_SECONDS)
    except (OSError, subprocess.TimeoutExpired) as error:
        raise RuntimeError(f"{nm} on {path}: {error}")
    if done.returncode != 0:
        raise RuntimeError(f"{nm} on {path}: {done.stderr.decode(errors='replace').strip()[:300]}")
    if len(done.stdout) > NM_BYTES:
        raise RuntimeError(f"{nm} on {path}: more than {NM_BYTES >> 20} MB of symbols")
    defined, needed = set(), set()
    for line in done.stdout.decode(errors="replace").splitlines():
        # "file[member]: name kind [value size]"
        _, _, rest = line.rpartition(": ")
        fields = rest.split()
        if len(fields) < 2:
            continue
        name, kind = fields[0], fields[1]
        if kind == "U":
            needed.add(name)
        elif kind in DEFINED:
            defined.add(name)
    return defined, needed - defined


def read_layers(path, extra):
    """The nm tool and each folder's files, from the build's list."""
    nm, files = None, {}
    for number, line in enumerate(Path(path).read_text().splitlines(), 1):
        if not line.strip():
            continue
        folder, _, file = line.partition(" ")
        if not file:
            raise RuntimeError(f"{path}:{number}: wanted a folder and a file, found {line[:100]!r}")
        if folder == "nm":
            nm = file
        else:
            files.setdefault(folder, []).append(file)
    for pair in extra:
        folder, _, file = pair.partition("=")
        files.setdefault(folder, []).append(file)
    if not nm:
        raise RuntimeError(f"{path}: no nm line")
    return nm, files


def demangled(names, underscored):
    """Each name as the source spells it, for the graph a person reads."""
    bare = [plain(name, underscored) for name in names]
    try:
        done = subprocess.run(["c++filt"], input="\n".join(bare), capture_output=True, text=True, timeout=NM_SECONDS)
        out = done.stdout.splitlines()
        if done.returncode == 0 and len(out) == len(names):
            return dict(zip(names, out))
    except (OSError, subprocess.TimeoutExpired):
        pass
    return dict(zip(names, bare))


def reaches(graph, start, goal):
    seen, stack = set(), [start]
    while stack:
        node = stack.pop()
        if node == goal:
            return True
        if node in seen:
            continue
        seen.add(node)
        stack.extend(graph.get(node, ()))
    return False


def path_between(graph, start, goal):
    """A shortest path start -> goal, as a list of folders."""
    previous, queue = {start: None}, [start]
    while queue:
        node = queue.pop(0)
        if node == goal:
            path = []
            while node is not None:
                path.append(node)
                node = previous[node]
            return path[::-1]
        for target in sorted(graph.get(node, ())):
            if target not in previous:
                previous[target] = node
                queue.append(target)
    return [start, goal]


def main(root, layers, extra):
    nm, files = read_layers(layers, extra)
    includes = {folder: set(targets) for folder, targets in CheckIncludes.folder_graph(Path(root)).items()}
    # A build made for one target only (the page's) leaves some libraries
    # unbuilt; they are named, not read.
    unbuilt = {folder: [p for p in paths if not Path(p).exists()] for folder, paths in files.items()}
    files = {folder: [p for p in paths if Path(p).exists()] for folder, paths in files.items()}
    files = {folder: paths for folder, paths in files.items() if paths}
    defines, needs = {}, {}
    for folder, paths in files.items():
        defines[folder], needs[folder] = set(), set()
        for path in paths:
            defined, needed = symbols(nm, path)
            defines[folder] |= defined
            needs[folder] |= needed
    for folder in files:
        needs[folder] -= defines[folder]
    owners = {}
    for folder, names in defines.items():
        for name in names:
            owners.setdefault(name, set()).add(folder)

    # 32-bit Windows names carry a leading underscore (MinGW's nm is the one
    # that reads them).
    underscored = "mingw" in Path(nm).name
    # folder -> target -> names needed there
    counted, shown = {}, {}
    for folder in sorted(files):
        for name in needs[folder]:
            for owner in owners.get(name, ()):
                if owner == folder:
                    continue
                bare = plain(name, underscored)
                kind = shown if bare in SERVED_BY_HOST or (folder, bare) in HOST_RECORDS else counted
                kind.setdefault(folder, {}).setdefault(owner, set()).add(name)

    graph = {folder: set(targets) for folder, targets in includes.items()}
    for folder, targets in counted.items():
        graph.setdefault(folder, set()).update(targets)

    names = demangled(sorted({n for edges in (counted, shown) for t in edges.values() for s in t.values() for n in s}),
        underscored)

    def listed(symbols_, most=3):
        # The name without its parameters, which say nothing about layers.
        ordered = sorted({names[s].split("(")[0] for s in symbols_})
        more = f" and {len(ordered) - most} more" if len(ordered) > most else ""
        return ", ".join(ordered[:most]) + more

    print(f"  (symbols from {nm}; folders with code in this build: {len(files)})")
    for folder, paths in sorted(unbuilt.items()):
        if paths:
            print(f"  (not built here, left out: {len(paths)} file(s) of {folder}/)")
    for folder in sorted(set(includes) | set(files)):
        inc = ", ".join(sorted(includes.get(folder, ()))) or "(nothing)"
        need = "; ".join(f"{t} ({listed(s)})" for t, s in sorted(counted.get(folder, {}).items())) or "(nothing)"
        if folder not in files:
            need = "(no code in this build)"
        print(f"  {folder}: includes {inc}; needs {need}")
        for target, syms in sorted(shown.get(folder, {}).items()):
            print(f"      not counted: {target} ({listed(syms)}), served by the host or a record of its layout")

    faults = []
    for folder, targets in sorted(counted.items()):
        for target, syms in sorted(targets.items()):
            # A need closes a circle unless the folder also includes its way
            # down to the target: then the need follows the layers, and the
            # circle is another edge's fault (or an include circle, which
            # CheckIncludes.py names).
            if reaches(graph, target, folder) and not reaches(includes, folder, target):
                way = includes if reaches(includes, target, folder) else graph
                back = " -> ".join(f"{f}/" for f in path_between(way, target, folder))
                faults.append(f"{folder}/ needs {listed(syms)} from {target}/, which is above it: {back}")
            if folder in CheckIncludes.GAUGE and target.split("/")[0] in {"bench", "web"}:
                faults.append(f"the gauge's {folder}/ needs {listed(syms)} from {target}/")
    return verdict(faults)


if __name__ == "__main__":
    given = arguments(__doc__, range(2, 1000))
    try:
        sys.exit(main(given[0], given[1], given[2:]))
    except (OSError, RuntimeError) as error:
        sys.exit(verdict([error]))
