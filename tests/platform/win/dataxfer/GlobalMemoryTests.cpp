#include <gtest/gtest.h>

#include <cstring>
#include <limits>

#include "platform/win/dataxfer/DataTransfer.h"
#include "platform/win/dataxfer/Media.h"

namespace {

TEST(GlobalMemoryTest, ZeroInitLockCountsAndFree) {
    HGLOBAL memory = GlobalAlloc(GHND, 16);
    ASSERT_NE(memory, nullptr);
    EXPECT_EQ(GlobalSize(memory), 16u);
    auto* first = static_cast<uint8_t*>(GlobalLock(memory));
    ASSERT_NE(first, nullptr);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(first[i], 0);
    EXPECT_EQ(GlobalLock(memory), first);
    EXPECT_TRUE(GlobalUnlock(memory));  // still locked once
    EXPECT_FALSE(GlobalUnlock(memory)); // now unlocked
    EXPECT_FALSE(GlobalUnlock(memory)); // was not locked
    EXPECT_EQ(GlobalFree(memory), nullptr);
    EXPECT_EQ(GlobalSize(memory), 0u);
    EXPECT_EQ(GlobalLock(memory), nullptr);
    EXPECT_EQ(GlobalFree(memory), memory); // a freed handle is refused
}

TEST(GlobalMemoryTest, ImpossibleSizesAnswerNull) {
    EXPECT_EQ(GlobalAlloc(GMEM_MOVEABLE, std::numeric_limits<SIZE_T>::max()), nullptr);
    EXPECT_EQ(GlobalAlloc(GMEM_MOVEABLE, kMaxGlobalSize + 1), nullptr);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, 4);
    EXPECT_EQ(GlobalReAlloc(memory, std::numeric_limits<SIZE_T>::max(), GMEM_MOVEABLE), nullptr);
    EXPECT_EQ(GlobalSize(memory), 4u);
    GlobalFree(memory);
}

TEST(GlobalMemoryTest, ReAllocKeepsContentZeroesGrowthAndRefusesToMoveALockedBlock) {
    HGLOBAL memory = GlobalFromBytes("abcd");
    ASSERT_EQ(GlobalReAlloc(memory, 8, GMEM_MOVEABLE | GMEM_ZEROINIT), memory);
    EXPECT_EQ(*BytesOfGlobal(memory), (TBytes{'a', 'b', 'c', 'd', 0, 0, 0, 0}));
    void* locked = GlobalLock(memory);
    EXPECT_EQ(GlobalReAlloc(memory, 1 << 20, GMEM_MOVEABLE), nullptr);
    EXPECT_EQ(GlobalReAlloc(memory, 2, GMEM_MOVEABLE), memory); // shrinking stays in place
    EXPECT_EQ(GlobalLock(memory), locked);
    GlobalUnlock(memory);
    GlobalUnlock(memory);
    EXPECT_EQ(*BytesOfGlobal(memory), (TBytes{'a', 'b'}));
    EXPECT_EQ(GlobalReAlloc(memory, 0, GMEM_MOVEABLE), memory);
    EXPECT_EQ(GlobalSize(memory), 0u);
    EXPECT_NE(GlobalLock(memory), nullptr); // an empty block still locks
    GlobalFree(memory);
}

} // namespace
