// What a DirectSound buffer holds, read through a lock that writes nothing
// back, for the tests of the software device and of the sound objects.
#ifndef LUMIVANE_TESTS_SUPPORT_BUFFERCONTENTS_H
#define LUMIVANE_TESTS_SUPPORT_BUFFERCONTENTS_H

#include "platform/Platform.h"

#include <gtest/gtest.h>

#include <vector>

inline std::vector<BYTE> Contents(LPDIRECTSOUNDBUFFER buffer)
{
    std::vector<BYTE> out;
    LPVOID p1 = nullptr, p2 = nullptr;
    DWORD n1 = 0, n2 = 0;
    EXPECT_EQ(buffer->Lock(0, 0, &p1, &n1, &p2, &n2, DSBLOCK_ENTIREBUFFER), DS_OK);
    if (!p1)
        return out;
    out.assign(static_cast<BYTE*>(p1), static_cast<BYTE*>(p1) + n1);
    if (n2)
        out.insert(out.end(), static_cast<BYTE*>(p2), static_cast<BYTE*>(p2) + n2);
    EXPECT_EQ(buffer->Unlock(p1, 0, p2, 0), DS_OK);
    return out;
}

#endif
