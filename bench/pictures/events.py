"""The one reader of a bench run's events.jsonl for the scripts that draw it
(chart.py, video.py and, through video.py, animation.py). Its first line may
describe the gauge the run's reader reads ({"gauge": {...}}: its speeds'
names, where its lamps go dark, what its clips sound like); every other
line is one pass. The log is read line by line, never whole, and a line
that is not a JSON object is an error that names the file and the line. It
never judges what a pass holds beyond that: each script takes the fields
it draws.
"""
import json
import os


class BadEvents(Exception):
    pass


def is_number(value):
    return isinstance(value, (int, float)) and not isinstance(value, bool)


def _parsed(line, where):
    try:
        event = json.loads(line)
    except json.JSONDecodeError as error:
        raise BadEvents(f"{where}: not JSON ({error.msg})") from None
    if not isinstance(event, dict):
        raise BadEvents(f"{where}: not a JSON object")
    return event


def is_gauge_line(event):
    """Whether a parsed line describes the gauge rather than a pass."""
    return "gauge" in event and "pass" not in event


def _lines(path):
    """(number, text) of each line that holds anything."""
    try:
        with open(path, encoding="utf-8") as stream:
            for number, line in enumerate(stream, 1):
                if line.strip():
                    yield number, line
    except OSError as error:
        raise BadEvents(f"cannot read {path}: {error.strerror}") from None
    except UnicodeDecodeError:
        raise BadEvents(f"{path} is not UTF-8 text") from None


def gauge_of(path):
    """The gauge's description from the log's first line, as a dict; None
    when the log does not start with one (a log of an older bench, or one
    written by hand)."""
    for number, line in _lines(path):
        event = _parsed(line, f"{path}:{number}")
        if not is_gauge_line(event):
            return None
        gauge = event["gauge"]
        if not isinstance(gauge, dict):
            raise BadEvents(f"{path}:{number}: 'gauge' must be an object")
        return gauge
    return None


def each_pass(path):
    """(where, event) of each pass of the log, one at a time: `where` is
    "file:line" for messages, `event` the line's JSON object. A log without
    a pass is an error."""
    found = False
    opening = True
    for number, line in _lines(path):
        where = f"{path}:{number}"
        event = _parsed(line, where)
        described = opening and is_gauge_line(event)
        opening = False
        if described:
            continue
        found = True
        yield where, event
    if not found:
        raise BadEvents(f"{path} holds no passes")


def first_passes(path, count):
    """(where, event) of the log's first `count` passes at most; malformed
    lines among them are errors, as in each_pass."""
    taken = []
    for item in each_pass(path):
        taken.append(item)
        if len(taken) >= count:
            break
    return taken


def last_pass(path):
    """(where, event) of the log's last pass, read from the file's end; None
    when there is none or it cannot be read as one."""
    try:
        with open(path, "rb") as stream:
            stream.seek(0, os.SEEK_END)
            end = stream.tell()
            size = 4096
            while True:
                start = max(0, end - size)
                stream.seek(start)
                tail = stream.read(end - start)
                lines = [line for line in tail.split(b"\n") if line.strip()]
                if lines and (len(lines) > 1 or start == 0):
                    event = _parsed(lines[-1].decode("utf-8"), f"{path}: its last line")
                    return None if is_gauge_line(event) else (f"{path}: its last line", event)
                if start == 0:
                    return None
                size *= 4
    except (OSError, UnicodeDecodeError, BadEvents):
        return None
