// Stand-ins for the Win32 calls the gauge makes outside the resource and sound
// calls, natively and in the web page; GetModuleHandleA is each one's own
// (native/ModuleHandle.cpp, web/LinkedModule.cpp). Each does what the gauge
// relies on and no more; where Windows has a limit the gauge could meet
// (wsprintfA's 1024 characters) it is kept.
#include "platform/Platform.h"

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
