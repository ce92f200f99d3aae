"""The records (structs, classes, unions) of the tree as the field operator
needs them: each data member with its type, in declaration order, and so the
fields a read could plausibly have been meant for instead. Guessed from the
tokens, like everything the operators know of the code.
"""
import re

from .lexer import tokenize
from .structure import analyse


class Records:
    """The fields of every record (struct, class, union) of the tree, in
    declaration order with their types, for the field operator: a field's
    neighbours are the fields beside it of the very same type, in every
    record that has a field of that name."""

    def __init__(self):
        self.by_name = {}

    def read(self, source):
        tokens = tokenize(source)
        s = analyse(tokens)
        for b, kind in s.kind.items():
            if kind != "class":
                continue
            fields = list(_fields(s, b))
            for index, (name, type_) in enumerate(fields):
                near = set()
                for other in (index - 1, index + 1):
                    if 0 <= other < len(fields) and fields[other][1] == type_:
                        near.add(fields[other][0])
                self.by_name.setdefault(name, []).append(near)

    def neighbours(self, name):
        sets = self.by_name.get(name)
        if not sets:
            return []
        common = set.intersection(*sets)
        return sorted(common)


def _fields(s, b):
    """(name, type) of each data member declared directly in the record body
    opened at b."""
    tokens = s.tokens
    end = s.match.get(b)
    if end is None:
        return
    declaration = []
    k = b + 1
    while k < end:
        x = tokens[k].text
        if x in ("{", "(", "[") and k in s.match and not (x == "[" and declaration):
            if x == "{" and s.kind.get(k) in ("function", "class"):
                # A member function's body or a nested record: not a field.
                declaration = []
                k = s.match[k] + 1
                if s.text(k) == ";":
                    k += 1
                continue
            declaration.extend(tokens[k:s.match[k] + 1])
            k = s.match[k] + 1
            continue
        if x in ("public", "private", "protected") and s.text(k + 1) == ":":
            k += 2
            continue
        if x == ";":
            yield from _declarators(declaration)
            declaration = []
        else:
            declaration.append(tokens[k])
        k += 1


def _declarators(tokens):
    words = [t.text for t in tokens]
    if not words or words[0] in ("static", "using", "typedef", "friend", "enum", "struct", "class", "union",
                                 "static_assert", "template") or "(" in words:
        return
    # Split on top-level commas; the first declarator carries the type.
    parts, depth, current = [], 0, []
    for w in words:
        if w in ("(", "[", "{", "<"):
            depth += 1
        elif w in (")", "]", "}", ">"):
            depth -= 1
        if w == "," and depth == 0:
            parts.append(current)
            current = []
        else:
            current.append(w)
    parts.append(current)
    base = None
    for part in parts:
        cut = len(part)
        for marker in ("=", "{", ":"):
            if marker in part:
                cut = min(cut, part.index(marker))
        head = part[:cut]
        array = []
        if "[" in head:
            array = head[head.index("["):]
            head = head[:head.index("[")]
        if not head or not re.match(r"[A-Za-z_]", head[-1]):
            continue
        name = head[-1]
        if base is None:
            base = head[:-1]
            while base and base[-1] in ("*", "&"):
                base = base[:-1]
            pointer = head[len(base):-1]
        else:
            pointer = [w for w in head[:-1] if w in ("*", "&")]
        yield name, " ".join(base + pointer + array)
