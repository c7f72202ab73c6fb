#pragma once
// A table of objects reached through generational handles. Looking a handle up
// takes no lock and is safe from any thread: a stale handle (its slot reused or
// emptied) finds nothing. Adding and removing happen under the caller's lock.
// Freed slots are reused oldest first, so a handle goes stale for as long as
// possible before its index comes back with a new generation.

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

#include "platform/rtl/Exceptions.h"
#include "platform/win/Types.h"

template <class T, class Handle>
class THandleTable {
public:
    THandleTable() = default;
    THandleTable(const THandleTable&) = delete;
    THandleTable& operator=(const THandleTable&) = delete;
    ~THandleTable() {
        for (auto& chunk : chunks_) delete[] chunk.load(std::memory_order_relaxed);
    }

    // Caller holds the table's lock. Raises EOutOfMemory when every slot is taken.
    // Owner tags the object (the owning thread's queue) for FindOwned.
    Handle Add(T* object, const void* owner = nullptr) {
        uint32_t index;
        if (freeCount_ > kReuseAfter) {
            index = freeHead_;
            freeHead_ = SlotAt(index).nextFree;
            --freeCount_;
        } else {
            if (size_ == kChunkSize * kMaxChunks) throw EOutOfMemory("Too many handles");
            index = size_++;
            if ((index & (kChunkSize - 1)) == 0)
                chunks_[index / kChunkSize].store(new TSlot[kChunkSize], std::memory_order_release);
        }
        TSlot& slot = SlotAt(index);
        slot.lastGeneration = slot.lastGeneration == kMaxHandleGeneration ? 1 : slot.lastGeneration + 1;
        slot.object.store(object, std::memory_order_relaxed);
        slot.owner.store(owner, std::memory_order_relaxed);
        slot.generation.store(slot.lastGeneration, std::memory_order_release);
        return MakeHandle<Handle>(index, slot.lastGeneration);
    }

    // Caller holds the table's lock; the handle must be live.
    void Remove(Handle handle) noexcept {
        const uint32_t index = HandleIndex(handle);
        TSlot& slot = SlotAt(index);
        slot.generation.store(0, std::memory_order_release);
        slot.object.store(nullptr, std::memory_order_relaxed);
        slot.owner.store(nullptr, std::memory_order_relaxed);
        slot.nextFree = 0;
        if (freeCount_ == 0)
            freeHead_ = index;
        else
            SlotAt(freeTail_).nextFree = index;
        freeTail_ = index;
        ++freeCount_;
    }

    // The object, or null for null, a marker, a stale or a removed handle.
    // Dereferencing it is safe only under the lock or for its owner.
    T* Find(Handle handle) const noexcept { return Lookup(handle, nullptr, false); }

    // The object when its owner tag is Owner: safe for the owner without a lock,
    // as only the owner removes it.
    T* FindOwned(Handle handle, const void* owner) const noexcept { return Lookup(handle, owner, true); }

private:
    T* Lookup(Handle handle, const void* owner, bool checkOwner) const noexcept {
        const uint32_t generation = HandleGeneration(handle);
        if (generation == 0) return nullptr;
        const uint32_t index = HandleIndex(handle);
        if (index >= kChunkSize * kMaxChunks) return nullptr;
        const TSlot* chunk = chunks_[index / kChunkSize].load(std::memory_order_acquire);
        if (!chunk) return nullptr;
        const TSlot& slot = chunk[index & (kChunkSize - 1)];
        if (slot.generation.load(std::memory_order_acquire) != generation) return nullptr;
        if (checkOwner && (!owner || slot.owner.load(std::memory_order_acquire) != owner)) return nullptr;
        T* object = slot.object.load(std::memory_order_acquire);
        // Re-reading the generation rules out a slot reused between the two loads.
        if (slot.generation.load(std::memory_order_acquire) != generation) return nullptr;
        return object;
    }

    static constexpr uint32_t kChunkSize = 4096;
    static constexpr uint32_t kMaxChunks = 4096;
    static constexpr uint32_t kReuseAfter = 256;

    struct TSlot {
        std::atomic<uint32_t> generation{0};
        std::atomic<T*> object{nullptr};
        std::atomic<const void*> owner{nullptr};
        uint32_t lastGeneration = 0; // under the lock
        uint32_t nextFree = 0;
    };

    TSlot& SlotAt(uint32_t index) const noexcept {
        return chunks_[index / kChunkSize].load(std::memory_order_relaxed)[index & (kChunkSize - 1)];
    }

    std::array<std::atomic<TSlot*>, kMaxChunks> chunks_{};
    uint32_t size_ = 0;
    uint32_t freeHead_ = 0, freeTail_ = 0, freeCount_ = 0;
};
