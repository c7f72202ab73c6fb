#pragma once
// The window objects behind handles. A window belongs to the thread that
// created it: only that thread reads or changes it, other threads reach it
// only through its handle (posting, sending, IsWindow). A window object
// outlives its handle while one of its procedures still runs.

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/rtl/String.h"
#include "platform/win/Constants.h"
#include "platform/win/pixels/FramePainter.h"
#include "platform/win/region/Region.h"

class TQueue;
struct TSurface;

struct TWindowClass {
    String name;
    ATOM atom = 0;
    UINT style = 0;
    WNDPROC proc = nullptr;
    int classExtraBytes = 0;
    int windowExtraBytes = 0;
    HINSTANCE instance = nullptr;
    HICON icon = nullptr, smallIcon = nullptr;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
    String menuName;
    std::vector<BYTE> extra;
    int windows = 0; // live windows of the class
};

struct TWindow;

// Siblings in z-order, topmost first.
struct TChildList {
    TWindow* first = nullptr;
    TWindow* last = nullptr;
};

enum class TLife : uint8_t { Alive, Destroying, Destroyed };

// A scroll bar's values (SCROLLINFO) and what the pointer does with it.
struct TScrollBarData {
    int min = 0, max = 0, pos = 0, trackPos = 0;
    UINT page = 0;
    UINT disabled = ESB_ENABLE_BOTH; // ESB_DISABLE_ bits
    bool tracking = false;           // the thumb is dragged: trackPos counts
    TScrollBarPart pressed = TScrollBarPart::None;
};

struct TWindow {
    HWND handle = nullptr;
    TQueue* queue = nullptr; // the owning thread's; outlives its windows
    TWindowClass* cls = nullptr;
    WNDPROC proc = nullptr;
    DWORD style = 0, exStyle = 0;
    HINSTANCE instance = nullptr;
    LONG_PTR id = 0, userData = 0;
    String text;
    std::vector<BYTE> extra;

    // The desktop (or the message-only root) for top-level windows.
    TWindow* parent = nullptr;
    TWindow* owner = nullptr;
    TChildList children;
    TWindow* above = nullptr;
    TWindow* below = nullptr;
    RECT rect{};   // in the parent's client coordinates
    RECT client{}; // the client area, window coordinates (WM_NCCALCSIZE)
    HMENU menu = nullptr; // a top-level window's menu bar
    HMENU windowMenu = nullptr; // GetSystemMenu's copy

    // Placement kept across minimizing and maximizing.
    RECT normalRect{};
    POINT minPosition{-1, -1}, maxPosition{-1, -1};
    bool minPositionSet = false;
    bool restoreToMaximized = false;

    TLife life = TLife::Alive;
    int busy = 0; // procedures of this window running now
    bool redrawOff = false;
    bool imeDisabled = false;

    // Painting.
    TRegion update;             // client coordinates
    bool erasePending = false;
    bool internalPaint = false;
    bool countedForPaint = false; // in its queue's paintPending
    bool painted = false;       // BeginPaint ran since WM_PAINT was dispatched
    bool caretLifted = false;   // BeginPaint took the caret off
    TRegion frameUpdate;        // non-client area to paint, window coordinates
    std::unique_ptr<TSurface> surface; // top-level windows

    // Non-client parts and shape.
    TScrollBarData scroll[3];   // SB_HORZ, SB_VERT, SB_CTL
    std::optional<TRegion> shape; // SetWindowRgn, window coordinates

    // What a top-level window shows on the desktop besides its pixels.
    BYTE alpha = 255;           // SetLayeredWindowAttributes
    COLORREF colorKey = 0;
    DWORD layeredFlags = 0;     // LWA_ bits of the last call
    bool layeredSet = false;    // SetLayeredWindowAttributes ran
    bool perPixelAlpha = false;
    HICON smallIcon = nullptr, bigIcon = nullptr;
    bool hiddenWithOwner = false; // hidden while its owner is minimized
    // The tracking sizes of its last WM_GETMINMAXINFO answer, and how many it gave.
    POINT minTrackSize{}, maxTrackSize{};
    unsigned trackSizeAnswers = 0;

    bool Alive() const noexcept { return life == TLife::Alive; }
    bool IsChild() const noexcept { return (style & WS_CHILD) != 0; }
    int Width() const noexcept { return rect.right - rect.left; }
    int Height() const noexcept { return rect.bottom - rect.top; }
    int ClientWidth() const noexcept { return client.right - client.left; }
    int ClientHeight() const noexcept { return client.bottom - client.top; }

    TWindow();
    ~TWindow();
};
