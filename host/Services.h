// The host's service table as a gauge module reaches it: the host writes the
// table's address into the module's ImportTable, and entry n lies at byte
// offset 4 * n. These are the entries a gauge of this kind calls, with the
// form of each (host/RoutineForms.h); a host serves at least these.
#ifndef LUMIVANE_HOST_SERVICES_H
#define LUMIVANE_HOST_SERVICES_H

#include <stdint.h>

enum HostService : uint32_t {
    ElementTreeQuery = 24,      // ElementService: the first element of the header's list
    ElementTreeInstall = 25,    // ElementValueService: background, install value;
                                // fills the background's host-filled pointer
    ElementTreeInitialize = 26, // ElementService: background
    ElementTreeUpdate = 27,     // ElementService: background
    ElementTreeGenerate = 28,   // ElementValueService: background, generate value
    ElementTreeDraw = 29,       // ElementService: background
    ElementTreeRelease = 31,    // ElementService: background
    MouseAreasInstall = 32,     // AreaInstallService: areas, header, host-filled pointer + 4
    MouseAreasRegister = 33,    // AreaService: areas, header
    MouseAreasUnregister = 34,  // AreaService: areas, header
    VariableLookup = 40,        // VariableService: writes the current value into the record
};

// Host variables a gauge of this kind asks for.
enum : int32_t {
    AirspeedVariableNumber = 61, // a 64-bit float, in the host's unit
};

#endif
