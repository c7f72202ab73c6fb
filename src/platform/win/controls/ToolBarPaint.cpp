// Painting a toolbar in the classic look: raised buttons that sink while
// pressed or checked (flat bars: edges only when hot or down), a checked
// button's lighter face, disabled images from the disabled list or embossed,
// drop-down arrows drawn as small triangles, and the divider line above.

#include <algorithm>
#include <cstdint>

#include "platform/win/controls/Controls.h"
#include "platform/win/controls/ToolBarWindow.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/imagelist/ImageList.h"
#include "platform/win/system/SystemColors.h"
#include "platform/win/text/Text.h"

namespace {

// A downward triangle three pixels high, centred in Rect.
void PaintArrow(HDC dc, const RECT& rect, int color) {
    const int cx = (rect.left + rect.right) / 2, top = (rect.top + rect.bottom) / 2 - 1;
    for (int row = 0; row < 3; ++row) {
        const RECT line{cx - 2 + row, top + row, cx + 3 - row, top + row + 1};
        FillRect(dc, &line, GetSysColorBrush(color));
    }
}

// An embossed arrow for a disabled button.
void PaintDisabledArrow(HDC dc, const RECT& rect) {
    PaintArrow(dc, {rect.left + 1, rect.top + 1, rect.right + 1, rect.bottom + 1}, COLOR_BTNHIGHLIGHT);
    PaintArrow(dc, rect, COLOR_BTNSHADOW);
}

// The edge of a button part: sunken while down, raised at rest (flat bars:
// only while hot).
void PaintEdge(HDC dc, RECT rect, bool flat, bool down, bool hot) {
    if (down)
        DrawEdge(dc, &rect, flat ? BDR_SUNKENOUTER : EDGE_SUNKEN, BF_RECT);
    else if (!flat)
        DrawEdge(dc, &rect, EDGE_RAISED, BF_RECT);
    else if (hot)
        DrawEdge(dc, &rect, BDR_RAISEDINNER, BF_RECT);
}

// A checked button's face: the highlight and face colours in a checkerboard.
void PaintCheckedFace(HDC dc, const RECT& rect) {
    static constexpr uint8_t kRows[16] = {0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0};
    const HBITMAP checker = CreateBitmap(8, 8, 1, 1, kRows);
    const HBRUSH brush = CreatePatternBrush(checker);
    const COLORREF oldText = SetTextColor(dc, GetSysColor(COLOR_BTNFACE));
    const COLORREF oldBack = SetBkColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
    FillRect(dc, &rect, brush);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
    DeleteObject(ToGdiObject(brush));
    DeleteObject(ToGdiObject(checker));
}

bool HoldsImage(HIMAGELIST list, int index) { return list && index >= 0 && index < ImageList_GetImageCount(list); }

} // namespace

void TToolBarWindow::Paint(HDC dc, const RECT& area) {
    RECT client;
    GetClientRect(hwnd_, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    HGDIOBJ oldFont = SelectObject(dc, ToGdiObject(font_ ? font_ : HFONT(GetStockObject(DEFAULT_GUI_FONT))));
    SetBkMode(dc, TRANSPARENT);
    for (size_t i = 0; i < buttons_.size(); ++i) {
        if (!buttons_[i].Hidden() && Overlaps(buttons_[i].rect, area)) PaintButton(dc, int(i));
    }
    SelectObject(dc, oldFont);
}

void TToolBarWindow::PaintSeparator(HDC dc, const TButton& button) {
    // Flat bars show an etched line; the others only the gap.
    if (!Flat()) return;
    const int x = (button.rect.left + button.rect.right) / 2 - 1;
    const RECT shadow{x, button.rect.top + 2, x + 1, button.rect.bottom - 2};
    const RECT light{x + 1, button.rect.top + 2, x + 2, button.rect.bottom - 2};
    FillRect(dc, &shadow, GetSysColorBrush(COLOR_BTNSHADOW));
    FillRect(dc, &light, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
}

void TToolBarWindow::PaintButton(HDC dc, int index) {
    const TButton& button = buttons_[size_t(index)];
    if (button.Separator()) {
        PaintSeparator(dc, button);
        return;
    }
    const bool enabled = button.Enabled();
    const bool hot = enabled && hot_ == index;
    const bool held = pressed_ == index && pressedInside_;
    const bool down = (button.state & TBSTATE_PRESSED) || (held && !pressedArrow_);
    const bool checked = button.state & TBSTATE_CHECKED;
    const bool flat = Flat();

    RECT body = button.rect;
    const RECT arrow = ArrowRect(button);
    const bool arrowPart = !Empty(arrow) && !(button.style & BTNS_WHOLEDROPDOWN);
    if (arrowPart) {
        body.right = arrow.left;
        PaintEdge(dc, arrow, flat, (held && pressedArrow_) || (button.state & TBSTATE_PRESSED), hot);
    }
    if (checked && !down) PaintCheckedFace(dc, {body.left + 2, body.top + 2, body.right - 2, body.bottom - 2});
    PaintEdge(dc, body, flat, down || checked || (held && pressedArrow_ && !arrowPart), hot);

    // The content moves a pixel right and down while the button is in.
    const int shift = down || checked ? 1 : 0;
    RECT content = Shifted(body, shift);
    if (button.style & BTNS_WHOLEDROPDOWN) {
        const RECT inner = Shifted({arrow.left - 2, arrow.top, arrow.right - 2, arrow.bottom}, shift);
        content.right = inner.left;
        enabled ? PaintArrow(dc, inner, COLOR_BTNTEXT) : PaintDisabledArrow(dc, inner);
    } else if (arrowPart) {
        const RECT inner = Shifted(arrow, held && pressedArrow_ ? 1 : 0);
        enabled ? PaintArrow(dc, inner, COLOR_BTNTEXT) : PaintDisabledArrow(dc, inner);
    }

    const bool caption = CaptionOf(button);
    const bool image = !(List() && button.image == I_IMAGENONE);
    const SIZE imageSize = image ? bitmapSize_ : SIZE{0, 0};
    if (List()) {
        const int x = content.left + kPadX / 2;
        if (image) PaintImage(dc, button, hot, x, content.top + (content.bottom - content.top - imageSize.cy) / 2);
        if (caption)
            PaintCaption(dc, button,
                         {x + imageSize.cx + (image ? kListGap : 0), content.top, content.right, content.bottom});
        return;
    }
    const int lines = caption ? textRows_ * lineHeight_ : 0;
    const int height = imageSize.cy + (caption ? kCaptionGap + lines : 0);
    const int top = content.top + std::max(0, (content.bottom - content.top - height) / 2);
    PaintImage(dc, button, hot, content.left + (content.right - content.left - imageSize.cx) / 2, top);
    if (caption) PaintCaption(dc, button, {content.left + 2, top + imageSize.cy + kCaptionGap, content.right - 2, top + height});
}

void TToolBarWindow::PaintImage(HDC dc, const TButton& button, bool hot, int x, int y) {
    const HIMAGELIST normal = images_[kNormalImages];
    if (!button.Enabled()) {
        if (HoldsImage(images_[kDisabledImages], button.image))
            ImageList_Draw(images_[kDisabledImages], button.image, dc, x, y, ILD_TRANSPARENT);
        else if (HoldsImage(normal, button.image))
            DrawDisabledListImage(normal, button.image, dc, x, y);
        return;
    }
    const HIMAGELIST list = hot && HoldsImage(images_[kHotImages], button.image) ? images_[kHotImages] : normal;
    if (HoldsImage(list, button.image)) ImageList_Draw(list, button.image, dc, x, y, ILD_TRANSPARENT);
}

void TToolBarWindow::PaintCaption(HDC dc, const TButton& button, RECT rect) {
    UINT format = List() ? DT_LEFT | DT_VCENTER : DT_CENTER | DT_TOP;
    format |= textRows_ > 1 ? DT_WORDBREAK | DT_EDITCONTROL : DT_SINGLELINE;
    format |= DT_END_ELLIPSIS;
    if (button.style & BTNS_NOPREFIX) format |= DT_NOPREFIX;
    const int count = int(button.caption.size());
    if (!button.Enabled()) {
        RECT light = Shifted(rect, 1);
        SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawTextW(dc, button.caption.c_str(), count, &light, format);
        SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
    } else {
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    }
    DrawTextW(dc, button.caption.c_str(), count, &rect, format);
}

void TToolBarWindow::PaintDivider() {
    if (!DividerHeight()) return;
    RECT window;
    GetWindowRect(hwnd_, &window);
    const HDC dc = GetWindowDC(hwnd_);
    const int width = window.right - window.left;
    const RECT shadow{0, 0, width, 1}, light{0, 1, width, 2};
    FillRect(dc, &shadow, GetSysColorBrush(COLOR_BTNSHADOW));
    FillRect(dc, &light, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
    ReleaseDC(hwnd_, dc);
}
