"""The plausible slips, one fault each, made in a C++ file's text. Each is
found from the file alone, in the same order every time, and is a
replacement of characters of the original; nothing here builds or runs.
A mutant's id names its file, the function it is in and the change, and,
when that function has the same change more than once, which one: edits
elsewhere in the file leave it as it was.
"""
import re
from dataclasses import dataclass

from .cpp import STATEMENT_WORDS, TYPE_WORDS, Code, line_and_column

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
ASSIGNMENTS = {"=", "+=", "-=", "*=", "/=", "%=", "&=", "|=", "^=", "<<=", ">>="}
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


@dataclass(frozen=True)
class Mutant:
    file: str
    place: str        # the function it is in, "#2" for its second change of this kind there
    line: int
    column: int
    operator: str
    before: str       # the original text, whitespace collapsed, a long one cut short
    after: str        # its replacement likewise; ∅ for nothing
    start: int        # the characters replaced, as offsets into the file
    end: int
    replacement: str

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
            for operator in (relational, logical, constant, offset, condition, statements, result, field):
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
        made.append(Mutant(path, anchor + (f"#{n}" if n > 1 else ""), *line_and_column(source, start), operator_name,
                           before, after, start, end, text))
    return made


# Each operator gives (name, first token, last token, replacement) for token i.

def relational(c, i, _):
    if c.t(i) in TURNED and i not in c.templates and c.t(i - 1) != "operator":
        yield "relational", i, i, TURNED[c.t(i)]


def logical(c, i, _):
    tok = c.tokens[i]
    # `Type&& name` declares a reference: our style hugs the type.
    if tok.text in SWAPPED and not (tok.text == "&&" and not tok.spaced and c.tokens[i + 1].spaced):
        yield "logical", i, i, SWAPPED[tok.text]
    elif tok.text == "!" and c.t(i - 1) != "operator":
        yield "negation", i, i, ""


def operand_end(c, i):
    """Whether token i can end an operand, so that what follows is binary."""
    return c.name(i) or (0 <= i < len(c.tokens) and (c.tokens[i].kind in ("number", "literal") or c.t(i) in ")]"))


def written(c, i):
    """Whether the operand ending at token i is written to by what follows."""
    return c.t(i + 1) in ASSIGNMENTS or c.t(i + 1) in ("++", "--")


def constant(c, i, _):
    tok = c.tokens[i]
    value = parse_integer(tok.text) if tok.kind == "number" else None
    if value is None:
        return
    number, render, unsigned = value
    if c.t(i - 1) == "[" and c.t(i + 1) == "]" and i - 1 not in c.frozen and operand_end(c, i - 2):
        # An index read is the element beside it; one written to is a
        # constant moved, never below the first element.
        kind = "constant" if written(c, i + 1) else "field"
        yield kind, i, i, render(number + 1)
        if number > 0:
            yield kind, i, i, render(number - 1)
        return
    yield "constant", i, i, render(number + 1)
    # x + 0 is the dropped offset again; a negative unsigned is no slip.
    if not drops_offset(c, i - 1) and not (number == 0 and unsigned):
        lower = render(number - 1)
        if lower.startswith("-") and (c.t(i - 1) in ("-", "+", "~", "!") or operand_end(c, i - 1)):
            lower = f"({lower})"
        yield "constant", i, i, lower


def drops_offset(c, i):
    """Whether the binary + or - at i adds or takes a 1 that can be dropped
    leaving the same grouping (`x + 1 * y` could not)."""
    one = parse_integer(c.t(i + 1)) if i + 1 < len(c.tokens) and c.tokens[i + 1].kind == "number" else None
    return c.t(i) in ("+", "-") and operand_end(c, i - 1) and i + 1 not in c.frozen and one is not None \
        and one[0] == 1 and c.t(i + 2) not in ("*", "/", "%", "[", "(", ".", "->", "++", "--")


def offset(c, i, _):
    if drops_offset(c, i):
        yield "offset", i - 1, i + 1, ""


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
        if semis or close == open_ + 1 or declares(c, open_ + 1):
            return
        # A clamp forced false is the clamp dropped.
        first, last = open_ + 1, close - 1
        forced = ["false"] if x != "if" else ["true"] if clamp_end(c, i) >= 0 else ["true", "false"]
    if not any(j in c.frozen for j in range(first, last + 1)):
        for value in forced:
            yield "condition", first, last, value


def declares(c, j):
    """Whether a condition starting at token j declares a variable: a type
    (maybe qualified, maybe a template) followed by a name."""
    if c.t(j) in TYPE_WORDS:
        return True
    if not c.name(j):
        return False
    while c.t(j + 1) == "::" and c.name(j + 2):
        j += 2
    if c.t(j + 1) == "<" and j + 1 in c.templates:
        j = closing_angle(c, j + 1)
    while c.t(j + 1) in ("*", "&") and not c.tokens[j + 1].spaced:
        j += 1
    return c.name(j + 1)


def closing_angle(c, j):
    depth = 0
    for k in range(j, len(c.tokens)):
        if k in c.templates:
            depth += {"<": 1, ">": -1, ">>": -2}.get(c.t(k), 0)
            if depth <= 0:
                return k
    return j


def opening_angle(c, j):
    depth = 0
    for k in range(j, -1, -1):
        if k in c.templates:
            depth += {">": 1, ">>": 2, "<": -1}.get(c.t(k), 0)
            if c.t(k) == "<" and depth <= 0:
                return k
    return j


def statements(c, i, _):
    if not c.statement_start(i):
        return
    if c.t(i) == "if":
        last = clamp_end(c, i)
        if last >= 0:
            yield "clamp", i, last, "{}" if c.t(i - 1) in (")", "else", "do") else ""
        return
    end = simple_statement(c, i)[0]
    if end >= 0 and not sole_body_of_if(c, i, end):
        # The only body of an if, else or loop leaves an empty block behind.
        yield "statement", i, end, "{}" if c.t(i - 1) in (")", "else", "do") else ""


def simple_statement(c, i):
    """The ";" ending a call or an assignment statement starting at i, and
    the assignment's operator; (-1, None) for any other statement."""
    end = call_statement(c, i)
    return (end, None) if end >= 0 else assignment_statement(c, i)


def sole_body_of_if(c, i, end):
    """Whether the statement i..end is all an if without an else runs:
    deleting it is the condition forced false."""
    braced = c.t(i - 1) == "{"
    header = i - 2 if braced else i - 1
    last = end + 1 if braced else end
    return c.t(header) == ")" and c.t(c.match.get(header, -1) - 1) == "if" and \
        (not braced or c.t(last) == "}") and c.t(last + 1) != "else"


def clamp_end(c, i):
    """The last token of the clamp `if (...) x = bound;` starting at i, or -1."""
    if c.t(i) != "if" or c.t(i + 1) != "(" or i + 1 not in c.match:
        return -1
    body = c.match[i + 1] + 1
    braced = c.t(body) == "{"
    end, operator = assignment_statement(c, body + braced)
    last = end + braced
    return last if end >= 0 and operator == "=" and (not braced or c.t(last) == "}") and c.t(last + 1) != "else" \
        else -1


def call_statement(c, i):
    """The ";" ending a call statement that starts at i, or -1."""
    j = i + 1 if c.t(i) == "::" else i
    if not c.name(j):
        return -1
    while c.t(j + 1) in ("::", ".", "->") and c.name(j + 2):
        j += 2
    if c.t(j + 1) == "<" and j + 1 in c.templates:
        j = closing_angle(c, j + 1)
    while c.t(j + 1) == "(" and j + 1 in c.match:
        j = c.match[j + 1]
        if c.t(j + 1) in (".", "->") and c.name(j + 2) and c.t(j + 3) == "(":
            j += 2
    return j + 1 if c.t(j) == ")" and c.t(j + 1) == ";" else -1


def assignment_statement(c, i):
    """The ";" ending an assignment or increment statement that starts at i,
    and its operator; (-1, None) otherwise."""
    j = i + (c.t(i) in ("++", "--"))
    prefix = j > i
    while c.t(j) == "*":
        j += 1
    if not (c.name(j) or c.t(j) == "this"):
        return -1, None
    while True:
        if c.t(j + 1) in (".", "->", "::") and c.name(j + 2):
            j += 2
        elif c.t(j + 1) == "[" and j + 1 in c.match:
            j = c.match[j + 1]
        else:
            break
    operator = c.t(j + 1)
    if prefix or operator in ("++", "--"):
        end = j + 1 + (not prefix)
        return (end, "++") if c.t(end) == ";" else (-1, None)
    if operator not in ASSIGNMENTS:
        return -1, None
    k = j + 2
    while k < len(c.tokens) and c.t(k) != ";":
        if c.t(k) in ("}", ")", "]"):
            return -1, None
        k = c.match[k] + 1 if c.t(k) in ("(", "[", "{") and k in c.match else k + 1
    return (k, operator) if k < len(c.tokens) else (-1, None)


def result(c, i, _):
    if c.t(i) != "return":
        return
    function = c.function_of(i)
    kind = result_class(c, function) if function >= 0 and c.kind[function] == "function" else None
    k = i + 1
    while k < len(c.tokens) and c.t(k) != ";":
        k = c.match[k] + 1 if c.t(k) in ("(", "[", "{") and k in c.match else k + 1
    if kind is None or k == i + 1 or k >= len(c.tokens):
        return
    expression = collapse(c.source[c.tokens[i + 1].start:c.tokens[k - 1].end])
    forced = {"bool": ["true", "false"], "integer": ["1" if expression == "0" else "0"], "pointer": ["nullptr"],
              "floating": ["1.0" if expression in ("0.0", "0") else "0.0"], "object": ["{}"]}[kind]
    for value in forced:
        if value != expression and not (kind == "pointer" and expression in ("NULL", "0")):
            yield "result", i + 1, k - 1, value


def result_class(c, b):
    """What a function's result is, from the words before its name: "bool",
    "integer", "floating", "pointer", "object" (a value `{}` makes), or None
    when a forced result would not be one (void, references, auto,
    constructors, operators)."""
    k = c.match.get(c.header_close(b), -1) - 1
    if k < 0 or c.tokens[k].kind != "name" or c.t(k) == "operator":
        return None
    while c.t(k - 1) == "::" and k >= 2:
        k -= 2
        if c.t(k) == ">" and k in c.templates:
            return None
    if c.t(k - 1) == "~":
        return None
    words, j = [], k - 1
    while j >= 0 and c.t(j) not in (";", "{", "}", ")", ":") and c.tokens[j].kind != "literal":
        if c.t(j) in (">", ">>") and j in c.templates:
            # A result type's own arguments are kept; a `template <...>`
            # before it ends the result.
            opener = opening_angle(c, j)
            if c.t(opener - 1) == "template":
                break
            words[:0], j = [t.text for t in c.tokens[opener:j + 1]], opener - 1
        elif c.t(j) == "]" and c.t(j - 1) == "]" and j in c.match:
            j = c.match[j] - 1  # an attribute says nothing of the type
        else:
            words.insert(0, c.t(j))
            j -= 1
    return classify_type([w for w in words if w not in SPECIFIERS])


def classify_type(words):
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
    if c.t(i) not in (".", "->") or not operand_end(c, i - 1) or not c.name(j) or c.t(j + 1) == "(" or \
            written(c, j) or (c.t(j + 1) == "[" and j + 1 in c.match and written(c, c.match[j + 1])):
        return
    for neighbour in records.neighbours(c.t(j)):
        yield "field", j, j, neighbour


def parse_integer(text):
    """(value, render, unsigned) for an integer literal, where render(n)
    writes n in the literal's own base, width and suffix; None otherwise."""
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


class Records:
    """The fields of every record of the tree, in declaration order with
    their types: a field's neighbours are the fields beside it of the very
    same type, in every record that has a field of that name."""

    def __init__(self):
        self.by_name = {}

    def read(self, source):
        c = Code(source)
        for b, kind in c.kind.items():
            if kind == "class":
                fields = list(record_fields(c, b))
                for n, (name, type_) in enumerate(fields):
                    self.by_name.setdefault(name, []).append(
                        {f for f, t in fields[max(n - 1, 0):n] + fields[n + 1:n + 2] if t == type_})

    def neighbours(self, name):
        return sorted(set.intersection(*self.by_name[name])) if self.by_name.get(name) else []


def record_fields(c, b):
    """(name, type) of each data member declared directly in the record body at b."""
    declaration, k, end = [], b + 1, c.match.get(b, b)
    while k < end:
        x = c.t(k)
        if x in ("{", "(", "[") and k in c.match and not (x == "[" and declaration):
            if x == "{" and c.kind.get(k) in ("function", "class"):
                # A member function's body or a nested record: not a field.
                declaration, k = [], c.match[k] + 1 + (c.t(c.match[k] + 1) == ";")
                continue
            declaration += [t.text for t in c.tokens[k:c.match[k] + 1]]
            k = c.match[k] + 1
            continue
        if x in ("public", "private", "protected") and c.t(k + 1) == ":":
            k += 1
        elif x == ";":
            yield from declarators(declaration)
            declaration = []
        else:
            declaration.append(x)
        k += 1


def declarators(words):
    if not words or words[0] in ("static", "using", "typedef", "friend", "enum", "struct", "class", "union",
                                 "static_assert", "template") or "(" in words:
        return
    parts, depth = [[]], 0
    for w in words:
        depth += (w in ("(", "[", "{", "<")) - (w in (")", "]", "}", ">"))
        if w == "," and depth == 0:
            parts.append([])
        else:
            parts[-1].append(w)
    base = None
    for part in parts:
        head = part[:min([part.index(m) for m in ("=", "{", ":") if m in part] + [len(part)])]
        array = head[head.index("["):] if "[" in head else []
        head = head[:len(head) - len(array)]
        if not head or not re.match(r"[A-Za-z_]", head[-1]):
            continue
        if base is None:
            base = head[:-1]
            while base and base[-1] in ("*", "&"):
                base = base[:-1]
            pointer = head[len(base):-1]
        else:
            pointer = [w for w in head[:-1] if w in ("*", "&")]
        yield head[-1], " ".join(base + pointer + array)
