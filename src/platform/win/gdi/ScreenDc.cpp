// The screen DC. Other programs' pixels cannot be read, so the screen is this
// process's windows composed; what is drawn on it goes to an overlay window
// above them all that shows each pixel differing from what lies beneath and
// is transparent elsewhere (hidden when nothing differs).
#include "platform/win/core/Window.h"
#include "platform/win/gdi/DeviceContext.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/paint/Composite.h"
#include "platform/win/paint/PaintInternal.h"
#include "platform/win/paint/Surface.h"
#include "platform/win/system/SystemMetrics.h"
#include "platform/win/toplevel/TopLevel.h"
#include "platform/win/window/Windows.h"

namespace {

constexpr const char16_t* kOverlayClass = u"OstrelScreenOverlay";

struct TOverlay {
    HWND window = nullptr;
    size_t shown = 0; // pixels that differ from beneath
};
thread_local TOverlay overlay;

RECT VirtualScreen() {
    const int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
    return RECT{x, y, x + GetSystemMetrics(SM_CXVIRTUALSCREEN), y + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

HWND Overlay() {
    if (overlay.window && IsWindow(overlay.window)) return overlay.window;
    WNDCLASSW wc{};
    wc.lpfnWndProc = &DefWindowProcW;
    wc.lpszClassName = kOverlayClass;
    RegisterClassW(&wc); // fails harmlessly when registered already
    const RECT screen = VirtualScreen();
    overlay = TOverlay{};
    overlay.window = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_LAYERED | WS_EX_TRANSPARENT |
                                         WS_EX_NOACTIVATE,
                                     kOverlayClass, u"", WS_POPUP, screen.left, screen.top,
                                     screen.right - screen.left, screen.bottom - screen.top, nullptr, nullptr,
                                     nullptr, nullptr);
    if (overlay.window) SetWindowPerPixelAlpha(overlay.window, true);
    return overlay.window;
}

// The desktop without the overlay.
TDesktopImage Beneath(HWND window, const RECT& area) {
    TWindow* w = LocalWindow(window);
    const DWORD style = w->style;
    w->style &= ~WS_VISIBLE;
    TDesktopImage image = ComposeDesktop(area);
    w->style = style;
    return image;
}

} // namespace

HDC NewScreenDc() {
    auto dc = std::make_unique<TDc>(TDcKind::Screen, nullptr);
    dc->visible = TRegion(VirtualScreen());
    return AddDc(std::move(dc));
}

bool ComposeScreen(const RECT& area, std::vector<uint32_t>& pixels, TRaster& raster) {
    TDesktopImage image = ComposeDesktop(area);
    pixels = std::move(image.pixels);
    raster = TRaster{};
    raster.top = reinterpret_cast<uint8_t*>(pixels.data());
    raster.width = image.Width();
    raster.height = image.area.bottom - image.area.top;
    raster.stride = ptrdiff_t(raster.width) * 4;
    return true;
}

void WriteScreenOverlay(const TRaster& drawn, const RECT& area) {
    const HWND window = Overlay();
    TSurface* surface = window ? WindowSurface(window) : nullptr;
    if (!surface) return;
    RECT place{};
    GetWindowRect(window, &place);
    const RECT inside{std::max(area.left, place.left), std::max(area.top, place.top),
                      std::min(area.right, place.right), std::min(area.bottom, place.bottom)};
    if (inside.left >= inside.right || inside.top >= inside.bottom) return;
    const TDesktopImage beneath = Beneath(window, inside);
    for (int y = inside.top; y < inside.bottom; ++y) {
        const uint32_t* from = drawn.Row32(y - area.top) + (inside.left - area.left);
        uint32_t* to = surface->Row(y - place.top) + (inside.left - place.left);
        for (int x = inside.left; x < inside.right; ++x, ++from, ++to) {
            const bool same = ((*from ^ beneath.Pixel(x, y)) & 0xFFFFFF) == 0;
            const uint32_t pixel = same ? 0 : *from | 0xFF000000u;
            overlay.shown += (pixel != 0) - (*to != 0);
            *to = pixel;
        }
    }
    TRegion dirty(inside);
    dirty.Offset(-place.left, -place.top);
    surface->dirty |= dirty;
    const bool visible = IsWindowVisible(window);
    if (overlay.shown && !visible) ShowWindow(window, SW_SHOWNA);
    if (!overlay.shown && visible) ShowWindow(window, SW_HIDE);
}

HWND ScreenOverlayWindow() { return overlay.window && IsWindow(overlay.window) ? overlay.window : nullptr; }
