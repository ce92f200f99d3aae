"""Our C++ sources read as far as a fault needs: tokens (no comment, text or
directive reaches a fault), brackets, templates, what each brace opens and
which tokens must never change. A guess from the shape of our own code: it
never rejects a file, and a wrong guess costs a mutant that does not build.
"""
import re
from collections import namedtuple

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
# Words that can start a statement but never a call or an assignment.
STATEMENT_WORDS = {"return", "break", "continue", "goto", "delete", "throw", "case", "default", "if", "else",
                   "for", "while", "do", "switch", "try", "catch", "using", "typedef", "static_assert",
                   "new", "sizeof", "alignof", "decltype", "co_return", "co_await", "co_yield",
                   "static_cast", "reinterpret_cast", "const_cast", "dynamic_cast"}
TYPE_WORDS = {"void", "bool", "char", "short", "int", "long", "float", "double", "signed", "unsigned", "auto",
              "const", "volatile", "wchar_t", "char16_t", "char32_t", "char8_t"}
FUNCTION_LIKE = {"function", "lambda"}
QUALIFIERS = {"const", "noexcept", "override", "final", "mutable", "volatile", "&", "&&"}
OPENERS = ("(", "[", "{")
ASSIGNMENTS = {"=", "+=", "-=", "*=", "/=", "%=", "&=", "|=", "^=", "<<=", ">>="}

# kind is "name", "number", "literal" or "punct"; start and end are offsets
# into the source; spaced: whitespace or a comment comes right before it.
Token = namedtuple("Token", "kind text start end spaced")


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

    def skip(self, k):
        """The token after k, or after the bracket k opens."""
        return self.match[k] + 1 if self.t(k) in OPENERS and k in self.match else k + 1

    def semicolon(self, k, closers_end=False):
        """The ";" ending the statement at token k; -1 if the file (or an enclosing bracket) ends first."""
        while k < len(self.tokens) and self.t(k) != ";":
            if closers_end and self.t(k) in ("}", ")", "]"):
                return -1
            k = self.skip(k)
        return k if k < len(self.tokens) else -1

    def angle(self, j, step):
        """The template bracket pairing with the one at j, forward (step 1) or back (-1); else j."""
        depth = 0
        for k in range(j, len(self.tokens) if step > 0 else -1, step):
            if k in self.templates:
                depth += step * {"<": 1, ">": -1, ">>": -2}.get(self.t(k), 0)
                if depth <= 0 and (step > 0 or self.t(k) == "<"):
                    return k
        return j

    def _templates(self):
        """The angle brackets of template lists: a "<" after a name, closed before a comparison would be."""
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
        """The ")" of the parameter list a body follows, past qualifiers and a result type; else -1."""
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
        """What the brace at b opens: a function, lambda, block, class, enum, namespace or initializer."""
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
        """Static assertions, attributes, sizes, operator names, declared array sizes, template arguments."""
        for i, t in enumerate(self.tokens):
            x = t.text
            if x in ("static_assert", "alignas", "__attribute__", "__declspec", "_Static_assert", "offsetof",
                     "sizeof", "alignof") and self.t(i + 1) == "(":
                self.frozen.update(range(i, self.match.get(i + 1, i + 1) + 1))
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
        """Whether a statement can begin at token i, in a function: after one, a control header or a label."""
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
        """What holds token i, for an id: its function (a lambda's), Class::Method, or what it initializes."""
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

    def operand_end(self, i):
        """Whether token i can end an operand, so that what follows is binary."""
        return self.name(i) or (0 <= i < len(self.tokens) and
                                (self.tokens[i].kind in ("number", "literal") or self.t(i) in ")]"))

    def written(self, i):
        """Whether the operand ending at token i is written to by what follows."""
        return self.t(i + 1) in ASSIGNMENTS or self.t(i + 1) in ("++", "--")

    def declares(self, j):
        """Whether a condition starting at token j declares a variable: a type, maybe qualified, then a name."""
        if self.t(j) in TYPE_WORDS:
            return True
        if not self.name(j):
            return False
        while self.t(j + 1) == "::" and self.name(j + 2):
            j += 2
        while self.t(j + 1) in ("*", "&") and not self.tokens[j + 1].spaced:
            j += 1
        return self.name(j + 1)

    def sole_body_of_if(self, i, end):
        """Whether the statement i..end is all an if without an else runs: deleting it is the if forced false."""
        braced = self.t(i - 1) == "{"
        header = i - 2 if braced else i - 1
        last = end + 1 if braced else end
        return self.t(header) == ")" and self.t(self.match.get(header, -1) - 1) == "if" and \
            (not braced or self.t(last) == "}") and self.t(last + 1) != "else"

    def clamp_end(self, i):
        """The last token of the clamp `if (...) x = bound;` starting at i, or -1."""
        if self.t(i) != "if" or self.t(i + 1) != "(" or i + 1 not in self.match:
            return -1
        body = self.match[i + 1] + 1
        braced = self.t(body) == "{"
        end, operator = self.assignment_statement(body + braced)
        last = end + braced
        ok = end >= 0 and operator == "=" and (not braced or self.t(last) == "}") and self.t(last + 1) != "else"
        return last if ok else -1

    def call_statement(self, i):
        """The ";" ending a call statement that starts at i, or -1."""
        j = i + 1 if self.t(i) == "::" else i
        if not self.name(j):
            return -1
        while self.t(j + 1) in ("::", ".", "->") and self.name(j + 2):
            j += 2
        if self.t(j + 1) == "<" and j + 1 in self.templates:
            j = self.angle(j + 1, 1)
        while self.t(j + 1) == "(" and j + 1 in self.match:
            j = self.match[j + 1]
            if self.t(j + 1) in (".", "->") and self.name(j + 2) and self.t(j + 3) == "(":
                j += 2
        return j + 1 if self.t(j) == ")" and self.t(j + 1) == ";" else -1

    def assignment_statement(self, i):
        """The ";" ending an assignment or increment statement at i, and its operator; else (-1, None)."""
        j = i + (self.t(i) in ("++", "--"))
        prefix = j > i
        while self.t(j) == "*":
            j += 1
        if not (self.name(j) or self.t(j) == "this"):
            return -1, None
        while True:
            if self.t(j + 1) in (".", "->", "::") and self.name(j + 2):
                j += 2
            elif self.t(j + 1) == "[" and j + 1 in self.match:
                j = self.match[j + 1]
            else:
                break
        operator = self.t(j + 1)
        if prefix or operator in ("++", "--"):
            end = j + 1 + (not prefix)
            return (end, "++") if self.t(end) == ";" else (-1, None)
        if operator not in ASSIGNMENTS:
            return -1, None
        k = self.semicolon(j + 2, closers_end=True)
        return (k, operator) if k >= 0 else (-1, None)


class Records:
    """Each field's neighbours: the fields beside it of its very type, in every record that has it."""

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
    declaration, k = [], b + 1
    while k < c.match.get(b, b):
        x = c.t(k)
        if x == "{" and k in c.match and c.kind.get(k) in ("function", "class") and c.parent[k] == b:
            # A member function's body or a nested record: not a field.
            declaration, k = [], c.match[k] + 1 + (c.t(c.match[k] + 1) == ";")
            continue
        if x in ("public", "private", "protected") and c.t(k + 1) == ":" and c.parent[k] == b:
            k += 1
        elif x == ";" and c.parent[k] == b:
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
