"""The plausible slips, one fault each, made in a C++ file's text: a
comparison turned, a logical operator swapped or a negation dropped, a
constant or an offset moved by one, a condition forced, a clamp dropped, a
call or an assignment deleted, a result forced, a field read for its
neighbour. Each is found from the file alone, in the same order every time,
and is a replacement of characters of the original; nothing here builds,
writes or runs anything.
"""
import re
from dataclasses import dataclass

from .lexer import line_and_column, tokenize
from .structure import ASSIGNMENTS, CASTS, STATEMENT_WORDS, TYPE_WORDS, analyse

# Operator names, in the order they are listed and documented.
OPERATORS = {
    "relational": "< and <=, > and >=, == and != turned into each other",
    "logical": "&& and || swapped",
    "negation": "a ! dropped",
    "constant": "an integer literal moved by one",
    "offset": "a + 1 or - 1 dropped",
    "condition": "the condition of an if forced true or false, of a loop false",
    "clamp": "an `if (...) x = bound;` removed",
    "statement": "a call statement or an assignment deleted",
    "result": "`return x;` forced to 0, false, true, null or {} as the type says",
    "field": "a field read for its neighbour of the same type, an element for the next or previous",
}

TURNED = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "=="}
SWAPPED = {"&&": "||", "||": "&&"}
INTEGER = re.compile(r"^(0[xX](?P<hex>[0-9a-fA-F]+)|0[bB](?P<bin>[01]+)|(?P<dec>[0-9]+))(?P<suffix>[uUlLzZ]*)$")
DELETED = "∅"


@dataclass(frozen=True)
class Mutant:
    file: str        # path relative to the tree's root, with /
    line: int
    column: int
    operator: str
    before: str      # the original text, whitespace collapsed, a long one cut short
    after: str       # its replacement likewise; ∅ for nothing
    start: int       # the characters replaced, as offsets into the file
    end: int
    replacement: str

    @property
    def id(self):
        return f"{self.file}:{self.line}:{self.column} {self.operator} {self.before} → {self.after}"

    def apply(self, source):
        return source[:self.start] + self.replacement + source[self.end:]


# Longer changes are named by their start; the place keeps the id unique.
SHOWN = 72


def collapse(text):
    text = " ".join(text.split()) or DELETED
    return text if len(text) <= SHOWN else text[:SHOWN - 12].rstrip() + " …"


class Finder:
    """The mutants of one file."""

    def __init__(self, path, source, records):
        self.path = path
        self.source = source
        self.records = records
        self.tokens = tokenize(source)
        self.s = analyse(self.tokens)
        self.found = {}

    def mutants(self):
        for i in range(len(self.tokens)):
            if i in self.s.frozen:
                continue
            self._relational(i)
            self._logical(i)
            self._constant(i)
            self._offset(i)
            self._condition(i)
            self._statements(i)
            self._result(i)
            self._field(i)
        return sorted(self.found.values(), key=lambda m: (m.start, m.end, m.operator, m.replacement))

    # -- helpers --

    def t(self, i):
        return self.s.text(i)

    def add(self, operator, start, end, replacement):
        original = self.source[start:end]
        if original == replacement:
            return
        line, column = line_and_column(self.source, start)
        m = Mutant(self.path, line, column, operator, collapse(original), collapse(replacement), start, end,
                   replacement)
        self.found.setdefault((start, end, replacement), m)

    def replace_token(self, operator, i, text):
        self.add(operator, self.tokens[i].start, self.tokens[i].end, text)

    def operand_end(self, i):
        """Whether token i can end an operand (so that what follows is a
        binary operator)."""
        tok = self.tokens[i] if 0 <= i < len(self.tokens) else None
        if tok is None:
            return False
        if tok.kind == "name":
            return tok.text not in STATEMENT_WORDS and tok.text not in TYPE_WORDS
        return tok.kind in ("number", "literal") or tok.text in (")", "]")

    def subscript(self, i):
        """Whether "[" at i indexes something (it is not frozen as an array
        size and follows an operand)."""
        return self.t(i) == "[" and i not in self.s.frozen and self.operand_end(i - 1) and self.t(i + 1) != "["

    def written(self, i):
        """Whether the operand ending at token i is written to by what follows."""
        return self.t(i + 1) in ASSIGNMENTS or self.t(i + 1) in ("++", "--")

    # -- operators --

    def _relational(self, i):
        x = self.t(i)
        if x in TURNED and i not in self.s.templates and self.t(i - 1) != "operator":
            self.replace_token("relational", i, TURNED[x])

    def _logical(self, i):
        tok = self.tokens[i]
        if tok.text in SWAPPED:
            # `Type&& name` declares a reference: our style hugs the type.
            if tok.text == "&&" and not tok.spaced and self.tokens[i + 1].spaced:
                return
            self.replace_token("logical", i, SWAPPED[tok.text])
        elif tok.text == "!" and self.t(i - 1) != "operator":
            self.replace_token("negation", i, "")

    def _constant(self, i):
        tok = self.tokens[i]
        if tok.kind != "number":
            return
        value = parse_integer(tok.text)
        if value is None:
            return
        number, render, unsigned = value
        if self.t(i - 1) == "[" and self.t(i + 1) == "]" and self.subscript(i - 1):
            # An index read is the element beside it; one written to is a
            # constant moved, never below the first element.
            operator = "constant" if self.written(i + 1) else "field"
            self.replace_token(operator, i, render(number + 1))
            if number > 0:
                self.replace_token(operator, i, render(number - 1))
            return
        offset = self.drops_offset(i - 1)
        self.replace_token("constant", i, render(number + 1))
        # x + 0 is the dropped offset again; a negative unsigned is no slip.
        if not offset and not (number == 0 and unsigned):
            lower = render(number - 1)
            if lower.startswith("-") and (self.t(i - 1) in ("-", "+", "~", "!") or self.operand_end(i - 1)):
                lower = f"({lower})"
            self.replace_token("constant", i, lower)

    def drops_offset(self, i):
        """Whether the binary + or - at i adds or takes 1 that can be dropped
        leaving the same grouping (`x + 1 * y` could not)."""
        if self.t(i) not in ("+", "-") or not self.operand_end(i - 1) or i + 1 in self.s.frozen:
            return False
        one = self.tokens[i + 1] if i + 1 < len(self.tokens) else None
        if one is None or one.kind != "number" or (parse_integer(one.text) or (None,))[0] != 1:
            return False
        return self.t(i + 2) not in ("*", "/", "%", "[", "(", ".", "->", "++", "--")

    def _offset(self, i):
        if self.drops_offset(i):
            self.add("offset", self.tokens[i - 1].end, self.tokens[i + 1].end, "")

    def _condition(self, i):
        x = self.t(i)
        if x not in ("if", "while", "for") or self.t(i + 1) != "(" or i + 1 not in self.s.match:
            return
        open_, close = i + 1, self.s.match[i + 1]
        inner = [j for j in range(open_ + 1, close) if self.s.parent[j] == open_]
        semis = [j for j in inner if self.t(j) == ";"]
        if x == "for":
            if len(semis) != 2 or semis[1] == semis[0] + 1:
                return
            first, last = semis[0] + 1, semis[1] - 1
            forced = ["false"]
        else:
            if semis or close == open_ + 1 or self._declares(open_ + 1):
                return
            first, last = open_ + 1, close - 1
            # A clamp forced false is the clamp dropped.
            forced = ["false"] if x != "if" else ["true"] if self.is_clamp(i) >= 0 else ["true", "false"]
        if any(j in self.s.frozen for j in range(first, last + 1)):
            return
        for value in forced:
            self.add("condition", self.tokens[first].start, self.tokens[last].end, value)

    def _declares(self, j):
        """Whether a condition starting at token j declares a variable: a
        type (maybe qualified, maybe a template) followed by a name."""
        if self.t(j) in TYPE_WORDS:
            return True
        if not self.name(j):
            return False
        while self.t(j + 1) == "::" and self.name(j + 2):
            j += 2
        if self.t(j + 1) == "<" and j + 1 in self.s.templates:
            j = self.closing_angle(j + 1)
        while self.t(j + 1) in ("*", "&") and not self.tokens[j + 1].spaced:
            j += 1
        return self.name(j + 1)

    def _statements(self, i):
        if not self.s.statement_start(i):
            return
        if self.t(i) == "if":
            self._clamp(i)
            return
        if self.sole_body_of_if(i):
            # Deleting it is the condition forced false.
            return
        end = self.call_statement(i)
        if end < 0:
            end, _ = self.assignment_statement(i)
        if end >= 0:
            self.remove("statement", i, end)

    def sole_body_of_if(self, i):
        """Whether the statement at i is all an if without an else runs."""
        header = i - 1
        braced = self.t(header) == "{"
        if braced:
            header -= 1
        if self.t(header) != ")" or self.t(self.s.match.get(header, -1) - 1) != "if":
            return False
        end = self.call_statement(i)
        if end < 0:
            end, _ = self.assignment_statement(i)
        if end < 0:
            return False
        last = end + 1 if braced else end
        return (not braced or self.t(last) == "}") and self.t(last + 1) != "else"

    def is_clamp(self, i):
        """The last token of the clamp `if (...) x = bound;` starting at i, or -1."""
        open_ = i + 1
        if self.t(i) != "if" or self.t(open_) != "(" or open_ not in self.s.match:
            return -1
        body = self.s.match[open_] + 1
        braced = self.t(body) == "{"
        end, operator = self.assignment_statement(body + 1 if braced else body)
        if end < 0 or operator != "=":
            return -1
        last = end + 1 if braced else end
        if (braced and self.t(last) != "}") or self.t(last + 1) == "else":
            return -1
        return last

    def remove(self, operator, first, last):
        """Removes tokens first..last, a whole statement; a statement that is
        the only body of an if, else or loop leaves an empty block behind."""
        sole = self.t(first - 1) in (")", "else", "do")
        self.add(operator, self.tokens[first].start, self.tokens[last].end, "{}" if sole else "")

    def _clamp(self, i):
        last = self.is_clamp(i)
        if last >= 0:
            self.remove("clamp", i, last)

    def call_statement(self, i):
        """The ";" ending a call statement that starts at i, or -1."""
        j = i + 1 if self.t(i) == "::" else i
        if not self.name(j):
            return -1
        while self.t(j + 1) in ("::", ".", "->") and self.name(j + 2):
            j += 2
        if self.t(j + 1) == "<" and j + 1 in self.s.templates:
            j = self.closing_angle(j + 1)
        while self.t(j + 1) == "(" and j + 1 in self.s.match:
            j = self.s.match[j + 1]
            if self.t(j + 1) in (".", "->") and self.name(j + 2) and self.t(j + 3) == "(":
                j += 2
        if self.t(j) == ")" and self.t(j + 1) == ";":
            return j + 1
        return -1

    def assignment_statement(self, i):
        """The ";" ending an assignment or increment statement that starts at
        i and its operator, or (-1, None)."""
        j = i
        prefix = self.t(j) in ("++", "--")
        if prefix:
            j += 1
        while self.t(j) == "*":
            j += 1
        if not (self.name(j) or self.t(j) == "this"):
            return -1, None
        while True:
            if self.t(j + 1) in (".", "->", "::") and self.name(j + 2):
                j += 2
            elif self.t(j + 1) == "[" and j + 1 in self.s.match:
                j = self.s.match[j + 1]
            else:
                break
        operator = self.t(j + 1)
        if prefix:
            return (j + 1, "++") if operator == ";" else (-1, None)
        if operator in ("++", "--"):
            return (j + 2, operator) if self.t(j + 2) == ";" else (-1, None)
        if operator not in ASSIGNMENTS:
            return -1, None
        k = j + 2
        while k < len(self.tokens) and self.t(k) != ";":
            if self.t(k) in ("(", "[", "{") and k in self.s.match:
                k = self.s.match[k]
            elif self.t(k) in ("}", ")", "]"):
                return -1, None
            k += 1
        return (k, operator) if k < len(self.tokens) else (-1, None)

    def name(self, j):
        tok = self.tokens[j] if 0 <= j < len(self.tokens) else None
        return tok is not None and tok.kind == "name" and tok.text not in STATEMENT_WORDS \
            and tok.text not in TYPE_WORDS and tok.text not in CASTS

    def closing_angle(self, j):
        depth = 0
        for k in range(j, len(self.tokens)):
            if k in self.s.templates:
                x = self.t(k)
                depth += 1 if x == "<" else -1 if x == ">" else -2 if x == ">>" else 0
                if depth <= 0:
                    return k
        return j

    def _result(self, i):
        if self.t(i) != "return":
            return
        function = self.s.function_of(i)
        if function < 0 or self.s.kind.get(function) != "function":
            return
        kind = self.s.result.get(function)
        if kind is None:
            return
        k = i + 1
        while k < len(self.tokens) and self.t(k) != ";":
            if self.t(k) in ("(", "[", "{") and k in self.s.match:
                k = self.s.match[k]
            k += 1
        if k == i + 1 or k >= len(self.tokens):
            return
        start, end = self.tokens[i + 1].start, self.tokens[k - 1].end
        expression = collapse(self.source[start:end])
        forced = {
            "bool": ["true", "false"],
            "integer": ["1" if expression == "0" else "0"],
            "floating": ["1.0" if expression in ("0.0", "0") else "0.0"],
            "pointer": ["nullptr"],
            "object": ["{}"],
        }[kind]
        for value in forced:
            if value != expression and not (kind == "pointer" and expression in ("NULL", "0")):
                self.add("result", start, end, value)

    def _field(self, i):
        if self.t(i) not in (".", "->") or not self.operand_end(i - 1):
            return
        j = i + 1
        if not self.name(j) or self.t(j + 1) == "(" or self.written(j):
            return
        if self.t(j + 1) == "[" and j + 1 in self.s.match and self.written(self.s.match[j + 1]):
            return
        for neighbour in self.records.neighbours(self.t(j)):
            self.replace_token("field", j, neighbour)


def parse_integer(text):
    """(value, render, unsigned) for an integer literal, where render(n)
    writes n in the literal's own base, width and suffix; None otherwise."""
    m = INTEGER.match(text.replace("'", ""))
    if not m:
        return None
    suffix = m.group("suffix")
    unsigned = "u" in suffix.lower()
    if m.group("hex"):
        digits = m.group("hex")
        upper = any(c in "ABCDEF" for c in digits)
        prefix = text[:2]

        def render(n):
            if n < 0:
                return f"-{prefix}{format(-n, 'X' if upper else 'x')}{suffix}"
            return f"{prefix}{format(n, 'X' if upper else 'x').rjust(len(digits), '0')}{suffix}"
        return int(digits, 16), render, unsigned
    if m.group("bin"):
        digits = m.group("bin")
        prefix = text[:2]
        return int(digits, 2), lambda n: f"{'-' if n < 0 else ''}{prefix}{format(abs(n), 'b').rjust(len(digits), '0')}{suffix}", unsigned
    digits = m.group("dec")
    if len(digits) > 1 and digits.startswith("0"):
        if any(c in "89" for c in digits):
            return None
        return int(digits, 8), lambda n: f"{'-' if n < 0 else ''}0{format(abs(n), 'o')}{suffix}", unsigned
    return int(digits), lambda n: f"{n}{suffix}", unsigned
