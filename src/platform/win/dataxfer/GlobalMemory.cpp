#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_map>

#include "platform/win/dataxfer/GlobalBlocks.h"

namespace {

struct TBlock {
    uint8_t* data = nullptr; // malloc'ed, at least one byte
    size_t size = 0;
    UINT flags = 0;
    int locks = 0;
    uint64_t stamp = 0;
};

struct TGlobalHeap {
    std::mutex mutex;
    std::unordered_map<uintptr_t, TBlock> blocks;
    // Handles are never reused; they start above the marker range and the
    // window system's slot handles.
    uintptr_t next = uintptr_t{1} << 48;
    uint64_t stamps = 0;
};

TGlobalHeap& Heap() {
    static TGlobalHeap heap;
    return heap;
}

TBlock* Find(TGlobalHeap& heap, HGLOBAL memory) {
    auto it = heap.blocks.find(reinterpret_cast<uintptr_t>(memory));
    return it == heap.blocks.end() ? nullptr : &it->second;
}

bool SizeAllowed(uint64_t bytes) { return bytes <= kMaxGlobalSize; }

} // namespace

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes) {
    if (!SizeAllowed(bytes)) return nullptr;
    const size_t allocated = bytes ? bytes : 1;
    auto* data = static_cast<uint8_t*>(flags & GMEM_ZEROINIT ? std::calloc(allocated, 1) : std::malloc(allocated));
    if (!data) return nullptr;
    TGlobalHeap& heap = Heap();
    std::lock_guard lock(heap.mutex);
    const uintptr_t handle = heap.next;
    heap.next += 16;
    heap.blocks.emplace(handle, TBlock{data, bytes, flags, 0, ++heap.stamps});
    return reinterpret_cast<HGLOBAL>(handle);
}

HGLOBAL GlobalReAlloc(HGLOBAL memory, SIZE_T bytes, UINT flags) {
    TGlobalHeap& heap = Heap();
    std::lock_guard lock(heap.mutex);
    TBlock* block = Find(heap, memory);
    if (!block) return nullptr;
    if (flags & GMEM_MODIFY) {
        block->flags = (block->flags & ~GMEM_MOVEABLE) | (flags & GMEM_MOVEABLE);
        return memory;
    }
    if (!SizeAllowed(bytes)) return nullptr;
    if (bytes > block->size) {
        // A locked block cannot move: pointers to it are out.
        if (block->locks > 0) return nullptr;
        auto* data = static_cast<uint8_t*>(std::realloc(block->data, bytes));
        if (!data) return nullptr;
        if (flags & GMEM_ZEROINIT) std::memset(data + block->size, 0, bytes - block->size);
        block->data = data;
    }
    block->size = bytes;
    block->stamp = ++heap.stamps;
    return memory;
}

HGLOBAL GlobalFree(HGLOBAL memory) {
    TGlobalHeap& heap = Heap();
    std::lock_guard lock(heap.mutex);
    auto it = heap.blocks.find(reinterpret_cast<uintptr_t>(memory));
    if (it == heap.blocks.end()) return memory;
    std::free(it->second.data);
    heap.blocks.erase(it);
    return nullptr;
}

LPVOID GlobalLock(HGLOBAL memory) {
    TGlobalHeap& heap = Heap();
    std::lock_guard lock(heap.mutex);
    TBlock* block = Find(heap, memory);
    if (!block) return nullptr;
    ++block->locks;
    block->stamp = ++heap.stamps;
    return block->data;
}

BOOL GlobalUnlock(HGLOBAL memory) {
    TGlobalHeap& heap = Heap();
    std::lock_guard lock(heap.mutex);
    TBlock* block = Find(heap, memory);
    if (!block || block->locks == 0) return FALSE;
    return --block->locks > 0;
}

SIZE_T GlobalSize(HGLOBAL memory) {
    TGlobalHeap& heap = Heap();
    std::lock_guard lock(heap.mutex);
    const TBlock* block = Find(heap, memory);
    return block ? block->size : 0;
}

TGlobalView ViewGlobal(HGLOBAL memory) {
    TGlobalHeap& heap = Heap();
    std::lock_guard lock(heap.mutex);
    const TBlock* block = Find(heap, memory);
    if (!block) return {};
    return {block->data, block->size, block->stamp};
}
