// The linked modules' export directories and their open counts. The gauge's
// exports are the two records the DLL exports by name; the gauge defines them
// and this table names them, as the DLL's export table does, through the
// host's contract alone. Another module's exports are handed over by the
// program that links it in.
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

// Every linked module exports the same two names.
constexpr int ExportCount = 2;

const Export Exports[ExportCount] = {
    {"Linkage", &Linkage},
    {"ImportTable", &ImportTable},
};

int Opens = 0;

// A module linked in beside the gauge; its handle is its record's address.
struct OtherModule {
    const char* Name;
    Export Exports[ExportCount];
    int Opens;
};

OtherModule Others[MostLinkedModules];
int OtherCount = 0;

OtherModule* OtherNamed(const char* path)
{
    for (int i = 0; i < OtherCount; ++i)
        if (IsModuleFileName(path, Others[i].Name))
            return &Others[i];
    return nullptr;
}

// The other module a handle stands for, while it is loaded.
OtherModule* LoadedOther(void* module)
{
    for (int i = 0; i < OtherCount; ++i)
        if (module == &Others[i] && Others[i].Opens > 0)
            return &Others[i];
    return nullptr;
}

void* Find(const Export* exports, const char* name)
{
    for (int i = 0; i < ExportCount; ++i)
        if (strcmp(exports[i].Name, name) == 0)
            return exports[i].Address;
    return nullptr;
}

} // namespace

bool LinkModule(const char* name, void* linkage, void* imports)
{
    if (!name || !linkage || !imports || IsLinkedModule(name) || OtherCount == MostLinkedModules)
        return false;
    Others[OtherCount++] = {name, {{"Linkage", linkage}, {"ImportTable", imports}}, 0};
    return true;
}

bool IsLinkedModule(const char* path)
{
    return IsLinkedModuleName(path) || OtherNamed(path);
}

void* OpenLinkedModule(const char* path)
{
    if (OtherModule* other = OtherNamed(path)) {
        ++other->Opens;
        return other;
    }
    if (!IsLinkedModuleName(path))
        return nullptr;
    if (Opens++ == 0)
        SetLinkedModuleLoaded(true);
    return LinkedModuleHandle();
}

void CloseLinkedModule(void* module)
{
    if (OtherModule* other = LoadedOther(module)) {
        --other->Opens;
        return;
    }
    if (!module || module != LinkedModuleHandle() || Opens == 0)
        return;
    if (--Opens == 0)
        SetLinkedModuleLoaded(false);
}

void* LinkedModuleSymbol(void* module, const char* name)
{
    if (!module || !name)
        return nullptr;
    if (OtherModule* other = LoadedOther(module))
        return Find(other->Exports, name);
    return module == LinkedModuleHandle() ? Find(Exports, name) : nullptr;
}
