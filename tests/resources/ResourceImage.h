// Reads one of the module's resources as the host and the sound layer do:
// FindResourceA, LoadResource and LockResource on the program itself, which
// links the same resources as Lumivane.gau.
#ifndef LUMIVANE_TESTS_RESOURCES_RESOURCEIMAGE_H
#define LUMIVANE_TESTS_RESOURCES_RESOURCEIMAGE_H

#include "platform/Platform.h"

#include <stdint.h>

struct ResourceImage {
    const BYTE* Bytes = nullptr;
    DWORD Size = 0;

    static ResourceImage Find(LPCSTR name, LPCSTR type)
    {
        ResourceImage image;
        HRSRC found = FindResourceA(nullptr, name, type);
        if (!found)
            return image;
        HGLOBAL loaded = LoadResource(nullptr, found);
        image.Bytes = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
        image.Size = SizeofResource(nullptr, found);
        return image;
    }

    uint16_t U16(DWORD at) const { return uint16_t(Bytes[at] | Bytes[at + 1] << 8); }
    uint32_t U32(DWORD at) const { return uint32_t(U16(at)) | uint32_t(U16(at + 2)) << 16; }
    int32_t I32(DWORD at) const { return int32_t(U32(at)); }
};

#endif
