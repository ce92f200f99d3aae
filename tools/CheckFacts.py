#!/usr/bin/env python3
"""Checks that the rooms that know no gauge name none of Lumivane's facts.
Every fact of the gauge the bench and the page need is written once, in
bench/lumivane/LumivaneFacts.h, and reaches the other rooms through the
reader's description (bench/flying/GaugeDescription.h); a room that names
one itself would have to change with the gauge. The facts are read from
that file, never copied here:

  - its file names: the module's and its settings files' ("Lumivane.gau",
    the name under C:\\);
  - its clips, by name and by wave resource;
  - its speeds' names and its settings words, or a name built from their
    stem ("Speed" + n);
  - its starting speeds, as speeds: two of them on one line, or one on a
    line that speaks of a speed;
  - its lamp limit on a line that speaks of a lamp;
  - its read order, as numbers in that order or as the speeds' digits
    spelled in a string ("312", "12").

Code is what counts: comments and Python's docstrings are left out, so a
comment may give an example. The rooms checked are every room of the bench
but bench/lumivane, the program at bench/'s top, and the page's C++ (web/),
which hands its script every number of the gauge. Left out: bench/lumivane,
the one place; the page's script and index.html, Lumivane's own page, whose
ids and words are written for its people; and speed/, which measures the
gauge itself, linked in through the gauge's own folders.

    CheckFacts.py SOURCE-ROOT
Prints what it checked, and a FAULT line for each fact named, with its file
and line; exits 1 when there is one.
"""
import ast
import io
import re
import sys
import tokenize
from pathlib import Path

# No bytecode left in the source tree by a check.
sys.dont_write_bytecode = True
from Faults import arguments, verdict  # noqa: E402

FACTS_FILE = "bench/lumivane/LumivaneFacts.h"
# Where the check looks, and what it leaves out (paths from the root).
CHECKED = [("bench", (".cpp", ".h", ".py")), ("web", (".cpp", ".h"))]
LEFT_OUT = ("bench/lumivane/",)


class Facts:
    """Lumivane's facts, read from LumivaneFacts.h by the constants' names."""

    def __init__(self, root):
        path = Path(root) / FACTS_FILE
        self.text = path.read_text()
        self.where = FACTS_FILE
        module = self.string("ModuleFileName")
        self.files = [module] + [name.split("\\")[-1] for name in self.strings("SettingsFiles")]
        self.clips = [self.string(name) for name in
                      ("SingleBeepClip", "SingleBeepResource", "DoubleBeepClip", "DoubleBeepResource")]
        self.names = self.strings("SpeedNames") + self.strings("SettingsWords")
        self.stems = sorted({re.sub(r"\d+$", "", name) for name in self.names})
        self.speeds = self.numbers("StartingSpeeds")
        self.limit = self.numbers("LampsDarkAboveSpeed3")[0]
        self.order = self.numbers("SettingsReadOrder")

    def value(self, name):
        """The text a constant is given, its macros written out."""
        match = re.search(r"\b" + name + r"\b(?:\[[^\]]*\])?\s*=\s*(\{[^}]*\}|[^;]+);", self.text)
        if not match:
            raise SystemExit(f"FAULT: {self.where} no longer defines {name}, which this check reads")
        macros = dict(re.findall(r"^#define (\w+) (.+)$", self.text, re.MULTILINE))
        return re.sub(r"\b[A-Z][A-Z0-9_]+\b", lambda m: macros.get(m.group(0), m.group(0)), match.group(1))

    def strings(self, name):
        return [bytes(text, "utf-8").decode("unicode_escape") for text in re.findall(r'"((?:[^"\\]|\\.)*)"',
                                                                                    self.value(name))]

    def string(self, name):
        return self.strings(name)[0]

    def numbers(self, name):
        return [float(n) for n in re.findall(r"-?\d+(?:\.\d+)?", self.value(name))]

    def __str__(self):
        return (f"file names {self.files}, clips {self.clips}, speed names {self.names} (stems {self.stems}), "
                f"starting speeds {[f'{n:g}' for n in self.speeds]}, lamp limit {self.limit:g}, "
                f"read order {[f'{n:g}' for n in self.order]}")


class Line:
    """What one line of code holds, comments left out: its string literals
    (an f-string's or template's literal pieces each one), its names, its
    numbers, and its code as text."""

    def __init__(self):
        self.strings, self.names, self.numbers, self.code = [], [], [], []


# A C++ file's tokens: comments, string and character literals, names,
# numbers, line ends, anything else.
C_TOKEN = re.compile(r"//[^\n]*|/\*.*?\*/|\"(?:\\.|[^\"\\\n])*\"|'(?:\\.|[^'\\\n])*'"
                     r"|[A-Za-z_]\w*|\d[\w.']*|\n|\S", re.S)


def c_like_lines(text):
    """The lines of a C++ file, comments left out."""
    lines = {}
    number = 1
    for match in C_TOKEN.finditer(text):
        token = match.group(0)
        if token == "\n":
            number += 1
            continue
        if token.startswith("//") or token.startswith("/*"):
            number += token.count("\n")
            continue
        line = lines.setdefault(number, Line())
        line.code.append(token)
        if token[0] in "\"'":
            line.strings.append(token[1:-1])
        elif token[0].isalpha() or token[0] == "_":
            line.names.append(token)
        elif token[0].isdigit():
            line.numbers.append(token)
        number += token.count("\n")
    return lines


def python_lines(text):
    """The lines of a Python file, comments and docstrings left out."""
    docstrings = set()
    for node in ast.walk(ast.parse(text)):
        if isinstance(node, (ast.Module, ast.ClassDef, ast.FunctionDef, ast.AsyncFunctionDef)) and node.body:
            first = node.body[0]
            if isinstance(first, ast.Expr) and isinstance(first.value, ast.Constant) and \
                    isinstance(first.value.value, str):
                docstrings.update(range(first.lineno, first.end_lineno + 1))
    lines = {}
    for token in tokenize.generate_tokens(io.StringIO(text).readline):
        number = token.start[0]
        if token.type == tokenize.COMMENT or (token.type == tokenize.STRING and number in docstrings):
            continue
        line = lines.setdefault(number, Line())
        if token.type == tokenize.STRING:
            body = re.sub(r"^[A-Za-z]*('''|\"\"\"|'|\")", "", token.string)
            body = re.sub(r"('''|\"\"\"|'|\")$", "", body)
            # An f-string's literal pieces, each on its own.
            line.strings += re.split(r"\{[^{}]*\}", body) if re.match(r"^[A-Za-z]*[fF]", token.string) else [body]
        elif token.type == tokenize.NAME:
            line.names.append(token.string)
        elif token.type == tokenize.NUMBER:
            line.numbers.append(token.string)
        if token.type not in (tokenize.NL, tokenize.NEWLINE, tokenize.INDENT, tokenize.DEDENT, tokenize.ENDMARKER):
            line.code.append(token.string)
    return lines


def as_number(text):
    try:
        return float(text.replace("'", "").rstrip("fFuUlL"))
    except ValueError:
        return None


def named_facts(line, facts):
    """Each (kind, fact) the line names."""
    found = []
    strings = "\0".join(line.strings)
    words = strings + "\0" + "\0".join(line.names)
    lowered = words.lower()
    code = " ".join(line.code)
    for name in facts.files:
        if name.lower() in strings.lower():
            found.append(("file name", name))
    found += [("clip", clip) for clip in facts.clips if clip in words]
    found += [("speed name", name) for name in facts.names if name in words]
    for stem in facts.stems:
        # A name built from its stem: "Speed" + n, f"Speed{n}".
        if stem in code and re.search(r"(?<![A-Za-z])" + stem + r"(?:[\"']\s*\+|\{)", code):
            found.append(("speed name", stem + "N"))
    numbers = [as_number(n) for n in line.numbers]
    numbers += [as_number(s.strip()) for s in line.strings if re.fullmatch(r"\s*\d+\s*", s)]
    starting = sorted({n for n in numbers if n in facts.speeds})
    if len(starting) >= 2 or (starting and "speed" in lowered):
        found.append(("starting speed", ", ".join(f"{n:g}" for n in starting)))
    if facts.limit in numbers and "lamp" in lowered:
        found.append(("lamp limit", f"{facts.limit:g}"))
    digits = "".join(f"{n:g}" for n in facts.order)
    spaced = r"\b" + r"\s*,\s*".join(f"{n:g}" for n in facts.order) + r"\b"
    if re.search(spaced, code) or any(len(s) >= 2 and len(set(s)) == len(s) and set(s) <= set(digits)
                                      for s in line.strings):
        found.append(("read order", digits))
    return found


def checked_files(root):
    for folder, suffixes in CHECKED:
        for path in sorted((root / folder).rglob("*")):
            relative = path.relative_to(root).as_posix()
            if path.is_file() and path.suffix in suffixes and not relative.startswith(LEFT_OUT):
                yield relative, path


def main(root):
    root = Path(root)
    facts = Facts(root)
    faults, count = [], 0
    for relative, path in checked_files(root):
        count += 1
        text = path.read_text(errors="replace")
        try:
            lines = python_lines(text) if path.suffix == ".py" else c_like_lines(text)
        except (SyntaxError, tokenize.TokenError) as error:
            faults.append(f"{relative}: cannot be read as Python: {error}")
            continue
        for number, line in sorted(lines.items()):
            for kind, fact in named_facts(line, facts):
                faults.append(f"{relative}:{number}: names Lumivane's {kind} {fact} "
                              f"({' '.join(line.code)[:100]})")
    print(f"Checked {count} files of the rooms that know no gauge for Lumivane's facts ({FACTS_FILE}): {facts}")
    return verdict(faults)


if __name__ == "__main__":
    sys.exit(main(*arguments(__doc__, 1)))
