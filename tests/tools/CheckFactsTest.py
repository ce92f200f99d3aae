#!/usr/bin/python3
"""The facts check (tools/CheckFacts.py) must see what it is there to catch:
a scratch copy of the rooms it reads passes as the sources do, and one of
Lumivane's facts planted in it, a row for each kind, fails it with the
file, the line and the fact; where the check leaves code alone (a comment,
the one place, the page's script), a plant passes. The sources are only
read.

    CheckFactsTest.py SOURCE-ROOT SCRATCH-FOLDER
"""
import shutil
import subprocess
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tools"))
# No bytecode left in the source tree by a test.
sys.dont_write_bytecode = True
from Faults import arguments, verdict  # noqa: E402

# (what is planted, file, line added at its end, the fault's words or None
# for a plant the check must let pass).
ROWS = [
    ("the module's file name", "bench/hosting/GaugeHost.cpp",
     'const char PlantedModule[] = "Lumivane.gau";', "file name Lumivane.gau"),
    ("a settings file", "bench/files/Files.cpp",
     'const char* PlantedSettings = "C:\\\\pelmo1";', "file name pelmo1"),
    ("a clip in the chart", "bench/pictures/chart.py",
     'PLANTED = {"Wave2": 2}', "clip Wave2"),
    ("a clip's wave resource", "bench/sound/ModuleClips.cpp",
     'const char* PlantedResource = "WAVE1";', "clip WAVE1"),
    ("a speed's name in a name", "bench/flying/HandInput.h",
     "enum class PlantedKey { SelectSpeed2 };", "speed name Speed2"),
    ("a scenario's settings word", "bench/flying/ScenarioActions.cpp",
     'bool PlantedWord(const std::string& w) { return w == "speed3"; }', "speed name speed3"),
    ("a speed's name built from its stem", "bench/pictures/video.py",
     'PLANTED = [f"Speed{n}" for n in range(3)]', "speed name SpeedN"),
    ("the starting speeds", "bench/recording/EventLog.cpp",
     "const int PlantedStart[] = {80, 90, 100};", "starting speed 80, 90, 100"),
    ("a starting speed as an airspeed", "bench/measuring/MeasureMain.cpp",
     "const double PlantedAirspeed = 90;", "starting speed 90"),
    ("the lamp limit", "bench/pictures/chart.py",
     "PLANTED_LAMP_LIMIT = 10", "lamp limit 10"),
    ("the read order spelled", "bench/measuring/SystemCallsPerPass.cpp",
     'const char* PlantedFiles = "31";', "read order 312"),
    ("the read order as numbers", "bench/window/StatusLine.cpp",
     "const int PlantedOrder[] = {3, 1, 2};", "read order 312"),
    ("the program at the bench's top", "bench/Main.cpp",
     'const char* PlantedDefault = "Lumivane.gau";', "file name Lumivane.gau"),
    ("the page's C++", "web/PageExports.cpp",
     'const char* PlantedClip = "Wave1";', "clip Wave1"),
    ("a comment", "bench/flying/Run.cpp", "// Speed1 is 80 in Lumivane.gau, as an example", None),
    ("the one place", "bench/lumivane/Sentences.cpp", 'const char* PlantedName = "Speed1";', None),
    ("the page's script", "web/page.js", 'const plantedId = "speed" + 1;', None),
]


def check(root):
    run = subprocess.run([sys.executable, str(Path(__file__).resolve().parents[2] / "tools" / "CheckFacts.py"),
                          str(root)], capture_output=True, text=True)
    return run.returncode, run.stdout + run.stderr


def main(source, scratch):
    source, scratch = Path(source), Path(scratch)
    shutil.rmtree(scratch, ignore_errors=True)
    for folder in ("bench", "web"):
        shutil.copytree(source / folder, scratch / folder)
    faults = []
    status, said = check(scratch)
    if status != 0:
        faults.append(f"the scratch copy, as the sources are, fails the check:\n{said}")
    for what, file, planted, expected in ROWS:
        path = scratch / file
        original = path.read_text()
        line = original.count("\n") + 1
        path.write_text(original + planted + "\n")
        status, said = check(scratch)
        path.write_text(original)
        if expected is None:
            if status != 0:
                faults.append(f"{what}: planted in {file}, the check fails where it should pass:\n{said}")
            continue
        fault = f"FAULT: {file}:{line}: names Lumivane's {expected} "
        if status != 1 or fault not in said:
            faults.append(f"{what}: planted in {file}, the check did not say {fault!r} (status {status}):\n{said}")
    shutil.rmtree(scratch, ignore_errors=True)
    return verdict(faults, None if faults else
                   f"the check passes the sources and catches each of {len(ROWS)} plants as it should")


if __name__ == "__main__":
    sys.exit(main(*arguments(__doc__, 2)))
