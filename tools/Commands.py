"""A command run for a tool and timed, written once for the figures and the
mutation runs: its output (standard error within it) kept whatever its
size, and, past a time limit, all of it stopped, the processes it started
too, as it runs in a session of its own. Standard library only.
"""
import os
import signal
import subprocess
import tempfile
import time
from collections import namedtuple

# status: the exit status, or None when stopped at the limit.
Ran = namedtuple("Ran", "status seconds output")


def run(command, cwd, limit=None, env=None):
    started = time.monotonic()
    with tempfile.TemporaryFile() as out:
        process = subprocess.Popen(command, cwd=cwd, stdout=out, stderr=subprocess.STDOUT,
                                   env=dict(os.environ, **(env or {})), start_new_session=True)
        try:
            status = process.wait(timeout=limit)
        except subprocess.TimeoutExpired:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()
            status = None
        out.seek(0)
        return Ran(status, time.monotonic() - started, out.read().decode(errors="replace"))
