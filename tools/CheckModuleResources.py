#!/usr/bin/env python3
"""Checks the resources of a built Lumivane.gau with pefile, as the host and
Windows will see them: the seven bitmaps and two clips, byte for byte the
committed files, all in language 1033, and the version resource. It only
reads the module; it never changes it.

    CheckModuleResources.py PATH/TO/Lumivane.gau PATH/TO/resources
"""
import sys

import pefile

# No bytecode left in the source tree by a check.
sys.dont_write_bytecode = True
from Faults import arguments, verdict  # noqa: E402

RT_BITMAP, RT_RCDATA, RT_VERSION = 2, 10, 16
ENGLISH_US = 1033

# (type, id or name, file); a bitmap resource is its file less the 14-byte
# file header.
EXPECTED = [
    (RT_BITMAP, 4096, "Background.bmp"),
    (RT_BITMAP, 8192, "Lamp1.bmp"),
    (RT_BITMAP, 8195, "Lamp2.bmp"),
    (RT_BITMAP, 8198, "Lamp3.bmp"),
    (RT_BITMAP, 12288, "Speed1Mark.bmp"),
    (RT_BITMAP, 12291, "Speed2Mark.bmp"),
    (RT_BITMAP, 12294, "Speed3Mark.bmp"),
    (RT_RCDATA, "WAVE1", "Wave1.wav"),
    (RT_RCDATA, "WAVE2", "Wave2.wav"),
]

TYPE_NAMES = {RT_BITMAP: "RT_BITMAP", RT_RCDATA: "RT_RCDATA", RT_VERSION: "RT_VERSION"}


def main(module_path, resource_dir):
    pe = pefile.PE(module_path)
    failures = []

    found = {}
    for type_entry in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        for name_entry in type_entry.directory.entries:
            key = str(name_entry.name) if name_entry.name is not None else name_entry.id
            for lang_entry in name_entry.directory.entries:
                data = lang_entry.data.struct
                found[(type_entry.id, key)] = (lang_entry.id, pe.get_data(data.OffsetToData, data.Size))
                print("%-10s %-6s language %d, %d bytes" % (TYPE_NAMES.get(type_entry.id, type_entry.id), key,
                                                              lang_entry.id, data.Size))

    for kind, key, file_name in EXPECTED:
        with open("%s/%s" % (resource_dir, file_name), "rb") as f:
            expected = f.read()
        if kind == RT_BITMAP:
            expected = expected[14:]
        if (kind, key) not in found:
            failures.append("%s %s is missing" % (TYPE_NAMES[kind], key))
            continue
        language, data = found[(kind, key)]
        if language != ENGLISH_US:
            failures.append("%s %s has language %d, expected 1033" % (TYPE_NAMES[kind], key, language))
        if data != expected:
            failures.append("%s %s differs from %s" % (TYPE_NAMES[kind], key, file_name))
    extra = set(found) - {(kind, key) for kind, key, _ in EXPECTED} - {(RT_VERSION, 1)}
    if extra:
        failures.append("unexpected resources: %s" % sorted(map(str, extra)))

    if (RT_VERSION, 1) not in found:
        failures.append("no version resource")
    elif found[(RT_VERSION, 1)][0] != ENGLISH_US:
        failures.append("version resource language %d, expected 1033" % found[(RT_VERSION, 1)][0])

    fixed = pe.VS_FIXEDFILEINFO[0] if getattr(pe, "VS_FIXEDFILEINFO", None) else None
    if fixed is None:
        failures.append("no fixed file information")
    else:
        figures = {
            "FileVersion": ((fixed.FileVersionMS, fixed.FileVersionLS), (0x00010000, 0)),
            "ProductVersion": ((fixed.ProductVersionMS, fixed.ProductVersionLS), (0x00010000, 0)),
            "FileFlags": (fixed.FileFlags, 0),
            "FileOS": (fixed.FileOS, 0x10004),
            "FileType": (fixed.FileType, 1),
        }
        for field, (actual, wanted) in figures.items():
            print("%-15s %s" % (field, actual))
            if actual != wanted:
                failures.append("%s is %s, expected %s" % (field, actual, wanted))

    strings, translations = {}, []
    for info in getattr(pe, "FileInfo", [[]])[0]:
        if info.Key == b"StringFileInfo":
            for table in info.StringTable:
                strings[table.LangID.decode().upper()] = {k.decode(): v.decode() for k, v in table.entries.items()}
        elif info.Key == b"VarFileInfo":
            for var in info.Var:
                translations.append(var.entry)
    print("strings       ", strings)
    table = strings.get("040904B0")
    if table is None:
        failures.append("no string table 040904B0")
    else:
        wanted = {"FileDescription": "Flight Simulator 98 Gauge", "FileVersion": "1.0.0", "ProductVersion": "1.0.0"}
        for key, value in wanted.items():
            if table.get(key) != value:
                failures.append("%s is %r, expected %r" % (key, table.get(key), value))
        if len(table) != 6:
            failures.append("string table has %d entries, expected 6" % len(table))
    # pefile gives the pair as text: language, then code page.
    translations = [{k.decode(): (v.decode() if isinstance(v, bytes) else v) for k, v in t.items()} for t in translations]
    print("translations  ", translations)
    if translations != [{"Translation": "0x0409 0x04b0"}]:
        failures.append("translations are %s, expected 0x409, 1200" % translations)

    return verdict(failures, "%s: %s" % (module_path, "resources as expected" if not failures
                                           else "%d faults" % len(failures)))


if __name__ == "__main__":
    sys.exit(main(*arguments(__doc__, 2)))
