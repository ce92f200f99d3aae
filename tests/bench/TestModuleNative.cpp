// The native half of TestModule.h: dlopen of the module the build made,
// whose path CMake passes in as LUMIVANE_NATIVE_MODULE.
#include "TestModule.h"

#include <dlfcn.h>

void* LoadTestModule()
{
    static void* module = dlopen(LUMIVANE_NATIVE_MODULE, RTLD_NOW | RTLD_LOCAL);
    return module;
}

const ModuleLinkage* TestModuleLinkage(void* module)
{
    return module ? static_cast<const ModuleLinkage*>(dlsym(module, "Linkage")) : nullptr;
}

void* TestProgramHandle()
{
    static void* program = dlopen(nullptr, RTLD_NOW);
    return program;
}
