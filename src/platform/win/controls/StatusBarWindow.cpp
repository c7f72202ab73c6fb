// The "msctls_statusbar32" class: a row of parts along the bottom of the
// parent, each with a text (a tab moves the rest to the centre, a second tab
// to the right) or drawn by the parent through WM_DRAWITEM. In simple mode one
// part with a text of its own spans the whole bar. With SBARS_SIZEGRIP a
// drag on the grip at the right end sizes the top-level window.

#include <algorithm>
#include <vector>

#include "platform/win/User.h"
#include "platform/win/controls/CommonControlConstants.h"
#include "platform/win/controls/ControlWindow.h"
#include "platform/win/controls/StandardControls.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/text/Text.h"

namespace {

constexpr int kMaxParts = 256;
constexpr int kBorderY = 2;   // above the parts
constexpr int kGap = 2;       // between two parts
constexpr int kTextInset = 3; // from a part's left and right edge to its text

struct TPart {
    int edge = -1; // the right edge; -1 reaches the bar's right edge
    String text;
    UINT type = 0; // SBT_ bits
    LPARAM data = 0; // an owner-drawn part's value
};

class TStatusBarWindow {
public:
    explicit TStatusBarWindow(HWND hwnd) : hwnd_(hwnd), parts_(1) {}
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

private:
    bool SetParts(int count, const int* edges);
    int GetParts(int size, int* edges) const;
    bool SetText(WPARAM which, LPARAM text);
    // Length and type as one answer; fills Buffer (one more unit for the
    // terminating null) when it is given.
    LRESULT GetText(UINT index, LPWSTR buffer) const;
    TPart* PartAt(UINT index);
    const TPart* PartAt(UINT index) const { return const_cast<TStatusBarWindow*>(this)->PartAt(index); }
    int PartCount() const { return simple_ ? 1 : int(parts_.size()); }
    bool PartRect(int index, RECT& rect) const;
    int Height() const;
    // Lies along the bottom of the parent's client area, as high as its font asks.
    void AlignToParent();
    RECT GripRect() const;
    // Whether a press at Pt (client) starts sizing the top-level window.
    bool GripSizes(POINT pt) const;
    void Paint(HDC dc);
    void PaintPart(HDC dc, int index, const TPart& part, RECT rect);

    HWND hwnd_;
    std::vector<TPart> parts_;
    TPart simplePart_;
    bool simple_ = false;
    int minHeight_ = 0;
    HFONT font_ = nullptr;
};

LRESULT TStatusBarWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case SB_SETPARTS: return SetParts(int(wParam), reinterpret_cast<const int*>(lParam));
    case SB_GETPARTS: return GetParts(int(wParam), reinterpret_cast<int*>(lParam));
    case SB_SETTEXTW: return SetText(wParam, lParam);
    case SB_GETTEXTW: return GetText(LOBYTE(wParam), reinterpret_cast<LPWSTR>(lParam));
    case SB_GETTEXTLENGTHW: return GetText(LOBYTE(wParam), nullptr);
    case SB_GETRECT: {
        auto* rect = reinterpret_cast<RECT*>(lParam);
        return rect && PartRect(simple_ ? 0 : int(wParam), *rect);
    }
    case SB_SIMPLE:
        if (simple_ != (wParam != 0)) {
            simple_ = wParam != 0;
            InvalidateRect(hwnd_, nullptr, TRUE);
        }
        return 0;
    case SB_ISSIMPLE: return simple_;
    case SB_SETMINHEIGHT: minHeight_ = std::max(0, int(wParam)); return 0;
    case WM_SETFONT:
        font_ = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(lParam)) InvalidateRect(hwnd_, nullptr, TRUE);
        return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(font_);
    case WM_SETTEXT:
        SetText(0, lParam);
        break;
    case WM_SIZE: AlignToParent(); return 0;
    case WM_SETCURSOR: {
        POINT pt;
        GetCursorPos(&pt);
        ScreenToClient(hwnd_, &pt);
        if (LOWORD(lParam) != HTCLIENT || !GripSizes(pt)) break;
        SetCursor(LoadCursorW(nullptr, IDC_SIZENWSE));
        return TRUE;
    }
    case WM_LBUTTONDOWN: {
        POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (!GripSizes(pt)) break;
        ClientToScreen(hwnd_, &pt);
        SendMessageW(GetAncestor(hwnd_, GA_ROOT), WM_SYSCOMMAND, SC_SIZE | WMSZ_BOTTOMRIGHT, MAKELPARAM(pt.x, pt.y));
        return 0;
    }
    case WM_ERASEBKGND: return TRUE; // painting covers everything
    case WM_PRINTCLIENT: Paint(reinterpret_cast<HDC>(wParam)); return 0;
    case WM_PAINT: return PaintControl(hwnd_, wParam, [this](HDC dc, const RECT&) { Paint(dc); });
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

bool TStatusBarWindow::SetParts(int count, const int* edges) {
    if (count <= 0 || count > kMaxParts || !edges) return false;
    parts_.resize(size_t(count));
    for (int i = 0; i < count; ++i) parts_[size_t(i)].edge = edges[i];
    if (!simple_) InvalidateRect(hwnd_, nullptr, TRUE);
    return true;
}

int TStatusBarWindow::GetParts(int size, int* edges) const {
    if (edges)
        for (int i = 0; i < std::min(size, int(parts_.size())); ++i) edges[i] = parts_[size_t(i)].edge;
    return int(parts_.size());
}

TPart* TStatusBarWindow::PartAt(UINT index) {
    if (index == SB_SIMPLEID) return &simplePart_;
    return index < parts_.size() ? &parts_[index] : nullptr;
}

bool TStatusBarWindow::SetText(WPARAM which, LPARAM text) {
    const UINT index = LOBYTE(which);
    TPart* part = PartAt(index);
    if (!part) return false;
    part->type = UINT(which) & 0xFF00;
    if (part->type & SBT_OWNERDRAW) {
        part->data = text;
        part->text.clear();
    } else {
        part->text = text ? String(reinterpret_cast<LPCWSTR>(text)) : String();
        part->data = 0;
    }
    // The part shows when its mode is on.
    if ((index == SB_SIMPLEID) == simple_) {
        RECT rect;
        if (PartRect(simple_ ? 0 : int(index), rect)) InvalidateRect(hwnd_, &rect, TRUE);
    }
    return true;
}

LRESULT TStatusBarWindow::GetText(UINT index, LPWSTR buffer) const {
    const TPart* part = PartAt(index);
    if (!part) return 0;
    if (part->type & SBT_OWNERDRAW) return buffer ? part->data : MAKELRESULT(0, WORD(part->type));
    if (buffer) std::copy(part->text.c_str(), part->text.c_str() + part->text.size() + 1, buffer);
    return MAKELRESULT(WORD(part->text.size()), WORD(part->type));
}

bool TStatusBarWindow::PartRect(int index, RECT& rect) const {
    if (index < 0 || index >= PartCount()) return false;
    RECT client;
    GetClientRect(hwnd_, &client);
    rect = {0, kBorderY, client.right, client.bottom};
    if (simple_) return true;
    auto right = [&](int i) {
        const int edge = parts_[size_t(i)].edge;
        return edge < 0 ? int(client.right) : std::min(edge, int(client.right));
    };
    if (index > 0) rect.left = std::min(right(index - 1) + kGap, right(index));
    rect.right = right(index);
    return true;
}

int TStatusBarWindow::Height() const {
    HDC dc = GetDC(hwnd_);
    HGDIOBJ old = font_ ? SelectObject(dc, ToGdiObject(font_)) : nullptr;
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    if (old) SelectObject(dc, old);
    ReleaseDC(hwnd_, dc);
    // The text, a bevel line and a spare line above and below it.
    return kBorderY + std::max(minHeight_, int(metrics.tmHeight) + 4);
}

void TStatusBarWindow::AlignToParent() {
    const HWND parent = GetParent(hwnd_);
    if (!parent) return;
    RECT area;
    GetClientRect(parent, &area);
    const int height = Height();
    RECT current;
    GetWindowRect(hwnd_, &current);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&current), 2);
    if (current.left == 0 && current.top == area.bottom - height && current.right == area.right &&
        current.bottom == area.bottom)
        return;
    SetWindowPos(hwnd_, nullptr, 0, area.bottom - height, area.right, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TStatusBarWindow::Paint(HDC dc) {
    RECT client;
    GetClientRect(hwnd_, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    HGDIOBJ oldFont = font_ ? SelectObject(dc, ToGdiObject(font_)) : nullptr;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    for (int i = 0; i < PartCount(); ++i) {
        RECT rect;
        PartRect(i, rect);
        PaintPart(dc, i, simple_ ? simplePart_ : parts_[size_t(i)], rect);
    }
    if (GetWindowLongPtrW(hwnd_, GWL_STYLE) & SBARS_SIZEGRIP) {
        RECT grip = GripRect();
        DrawFrameControl(dc, &grip, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
    }
    if (oldFont) SelectObject(dc, oldFont);
}

RECT TStatusBarWindow::GripRect() const {
    RECT client;
    GetClientRect(hwnd_, &client);
    return RECT{client.right - GetSystemMetrics(SM_CXVSCROLL), client.bottom - GetSystemMetrics(SM_CYHSCROLL),
                client.right, client.bottom};
}

bool TStatusBarWindow::GripSizes(POINT pt) const {
    if (!(GetWindowLongPtrW(hwnd_, GWL_STYLE) & SBARS_SIZEGRIP)) return false;
    const HWND root = GetAncestor(hwnd_, GA_ROOT);
    const LONG_PTR rootStyle = GetWindowLongPtrW(root, GWL_STYLE);
    if (!(rootStyle & WS_THICKFRAME) || (rootStyle & WS_MAXIMIZE)) return false;
    const RECT grip = GripRect();
    return pt.x >= grip.left && pt.x < grip.right && pt.y >= grip.top && pt.y < grip.bottom;
}

void TStatusBarWindow::PaintPart(HDC dc, int index, const TPart& part, RECT rect) {
    if (!(part.type & SBT_NOBORDERS))
        DrawEdge(dc, &rect, part.type & SBT_POPOUT ? BDR_RAISEDOUTER : BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    if (part.type & SBT_OWNERDRAW) {
        DRAWITEMSTRUCT item{};
        item.CtlID = UINT(GetDlgCtrlID(hwnd_));
        item.itemID = simple_ ? SB_SIMPLEID : UINT(index);
        item.itemAction = ODA_DRAWENTIRE;
        item.hwndItem = hwnd_;
        item.hDC = dc;
        item.rcItem = rect;
        item.itemData = ULONG_PTR(part.data);
        SendMessageW(NotifyTarget(hwnd_), WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
        return;
    }
    rect.left += kTextInset;
    rect.right -= kTextInset;
    // Up to three pieces split by tabs: left, centred, right.
    static constexpr UINT kAlign[] = {DT_LEFT, DT_CENTER, DT_RIGHT};
    size_t start = 0;
    for (UINT align : kAlign) {
        const size_t tab = std::min(part.text.find(u'\t', start), part.text.size());
        if (tab > start)
            DrawTextW(dc, part.text.c_str() + start, int(tab - start), &rect,
                      align | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        if (tab == part.text.size()) break;
        start = tab + 1;
    }
}

} // namespace

LRESULT StatusBarWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return ControlWindowProc<TStatusBarWindow>(hwnd, message, wParam, lParam);
}
