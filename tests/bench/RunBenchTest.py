#!/usr/bin/python3
# bench/run-bench as a user meets it from Linux, one row each: what it prints,
# its exit status, and what it leaves in the output folder. Its status is the
# bench's, whether the run was clean (0), found faults (3), was refused (1, 2)
# or was ended by its module's crash (4, and nothing drawn from the cut-off
# run). A run that never started leaves no folder; the recording device's
# home never outlives the run; without a sound device the bench says so in
# one line and ALSA's own complaints stay out of the terminal; a run flown
# fast goes through the software DirectSound.
#
# Usage: RunBenchTest.py RUN_BENCH WINDOWS_BUILD MODULE WORK_FOLDER
import os
import shutil
import struct
import subprocess
import sys
from pathlib import Path

# No bytecode left in the source tree by a test run.
sys.dont_write_bytecode = True
sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tools"))
from Faults import verdict  # noqa: E402

RUN_BENCH, BUILD, MODULE, WORK = sys.argv[1], sys.argv[2], Path(sys.argv[3]), Path(sys.argv[4])
SHORT = "0 airspeed 0\n1 airspeed 85\n2 end\n"


def cut_module(folder):
    path = folder / "cut.gau"
    path.write_bytes(MODULE.read_bytes()[:3000])
    return path


def cut_in_section(folder):
    """The module cut a byte short of the end of the section that ends
    last in its file: every section starts in the file, one does not end."""
    data = MODULE.read_bytes()
    header = struct.unpack_from("<I", data, 0x3C)[0]
    sections, optional = struct.unpack_from("<H", data, header + 6)[0], struct.unpack_from("<H", data, header + 20)[0]
    table = header + 24 + optional
    end = max(sum(struct.unpack_from("<II", data, table + 40 * i + 16)) for i in range(sections))
    path = folder / "cut-in-section.gau"
    path.write_bytes(data[:end - 1])
    return path


def test_gauge(name):
    """A gauge of the tests' own, built beside the bench's tests."""
    return lambda folder: Path(BUILD) / "tests" / "bench" / name


# name, scenario text, module maker (or None for the build's), extra
# environment, expected status, texts the output must hold, texts it must not,
# and what the output folder must hold afterwards (None: it must not exist);
# then, if given, the bench's options besides --frames none.
ROWS = [
    ("a bad scenario line", "0 airspeed 0\n1 bogus\n", None, {}, 2,
     ["s.txt:2: unknown action 'bogus'"], [], None),
    ("a module cut short", SHORT, cut_module, {}, 1, ["cut short"], [], None),
    ("a module cut inside its last section", SHORT, cut_in_section, {}, 1,
     ["a PE image cut short: a section runs to byte"], [], None),
    # ALSA's configuration replaced by an empty one: no device at all.
    ("no sound device", SHORT, None, {"ALSA_CONFIG_PATH": "EMPTY"}, 0,
     ["No call-out was started.", "DirectSound could not be opened", "--soft-sound hears it"],
     ["ALSA lib"], ["events.jsonl", "settings"]),
    ("a clean run flown fast", SHORT, None, {}, 0,
     ["Call-outs started: Wave1 at 1.00 s.", "the software DirectSound's mix", "No faults.", "Chart: "],
     ["real time"], ["events.jsonl", "settings", "sound.wav", "s.png"], ["--fast"]),
    ("a run that finds faults", "0 airspeed 0\n0.2 airspeed 950000\n0.5 end\n", test_gauge("TwinLamps.gau"), {}, 3,
     ["which the bench does not serve (6 times)", "Chart: "], [], ["events.jsonl", "settings", "sound.wav", "s.png"],
     ["--soft-sound"]),
    ("a module that crashes", "0 airspeed 60\n1 airspeed 1000\n2 end\n", test_gauge("Faulting.gau"), {}, 4,
     ["The module crashed in pass 18 (1.00 s): element 1 (icon)'s callback faulted: an access violation writing "
      "0x00000000 at Faulting.gau+0x", "No chart and no video: the module crashed"], ["Chart: ", "No faults."],
     ["events.jsonl", "settings", "sound.wav"], ["--soft-sound"]),
]

failures = []
shutil.rmtree(WORK, ignore_errors=True)
for name, text, make_module, extra, status, wanted, unwanted, left, *options in ROWS:
    folder = WORK / name.replace(" ", "-")
    folder.mkdir(parents=True)
    scenario = folder / "s.txt"
    scenario.write_text(text)
    (folder / "empty.conf").write_text("")
    env = dict(os.environ, LUMIVANE_BUILD=BUILD)
    env.update({k: str(folder / "empty.conf") if v == "EMPTY" else v for k, v in extra.items()})
    module = [str(make_module(folder))] if make_module else [str(MODULE)]
    out = folder / "out"
    run = subprocess.run([RUN_BENCH, *module, "--scenario", str(scenario), "--out", str(out), "--frames", "none",
                          *(options[0] if options else [])], env=env, capture_output=True, text=True, timeout=120)
    said = run.stdout + run.stderr
    problems = []
    if run.returncode != status:
        problems.append(f"exit status {run.returncode}, not {status}")
    problems += [f"no {w!r}" for w in wanted if w not in said]
    problems += [f"{u!r} printed" for u in unwanted if u in said]
    if left is None and out.exists():
        problems.append(f"left {sorted(p.name for p in out.iterdir())}")
    elif left is not None:
        found = sorted(p.name for p in out.iterdir()) if out.exists() else []
        if found != sorted(left + ["s.png"]) and found != sorted(left):
            problems.append(f"left {found}, not {left}")
        if status == 4 and "s.png" in found:
            problems.append("a chart drawn from a run the module's crash cut short")
        events = out / "events.jsonl"
        # The gauge's line, then passes 0 to 17.
        if status == 4 and events.is_file() and len(events.read_text().splitlines()) != 1 + 18:
            problems.append("events.jsonl does not end with the pass before the crash, pass 17")
    if problems:
        failures.append(f"{name}: " + "; ".join(problems) + "\n" + said)

sys.exit(verdict(failures, f"{len(ROWS) - len(failures)} of {len(ROWS)} runs as they must be"))
