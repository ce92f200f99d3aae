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
#endif

namespace {

bool SystemFinds(const std::string& library, const std::string& moduleFolder)
{
#ifdef _WIN32
    // The loader looks beside the module's own folder only for a module
    // loaded by its full path with an altered search path; the bench loads
    // it that way, so its folder counts, then the usual order.
    std::string beside = moduleFolder + library;
    if (GetFileAttributesA(beside.c_str()) != INVALID_FILE_ATTRIBUTES)
        return true;
    char found[MAX_PATH];
    return SearchPathA(nullptr, library.c_str(), nullptr, MAX_PATH, found, nullptr) != 0;
#else
    (void)moduleFolder;
    // The dynamic loader's own search is the only faithful one.
    void* handle = dlopen(library.c_str(), RTLD_LAZY | RTLD_LOCAL);
    if (!handle)
        return false;
    dlclose(handle);
    return true;
#endif
}

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
    bool read = elf && ReadElfNeeds(f, &facts->Needs, &what);
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
    for (const std::string& library : facts->Needs)
        if (!SystemFinds(library, folder))
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
        *error = "LoadLibrary refused " + path + " (error " + std::to_string(GetLastError()) + ")";
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
    void* linkage = find("Linkage");
    void* imports = find("ImportTable");
    if (!linkage || !imports) {
        *error = path + " exports no " + (linkage ? "ImportTable" : "Linkage") + ": not a gauge module";
        release();
        return false;
    }
    module->Handle = reinterpret_cast<void*>(handle);
    module->Linkage = static_cast<ModuleLinkage*>(linkage);
    module->Imports = static_cast<ModuleImports*>(imports);
    module->Path = path;
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
