#include "platform/rtl/TaskAllocator.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace {

TEST(TaskAllocator, ShellAllocatorAndTaskMemoryShareTheirBlocks) {
    TIntfPtr<IMalloc> malloc;
    ASSERT_EQ(SHGetMalloc(malloc), S_OK);
    TIntfPtr<IMalloc> again;
    SHGetMalloc(again);
    EXPECT_EQ(malloc, again);

    void* block = CoTaskMemAlloc(24);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(malloc->DidAlloc(block), 1);
    EXPECT_EQ(malloc->GetSize(block), 24u);
    std::memset(block, 7, 24);
    block = malloc->Realloc(block, 4096);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(static_cast<uint8_t*>(block)[23], 7);
    EXPECT_EQ(malloc->GetSize(block), 4096u);
    CoTaskMemFree(block);
    EXPECT_EQ(malloc->DidAlloc(block), 0);
    EXPECT_EQ(malloc->GetSize(block), SIZE_MAX);

    void* empty = malloc->Alloc(0);
    EXPECT_NE(empty, nullptr);
    EXPECT_EQ(malloc->GetSize(empty), 0u);
    EXPECT_EQ(malloc->Realloc(empty, 0), nullptr);
    EXPECT_EQ(malloc->DidAlloc(empty), 0);
}

TEST(TaskAllocator, ForeignPointersAreLeftAlone) {
    TIntfPtr<IMalloc> malloc;
    SHGetMalloc(malloc);
    int local = 5;
    EXPECT_EQ(malloc->DidAlloc(&local), 0);
    EXPECT_EQ(malloc->DidAlloc(nullptr), -1);
    EXPECT_EQ(malloc->Realloc(&local, 16), nullptr);
    malloc->Free(&local);
    CoTaskMemFree(nullptr);
    EXPECT_EQ(local, 5);
    void* fresh = CoTaskMemRealloc(nullptr, 8);
    EXPECT_EQ(malloc->DidAlloc(fresh), 1);
    malloc->Free(fresh);
}

} // namespace
