#include "PresenterFixture.h"

#include <QCoreApplication>

namespace {

class TOffscreenEnvironment : public testing::Environment {
public:
    void SetUp() override {
        desktop_ = std::make_unique<TOffscreenDesktop>(std::vector<TOffscreenScreen>{
            {"Primary", QRect(0, 0, 1920, 1080)}, {"Second", QRect(1920, 0, 1280, 1024)}});
    }
    void TearDown() override { desktop_.reset(); }

private:
    std::unique_ptr<TOffscreenDesktop> desktop_;
};

[[maybe_unused]] testing::Environment* const environment = testing::AddGlobalTestEnvironment(new TOffscreenEnvironment);

} // namespace

void PresenterTest::TearDown() {
    WindowTest::TearDown();
    ClearWorkAreaOverrides();
    SettleDesktop();
}

void PresenterTest::PaintIn(HWND hwnd, COLORREF color) {
    Answer(hwnd, WM_PAINT, [hwnd, color](WPARAM, LPARAM) -> std::optional<LRESULT> {
        PAINTSTRUCT ps;
        FillDeviceContext(BeginPaint(hwnd, &ps), color);
        EndPaint(hwnd, &ps);
        return 0;
    });
}

HWND PresenterTest::Show(DWORD style, RECT r, DWORD exStyle, HWND owner, COLORREF color, int command,
                         const char16_t* cls) {
    const HWND hwnd = Create(style, r, owner, exStyle, cls);
    PaintIn(hwnd, color);
    ShowWindow(hwnd, command);
    SettleDesktop();
    return hwnd;
}

QPoint QtPoint(HWND hwnd, int x, int y) {
    const POINT screen = ScreenPoint(hwnd, x, y);
    RECT top;
    GetWindowRect(GetAncestor(hwnd, GA_ROOT), &top);
    return QPoint(screen.x - top.left, screen.y - top.top);
}
