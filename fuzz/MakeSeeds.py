#!/usr/bin/python3
# Writes the crafted seeds of the bench's fuzzers into the folders beside
# this script: small module headers, capture files and resource images, each
# the least that reaches one branch of its walk. Run it again after changing
# it and commit what it writes; the fuzzers never write into these folders.
import struct
from pathlib import Path

HERE = Path(__file__).resolve().parent


def write(folder, name, data):
    (HERE / folder).mkdir(exist_ok=True)
    (HERE / folder / name).write_bytes(data)


# ELF: a 64-bit x86-64 shared object with one PT_LOAD over the whole file,
# a PT_DYNAMIC, and DT_NEEDED names in a string table. The fuzzer's first
# byte picks the walk: odd for ELF, even for PE.
def elf(needed, string_offset_extra=0, dynamic_size=None, kind=3):
    strings = b"\0" + b"".join(n + b"\0" for n in needed)
    phoff, phnum = 64, 2
    dyn_at = phoff + 56 * phnum
    entries = [(1, 1 + sum(len(n) + 1 for n in needed[:i])) for i in range(len(needed))]
    str_at = dyn_at + 16 * (len(entries) + 2)
    dyn = b"".join(struct.pack("<QQ", t, v + string_offset_extra) for t, v in entries)
    dyn += struct.pack("<QQ", 5, str_at) + struct.pack("<QQ", 0, 0)
    size = str_at + len(strings)
    header = b"\x7fELF" + bytes([2, 1, 1]) + bytes(9)
    header += struct.pack("<HHIQQQIHHHHHH", kind, 62, 1, 0, phoff, 0, 0, 64, 56, phnum, 64, 0, 0)
    load = struct.pack("<IIQQQQQQ", 1, 5, 0, 0, 0, size, size, 0x1000)
    dsize = len(dyn) if dynamic_size is None else dynamic_size
    dynamic = struct.pack("<IIQQQQQQ", 2, 6, dyn_at, dyn_at, dyn_at, dsize, dsize, 8)
    return header + load + dynamic + dyn + strings


write("module-corpus", "elf-needs-two", b"\x01" + elf([b"libc.so.6", b"libm.so.6"]))
write("module-corpus", "elf-needs-none", b"\x01" + elf([]))
write("module-corpus", "elf-string-offset-wraps", b"\x01" + elf([b"libc.so.6"], string_offset_extra=2**64 - 200))
write("module-corpus", "elf-dynamic-size-wraps", b"\x01" + elf([b"libc.so.6"], dynamic_size=2**64 - 8))
write("module-corpus", "elf-executable", b"\x01" + elf([b"libc.so.6"], kind=2))
write("module-corpus", "elf-cut-in-header", b"\x01" + elf([b"libc.so.6"])[:40])


# PE: an MZ stub, a 32-bit x86 DLL header, one section holding the import
# descriptors and their names at the same relative and file addresses.
def pe(dlls, optional_size=224, cut=None, characteristics=0x2102):
    pe_at = 0x40
    mz = b"MZ" + bytes(0x3A) + struct.pack("<I", pe_at)
    section_at = pe_at + 24 + optional_size
    data_at = 0x200
    names = b""
    name_rvas = []
    descriptors_size = 20 * (len(dlls) + 1)
    for d in dlls:
        name_rvas.append(data_at + descriptors_size + len(names))
        names += d + b"\0"
    descriptors = b"".join(struct.pack("<IIIII", 0, 0, 0, r, 0) for r in name_rvas) + bytes(20)
    body = descriptors + names
    coff = b"PE\0\0" + struct.pack("<HHIIIHH", 0x14C, 1, 0, 0, 0, optional_size, characteristics)
    optional = bytearray(max(optional_size, 224))
    struct.pack_into("<H", optional, 0, 0x10B)
    struct.pack_into("<I", optional, 92, 16)
    struct.pack_into("<II", optional, 104, data_at if dlls else 0, len(descriptors))
    optional = bytes(optional[:optional_size]) if optional_size <= 224 else bytes(optional)
    section = b".idata\0\0" + struct.pack("<IIIIIIHHI", len(body), data_at, len(body), data_at, 0, 0, 0, 0, 0)
    image = mz + bytes(pe_at - len(mz)) + coff + optional
    image = image[:section_at] + bytes(max(0, section_at - len(image))) + section
    image += bytes(data_at - len(image)) + body
    return image[:cut] if cut else image


write("module-corpus", "pe-imports-two", b"\x00" + pe([b"KERNEL32.dll", b"msvcrt.dll"]))
write("module-corpus", "pe-imports-none", b"\x00" + pe([]))
write("module-corpus", "pe-cut-after-magic", b"\x00" + pe([b"KERNEL32.dll"], cut=0x40 + 24 + 2))
impossible = bytearray(pe([b"KERNEL32.dll"]))
struct.pack_into("<H", impossible, 0x40 + 20, 0xFFF0)  # the optional header's size: past the file
write("module-corpus", "pe-optional-size-impossible", b"\x00" + bytes(impossible))
write("module-corpus", "pe-program-not-dll", b"\x00" + pe([b"KERNEL32.dll"], characteristics=0x102))


# ALSA capture files: 16-bit stereo, 32-bit floats under a PCM header with
# the data size never written (0), 8-bit, and data before the format.
def wav(tag, channels, rate, bits, data, data_size=None, data_first=False):
    fmt = b"fmt " + struct.pack("<IHHIIHH", 16, tag, channels, rate, rate * channels * bits // 8,
                                channels * bits // 8, bits)
    chunk = b"data" + struct.pack("<I", len(data) if data_size is None else data_size) + data
    body = chunk + fmt if data_first else fmt + chunk
    return b"RIFF" + struct.pack("<I", 4 + len(body)) + b"WAVE" + body


write("capture-corpus", "pcm16-stereo.wav", wav(1, 2, 48000, 16, struct.pack("<8h", 0, 0, 100, -100, 32767, -32768, 5, 6)))
write("capture-corpus", "float32-unclosed.wav", wav(1, 2, 48000, 32, struct.pack("<4f", 0.0, 0.5, -0.5, 1.0), data_size=0))
write("capture-corpus", "pcm8.wav", wav(1, 1, 8000, 8, bytes(8)))
write("capture-corpus", "data-before-format.wav", wav(1, 1, 8000, 16, bytes(8), data_first=True))
write("capture-corpus", "data-cut-short.wav", wav(1, 1, 8000, 16, bytes(8), data_size=1000))


# .res images: the empty record that opens every 32-bit file, a bitmap by
# number, a wave by name, a record cut short and a header that lies.
def name_field(n):
    if isinstance(n, int):
        return struct.pack("<HH", 0xFFFF, n)
    return n.encode("utf-16-le") + b"\0\0"


def record(rtype, name, data):
    fields = name_field(rtype) + name_field(name)
    fields += bytes((4 - (8 + len(fields)) % 4) % 4)
    header_size = 8 + len(fields) + 16
    out = struct.pack("<II", len(data), header_size) + fields + struct.pack("<IHHII", 0, 0x30, 0x409, 0, 0) + data
    return out + bytes((4 - len(out) % 4) % 4)


opening = record(0, 0, b"")
write("resource-corpus", "bitmap-1.res", opening + record(2, 1, b"BM" + bytes(10)))
write("resource-corpus", "wave-by-name.res", opening + record(10, "WAVE1", b"RIFF....WAVE") + record(10, "WAVE2", b"x"))
write("resource-corpus", "cut-short.res", (opening + record(10, "WAVE1", bytes(40)))[:-20])
write("resource-corpus", "header-size-lies.res", opening + struct.pack("<II", 4, 0xFFFFFFF0) + bytes(24))
write("resource-corpus", "opening-only.res", opening)


# Clips as a module's wave resource holds them (the wave chunk walker's
# corpus/ adds the shipped ones): an odd LIST chunk and its pad before the
# data, a chunk before the data that runs past the end, 16-bit stereo, a
# format DirectSound does not play, and a RIFF size beyond the image.
fmt = b"fmt " + struct.pack("<IHHIIHH", 16, 1, 1, 11025, 11025, 1, 8)
listed = fmt + b"LIST" + struct.pack("<I", 3) + b"abc\0" + b"data" + struct.pack("<I", 4) + b"\x80\x81\x82\x83"
write("clip-corpus", "list-then-data.wav", b"RIFF" + struct.pack("<I", 4 + len(listed)) + b"WAVE" + listed)
cut = fmt + b"LIST" + struct.pack("<I", 400) + b"data"
write("clip-corpus", "chunk-past-end-before-data.wav", b"RIFF" + struct.pack("<I", 4 + len(cut)) + b"WAVE" + cut)
stereo = b"fmt " + struct.pack("<IHHIIHH", 16, 1, 2, 22050, 88200, 4, 16) + b"data" + struct.pack("<I", 4) + bytes(4)
write("clip-corpus", "stereo-16-bit.wav", b"RIFF" + struct.pack("<I", 4 + len(stereo)) + b"WAVE" + stereo)
adpcm = b"fmt " + struct.pack("<IHHIIHH", 16, 2, 1, 11025, 11025, 1, 4) + b"data" + struct.pack("<I", 4) + bytes(4)
write("clip-corpus", "not-pcm.wav", b"RIFF" + struct.pack("<I", 4 + len(adpcm)) + b"WAVE" + adpcm)
write("clip-corpus", "riff-beyond-image.wav", b"RIFF" + struct.pack("<I", 4000) + b"WAVE" + fmt)


# An aircraft's panel: the first byte picks the reader, even for Panel.cfg
# and odd for a window's bitmap file. Configurations: a usual one with CR LF
# line ends, and one with a fault on every line (no commas, a number
# repeated, a window title missing, a byte that is not ASCII, a section left
# open, the later versions' FILE!GAUGE). Bitmaps of 256 colours: a whole
# small one, one cut short, one of 24 bits, one too wide, and one whose rows
# are not where its colour table ends.
usual = (b"[Window Titles]\r\nwindow00=Main Panel\r\nwindow01=Radio\r\n\r\n[Window00]\r\nfile=Main.bmp\r\n"
         b"size_mm=640\r\nposition=7\r\nvisible=1\r\nident=MAIN_PANEL\r\ngauge00=Clock, 10, 20\r\n"
         b"gauge01=Lumivane, 520, 10, 100, 70\r\n\r\n[Window01]\r\nfile=radio.bmp\r\nsize_mm=160\r\n"
         b"window_size_ratio=1.0\r\ngauge00=Radio, 0, 0\r\n\r\n[Default View]\r\nX_OFFSET_SCREEN=0\r\n")
write("panel-corpus", "usual.cfg", b"\x00" + usual)
faults = (b"gauge00=Lumivane, 0, 0\n[Window Titles]\nwindow00=T\xe9tes\nwindow02=Map\n[window00]\nfile=\n"
          b"size_mm=wide\ngauge00=Lumivane 1 2\ngauge00=Clock, -1, 99999\ngauge02=Lumivane!Lumivane, 1, 2, 3, 4\n"
          b"gauge3=x, 1, 2\n[Window02\n; comment\n// comment\n")
write("panel-corpus", "faults.cfg", b"\x00" + faults)
# Ends an install's and an uninstall's edits must keep: a mix of line ends, a
# last line without one that ends in a lone CR, and an entry last after a
# blank line.
ends = b"[Window Titles]\r\nwindow00=Main Panel\n[Window00]\r\ngauge00=Clock, 0, 0\n\ngauge01=Lumivane, 1, 2\r"
write("panel-corpus", "ends.cfg", b"\x00" + ends)


def bitmap(width, height, bits=8, rows_at=None, cut=None):
    stride = (width * bits // 8 + 3) // 4 * 4
    colours = 256 if bits == 8 else 0
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, 0, 0, 0, colours, 0)
    table = bytes(4 * colours)
    rows = bytes(stride * abs(height)) if abs(width * height) < 4096 else b""
    offset = 14 + len(info) + len(table) if rows_at is None else rows_at
    data = b"BM" + struct.pack("<IHHI", 14 + len(info) + len(table) + len(rows), 0, 0, offset) + info + table + rows
    return data[:cut] if cut else data


write("panel-corpus", "small.bmp", b"\x01" + bitmap(5, 3))
write("panel-corpus", "top-down.bmp", b"\x01" + bitmap(5, -3))
write("panel-corpus", "cut-in-rows.bmp", b"\x01" + bitmap(5, 3, cut=14 + 40 + 1024 + 7))
write("panel-corpus", "24-bits.bmp", b"\x01" + bitmap(5, 3, bits=24))
write("panel-corpus", "too-wide.bmp", b"\x01" + bitmap(5000, 1))
write("panel-corpus", "rows-elsewhere.bmp", b"\x01" + bitmap(5, 3, rows_at=2000))
