#pragma once
// The blocks of one tree's nodes. All nodes of a tree have one size (header,
// internal area, user area), so blocks are cut from large slabs and a freed
// block goes on a free list: a node costs no allocation of its own and no
// allocator header. Blocks come zero-filled. Under AddressSanitizer a freed
// block is poisoned, so a stale node pointer is still reported.

#include <cstddef>
#include <memory>
#include <vector>

class TNodePool {
public:
    TNodePool() = default;
    TNodePool(const TNodePool&) = delete;
    TNodePool& operator=(const TNodePool&) = delete;
    ~TNodePool();

    // Only while no block is in use; the size is rounded up to 8.
    void SetBlockSize(std::size_t size);
    std::size_t BlockSize() const noexcept { return blockSize_; }

    void* Allocate();
    void Free(void* block) noexcept;
    std::size_t BlocksInUse() const noexcept { return inUse_; }

private:
    struct TFreeBlock {
        TFreeBlock* next;
    };
    struct TSlab {
        std::unique_ptr<std::byte[]> data;
        std::size_t bytes;
    };
    void AddSlab();
    void ReleaseSlabs() noexcept;

    std::size_t blockSize_ = 0;
    std::size_t blocksPerSlab_ = 0;
    std::vector<TSlab> slabs_;
    std::byte* slabCursor_ = nullptr;   // next never-used block of the newest slab
    std::byte* slabEnd_ = nullptr;
    TFreeBlock* freeList_ = nullptr;
    std::size_t inUse_ = 0;
};
