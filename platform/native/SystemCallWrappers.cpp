// Counting the gauge's calls to the system in the native build, by the
// linker's --wrap: in a program linked through lumivane_count_gauge_calls
// (platform/CMakeLists.txt), every call that its own objects make to one of
// these functions comes here first, is counted, and goes on to the real one.
// Calls from shared libraries are not seen, and calls from the test program
// itself are, so tests read the counts around the gauge's calls only.
#include "platform/CallCounts.h"
#include "platform/Platform.h"

#include <stdio.h>

namespace {

// The blocks LocalAlloc handed out, with their sizes, so that a free can be
// counted in bytes. The gauge holds two at a time; a test that leaks on
// purpose holds a few more.
struct LiveBlock {
    void* Block;
    SIZE_T Bytes;
};
LiveBlock Live[64];

void Remember(void* block, SIZE_T bytes)
{
    NoteBlockAllocated(int64_t(bytes));
    for (LiveBlock& live : Live) {
        if (!live.Block) {
            live = {block, bytes};
            return;
        }
    }
}

void Forget(void* block)
{
    for (LiveBlock& live : Live) {
        if (live.Block == block) {
            NoteBlockFreed(int64_t(live.Bytes));
            live = {nullptr, 0};
            return;
        }
    }
}

} // namespace

extern "C" {

HLOCAL __real_LocalAlloc(UINT flags, SIZE_T bytes);
HLOCAL __real_LocalFree(HLOCAL block);
FILE* __real_fopen(const char* path, const char* mode);
int __real_fgetc(FILE* stream);
int __real_fputs(const char* text, FILE* stream);
int __real_fclose(FILE* stream);
HRESULT __real_DirectSoundCreate(LPCGUID device, LPDIRECTSOUND* directSound, LPUNKNOWN outer);

HLOCAL __wrap_LocalAlloc(UINT flags, SIZE_T bytes)
{
    ++GaugeCalls.LocalAlloc;
    HLOCAL block = __real_LocalAlloc(flags, bytes);
    if (block)
        Remember(block, bytes);
    return block;
}

HLOCAL __wrap_LocalFree(HLOCAL block)
{
    ++GaugeCalls.LocalFree;
    if (block)
        Forget(block);
    return __real_LocalFree(block);
}

FILE* __wrap_fopen(const char* path, const char* mode)
{
    ++GaugeCalls.Fopen;
    FILE* stream = __real_fopen(path, mode);
    if (!stream)
        ++GaugeCalls.FailedFopen;
    return stream;
}

int __wrap_fgetc(FILE* stream)
{
    ++GaugeCalls.Fgetc;
    return __real_fgetc(stream);
}

int __wrap_fputs(const char* text, FILE* stream)
{
    ++GaugeCalls.Fputs;
    return __real_fputs(text, stream);
}

int __wrap_fclose(FILE* stream)
{
    ++GaugeCalls.Fclose;
    return __real_fclose(stream);
}

HRESULT __wrap_DirectSoundCreate(LPCGUID device, LPDIRECTSOUND* directSound, LPUNKNOWN outer)
{
    ++GaugeCalls.DirectSoundCreate;
    return __real_DirectSoundCreate(device, directSound, outer);
}

} // extern "C"
