#pragma once
// How what top-level windows draw into (pixels/Surface.h) reaches the screen.
// What changed is handed to the presenter when the thread is about to wait
// (and by the test helpers).

#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <vector>

#include "platform/rtl/String.h"
#include "platform/win/Constants.h"
#include "platform/win/pixels/Surface.h"
#include "platform/win/region/Region.h"

// What the presenter shows of a top-level window besides its pixels.
struct TTopLevelState {
    bool visible = false;
    RECT rect{}; // screen coordinates: the area we present
    DWORD style = 0, exStyle = 0;
    HWND owner = nullptr;
    String title;
    BYTE alpha = 255;    // constant opacity of a layered window
    bool perPixelAlpha = false; // the surface's alpha bytes count (straight alpha)
    bool shaped = false; // a window region clips it to Shape (window coordinates)
    TRegion shape;
    HICON smallIcon = nullptr, bigIcon = nullptr;
    // The tracking sizes the window answered last (WM_GETMINMAXINFO); a
    // maximum not above 0 limits nothing.
    SIZE minTrackSize{}, maxTrackSize{};
};

class IPresenter {
public:
    virtual ~IPresenter() = default;
    // The surface of a visible top-level window changed in Dirty (surface coordinates).
    virtual void Present(HWND window, const TSurface& surface, std::span<const RECT> dirty) = 0;
    // Something of State changed (or may have); the window is alive.
    virtual void TopLevelChanged(HWND, const TTopLevelState&) {}
    virtual void TopLevelDestroyed(HWND) {}
    // Moves an undecorated window with the pointer by the desktop's own means
    // (a press on its caption area is under way); false where the desktop
    // cannot, and the window system moves it itself.
    virtual bool StartSystemMove(HWND) { return false; }
    // Sizes it by Edge (a WMSZ_ value) in the same way.
    virtual bool StartSystemResize(HWND, UINT /*edge*/) { return false; }
    // The calling thread's input state changed: its active window (null:
    // none), its capture (null: none), the cursor (DesktopCursor), or what the
    // input method places its window by and whether the focus window takes
    // text (ImeCursorRect, ImeAcceptsText).
    virtual void ActiveChanged(HWND) {}
    virtual void CaptureChanged(HWND) {}
    virtual void CursorChanged() {}
    virtual void TextInputChanged() {}
};

// Keeps what was presented, for tests and headless runs.
class TMemoryPresenter : public IPresenter {
public:
    struct TFrame {
        HWND window;
        std::vector<RECT> dirty;
    };
    void Present(HWND window, const TSurface& surface, std::span<const RECT> dirty) override;
    void TopLevelChanged(HWND window, const TTopLevelState& state) override;
    void TopLevelDestroyed(HWND window) override;
    std::vector<TFrame> frames;
    std::map<HWND, TTopLevelState> states; // of live top-level windows
};

// Process-wide; the in-memory presenter until another is set.
void SetPresenter(std::shared_ptr<IPresenter> presenter);
std::shared_ptr<IPresenter> Presenter();

// A top-level window's state as the presenter sees it; the window system hands
// it over after every change of it.
TTopLevelState TopLevelStateOf(HWND top);
void PresentTopLevelState(HWND top);

// The surface a window draws into (its top-level window's), on its thread; null otherwise.
TSurface* WindowSurface(HWND hwnd);
