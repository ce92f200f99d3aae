"""The shipped module's size as the simulator's users receive it:
build/windows/Lumivane.gau's bytes, sections and imports, and whether the
shape and resource checks pass on it.
"""
import sys

import CheckModuleShape
from Markdown import heading, paragraph, table
from figures.common import ROOT, failures, run, say

TARGETS = {"windows": ["Lumivane.gau"]}


def section():
    say("module shape")
    path = ROOT / "build/windows/Lumivane.gau"
    facts, faults = CheckModuleShape.inspect(str(path))
    resources_ok = run([sys.executable, ROOT / "tools/CheckModuleResources.py", path, ROOT / "resources"],
                       check=False).status == 0
    if faults or not resources_ok:
        failures.append("module checks")
    return heading("Size: build/windows/Lumivane.gau") + paragraph(
        f"**{facts['bytes']} bytes** ({facts['bytes'] / 1024:.1f} KiB; budget 32768), file alignment 512, "
        f"{facts['functions']} imported functions (budget 16). "
        f"Shape check: {'passed' if not faults else 'FAILED: ' + '; '.join(faults)}; "
        f"resources check: {'passed' if resources_ok else 'FAILED'}.") + \
        table(["section", "bytes used", "bytes in the file", "access"],
              [[n, v, r, f] for n, v, r, f in facts["sections"]] + [["headers", "", facts["headers"], ""]]) + [""] + \
        paragraph("Imports: " + "; ".join(f"{dll}: {', '.join(names)}" for dll, names in facts["imports"].items()) + ".")
