#!/usr/bin/env python3
"""Checks a release zip as a downloader sees it: exactly the gauge, the
windows bench, its two scenarios and their format, Lumivane's licence, the
font licence, the pilots' readme, FILE_ID.DIZ and the checksums; Windows
line ends in the texts; a FILE_ID.DIZ the add-on libraries accept (at most
10 lines of at most 45 characters, the simulator named first); a bench that
needs no DLL beyond those Windows itself has (no compiler runtime); the
tree's own LICENSE, and the SIL Open Font License for the font the bench
carries; the bench's needs (Windows version and processor) said the same in
the pilots' readme and in the bench's own header; a bench whose help sends
a reader only to files the zip holds beside it (SCENARIOS.txt among them); a
readme that gives the panel entry to add, gaugeNN=Lumivane, X, Y, and a
worked example of a window before and after that adds just that line (and
no FILE!GAUGE form, which the 1998 simulator does not read); and checksums
that match.

The web page's zip (Lumivane-VERSION-web.zip) is checked for what a static
host needs: exactly the files its service worker keeps, the worker and the
font's licence; a page that links to the release zip of its own version,
loads its own scripts and links its manifest; a worker whose cache is named
by that version; a manifest an installing browser accepts, with its icons; a
font cut to the readout and renamed as its licence asks; and what a visit
receives with gzip held to the page's budget.

    CheckRelease.py PATH/TO/Lumivane-VERSION.zip
    CheckRelease.py PATH/TO/Lumivane-VERSION-web.zip
"""
import gzip
import hashlib
import io
import json
import os
import re
import struct
import sys
import zipfile

import pefile
from fontTools.ttLib import TTFont

# No bytecode left in the source tree by a check.
sys.dont_write_bytecode = True
from Faults import arguments, verdict  # noqa: E402

TREE = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
FILES = ["Lumivane.gau", "lumivane-bench.exe", "ReadMe.txt", "FILE_ID.DIZ", "takeoff.txt", "rejected.txt",
         "SCENARIOS.txt", "LICENSE.txt", "OFL.txt", "SHA256SUMS.txt"]
TEXTS = ["ReadMe.txt", "FILE_ID.DIZ", "takeoff.txt", "rejected.txt", "SCENARIOS.txt", "LICENSE.txt", "OFL.txt"]
# How the bench's help points at a text of the zip.
BESIDE = re.compile(rb"([\w.-]+\.txt) beside the program")
# What the readme says the bench needs, and the header version that says it.
BENCH_WINDOWS = {"Windows XP": (5, 1), "Windows 2000": (5, 0), "Windows 98": (4, 10), "Windows 95": (4, 0)}
BENCH_PROCESSORS = {"a Pentium Pro": "i686", "a 486": "i486"}
# DLLs every Windows the bench is for has in its system folder.
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll", "ole32.dll",
               "msvcrt.dll", "dsound.dll", "winmm.dll"}


def bench_imports(body):
    """The DLLs the bench imports, in lower case."""
    image = pefile.PE(data=body, fast_load=True)
    image.parse_data_directories(directories=[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_IMPORT"]])
    return sorted(entry.dll.decode("ascii").lower() for entry in getattr(image, "DIRECTORY_ENTRY_IMPORT", []))


# The page's own files besides those its service worker lists: the worker
# and the licence of the font it carries.
PAGE_EXTRA = ["sw.js", "FONT-LICENCE.txt"]
# What any page must have, whatever else its worker lists.
PAGE_NEEDS = {"index.html", "page.js", "lumivane.js", "lumivane.wasm", "lumivane.data", "manifest.webmanifest"}
# What a first visit receives with gzip: every file the worker keeps, and the
# worker.
PAGE_BUDGET = 100 * 1024
ICON_SIZES = (192, 512)
# Names the font's licence reserves for the original (OFL 1.1, section 3).
RESERVED_FONT_NAMES = ("Liberation", "Arimo", "Tinos", "Cousine")
MOST_FONT_GLYPHS = 32


def page_files(worker):
    """The files the service worker keeps, read from its one list."""
    found = re.search(r"^const files = (\[[^\n]*\]);$", worker, re.MULTILINE)
    return json.loads(found.group(1)) if found else []


def sent_with_gzip(files, names):
    return {name: len(gzip.compress(files[name], compresslevel=6)) for name in names if name in files}


def png_size(body):
    if len(body) < 24 or body[:8] != b"\x89PNG\r\n\x1a\n" or body[12:16] != b"IHDR":
        return None
    return struct.unpack(">II", body[16:24])


def check_manifest(files, faults):
    try:
        manifest = json.loads(files.get("manifest.webmanifest", b"").decode("utf-8"))
    except ValueError as error:
        faults.append(f"manifest.webmanifest is not JSON: {error}")
        return
    for key in ("name", "short_name", "description", "start_url", "theme_color", "background_color"):
        if not isinstance(manifest.get(key), str) or not manifest[key]:
            faults.append(f"manifest.webmanifest has no {key}")
    if manifest.get("display") != "standalone":
        faults.append("manifest.webmanifest does not ask for display standalone")
    icons = {icon.get("sizes"): icon.get("src") for icon in manifest.get("icons", [])}
    for size in ICON_SIZES:
        source = icons.get(f"{size}x{size}")
        if png_size(files.get(source, b"")) != (size, size):
            faults.append(f"manifest.webmanifest has no {size}x{size} PNG icon in the zip ({source})")


def check_font(body, faults):
    """lumivane.data holds the readout's font alone: a subset, renamed."""
    try:
        font = TTFont(io.BytesIO(body), lazy=True)
        names = {record.nameID: record.toUnicode() for record in font["name"].names}
        glyphs = font["maxp"].numGlyphs
    except Exception as error:  # fontTools raises many kinds for a bad file
        faults.append(f"lumivane.data is not the readout's font: {error}")
        return
    for name_id in (1, 4, 6, 16, 17):
        if any(reserved.lower() in names.get(name_id, "").lower() for reserved in RESERVED_FONT_NAMES):
            faults.append(f"the page's font is named {names[name_id]!r}, a name its licence reserves")
    if glyphs > MOST_FONT_GLYPHS:
        faults.append(f"the page's font has {glyphs} glyphs, not cut to the readout's")


def check_panel_entry(readme, faults):
    """The readme's installing: the line, and an example that adds it."""
    if "gaugeNN=Lumivane, X, Y" not in readme:
        faults.append("ReadMe.txt does not give the panel entry 'gaugeNN=Lumivane, X, Y'")
    if "!" in readme:
        faults.append("ReadMe.txt names a FILE!GAUGE form, which the 1998 simulator does not read")
    blocks = {}
    for which in ("before", "after"):
        found = re.search(rf"\b{which}\b[^\n]*:\n\n((?:      .*\n|\n)+)", readme)
        blocks[which] = found.group(1).split("\n") if found else []
    added = [line.strip() for line in blocks["after"] if line not in blocks["before"]]
    if not blocks["before"] or len(added) != 1 or not re.fullmatch(r"gauge\d\d=Lumivane, \d+, \d+", added[0]):
        faults.append("ReadMe.txt has no worked example of a window before and after that adds one line "
                      f"gaugeNN=Lumivane, X, Y (it adds {added})")


def check_page(path):
    faults = []
    with zipfile.ZipFile(path) as archive:
        names = archive.namelist()
        files = {name: archive.read(name) for name in names}
    worker = files.get("sw.js", b"").decode("utf-8", "replace")
    listed = page_files(worker)
    if not listed:
        faults.append("sw.js lists no files")
    if sorted(names) != sorted(listed + PAGE_EXTRA):
        faults.append(f"holds {names}, not the worker's files and {PAGE_EXTRA}")
    missing = PAGE_NEEDS - set(listed)
    if missing:
        faults.append(f"the worker does not keep {sorted(missing)}")
    version = re.fullmatch(r"Lumivane-([0-9.]+)-web\.zip", os.path.basename(path))
    page = files.get("index.html", b"").decode("utf-8", "replace")
    if not version or f'href="Lumivane-{version.group(1)}.zip"' not in page:
        faults.append("index.html does not link to the release zip of its own version")
    if not version or f'const version = "{version.group(1)}";' not in worker:
        faults.append("sw.js does not name the cache after the zip's version")
    for script in [name for name in listed if name.endswith(".js")]:
        if f'<script src="{script}"></script>' not in page:
            faults.append(f"index.html does not load {script}")
    if '<link rel="manifest" href="manifest.webmanifest">' not in page:
        faults.append("index.html does not link its manifest")
    if '<meta name="description"' not in page:
        faults.append("index.html has no description")
    for name, text in (("index.html", page), ("sw.js", worker)):
        if "@LUMIVANE_" in text or "@PROJECT_" in text:
            faults.append(f"{name} still holds a placeholder")
    check_manifest(files, faults)
    check_font(files.get("lumivane.data", b""), faults)
    sent = sum(sent_with_gzip(files, listed + ["sw.js"]).values())
    if sent > PAGE_BUDGET:
        faults.append(f"the page takes {sent} bytes with gzip, over {PAGE_BUDGET}")
    if "SIL Open Font License" not in files.get("FONT-LICENCE.txt", b"").decode("utf-8", "replace"):
        faults.append("FONT-LICENCE.txt does not give the SIL Open Font License")
    return verdict(faults, f"{path}: {len(names)} files, {sent} bytes sent with gzip")


def main(path):
    if path.endswith("-web.zip"):
        return check_page(path)
    faults = []
    with zipfile.ZipFile(path) as archive:
        names = archive.namelist()
        if names != FILES:
            faults.append(f"holds {names}, not {FILES}")
        files = {name: archive.read(name) for name in names}

    for text in TEXTS:
        body = files.get(text, b"")
        if body.count(b"\n") != body.count(b"\r\n"):
            faults.append(f"{text} has line ends other than CR LF")

    diz = files.get("FILE_ID.DIZ", b"").decode("ascii").splitlines()
    if not 1 <= len(diz) <= 10:
        faults.append(f"FILE_ID.DIZ has {len(diz)} lines")
    for number, line in enumerate(diz, 1):
        if len(line) > 45:
            faults.append(f"FILE_ID.DIZ line {number} has {len(line)} characters")
    if diz and not diz[0].startswith("Microsoft Flight Simulator 98"):
        faults.append("FILE_ID.DIZ does not name the simulator first")

    imports = []
    if "lumivane-bench.exe" in files:
        imports = bench_imports(files["lumivane-bench.exe"])
        others = [dll for dll in imports if dll not in SYSTEM_DLLS]
        if others:
            faults.append(f"lumivane-bench.exe needs DLLs Windows does not have: {others}")
        pointed = sorted({name.decode() for name in BESIDE.findall(files["lumivane-bench.exe"])})
        if "SCENARIOS.txt" not in pointed or set(pointed) - set(names):
            faults.append(f"the bench's help sends a reader to {pointed} beside it, not to SCENARIOS.txt and "
                          "what the zip holds")

    readme = files.get("ReadMe.txt", b"").decode("ascii", "replace").replace("\r\n", " ").replace("\n", " ")
    readme = " ".join(readme.split())
    said = [name for name in BENCH_WINDOWS if f"the bench needs {name} or later" in readme]
    if len(said) != 1:
        faults.append("ReadMe.txt does not say which Windows the bench needs ('the bench needs Windows ... or later')")
    elif "lumivane-bench.exe" in files:
        header = pefile.PE(data=files["lumivane-bench.exe"], fast_load=True).OPTIONAL_HEADER
        versions = {(header.MajorOperatingSystemVersion, header.MinorOperatingSystemVersion),
                    (header.MajorSubsystemVersion, header.MinorSubsystemVersion)}
        if versions != {BENCH_WINDOWS[said[0]]}:
            faults.append(f"ReadMe.txt says the bench needs {said[0]}, its header says {sorted(versions)}")
    if not any(f"on {cpu} or any later processor" in readme for cpu in BENCH_PROCESSORS):
        faults.append("ReadMe.txt does not say which processor the bench needs")
    check_panel_entry(files.get("ReadMe.txt", b"").decode("ascii", "replace").replace("\r\n", "\n"), faults)

    licence = files.get("OFL.txt", b"").decode("ascii", "replace")
    for words in ("SIL OPEN FONT LICENSE Version 1.1", "Reserved Font Name Liberation"):
        if words not in licence:
            faults.append(f"OFL.txt does not say '{words}'")
    with open(os.path.join(TREE, "LICENSE"), "rb") as tree_licence:
        if files.get("LICENSE.txt", b"").replace(b"\r\n", b"\n") != tree_licence.read().replace(b"\r\n", b"\n"):
            faults.append("LICENSE.txt is not the tree's LICENSE")

    for line in files.get("SHA256SUMS.txt", b"").decode().splitlines():
        digest, name = line.split(maxsplit=1)
        if hashlib.sha256(files.get(name, b"")).hexdigest() != digest:
            faults.append(f"checksum of {name} does not match")
    summed = [line.split(maxsplit=1)[1] for line in files.get("SHA256SUMS.txt", b"").decode().splitlines()]
    if sorted(summed) != sorted(name for name in FILES if name != "SHA256SUMS.txt"):
        faults.append(f"SHA256SUMS.txt sums {summed}")

    return verdict(faults, f"{path}: {len(names)} files, FILE_ID.DIZ {len(diz)} lines, "
                           f"the bench imports {', '.join(imports)}")


if __name__ == "__main__":
    sys.exit(main(*arguments(__doc__, 1)))
