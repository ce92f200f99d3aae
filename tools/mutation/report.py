"""What a run found, written for people and programs under docs/mutants/
(committed, so that a fresh clone's figures hold the latest measured scores,
which take hours to measure again): <scope>.json (every mutant with its status, the survivors with their diffs,
written with the json module) and <scope>.md (the score table and the
survivors in short). The score is killed / (all − equivalent − not built);
a mutant that ran past its time limit counts as not killed. tools/figures
reads the latest result of each room through rooms_table().
"""
import difflib
import json
import math
import statistics
from pathlib import Path

RESULTS = Path("docs/mutants")
STATUSES = ["killed", "survived", "timed out", "not built", "equivalent"]


def counts(mutants):
    c = {s: 0 for s in STATUSES}
    for m in mutants:
        if m["status"] in c:
            c[m["status"]] += 1
    return c


def judged(c):
    """The mutants a score is over: all but the equivalent and the unbuilt."""
    return sum(c.values()) - c["equivalent"] - c["not built"]


def score(c, with_time_outs=False):
    """killed / judged; with_time_outs counts a mutant whose tests ran past
    their limit as caught too."""
    caught = c["killed"] + (c["timed out"] if with_time_outs else 0)
    return caught / judged(c) if judged(c) else None


def least_score(caught, judged, confidence=0.95):
    """The least share of a room's mutants its tests catch that a sample
    catching `caught` of `judged` still leaves likely: the one-sided
    Clopper-Pearson bound at `confidence` (for a sample drawn without
    replacement from a finite room, a cautious one). With every one caught,
    it is (1 - confidence) ** (1 / judged): 29 of 29 leave 90% likely."""
    if not judged:
        return None
    if caught <= 0:
        return 0.0
    low, high = 0.0, 1.0
    for _ in range(60):
        p = (low + high) / 2
        # How likely `caught` or more would be caught if the room's share were p.
        tail = sum(math.comb(judged, k) * p ** k * (1 - p) ** (judged - k) for k in range(caught, judged + 1))
        if tail < 1 - confidence:
            low = p
        else:
            high = p
    return low


def diff(path, source, mutated):
    return "".join(difflib.unified_diff(source.splitlines(True), mutated.splitlines(True),
                                        f"a/{path}", f"b/{path}", n=1))


def summary(result):
    """Counts, score and times of a result's mutants."""
    c = counts(result["mutants"])
    tried = [m for m in result["mutants"] if m["status"] not in ("equivalent",)]
    built = [m for m in tried if m["status"] != "not built"]
    return {
        "counts": c,
        "score": score(c),
        "score_with_time_outs": score(c, with_time_outs=True),
        # Only a sample needs it: a whole room's score is what it is. A test
        # stopped at its time limit fails `make test` as surely as an
        # assertion, so a hang counts as caught here, as in the targets.
        "least_score": least_score(c["killed"] + c["timed out"], judged(c)) if result.get("sample") else None,
        "mutants": sum(c.values()),
        "build_seconds_median": round(statistics.median(m["build_seconds"] for m in tried), 1) if tried else None,
        "test_seconds_median": round(statistics.median(m["test_seconds"] for m in built), 1) if built else None,
        "seconds_per_mutant": round(sum(m["build_seconds"] + m["test_seconds"] for m in tried) / len(tried), 1)
        if tried else None,
    }


def percent(value):
    """A share in whole percent, rounded down: a score set against a target
    is never shown above what was measured (89.9% is not 90%)."""
    return "—" if value is None else f"{math.floor(100 * value + 1e-9)}%"


HEADER = ["room", "mutants", "killed", "survived", "timed out", "not built", "equivalent", "score",
          "with time-outs", "room at least (95%)"]


def row(name, result):
    s = summary(result)
    c = s["counts"]
    sample = result.get("sample")
    mutants = f"{s['mutants']} of {sample['of']}" if sample else str(s["mutants"])
    if result.get("unfinished"):
        mutants += f" (stopped; {result.get('planned', '?')} planned)"
    return [name, mutants, c["killed"], c["survived"], c["timed out"], c["not built"], c["equivalent"],
            percent(s["score"]), percent(s["score_with_time_outs"]),
            percent(s["least_score"]) if result.get("sample") else "all measured"]


def table(header, rows):
    lines = ["| " + " | ".join(header) + " |", "|" + "|".join("---" for _ in header) + "|"]
    return lines + ["| " + " | ".join(str(c) for c in r) + " |" for r in rows]


def saved(checkout, scope, suffix):
    """Where the result of a scope (a room, or a folder or file in one,
    "bench/files" and "bench/files/" alike) is kept."""
    return Path(checkout) / RESULTS / (scope.rstrip("/").replace("/", "-") + suffix)


def write(checkout, result):
    json_path, md_path = saved(checkout, result["scope"], ".json"), saved(checkout, result["scope"], ".md")
    json_path.parent.mkdir(parents=True, exist_ok=True)
    result["summary"] = summary(result)
    json_path.write_text(json.dumps(result, indent=1, ensure_ascii=False) + "\n")
    md_path.write_text(markdown(result))
    return json_path, md_path


def markdown(result):
    s = result["summary"]
    sample = result.get("sample")
    md = [f"# Mutants of {result['scope']}", ""]
    md += [f"Measured {result['measured']} to {result['finished'] or 'now (unfinished)'} on {result['commit']}"
           f"{' with uncommitted changes' if result.get('uncommitted') else ''}, in the "
           f"{', '.join(result['presets'])} build{'s' if len(result['presets']) > 1 else ''}"
           + (f"; a sample of {sample['taken']} of {sample['of']} mutants (MUTANTS_LIMIT)" if sample else "")
           + (f"; tests left out: `{result['exclude']}` (MUTANTS_EXCLUDE)" if result.get("exclude") else "") + ".",
           ""]
    again = result.get("survivors_again_of")
    if again:
        md[-1:-1] = ["", f"The survivors of the run of {again['measured']} on {again['commit']} were tried again; "
                     "the other mutants are as that run left them."
                     + (" Survivors the code no longer makes, left out: "
                        + ", ".join(f"`{g}`" for g in again["gone"]) + "." if again.get("gone") else "")]
    md += table(HEADER, [row(result["scope"], result)]) + [""]
    md += [f"Score: killed / (all − equivalent − not built); counting the time-outs (tests that hung) as caught "
           f"too: {percent(s['score_with_time_outs'])}."
           + (f" Over the whole room, the share caught (time-outs too) this sample leaves likely is at least "
              f"{percent(s['least_score'])} (one-sided, 95%)." if sample else "")
           + f" Per mutant: {s['seconds_per_mutant']} s on average, "
           f"build {s['build_seconds_median']} s and tests {s['test_seconds_median']} s at the median.", ""]
    same = [m for m in result["mutants"] if m["status"] == "equivalent" and not m.get("listed_equivalent")]
    if s["counts"]["equivalent"]:
        md += [f"Equivalent: {s['counts']['equivalent'] - len(same)} listed in tools/mutants-equivalent.txt, "
               f"{len(same)} compiled to the very objects of the unchanged tree.", ""]
    if result.get("skipped"):
        md += [f"Not tried: {result['skipped']['count']} mutants in files no chosen build compiles "
               f"({', '.join(result['skipped']['files'])}).", ""]
    if result.get("stale"):
        md += ["Stale entries of tools/mutants-equivalent.txt (they match no mutant now):", ""]
        md += [f"- {e}" for e in result["stale"]] + [""]
    operators = {}
    for m in result["mutants"]:
        o = operators.setdefault(m["operator"], {s: 0 for s in STATUSES})
        o[m["status"]] += 1
    md += ["By operator:", ""]
    md += table(["operator"] + STATUSES, [[name] + [o[s] for s in STATUSES] for name, o in sorted(operators.items())])
    survivors = [m for m in result["mutants"] if m["status"] == "survived"]
    md += ["", f"## Survivors ({len(survivors)})", ""]
    for m in survivors:
        md += [f"- `{m['id']}`"]
        changed = [line for line in m.get("diff", "").splitlines()
                   if line[:1] in "+-" and not line.startswith(("+++", "---"))]
        md += [f"  `{line.strip()}`" for line in changed[:4]]
    timed = [m for m in result["mutants"] if m["status"] == "timed out"]
    if timed:
        md += ["", f"## Timed out ({len(timed)})", ""] + [f"- `{m['id']}`: {m['note']}" for m in timed]
    return "\n".join(md) + "\n"


def latest(checkout, scope):
    """The saved result of a scope, or None."""
    path = saved(checkout, scope, ".json")
    if not path.exists():
        return None
    try:
        return json.loads(path.read_text())
    except (OSError, ValueError):
        return None


def rooms_table(checkout, rooms):
    """The score table of every room from its latest saved result, with
    when it was measured, and the rooms never measured."""
    rows, never = [], []
    for room in rooms:
        result = latest(checkout, room.name)
        if result is None or "mutants" not in result:
            never.append(room.name)
            continue
        rows.append(row(room.name, result) + [result["finished"] or f"{result['measured']}, unfinished",
                                              result["commit"]])
    return table(HEADER + ["measured", "commit"], rows) if rows else [], never
