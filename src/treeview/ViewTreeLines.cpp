// Tree lines and expand buttons: the line images of a row and their drawing
// with the dotted pattern brush, and the four 9 x 9 button bitmaps.

#include <algorithm>
#include <cstring>

#include "platform/ui/Canvas.h"
#include "platform/win/gdi/Bitmaps.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/system/Modules.h"
#include "treeview/BaseViewTree.h"
#include "treeview/TreeDrawing.h"
#include "treeview/TreePaintState.h"

namespace {

constexpr int kTreeButtonSize = 9;
// Pixels of this colour in a button bitmap are not drawn.
constexpr uint32_t kButtonKeyPixel = 0x00FF00FF;
constexpr uint16_t kDottedLineRows[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};

// A 32-bit DIB pixel (0x00RRGGBB) of a colour.
uint32_t LinePixelOf(TColor color) {
    const COLORREF c = ColorToRGB(color);
    return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
}

// A button bitmap's pixels, top down, Size x Size.
struct TButtonCanvas {
    HBITMAP bitmap;
    uint32_t* bits;
    void Set(int x, int y, uint32_t pixel) const {
        if (x >= 0 && y >= 0 && x < kTreeButtonSize && y < kTreeButtonSize) bits[y * kTreeButtonSize + x] = pixel;
    }
    void Fill(int left, int top, int right, int bottom, uint32_t pixel) const {
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) Set(x, y, pixel);
    }
};

TButtonCanvas NewButtonBitmap() {
    const HBITMAP bitmap = NewDibSection(kTreeButtonSize, -kTreeButtonSize, 32);
    BITMAP bm{};
    GetObjectW(ToGdiObject(bitmap), sizeof bm, &bm);
    TButtonCanvas canvas{bitmap, static_cast<uint32_t*>(bm.bmBits)};
    canvas.Fill(0, 0, kTreeButtonSize, kTreeButtonSize, kButtonKeyPixel);
    return canvas;
}

// A black triangle with the corners given, filled row by row.
void FillTriangle(const TButtonCanvas& canvas, bool expanded) {
    for (int i = 0; i < 5; ++i) {
        // Expanded: rows 2..6 narrowing from (0..8) to (4); collapsed: columns 2..6 narrowing from rows 0..8.
        if (expanded) canvas.Fill(i, 2 + i, kTreeButtonSize - i, 3 + i, 0);
        else canvas.Fill(2 + i, i, 3 + i, kTreeButtonSize - i, 0);
    }
}

void DrawRectangleButton(const TButtonCanvas& canvas, bool expanded, uint32_t frame, uint32_t fill, uint32_t bar) {
    const int w = kTreeButtonSize;
    canvas.Fill(0, 0, w, w, frame);
    canvas.Fill(1, 1, w - 1, w - 1, fill);
    canvas.Fill(2, w / 2, w - 2, w / 2 + 1, bar);
    if (!expanded) canvas.Fill(w / 2, 2, w / 2 + 1, w - 2, bar);
}

// The shaded look comes as resource bitmaps, copied into the 32-bit button.
void CopyResourceButton(const TButtonCanvas& canvas, const char16_t* name) {
    const HBITMAP loaded = LoadBitmapW(GetModuleHandleW(nullptr), name);
    if (!loaded) return;
    const HDC source = CreateCompatibleDC(nullptr), target = CreateCompatibleDC(nullptr);
    const HGDIOBJ oldSource = SelectObject(source, ToGdiObject(loaded));
    const HGDIOBJ oldTarget = SelectObject(target, ToGdiObject(canvas.bitmap));
    BitBlt(target, 0, 0, kTreeButtonSize, kTreeButtonSize, source, 0, 0, SRCCOPY);
    SelectObject(source, oldSource);
    SelectObject(target, oldTarget);
    DeleteDC(source);
    DeleteDC(target);
    DeleteObject(ToGdiObject(loaded));
}

} // namespace

template <class H>
void TOwnedGdiObject<H>::Reset(H handle) {
    if (handle_) DeleteObject(ToGdiObject(handle_));
    handle_ = handle;
}
template class TOwnedGdiObject<HBITMAP>;
template class TOwnedGdiObject<HBRUSH>;

int TBaseViewTree::ComputeLineImages(PViewNode node, TLineImage& lineImages) {
    int selectedAncestors = 0;
    for (PViewNode run = node->parent; run && run != root_; run = run->parent)
        if (run->states.Contains(nsSelected)) ++selectedAncestors;
    const bool showRoot = HasOption(toShowRoot);
    const int levels = int(NodeLevel(node)) + (showRoot ? 1 : 0);
    lineImages.assign(size_t(levels), ltNone);
    if (levels == 0 || !HasOption(toShowTreeLines) ||
        (HasOption(toHideTreeLinesIfThemed) && states_.Contains(tsUseThemes)))
        return selectedAncestors;

    auto hasNext = [this](PViewNode n) {
        for (PViewNode s = n->nextSibling; s; s = s->nextSibling)
            if (EffectivelyVisible(s)) return true;
        return false;
    };
    auto hasPrevious = [this](PViewNode n) {
        for (PViewNode s = n->prevSibling; s; s = s->prevSibling)
            if (EffectivelyVisible(s)) return true;
        return false;
    };
    const int own = levels - 1;
    const bool topLevel = node->parent == root_;
    if (HasOption(toChildrenAbove)) {
        const bool openBelow = !topLevel || hasNext(node);
        if (hasPrevious(node)) lineImages[size_t(own)] = openBelow ? ltTopDownRight : ltTopRight;
        else lineImages[size_t(own)] = openBelow ? ltBottomRight : ltRight;
        int level = own - 1;
        for (PViewNode run = node->parent; run != root_ && level >= 0; run = run->parent, --level)
            if (hasPrevious(run)) lineImages[size_t(level)] = ltTopDown;
        return selectedAncestors;
    }

    if (!topLevel) {
        lineImages[size_t(own)] = hasNext(node) ? ltTopDownRight : ltTopRight;
        int level = own - 1;
        for (PViewNode run = node->parent; run->parent != root_; run = run->parent, --level)
            lineImages[size_t(level)] = hasNext(run) ? ltTopDown : ltNone;
    }
    if (showRoot) {
        if (topLevel) {
            const bool first = !hasPrevious(node), last = !hasNext(node);
            lineImages[0] = first && last ? ltRight : last ? ltTopRight : first ? ltBottomRight : ltTopDownRight;
        } else {
            PViewNode top = node;
            while (top->parent != root_) top = top->parent;
            lineImages[0] = hasNext(top) ? ltTopDown : ltNone;
        }
    }
    return selectedAncestors;
}

void TBaseViewTree::PaintLineImage(TVTPaintInfo& paintInfo, int x, int y, int h, int vAlign, TVTLineType style,
                                   bool reverse) {
    TCanvas* canvas = paintInfo.Canvas;
    const int indent = int(indent_);
    const int half = indent / 2;
    const int target = reverse ? x : x + indent;
    auto horizontal = [&] { DottedLineH(canvas, x + half, target, y + vAlign); };
    switch (style) {
    case ltBottomRight:
        DottedLineV(canvas, x + half, y + vAlign, y + h);
        horizontal();
        break;
    case ltTopDown: DottedLineV(canvas, x + half, y, y + h); break;
    case ltTopDownRight:
        DottedLineV(canvas, x + half, y, y + h);
        horizontal();
        break;
    case ltRight: horizontal(); break;
    case ltTopRight:
        DottedLineV(canvas, x + half, y, y + vAlign);
        horizontal();
        break;
    case ltLeft: DottedLineV(canvas, reverse ? x + indent : x, y, y + h); break;
    case ltLeftBottom:
        DottedLineV(canvas, reverse ? x + indent : x, y, y + h);
        DottedLineH(canvas, x, x + indent, y + h);
        break;
    case ltNone: break;
    }
}

void TBaseViewTree::DottedLineH(TCanvas* canvas, int left, int right, int top) {
    const HDC dc = canvas->Handle();
    SetTextColor(dc, ColorToRGB(canvas->Font()->Color()));
    SetBkColor(dc, ColorToRGB(Color()));
    const RECT r{std::min(left, right), top, std::max(left, right) + 1, top + 1};
    FillRect(dc, &r, PaintState().lineBrush.Get());
}

void TBaseViewTree::DottedLineV(TCanvas* canvas, int left, int top, int bottom) {
    const HDC dc = canvas->Handle();
    SetTextColor(dc, ColorToRGB(canvas->Font()->Color()));
    SetBkColor(dc, ColorToRGB(Color()));
    const RECT r{left, std::min(top, bottom), left + 1, std::max(top, bottom) + 1};
    FillRect(dc, &r, PaintState().lineBrush.Get());
}

void TBaseViewTree::DrawTreeLines(TVTPaintInfo& paintInfo, const TLineImage& lineImage) {
    TCanvas* canvas = paintInfo.Canvas;
    const bool reverse = paintInfo.BidiMode != bdLeftToRight;
    const int indent = int(indent_);
    const int count = int(lineImage.size());
    const TRect& cell = paintInfo.CellRect;
    // The level X of a line image, from the left or, right to left, from the right.
    auto levelX = [&](int level) {
        return reverse ? cell.Right - (level + 1) * indent : cell.Left + level * indent;
    };
    if (lineMode_ == lmBands) {
        if (!paintInfo.PaintOptions.Contains(ipGridLines)) return;
        canvas->Font()->SetColor(colors_->Color(TVTColors::GridLineColor));
        TLineImage bands = lineImage;
        PViewNode node = paintInfo.Node;
        const bool openWithChildren = node->states.Contains(nsExpanded) && FirstVisibleChildNode(node);
        for (int level = count - 1; level >= 0; --level) {
            if (openWithChildren) {
                bands[size_t(level)] = ltLeft;
            } else if (lineImage[size_t(level)] == ltNone || lineImage[size_t(level)] == ltTopDown) {
                const bool deeperOpen = level + 1 < count &&
                                        (bands[size_t(level + 1)] == ltNone || bands[size_t(level + 1)] == ltTopRight);
                bands[size_t(level)] = deeperOpen ? bands[size_t(level + 1)] : ltLeft;
            } else {
                bands[size_t(level)] = ltLeftBottom;
            }
        }
        for (int level = 0; level < count; ++level)
            PaintLineImage(paintInfo, levelX(level), cell.Top, cell.Height() - 1, paintInfo.VAlign,
                           bands[size_t(level)], reverse);
        return;
    }
    canvas->Font()->SetColor(colors_->Color(TVTColors::TreeLineColor));
    for (int level = 0; level < count; ++level)
        PaintLineImage(paintInfo, levelX(level), cell.Top, cell.Height(), paintInfo.VAlign, lineImage[size_t(level)],
                       reverse);
}

HBITMAP TBaseViewTree::ButtonBitmap(bool expanded, bool hot) {
    return PaintState().buttons[(expanded ? 1 : 0) + (hot ? 2 : 0)].Get();
}

void TBaseViewTree::BuildButtonBitmaps(bool buttons, bool lines) {
    TTreePaintState& state = PaintState();
    if (buttons) {
        state.buttonWidth = state.buttonHeight = kTreeButtonSize;
        for (int expanded = 0; expanded < 2; ++expanded) {
            for (int hot = 0; hot < 2; ++hot) {
                const TButtonCanvas canvas = NewButtonBitmap();
                if (buttonStyle_ == bsTriangle) {
                    FillTriangle(canvas, expanded != 0);
                } else if (buttonFillMode_ == fmShaded) {
                    CopyResourceButton(canvas, expanded ? u"VT_XPBUTTONMINUS" : u"VT_XPBUTTONPLUS");
                } else {
                    const uint32_t fill = buttonFillMode_ == fmTreeColor     ? LinePixelOf(Color())
                                          : buttonFillMode_ == fmWindowColor ? LinePixelOf(clWindow)
                                                                             : kButtonKeyPixel;
                    DrawRectangleButton(canvas, expanded != 0, LinePixelOf(colors_->Color(TVTColors::TreeLineColor)),
                                        fill, LinePixelOf(Font()->Color()));
                }
                state.buttons[expanded + 2 * hot].Reset(canvas.bitmap);
            }
        }
    }
    if (lines) {
        uint16_t rows[8];
        if (lineStyle_ == lsSolid) {
            std::fill(std::begin(rows), std::end(rows), uint16_t(0));
        } else {
            std::copy(std::begin(kDottedLineRows), std::end(kDottedLineRows), rows);
            if (lineStyle_ == lsCustomStyle) {
                void* bits = nullptr;
                DoGetLineStyle(bits);
                if (bits) std::memcpy(rows, bits, sizeof rows);
            }
        }
        state.lineBrush.Reset(nullptr);
        state.linePattern.Reset(CreateBitmap(8, 8, 1, 1, rows));
        state.lineBrush.Reset(CreatePatternBrush(state.linePattern.Get()));
    }
}

void TBaseViewTree::DrawExpandButton(TVTPaintInfo& paintInfo) {
    TTreePaintState& state = PaintState();
    PViewNode node = paintInfo.Node;
    const bool hot = HasOption(toHotTrack) && node == hotNode_ && state.hotButton;
    const HBITMAP button = ButtonBitmap(node->states.Contains(nsExpanded), hot);
    if (!button) return;
    BITMAP bm{};
    GetObjectW(ToGdiObject(button), sizeof bm, &bm);
    const auto* source = static_cast<const uint32_t*>(bm.bmBits);
    const TDcBitmapBits target = DcBitmapBits(paintInfo.Canvas->Handle());
    const int targetRows = std::abs(target.Height);
    const TRect& cell = paintInfo.CellRect;
    // The row painter placed the button in its indentation level.
    const int left = paintInfo.BidiMode == bdLeftToRight ? cell.Left + state.buttonX
                                                         : cell.Right - state.buttonX - state.buttonWidth;
    const int top = cell.Top + state.buttonY;
    for (int y = 0; y < state.buttonHeight; ++y) {
        const int ty = top + y;
        if (ty < 0 || ty >= targetRows) continue;
        uint32_t* row = ScanLineAddress(target.Bits, target.Width, target.Height, ty);
        for (int x = 0; x < state.buttonWidth; ++x) {
            const int tx = left + x;
            const uint32_t pixel = source[y * state.buttonWidth + x] & 0x00FFFFFF;
            if (tx >= 0 && tx < target.Width && pixel != kButtonKeyPixel) row[tx] = pixel;
        }
    }
}
