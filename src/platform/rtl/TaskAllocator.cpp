#include "platform/rtl/TaskAllocator.h"

#include <cstdlib>
#include <mutex>
#include <unordered_map>

namespace {

// Lives as long as the process; references are not counted.
class TTaskAllocator final : public IMalloc {
public:
    HRESULT QueryInterface(const TGUID& iid, void** obj) override {
        if (iid == IMalloc::IID || iid == IInterface::IID) {
            *obj = static_cast<IMalloc*>(this);
            return S_OK;
        }
        *obj = nullptr;
        return E_NOINTERFACE;
    }
    int32_t _AddRef() override { return -1; }
    int32_t _Release() override { return -1; }

    void* Alloc(size_t size) override {
        void* p = std::malloc(size ? size : 1);
        if (!p) return nullptr;
        std::lock_guard guard(lock_);
        blocks_[p] = size;
        return p;
    }

    void* Realloc(void* p, size_t size) override {
        if (!p) return Alloc(size);
        std::lock_guard guard(lock_);
        const auto it = blocks_.find(p);
        if (it == blocks_.end()) return nullptr;
        if (size == 0) {
            blocks_.erase(it);
            std::free(p);
            return nullptr;
        }
        void* moved = std::realloc(p, size);
        if (!moved) return nullptr;
        blocks_.erase(it);
        blocks_[moved] = size;
        return moved;
    }

    void Free(void* p) override {
        std::lock_guard guard(lock_);
        if (p && blocks_.erase(p)) std::free(p);
    }

    size_t GetSize(void* p) override {
        std::lock_guard guard(lock_);
        const auto it = blocks_.find(p);
        return it == blocks_.end() ? SIZE_MAX : it->second;
    }

    int DidAlloc(void* p) override {
        if (!p) return -1;
        std::lock_guard guard(lock_);
        return blocks_.contains(p) ? 1 : 0;
    }

    void HeapMinimize() override {}

private:
    std::mutex lock_;
    std::unordered_map<void*, size_t> blocks_;
};

TTaskAllocator& Allocator() {
    // Never destroyed: blocks may be freed by static destructors of other units.
    static TTaskAllocator* const allocator = new TTaskAllocator;
    return *allocator;
}

} // namespace

HRESULT SHGetMalloc(TIntfPtr<IMalloc>& malloc) {
    malloc = &Allocator();
    return S_OK;
}

void* CoTaskMemAlloc(size_t size) { return Allocator().Alloc(size); }
void* CoTaskMemRealloc(void* p, size_t size) { return Allocator().Realloc(p, size); }
void CoTaskMemFree(void* p) { Allocator().Free(p); }
