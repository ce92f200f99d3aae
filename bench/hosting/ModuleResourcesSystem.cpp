// FindModuleResource through the system's resource calls on the module
// handle, exactly as the simulator reaches the module's bitmaps: Windows's
// own in the windows build, and in the web page the stand-ins over the
// module linked into it (platform/native/Resources.cpp).
#include "bench/hosting/ModuleResources.h"

#include "platform/Platform.h"

namespace {

bool Find(void* module, uint16_t type, LPCSTR name, ModuleResource* out)
{
    *out = {nullptr, 0};
    HMODULE handle = static_cast<HMODULE>(module);
    HRSRC found = FindResourceA(handle, name, MAKEINTRESOURCEA(type));
    if (!found)
        return false;
    HGLOBAL loaded = LoadResource(handle, found);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes)
        return false;
    *out = {static_cast<const uint8_t*>(bytes), uint32_t(SizeofResource(handle, found))};
    return true;
}

} // namespace

bool FindModuleResource(void* module, uint16_t type, uint16_t id, ModuleResource* out)
{
    return Find(module, type, MAKEINTRESOURCEA(id), out);
}

bool FindModuleResource(void* module, uint16_t type, const char* name, ModuleResource* out)
{
    if (!name) {
        *out = {nullptr, 0};
        return false;
    }
    return Find(module, type, name, out);
}
