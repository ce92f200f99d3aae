// The stand-in for dlopen and dlsym over the module linked into the page. The
// exports are the two records the DLL exports by name; the gauge defines them
// (module/GaugeModule.cpp) and this table is the page's export directory.
#include "platform/web/LinkedModule.h"

#include "host/Records.h"
#include "platform/Platform.h"
#include "platform/native/ResourceImage.h"

#include <string.h>
#include <strings.h>

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

// The handle is the address of this token; nothing else compares equal to it.
char Token;
int Opens = 0;

} // namespace

bool IsLinkedModuleName(const char* path)
{
    if (!path)
        return false;
    const char* slash = strrchr(path, '/');
    const char* backslash = strrchr(path, '\\');
    const char* base = slash > backslash ? slash + 1 : backslash ? backslash + 1 : path;
    return strcasecmp(base, LINKED_MODULE_NAME) == 0;
}

void* OpenLinkedModule(const char* path)
{
    if (!IsLinkedModuleName(path))
        return nullptr;
    ++Opens;
    return &Token;
}

void CloseLinkedModule(void* module)
{
    if (module == &Token && Opens > 0)
        --Opens;
}

void* LinkedModuleHandle(void)
{
    return Opens > 0 ? &Token : nullptr;
}

void* LinkedModuleSymbol(void* module, const char* name)
{
    if (module != &Token || Opens == 0 || !name)
        return nullptr;
    for (const Export& entry : Exports)
        if (strcmp(entry.Name, name) == 0)
            return entry.Address;
    return nullptr;
}

const uint8_t* OwnResourceImage(size_t* size)
{
    *size = LinkedResourceImageSize;
    return LinkedResourceImage;
}

// GetModuleHandleA in the page: like Windows, only a module that is loaded has
// a handle, and its name is compared without regard to case.
extern "C" HMODULE GetModuleHandleA(LPCSTR name)
{
    if (!name || !IsLinkedModuleName(name))
        return nullptr;
    return static_cast<HMODULE>(LinkedModuleHandle());
}
