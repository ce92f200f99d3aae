// Web stand-ins for the Win32 calls the gauge makes outside the resource and
// sound calls: those of platform/native/Win32.cpp, with the module handle
// taken from the linked module (platform/web/LinkedModule.h) instead of the
// dynamic linker's list, which a page does not have.
#include "platform/Platform.h"
#include "platform/web/LinkedModule.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>

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

// Like Windows, only a module that is loaded has a handle; its name is
// compared without regard to case.
extern "C" HMODULE GetModuleHandleA(LPCSTR name)
{
    if (!name || !IsLinkedModuleName(name))
        return nullptr;
    return static_cast<HMODULE>(LinkedModuleHandle());
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
