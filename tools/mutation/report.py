"""What a run found: <scope>.json (every mutant, the survivors' diffs) and .md
(the scores, the survivors in short), in docs/mutants/ for a room (kept, as
a room takes hours) or build/mutants/changed/. The score is killed / (all −
equivalent − not built): a hang is not a kill. tools/figures reads them too.
"""
import difflib
import json
import math
import statistics
from pathlib import Path

from Markdown import table

RESULTS, CHANGED = Path("docs/mutants"), Path("build/mutants/changed")
STATUSES = ["killed", "survived", "timed out", "not built", "equivalent"]
HEADER = ["room", "mutants", "killed", "survived", "timed out", "not built", "equivalent", "score",
          "with time-outs", "room at least (95%)"]


def counts(mutants):
    return {s: sum(m["status"] == s for m in mutants) for s in STATUSES}


def least_score(caught, judged, confidence=0.95):
    """The least share of a room caught that a sample catching `caught` of `judged` leaves likely (Clopper-Pearson)."""
    if not judged or caught <= 0:
        return 0.0 if judged else None
    low, high = 0.0, 1.0
    for _ in range(60):
        p = (low + high) / 2
        tail = sum(math.comb(judged, k) * p ** k * (1 - p) ** (judged - k) for k in range(caught, judged + 1))
        low, high = (p, high) if tail < 1 - confidence else (low, p)
    return low


def record(m, outcome=None, preset=None):
    """A mutant's entry, with what trying it came to; a listed equivalent, never tried, has no outcome."""
    r = {"id": m.id, "file": m.file, "line": m.line, "column": m.column, "operator": m.operator, "before": m.before,
         "after": m.after, "status": outcome.status if outcome else "equivalent", "preset": preset,
         "build_seconds": round(outcome.build_seconds, 1) if outcome else 0.0,
         "test_seconds": round(outcome.test_seconds, 1) if outcome else 0.0}
    r.update({k: v for k, v in (("failed", outcome and outcome.failed), ("note", outcome and outcome.note)) if v})
    if not outcome:
        r["listed_equivalent"] = True
    elif outcome.status == "survived":
        r["diff"] = "".join(difflib.unified_diff(outcome.source.splitlines(True), m.apply(outcome.source).splitlines(
            True), f"a/{m.file}", f"b/{m.file}", n=1))
    return r


def summary(result):
    c = counts(result["mutants"])
    tried = [m for m in result["mutants"] if m["status"] != "equivalent"]
    built = [m for m in tried if m["status"] != "not built"]
    # killed / judged, and with a hang counted as caught too.
    score = [(c["killed"] + hangs * c["timed out"]) / len(built) if built else None for hangs in (0, 1)]
    return {
        "counts": c, "score": score[0], "score_with_time_outs": score[1],
        # A sample's only: a hang fails `make test` as surely as an assertion.
        "least_score": least_score(c["killed"] + c["timed out"], len(built)) if result.get("sample") else None,
        "mutants": sum(c.values()),
        "build_seconds_median": round(statistics.median(m["build_seconds"] for m in tried), 1) if tried else None,
        "test_seconds_median": round(statistics.median(m["test_seconds"] for m in built), 1) if built else None,
        "seconds_per_mutant": round(sum(m["build_seconds"] + m["test_seconds"] for m in tried) / len(tried), 1)
        if tried else None,
    }


def percent(value):
    """In whole percent, rounded down: 89.9% is not 90%."""
    return "—" if value is None else f"{math.floor(100 * value + 1e-9)}%"


def row(name, result):
    s, sample = summary(result), result.get("sample")
    c = s["counts"]
    mutants = (f"{s['mutants']} of {sample['of']}" if sample else str(s["mutants"])) + \
        (f" (stopped; {result.get('planned', '?')} planned)" if result.get("unfinished") else "")
    return [name, mutants, *(c[k] for k in STATUSES), percent(s["score"]), percent(s["score_with_time_outs"]),
            percent(s["least_score"]) if sample else "all measured"]


def saved(checkout, scope, suffix, folder=RESULTS):
    """Where the result of a scope ("bench/files" and "bench/files/" alike) is kept."""
    return Path(checkout) / folder / (scope.rstrip("/").replace("/", "-") + suffix)


def write(checkout, result):
    folder = CHANGED if result.get("changed_since") else RESULTS
    json_path, md_path = (saved(checkout, result["scope"], s, folder) for s in (".json", ".md"))
    json_path.parent.mkdir(parents=True, exist_ok=True)
    result["summary"] = summary(result)
    json_path.write_text(json.dumps(result, indent=1, ensure_ascii=False) + "\n")
    md_path.write_text(markdown(result))
    return json_path, md_path


def markdown(result):
    s, sample, again = result["summary"], result.get("sample"), result.get("survivors_again_of")
    changed = f" on the lines changed since {result['changed_since']}" if result.get("changed_since") else ""
    md = [f"# Mutants of {result['scope']}{changed}", "",
          f"Measured {result['measured']} to {result['finished'] or 'now (unfinished)'} on {result['commit']}"
          f"{' with uncommitted changes' if result.get('uncommitted') else ''}, in the "
          f"{', '.join(result['presets'])} build{'s' if len(result['presets']) > 1 else ''}"
          + (f"; a sample of {sample['taken']} of {sample['of']} mutants (MUTANTS_LIMIT)" if sample else "")
          + (f"; tests left out: `{result['exclude']}` (MUTANTS_EXCLUDE)" if result.get("exclude") else "") + ".", ""]
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
    operators = sorted({m["operator"] for m in result["mutants"]})
    md += ["By operator:", ""] + table(["operator"] + STATUSES, [
        [o] + list(counts([m for m in result["mutants"] if m["operator"] == o]).values()) for o in operators])
    survivors = [m for m in result["mutants"] if m["status"] == "survived"]
    md += ["", f"## Survivors ({len(survivors)})", ""]
    for m in survivors:
        changed = [line.strip() for line in m.get("diff", "").splitlines()
                   if line[:1] in "+-" and not line.startswith(("+++", "---"))]
        md += [f"- `{m['id']}` (line {m['line']})"] + [f"  `{line}`" for line in changed[:4]]
    timed = [m for m in result["mutants"] if m["status"] == "timed out"]
    if timed:
        md += ["", f"## Timed out ({len(timed)})", ""] + [f"- `{m['id']}`: {m['note']}" for m in timed]
    return "\n".join(md) + "\n"


def latest(checkout, scope):
    """The saved result of a room's run, or None."""
    try:
        return json.loads(saved(checkout, scope, ".json").read_text())
    except (OSError, ValueError):
        return None

