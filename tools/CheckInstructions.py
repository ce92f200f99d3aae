#!/usr/bin/env python3
"""Reads the disassembly of a built 32-bit module and names every instruction
that an i486 does not decode. The simulator runs on a 486 DX2/66 or better,
and on the Pentium, K5, K6 and 6x86 machines people still fly it on; one such
instruction in a path the host reaches is an invalid-opcode fault that takes
the simulator down with it. Compilers reach for CMOV and FCOMI as soon as
they may, so the shipped module is read, not trusted.

    CheckInstructions.py [--objdump PROGRAM] MODULE
Prints one FAULT line per instruction (address, bytes, text) and a summary
line naming the kinds found in a fixed order; exits 1 when there is any.
"""
import argparse
import re
import subprocess
import sys

# No bytecode left in the source tree by a check.
sys.dont_write_bytecode = True
from Faults import verdict  # noqa: E402

# Mnemonic prefixes, with the first processor that decodes them and the kind
# the summary counts them under.
BEYOND_I486 = [
    ("cmov", "Pentium Pro", "cmov"),       # CMOVcc
    ("fcmov", "Pentium Pro", "fcmov"),     # FCMOVcc
    ("fcomi", "Pentium Pro", "fcomi"),     # FCOMI, FCOMIP
    ("fucomi", "Pentium Pro", "fcomi"),    # FUCOMI, FUCOMIP
    ("rdtsc", "Pentium", "other"),
    ("rdpmc", "Pentium Pro", "other"),
    ("cmpxchg8b", "Pentium", "other"),
    ("sysenter", "Pentium II", "other"),
    ("sysexit", "Pentium II", "other"),
    ("cpuid", "late 486", "other"),        # early 486s lack it
    ("fxsave", "Pentium II", "other"),
    ("fxrstor", "Pentium II", "other"),
    ("emms", "Pentium MMX", "mmx/sse"),
    ("femms", "K6-2", "mmx/sse"),
    ("ldmxcsr", "Pentium III", "mmx/sse"),
    ("stmxcsr", "Pentium III", "mmx/sse"),
    ("sfence", "Pentium III", "mmx/sse"),
    ("prefetch", "Pentium III", "mmx/sse"),
    ("lfence", "Pentium 4", "mmx/sse"),
    ("mfence", "Pentium 4", "mmx/sse"),
    ("clflush", "Pentium 4", "mmx/sse"),
    ("movnti", "Pentium 4", "mmx/sse"),
]
# Any use of an MMX, SSE or AVX register is beyond the i486, whatever the
# mnemonic.
VECTOR_REGISTER = re.compile(r"%(mm[0-7]|[xyz]mm[0-9]+)\b")
PREFIXES = {"lock", "rep", "repz", "repnz", "repe", "repne", "data16", "addr16"}
SUMMARY_ORDER = ["cmov", "fcmov", "fcomi", "mmx/sse", "other"]


def classify(text):
    """(kind, first processor) for an instruction beyond the i486, else None."""
    words = [word for word in text.split() if word not in PREFIXES]
    if not words:
        return None
    if VECTOR_REGISTER.search(text):
        return "mmx/sse", "Pentium MMX"
    for prefix, first, kind in BEYOND_I486:
        if words[0].startswith(prefix):
            return kind, first
    return None


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--objdump", default="i686-w64-mingw32-objdump")
    parser.add_argument("module")
    args = parser.parse_args()
    result = subprocess.run([args.objdump, "-d", "--no-show-raw-insn", args.module],
                            capture_output=True, text=True)
    if result.returncode != 0:
        sys.exit(f"{args.objdump} could not read {args.module}: {result.stderr.strip()}")

    counts, faults = {}, []
    instructions = 0
    for line in result.stdout.splitlines():
        match = re.match(r"^\s*([0-9a-f]+):\t(.*)$", line)
        if not match:
            continue
        address, text = match.groups()
        text = text.strip()
        if not text or text.startswith("(bad)"):
            continue
        instructions += 1
        found = classify(text)
        if found:
            kind, first = found
            counts[kind] = counts.get(kind, 0) + 1
            faults.append(f"0x{address} {text} (needs a {first} or later)")

    kinds = [f"{kind} {counts[kind]}" for kind in SUMMARY_ORDER if kind in counts]
    return verdict(faults, f"{args.module}: {instructions} instructions; beyond the i486: "
                           f"{', '.join(kinds) if kinds else 'none'}")


if __name__ == "__main__":
    sys.exit(main())
