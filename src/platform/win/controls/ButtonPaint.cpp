#include "platform/win/controls/ButtonPaint.h"

#include <algorithm>

#include "platform/win/controls/ControlWindow.h"
#include "platform/win/controls/Controls.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/icons/Icons.h"
#include "platform/win/text/Text.h"

namespace {

constexpr int kCheckBoxSize = 13;
constexpr int kCaptionGap = 4;   // between a check box's square and its caption
constexpr int kGroupIndent = 8;  // of a group box's caption from the left edge
constexpr int kGroupPadding = 2; // cleared around a group box's caption

RECT Shifted(RECT r, int dx, int dy) { return RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy}; }

String WindowText(HWND hwnd) {
    String text(size_t(GetWindowTextLengthW(hwnd)) + 1, u'\0');
    text.resize(size_t(GetWindowTextW(hwnd, text.data(), int(text.size()))));
    return text;
}

// Draws Text inside Area (aligned by Format's horizontal bits, centred
// vertically) and answers the rectangle it covers. Disabled text is embossed.
RECT DrawCaption(HDC dc, const String& text, const RECT& area, UINT format, bool multiline, bool enabled) {
    const UINT layout = multiline ? DT_WORDBREAK : DT_SINGLELINE;
    RECT bounds = area;
    DrawTextW(dc, text.c_str(), int(text.size()), &bounds, format | layout | DT_CALCRECT);
    const int width = std::min(bounds.right - bounds.left, area.right - area.left);
    const int height = std::min(bounds.bottom - bounds.top, area.bottom - area.top);
    int left = area.left;
    if (format & DT_CENTER) left += (area.right - area.left - width) / 2;
    else if (format & DT_RIGHT) left = area.right - width;
    const int top = area.top + (area.bottom - area.top - height) / 2;
    RECT placed{left, top, left + width, top + height};
    SetBkMode(dc, TRANSPARENT);
    const UINT drawFormat = (format & ~(DT_CENTER | DT_RIGHT)) | layout | DT_NOCLIP;
    if (!enabled) {
        const COLORREF keep = SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
        RECT shadow = Shifted(placed, 1, 1);
        DrawTextW(dc, text.c_str(), int(text.size()), &shadow, drawFormat);
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        DrawTextW(dc, text.c_str(), int(text.size()), &placed, drawFormat);
        SetTextColor(dc, keep);
        return placed;
    }
    RECT r = placed;
    DrawTextW(dc, text.c_str(), int(text.size()), &r, drawFormat);
    return placed;
}

SIZE ImageSize(UINT type, HANDLE image) {
    BITMAP info{};
    if (type == IMAGE_BITMAP) {
        GetObjectW(ToGdiObject(image), sizeof info, &info);
        return SIZE{info.bmWidth, info.bmHeight};
    }
    ICONINFO icon{};
    if (!GetIconInfo(static_cast<HICON>(image), &icon)) return SIZE{0, 0};
    GetObjectW(ToGdiObject(icon.hbmMask), sizeof info, &info);
    const SIZE size{info.bmWidth, icon.hbmColor ? info.bmHeight : info.bmHeight / 2};
    DeleteObject(ToGdiObject(icon.hbmMask));
    if (icon.hbmColor) DeleteObject(ToGdiObject(icon.hbmColor));
    return size;
}

void DrawImage(HDC dc, const TButtonLook& look, const RECT& area) {
    const SIZE size = ImageSize(look.imageType, look.image);
    const int x = area.left + (area.right - area.left - size.cx) / 2;
    const int y = area.top + (area.bottom - area.top - size.cy) / 2;
    if (look.imageType == IMAGE_ICON) {
        DrawIconEx(dc, x, y, static_cast<HICON>(look.image), 0, 0, 0, nullptr, DI_NORMAL);
        return;
    }
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, ToGdiObject(look.image));
    BitBlt(dc, x, y, size.cx, size.cy, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
}

void PaintPushButton(HWND hwnd, HDC dc, const TButtonLook& look, RECT r) {
    FillRect(dc, &r, ControlColorBrush(hwnd, dc, WM_CTLCOLORBTN));
    r = DrawPushButtonFace(dc, r, look.pushed, look.defaultLook);
    const RECT content = look.pushed ? Shifted(r, 1, 1) : r;
    if (look.image) {
        DrawImage(dc, look, content);
    } else {
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        DrawCaption(dc, WindowText(hwnd), content, DT_CENTER, (look.style & BS_MULTILINE) != 0, look.enabled);
    }
    if (look.focused) {
        const RECT focus = Inset(r, 1);
        DrawFocusRect(dc, &focus);
    }
}

void PaintCheckButton(HWND hwnd, HDC dc, const TButtonLook& look, const RECT& client, UINT glyph) {
    FillRect(dc, &client, ControlColorBrush(hwnd, dc, WM_CTLCOLORSTATIC));
    const bool textLeft = (look.style & BS_LEFTTEXT) != 0;
    const int boxTop = client.top + (client.bottom - client.top - kCheckBoxSize) / 2;
    const int boxLeft = textLeft ? client.right - kCheckBoxSize : client.left;
    RECT box{boxLeft, boxTop, boxLeft + kCheckBoxSize, boxTop + kCheckBoxSize};
    UINT state = glyph;
    if (look.check == BST_CHECKED) state |= DFCS_CHECKED;
    if (look.check == BST_INDETERMINATE) state |= DFCS_CHECKED | DFCS_BUTTON3STATE;
    if (look.pushed) state |= DFCS_PUSHED;
    if (!look.enabled) state |= DFCS_INACTIVE;
    DrawFrameControl(dc, &box, DFC_BUTTON, state);

    RECT text = client;
    if (textLeft) text.right = box.left - kCaptionGap;
    else text.left = box.right + kCaptionGap;
    const String caption = WindowText(hwnd);
    const RECT drawn = DrawCaption(dc, caption, text, DT_LEFT, (look.style & BS_MULTILINE) != 0, look.enabled);
    if (look.focused && !caption.empty()) {
        RECT focus{drawn.left - 1, std::max(client.top, drawn.top - 1), drawn.right + 1,
                   std::min(client.bottom, drawn.bottom + 1)};
        DrawFocusRect(dc, &focus);
    }
}

void PaintGroupBox(HWND hwnd, HDC dc, const TButtonLook& look, const RECT& client) {
    HBRUSH brush = ControlColorBrush(hwnd, dc, WM_CTLCOLORSTATIC);
    FillRect(dc, &client, brush);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    RECT frame = client;
    frame.top += metrics.tmHeight / 2;
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    const String caption = WindowText(hwnd);
    if (caption.empty()) return;
    RECT text{client.left + kGroupIndent, client.top, client.right - kGroupIndent, client.top + metrics.tmHeight};
    DrawTextW(dc, caption.c_str(), int(caption.size()), &text, DT_SINGLELINE | DT_CALCRECT);
    text.right = std::min(text.right, client.right - kGroupIndent);
    RECT cleared{text.left - kGroupPadding, text.top, text.right + kGroupPadding, text.bottom};
    FillRect(dc, &cleared, brush);
    DrawCaption(dc, caption, text, DT_LEFT, false, look.enabled);
}

void RequestOwnerDraw(HWND hwnd, HDC dc, const TButtonLook& look, const RECT& client) {
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_BUTTON;
    item.CtlID = UINT(GetDlgCtrlID(hwnd));
    item.itemAction = ODA_DRAWENTIRE;
    if (look.pushed) item.itemState |= ODS_SELECTED;
    if (look.focused) item.itemState |= ODS_FOCUS;
    if (!look.enabled) item.itemState |= ODS_DISABLED;
    if (look.defaultLook) item.itemState |= ODS_DEFAULT;
    item.hwndItem = hwnd;
    item.hDC = dc;
    item.rcItem = client;
    if (HWND parent = GetParent(hwnd)) SendMessageW(parent, WM_DRAWITEM, WPARAM(item.CtlID), LPARAM(&item));
}

} // namespace

RECT DrawPushButtonFace(HDC dc, RECT r, bool pushed, bool isDefault) {
    if (isDefault) {
        FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
        r = Inset(r, 1);
    }
    if (pushed && isDefault) {
        // The default button pressed: a flat shadow frame, the face inside.
        FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
        r = Inset(r, 1);
        FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
        return Inset(r, 1);
    }
    DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
    return Inset(r, 2);
}

void PaintButton(HWND hwnd, HDC dc, const TButtonLook& look) {
    RECT client;
    GetClientRect(hwnd, &client);
    const int saved = SaveDC(dc);
    if (look.font) SelectObject(dc, ToGdiObject(look.font));
    switch (look.style & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE: PaintCheckButton(hwnd, dc, look, client, DFCS_BUTTONCHECK); break;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: PaintCheckButton(hwnd, dc, look, client, DFCS_BUTTONRADIO); break;
    case BS_GROUPBOX: PaintGroupBox(hwnd, dc, look, client); break;
    case BS_OWNERDRAW: RequestOwnerDraw(hwnd, dc, look, client); break;
    default: PaintPushButton(hwnd, dc, look, client); break;
    }
    RestoreDC(dc, saved);
}
