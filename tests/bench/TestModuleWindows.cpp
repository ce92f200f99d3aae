// The windows half of TestModule.h: LoadLibrary of the copy of Lumivane.gau
// that the build puts beside the test program, by its full path so that no
// search order can pick up another.
#include "TestModule.h"

#include <windows.h>

#include <string>

void* LoadTestModule()
{
    static HMODULE module = [] {
        char path[MAX_PATH];
        const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
        std::string folder(path, length);
        folder.erase(folder.find_last_of("\\/") + 1);
        return LoadLibraryA((folder + "Lumivane.gau").c_str());
    }();
    return module;
}

const ModuleLinkage* TestModuleLinkage(void* module)
{
    return module ? reinterpret_cast<const ModuleLinkage*>(GetProcAddress(static_cast<HMODULE>(module), "Linkage"))
                  : nullptr;
}

void* TestProgramHandle()
{
    return GetModuleHandleA(nullptr);
}
