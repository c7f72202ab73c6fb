#include "platform/win/core/Tree.h"
#include "platform/win/message/Messages.h"
#include "platform/win/paint/Surface.h"
#include "platform/win/toplevel/Defaults.h"
#include "platform/win/window/Windows.h"

namespace {

// Moves the window with the pointer, or with Edge (a WMSZ_ value) sizes it
// by that edge or corner.
class TSizeMoveLoop {
public:
    TSizeMoveLoop(TWindow* w, POINT start, UINT edge)
        : w_(w), hwnd_(w->handle), start_(start), startRect_(ScreenRect(w)), edge_(edge) {}

    void Run() {
        Deliver(w_, WM_ENTERSIZEMOVE, 0, 0);
        if (!LocalWindow(hwnd_)) return;
        TModalLoopOptions options;
        options.capture = hwnd_;
        options.filter = [this](MSG& msg) { return Filter(msg); };
        RunModalLoop([this] { return ended_ || !LocalWindow(hwnd_); }, options);
        if (LocalWindow(hwnd_)) Deliver(w_, WM_EXITSIZEMOVE, 0, 0);
    }

private:
    // Screen rectangle to the parent's client coordinates.
    void MoveTo(RECT screen) {
        const POINT origin = ClientOrigin(w_->parent);
        SetWindowPos(hwnd_, nullptr, screen.left - (IsTopLevel(w_) ? 0 : origin.x),
                     screen.top - (IsTopLevel(w_) ? 0 : origin.y), screen.right - screen.left,
                     screen.bottom - screen.top, (edge_ ? 0 : SWP_NOSIZE) | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    void Follow(POINT pt) {
        RECT r = startRect_;
        const int dx = pt.x - start_.x, dy = pt.y - start_.y;
        if (!edge_) {
            r = RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
            Deliver(w_, WM_MOVING, 0, LPARAM(&r));
        } else {
            if (edge_ == WMSZ_LEFT || edge_ == WMSZ_TOPLEFT || edge_ == WMSZ_BOTTOMLEFT) r.left += dx;
            if (edge_ == WMSZ_RIGHT || edge_ == WMSZ_TOPRIGHT || edge_ == WMSZ_BOTTOMRIGHT) r.right += dx;
            if (edge_ == WMSZ_TOP || edge_ == WMSZ_TOPLEFT || edge_ == WMSZ_TOPRIGHT) r.top += dy;
            if (edge_ == WMSZ_BOTTOM || edge_ == WMSZ_BOTTOMLEFT || edge_ == WMSZ_BOTTOMRIGHT) r.bottom += dy;
            Deliver(w_, WM_SIZING, edge_, LPARAM(&r));
        }
        if (LocalWindow(hwnd_)) MoveTo(r);
    }

    bool Filter(MSG& msg) {
        switch (msg.message) {
        case WM_MOUSEMOVE: Follow(msg.pt); return true;
        case WM_LBUTTONUP:
            Follow(msg.pt);
            ended_ = true;
            return true;
        case WM_KEYDOWN:
            if (msg.wParam == VK_ESCAPE) {
                MoveTo(startRect_);
                ended_ = true;
            } else if (msg.wParam == VK_RETURN) {
                ended_ = true;
            }
            return true;
        case WM_KEYUP:
        case WM_CHAR: return true;
        default: return msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST;
        }
    }

    TWindow* w_;
    HWND hwnd_;
    POINT start_;
    RECT startRect_;
    UINT edge_;
    bool ended_ = false;
};

} // namespace

void MoveWithPointer(TWindow* w, POINT start) {
    if (IsTopLevel(w) && Presenter()->StartSystemMove(w->handle)) return;
    TWindowHold hold(w);
    TSizeMoveLoop(w, start, 0).Run();
}

void SizeWithPointer(TWindow* w, UINT edge, POINT start) {
    if (edge < WMSZ_LEFT || edge > WMSZ_BOTTOMRIGHT) return;
    if (IsTopLevel(w) && Presenter()->StartSystemResize(w->handle, edge)) return;
    TWindowHold hold(w);
    TSizeMoveLoop(w, start, edge).Run();
}
