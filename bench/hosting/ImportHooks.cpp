// Import slot patching for a loaded PE image: the descriptors name each DLL,
// the original thunks name each function, and the bound thunks at the same
// index hold the addresses the module calls through. The image is the
// system's mapped copy, already validated by its loader, so its headers are
// read in place; the slot's page is made writable only for the one store.
#include "bench/hosting/ImportHooks.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <stdint.h>
#include <string.h>

int HookImports(void* module, ImportHook* hooks, int count)
{
    auto base = static_cast<const uint8_t*>(module);
    auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    auto nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!directory.VirtualAddress)
        return 0;
    int patched = 0;
    auto imports = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
    for (; imports->Name; ++imports) {
        const char* dll = reinterpret_cast<const char*>(base + imports->Name);
        // Without original thunks the names are gone once bound.
        if (!imports->OriginalFirstThunk)
            continue;
        auto names = reinterpret_cast<const IMAGE_THUNK_DATA32*>(base + imports->OriginalFirstThunk);
        auto slots = reinterpret_cast<IMAGE_THUNK_DATA32*>(const_cast<uint8_t*>(base) + imports->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL32(names->u1.Ordinal))
                continue;
            auto byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            const char* function = reinterpret_cast<const char*>(byName->Name);
            for (int h = 0; h < count; ++h) {
                ImportHook& hook = hooks[h];
                if (hook.Patched || lstrcmpiA(dll, hook.Dll) != 0 || strcmp(function, hook.Function) != 0)
                    continue;
                DWORD old;
                if (!VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &old))
                    continue;
                if (hook.Original)
                    *hook.Original = reinterpret_cast<void*>(slots->u1.Function);
                slots->u1.Function = reinterpret_cast<DWORD>(hook.Replacement);
                VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, old, &old);
                hook.Patched = true;
                ++patched;
            }
        }
    }
    return patched;
}
