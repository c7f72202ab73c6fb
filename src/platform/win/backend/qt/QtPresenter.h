#pragma once
// The presenter on a Qt desktop: each visible top-level window of the GUI
// thread becomes a TPresenterWindow; activation, capture, cursor and input
// method state follow the window system's model. Calls from other threads are
// ignored: only the GUI thread's windows reach the desktop.

#include <map>
#include <memory>
#include <vector>

#include <QObject>
#include <QPointer>

#include "platform/win/backend/qt/PresenterWindow.h"
#include "platform/win/backend/qt/Screens.h"
#include "platform/win/dataxfer/DesktopDrop.h"

class TQtPresenter : public IPresenter {
public:
    TQtPresenter();
    ~TQtPresenter() override;

    void Present(HWND window, const TSurface& surface, std::span<const RECT> dirty) override;
    void TopLevelChanged(HWND window, const TTopLevelState& state) override;
    void TopLevelDestroyed(HWND window) override;
    bool StartSystemMove(HWND window) override;
    bool StartSystemResize(HWND window, UINT edge) override;
    void ActiveChanged(HWND active) override;
    void CaptureChanged(HWND capture) override;
    void CursorChanged() override;
    void TextInputChanged() override;

    // The QWindow of a top-level window; null before it was first shown.
    TPresenterWindow* WindowOf(HWND top) const;
    // The window holding the pointer grab, null when none does.
    QWindow* MouseGrabWindow() const { return grab_; }
    TScreenWatcher& Screens() { return screens_; }
    // Where the windows hand drags from other programs.
    TDesktopDropBridge& Drops() { return drops_; }

    // Called by the windows around the desktop events they hand on.
    void BeginDesktopEvent() noexcept { ++eventDepth_; }
    void EndDesktopEvent();
    void PointerOver(TPresenterWindow* window);

private:
    bool OnGuiThread() const;
    void FocusWindowChanged(QWindow* focus);
    void ApplyCursor();

    std::map<HWND, std::unique_ptr<TPresenterWindow>> windows_;
    std::vector<std::unique_ptr<TPresenterWindow>> retired_; // destroyed inside their own event
    int eventDepth_ = 0;
    QPointer<QWindow> grab_;
    QPointer<QWindow> pointerWindow_;
    QPointer<QWindow> cursorWindow_;
    HCURSOR imageCursor_ = nullptr; // the image cursor cursorWindow_ shows
    QPointer<QWindow> qtFocus_;
    TScreenWatcher screens_;
    TDesktopDropBridge drops_;
    QObject context_;
};

// The presenter InstallQtDesktop set, null when none is.
std::shared_ptr<TQtPresenter> InstalledQtPresenter();
