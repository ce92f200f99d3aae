// The native bench draws the chart by running bench/pictures/chart.py with Debian's
// /usr/bin/python3 (the python3 first on PATH may be another, without
// matplotlib). The script's own output is not shown: its exit status says
// enough, and the summary stays the bench's.
#include "bench/pictures/Chart.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

extern char** environ;

namespace {

const char Python[] = "/usr/bin/python3";
const char Script[] = LUMIVANE_CHART_SCRIPT;
// chart.py's exit status when it cannot import matplotlib.
const int NoMatplotlib = 3;

} // namespace

bool DrawChart(const std::string& events, const std::string& png, const std::string& title, std::string* note)
{
    const std::string command =
        std::string(Python) + " " + Script + " " + events + " " + png + " --title '" + title + "'";
    struct stat info;
    if (stat(Python, &info) != 0) {
        *note = std::string("No chart: there is no ") + Python + " (Debian packages python3 and python3-matplotlib)";
        return false;
    }
    if (stat(Script, &info) != 0) {
        *note = std::string("No chart: ") + Script + " is gone";
        return false;
    }
    std::vector<char*> argv = {const_cast<char*>(Python), const_cast<char*>(Script),
                               const_cast<char*>(events.c_str()), const_cast<char*>(png.c_str()),
                               const_cast<char*>("--title"), const_cast<char*>(title.c_str()), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    const int spawned = posix_spawn(&child, Python, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (spawned != 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        *note = "No chart: " + command + " did not run";
        return false;
    }
    if (WEXITSTATUS(status) == NoMatplotlib) {
        *note = std::string("No chart: ") + Python +
                " has no matplotlib (Debian package python3-matplotlib); with it: " + command;
        return false;
    }
    if (WEXITSTATUS(status) != 0) {
        *note = "No chart: chart.py failed; to see why: " + command;
        return false;
    }
    *note = "Chart: " + png;
    return true;
}
