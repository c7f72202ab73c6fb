// The "STATIC" class: text, an icon or a bitmap, or an etched line, in the
// colours the parent answers to WM_CTLCOLORSTATIC. It takes no input: the
// pointer passes through to the parent unless SS_NOTIFY is set.

#include <cstdlib>

#include "platform/win/controls/ControlWindow.h"
#include "platform/win/controls/Controls.h"
#include "platform/win/controls/StandardControls.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/icons/Icons.h"
#include "platform/win/text/Text.h"

namespace {

class TStaticWindow {
public:
    explicit TStaticWindow(HWND hwnd) : hwnd_(hwnd) {}
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

private:
    DWORD Style() const { return DWORD(GetWindowLongPtrW(hwnd_, GWL_STYLE)); }
    DWORD Type() const { return Style() & SS_TYPEMASK; }
    HANDLE SetImage(UINT type, HANDLE image);
    HANDLE Image(UINT type) const;
    // An icon or bitmap static takes the size of its image unless it centres it.
    void FitImage();
    void Paint(HDC dc);
    void PaintText(HDC dc, const RECT& client);
    void PaintImage(HDC dc, const RECT& client);

    HWND hwnd_;
    HFONT font_ = nullptr;
    HICON icon_ = nullptr;
    HBITMAP bitmap_ = nullptr;
};

UINT TextFormat(DWORD style) {
    UINT format = DT_EXPANDTABS;
    switch (style & SS_TYPEMASK) {
    case SS_CENTER: format |= DT_CENTER | DT_WORDBREAK; break;
    case SS_RIGHT: format |= DT_RIGHT | DT_WORDBREAK; break;
    case SS_SIMPLE: format = DT_SINGLELINE; break;
    case SS_LEFTNOWORDWRAP: break;
    default: format |= DT_WORDBREAK; break;
    }
    if (style & SS_CENTERIMAGE) format = (format & ~DT_WORDBREAK) | DT_SINGLELINE | DT_VCENTER;
    if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
    return format;
}

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info{};
    if (!bitmap || !GetObjectW(ToGdiObject(bitmap), sizeof info, &info)) return {};
    return {info.bmWidth, std::abs(info.bmHeight)};
}

SIZE IconSize(HICON icon) {
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info)) return {};
    const SIZE mask = BitmapSize(info.hbmMask);
    const SIZE size = info.hbmColor ? BitmapSize(info.hbmColor) : SIZE{mask.cx, mask.cy / 2};
    if (info.hbmColor) DeleteObject(ToGdiObject(info.hbmColor));
    DeleteObject(ToGdiObject(info.hbmMask));
    return size;
}

LRESULT TStaticWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE:
        if (Style() & SS_SUNKEN)
            SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, GetWindowLongPtrW(hwnd_, GWL_EXSTYLE) | WS_EX_STATICEDGE);
        break;
    case WM_SETFONT:
        font_ = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(lParam)) InvalidateRect(hwnd_, nullptr, TRUE);
        return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(font_);
    case STM_SETICON: return reinterpret_cast<LRESULT>(SetImage(IMAGE_ICON, reinterpret_cast<HANDLE>(wParam)));
    case STM_GETICON: return reinterpret_cast<LRESULT>(icon_);
    case STM_SETIMAGE: return reinterpret_cast<LRESULT>(SetImage(UINT(wParam), reinterpret_cast<HANDLE>(lParam)));
    case STM_GETIMAGE: return reinterpret_cast<LRESULT>(Image(UINT(wParam)));
    case WM_SETTEXT: {
        const LRESULT result = DefWindowProcW(hwnd_, message, wParam, lParam);
        InvalidateRect(hwnd_, nullptr, TRUE);
        return result;
    }
    case WM_ENABLE:
    case WM_SIZE: InvalidateRect(hwnd_, nullptr, TRUE); return 0;
    case WM_NCHITTEST: return Style() & SS_NOTIFY ? HTCLIENT : HTTRANSPARENT;
    case WM_GETDLGCODE: return DLGC_STATIC;
    case WM_ERASEBKGND: return TRUE; // painting covers everything
    case WM_PRINTCLIENT: Paint(reinterpret_cast<HDC>(wParam)); return 0;
    case WM_PAINT: return PaintControl(hwnd_, wParam, [this](HDC dc, const RECT&) { Paint(dc); });
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

HANDLE TStaticWindow::SetImage(UINT type, HANDLE image) {
    HANDLE previous = nullptr;
    switch (type) {
    case IMAGE_ICON:
    case IMAGE_CURSOR:
        previous = icon_;
        icon_ = reinterpret_cast<HICON>(image);
        break;
    case IMAGE_BITMAP:
        previous = bitmap_;
        bitmap_ = reinterpret_cast<HBITMAP>(image);
        break;
    default: return nullptr;
    }
    FitImage();
    InvalidateRect(hwnd_, nullptr, TRUE);
    return previous;
}

HANDLE TStaticWindow::Image(UINT type) const {
    switch (type) {
    case IMAGE_ICON:
    case IMAGE_CURSOR: return icon_;
    case IMAGE_BITMAP: return bitmap_;
    }
    return nullptr;
}

void TStaticWindow::FitImage() {
    if (Style() & SS_CENTERIMAGE) return;
    SIZE size{};
    if (Type() == SS_ICON && icon_)
        size = IconSize(icon_);
    else if (Type() == SS_BITMAP && bitmap_)
        size = BitmapSize(bitmap_);
    else
        return;
    RECT window, client;
    GetWindowRect(hwnd_, &window);
    GetClientRect(hwnd_, &client);
    const int frameX = (window.right - window.left) - client.right;
    const int frameY = (window.bottom - window.top) - client.bottom;
    SetWindowPos(hwnd_, nullptr, 0, 0, size.cx + frameX, size.cy + frameY,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TStaticWindow::Paint(HDC dc) {
    RECT client;
    GetClientRect(hwnd_, &client);
    switch (Type()) {
    case SS_ETCHEDHORZ: DrawEdge(dc, &client, EDGE_ETCHED, BF_TOP); return;
    case SS_ETCHEDVERT: DrawEdge(dc, &client, EDGE_ETCHED, BF_LEFT); return;
    case SS_ETCHEDFRAME: DrawEdge(dc, &client, EDGE_ETCHED, BF_RECT); return;
    case SS_ICON:
    case SS_BITMAP: PaintImage(dc, client); return;
    default: PaintText(dc, client); return;
    }
}

void TStaticWindow::PaintText(HDC dc, const RECT& client) {
    FillRect(dc, &client, ControlColorBrush(hwnd_, dc, WM_CTLCOLORSTATIC));
    const int length = GetWindowTextLengthW(hwnd_);
    if (length == 0) return;
    String text(size_t(length) + 1, u'\0');
    text.resize(size_t(GetWindowTextW(hwnd_, text.data(), length + 1)));
    const HGDIOBJ oldFont = font_ ? SelectObject(dc, ToGdiObject(font_)) : nullptr;
    if (!IsWindowEnabled(hwnd_)) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    SetBkMode(dc, TRANSPARENT);
    RECT rect = client;
    DrawTextW(dc, text.c_str(), int(text.size()), &rect, TextFormat(Style()));
    if (oldFont) SelectObject(dc, oldFont);
}

void TStaticWindow::PaintImage(HDC dc, const RECT& client) {
    FillRect(dc, &client, ControlColorBrush(hwnd_, dc, WM_CTLCOLORSTATIC));
    const bool icon = Type() == SS_ICON;
    const SIZE size = icon ? IconSize(icon_) : BitmapSize(bitmap_);
    if (size.cx == 0) return;
    POINT at{0, 0};
    if (Style() & SS_CENTERIMAGE) at = {(client.right - size.cx) / 2, (client.bottom - size.cy) / 2};
    if (icon) {
        DrawIconEx(dc, at.x, at.y, icon_, 0, 0, 0, nullptr, DI_NORMAL);
        return;
    }
    HDC source = CreateCompatibleDC(dc);
    const HGDIOBJ old = SelectObject(source, ToGdiObject(bitmap_));
    BitBlt(dc, at.x, at.y, size.cx, size.cy, source, 0, 0, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
}

} // namespace

LRESULT StaticWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return ControlWindowProc<TStaticWindow>(hwnd, message, wParam, lParam);
}
