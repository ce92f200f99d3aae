// The page's stand-ins that serve the gauge itself: GetModuleHandleA over the
// one module linked in, and where its resource image lies. Whether the module
// is loaded is all this file learns from the host's loader, through
// SetLinkedModuleLoaded; it never calls up into the host.
#include "platform/web/LinkedModule.h"

#include "platform/Platform.h"
#include "platform/native/ResourceImage.h"

#include <string.h>
#include <strings.h>

namespace {

// The handle is the address of this token; nothing else compares equal to it.
char Token;
bool Loaded = false;

} // namespace

bool IsModuleFileName(const char* path, const char* name)
{
    if (!path || !name)
        return false;
    const char* slash = strrchr(path, '/');
    const char* backslash = strrchr(path, '\\');
    const char* base = slash > backslash ? slash + 1 : backslash ? backslash + 1 : path;
    return strcasecmp(base, name) == 0;
}

bool IsLinkedModuleName(const char* path)
{
    return IsModuleFileName(path, LINKED_MODULE_NAME);
}

void SetLinkedModuleLoaded(bool loaded)
{
    Loaded = loaded;
}

void* LinkedModuleHandle(void)
{
    return Loaded ? &Token : nullptr;
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
