// Finds a resource of a loaded gauge module, the way the host loads the
// module's bitmaps: by type and by integer or string name. The windows build
// and the web page ask the system's resource calls; the native build reads the .res image in the module's
// resource section, which it finds from the module's file. Either way the
// bytes stay inside the loaded module and are valid while it stays loaded.
#ifndef LUMIVANE_BENCH_MODULERESOURCES_H
#define LUMIVANE_BENCH_MODULERESOURCES_H

#include <stdint.h>

struct ModuleResource {
    const uint8_t* Bytes; // inside the loaded module; valid while loaded
    uint32_t Size;
};

// `module`: the HMODULE (windows build) or the dlopen handle (native build)
// of a loaded gauge module. False, with `out` cleared, when the module has no
// such resource.
bool FindModuleResource(void* module, uint16_t type, uint16_t id, ModuleResource* out); // integer name (bitmaps: type 2)
bool FindModuleResource(void* module, uint16_t type, const char* name,
    ModuleResource* out); // string name, case-insensitive (type 10: a wave by its name)

#endif
