// LocalAlloc and LocalFree as the gauge may call them: the native stand-in
// must agree with the real calls. Every request, zero bytes included, gets a
// block of its own; LMEM_ZEROINIT's is zeroed.
#include "platform/Platform.h"

#include <gtest/gtest.h>

#include <string.h>

#include <vector>

TEST(LocalMemory, EveryRequestGetsABlockOfItsOwn)
{
    std::vector<HLOCAL> blocks;
    for (const UINT flags : {UINT(LMEM_FIXED), UINT(LPTR)})
        for (const SIZE_T bytes : {SIZE_T(0), SIZE_T(1), SIZE_T(64), SIZE_T(4096)}) {
            HLOCAL block = LocalAlloc(flags, bytes);
            ASSERT_NE(block, nullptr) << flags << " " << bytes;
            for (HLOCAL other : blocks)
                EXPECT_NE(block, other) << flags << " " << bytes;
            if (flags & LMEM_ZEROINIT) {
                const std::vector<char> zeros(bytes + 1, 0);
                EXPECT_EQ(memcmp(block, zeros.data(), bytes), 0) << bytes;
            }
            memset(block, 0x5A, bytes); // the block is the caller's to write
            blocks.push_back(block);
        }
    for (HLOCAL block : blocks)
        EXPECT_EQ(LocalFree(block), nullptr);
}
