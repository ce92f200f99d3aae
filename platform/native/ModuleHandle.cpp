// GetModuleHandleA natively: the module is found by its file name among the
// objects the dynamic linker has loaded.
#include "platform/Platform.h"

#include <dlfcn.h>
#include <link.h>
#include <string.h>
#include <strings.h>

namespace {

struct ModuleSearch {
    const char* name;
    const char* path;
};

int MatchModule(struct dl_phdr_info* info, size_t, void* data)
{
    ModuleSearch* search = static_cast<ModuleSearch*>(data);
    const char* path = info->dlpi_name;
    if (!path || !*path)
        return 0;
    const char* slash = strrchr(path, '/');
    const char* base = slash ? slash + 1 : path;
    if (strcasecmp(base, search->name) != 0)
        return 0;
    search->path = path;
    return 1;
}

} // namespace

extern "C" HMODULE GetModuleHandleA(LPCSTR name)
{
    if (!name)
        return nullptr;
    ModuleSearch search = {name, nullptr};
    dl_iterate_phdr(MatchModule, &search);
    if (!search.path)
        return nullptr;
    // RTLD_NOLOAD only finds what is already loaded; the handle stays valid for
    // as long as the object does, so the reference taken here is given back.
    void* handle = dlopen(search.path, RTLD_LAZY | RTLD_NOLOAD);
    if (handle)
        dlclose(handle);
    return static_cast<HMODULE>(handle);
}

