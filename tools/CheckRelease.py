#!/usr/bin/env python3
"""Checks a release zip as a downloader sees it: exactly the gauge, the
pilots' readme, FILE_ID.DIZ and the checksums; Windows line ends in the texts;
a FILE_ID.DIZ the add-on libraries accept (at most 10 lines of at most 45
characters, the simulator named first); and checksums that match.

    CheckRelease.py PATH/TO/Lumivane-VERSION.zip
"""
import hashlib
import sys
import zipfile

FILES = ["Lumivane.gau", "ReadMe.txt", "FILE_ID.DIZ", "SHA256SUMS.txt"]


def main(path):
    faults = []
    with zipfile.ZipFile(path) as archive:
        names = archive.namelist()
        if names != FILES:
            faults.append(f"holds {names}, not {FILES}")
        files = {name: archive.read(name) for name in names}

    for text in ("ReadMe.txt", "FILE_ID.DIZ"):
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

    for line in files.get("SHA256SUMS.txt", b"").decode().splitlines():
        digest, name = line.split(maxsplit=1)
        if hashlib.sha256(files.get(name, b"")).hexdigest() != digest:
            faults.append(f"checksum of {name} does not match")

    for fault in faults:
        print(f"FAULT: {fault}")
    print(f"{path}: {len(names)} files, FILE_ID.DIZ {len(diz)} lines")
    return 1 if faults else 0


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1]))
