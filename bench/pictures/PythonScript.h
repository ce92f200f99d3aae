// Runs one of the bench's picture scripts (chart.py, video.py) natively with
// Debian's /usr/bin/python3: the python3 first on PATH may be another,
// without matplotlib or PIL. LUMIVANE_PYTHON, when set and not empty, names
// the Python to use instead. The script's own output is not shown: its exit
// status says enough, and the summary stays the bench's.
#ifndef LUMIVANE_BENCH_PICTURES_PYTHONSCRIPT_H
#define LUMIVANE_BENCH_PICTURES_PYTHONSCRIPT_H

#include <string>
#include <vector>

struct ScriptRun {
    bool Ran = false;    // the script started and exited by itself
    int Status = -1;     // its exit status when it ran
    std::string Command; // the command, as a person would type it to see why
    std::string Missing; // what is missing when it could not start (Python or the script)
};

// Runs `script` with `arguments`, its standard streams sent nowhere.
ScriptRun RunPythonScript(const char* script, const std::vector<std::string>& arguments);

#endif
