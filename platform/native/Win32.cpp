// Native stand-ins for the Win32 calls the gauge makes outside the resource and
// sound calls. Each does what the gauge relies on and no more; where Windows
// has a limit the gauge could meet (wsprintfA's 1024 characters) it is kept.
#include "platform/Platform.h"

#include <dlfcn.h>
#include <link.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>

extern "C" int wsprintfA(LPSTR buffer, LPCSTR format, ...)
{
    // wsprintfA's buffer is at most 1024 bytes: 1023 characters and the zero.
    va_list args;
    va_start(args, format);
    int written = vsnprintf(buffer, 1024, format, args);
    va_end(args);
    if (written > 1023)
        written = 1023;
    return written;
}

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

extern "C" HWND GetActiveWindow(void)
{
    return nullptr;
}

extern "C" HLOCAL LocalAlloc(UINT flags, SIZE_T bytes)
{
    // A zero-byte request still yields a distinct block, as on Windows.
    if (flags & LMEM_ZEROINIT)
        return calloc(1, bytes ? bytes : 1);
    return malloc(bytes ? bytes : 1);
}

extern "C" HLOCAL LocalFree(HLOCAL block)
{
    free(block);
    return nullptr;
}
