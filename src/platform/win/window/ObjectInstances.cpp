#include <array>
#include <cstdint>
#include <mutex>
#include <unordered_map>
#include <utility>

#include "platform/rtl/Exceptions.h"
#include "platform/win/core/Procedures.h"
#include "platform/win/window/Windows.h"

namespace {

// Each instance is one of a fixed pool of distinct functions, so it is a real
// WNDPROC that compares by value.
constexpr size_t kInstances = 4096;

struct TInstance {
    TWndMethod method;
    int references = 0; // the maker's until freed, plus one per installation
    int running = 0;    // calls in progress
    bool freed = true;  // by its maker (or never made)
    uint32_t nextFree = 0;
};

LRESULT CallInstance(size_t index, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

template <size_t I>
LRESULT Trampoline(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallInstance(I, hwnd, message, wParam, lParam);
}

template <size_t... I>
constexpr std::array<WNDPROC, sizeof...(I)> MakeTrampolines(std::index_sequence<I...>) {
    return {&Trampoline<I>...};
}

constexpr std::array<WNDPROC, kInstances> trampolines = MakeTrampolines(std::make_index_sequence<kInstances>());

class TPool {
public:
    TPool() {
        for (size_t i = 0; i < kInstances; ++i) {
            indexOf_.emplace(trampolines[i], i);
            items_[i].nextFree = uint32_t(i + 1);
        }
        freeHead_ = 0;
        freeTail_ = kInstances - 1;
        freeCount_ = kInstances;
    }

    TInstance& operator[](size_t i) noexcept { return items_[i]; }

    // -1 for a procedure that is no instance.
    ptrdiff_t IndexOf(WNDPROC proc) const noexcept {
        const auto it = indexOf_.find(proc);
        return it == indexOf_.end() ? -1 : ptrdiff_t(it->second);
    }

    size_t Take() {
        std::lock_guard lock(mutex_);
        if (freeCount_ == 0) throw EOutOfMemory("Too many object instances");
        const size_t index = freeHead_;
        freeHead_ = items_[index].nextFree;
        --freeCount_;
        return index;
    }

    // Puts an unused instance at the end of the free list, so its function is
    // handed out again as late as possible.
    void Give(size_t index) {
        std::lock_guard lock(mutex_);
        if (freeCount_ == 0)
            freeHead_ = uint32_t(index);
        else
            items_[freeTail_].nextFree = uint32_t(index);
        freeTail_ = uint32_t(index);
        ++freeCount_;
    }

private:
    std::mutex mutex_;
    std::array<TInstance, kInstances> items_;
    std::unordered_map<WNDPROC, size_t> indexOf_;
    uint32_t freeHead_ = 0, freeTail_ = 0, freeCount_ = 0;
};

TPool& Pool() {
    static TPool* pool = new TPool; // instances may run during static destruction
    return *pool;
}

// Drops what an instance no longer needs once no call of it runs.
void Settle(size_t index) {
    TInstance& instance = Pool()[index];
    if (instance.running > 0) return;
    if (instance.freed) instance.method = nullptr;
    if (instance.references == 0) Pool().Give(index);
}

LRESULT CallInstance(size_t index, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    TInstance& instance = Pool()[index];
    if (instance.freed || !instance.method) return DefWindowProcW(hwnd, message, wParam, lParam);
    struct TRunning {
        size_t index;
        explicit TRunning(size_t i) : index(i) { ++Pool()[i].running; }
        ~TRunning() {
            --Pool()[index].running;
            Settle(index);
        }
    } running(index);
    return instance.method(hwnd, message, wParam, lParam);
}

} // namespace

WNDPROC MakeObjectInstance(TWndMethod method) {
    const size_t index = Pool().Take();
    TInstance& instance = Pool()[index];
    instance.method = std::move(method);
    instance.references = 1;
    instance.running = 0;
    instance.freed = false;
    return trampolines[index];
}

void FreeObjectInstance(WNDPROC proc) {
    const ptrdiff_t index = Pool().IndexOf(proc);
    if (index < 0) return;
    TInstance& instance = Pool()[index];
    if (instance.freed) return;
    instance.freed = true;
    --instance.references;
    Settle(index);
}

void RetainProcedure(WNDPROC proc) noexcept {
    const ptrdiff_t index = Pool().IndexOf(proc);
    // An instance back in the free list is not revived by a stale copy.
    if (index >= 0 && Pool()[index].references > 0) ++Pool()[index].references;
}

void ReleaseProcedure(WNDPROC proc) noexcept {
    const ptrdiff_t index = Pool().IndexOf(proc);
    if (index < 0 || Pool()[index].references == 0) return;
    --Pool()[index].references;
    Settle(index);
}

LRESULT CallWindowProcW(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!proc) return 0;
    return proc(hwnd, message, wParam, lParam);
}
