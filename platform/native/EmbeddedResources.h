// The shape of the native build's resource table, shared by the stand-in
// resource calls (platform/native/Resources.cpp) and the table generated from
// Lumivane.rc at build time. Windows builds never see it: their resources are
// in the image itself.
#ifndef LUMIVANE_PLATFORM_NATIVE_EMBEDDEDRESOURCES_H
#define LUMIVANE_PLATFORM_NATIVE_EMBEDDEDRESOURCES_H

#include "platform/Platform.h"

// One embedded resource; HRSRC points at one of these.
struct NativeResource {
    WORD Type;         // RT_BITMAP (2) or RT_RCDATA (10)
    WORD Id;           // integer name, or 0 for a string name
    const char* Name;  // upper-case string name, or null for an integer name
    const BYTE* Bytes; // the resource image as Windows would map it; null ends the table
    DWORD Size;
};

// The table linked into this program, ended by an entry whose Bytes is null.
// lumivane_resources defines it; a program that links no resources gets the
// empty table of Resources.cpp and finds nothing, like a Windows program
// without a resource section.
const NativeResource* EmbeddedResourceTable();

#endif
