# A table of runs for the bench's program tests: each row is run by the
# test's own function, which answers None when the row is as it must be and
# otherwise what is wrong; every row runs, and the table fails if any did.
# It never stops at the first failure, so one run shows every row's fault.


def run_table(rows, work, run_row):
    """Runs run_row(index, row) for every row in the folder `work`, prints a
    FAIL line for each that is not as it must be, and returns the exit status."""
    work.mkdir(parents=True, exist_ok=True)
    failures = 0
    for index, row in enumerate(rows):
        problem = run_row(index, row)
        if problem:
            failures += 1
            print(f"FAIL  {row[0]}: {problem}")
    print(f"{len(rows) - failures} of {len(rows)} rows as they must be")
    return 1 if failures else 0
