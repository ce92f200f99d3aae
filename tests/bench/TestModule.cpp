// TestModule.h through the bench's own loader, which reads the file first and
// loads it as a host does: the native shared object by its path in the build
// (LUMIVANE_NATIVE_MODULE), the DLL from beside the test program under Wine.
#include "tests/bench/TestModule.h"

#include "bench/hosting/ModuleFile.h"

#include <string>

#ifdef _WIN32
#include "ProgramFolder.h"

#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace {

const LoadedModule& Module()
{
    static const LoadedModule module = [] {
#ifdef _WIN32
        const std::string path = ProgramFolder() + "Lumivane.gau";
#else
        const std::string path = LUMIVANE_NATIVE_MODULE;
#endif
        LoadedModule loaded;
        std::string error;
        LoadModule(path, &loaded, &error);
        return loaded;
    }();
    return module;
}

} // namespace

void* LoadTestModule()
{
    return Module().Handle;
}

const ModuleLinkage* TestModuleLinkage(void* module)
{
    return module && module == Module().Handle ? Module().Linkage : nullptr;
}

void* TestProgramHandle()
{
#ifdef _WIN32
    return GetModuleHandleA(nullptr);
#else
    static void* program = dlopen(nullptr, RTLD_NOW);
    return program;
#endif
}
