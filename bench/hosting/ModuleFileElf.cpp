// The native bench's module file: a 64-bit ELF shared object, read byte by
// byte for the libraries it needs (bounds before every read, little-endian
// helpers, no struct laid over the file) and for where the dynamic loader
// would find each, then loaded with dlopen. The file is never trusted: a
// truncated header or a table that points past the end is a plain "not a
// module" answer, never a read out of bounds.
#include "bench/hosting/ModuleFile.h"

#include "bench/files/Files.h"
#include "bench/hosting/ModuleFilePlatform.h"
#include "bench/hosting/ModuleNeeds.h"

#include <dlfcn.h>
#include <glob.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

namespace {

bool IsRegularFile(const std::string& path)
{
    struct stat facts;
    return stat(path.c_str(), &facts) == 0 && S_ISREG(facts.st_mode);
}

void AddFolders(const std::string& list, const std::string& origin, std::vector<std::string>* folders)
{
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find_first_of(":;", start);
        if (end == std::string::npos)
            end = list.size();
        std::string folder = list.substr(start, end - start);
        for (const char* name : {"$ORIGIN", "${ORIGIN}"})
            for (size_t at = folder.find(name); at != std::string::npos; at = folder.find(name, at))
                folder.replace(at, strlen(name), origin);
        if (!folder.empty())
            folders->push_back(folder);
        start = end + 1;
    }
}

// The folders of ld.so.conf, following its `include` lines (with their
// wildcards) to a bounded depth, as ldconfig reads them.
void AddConfiguredFolders(const std::string& file, int depth, std::vector<std::string>* folders)
{
    std::string text, problem;
    if (depth > 4 || !ReadWholeFile(file, &text, &problem, 1u << 20))
        return;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        line = line.substr(0, line.find('#'));
        const size_t first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos)
            continue;
        line = line.substr(first, line.find_last_not_of(" \t\r") - first + 1);
        if (line.compare(0, 8, "include ") == 0) {
            std::string pattern = line.substr(line.find_first_not_of(" \t", 8));
            if (pattern[0] != '/')
                pattern = FolderOf(file) + pattern;
            glob_t found;
            if (glob(pattern.c_str(), 0, nullptr, &found) == 0)
                for (size_t i = 0; i < found.gl_pathc; ++i)
                    AddConfiguredFolders(found.gl_pathv[i], depth + 1, folders);
            globfree(&found);
        } else if (line[0] == '/') {
            folders->push_back(line);
        }
    }
}

} // namespace

bool SystemFinds(const std::string& library, const std::vector<std::string>& folders)
{
    // A name with a slash is a path, which the loader takes as it is.
    if (library.find('/') != std::string::npos)
        return IsRegularFile(library);
    for (const std::string& folder : folders)
        if (IsRegularFile(JoinPath(folder, library)))
            return true;
    return false;
}

// Found without loading anything: loading a library to see whether it is
// there would run its initialisers inside the bench.
std::vector<std::string> LoaderFolders(const std::vector<std::string>& modulePaths, const std::string& moduleFolder,
    const std::string& configuration)
{
    std::vector<std::string> folders;
    std::string origin = moduleFolder.empty() ? "." : moduleFolder;
    if (origin.size() > 1 && origin.back() == '/')
        origin.pop_back();
    for (const std::string& list : modulePaths)
        AddFolders(list, origin, &folders);
    if (const char* path = getenv("LD_LIBRARY_PATH"))
        AddFolders(path, origin, &folders);
    AddConfiguredFolders(configuration, 0, &folders);
    for (const char* standard :
        {"/lib/x86_64-linux-gnu", "/usr/lib/x86_64-linux-gnu", "/lib64", "/usr/lib64", "/lib", "/usr/lib",
            "/usr/local/lib"})
        folders.push_back(standard);
    return folders;
}

const char* const LoadableModule = "a 64-bit Linux shared object";

bool ReadOwnNeeds(const std::vector<uint8_t>& bytes, const std::string& path, ModuleFileFacts* facts,
    std::string* what)
{
    std::vector<std::string> searchPaths;
    if (!StartsAsElf(bytes) || !ReadElfNeeds({bytes.data(), bytes.size()}, &facts->Needs, what, &searchPaths)) {
        if (StartsAsPe(bytes) && what->empty())
            *what = "a Windows DLL; the windows bench (bench/run-bench) loads it under Wine";
        return false;
    }
    const std::vector<std::string> folders = LoaderFolders(searchPaths, FolderOf(path), "/etc/ld.so.conf");
    for (const std::string& library : facts->Needs)
        if (!SystemFinds(library, folders))
            facts->Missing.push_back(library);
    return true;
}

void* OpenModuleFile(const std::string& path, std::string* error)
{
    // Bound at once, so that a symbol nobody provides is reported now and
    // not at the first call that needs it.
    // A name without a slash would send dlopen to the library search path.
    const std::string file = path.find('/') == std::string::npos ? "./" + path : path;
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = dlerror();
        *error = "dlopen refused " + path + ": " + (why ? why : "no reason given");
    }
    return handle;
}

void* FindModuleExport(void* handle, const char* name)
{
    return dlsym(handle, name);
}

void CloseModuleFile(void* handle)
{
    dlclose(handle);
}
