#include "platform/win/dataxfer/DropRegistry.h"

#include <mutex>
#include <unordered_map>

#include "platform/win/User.h"

namespace {

struct TDropRegistry {
    std::mutex mutex;
    std::unordered_map<HWND, TIntfPtr<IDropTarget>> targets;
};

TDropRegistry& DropTargets() {
    static TDropRegistry registry;
    return registry;
}

TIntfPtr<IDropTarget> TargetOf(HWND hwnd) {
    TDropRegistry& registry = DropTargets();
    std::lock_guard lock(registry.mutex);
    auto it = registry.targets.find(hwnd);
    return it == registry.targets.end() ? nullptr : it->second;
}

// Removes the registration of a window and hands its target over.
TIntfPtr<IDropTarget> TakeTarget(HWND hwnd) {
    TDropRegistry& registry = DropTargets();
    std::lock_guard lock(registry.mutex);
    auto it = registry.targets.find(hwnd);
    if (it == registry.targets.end()) return nullptr;
    TIntfPtr<IDropTarget> target = std::move(it->second);
    registry.targets.erase(it);
    return target;
}

} // namespace

HRESULT RegisterDragDrop(HWND hwnd, IDropTarget* target) {
    if (!IsWindow(hwnd)) return DRAGDROP_E_INVALIDHWND;
    if (!target) return E_INVALIDARG;
    TDropRegistry& registry = DropTargets();
    std::lock_guard lock(registry.mutex);
    const auto [it, added] = registry.targets.try_emplace(hwnd, target);
    return added ? S_OK : DRAGDROP_E_ALREADYREGISTERED;
}

HRESULT RevokeDragDrop(HWND hwnd) {
    // The target is released outside the lock: its release may run any code.
    if (TakeTarget(hwnd)) return S_OK;
    return IsWindow(hwnd) ? DRAGDROP_E_NOTREGISTERED : DRAGDROP_E_INVALIDHWND;
}

void ForgetDropTarget(HWND hwnd) noexcept { TakeTarget(hwnd); }

TIntfPtr<IDropTarget> FindDropTarget(HWND deepest, HWND* registeredWindow) {
    if (registeredWindow) *registeredWindow = nullptr;
    for (HWND h = deepest; h && IsWindow(h);) {
        if (TIntfPtr<IDropTarget> target = TargetOf(h)) {
            if (registeredWindow) *registeredWindow = h;
            return target;
        }
        if (!(GetWindowLongPtrW(h, GWL_STYLE) & WS_CHILD)) break;
        h = GetAncestor(h, GA_PARENT);
    }
    return nullptr;
}
