# A table of runs for the bench's program tests: each row is run by the
# test's own function, which answers None when the row is as it must be and
# otherwise what is wrong; every row runs, and the table fails if any did.
# It never stops at the first failure, so one run shows every row's fault.
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tools"))
from Faults import verdict  # noqa: E402


def run_table(rows, work, run_row):
    """Runs run_row(index, row) for every row in the folder `work`, says
    what is wrong with each that is not as it must be; the exit status."""
    work.mkdir(parents=True, exist_ok=True)
    faults = [f"{row[0]}: {problem}" for index, row in enumerate(rows) if (problem := run_row(index, row))]
    return verdict(faults, f"{len(rows) - len(faults)} of {len(rows)} rows as they must be")
