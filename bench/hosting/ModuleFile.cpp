// The module file read byte by byte (bounds before every read, little-endian
// helpers, no struct laid over the file), then loaded by the system's own
// loader. The file is never trusted: a truncated header or a table that points
// past the end is a plain "not a module" answer, never a read out of bounds.
#include "bench/hosting/ModuleFile.h"

#include "bench/files/Files.h"
#include "bench/hosting/ModuleNeeds.h"

#include <stdint.h>
#include <stdio.h>
#include <string.h>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <dlfcn.h>
#include <glob.h>
#include <stdlib.h>
#include <sys/stat.h>
#endif

namespace {

#ifdef _WIN32
bool SystemFinds(const std::string& library, const std::string& moduleFolder)
{
    // The loader looks beside the module's own folder only for a module
    // loaded by its full path with an altered search path; the bench loads
    // it that way, so its folder counts, then the usual order.
    std::string beside = moduleFolder + library;
    if (GetFileAttributesA(beside.c_str()) != INVALID_FILE_ATTRIBUTES)
        return true;
    char found[MAX_PATH];
    return SearchPathA(nullptr, library.c_str(), nullptr, MAX_PATH, found, nullptr) != 0;
}
#else
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

// Where the dynamic loader would look for a library, in its order, without
// loading anything: loading a library to see whether it is there would run
// its initialisers inside the bench.
std::vector<std::string> LoaderFolders(const std::vector<std::string>& modulePaths, const std::string& moduleFolder)
{
    std::vector<std::string> folders;
    std::string origin = moduleFolder.empty() ? "." : moduleFolder;
    if (origin.size() > 1 && origin.back() == '/')
        origin.pop_back();
    for (const std::string& list : modulePaths)
        AddFolders(list, origin, &folders);
    if (const char* path = getenv("LD_LIBRARY_PATH"))
        AddFolders(path, origin, &folders);
    AddConfiguredFolders("/etc/ld.so.conf", 0, &folders);
    for (const char* standard :
        {"/lib/x86_64-linux-gnu", "/usr/lib/x86_64-linux-gnu", "/lib64", "/usr/lib64", "/lib", "/usr/lib",
            "/usr/local/lib"})
        folders.push_back(standard);
    return folders;
}

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
#endif

} // namespace

bool ReadModuleFile(const std::string& path, ModuleFileFacts* facts, std::string* error)
{
    *facts = ModuleFileFacts();
    std::vector<uint8_t> bytes;
    std::string problem;
    if (!ReadWholeFile(path, &bytes, &problem)) {
        *error = "cannot read the module: " + problem;
        return false;
    }
    LittleEndianBytes f{bytes.data(), bytes.size()};
    std::string what;
    bool mz = f.Has(0, 2) && bytes[0] == 'M' && bytes[1] == 'Z';
    bool elf = f.Has(0, 4) && memcmp(bytes.data(), "\x7F" "ELF", 4) == 0;
#ifdef _WIN32
    const char* wanted = "a 32-bit Windows DLL";
    bool read = mz && ReadPeImports(f, &facts->Needs, &what);
    if (elf)
        what = "a Linux shared object; the native bench loads it";
#else
    const char* wanted = "a 64-bit Linux shared object";
    std::vector<std::string> searchPaths;
    bool read = elf && ReadElfNeeds(f, &facts->Needs, &what, &searchPaths);
    if (mz && what.empty())
        what = "a Windows DLL; the windows bench (bench/run-bench) loads it under Wine";
#endif
    if (!read) {
        if (what.empty())
            what = bytes.empty() ? "an empty file" : "neither a DLL nor a shared object";
        *error = path + " is not a gauge module this bench can load: it is " + what + " (wanted " + wanted + ")";
        return false;
    }
    std::string folder = FolderOf(path);
#ifndef _WIN32
    const std::vector<std::string> folders = LoaderFolders(searchPaths, folder);
#else
    const std::string& folders = folder;
#endif
    for (const std::string& library : facts->Needs)
        if (!SystemFinds(library, folders))
            facts->Missing.push_back(library);
    return true;
}

bool LoadModule(const std::string& path, LoadedModule* module, std::string* error)
{
    *module = LoadedModule();
    ModuleFileFacts facts;
    if (!ReadModuleFile(path, &facts, error))
        return false;
    if (!facts.Missing.empty()) {
        std::string list;
        for (const std::string& library : facts.Missing)
            list += (list.empty() ? "" : ", ") + library;
        *error = path + " needs " + list + ", which this system does not have";
        return false;
    }
#ifdef _WIN32
    // The module's own folder is searched first for what it needs, as the
    // simulator's gauges folder would be.
    HMODULE handle = LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!handle) {
        const DWORD code = GetLastError();
        // ERROR_BAD_EXE_FORMAT: the headers read above held together, but
        // the loader found the image itself unusable.
        if (code == ERROR_BAD_EXE_FORMAT)
            *error = "LoadLibrary refused " + path + ": it is not a loadable 32-bit Windows module, or it is cut "
                "short (error 193)";
        else
            *error = "LoadLibrary refused " + path + " (error " + std::to_string(code) + ")";
        return false;
    }
    auto find = [&](const char* name) { return reinterpret_cast<void*>(GetProcAddress(handle, name)); };
    auto release = [&] { FreeLibrary(handle); };
#else
    // Bound at once, so that a symbol nobody provides is reported now and
    // not at the first call that needs it.
    // A name without a slash would send dlopen to the library search path.
    std::string file = path.find('/') == std::string::npos ? "./" + path : path;
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = dlerror();
        *error = "dlopen refused " + path + ": " + (why ? why : "no reason given");
        return false;
    }
    auto find = [&](const char* name) { return dlsym(handle, name); };
    auto release = [&] { dlclose(handle); };
#endif
    if (!TakeGaugeExports(path, reinterpret_cast<void*>(handle), find("Linkage"), find("ImportTable"), module, error)) {
        release();
        return false;
    }
    return true;
}

void UnloadModule(LoadedModule* module)
{
    if (module->Handle) {
#ifdef _WIN32
        FreeLibrary(static_cast<HMODULE>(module->Handle));
#else
        dlclose(module->Handle);
#endif
    }
    *module = LoadedModule();
}
