#!/usr/bin/env python3
"""Checks a release zip as a downloader sees it: exactly the gauge, the
windows bench, its two scenarios, the font licence, the pilots' readme,
FILE_ID.DIZ and the checksums; Windows line ends in the texts; a FILE_ID.DIZ
the add-on libraries accept (at most 10 lines of at most 45 characters, the
simulator named first); a bench that needs no DLL beyond those Windows
itself has (no compiler runtime); the SIL Open Font License for the font the
bench carries; the bench's needs (Windows version and processor) said the
same in the pilots' readme and in the bench's own header; a --help that
names only what the zip holds; and checksums that match.

The web page's zip (Lumivane-VERSION-web.zip) is checked for what a static
host needs: exactly the page's files and the font's licence, a page that
links to the release zip of its own version and loads its own scripts, and
at most 400 KB sent with gzip.

    CheckRelease.py PATH/TO/Lumivane-VERSION.zip
    CheckRelease.py PATH/TO/Lumivane-VERSION-web.zip
"""
import gzip
import os
import re
import hashlib
import sys
import zipfile

import pefile

FILES = ["Lumivane.gau", "lumivane-bench.exe", "ReadMe.txt", "FILE_ID.DIZ", "takeoff.txt", "rejected.txt",
         "SCENARIOS.txt", "OFL.txt", "SHA256SUMS.txt"]
TEXTS = ["ReadMe.txt", "FILE_ID.DIZ", "takeoff.txt", "rejected.txt", "SCENARIOS.txt", "OFL.txt"]
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


PAGE_FILES = ["index.html", "page.js", "page.css", "lumivane.js", "lumivane.wasm", "lumivane.data", "FONT-LICENCE.txt"]
PAGE_BUDGET = 400 * 1024


def check_page(path):
    faults = []
    with zipfile.ZipFile(path) as archive:
        names = archive.namelist()
        files = {name: archive.read(name) for name in names}
    if names != PAGE_FILES:
        faults.append(f"holds {names}, not {PAGE_FILES}")
    version = re.fullmatch(r"Lumivane-([0-9.]+)-web\.zip", os.path.basename(path))
    page = files.get("index.html", b"").decode("utf-8", "replace")
    if not version or f'href="Lumivane-{version.group(1)}.zip"' not in page:
        faults.append("index.html does not link to the release zip of its own version")
    for script in ("page.js", "lumivane.js"):
        if f'<script src="{script}"></script>' not in page:
            faults.append(f"index.html does not load {script}")
    if "@LUMIVANE_" in page:
        faults.append("index.html still holds a placeholder")
    sent = sum(len(gzip.compress(body, compresslevel=6)) for name, body in files.items() if name in PAGE_FILES[:-1])
    if sent > PAGE_BUDGET:
        faults.append(f"the page takes {sent} bytes with gzip, over {PAGE_BUDGET}")
    if "SIL Open Font License" not in files.get("FONT-LICENCE.txt", b"").decode("utf-8", "replace"):
        faults.append("FONT-LICENCE.txt does not give the SIL Open Font License")
    for fault in faults:
        print(f"FAULT: {fault}")
    print(f"{path}: {len(names)} files, {sent} bytes sent with gzip")
    return 1 if faults else 0


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

    licence = files.get("OFL.txt", b"").decode("ascii", "replace")
    for words in ("SIL OPEN FONT LICENSE Version 1.1", "Reserved Font Name Liberation"):
        if words not in licence:
            faults.append(f"OFL.txt does not say '{words}'")

    for line in files.get("SHA256SUMS.txt", b"").decode().splitlines():
        digest, name = line.split(maxsplit=1)
        if hashlib.sha256(files.get(name, b"")).hexdigest() != digest:
            faults.append(f"checksum of {name} does not match")
    summed = [line.split(maxsplit=1)[1] for line in files.get("SHA256SUMS.txt", b"").decode().splitlines()]
    if sorted(summed) != sorted(name for name in FILES if name != "SHA256SUMS.txt"):
        faults.append(f"SHA256SUMS.txt sums {summed}")

    for fault in faults:
        print(f"FAULT: {fault}")
    print(f"{path}: {len(names)} files, FILE_ID.DIZ {len(diz)} lines, the bench imports {', '.join(imports)}")
    return 1 if faults else 0


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1]))
