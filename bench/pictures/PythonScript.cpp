// posix_spawn rather than system(): the arguments are paths and titles of
// the user's, passed as they are, never through a shell.
#include "bench/pictures/PythonScript.h"

#include <fcntl.h>
#include <stdlib.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

const char DebianPython[] = "/usr/bin/python3";

} // namespace

ScriptRun RunPythonScript(const char* script, const std::vector<std::string>& arguments)
{
    const char* chosen = getenv("LUMIVANE_PYTHON");
    const char* python = chosen && *chosen ? chosen : DebianPython;
    ScriptRun run;
    run.Command = std::string(python) + " " + script;
    for (const std::string& argument : arguments)
        run.Command += argument.find(' ') == std::string::npos ? " " + argument : " '" + argument + "'";
    struct stat info;
    if (stat(python, &info) != 0) {
        run.Missing = std::string("there is no ") + python;
        return run;
    }
    if (stat(script, &info) != 0) {
        run.Missing = std::string(script) + " is gone";
        return run;
    }
    std::vector<char*> argv = {const_cast<char*>(python), const_cast<char*>(script)};
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    const int spawned = posix_spawn(&child, python, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    run.Ran = spawned == 0 && waitpid(child, &status, 0) == child && WIFEXITED(status);
    run.Status = run.Ran ? WEXITSTATUS(status) : -1;
    return run;
}
