#!/usr/bin/python3
"""tools/mutate without a build, as tables: each operator on small sources
(every change a snippet must give, no more and no less, and what they must
leave alone: comments, literals, preprocessor lines, static assertions,
array sizes, template arguments); the ids, anchored to the function, that
stay the same when code around them moves; the lines a diff changes; the
equivalents list and its stale entries; what a fault tried in several
builds comes to; and the samples and their least likely score.

    MutateTest.py
"""
import sys
import tempfile
import unittest
from pathlib import Path
from types import SimpleNamespace

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tools"))

from mutation.catalogue import CatalogueError, added_lines, read_equivalents, sample, split  # noqa: E402
from mutation.cpp import Records  # noqa: E402
from mutation.operators import mutants  # noqa: E402
from mutation.report import least_score, percent  # noqa: E402
from mutation.runner import Outcome, hung, settled, verdict  # noqa: E402

RECORD = "struct Box { int Left; int Right; int* Data; double Scale; };\n"

# (what the row shows, snippet, every change as "operator before → after")
ROWS = [
    ("comparisons turn, and a bool result is forced both ways",
     "bool f(int a, int b) { return a < b; }",
     {"relational < → <=", "result a < b → true", "result a < b → false"}),
    ("each relational operator turns into its neighbour",
     "void f(int a) { g(a >= 1 != (a == 2)); }",
     {"relational >= → >", "relational != → ==", "relational == → !=", "constant 1 → 0", "constant 1 → 2",
      "constant 2 → 1", "constant 2 → 3", "statement g(a >= 1 != (a == 2)); → ∅"}),
    ("template brackets and their arguments are left alone",
     "int f(long x) { return static_cast<int>(x) + std::array<char, 4>{}.size(); }",
     {"result static_cast<int>(x) + std::array<char, 4>{}.size() → 0"}),
    ("&& and || swap, a ! is dropped, a reference's && is no operator",
     "void f(int&& r, bool a, bool b) { g(a && !b || r); }",
     {"logical && → ||", "logical || → &&", "negation ! → ∅", "statement g(a && !b || r); → ∅"}),
    ("constants move by one in their own base and suffix; an unsigned 0 never goes below",
     "unsigned f() { return 0x0Fu + 0u + 010; }",
     {"constant 0x0Fu → 0x10u", "constant 0x0Fu → 0x0Eu", "constant 0u → 1u", "constant 010 → 011",
      "constant 010 → 07", "result 0x0Fu + 0u + 010 → 0"}),
    ("a + 1 or - 1 is dropped, never where the grouping would change",
     "int f(int a) { return a + 1 - 1 * a; }",
     {"offset + 1 → ∅", "constant 1 → 2", "constant 1 → 0", "result a + 1 - 1 * a → 0"}),
    ("an if is forced both ways, a loop only false, a declaring condition not at all",
     "void f(int n) { if (n) g(); while (n) n--; for (int i = 0; i < n; i++) {} if (int* p = h()) g(); }",
     {"condition n → true", "condition n → false", "condition n → false", "condition i < n → false",
      "relational < → <=", "constant 0 → 1", "constant 0 → -1", "statement n--; → {}"}),
    ("a clamp is dropped (and so not forced false again); its assignment alone is not deleted",
     "int f(int x) { if (x > 9) x = 9; return x; }",
     {"clamp if (x > 9) x = 9; → ∅", "condition x > 9 → true", "relational > → >=", "constant 9 → 8",
      "constant 9 → 10", "constant 9 → 8", "constant 9 → 10", "result x → 0"}),
    ("calls and assignments are deleted, declarations and returns are not",
     "void f(Box* b) { int k = 2; b->Left = k; g(k); obj.call(1).then(); ++k; return; }",
     {"constant 2 → 1", "constant 2 → 3", "statement b->Left = k; → ∅", "statement g(k); → ∅",
      "statement obj.call(1).then(); → ∅", "constant 1 → 0", "constant 1 → 2", "statement ++k; → ∅"}),
    ("the body of an if with an else is deleted as a statement",
     "void f(bool c) { if (c) g(); else h(); }",
     {"condition c → true", "condition c → false", "statement g(); → {}", "statement h(); → {}"}),
    ("a result is forced as its type says, and not in a lambda",
     "double d() { return 0.0; } char* p() { return q; } Box o() { return b; } const Box& r() { return b; }"
     " int l() { auto k = []() { return 3; }; return 0; }",
     {"result 0.0 → 1.0", "result q → nullptr", "result b → {}", "constant 3 → 2", "constant 3 → 4",
      "result 0 → 1", "constant 0 → -1"}),
    ("a field read for its neighbour of the same type, an index for the next and the previous",
     "int f(const Box& b, int* v) { return b.Left + b.Data[2] + v[0]; }",
     {"field Left → Right", "field 2 → 3", "field 2 → 1", "field 0 → 1", "result b.Left + b.Data[2] + v[0] → 0"}),
    ("a field written to is not read for another",
     "void f(Box& b) { b.Right = 1; }",
     {"statement b.Right = 1; → ∅", "constant 1 → 0", "constant 1 → 2"}),
    ("comments, literals, preprocessor lines, static assertions and array sizes are left alone",
     "#define N (1 < 2)\n// if (a < b) return 1;\nstatic_assert(sizeof(int) == 4, \"a < b\");\n"
     "char Name[36];\nvoid f() { const char* s = \"x == y\"; char t[8]; t[0] = 'a' ; /* k = 1; */ }",
     {"statement t[0] = 'a' ; → ∅", "constant 0 → 1"}),
    ("a record's layout: fields, neighbours and methods",
     "struct P { int X, Y; float Z; int W() const { return X; } };\nint f(P p) { return p.X + p.Y; }",
     {"result X → 0", "result p.X + p.Y → 0", "field X → Y", "field Y → X"}),
]


def changes(snippet):
    records = Records()
    records.read(RECORD + snippet)
    return [f"{m.operator} {m.before} → {m.after}" for m in mutants("s.cpp", snippet, records)]


def ids(source):
    return [m.id for m in mutants("d/s.cpp", source, Records())]


class Operators(unittest.TestCase):
    def test_each_row_gives_exactly_its_changes(self):
        for what, snippet, expected in ROWS:
            with self.subTest(what):
                self.assertEqual(sorted(set(changes(snippet))), sorted(expected), f"{what}:\n{snippet}")

    def test_a_mutant_replaces_only_its_own_characters(self):
        snippet = "int f(int a) { return a + 1; }"
        for m in mutants("s.cpp", snippet, Records()):
            with self.subTest(m.id):
                changed = m.apply(snippet)
                self.assertEqual(changed[:m.start], snippet[:m.start], m.id)
                self.assertEqual(changed[m.start + len(m.replacement):], snippet[m.end:], m.id)


class Ids(unittest.TestCase):
    # (what the row shows, source, the ids of the one change "constant 7 → 8" in it)
    ROWS = [
        ("a function, the second such change in it", "int f(int a) {\n return a < 7 ? 7 : 0; }",
         ["d/s.cpp:f constant 7 → 8", "d/s.cpp:f#2 constant 7 → 8"]),
        ("a method, in its class and out of it", "struct S { int g() { return 7; } };\nint S::h() { return 7; }",
         ["d/s.cpp:S::g constant 7 → 8", "d/s.cpp:S::h constant 7 → 8"]),
        ("a lambda is its function's", "void f() { auto k = [] { return 7; }; }", ["d/s.cpp:f constant 7 → 8"]),
        ("a destructor and an operator", "A::~A() { n = 7; }\nbool A::operator==(int x) { return x == 7; }",
         ["d/s.cpp:A::~A constant 7 → 8", "d/s.cpp:A::operator== constant 7 → 8"]),
        ("outside functions, what it initializes", "const int Table[2] = { 1, 7 };\nstruct T { int N = 7; };",
         ["d/s.cpp:Table constant 7 → 8", "d/s.cpp:T::N constant 7 → 8"]),
    ]

    def test_an_id_names_the_file_the_function_and_the_change(self):
        for what, source, expected in self.ROWS:
            with self.subTest(what):
                self.assertEqual([i for i in ids(source) if i.endswith(" constant 7 → 8")], expected)

    def test_an_id_stays_when_code_around_it_changes(self):
        source = "int f(int a) {\n    if (a > 3) a = 3;\n    return a < 7;\n}\n"
        edited = "// why\n\nint g() { return 1; }\n" + source.replace("    return", "    a += 2;\n    return")
        kept = set(ids(source)) & set(ids(edited))
        self.assertEqual(set(ids(source)), kept, "every mutant of f is found again after the edits")
        self.assertEqual(ids(source), ids(source), "the same list every time")


class Catalogue(unittest.TestCase):
    def test_the_lines_a_diff_adds_or_changes(self):
        diff = ("diff --git a/x.cpp b/x.cpp\n--- a/x.cpp\n+++ b/x.cpp\n@@ -3 +3 @@\n-a\n+b\n"
                "@@ -9,0 +10,2 @@\n+++k;\n+c\n@@ -20,2 +22,0 @@\n-d\n-e\n"
                "diff --git a/gone.cpp b/gone.cpp\n--- a/gone.cpp\n+++ /dev/null\n@@ -1 +0,0 @@\n-x\n")
        self.assertEqual(added_lines(diff), {"x.cpp": {3, 10, 11}})

    def test_the_equivalents_list_and_its_stale_entries(self):
        rows = [("a.cpp:f constant 1 → 2 | why", None), ("# a comment", None),
                ("a.cpp:f constant 1 → 2 |  ", "says no reason"), ("a.cpp:12 → 2 | why", "not `FILE:FUNCTION")]
        for text, error in rows:
            with self.subTest(text), tempfile.TemporaryDirectory() as root:
                (Path(root) / "tools").mkdir()
                (Path(root) / "tools/mutants-equivalent.txt").write_text(text + "\n")
                if error:
                    with self.assertRaisesRegex(CatalogueError, error):
                        read_equivalents(root)
                else:
                    self.assertEqual([e.id for e in read_equivalents(root)], [text.split(" | ")[0]][:text[0] != "#"])
        entries = [SimpleNamespace(id=i, file=i.split(":")[0]) for i in ("a.cpp:f x 1 → 2", "a.cpp:g x 1 → 2",
                                                                       "b.cpp:g x 1 → 2")]
        listed, stale = split(entries, [SimpleNamespace(id="a.cpp:f x 1 → 2")], ["a.cpp"])
        self.assertEqual((listed, [e.id for e in stale]), ({"a.cpp:f x 1 → 2"}, ["a.cpp:g x 1 → 2"]))

    def test_a_larger_sample_holds_the_smaller_in_file_order(self):
        found = mutants("s.cpp", "".join(f"int f{i}(int a) {{ return a < {i} && a != 7; }}\n" for i in range(40)),
                        Records())
        for small, large in [(0, 10), (10, 30), (30, 200), (1, len(found))]:
            with self.subTest(f"{small} in {large}"):
                a, b = sample(found, small), sample(found, large)
                self.assertEqual(len(b), min(large, len(found)))
                self.assertTrue(not small or {m.id for m in a} <= {m.id for m in b})
                self.assertEqual(b, [m for m in found if m in b], "in file order")


class Results(unittest.TestCase):
    # (each build's outcome in the order tried, what the fault comes to):
    # one build catching it is enough, and a fault one build lets pass is
    # never hidden by another that compiles it away.
    BUILDS = [(["killed"], "killed"), (["survived", "killed"], "killed"), (["equivalent", "survived"], "survived"),
              (["survived", "equivalent"], "survived"), (["equivalent", "equivalent"], "equivalent"),
              (["timed out", "killed"], "killed"), (["timed out", "survived"], "timed out"),
              (["survived", "timed out"], "timed out"), (["equivalent", "not built"], "not built"),
              (["survived", "survived", "killed"], "killed")]

    def test_the_strongest_outcome_stands_with_the_time_of_all(self):
        for statuses, expected in self.BUILDS:
            with self.subTest(statuses):
                outcomes = [Outcome(s, build_seconds=1, test_seconds=2, note=s) for s in statuses]
                chosen = verdict(outcomes)
                self.assertEqual((chosen.status, chosen.note), (expected, expected))
                self.assertEqual((chosen.build_seconds, chosen.test_seconds), (len(statuses), 2 * len(statuses)))
                # Only the last build may have settled it: the runner stops there.
                self.assertEqual([settled(o) for o in outcomes[:-1]], [False] * (len(statuses) - 1))

    def test_a_run_hung_when_it_ran_past_its_limit_or_only_hung_tests_failed(self):
        timed = "Test  #3: A.Slow ..........***Timeout  60.01 sec\n"
        for results, out, expected in [(None, "", True), ({"A.Slow": (False, 60.0), "B": (True, 0.1)}, timed, True),
                                       ({"A.Slow": (False, 60.0), "B": (False, 0.1)}, timed, False),
                                       ({"A.Slow": (True, 1.0)}, "", False)]:
            with self.subTest(results=results):
                self.assertEqual(hung(results, out), expected)

    def test_the_least_likely_score_is_the_binomial_bound(self):
        # Every one caught: (1 - 0.95) ** (1 / n); none caught: nothing is
        # left likely; one more caught never lowers it.
        for judged in [1, 5, 29, 30, 100]:
            with self.subTest(judged=judged):
                self.assertAlmostEqual(least_score(judged, judged), 0.05 ** (1 / judged), places=9)
                self.assertEqual(least_score(0, judged), 0.0)
                bounds = [least_score(k, judged) for k in range(judged + 1)]
                self.assertEqual(bounds, sorted(bounds))
                self.assertTrue(all(b <= k / judged for k, b in enumerate(bounds)), "below the sample's own score")
        self.assertIsNone(least_score(0, 0))
        self.assertLess(least_score(28, 29), 0.9)
        # Shown rounded down, so a bound just under a target never reads as meeting it.
        shown = {least_score(28, 28): "89%", least_score(29, 29): "90%", 0.29: "29%", 1.0: "100%", None: "—"}
        for value, text in shown.items():
            self.assertEqual(percent(value), text, value)


if __name__ == "__main__":
    unittest.main(verbosity=2)
