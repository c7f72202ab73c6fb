#include "platform/win/controls/HeaderWindow.h"

#include <algorithm>

#include "platform/win/controls/Controls.h"
#include "platform/win/controls/StandardControls.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/imagelist/ImageList.h"
#include "platform/win/input/Input.h"
#include "platform/win/text/Text.h"

LRESULT HeaderWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return ControlWindowProc<THeaderWindow>(hwnd, message, wParam, lParam);
}

namespace {

// How far either side of an item's right edge the divider can be taken.
constexpr int kDividerReach = 4;
constexpr int kTextMargin = 6;


// Draws Bitmap at the left of Area, centred upright; answers the room it took.
int DrawBitmap(HDC dc, HBITMAP bitmap, const RECT& area) {
    BITMAP info{};
    if (!GetObjectW(ToGdiObject(bitmap), sizeof info, &info)) return 0;
    const HDC source = CreateCompatibleDC(dc);
    const HGDIOBJ old = SelectObject(source, ToGdiObject(bitmap));
    BitBlt(dc, area.left, area.top + (area.bottom - area.top - info.bmHeight) / 2, info.bmWidth, info.bmHeight, source, 0, 0,
           SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
    return info.bmWidth + 2;
}

} // namespace

LRESULT THeaderWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETFONT:
        font_ = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(lParam)) InvalidateRect(hwnd_, nullptr, TRUE);
        return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(font_);
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: return PaintControl(hwnd_, wParam, [this](HDC dc, const RECT&) { Paint(dc); });
    case WM_PRINTCLIENT: Paint(reinterpret_cast<HDC>(wParam)); return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: ButtonDown(PointOf(lParam), message == WM_LBUTTONDBLCLK); return 0;
    case WM_MOUSEMOVE: MouseMove(PointOf(lParam)); return 0;
    case WM_LBUTTONUP: ButtonUp(PointOf(lParam)); return 0;
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE: EndTracking(); return 0;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT && SetCursorForPoint()) return TRUE;
        return DefWindowProcW(hwnd_, message, wParam, lParam);

    case HDM_GETITEMCOUNT: return LRESULT(items_.size());
    case HDM_INSERTITEMW: return InsertItem(int(wParam), reinterpret_cast<const HDITEMW*>(lParam));
    case HDM_DELETEITEM: return DeleteItem(int(wParam));
    case HDM_GETITEMW: return GetItem(int(wParam), reinterpret_cast<HDITEMW*>(lParam));
    case HDM_SETITEMW:
        if (!lParam) return FALSE;
        return SetItem(int(wParam), *reinterpret_cast<const HDITEMW*>(lParam), true);
    case HDM_GETITEMRECT:
        if (!Valid(int(wParam)) || !lParam) return FALSE;
        *reinterpret_cast<RECT*>(lParam) = ItemRect(int(wParam));
        return TRUE;
    case HDM_HITTEST: {
        auto* info = reinterpret_cast<HDHITTESTINFO*>(lParam);
        if (!info) return -1;
        const HDHITTESTINFO hit = HitTest(info->pt);
        info->flags = hit.flags;
        info->iItem = hit.iItem;
        return hit.iItem;
    }
    case HDM_LAYOUT: return Layout(reinterpret_cast<HDLAYOUT*>(lParam));
    case HDM_SETIMAGELIST: {
        const HIMAGELIST old = images_;
        images_ = reinterpret_cast<HIMAGELIST>(lParam);
        InvalidateRect(hwnd_, nullptr, TRUE);
        return reinterpret_cast<LRESULT>(old);
    }
    case HDM_GETIMAGELIST: return reinterpret_cast<LRESULT>(images_);
    default: return DefWindowProcW(hwnd_, message, wParam, lParam);
    }
}

// --- Items -----------------------------------------------------------------------------

void THeaderWindow::Apply(TItem& target, const HDITEMW& item) {
    if (item.mask & HDI_WIDTH) target.width = std::max(item.cxy, 0);
    if (item.mask & HDI_TEXT) target.text = item.pszText ? String(item.pszText) : String();
    if (item.mask & HDI_FORMAT) target.format = item.fmt;
    if (item.mask & HDI_LPARAM) target.param = item.lParam;
    if (item.mask & HDI_BITMAP) target.bitmap = item.hbm;
    if (item.mask & HDI_IMAGE) target.image = item.iImage;
}

LRESULT THeaderWindow::InsertItem(int index, const HDITEMW* item) {
    if (!item || index < 0) return -1;
    index = std::min(index, int(items_.size()));
    TItem added;
    Apply(added, *item);
    items_.insert(items_.begin() + index, std::move(added));
    InvalidateRect(hwnd_, nullptr, TRUE);
    return index;
}

LRESULT THeaderWindow::DeleteItem(int index) {
    if (!Valid(index)) return FALSE;
    items_.erase(items_.begin() + index);
    InvalidateRect(hwnd_, nullptr, TRUE);
    return TRUE;
}

LRESULT THeaderWindow::GetItem(int index, HDITEMW* item) const {
    if (!Valid(index) || !item) return FALSE;
    const TItem& source = items_[size_t(index)];
    if (item->mask & HDI_WIDTH) item->cxy = source.width;
    if (item->mask & HDI_FORMAT) item->fmt = source.format;
    if (item->mask & HDI_LPARAM) item->lParam = source.param;
    if (item->mask & HDI_BITMAP) item->hbm = source.bitmap;
    if (item->mask & HDI_IMAGE) item->iImage = source.image;
    if (item->mask & HDI_ORDER) item->iOrder = index;
    if (item->mask & HDI_TEXT) {
        // Without a buffer the caller learns the length to make room for.
        if (!item->pszText || item->cchTextMax <= 0) {
            item->cchTextMax = int(source.text.size()) + 1;
        } else {
            const size_t n = std::min(source.text.size(), size_t(item->cchTextMax - 1));
            std::copy_n(source.text.data(), n, item->pszText);
            item->pszText[n] = u'\0';
        }
    }
    return TRUE;
}

LRESULT THeaderWindow::SetItem(int index, const HDITEMW& item, bool notify) {
    if (!Valid(index)) return FALSE;
    HDITEMW copy = item;
    if (notify && Notify(HDN_ITEMCHANGINGW, index, &copy)) return FALSE;
    Apply(items_[size_t(index)], item);
    InvalidateRect(hwnd_, nullptr, TRUE);
    if (notify) Notify(HDN_ITEMCHANGEDW, index, &copy);
    return TRUE;
}

LRESULT THeaderWindow::Notify(UINT code, int index, HDITEMW* item) const {
    NMHEADERW nm{{}, index, 0, item};
    return SendNotify(hwnd_, code, nm.hdr);
}

// --- Geometry --------------------------------------------------------------------------

RECT THeaderWindow::ItemRect(int index) const {
    RECT client{};
    GetClientRect(hwnd_, &client);
    int x = 0;
    for (int i = 0; i < index; ++i) x += items_[size_t(i)].width;
    return RECT{x, 0, x + items_[size_t(index)].width, client.bottom};
}

int THeaderWindow::Height() const {
    const HDC dc = GetDC(hwnd_);
    SelectObject(dc, font_ ? ToGdiObject(font_) : GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    ReleaseDC(hwnd_, dc);
    return tm.tmHeight + 6;
}

LRESULT THeaderWindow::Layout(HDLAYOUT* layout) const {
    if (!layout || !layout->prc || !layout->pwpos) return FALSE;
    RECT& area = *layout->prc;
    const int height = (GetWindowLongW(hwnd_, GWL_STYLE) & HDS_HIDDEN) ? 0 : Height();
    *layout->pwpos = WINDOWPOS{hwnd_, nullptr, area.left, area.top, area.right - area.left, height, SWP_NOZORDER};
    area.top += height;
    return TRUE;
}

// The divider wins over the item beneath. Where dividers meet (items of no
// width) the left-hand side takes the visible item's and the right-hand side
// opens the last hidden item.
HDHITTESTINFO THeaderWindow::HitTest(POINT pt) const {
    HDHITTESTINFO hit{pt, HHT_NOWHERE, -1};
    RECT client{};
    GetClientRect(hwnd_, &client);
    if (pt.y < 0 || pt.y >= client.bottom) return hit;
    int x = 0;
    for (int i = 0; i < int(items_.size()); ++i) {
        const int right = x + items_[size_t(i)].width;
        const bool hidden = items_[size_t(i)].width == 0;
        if (pt.x >= (hidden ? right : right - kDividerReach) && pt.x < right + kDividerReach) {
            hit.iItem = i;
            hit.flags = hidden ? HHT_ONDIVOPEN : HHT_ONDIVIDER;
        } else if (hit.iItem < 0 && pt.x >= x && pt.x < right) {
            hit.iItem = i;
            hit.flags = HHT_ONHEADER;
        }
        x = right;
    }
    return hit;
}

// --- Mouse -----------------------------------------------------------------------------

int THeaderWindow::TrackedWidth(POINT pt) const { return std::max(trackWidth_ + pt.x - trackStartX_, 0); }

void THeaderWindow::ButtonDown(POINT pt, bool doubleClick) {
    const HDHITTESTINFO hit = HitTest(pt);
    if (hit.flags & (HHT_ONDIVIDER | HHT_ONDIVOPEN)) {
        if (doubleClick) {
            Notify(HDN_DIVIDERDBLCLICKW, hit.iItem, nullptr);
            return;
        }
        HDITEMW item{};
        item.mask = HDI_WIDTH;
        item.cxy = items_[size_t(hit.iItem)].width;
        if (Notify(HDN_BEGINTRACKW, hit.iItem, &item)) return;
        tracking_ = hit.iItem;
        trackStartX_ = pt.x;
        trackWidth_ = items_[size_t(hit.iItem)].width;
        SetCapture(hwnd_);
        return;
    }
    if (hit.flags == HHT_ONHEADER && (GetWindowLongW(hwnd_, GWL_STYLE) & HDS_BUTTONS)) {
        pressed_ = hit.iItem;
        pressedIn_ = true;
        SetCapture(hwnd_);
        const RECT r = ItemRect(pressed_);
        InvalidateRect(hwnd_, &r, TRUE);
    }
}

void THeaderWindow::MouseMove(POINT pt) {
    if (tracking_ >= 0) {
        HDITEMW item{};
        item.mask = HDI_WIDTH;
        item.cxy = TrackedWidth(pt);
        if (Notify(HDN_TRACKW, tracking_, &item)) return;
        if (GetWindowLongW(hwnd_, GWL_STYLE) & HDS_FULLDRAG) SetItem(tracking_, item, true);
        return;
    }
    if (pressed_ >= 0) {
        const RECT r = ItemRect(pressed_);
        const bool in = pt.x >= r.left && pt.x < r.right && pt.y >= r.top && pt.y < r.bottom;
        if (in != pressedIn_) {
            pressedIn_ = in;
            InvalidateRect(hwnd_, &r, TRUE);
        }
    }
}

void THeaderWindow::ButtonUp(POINT pt) {
    if (tracking_ >= 0) {
        const int index = tracking_;
        HDITEMW item{};
        item.mask = HDI_WIDTH;
        item.cxy = TrackedWidth(pt);
        tracking_ = -1;
        ReleaseCapture();
        Notify(HDN_ENDTRACKW, index, &item);
        if (items_[size_t(index)].width != item.cxy) SetItem(index, item, true);
        return;
    }
    if (pressed_ >= 0) {
        const int index = pressed_;
        const bool in = pressedIn_;
        pressed_ = -1;
        ReleaseCapture();
        const RECT r = ItemRect(index);
        InvalidateRect(hwnd_, &r, TRUE);
        if (in) Notify(HDN_ITEMCLICKW, index, nullptr);
    }
}

void THeaderWindow::EndTracking() {
    if (tracking_ < 0 && pressed_ < 0) return;
    if (pressed_ >= 0) {
        const RECT r = ItemRect(pressed_);
        InvalidateRect(hwnd_, &r, TRUE);
    }
    tracking_ = pressed_ = -1;
    if (GetCapture() == hwnd_) ReleaseCapture();
}

bool THeaderWindow::SetCursorForPoint() {
    POINT pt{};
    GetCursorPos(&pt);
    ScreenToClient(hwnd_, &pt);
    if (tracking_ < 0 && !(HitTest(pt).flags & (HHT_ONDIVIDER | HHT_ONDIVOPEN))) return false;
    SetCursor(LoadCursorW(nullptr, IDC_SIZEWE));
    return true;
}

// --- Painting --------------------------------------------------------------------------

void THeaderWindow::Paint(HDC dc) {
    RECT client{};
    GetClientRect(hwnd_, &client);
    SelectObject(dc, font_ ? ToGdiObject(font_) : GetStockObject(DEFAULT_GUI_FONT));
    int x = 0;
    for (int i = 0; i < int(items_.size()); ++i) {
        const RECT r = ItemRect(i);
        if (r.right > r.left) DrawItem(dc, i, r);
        x = r.right;
    }
    if (x < client.right) {
        RECT rest{x, 0, client.right, client.bottom};
        FillRect(dc, &rest, GetSysColorBrush(COLOR_BTNFACE));
        DrawEdge(dc, &rest, EDGE_RAISED, BF_RECT | BF_SOFT);
    }
}

void THeaderWindow::DrawItem(HDC dc, int index, const RECT& rect) {
    const TItem& item = items_[size_t(index)];
    const bool down = index == pressed_ && pressedIn_;
    RECT r = rect;
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    if (item.format & HDF_OWNERDRAW) {
        DRAWITEMSTRUCT draw{ODT_HEADER, UINT(GetDlgCtrlID(hwnd_)), UINT(index), ODA_DRAWENTIRE,
                            down ? UINT(ODS_SELECTED) : 0u, hwnd_, dc, rect, ULONG_PTR(item.param)};
        if (const HWND target = NotifyTarget(hwnd_))
            SendMessageW(target, WM_DRAWITEM, WPARAM(draw.CtlID), reinterpret_cast<LPARAM>(&draw));
    } else {
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
        RECT content{rect.left + kTextMargin, rect.top, rect.right - kTextMargin, rect.bottom};
        if (down) {
            ++content.left;
            ++content.top;
        }
        int imageWidth = 0, imageHeight = 0;
        if ((item.format & HDF_IMAGE) && images_ && item.image >= 0 &&
            ImageList_GetIconSize(images_, &imageWidth, &imageHeight)) {
            ImageList_Draw(images_, item.image, dc, content.left, content.top + (content.bottom - content.top - imageHeight) / 2,
                           ILD_NORMAL);
            content.left += imageWidth + 2;
        }
        if ((item.format & HDF_BITMAP) && item.bitmap) content.left += DrawBitmap(dc, item.bitmap, content);
        const bool sorted = item.format & (HDF_SORTUP | HDF_SORTDOWN);
        if (sorted) content.right -= 12;
        if (item.format & HDF_STRING || !(item.format & (HDF_IMAGE | HDF_BITMAP))) {
            UINT align = DT_LEFT;
            if ((item.format & HDF_JUSTIFYMASK) == HDF_RIGHT) align = DT_RIGHT;
            if ((item.format & HDF_JUSTIFYMASK) == HDF_CENTER) align = DT_CENTER;
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
            DrawTextW(dc, item.text.c_str(), int(item.text.size()), &content,
                      align | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
        }
        if (sorted) {
            // A small triangle of rows: narrow at the top for ascending, at the bottom for descending.
            const int cx = content.right + 6, top = (rect.top + rect.bottom) / 2 - 2;
            const bool up = item.format & HDF_SORTUP;
            for (int row = 0; row < 4; ++row) {
                const int half = up ? row : 3 - row;
                const RECT line{cx - half, top + row, cx + half + 1, top + row + 1};
                FillRect(dc, &line, GetSysColorBrush(COLOR_BTNSHADOW));
            }
        }
        RestoreDC(dc, saved);
    }
    r = rect;
    DrawEdge(dc, &r, down ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | (down ? 0 : BF_SOFT));
}
