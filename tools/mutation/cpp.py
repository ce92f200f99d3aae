"""Our C++ sources read as far as a fault needs: tokens (comments, text
literals and preprocessor lines never reach an operator), which brackets
pair up, which angle brackets belong to templates, what each brace opens,
which function holds a token, and which tokens must never change. A guess
from the shape of our own code, not a compiler: it never rejects a file,
and a wrong guess costs a mutant that does not build, never a changed file.
"""
import re
from dataclasses import dataclass

PUNCTUATORS = sorted("""... ->* <=> <<= >>= :: -> ++ -- << >> <= >= == != && || += -= *= /= %= &= |= ^= ##
    { } [ ] ( ) ; : ? . , + - * / % ^ & | ~ ! = < > #""".split(), key=len, reverse=True)
LEX = re.compile(r"""(?P<newline>\n) | (?P<space>[ \t\r\f\v]+ | //[^\n]* | /\*.*?(?:\*/|\Z)) | (?P<joined>\\\n)
    | (?P<literal>(?:u8|[uUL])?(?:R"(?P<delim>[^(]*)\(.*?(?:\)(?P=delim)"|\Z)
                                 | R?"(?:\\.|[^"\\\n])*"? | R?'(?:\\.|[^'\\\n])*'?)(?:[A-Za-z_]\w*)?)
    | (?P<name>[A-Za-z_]\w*) | (?P<number>\.?[0-9](?:'?[0-9A-Za-z_]|[eEpP][+-]|\.)*)
    | (?P<punct>""" + "|".join(re.escape(p) for p in PUNCTUATORS) + r"|.)", re.S | re.X)
# A directive runs to its line's end, over joined lines and block comments.
DIRECTIVE = re.compile(r"\#(?:\\\n|/\*.*?(?:\*/|\Z)|(?!//)[^\n])*", re.S)

CONTROL = {"if", "for", "while", "switch", "catch"}
CASTS = {"static_cast", "reinterpret_cast", "const_cast", "dynamic_cast"}
# Words that can start a statement but never a call or an assignment.
STATEMENT_WORDS = {"return", "break", "continue", "goto", "delete", "throw", "case", "default", "if", "else",
                   "for", "while", "do", "switch", "try", "catch", "using", "typedef", "static_assert",
                   "new", "sizeof", "alignof", "decltype", "co_return", "co_await", "co_yield"} | CASTS
TYPE_WORDS = {"void", "bool", "char", "short", "int", "long", "float", "double", "signed", "unsigned", "auto",
              "const", "volatile", "wchar_t", "char16_t", "char32_t", "char8_t"}
FUNCTION_LIKE = {"function", "lambda"}
QUALIFIERS = {"const", "noexcept", "override", "final", "mutable", "volatile", "&", "&&"}


@dataclass
class Token:
    kind: str      # "name", "number", "literal" or "punct"
    text: str
    start: int     # offsets of its characters in the source
    end: int
    spaced: bool   # whitespace or a comment comes right before it


def tokenize(source):
    tokens, i, line_start, spaced = [], 0, True, True
    while i < len(source):
        if source[i] == "#" and line_start:
            i, spaced = DIRECTIVE.match(source, i).end(), True
            continue
        m = LEX.match(source, i)
        kind, i = m.lastgroup if m.lastgroup != "delim" else "literal", m.end()
        if kind in ("newline", "space"):
            line_start, spaced = line_start or kind == "newline", True
        elif kind != "joined":
            tokens.append(Token(kind, m.group(), m.start(), i, spaced))
            line_start = spaced = False
    return tokens


class Code:
    """A file's tokens with what the operators ask of them."""

    def __init__(self, source):
        self.source, self.tokens = source, tokenize(source)
        self.match, self.parent, self.kind, self.templates, self.frozen = {}, [], {}, set(), set()
        stack = []
        for i, t in enumerate(self.tokens):
            self.parent.append(stack[-1] if stack else -1)
            if t.kind == "punct" and t.text in "([{":
                stack.append(i)
            elif t.kind == "punct" and t.text in ")]}" and stack and self.t(stack[-1]) == "([{"[")]}".index(t.text)]:
                # An unbalanced closer stays unpaired: one stray bracket
                # never misreads the rest of the file.
                opener = stack.pop()
                self.match[opener], self.match[i], self.parent[i] = i, opener, self.parent[opener]
        self._templates()
        for b, t in enumerate(self.tokens):
            if t.text == "{":
                p = self.parent[b]
                self.kind[b] = self._brace(b, "file" if p < 0 else self.kind[p] if self.t(p) == "{" else "init")
        self._freeze()

    def t(self, i):
        return self.tokens[i].text if 0 <= i < len(self.tokens) else ""

    def name(self, i):
        """Whether token i is a name that can be called or assigned."""
        return 0 <= i < len(self.tokens) and self.tokens[i].kind == "name" and \
            self.t(i) not in STATEMENT_WORDS | TYPE_WORDS

    def _templates(self):
        """The angle brackets of template argument lists: a "<" after
        `template` or a name whose list closes before anything a comparison
        would show (a statement's end, a logical operator, an unbalanced
        parenthesis)."""
        stop = {";", "{", "}", "&&", "||", "?", "==", "!=", "<=", ">=", "return", "+=", "-=", "|", "^"}
        self.inside = set()
        for i, t in enumerate(self.tokens):
            after_template = self.t(i - 1) == "template"
            if t.text != "<" or i == 0 or i in self.templates or "operator" in (self.t(i - 1), self.t(i - 2)) or \
                    not (after_template or self.tokens[i - 1].kind == "name"):
                continue
            depth, paren, members = 1, 0, [i]
            for j in range(i + 1, min(len(self.tokens), i + 80)):
                x = self.t(j)
                if x in ("(", "[", ")", "]"):
                    paren += 1 if x in ("(", "[") else -1
                    if paren < 0:
                        break
                elif paren:
                    continue
                elif x in stop or (x == "=" and not after_template):
                    break
                elif x in ("<", ">", ">>"):
                    depth += 1 if x == "<" else -1 if x == ">" else -2
                    members.append(j)
                    if depth <= 0:
                        self.templates.update(members)
                        self.inside.update(range(i + 1, j))
                        break

    def header_close(self, b):
        """The ")" of the parameter list a body follows, past qualifiers and
        a trailing result type; -1 when there is none."""
        j = b - 1
        while self.t(j) in QUALIFIERS:
            j -= 1
        if self.t(j) == ")":
            return j
        k = j
        while k >= 0 and self.t(k) not in (";", "{", "}", "->", ")"):
            k -= 1
        return k - 1 if k >= 1 and self.t(k) == "->" and self.t(k - 1) == ")" else -1

    def _brace(self, b, outer):
        """What the brace at b opens: a function, a lambda, a block, a
        class, an enum, a namespace or an initializer."""
        p, in_function = self.t(b - 1), outer in FUNCTION_LIKE or outer == "block"
        close = self.header_close(b)
        if close >= 0:
            before = self.t(self.match.get(close, -1) - 1)
            # A constructor's member initializers end in a call's ")" too.
            return "block" if before in CONTROL else "lambda" if before == "]" else \
                "block" if in_function else "function"
        if p in ("else", "do", "try") or (in_function and (p in (";", "{", "}") or p == ":")):
            return "block"
        if p in (";", "{", "}"):
            return "init"
        if p == "]":
            return "lambda"
        if self.tokens[b - 1].kind == "literal" and self.t(b - 2) == "extern":
            return "namespace"
        words, j = set(), b - 1
        while j >= 0 and self.t(j) not in (";", "{", "}", ")", "=", "(", ","):
            words.add(self.t(j))
            j -= 1
        return "enum" if "enum" in words else "class" if words & {"struct", "class", "union"} else \
            "namespace" if "namespace" in words else "init"

    def _freeze(self):
        """Static assertions, attributes, sizes, operator names, array sizes
        of declarations and template arguments."""
        for i, t in enumerate(self.tokens):
            x = t.text
            if x in ("static_assert", "alignas", "__attribute__", "__declspec", "_Static_assert", "offsetof",
                     "sizeof", "alignof") and self.t(i + 1) == "(":
                self.frozen.update(range(i, self.match.get(i + 1, i + 1) + 1))
            elif x == "[" and self.t(i + 1) == "[" and i + 1 in self.match:
                self.frozen.update(range(i, self.match[i + 1] + 2))
            elif x == "[" and i in self.match and self._declares_array(i):
                self.frozen.update(range(i, self.match[i] + 1))
            elif x == "operator":
                self.frozen.update(range(i, i + 2))
        self.frozen |= self.inside | self.templates

    def _declares_array(self, i):
        if self.t(i - 1) == "]":
            # The next dimension of whatever the first one was.
            first = self.match.get(i - 1, -1)
            while self.t(first - 1) == "]":
                first = self.match.get(first - 1, -1)
            return first >= 0 and self._declares_array(first)
        if i < 2 or self.tokens[i - 1].kind != "name":
            return False
        before = self.tokens[i - 2]
        if before.kind == "name":
            return before.text == "new" or before.text not in STATEMENT_WORDS | {"this", "else"}
        # `T* name[N]`, our declarator hugging the type, or `array<T> name[N]`.
        return (before.text in ("*", "&", "&&") and not before.spaced) or \
            (before.text == ">" and i - 2 in self.templates)

    def function_of(self, i):
        """The innermost function or lambda body holding token i, or -1."""
        b = self.parent[i]
        while b >= 0 and not (self.t(b) == "{" and self.kind.get(b) in FUNCTION_LIKE):
            b = self.parent[b]
        return b

    def statement_start(self, i):
        """Whether a statement can begin at token i: directly in a function
        body or a block of one, after a statement, a control header or a label."""
        b = self.parent[i]
        if b < 0 or self.t(b) != "{" or not (self.kind[b] in FUNCTION_LIKE or
                                                (self.kind[b] == "block" and self.function_of(b) >= 0)):
            return False
        p = self.t(i - 1)
        if p == ")":
            return self.t(self.match.get(i - 1, -1) - 1) in CONTROL
        if p == ":":
            j = i - 2
            while j >= 0 and self.t(j) not in (";", "{", "}", "?", "case", "default"):
                j -= 1
            return self.t(j) in ("case", "default")
        return p in (";", "{", "}", "else", "do")

    def anchor(self, i):
        """The name of what holds token i, for a mutant's id: its function
        (a lambda's is the function around it), a method as Class::Name;
        outside functions, the declaration it initializes."""
        f = self.function_of(i)
        while f >= 0 and self.kind[f] == "lambda" and self.function_of(f) >= 0:
            f = self.function_of(f)
        if f >= 0 and self.kind[f] == "function":
            opener = self.match[self.header_close(f)]
            k = opener - 1
            k -= 1 if self.t(k - 1) == "operator" else 2 if self.t(k - 2) == "operator" else 0
            k -= self.t(k - 1) == "~"
            while self.t(k - 1) == "::" and self.tokens[k - 2].kind == "name":
                k -= 2
            return self._scope(f) + "".join(self.t(j) for j in range(k, opener))
        j = f if f >= 0 else i
        while self.parent[j] >= 0 and not (self.t(self.parent[j]) == "{" and
                                           self.kind[self.parent[j]] in ("class", "namespace")):
            j = self.parent[j]
        return self._scope(j) + self._declared(j)

    def _scope(self, i):
        """Class:: for each class around token i, outermost first."""
        names, b = [], self.parent[i]
        while b >= 0:
            if self.t(b) == "{" and self.kind[b] == "class":
                names.insert(0, self._declared(b) + "::")
            b = self.parent[b]
        return "".join(names)

    def _declared(self, j):
        """The name a declaration declares, for token j directly in it."""
        scope, k = self.parent[j], j
        while k - 1 > scope:
            p = k - 1
            if self.t(p) == ";" or (self.t(p) == "}" and self.parent[p] == scope):
                break
            k = self.match[p] if self.t(p) in (")", "]") and p in self.match else p
        name = ""
        if self.t(k) in ("public", "private", "protected") and self.t(k + 1) == ":":
            k += 2
        while k <= j and self.t(k) not in ("=", "{", "[", "(", ";", ":"):
            if self.tokens[k].kind == "name" and self.t(k) not in TYPE_WORDS | {"final"} and k not in self.inside:
                name = self.t(k)
            k += 1
        return name or "(file)"


def line_and_column(source, offset):
    return source.count("\n", 0, offset) + 1, offset - source.rfind("\n", 0, offset)
