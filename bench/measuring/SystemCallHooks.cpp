// The counting replacements. Each has the form of the function it stands in
// for (LocalAlloc, LocalFree and DirectSoundCreate are callee-cleans, the
// stream functions of msvcrt caller-cleans), counts, and calls what the slot
// held when it was hooked. Blocks are followed in bytes as the system sizes
// them (LocalSize), at the allocation and at the free alike.
#include "bench/measuring/SystemCallHooks.h"

#include "bench/hosting/ImportHooks.h"
#include "platform/Platform.h"

#include <stdio.h>

namespace {

typedef HLOCAL(WINAPI* LocalAllocFunction)(UINT, SIZE_T);
typedef HLOCAL(WINAPI* LocalFreeFunction)(HLOCAL);
typedef FILE*(__cdecl* FopenFunction)(const char*, const char*);
typedef int(__cdecl* FgetcFunction)(FILE*);
typedef int(__cdecl* FputsFunction)(const char*, FILE*);
typedef int(__cdecl* FcloseFunction)(FILE*);
typedef HRESULT(WINAPI* CreateFunction)(LPCGUID, LPDIRECTSOUND*, LPUNKNOWN);

LocalAllocFunction NextLocalAlloc;
LocalFreeFunction NextLocalFree;
FopenFunction NextFopen;
FgetcFunction NextFgetc;
FputsFunction NextFputs;
FcloseFunction NextFclose;
CreateFunction NextCreate;

HLOCAL WINAPI CountedLocalAlloc(UINT flags, SIZE_T bytes)
{
    ++GaugeCalls.LocalAlloc;
    HLOCAL block = NextLocalAlloc(flags, bytes);
    if (block)
        NoteBlockAllocated(int64_t(LocalSize(block)));
    return block;
}

HLOCAL WINAPI CountedLocalFree(HLOCAL block)
{
    ++GaugeCalls.LocalFree;
    if (block)
        NoteBlockFreed(int64_t(LocalSize(block)));
    return NextLocalFree(block);
}

FILE* __cdecl CountedFopen(const char* path, const char* mode)
{
    ++GaugeCalls.Fopen;
    FILE* stream = NextFopen(path, mode);
    if (!stream)
        ++GaugeCalls.FailedFopen;
    return stream;
}

int __cdecl CountedFgetc(FILE* stream)
{
    ++GaugeCalls.Fgetc;
    return NextFgetc(stream);
}

int __cdecl CountedFputs(const char* text, FILE* stream)
{
    ++GaugeCalls.Fputs;
    return NextFputs(text, stream);
}

int __cdecl CountedFclose(FILE* stream)
{
    ++GaugeCalls.Fclose;
    return NextFclose(stream);
}

HRESULT WINAPI CountedDirectSoundCreate(LPCGUID device, LPDIRECTSOUND* directSound, LPUNKNOWN outer)
{
    ++GaugeCalls.DirectSoundCreate;
    return NextCreate(device, directSound, outer);
}

template <typename Function>
ImportHook Hook(const char* dll, const char* name, Function replacement, Function* next)
{
    return {dll, name, reinterpret_cast<void*>(replacement), reinterpret_cast<void**>(next), false};
}

} // namespace

int CountModuleCalls(void* module)
{
    ImportHook hooks[CountedCalls] = {
        Hook("kernel32.dll", "LocalAlloc", &CountedLocalAlloc, &NextLocalAlloc),
        Hook("kernel32.dll", "LocalFree", &CountedLocalFree, &NextLocalFree),
        Hook("msvcrt.dll", "fopen", &CountedFopen, &NextFopen),
        Hook("msvcrt.dll", "fgetc", &CountedFgetc, &NextFgetc),
        Hook("msvcrt.dll", "fputs", &CountedFputs, &NextFputs),
        Hook("msvcrt.dll", "fclose", &CountedFclose, &NextFclose),
        Hook("dsound.dll", "DirectSoundCreate", &CountedDirectSoundCreate, &NextCreate),
    };
    return HookImports(module, hooks, CountedCalls);
}

std::string DescribeCalls(const GaugeCallCounts& c)
{
    char text[200];
    snprintf(text, sizeof text,
             "LocalAlloc=%u LocalFree=%u fopen=%u failed-fopen=%u fgetc=%u fputs=%u fclose=%u DirectSoundCreate=%u",
             unsigned(c.LocalAlloc), unsigned(c.LocalFree), unsigned(c.Fopen), unsigned(c.FailedFopen),
             unsigned(c.Fgetc), unsigned(c.Fputs), unsigned(c.Fclose), unsigned(c.DirectSoundCreate));
    return text;
}
