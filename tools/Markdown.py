"""Markdown for the reports people read (build/figures/figures.md, each
room's docs/mutants/<room>.md), written one way by every tool: a report is
a list of lines, every block ends with an empty line, and a cell is what
str() makes of it. Standard library only.
"""


def heading(text, level=2):
    return ["#" * level + " " + text, ""]


def paragraph(*lines):
    """One paragraph, its lines as the source wraps them."""
    return [*lines, ""]


def table(header, rows):
    """A table's lines, without the empty line after it."""
    return ["| " + " | ".join(header) + " |", "|" + "|".join("---" for _ in header) + "|"] + \
        ["| " + " | ".join(str(c) for c in r) + " |" for r in rows]


def code(lines):
    return ["```", *lines, "```", ""]
