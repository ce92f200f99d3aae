// Linux keeps the running program's path in /proc/self/exe, a link to the
// program's own file, whatever argv[0] was.
#include "bench/files/ProgramFolder.h"

#include "bench/files/Files.h"

#include <limits.h>
#include <unistd.h>

std::string RunningProgramFolder()
{
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return std::string();
    return FolderOf(std::string(path, size_t(length)));
}
