#pragma once
// Presenter tests run on one offscreen desktop for the whole program: a
// primary 1920x1080 screen and a second 1280x1024 one to its right, with the
// Qt desktop installed. The fixture adds the window fixture's recording
// windows and reaches their QWindows.

#include <QPoint>
#include <QWindow>

#include "platform/win/WindowFixture.h"
#include "platform/win/backend/qt/QtDesktop.h"
#include "platform/win/backend/qt/QtPresenter.h"
#include "platform/win/backend/qttest/OffscreenDesktop.h"

class PresenterTest : public WindowTest {
protected:
    void TearDown() override;

    static TQtPresenter& Presenter() { return *InstalledQtPresenter(); }
    static TPresenterWindow* QtWindow(HWND hwnd) { return Presenter().WindowOf(hwnd); }
    // A shown top-level window, painted in Color, with everything settled.
    HWND Show(DWORD style, RECT r, DWORD exStyle = 0, HWND owner = nullptr, COLORREF color = 0,
              int command = SW_SHOW, const char16_t* cls = kClass);
    // Paints the window in Color whenever it is asked to paint.
    void PaintIn(HWND hwnd, COLORREF color);
};

// A point of a window's client area in its top-level QWindow's coordinates.
QPoint QtPoint(HWND hwnd, int x, int y);
