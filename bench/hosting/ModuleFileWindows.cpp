// The windows bench's module file: a 32-bit PE image, read byte by byte for
// the DLLs it imports (bounds before every read, little-endian helpers, no
// struct laid over the file) and for whether the system would find each, then
// loaded with LoadLibrary as the simulator loads a gauge. The file is never
// trusted: a truncated header or a table that points past the end is a plain
// "not a module" answer, never a read out of bounds.
#include "bench/hosting/ModuleFile.h"

#include "bench/files/Files.h"
#include "bench/hosting/ModuleFilePlatform.h"
#include "bench/hosting/ModuleNeeds.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace {

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

} // namespace

const char* const LoadableModule = "a 32-bit Windows DLL";

bool ReadOwnNeeds(const std::vector<uint8_t>& bytes, const std::string& path, ModuleFileFacts* facts,
    std::string* what)
{
    if (!StartsAsPe(bytes) || !ReadPeImports({bytes.data(), bytes.size()}, &facts->Needs, what)) {
        if (StartsAsElf(bytes))
            *what = "a Linux shared object; the native bench loads it";
        return false;
    }
    const std::string folder = FolderOf(path);
    for (const std::string& library : facts->Needs)
        if (!SystemFinds(library, folder))
            facts->Missing.push_back(library);
    return true;
}

void* OpenModuleFile(const std::string& path, std::string* error)
{
    // The module's own folder is searched first for what it needs, as the
    // simulator's gauges folder would be.
    HMODULE handle = LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (handle)
        return reinterpret_cast<void*>(handle);
    const DWORD code = GetLastError();
    // ERROR_BAD_EXE_FORMAT: the headers read above held together, but the
    // loader found the image itself unusable.
    if (code == ERROR_BAD_EXE_FORMAT)
        *error = "LoadLibrary refused " + path + ": it is not a loadable 32-bit Windows module, or it is cut "
            "short (error 193)";
    else
        *error = "LoadLibrary refused " + path + " (error " + std::to_string(code) + ")";
    return nullptr;
}

void* FindModuleExport(void* handle, const char* name)
{
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
}

void CloseModuleFile(void* handle)
{
    FreeLibrary(static_cast<HMODULE>(handle));
}
