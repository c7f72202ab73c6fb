#include "platform/win/menus/MenuPainter.h"

#include <algorithm>

#include "platform/win/gdi/Gdi.h"
#include "platform/win/imagelist/ImageListObject.h"
#include "platform/win/system/SystemColors.h"
#include "platform/win/text/Text.h"

namespace {

// Keeps a context's objects and colours for one drawing and puts them back.
class TDrawState {
public:
    explicit TDrawState(HDC dc) : dc_(dc), saved_(SaveDC(dc)) { SetBkMode(dc, TRANSPARENT); }
    ~TDrawState() { RestoreDC(dc_, saved_); }
    TDrawState(const TDrawState&) = delete;
    TDrawState& operator=(const TDrawState&) = delete;

private:
    HDC dc_;
    int saved_;
};

void FillSys(HDC dc, const RECT& r, int color) { FillRect(dc, &r, GetSysColorBrush(color)); }

void Text(HDC dc, HFONT font, const String& text, RECT r, UINT format, COLORREF color) {
    const HGDIOBJ old = SelectObject(dc, ToGdiObject(font));
    SetTextColor(dc, color);
    DrawTextW(dc, text.c_str(), text.Length(), &r, format | DT_SINGLELINE | DT_VCENTER);
    SelectObject(dc, old);
}

// Grey text over a highlight-coloured copy one pixel down and right, the
// copy left out on a highlighted background.
void Text(HDC dc, HFONT font, const String& text, const RECT& r, UINT format, bool disabled, bool hot,
          COLORREF color) {
    if (!disabled) return Text(dc, font, text, r, format, color);
    if (!hot) Text(dc, font, text, RECT{r.left + 1, r.top + 1, r.right + 1, r.bottom + 1}, format, GetSysColor(COLOR_3DHILIGHT));
    Text(dc, font, text, r, format, GetSysColor(COLOR_GRAYTEXT));
}

// A tick of three pixel rows, centred on (cx, cy).
void CheckMark(HDC dc, int cx, int cy, COLORREF color) {
    const HPEN pen = CreatePen(PS_SOLID, 1, color);
    const HGDIOBJ old = SelectObject(dc, ToGdiObject(pen));
    for (int row = 0; row < 3; ++row) {
        const POINT tick[3] = {{cx - 3, cy - 1 + row}, {cx - 1, cy + 1 + row}, {cx + 4, cy - 4 + row}};
        Polyline(dc, tick, 3);
    }
    SelectObject(dc, old);
    DeleteObject(ToGdiObject(pen));
}

// Shapes filled row by row, each row centred on Cx or growing right from X.
void FillRows(HDC dc, const int* widths, int rows, int top, COLORREF color, int cx, bool centred) {
    const HBRUSH brush = CreateSolidBrush(color);
    for (int i = 0; i < rows; ++i) {
        const int left = centred ? cx - widths[i] / 2 : cx;
        const RECT row{left, top + i, left + widths[i], top + i + 1};
        FillRect(dc, &row, brush);
    }
    DeleteObject(ToGdiObject(brush));
}

// A round dot 6 pixels across, centred on (cx, cy).
void RadioBullet(HDC dc, int cx, int cy, COLORREF color) {
    static constexpr int kRows[] = {2, 4, 6, 6, 4, 2};
    FillRows(dc, kRows, 6, cy - 3, color, cx, true);
}

// A right-pointing triangle 4 wide and 7 high, its tip at (x, cy).
void SubmenuArrow(HDC dc, int x, int cy, COLORREF color) {
    static constexpr int kRows[] = {1, 2, 3, 4, 3, 2, 1};
    FillRows(dc, kRows, 7, cy - 3, color, x - 3, false);
}

// The image's opaque pixels in the highlight colour one pixel down and right,
// then in the shadow colour.
void EmbossedImage(HDC dc, const TImageListObject& list, int index, int x, int y) {
    const TIconImage& image = list.images[size_t(index)];
    const auto opaque = [&](int ix, int iy) {
        return image.alpha ? image.Color(ix, iy) >> 24 >= 0x80 : image.Mask(ix, iy) == 0;
    };
    for (const auto& [offset, color] : {std::pair{1, COLOR_BTNHIGHLIGHT}, std::pair{0, COLOR_BTNSHADOW}})
        for (int iy = 0; iy < image.height; ++iy)
            for (int ix = 0; ix < image.width; ++ix)
                if (opaque(ix, iy)) SetPixelV(dc, x + ix + offset, y + iy + offset, GetSysColor(color));
}

// The item's image from the menu's list, else its bitmap; false for neither.
bool ItemImage(HDC dc, const TMenuObject& menu, const TMenuEntry& entry, const RECT& box) {
    if (const TImageListObject* list = FindImageList(menu.images); list && list->Holds(entry.image)) {
        const int x = (box.left + box.right - list->width) / 2, y = (box.top + box.bottom - list->height) / 2;
        if (entry.Disabled())
            EmbossedImage(dc, *list, entry.image, x, y);
        else
            ImageList_Draw(menu.images, entry.image, dc, x, y, ILD_TRANSPARENT);
        return true;
    }
    BITMAP bm{};
    if (!entry.bitmap || !GetObjectW(ToGdiObject(entry.bitmap), sizeof bm, &bm)) return false;
    const HDC source = CreateCompatibleDC(dc);
    const HGDIOBJ old = SelectObject(source, ToGdiObject(entry.bitmap));
    BitBlt(dc, (box.left + box.right - bm.bmWidth) / 2, (box.top + box.bottom - bm.bmHeight) / 2, bm.bmWidth,
           bm.bmHeight, source, 0, 0, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
    return true;
}

void PopupItem(HDC dc, const TMenuFonts& fonts, const TMenuObject& menu, const TMenuEntry& entry,
               const TPopupLayout& layout, RECT r, bool hot) {
    if (entry.Separator()) {
        RECT line{r.left + 1, (r.top + r.bottom) / 2 - 1, r.right - 1, r.bottom};
        DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
        return;
    }
    if (hot) FillSys(dc, r, COLOR_HIGHLIGHT);
    const COLORREF color = GetSysColor(hot ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT);
    const COLORREF markColor = entry.Disabled() ? GetSysColor(COLOR_GRAYTEXT) : color;
    const int cy = (r.top + r.bottom) / 2;
    const RECT gutter{r.left, r.top, r.left + layout.gutter, r.bottom};
    const bool image = ItemImage(dc, menu, entry, gutter);
    if (entry.state & MFS_CHECKED) {
        if (image) {
            RECT frame{gutter.left + 1, r.top + 1, gutter.right - 1, r.bottom - 1};
            DrawEdge(dc, &frame, BDR_SUNKENOUTER, BF_RECT);
        } else if (entry.type & MFT_RADIOCHECK) {
            RadioBullet(dc, (gutter.left + gutter.right) / 2, cy, markColor);
        } else {
            CheckMark(dc, (gutter.left + gutter.right) / 2, cy, markColor);
        }
    }
    const HFONT font = fonts.For(entry);
    const RECT text = PopupTextArea(layout, r);
    Text(dc, font, entry.Caption(), text, DT_LEFT, entry.Disabled(), hot, color);
    if (const String shortcut = entry.Shortcut(); !shortcut.IsEmpty())
        Text(dc, font, shortcut, text, DT_RIGHT | DT_NOPREFIX, entry.Disabled(), hot, color);
    if (entry.submenu) SubmenuArrow(dc, r.right - kSubmenuArrowArea / 2 + 2, cy, markColor);
}

} // namespace

void PaintPopup(HDC dc, const TMenuObject& menu, const TPopupLayout& layout, int hot) {
    TDrawState state(dc);
    TMenuFonts fonts;
    RECT whole{0, 0, layout.size.cx, layout.size.cy};
    if (menu.background)
        FillRect(dc, &whole, menu.background);
    else
        FillSys(dc, whole, COLOR_MENU);
    DrawEdge(dc, &whole, EDGE_RAISED, BF_RECT);
    for (const int x : layout.barBreaks) {
        RECT line{x, kPopupBorder, x + 2, layout.size.cy - kPopupBorder};
        DrawEdge(dc, &line, EDGE_ETCHED, BF_LEFT);
    }
    for (size_t i = 0; i < menu.items.size() && i < layout.items.size(); ++i)
        PopupItem(dc, fonts, menu, menu.items[i], layout, layout.items[i], int(i) == hot);
}

void PaintMenuBar(HDC dc, const TMenuObject& menu, const RECT& bar, const std::vector<RECT>& items, int selected,
                  TBarItemLook look) {
    TDrawState state(dc);
    TMenuFonts fonts;
    FillSys(dc, bar, COLOR_MENUBAR);
    for (size_t i = 0; i < menu.items.size() && i < items.size(); ++i) {
        const TMenuEntry& entry = menu.items[i];
        if (entry.Separator()) continue;
        RECT r = items[i];
        const TBarItemLook itemLook = int(i) == selected ? look : TBarItemLook::Normal;
        if (itemLook == TBarItemLook::Hot) {
            RECT edge = r;
            DrawEdge(dc, &edge, BDR_RAISEDINNER, BF_RECT);
        } else if (itemLook == TBarItemLook::Pressed) {
            RECT edge = r;
            DrawEdge(dc, &edge, BDR_SUNKENOUTER, BF_RECT);
            r = RECT{r.left + 1, r.top + 1, r.right + 1, r.bottom + 1};
        }
        Text(dc, fonts.For(entry), entry.Caption(), r, DT_CENTER, entry.Disabled(), false,
             GetSysColor(COLOR_MENUTEXT));
    }
}
