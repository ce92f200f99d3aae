"""The plausible slips, one fault each, found in a C++ file's text alone, in
the same order every time. A mutant's id names its file, the function it is
in and the change (and which one, when the function has it more than once):
edits elsewhere in the file leave it as it was.
"""
import re
from collections import namedtuple

from .cpp import Code

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
INTEGER = re.compile(r"(0[xX](?P<hex>[0-9a-fA-F]+)|0[bB](?P<bin>[01]+)|(?P<dec>[0-9]+))(?P<suffix>[uUlLzZ]*)$")
# Words before a function's name that say nothing of its result.
SPECIFIERS = {"static", "inline", "constexpr", "consteval", "virtual", "extern", "friend", "explicit",
              "GAUGE_STDCALL", "__stdcall", "__cdecl", "WINAPI", "APIENTRY", "CALLBACK", "STDMETHODCALLTYPE",
              "EMSCRIPTEN_KEEPALIVE", "noexcept"}
INTEGERS = set("""char short int long signed unsigned size_t ssize_t ptrdiff_t intptr_t uintptr_t off_t int8_t
    int16_t int32_t int64_t uint8_t uint16_t uint32_t uint64_t DWORD HRESULT ULONG LONG UINT WORD BYTE INT BOOL
    LRESULT MMRESULT SIZE_T LONG_PTR ULONG_PTR UINT_PTR INT_PTR WPARAM LPARAM ATOM""".split())
POINTERS = set("""HANDLE HMODULE HINSTANCE HRSRC HGLOBAL HLOCAL HWND HDC HCURSOR HBITMAP HFONT HGDIOBJ LPVOID
    LPCVOID LPSTR LPCSTR FARPROC PVOID""".split())
DELETED = "∅"
SHOWN = 72  # longer changes are named by their start


class Mutant(namedtuple("Mutant", "file place line column operator before after start end replacement")):
    """place: its function, "#2" for its second such change there; before, after: the texts, a long one
    cut short, ∅ for nothing; start, end: the offsets of the characters replaced."""

    @property
    def id(self):
        return f"{self.file}:{self.place} {self.operator} {self.before} → {self.after}"

    def apply(self, source):
        return source[:self.start] + self.replacement + source[self.end:]


def collapse(text):
    text = " ".join(text.split()) or DELETED
    return text if len(text) <= SHOWN else text[:SHOWN - 12].rstrip() + " …"


def mutants(path, source, records):
    """Every mutant of one file, in the order of its place in the file."""
    code, found = Code(source), {}
    for i in range(len(code.tokens)):
        if i not in code.frozen:
            # Each operator gives (name, first token, last token, replacement) for token i.
            for operator in (swapped, constant, condition, statements, result, field):
                for operator_name, first, last, text in operator(code, i, records):
                    start, end = code.tokens[first].end if operator_name == "offset" else code.tokens[first].start, \
                        code.tokens[last].end
                    if source[start:end] != text:
                        found.setdefault((start, end, text), (operator_name, first))
    made, seen = [], {}
    for (start, end, text), (operator_name, first) in sorted(found.items(), key=lambda f: (*f[0][:2], f[1][0], f[0][2])):
        before, after = collapse(source[start:end]), collapse(text)
        anchor = code.anchor(first)
        n = seen[anchor, operator_name, before, after] = seen.get((anchor, operator_name, before, after), 0) + 1
        made.append(Mutant(path, anchor + (f"#{n}" if n > 1 else ""), source.count("\n", 0, start) + 1,
                           start - source.rfind("\n", 0, start), operator_name, before, after, start, end, text))
    return made


def swapped(c, i, _):
    """The relational, logical, negation and offset faults of the operator at i."""
    tok = c.tokens[i]
    if tok.text in TURNED and i not in c.templates and c.t(i - 1) != "operator":
        yield "relational", i, i, TURNED[tok.text]
    # `Type&& name` declares a reference: our style hugs the type.
    if tok.text in SWAPPED and not (tok.text == "&&" and not tok.spaced and c.tokens[i + 1].spaced):
        yield "logical", i, i, SWAPPED[tok.text]
    elif tok.text == "!" and c.t(i - 1) != "operator":
        yield "negation", i, i, ""
    if drops_offset(c, i):
        yield "offset", i - 1, i + 1, ""


def constant(c, i, _):
    tok = c.tokens[i]
    value = parse_integer(tok.text) if tok.kind == "number" else None
    if value is None:
        return
    number, render, unsigned = value
    if c.t(i - 1) == "[" and c.t(i + 1) == "]" and i - 1 not in c.frozen and c.operand_end(i - 2):
        # An index read is the element beside it; one written to is a
        # constant moved, never below the first element.
        kind = "constant" if c.written(i + 1) else "field"
        yield kind, i, i, render(number + 1)
        if number > 0:
            yield kind, i, i, render(number - 1)
        return
    yield "constant", i, i, render(number + 1)
    # x + 0 is the dropped offset again; a negative unsigned is no slip.
    if not drops_offset(c, i - 1) and not (number == 0 and unsigned):
        lower = render(number - 1)
        if lower.startswith("-") and (c.t(i - 1) in ("-", "+", "~", "!") or c.operand_end(i - 1)):
            lower = f"({lower})"
        yield "constant", i, i, lower


def drops_offset(c, i):
    """Whether the binary + or - at i takes a 1 that can go, the grouping kept (`x + 1 * y` could not)."""
    one = parse_integer(c.t(i + 1)) if i + 1 < len(c.tokens) and c.tokens[i + 1].kind == "number" else None
    return c.t(i) in ("+", "-") and c.operand_end(i - 1) and i + 1 not in c.frozen and one is not None \
        and one[0] == 1 and c.t(i + 2) not in ("*", "/", "%", "[", "(", ".", "->", "++", "--")


def condition(c, i, _):
    x = c.t(i)
    if x not in ("if", "while", "for") or c.t(i + 1) != "(" or i + 1 not in c.match:
        return
    open_, close = i + 1, c.match[i + 1]
    semis = [j for j in range(open_ + 1, close) if c.parent[j] == open_ and c.t(j) == ";"]
    if x == "for":
        if len(semis) != 2 or semis[1] == semis[0] + 1:
            return
        first, last, forced = semis[0] + 1, semis[1] - 1, ["false"]
    else:
        if semis or close == open_ + 1 or c.declares(open_ + 1):
            return
        # A clamp forced false is the clamp dropped.
        first, last = open_ + 1, close - 1
        forced = ["false"] if x != "if" else ["true"] if c.clamp_end(i) >= 0 else ["true", "false"]
    if not any(j in c.frozen for j in range(first, last + 1)):
        for value in forced:
            yield "condition", first, last, value


def statements(c, i, _):
    if not c.statement_start(i):
        return
    if c.t(i) == "if":
        last = c.clamp_end(i)
        if last >= 0:
            yield "clamp", i, last, "{}" if c.t(i - 1) in (")", "else", "do") else ""
        return
    end = max(c.call_statement(i), c.assignment_statement(i)[0])
    if end >= 0 and not c.sole_body_of_if(i, end):
        # The only body of an if, else or loop leaves an empty block behind.
        yield "statement", i, end, "{}" if c.t(i - 1) in (")", "else", "do") else ""


def result(c, i, _):
    if c.t(i) != "return":
        return
    function = c.function_of(i)
    kind = result_class(c, function) if function >= 0 and c.kind[function] == "function" else None
    k = c.semicolon(i + 1)
    if kind is None or k in (-1, i + 1):
        return
    expression = collapse(c.source[c.tokens[i + 1].start:c.tokens[k - 1].end])
    forced = {"bool": ["true", "false"], "integer": ["1" if expression == "0" else "0"], "pointer": ["nullptr"],
              "floating": ["1.0" if expression in ("0.0", "0") else "0.0"], "object": ["{}"]}[kind]
    for value in forced:
        if value != expression and not (kind == "pointer" and expression in ("NULL", "0")):
            yield "result", i + 1, k - 1, value


def result_class(c, b):
    """A function's result: "bool", "integer", "floating", "pointer", "object" ({}) or None (void...)."""
    k = c.match.get(c.header_close(b), -1) - 1
    if k < 0 or c.tokens[k].kind != "name" or c.t(k) == "operator":
        return None
    while c.t(k - 1) == "::" and k >= 2:
        k -= 2
    words, j = [], k - 1
    while j >= 0 and c.t(j) not in (";", "{", "}", ")", ":") and c.tokens[j].kind != "literal":
        if c.t(j) in (">", ">>") and j in c.templates:
            # A result type's own arguments are kept; a `template <...>`
            # before it ends the result.
            opener = c.angle(j, -1)
            if c.t(opener - 1) == "template":
                break
            words[:0], j = [t.text for t in c.tokens[opener:j + 1]], opener - 1
        else:
            words.insert(0, c.t(j))
            j -= 1
    words = [w for w in words if w not in SPECIFIERS]
    if not words or words[-1] in ("&", "&&") or "auto" in words or "decltype" in words:
        return None
    if words[-1] == "*":
        return "pointer"
    plain = [w for w in words if w not in ("const", "volatile", "std", "::")]
    if plain == ["void"]:
        return None
    if plain == ["bool"]:
        return "bool"
    if plain != ["long"] and all(w in ("float", "double", "long") for w in plain) and {"float", "double"} & set(plain):
        return "floating"
    if plain and all(w in INTEGERS for w in plain):
        return "integer"
    return "pointer" if len(plain) == 1 and plain[0] in POINTERS else "object"


def field(c, i, records):
    j = i + 1
    if c.t(i) not in (".", "->") or not c.operand_end(i - 1) or not c.name(j) or c.t(j + 1) == "(" or \
            c.written(j) or (c.t(j + 1) == "[" and j + 1 in c.match and c.written(c.match[j + 1])):
        return
    for neighbour in records.neighbours(c.t(j)):
        yield "field", j, j, neighbour


def parse_integer(text):
    """(value, render(n) in the literal's own base, width and suffix, unsigned) of an integer literal."""
    m = INTEGER.match(text.replace("'", ""))
    if not m or (m["dec"] and len(m["dec"]) > 1 and m["dec"][0] == "0" and set(m["dec"]) & set("89")):
        return None
    suffix, digits = m["suffix"], m["hex"] or m["bin"] or m["dec"]
    base, prefix, form = (16, text[:2], "X" if set(digits) & set("ABCDEF") else "x") if m["hex"] else \
        (2, text[:2], "b") if m["bin"] else (8, "0", "o") if len(digits) > 1 and digits[0] == "0" else (10, "", "d")
    width = len(digits) if base in (2, 16) else 0

    def render(n):
        sign = "-" if n < 0 else ""
        return f"{sign}{prefix}{format(abs(n), form).rjust(width if base == 2 or not sign else 0, '0')}{suffix}"
    return int(digits, base), render, "u" in suffix.lower()
