#!/usr/bin/env python3
"""Checks the binary shape of a built Lumivane.gau as Windows and the host see
it, from the file alone: a 32-bit DLL whose export directory names it
"Lumivane.gau" and exports exactly Linkage and ImportTable, both data; and
imports from no DLL but kernel32, user32, msvcrt and dsound, so no compiler
runtime DLL is needed. Loading the module under Wine cannot prove the last
point: a WINEPATH into MinGW's folders would hide a missing runtime DLL.

The simulator runs on Windows 95, so the header must be one its loader takes:
operating-system and subsystem versions of at most 4.0; 512-byte file
alignment; base relocations, since another module may already sit at the
preferred base; no thread-local storage, load-configuration, delay-import or
bound-import directory, which it does not know; an IAT in a writable section,
since it writes the addresses in place; and no export inside the export
directory's range, where it would be taken for a forwarder (module/Lumivane.ld
says why the layout is safe). Every imported function must be one that
Windows 95 with DirectX already has: the list below, so that an import from a
later Windows fails here, not in a pilot's cockpit. The module keeps to its
budgets: at most 32 KiB and at most 16 imported functions.
Prints the figures worth tracking: file size, sections and imported functions.

    CheckModuleShape.py PATH/TO/Lumivane.gau
"""
import os
import sys

import pefile

# No bytecode left in the source tree by a check.
sys.dont_write_bytecode = True
from Faults import arguments, verdict  # noqa: E402

EXPORTS = {"Linkage", "ImportTable"}
MAX_BYTES = 32 * 1024
MAX_IMPORTS = 16

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
    "IMAGE_DIRECTORY_ENTRY_BOUND_IMPORT": "bound imports",
}
SCN = pefile.SECTION_CHARACTERISTICS


def section_rows(pe):
    """(name, bytes used, bytes in the file, access "RWX") for each section."""
    rows = []
    for s in pe.sections:
        flags = "".join(letter if s.Characteristics & SCN[bit] else "-"
                        for letter, bit in (("R", "IMAGE_SCN_MEM_READ"), ("W", "IMAGE_SCN_MEM_WRITE"),
                                            ("X", "IMAGE_SCN_MEM_EXECUTE")))
        rows.append((s.Name.rstrip(b"\0").decode(), s.Misc_VirtualSize, s.SizeOfRawData, flags))
    return rows


def check_header(pe, faults):
    optional = pe.OPTIONAL_HEADER
    versions = {
        "operating-system": (optional.MajorOperatingSystemVersion, optional.MinorOperatingSystemVersion),
        "subsystem": (optional.MajorSubsystemVersion, optional.MinorSubsystemVersion),
    }
    for what, version in versions.items():
        if version > (4, 0):
            faults.append(f"{what} version {version[0]}.{version[1]} is above Windows 95's 4.0")
    if optional.FileAlignment != 512 or optional.SectionAlignment != 4096:
        faults.append(f"alignments {optional.FileAlignment}/{optional.SectionAlignment}, not 512/4096")
    directories = {d.name: d for d in optional.DATA_DIRECTORY}
    relocations = directories["IMAGE_DIRECTORY_ENTRY_BASERELOC"]
    if not relocations.VirtualAddress or not relocations.Size or \
            pe.FILE_HEADER.Characteristics & pefile.IMAGE_CHARACTERISTICS["IMAGE_FILE_RELOCS_STRIPPED"]:
        faults.append("no base relocations: it cannot load where another module already sits")
    for name, what in UNKNOWN_TO_WINDOWS95.items():
        if directories[name].VirtualAddress or directories[name].Size:
            faults.append(f"has a {what} directory")
    return versions


def inspect(path):
    """The module's facts (size, headers, sections, imports) and its faults."""
    pe = pefile.PE(path)
    faults = []
    facts = {"path": path, "bytes": os.path.getsize(path), "headers": pe.OPTIONAL_HEADER.SizeOfHeaders,
             "sections": section_rows(pe), "imports": {}, "exports": []}

    if pe.FILE_HEADER.Machine != pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_I386"]:
        faults.append("not a 32-bit x86 image")
    if not pe.FILE_HEADER.Characteristics & pefile.IMAGE_CHARACTERISTICS["IMAGE_FILE_DLL"]:
        faults.append("not a DLL")
    if facts["bytes"] > MAX_BYTES:
        faults.append(f"{facts['bytes']} bytes, more than {MAX_BYTES}")

    exports = {}
    if not hasattr(pe, "DIRECTORY_ENTRY_EXPORT"):
        faults.append("no export directory")
    else:
        name = pe.get_string_at_rva(pe.DIRECTORY_ENTRY_EXPORT.struct.Name).decode()
        if name != "Lumivane.gau":
            faults.append(f"export directory names the module {name!r}")
        for symbol in pe.DIRECTORY_ENTRY_EXPORT.symbols:
            exports[symbol.name.decode() if symbol.name else f"#{symbol.ordinal}"] = symbol.address
    if set(exports) != EXPORTS:
        faults.append(f"exports {sorted(exports)}, not {sorted(EXPORTS)}")
    export_directory = pe.OPTIONAL_HEADER.DATA_DIRECTORY[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_EXPORT"]]
    first, end = export_directory.VirtualAddress, export_directory.VirtualAddress + export_directory.Size
    for symbol, rva in exports.items():
        section = pe.get_section_by_rva(rva)
        if section is None or section.Characteristics & SCN["IMAGE_SCN_MEM_EXECUTE"]:
            faults.append(f"{symbol} is not data")
        if first <= rva < end:
            faults.append(f"{symbol} lies inside the export directory's range and would be taken for a forwarder")
    facts["exports"] = sorted(exports)

    facts["versions"] = check_header(pe, faults)
    facts["file_alignment"] = pe.OPTIONAL_HEADER.FileAlignment

    functions = 0
    if not hasattr(pe, "DIRECTORY_ENTRY_IMPORT"):
        faults.append("no import directory")
    for entry in getattr(pe, "DIRECTORY_ENTRY_IMPORT", []):
        dll = entry.dll.decode()
        known = WINDOWS95_FUNCTIONS.get(dll.lower())
        if known is None:
            faults.append(f"imports from {dll}")
            known = set()
        names = [i.name.decode() if i.name else f"#{i.ordinal}" for i in entry.imports]
        for name in names:
            if name not in known:
                faults.append(f"imports {dll}!{name}, which is not known to be in Windows 95")
        for i in entry.imports:
            section = pe.get_section_by_rva(i.address - pe.OPTIONAL_HEADER.ImageBase)
            if section is None or not section.Characteristics & SCN["IMAGE_SCN_MEM_WRITE"]:
                faults.append(f"the IAT of {dll} is not in a writable section")
                break
        functions += len(names)
        facts["imports"][dll] = names
    if functions > MAX_IMPORTS:
        faults.append(f"{functions} imported functions, more than {MAX_IMPORTS}")
    facts["functions"] = functions
    return facts, faults


def main(path):
    facts, faults = inspect(path)
    versions = facts["versions"]
    print(f"  PE versions: OS {versions['operating-system'][0]}.{versions['operating-system'][1]}, "
          f"subsystem {versions['subsystem'][0]}.{versions['subsystem'][1]}; "
          f"file alignment {facts['file_alignment']}")
    print("  section   used    in the file  access")
    for name, used, raw, flags in facts["sections"]:
        print(f"  {name:8} {used:6} {raw:12}  {flags}")
    print(f"  headers  {'':6} {facts['headers']:12}")
    for dll, names in facts["imports"].items():
        print(f"  {dll}: {', '.join(names)}")
    size = facts["bytes"]
    print(f"{path}: {size} bytes ({size / 1024:.1f} KiB), {facts['functions']} imported functions, "
          f"exports {', '.join(facts['exports'])}")
    return verdict(faults)


if __name__ == "__main__":
    sys.exit(main(*arguments(__doc__, 1)))
