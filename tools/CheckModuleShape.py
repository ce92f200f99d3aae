#!/usr/bin/env python3
"""Checks the binary shape of a built Lumivane.gau as Windows and the host see
it, from the file alone: a 32-bit DLL whose export directory names it
"Lumivane.gau" and exports exactly Linkage and ImportTable, both data; and
imports from no DLL but kernel32, user32, msvcrt and dsound, so no compiler
runtime DLL is needed. Loading the module under Wine cannot prove the last
point: a WINEPATH into MinGW's folders would hide a missing runtime DLL.

The simulator runs on Windows 95, so the header must be one its loader takes:
operating-system and subsystem versions of at most 4.0; base relocations, since
another module may already sit at the preferred base; no thread-local storage,
load-configuration or delay-import directory, which it does not know. Every
imported function must be one that Windows 95 with DirectX already has: the
list below, so that an import from a later Windows fails here, not in a
pilot's cockpit.
Prints the figures worth tracking: file size, sections and imported functions.

    CheckModuleShape.py PATH/TO/Lumivane.gau
"""
import os
import sys

import pefile

EXPORTS = {"Linkage", "ImportTable"}

# What the module may import: functions that Windows 95 (kernel32, user32),
# DirectX 1 and later (dsound) and the msvcrt.dll that Windows 98 ships and
# Windows 95 gets with its updates already export. A new import goes on this
# list only once it is known to be there on Windows 95; anything else fails.
WINDOWS95_FUNCTIONS = {
    "kernel32.dll": {
        "FindResourceA", "GetModuleHandleA", "LoadResource", "LocalAlloc", "LocalFree",
        "LockResource", "SizeofResource",
    },
    "user32.dll": {"GetActiveWindow", "wsprintfA"},
    "dsound.dll": {"DirectSoundCreate"},
    "msvcrt.dll": {"fclose", "fgetc", "fopen", "fputs"},
}
# Data directories the Windows 95 loader does not know.
UNKNOWN_TO_WINDOWS95 = {
    "IMAGE_DIRECTORY_ENTRY_TLS": "thread-local storage",
    "IMAGE_DIRECTORY_ENTRY_LOAD_CONFIG": "load configuration",
    "IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT": "delay imports",
}


def check_header(pe, faults):
    optional = pe.OPTIONAL_HEADER
    versions = {
        "operating-system": (optional.MajorOperatingSystemVersion, optional.MinorOperatingSystemVersion),
        "subsystem": (optional.MajorSubsystemVersion, optional.MinorSubsystemVersion),
    }
    for what, version in versions.items():
        if version > (4, 0):
            faults.append(f"{what} version {version[0]}.{version[1]} is above Windows 95's 4.0")
    directories = {d.name: d for d in optional.DATA_DIRECTORY}
    relocations = directories["IMAGE_DIRECTORY_ENTRY_BASERELOC"]
    if not relocations.VirtualAddress or not relocations.Size or \
            pe.FILE_HEADER.Characteristics & pefile.IMAGE_CHARACTERISTICS["IMAGE_FILE_RELOCS_STRIPPED"]:
        faults.append("no base relocations: it cannot load where another module already sits")
    for name, what in UNKNOWN_TO_WINDOWS95.items():
        if directories[name].VirtualAddress or directories[name].Size:
            faults.append(f"has a {what} directory")
    print(f"  PE versions: OS {versions['operating-system'][0]}.{versions['operating-system'][1]}, "
          f"subsystem {versions['subsystem'][0]}.{versions['subsystem'][1]}; "
          f"file alignment {optional.FileAlignment}")
    for section in pe.sections:
        name = section.Name.rstrip(b"\0").decode()
        print(f"  {name:8} {section.SizeOfRawData:6} bytes in the file, "
              f"{section.Misc_VirtualSize:6} used")


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

    check_header(pe, faults)

    functions = 0
    for entry in pe.DIRECTORY_ENTRY_IMPORT:
        dll = entry.dll.decode()
        known = WINDOWS95_FUNCTIONS.get(dll.lower())
        if known is None:
            faults.append(f"imports from {dll}")
            known = set()
        names = [i.name.decode() if i.name else f"#{i.ordinal}" for i in entry.imports]
        for name in names:
            if name not in known:
                faults.append(f"imports {dll}!{name}, which is not known to be in Windows 95")
        functions += len(names)
        print(f"  {dll}: {', '.join(names)}")

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
