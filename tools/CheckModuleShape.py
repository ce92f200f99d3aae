#!/usr/bin/env python3
"""Checks the binary shape of a built Lumivane.gau as Windows and the host see
it, from the file alone: a 32-bit DLL whose export directory names it
"Lumivane.gau" and exports exactly Linkage and ImportTable, both data; and
imports from no DLL but kernel32, user32, msvcrt and dsound, so no compiler
runtime DLL is needed. Loading the module under Wine cannot prove the last
point: a WINEPATH into MinGW's folders would hide a missing runtime DLL.
Prints the figures worth tracking: file size and imported functions.

    CheckModuleShape.py PATH/TO/Lumivane.gau
"""
import os
import sys

import pefile

ALLOWED_DLLS = {"kernel32.dll", "user32.dll", "msvcrt.dll", "dsound.dll"}
EXPORTS = {"Linkage", "ImportTable"}


def main(path):
    pe = pefile.PE(path)
    faults = []

    if pe.FILE_HEADER.Machine != pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_I386"]:
        faults.append("not a 32-bit x86 image")
    if not pe.FILE_HEADER.Characteristics & pefile.IMAGE_CHARACTERISTICS["IMAGE_FILE_DLL"]:
        faults.append("not a DLL")

    name = pe.get_string_at_rva(pe.DIRECTORY_ENTRY_EXPORT.struct.Name).decode()
    if name != "Lumivane.gau":
        faults.append(f"export directory names the module {name!r}")
    exports = {}
    for symbol in pe.DIRECTORY_ENTRY_EXPORT.symbols:
        exports[symbol.name.decode() if symbol.name else f"#{symbol.ordinal}"] = symbol.address
    if set(exports) != EXPORTS:
        faults.append(f"exports {sorted(exports)}, not {sorted(EXPORTS)}")
    for symbol, rva in exports.items():
        section = pe.get_section_by_rva(rva)
        if section is None or section.Characteristics & pefile.SECTION_CHARACTERISTICS["IMAGE_SCN_MEM_EXECUTE"]:
            faults.append(f"{symbol} is not data")

    functions = 0
    for entry in pe.DIRECTORY_ENTRY_IMPORT:
        dll = entry.dll.decode()
        if dll.lower() not in ALLOWED_DLLS:
            faults.append(f"imports from {dll}")
        names = [i.name.decode() if i.name else f"#{i.ordinal}" for i in entry.imports]
        functions += len(names)
        print(f"  {dll}: {', '.join(names)}")
    if hasattr(pe, "DIRECTORY_ENTRY_TLS"):
        faults.append("has thread-local storage callbacks")

    size = os.path.getsize(path)
    print(f"{path}: {size} bytes ({size / 1024:.1f} KiB), {functions} imported functions, "
          f"exports {', '.join(sorted(exports))}")
    for fault in faults:
        print(f"FAULT: {fault}")
    return 1 if faults else 0


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1]))
