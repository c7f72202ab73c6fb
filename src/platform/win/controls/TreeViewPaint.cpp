#include <algorithm>

#include "platform/win/controls/Controls.h"
#include "platform/win/controls/TreeViewWindow.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/imagelist/ImageList.h"
#include "platform/win/text/Text.h"

namespace {

// Lines are dotted: every other pixel.
void DottedLine(HDC dc, int x0, int y0, int x1, int y1, COLORREF color) {
    for (int x = x0; x <= x1; x += 2)
        for (int y = y0; y <= y1; y += 2) SetPixel(dc, x, y, color);
}

} // namespace

void TTreeViewWindow::Paint(HDC dc, const RECT& area) {
    if (font_) SelectObject(dc, ToGdiObject(font_));
    const HBRUSH background = GetSysColorBrush(COLOR_WINDOW);
    RECT client{};
    GetClientRect(hwnd_, &client);
    const auto& rows = Rows();
    int y = 0;
    for (size_t i = size_t(top_); i < rows.size() && y < client.bottom; ++i, y += itemHeight_) {
        const RECT row{0, y, client.right, y + itemHeight_};
        if (Intersects(row, area)) DrawRow(dc, *rows[i], row, background);
    }
    const RECT rest{0, y, client.right, std::max(client.bottom, y)};
    if (Intersects(rest, area)) FillRect(dc, &rest, background);
}

void TTreeViewWindow::DrawRow(HDC dc, TItem& item, const RECT& row, HBRUSH background) {
    FillRect(dc, &row, background);
    const DWORD style = Style();
    if (style & TVS_HASLINES) DrawLines(dc, item, row);
    if (style & TVS_HASBUTTONS) DrawButton(dc, item, row);
    const TShown shown = Shown(item, TVIF_TEXT | TVIF_IMAGE);
    const int left = IndentOf(item);
    if (images_ && shown.image >= 0) {
        int width = 0, height = 0;
        ImageList_GetIconSize(images_, &width, &height);
        ImageList_Draw(images_, shown.image, dc, left, row.top + (itemHeight_ - height) / 2, ILD_TRANSPARENT);
    }
    RECT label = LabelRect(item, row);
    if (style & TVS_FULLROWSELECT) label.right = row.right;
    const bool selected = &item == caret_ || &item == dropHilite_;
    const bool showSelection = focused_ || (style & TVS_SHOWSELALWAYS) || &item == dropHilite_;
    const bool hot = &item == hot_;
    COLORREF text = GetSysColor(!IsWindowEnabled(hwnd_) ? COLOR_GRAYTEXT : hot ? COLOR_HOTLIGHT : COLOR_WINDOWTEXT);
    if (selected && showSelection) {
        const bool active = focused_ || &item == dropHilite_;
        FillRect(dc, &label, GetSysColorBrush(active ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
        if (active) text = GetSysColor(COLOR_HIGHLIGHTTEXT);
    }
    const COLORREF oldText = SetTextColor(dc, text);
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const HGDIOBJ oldFont = hot ? SelectObject(dc, ToGdiObject(HotFont(dc))) : nullptr;
    ExtTextOutW(dc, label.left + 2, row.top + 1, ETO_CLIPPED, &label, shown.text.c_str(), UINT(shown.text.size()),
                nullptr);
    if (oldFont) SelectObject(dc, oldFont);
    SetBkMode(dc, oldMode);
    SetTextColor(dc, oldText);
    if (&item == caret_ && focused_) DrawFocusRect(dc, &label);
}

// The line from the item's parent down past it, its stub to the item, and the lines of its
// ancestors that continue below.
void TTreeViewWindow::DrawLines(HDC dc, TItem& item, const RECT& row) {
    if (!item.parent && !(Style() & TVS_LINESATROOT)) return;
    const COLORREF color = GetSysColor(COLOR_GRAYTEXT);
    const int mid = (row.top + row.bottom) / 2;
    const int x = IndentOf(item) - indent_ / 2 - 1;
    const bool first = !item.parent && roots_.front().get() == &item;
    DottedLine(dc, x, first ? mid : row.top, x, Next(&item) ? row.bottom - 1 : mid, color);
    DottedLine(dc, x, mid, IndentOf(item) - 1, mid, color);
    for (TItem* p = item.parent; p; p = p->parent) {
        if (!Next(p) || (!p->parent && !(Style() & TVS_LINESATROOT))) continue;
        const int px = IndentOf(*p) - indent_ / 2 - 1;
        DottedLine(dc, px, row.top, px, row.bottom - 1, color);
    }
}

// A boxed plus, or minus when expanded, centred in the item's button column.
void TTreeViewWindow::DrawButton(HDC dc, const TItem& item, const RECT& row) {
    if (!item.parent && !(Style() & TVS_LINESATROOT)) return;
    if (!HasChildren(item)) return;
    const int cx = IndentOf(item) - indent_ / 2 - 1;
    const int cy = (row.top + row.bottom) / 2;
    const RECT box{cx - 4, cy - 4, cx + 5, cy + 5};
    FillRect(dc, &box, GetSysColorBrush(COLOR_GRAYTEXT));
    const RECT inside{box.left + 1, box.top + 1, box.right - 1, box.bottom - 1};
    FillRect(dc, &inside, GetSysColorBrush(COLOR_WINDOW));
    const HBRUSH mark = GetSysColorBrush(COLOR_WINDOWTEXT);
    const RECT minus{cx - 2, cy, cx + 3, cy + 1};
    FillRect(dc, &minus, mark);
    if (!(item.state & TVIS_EXPANDED)) {
        const RECT plus{cx, cy - 2, cx + 1, cy + 3};
        FillRect(dc, &plus, mark);
    }
}

HFONT TTreeViewWindow::HotFont(HDC dc) {
    if (hotFont_) return hotFont_;
    LOGFONTW face{};
    GetObjectW(GetCurrentObject(dc, OBJ_FONT), sizeof face, &face);
    face.lfUnderline = TRUE;
    hotFont_ = CreateFontIndirectW(&face);
    return hotFont_;
}
