"""C++ source split into the tokens a fault can be made in. Comments, string
and character literals and preprocessor lines are dropped here, so that no
operator ever sees them; every token keeps its place in the text, so that a
fault is made by replacing characters of the original, never by printing
tokens back. This is a reader of our own sources, not a compiler: it must
never reject a file, only tokenize what it does not understand as punctuation.
"""
import re
from dataclasses import dataclass

# Longest first, so that "<<=" is never read as "<" "<=".
PUNCTUATORS = sorted("""
    ... ->* <=> <<= >>= :: -> ++ -- << >> <= >= == != && || += -= *= /= %= &= |= ^= ##
    { } [ ] ( ) ; : ? . , + - * / % ^ & | ~ ! = < > #
    """.split(), key=len, reverse=True)

STRING_PREFIXES = {"L", "u", "U", "u8", "R", "LR", "uR", "UR", "u8R"}
IDENTIFIER = re.compile(r"[A-Za-z_][A-Za-z_0-9]*")
# A preprocessing number: digits, letters, dots, digit separators and signed
# exponents, read as one token whatever its value.
NUMBER = re.compile(r"\.?[0-9](?:'?[0-9A-Za-z_]|[eEpP][+-]|\.)*")
SPACE = re.compile(r"[ \t\r\f\v]+")


@dataclass
class Token:
    kind: str      # "name", "number" or "punct"
    text: str
    start: int     # offset of the first character in the source
    end: int       # offset just past the last character
    spaced: bool   # whitespace or a comment comes right before it


def tokenize(source):
    """The tokens of `source`, without comments, literals of text and
    preprocessor lines. A string or character literal is kept as one
    "literal" token so that what surrounds it still parses."""
    tokens = []
    i = 0
    n = len(source)
    line_start = True  # only whitespace so far on this line
    spaced = True
    while i < n:
        c = source[i]
        if c == "\n":
            i += 1
            line_start = True
            spaced = True
            continue
        m = SPACE.match(source, i)
        if m:
            i = m.end()
            spaced = True
            continue
        if source.startswith("\\\n", i):
            i += 2
            continue
        if source.startswith("//", i):
            i = _line_end(source, i)
            spaced = True
            continue
        if source.startswith("/*", i):
            close = source.find("*/", i + 2)
            i = n if close < 0 else close + 2
            spaced = True
            continue
        if c == "#" and line_start:
            i = _directive_end(source, i)
            spaced = True
            continue
        line_start = False
        m = IDENTIFIER.match(source, i)
        if m:
            word = m.group()
            after = m.end()
            if word in STRING_PREFIXES and after < n and source[after] in "\"'":
                end = _literal_end(source, after, raw=word.endswith("R"))
                tokens.append(Token("literal", source[i:end], i, end, spaced))
                i = end
            else:
                tokens.append(Token("name", word, i, after, spaced))
                i = after
            spaced = False
            continue
        if c in "\"'":
            end = _literal_end(source, i, raw=False)
            tokens.append(Token("literal", source[i:end], i, end, spaced))
            i = end
            spaced = False
            continue
        m = NUMBER.match(source, i)
        if m:
            tokens.append(Token("number", m.group(), i, m.end(), spaced))
            i = m.end()
            spaced = False
            continue
        for p in PUNCTUATORS:
            if source.startswith(p, i):
                tokens.append(Token("punct", p, i, i + len(p), spaced))
                i += len(p)
                break
        else:
            # A character C++ has no use for outside literals: kept as its
            # own token, so the reader never stops.
            tokens.append(Token("punct", c, i, i + 1, spaced))
            i += 1
        spaced = False
    return tokens


def _line_end(source, i):
    end = source.find("\n", i)
    return len(source) if end < 0 else end


def _directive_end(source, i):
    """Past a preprocessor line and its continuations; comments inside it may
    hide a line end only if they are block comments."""
    n = len(source)
    while i < n:
        if source.startswith("\\\n", i):
            i += 2
        elif source.startswith("/*", i):
            close = source.find("*/", i + 2)
            i = n if close < 0 else close + 2
        elif source.startswith("//", i):
            return _line_end(source, i)
        elif source[i] == "\n":
            return i
        else:
            i += 1
    return n


def _literal_end(source, i, raw):
    """Past a string or character literal starting at its quote, and past a
    user-defined suffix; an unterminated one ends at its line's end."""
    n = len(source)
    quote = source[i]
    if raw and quote == '"':
        open_paren = source.find("(", i)
        delimiter = source[i + 1:open_paren] if open_paren >= 0 else ""
        close = source.find(")" + delimiter + '"', open_paren + 1) if open_paren >= 0 else -1
        end = n if close < 0 else close + len(delimiter) + 2
    else:
        j = i + 1
        while j < n and source[j] != quote and source[j] != "\n":
            j += 2 if source[j] == "\\" else 1
        end = min(j + 1, n) if j < n and source[j] == quote else j
    m = IDENTIFIER.match(source, end)
    return m.end() if m else end


def line_and_column(source, offset):
    """1-based line and column of an offset."""
    line = source.count("\n", 0, offset) + 1
    column = offset - (source.rfind("\n", 0, offset) + 1) + 1
    return line, column
