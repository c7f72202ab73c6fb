#pragma once
// Drags from other programs of the desktop over this process's windows. The
// desktop backend reports where the pointer is; the bridge turns that into
// drop-target calls: DragEnter only once the pointer reaches a registered
// window, DragLeave when it leaves it, DragOver in between. Over no registered
// window a drag is refused without any call, unless the window under the
// pointer accepts files (WS_EX_ACCEPTFILES), which then gets WM_DROPFILES.
//
// The offer becomes a data object once per drag, owning its bytes. The drop
// finishes the desktop's side first: Drop answers at once with the last
// answer, and the target's Drop comes later from a posted message, so a
// handler that opens a modal window cannot hold the source up.

#include <cstdint>
#include <deque>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/rtl/String.h"
#include "platform/win/dataxfer/StoredDataObject.h"

// What a desktop drag offers, read out of the desktop's event.
struct TDesktopOffer {
    std::string_view uriList;   // the "text/uri-list" bytes; empty when not offered
    std::optional<String> text; // plain text, when offered
};

// The effect reported to a desktop source when a target answered Answer and
// the source allows Allowed: NONE refuses; LINK stays a link when allowed and
// becomes a copy otherwise; a move is reported as a copy (no source deletes
// anything because of us); the scroll bit is dropped. A copy the source does
// not allow is a refusal.
DWORD DesktopReportedEffect(DWORD answer, DWORD allowed) noexcept;

class TDesktopDropBridge {
public:
    TDesktopDropBridge() = default;
    ~TDesktopDropBridge();
    TDesktopDropBridge(const TDesktopDropBridge&) = delete;
    TDesktopDropBridge& operator=(const TDesktopDropBridge&) = delete;

    // A drag entered one of our top-level windows.
    void Enter(const TDesktopOffer& offer);
    // The pointer is at Point (screen); answers the effect to report.
    DWORD Move(POINT point, DWORD keyState, DWORD allowed);
    // The drag left our windows or was given up.
    void Leave();
    // The drop at Point: answers the effect to report, that of the last move.
    // The target's Drop follows from a posted message; after a refusal the
    // target gets DragLeave at once instead.
    DWORD Drop(POINT point, DWORD keyState, DWORD allowed);

    // The data object of the drag under way, null between drags.
    IDataObject* Data() const noexcept { return data_.get(); }

private:
    struct TPendingDrop {
        uint64_t id;
        TIntfPtr<IDropTarget> target;
        TIntfPtr<TStoredDataObject> data;
        DWORD keyState;
        POINTL point;
        DWORD allowed;
    };
    static LRESULT PosterProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void LeaveTarget();
    void PostDrop(TPendingDrop drop);
    void DeliverDrop(uint64_t id);

    TIntfPtr<TStoredDataObject> data_;
    std::vector<String> files_;
    HWND registered_ = nullptr; // the registered window that got DragEnter
    TIntfPtr<IDropTarget> target_;
    HWND filesWindow_ = nullptr; // the window accepting files under the pointer
    DWORD reported_ = DROPEFFECT_NONE;
    std::deque<TPendingDrop> pending_; // in the order of their messages
    uint64_t lastDropId_ = 0;
    HWND poster_ = nullptr;
};
