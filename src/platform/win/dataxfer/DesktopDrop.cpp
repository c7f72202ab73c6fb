#include "platform/win/dataxfer/DesktopDrop.h"

#include "platform/win/dataxfer/DropRegistry.h"
#include "platform/win/dataxfer/IncomingData.h"
#include "platform/win/dataxfer/UriList.h"
#include "platform/win/message/Messages.h"
#include "platform/win/window/Windows.h"

namespace {

constexpr const char16_t* kPosterClass = u"DesktopDropPoster";
constexpr UINT kDeliverDrop = WM_USER;

} // namespace

DWORD DesktopReportedEffect(DWORD answer, DWORD allowed) noexcept {
    answer &= DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    if (answer == DROPEFFECT_LINK && (allowed & DROPEFFECT_LINK)) return DROPEFFECT_LINK;
    if (answer == DROPEFFECT_NONE || !(allowed & DROPEFFECT_COPY)) return DROPEFFECT_NONE;
    return DROPEFFECT_COPY;
}

TDesktopDropBridge::~TDesktopDropBridge() {
    if (poster_) DestroyWindow(poster_);
}

void TDesktopDropBridge::Enter(const TDesktopOffer& offer) {
    Leave();
    files_ = LocalFilesFromUriList(offer.uriList);
    data_ = MakeIncomingDataObject(files_, offer.text);
}

DWORD TDesktopDropBridge::Move(POINT point, DWORD keyState, DWORD allowed) {
    if (!data_) return DROPEFFECT_NONE;
    const HWND deepest = WindowFromPoint(point);
    HWND registered = nullptr;
    const TIntfPtr<IDropTarget> target = deepest ? FindDropTarget(deepest, &registered) : nullptr;
    if (registered != registered_) LeaveTarget();
    filesWindow_ = target || files_.empty() ? nullptr : FindFilesAcceptingWindow(deepest);

    const POINTL at{point.x, point.y};
    DWORD effect = allowed;
    if (!target) {
        effect = filesWindow_ ? DROPEFFECT_COPY : DROPEFFECT_NONE;
    } else if (!target_) {
        if (Succeeded(target->DragEnter(data_.get(), keyState, at, effect))) {
            target_ = target;
            registered_ = registered;
        } else {
            effect = DROPEFFECT_NONE;
        }
    } else if (Failed(target_->DragOver(keyState, at, effect))) {
        effect = DROPEFFECT_NONE;
    }
    reported_ = DesktopReportedEffect(effect, allowed);
    return reported_;
}

void TDesktopDropBridge::LeaveTarget() {
    registered_ = nullptr;
    if (const TIntfPtr<IDropTarget> target = std::move(target_)) target->DragLeave();
}

void TDesktopDropBridge::Leave() {
    LeaveTarget();
    data_.Reset();
    files_.clear();
    filesWindow_ = nullptr;
    reported_ = DROPEFFECT_NONE;
}

DWORD TDesktopDropBridge::Drop(POINT point, DWORD keyState, DWORD allowed) {
    const DWORD reported = reported_;
    if (target_ && reported != DROPEFFECT_NONE) {
        registered_ = nullptr;
        PostDrop(TPendingDrop{++lastDropId_, std::move(target_), data_, keyState, POINTL{point.x, point.y}, allowed});
    } else if (filesWindow_ && reported != DROPEFFECT_NONE) {
        PostDroppedFiles(filesWindow_, files_, point);
    }
    Leave();
    return reported;
}

void TDesktopDropBridge::PostDrop(TPendingDrop drop) {
    if (!poster_) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &PosterProc;
        wc.lpszClassName = kPosterClass;
        RegisterClassW(&wc); // fails harmlessly once registered
        poster_ = CreateWindowExW(0, kPosterClass, u"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        if (poster_) SetWindowLongPtrW(poster_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    if (!poster_ || !PostMessageW(poster_, kDeliverDrop, WPARAM(drop.id), 0)) {
        drop.target->DragLeave();
        return;
    }
    pending_.push_back(std::move(drop));
}

LRESULT TDesktopDropBridge::PosterProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != kDeliverDrop) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (auto* bridge = reinterpret_cast<TDesktopDropBridge*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)))
        bridge->DeliverDrop(uint64_t(wParam));
    return 0;
}

// Messages come in the order they were posted: drops still waiting before
// Id lost theirs (taken without being dispatched), and their targets only
// hear that the drag left. What the target answers is not reported: the
// desktop's drop is over.
void TDesktopDropBridge::DeliverDrop(uint64_t id) {
    while (!pending_.empty() && pending_.front().id <= id) {
        TPendingDrop drop = std::move(pending_.front());
        pending_.pop_front();
        DWORD effect = drop.allowed;
        if (drop.id == id)
            drop.target->Drop(drop.data.get(), drop.keyState, drop.point, effect);
        else
            drop.target->DragLeave();
    }
}
