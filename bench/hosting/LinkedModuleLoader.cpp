// The linked module's export directory and its open count. The exports are the
// two records the DLL exports by name; the gauge defines them and this table
// names them, as the DLL's export table does, through the host's contract
// alone.
#include "bench/hosting/LinkedModuleLoader.h"

#include "host/Records.h"
#include "platform/web/LinkedModule.h"

#include <string.h>

extern "C" ModuleLinkage Linkage;
extern "C" ModuleImports ImportTable;

namespace {

struct Export {
    const char* Name;
    void* Address;
};

const Export Exports[] = {
    {"Linkage", &Linkage},
    {"ImportTable", &ImportTable},
};

int Opens = 0;

} // namespace

void* OpenLinkedModule(const char* path)
{
    if (!IsLinkedModuleName(path))
        return nullptr;
    if (Opens++ == 0)
        SetLinkedModuleLoaded(true);
    return LinkedModuleHandle();
}

void CloseLinkedModule(void* module)
{
    if (!module || module != LinkedModuleHandle() || Opens == 0)
        return;
    if (--Opens == 0)
        SetLinkedModuleLoaded(false);
}

void* LinkedModuleSymbol(void* module, const char* name)
{
    if (!module || module != LinkedModuleHandle() || !name)
        return nullptr;
    for (const Export& entry : Exports)
        if (strcmp(entry.Name, name) == 0)
            return entry.Address;
    return nullptr;
}
