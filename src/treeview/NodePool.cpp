#include "treeview/NodePool.h"

#include <algorithm>
#include <cstring>

#include "platform/rtl/Exceptions.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define NODE_POOL_POISON(p, n) ASAN_POISON_MEMORY_REGION(p, n)
#define NODE_POOL_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION(p, n)
#else
#define NODE_POOL_POISON(p, n) static_cast<void>(0)
#define NODE_POOL_UNPOISON(p, n) static_cast<void>(0)
#endif

namespace {
// Slabs of about 256 KiB: few allocations for a million nodes, little waste for a small tree's first one.
constexpr std::size_t kNodeSlabBytes = 256 * 1024;
// A small tree does not pay for a whole slab: the first slabs grow from this many blocks.
constexpr std::size_t kFirstSlabBlocks = 16;
} // namespace

TNodePool::~TNodePool() { ReleaseSlabs(); }

void TNodePool::SetBlockSize(std::size_t size) {
    RTL_ASSERT(inUse_ == 0, "Node blocks are resized only while none is in use.");
    size = std::max<std::size_t>((size + 7) & ~std::size_t(7), sizeof(TFreeBlock));
    if (size == blockSize_) return;
    ReleaseSlabs();
    blockSize_ = size;
    blocksPerSlab_ = kFirstSlabBlocks;
}

void TNodePool::AddSlab() {
    const std::size_t blocks = blocksPerSlab_;
    auto slab = std::make_unique_for_overwrite<std::byte[]>(blocks * blockSize_);
    slabCursor_ = slab.get();
    slabEnd_ = slabCursor_ + blocks * blockSize_;
    NODE_POOL_POISON(slabCursor_, blocks * blockSize_);
    slabs_.push_back({std::move(slab), blocks * blockSize_});
    blocksPerSlab_ = std::min(blocks * 2, std::max<std::size_t>(kNodeSlabBytes / blockSize_, kFirstSlabBlocks));
}

void* TNodePool::Allocate() {
    RTL_ASSERT(blockSize_ != 0, "The node block size is not set.");
    void* block;
    if (freeList_) {
        NODE_POOL_UNPOISON(freeList_, blockSize_);
        block = freeList_;
        freeList_ = freeList_->next;
    } else {
        if (slabCursor_ == slabEnd_) AddSlab();
        block = slabCursor_;
        slabCursor_ += blockSize_;
        NODE_POOL_UNPOISON(block, blockSize_);
    }
    std::memset(block, 0, blockSize_);
    ++inUse_;
    return block;
}

void TNodePool::Free(void* block) noexcept {
    if (!block) return;
    auto* freed = static_cast<TFreeBlock*>(block);
    freed->next = freeList_;
    freeList_ = freed;
    NODE_POOL_POISON(block, blockSize_);
    if (--inUse_ == 0) ReleaseSlabs();
}

void TNodePool::ReleaseSlabs() noexcept {
    for (auto& slab : slabs_) NODE_POOL_UNPOISON(slab.data.get(), slab.bytes);
    slabs_.clear();
    slabCursor_ = slabEnd_ = nullptr;
    freeList_ = nullptr;
    blocksPerSlab_ = kFirstSlabBlocks;
}
