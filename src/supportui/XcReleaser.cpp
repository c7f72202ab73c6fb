#include "supportui/XcReleaser.h"

#include <algorithm>

#include "platform/ui/UtilityWindow.h"
#include "platform/win/User.h"

namespace {

std::unique_ptr<TXcReleaser> releaser;

} // namespace

TXcReleaser::~TXcReleaser() {
    waiting_.clear();
    DeallocateHWnd(window_);
}

HWND TXcReleaser::Handle() {
    if (!window_)
        window_ = AllocateHWnd([this](UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
            if (message != XC_RELEASE) return std::nullopt;
            FreeWaiting(uintptr_t(wParam));
            return 0;
        });
    return window_;
}

bool TXcReleaser::IsWaiting(const TObject* object) const noexcept {
    return std::any_of(waiting_.begin(), waiting_.end(), [object](const TWaiting& w) { return w.object.get() == object; });
}

void TXcReleaser::Release(std::unique_ptr<TObject> object) {
    if (!object || IsWaiting(object.get())) {
        // Already waiting: the caller's pointer is the one in the list.
        (void)object.release();
        return;
    }
    const HWND window = Handle();
    const uintptr_t id = nextId_++;
    waiting_.push_back({id, std::move(object)});
    PostMessageW(window, XC_RELEASE, WPARAM(id), 0);
}

void TXcReleaser::FreeWaiting(uintptr_t id) {
    const auto it = std::find_if(waiting_.begin(), waiting_.end(), [id](const TWaiting& w) { return w.id == id; });
    if (it == waiting_.end()) return;
    std::unique_ptr<TObject> object = std::move(it->object);
    waiting_.erase(it);
}

TXcReleaser& Releaser() {
    if (!releaser) releaser = std::make_unique<TXcReleaser>();
    return *releaser;
}

void FreeReleaser() { releaser.reset(); }
