"""What a fault needs to know of a C++ file beyond its tokens: which brackets
pair up, which angle brackets belong to templates, what each brace opens (a
namespace, a record, a function with its result type, a lambda, a block or an
initializer), where a statement may start, and which tokens must never change
(static assertions, attributes, array sizes and template arguments). What a
compiler knows for certain is guessed here from the shape of our own code; a
wrong guess costs a mutant that does not build, never a change to a file.
"""
from dataclasses import dataclass, field

CONTROL = {"if", "for", "while", "switch", "catch"}
CASTS = {"static_cast", "reinterpret_cast", "const_cast", "dynamic_cast"}
# Words that can start a statement but never a call or an assignment.
STATEMENT_WORDS = {"return", "break", "continue", "goto", "delete", "throw", "case", "default", "if", "else",
                   "for", "while", "do", "switch", "try", "catch", "using", "typedef", "static_assert",
                   "new", "sizeof", "alignof", "decltype", "co_return", "co_await", "co_yield"} | CASTS
# Words before a function's name that say nothing of its result.
SPECIFIERS = {"static", "inline", "constexpr", "consteval", "virtual", "extern", "friend", "explicit",
              "GAUGE_STDCALL", "__stdcall", "__cdecl", "WINAPI", "APIENTRY", "CALLBACK", "STDMETHODCALLTYPE",
              "EMSCRIPTEN_KEEPALIVE", "noexcept"}
TYPE_WORDS = {"void", "bool", "char", "short", "int", "long", "float", "double", "signed", "unsigned", "auto",
              "const", "volatile", "wchar_t", "char16_t", "char32_t", "char8_t"}
INTEGERS = {"char", "short", "int", "long", "signed", "unsigned", "size_t", "ssize_t", "ptrdiff_t", "intptr_t",
            "uintptr_t", "off_t", "int8_t", "int16_t", "int32_t", "int64_t", "uint8_t", "uint16_t", "uint32_t",
            "uint64_t", "DWORD", "HRESULT", "ULONG", "LONG", "UINT", "WORD", "BYTE", "INT", "BOOL", "LRESULT",
            "MMRESULT", "SIZE_T", "LONG_PTR", "ULONG_PTR", "UINT_PTR", "INT_PTR", "WPARAM", "LPARAM", "ATOM"}
POINTER_TYPES = {"HANDLE", "HMODULE", "HINSTANCE", "HRSRC", "HGLOBAL", "HLOCAL", "HWND", "HDC", "HCURSOR",
                 "HBITMAP", "HFONT", "HGDIOBJ", "LPVOID", "LPCVOID", "LPSTR", "LPCSTR", "FARPROC", "PVOID"}
ASSIGNMENTS = {"=", "+=", "-=", "*=", "/=", "%=", "&=", "|=", "^=", "<<=", ">>="}
FUNCTION_LIKE = {"function", "lambda"}


@dataclass
class Structure:
    tokens: list
    match: dict = field(default_factory=dict)         # bracket index -> its partner
    parent: list = field(default_factory=list)        # innermost open bracket of each token, or -1
    kind: dict = field(default_factory=dict)          # "{" index -> what it opens
    result: dict = field(default_factory=dict)        # function "{" index -> its result class, or None
    templates: set = field(default_factory=set)       # "<" and ">" of template argument lists
    template_inside: set = field(default_factory=set)  # tokens inside template argument lists
    frozen: set = field(default_factory=set)          # tokens no fault may touch

    def text(self, i):
        return self.tokens[i].text if 0 <= i < len(self.tokens) else ""

    def function_of(self, i):
        """The innermost function or lambda body holding token i, or -1."""
        b = self.parent[i]
        while b >= 0:
            if self.tokens[b].text == "{" and self.kind.get(b) in FUNCTION_LIKE:
                return b
            b = self.parent[b]
        return -1

    def in_code(self, i):
        """Whether token i sits directly in a function body or a block of one
        (not inside parentheses, brackets or an initializer)."""
        b = self.parent[i]
        if b < 0 or self.tokens[b].text != "{":
            return False
        k = self.kind.get(b)
        return k in FUNCTION_LIKE or (k == "block" and self.function_of(b) >= 0)

    def statement_start(self, i):
        """Whether a statement can begin at token i."""
        if not self.in_code(i):
            return False
        p = self.text(i - 1)
        if p in (";", "{", "}", "else", "do"):
            return True
        if p == ")":
            return self.text(self.match.get(i - 1, -1) - 1) in CONTROL
        if p == ":":
            return self._label_colon(i - 1)
        return False

    def _label_colon(self, c):
        j = c - 1
        while j >= 0 and self.tokens[j].text not in (";", "{", "}", "?"):
            if self.tokens[j].text in ("case", "default"):
                return True
            j -= 1
        return False


def analyse(tokens):
    s = Structure(tokens)
    _pair_brackets(s)
    _find_templates(s)
    _classify_braces(s)
    _freeze(s)
    return s


def _pair_brackets(s):
    closers = {")": "(", "]": "[", "}": "{"}
    stack = []
    for i, t in enumerate(s.tokens):
        s.parent.append(stack[-1] if stack else -1)
        if t.kind != "punct":
            continue
        if t.text in "([{":
            stack.append(i)
        elif t.text in closers:
            # An unbalanced closer is left unpaired rather than unwinding the
            # stack, so one stray bracket never misreads the rest of a file.
            if stack and s.tokens[stack[-1]].text == closers[t.text]:
                opener = stack.pop()
                s.match[opener] = i
                s.match[i] = opener
                s.parent[i] = s.parent[opener]


def _find_templates(s):
    """Marks the angle brackets that open and close template argument
    lists: a "<" after `template`, a cast, `operator` or a name, whose list
    closes before anything a comparison would show (a statement's end, a
    logical operator, a question mark, an unbalanced parenthesis)."""
    toks = s.tokens
    stop = {";", "{", "}", "&&", "||", "?", "==", "!=", "<=", ">=", "return", "+=", "-=", "|", "^"}
    for i, t in enumerate(toks):
        if t.text != "<" or i == 0 or i in s.templates:
            continue
        before = toks[i - 1]
        if before.text == "operator" or (i >= 2 and toks[i - 2].text == "operator"):
            continue
        after_template = before.text == "template"
        if not (after_template or before.kind == "name"):
            continue
        depth, paren, members = 1, 0, [i]
        for j in range(i + 1, min(len(toks), i + 80)):
            x = toks[j].text
            if x in ("(", "["):
                paren += 1
            elif x in (")", "]"):
                paren -= 1
                if paren < 0:
                    break
            elif paren == 0:
                if x in stop or (x == "=" and not after_template):
                    break
                if x == "<":
                    depth += 1
                    members.append(j)
                elif x in (">", ">>"):
                    depth -= 1 if x == ">" else 2
                    members.append(j)
                    if depth <= 0:
                        s.templates.update(members)
                        s.template_inside.update(range(i + 1, j))
                        break


def _classify_braces(s):
    toks = s.tokens
    for b, t in enumerate(toks):
        if t.text != "{":
            continue
        enclosing = s.parent[b]
        if enclosing < 0:
            outer = "file"
        elif toks[enclosing].text == "{":
            outer = s.kind[enclosing]
        else:
            outer = "init"  # inside parentheses or brackets: an argument
        kind = _brace_kind(s, b, outer)
        s.kind[b] = kind
        if kind == "function":
            s.result[b] = _result_class(s, b)


def _header_close(s, b):
    """The ")" of the parameter list a body follows, skipping qualifiers
    and a trailing result type; -1 when there is none."""
    toks = s.tokens
    j = b - 1
    while j >= 0 and toks[j].text in ("const", "noexcept", "override", "final", "mutable", "volatile", "&", "&&"):
        j -= 1
    if j >= 0 and toks[j].text == ")":
        return j
    # `) -> Type {`
    k = j
    while k >= 0 and toks[k].text not in (";", "{", "}", "->", ")"):
        k -= 1
    if k >= 1 and toks[k].text == "->" and toks[k - 1].text == ")":
        return k - 1
    return -1


def _brace_kind(s, b, outer):
    toks = s.tokens
    p = s.text(b - 1)
    in_function = outer in FUNCTION_LIKE or outer == "block"
    close = _header_close(s, b)
    if close >= 0:
        opener = s.match.get(close, -1)
        name = s.text(opener - 1)
        if name in CONTROL:
            return "block"
        if name == "]":
            return "lambda"
        # A constructor's member initializers: `) : a(x), b(y) {` pairs the
        # last initializer, whose name follows a comma or the colon.
        return "block" if in_function else "function"
    if p in ("else", "do", "try"):
        return "block"
    if p in (";", "{", "}") or (p == ":" and in_function):
        return "block" if in_function else "init"
    if p == "]":
        return "lambda"
    if b >= 1 and toks[b - 1].kind == "literal" and s.text(b - 2) == "extern":
        return "namespace"
    # A record, an enumeration or a namespace, or a braced initializer.
    words = set()
    j = b - 1
    while j >= 0 and toks[j].text not in (";", "{", "}", ")", "=", "(", ","):
        words.add(toks[j].text)
        j -= 1
    if "enum" in words:
        return "enum"
    if words & {"struct", "class", "union"}:
        return "class"
    if "namespace" in words:
        return "namespace"
    return "init"


def _result_class(s, b):
    """What a function's result is, from the words before its name: "bool",
    "integer", "floating", "pointer", "object" (a value that `{}` makes), or
    None when a forced result would not be one (void, references, auto,
    constructors, operators)."""
    toks = s.tokens
    close = _header_close(s, b)
    opener = s.match.get(close, -1)
    k = opener - 1
    if k < 0 or toks[k].kind != "name" or toks[k].text == "operator":
        return None
    # Past the qualified name: Class::Name, ~Name.
    while s.text(k - 1) == "::" and k >= 2:
        k -= 2
        if s.text(k) == ">" and k in s.templates:
            return None
    if s.text(k - 1) == "~":
        return None
    words = []
    j = k - 1
    while j >= 0:
        x = toks[j].text
        if x in (";", "{", "}", ")", ":") or toks[j].kind == "literal":
            break
        if x in (">", ">>") and j in s.templates:
            # A result type's own arguments are kept; a `template <...>`
            # before it ends the result.
            opener_angle = _angle_open(s, j)
            if s.text(opener_angle - 1) == "template":
                break
            words[:0] = [t.text for t in toks[opener_angle:j + 1]]
            j = opener_angle - 1
            continue
        if x == "]" and s.text(j - 1) == "]" and j in s.match:
            # An attribute, [[...]], says nothing of the type.
            j = s.match[j] - 1
            continue
        words.insert(0, x)
        j -= 1
    words = [w for w in words if w not in SPECIFIERS]
    return classify_type(words)


def _angle_open(s, close):
    depth = 0
    for j in range(close, -1, -1):
        x = s.text(j)
        if j in s.templates:
            if x == ">":
                depth += 1
            elif x == ">>":
                depth += 2
            elif x == "<":
                depth -= 1
                if depth <= 0:
                    return j
    return close


def classify_type(words):
    if not words:
        return None
    if words[-1] in ("&", "&&") or "auto" in words or "decltype" in words:
        return None
    if words[-1] == "*":
        return "pointer"
    plain = [w for w in words if w not in ("const", "volatile", "std", "::")]
    if plain == ["void"]:
        return None
    if plain == ["bool"]:
        return "bool"
    if plain and all(w in ("float", "double", "long") for w in plain) and plain != ["long"] and \
            any(w in ("float", "double") for w in plain):
        return "floating"
    if plain and all(w in INTEGERS for w in plain):
        return "integer"
    if len(plain) == 1 and plain[0] in POINTER_TYPES:
        return "pointer"
    return "object"


def _freeze(s):
    """Tokens no fault may touch: static assertions, attributes, alignment,
    array sizes of declarations and template arguments."""
    toks = s.tokens
    for i, t in enumerate(toks):
        x = t.text
        if x in ("static_assert", "alignas", "__attribute__", "__declspec", "_Static_assert", "offsetof",
                 "sizeof", "alignof") and s.text(i + 1) == "(":
            s.frozen.update(range(i, s.match.get(i + 1, i + 1) + 1))
        elif x == "[" and s.text(i + 1) == "[" and i + 1 in s.match:
            s.frozen.update(range(i, s.match[i + 1] + 2))
        elif x == "[" and i in s.match and _declares_array(s, i):
            s.frozen.update(range(i, s.match[i] + 1))
        elif x == "operator":
            s.frozen.update(range(i, i + 2))
    s.frozen.update(s.template_inside)
    s.frozen.update(s.templates)


def _declares_array(s, i):
    """Whether "[" at i gives the size of an array being declared (or made
    with new) rather than indexing one."""
    toks = s.tokens
    if s.text(i - 1) == "]":
        # The next dimension of whatever the first one was.
        first = s.match.get(i - 1, -1)
        while s.text(first - 1) == "]":
            first = s.match.get(first - 1, -1)
        return first >= 0 and _declares_array(s, first)
    if i < 2 or toks[i - 1].kind != "name":
        return False
    before = toks[i - 2]
    if before.text == "new":
        return True
    if before.kind == "name":
        return before.text not in STATEMENT_WORDS and before.text not in ("this", "else", "co_return")
    if before.text in ("*", "&", "&&") and not before.spaced:
        # `T* name[N]`, with our style's declarator hugging the type.
        return True
    return before.text == ">" and i - 2 in s.templates
