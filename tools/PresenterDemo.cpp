// A small scene on the real desktop for looking at: a form with a child window
// and a topmost no-activate popup, presented through Qt. After a moment it
// saves what the screen shows (the whole X screen, not only our windows) as
// PNG and ends. Run by scripts/screenshot.sh under Xvfb.

#include <cstdio>

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include "platform/win/User.h"
#include "platform/win/backend/qt/QtDesktop.h"
#include "platform/win/backend/qttest/OffscreenDesktop.h"

namespace {

constexpr UINT_PTR kGrabTimer = 1;
constexpr UINT kGrabDelayMs = 1000;

QString outputPath;

LRESULT DemoProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        FillDeviceContext(BeginPaint(hwnd, &ps), COLORREF(GetWindowLongPtrW(hwnd, GWLP_USERDATA)));
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_TIMER:
        if (wParam == kGrabTimer) {
            KillTimer(hwnd, kGrabTimer);
            const bool saved = QGuiApplication::primaryScreen()->grabWindow(0).save(outputPath, "PNG");
            std::printf("%s %s\n", saved ? "saved" : "could not save", outputPath.toLocal8Bit().constData());
            PostQuitMessage(saved ? 0 : 1);
        }
        return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

HWND Make(DWORD exStyle, DWORD style, RECT r, HWND parent, COLORREF color, const char16_t* title = u"") {
    const HWND hwnd = CreateWindowExW(exStyle, u"DemoWindow", title, style, r.left, r.top, r.right - r.left,
                                      r.bottom - r.top, parent, nullptr, nullptr, nullptr);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, LONG_PTR(color));
    return hwnd;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <output.png>\n", argv[0]);
        return 2;
    }
    outputPath = QString::fromLocal8Bit(argv[1]);
    InstallQtDesktop();
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &DemoProc;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = u"DemoWindow";
    RegisterClassExW(&wc);

    const HWND form = Make(0, WS_OVERLAPPEDWINDOW | WS_VSCROLL | WS_HSCROLL, RECT{60, 50, 700, 470},
                           nullptr, RGB(0xD4, 0xD0, 0xC8), u"Ostrel 演示");
    const HWND list = Make(WS_EX_CLIENTEDGE, WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, RECT{20, 20, 300, 220},
                           form, RGB(0xFF, 0xFF, 0xFF));
    SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 20, 40, 0};
    SetScrollInfo(list, SB_VERT, &si, FALSE);
    si.nPos = 10;
    SetScrollInfo(list, SB_HORZ, &si, FALSE);
    Make(0, WS_CHILD | WS_VISIBLE, RECT{320, 20, 600, 220}, form, RGB(0x31, 0x6A, 0xC5));
    ShowWindow(form, SW_SHOW);
    const HWND popup = Make(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, WS_POPUP, RECT{520, 380, 820, 520}, nullptr,
                            RGB(0xFF, 0xE0, 0x40));
    ShowWindow(popup, SW_SHOWNA);
    SetTimer(form, kGrabTimer, kGrabDelayMs, nullptr);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    UninstallQtDesktop();
    return int(msg.wParam);
}
