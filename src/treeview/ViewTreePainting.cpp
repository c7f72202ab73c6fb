// The row painter: every row that meets the window is drawn into one reused
// 32-bit row bitmap, layer by layer (erase, cell background and selection,
// tree lines, button, check, state and normal images, content, drop mark,
// rubber band), and copied to the target; the area below the last row gets
// the background. The window paint renders the update rectangle.

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/ui/Canvas.h"
#include "platform/ui/graphics/Bitmap.h"
#include "platform/ui/graphics/ImageList.h"
#include "platform/ui/graphics/Picture.h"
#include "platform/win/gdi/Bitmaps.h"
#include "platform/win/gdi/Gdi.h"
#include "treeview/BaseViewTree.h"
#include "treeview/TreeDrawing.h"
#include "treeview/TreePaintState.h"

namespace {

// Leaves tsPainting however the render ends.
class TPaintingBracket {
public:
    TPaintingBracket(TViewTreeStates& states) : states_(states) { states_.Include(tsPainting); }
    ~TPaintingBracket() { states_.Exclude(tsPainting); }
    TPaintingBracket(const TPaintingBracket&) = delete;
    TPaintingBracket& operator=(const TPaintingBracket&) = delete;

private:
    TViewTreeStates& states_;
};

// A selection in the brush colour framed in the pen colour; rounded only with a radius.
void DrawSelectionShape(TCanvas* canvas, const TRect& r, int radius) {
    if (radius > 0) {
        canvas->RoundRect(r.Left, r.Top, r.Right, r.Bottom, radius, radius);
        return;
    }
    canvas->FillRect(r);
    const TColor fill = canvas->Brush()->Color();
    canvas->Brush()->SetColor(canvas->Pen()->Color());
    canvas->FrameRect(r);
    canvas->Brush()->SetColor(fill);
}

bool RectsMeet(const TRect& a, const TRect& b) {
    return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

} // namespace

TRowBitmap::~TRowBitmap() { Release(); }

void TRowBitmap::Release() {
    canvas_.SetHandle(nullptr);
    if (dc_) {
        SelectObject(dc_, oldBitmap_);
        DeleteDC(dc_);
        DeleteObject(ToGdiObject(bitmap_));
    }
    dc_ = nullptr;
    bitmap_ = nullptr;
}

void TRowBitmap::Reserve(int width, int height) {
    if (dc_ && width <= width_ && height <= height_) return;
    const int newWidth = std::max(width, width_), newHeight = std::max(height, height_);
    Release();
    width_ = newWidth;
    height_ = newHeight;
    bitmap_ = NewDibSection(width_, -height_, 32);
    dc_ = CreateCompatibleDC(nullptr);
    oldBitmap_ = SelectObject(dc_, ToGdiObject(bitmap_));
    canvas_.SetHandle(dc_);
}

int TBaseViewTree::RowVAlign(PViewNode node, int nodeHeight, bool imagesShown) {
    switch (nodeAlignment_) {
    case naFromBottom: return nodeHeight - node->align;
    case naFromTop: return node->align;
    case naProportional: break;
    }
    int partHeight = 0;
    if (imagesShown) partHeight = images_ ? images_->Height() : stateImages_->Height();
    else if (HasOption(toShowButtons)) partHeight = PaintState().buttonHeight;
    if (partHeight == 0) return nodeHeight * node->align / 100;
    return (nodeHeight - partHeight) * node->align / 100 + partHeight / 2;
}

void TBaseViewTree::RenderTree(TCanvas* target, TRect window, TPoint targetPoint, TPaintTreeOptions options) {
    if (states_.Contains(tsPainting)) return;
    TPaintingBracket bracket(states_);
    DoBeforePaint(target);
    TTreePaintState& state = PaintState();
    const TTreePaintState::TBuildKey key{int(buttonStyle_),
                                         int(buttonFillMode_),
                                         int(lineStyle_),
                                         colors_->Color(TVTColors::TreeLineColor),
                                         Color(),
                                         Font()->Color()};
    if (!(key == state.builtFrom)) {
        BuildButtonBitmaps(true, true);
        state.builtFrom = key;
    }
    if (HasOption(toAlwaysHideSelection) || (!Focused() && HasOption(toHideSelection))) options.Exclude(ipDrawSelection);
    if (HasOption(toHideFocusRect)) options.Exclude(ipDrawFocusRect);
    const bool showBackground = HasOption(toShowBackground) && options.Contains(ipBackground) &&
                                dynamic_cast<TBitmap*>(background_->Graphic()) != nullptr;

    const int width = window.Width();
    int nodeTop = 0;
    PViewNode node = NodeAt(0, window.Top, false, nodeTop);
    int rowTop = node ? nodeTop : window.Top;
    TVTPaintInfo paintInfo;
    paintInfo.Canvas = state.row.Canvas();
    paintInfo.PaintOptions = options;
    for (; node && rowTop < window.Bottom; node = NextVisibleNode(node)) {
        if (!node->states.Contains(nsInitialized)) InitializeNode(node);
        int selectionLevel = ComputeLineImages(node, state.lineImage);
        if (node->states.Contains(nsSelected) && !HasOption(toChildrenAbove)) ++selectionLevel;
        const int height = int(NodeHeight(node));
        if (height > 0 && !(options.Contains(ipSelectedOnly) && selectionLevel == 0)) {
            state.row.Reserve(width, height);
            paintInfo.Node = node;
            PaintRow(paintInfo, window, TPoint{targetPoint.X, targetPoint.Y + rowTop - window.Top}, rowTop, height,
                     showBackground);
            BitBlt(target->Handle(), targetPoint.X, targetPoint.Y + rowTop - window.Top, width, height,
                   state.row.Dc(), 0, 0, SRCCOPY);
        }
        rowTop += height;
    }
    if (rowTop < window.Bottom)
        PaintAreaBelowRows(target, TRect{window.Left, rowTop, window.Right, window.Bottom},
                           TPoint{targetPoint.X, targetPoint.Y + rowTop - window.Top}, showBackground);
    DoAfterPaint(target);
}

void TBaseViewTree::FillBackgroundRect(TCanvas* canvas, TRect r, TPoint treeOffset, TPoint targetOffset) {
    if (HasOption(toStaticBackground)) PaintStaticBackground(canvas, r, targetOffset);
    else PaintTiledBackground(canvas, r, treeOffset);
}

bool TBaseViewTree::RubberBandShown() {
    TRect band = PaintState().drawSelectionRect;
    NormalizeRect(band);
    return states_.Contains(tsDrawSelecting) && band.Width() > 0 && band.Height() > 0;
}

void TBaseViewTree::PaintRow(TVTPaintInfo& paintInfo, TRect window, TPoint targetPoint, int rowTop, int height,
                             bool showBackground) {
    TTreePaintState& state = PaintState();
    TCanvas* canvas = paintInfo.Canvas;
    PViewNode node = paintInfo.Node;
    const HDC dc = canvas->Handle();
    const int width = window.Width();
    // The row bitmap is top down: the row's pixels come first.
    std::memset(DcBitmapBits(dc).Bits, 0,
                size_t(state.row.Width()) * size_t(height) * sizeof(uint32_t));
    canvas->SetFont(Font());
    paintInfo.BrushOrigin = TPoint{(-window.Left) & 7, (-rowTop) & 7};
    SetBrushOrgEx(dc, paintInfo.BrushOrigin.X, paintInfo.BrushOrigin.Y, nullptr);
    const bool imagesShown = images_ || stateImages_;
    paintInfo.VAlign = RowVAlign(node, height, imagesShown);
    const int levels = int(state.lineImage.size());
    state.buttonX = int(std::nearbyint((int(indent_) - state.buttonWidth) / 2.0));
    if (!HasOption(toFixedIndent)) state.buttonX += (levels - 1) * int(indent_);
    state.buttonY = paintInfo.VAlign - state.buttonHeight / 2;

    const TRect itemRect{0, 0, width, height};
    if (DoBeforeItemPaint(canvas, node, itemRect)) return;

    // Erasing.
    TColor itemColor = Color();
    TItemEraseAction eraseAction = eaDefault;
    DoBeforeItemErase(canvas, node, itemRect, itemColor, eraseAction);
    canvas->Brush()->SetStyle(bsSolid);
    if (eraseAction == eaColor) {
        canvas->Brush()->SetColor(itemColor);
        canvas->FillRect(itemRect);
    } else if (eraseAction == eaDefault) {
        if (showBackground) {
            FillBackgroundRect(canvas, itemRect, TPoint{window.Left, rowTop}, targetPoint);
        } else if (paintInfo.PaintOptions.Contains(ipDrawSelection) && HasOption(toFullRowSelect) &&
                   node->states.Contains(nsSelected) && !HasOption(toUseBlendedSelection)) {
            canvas->Brush()->SetColor(Color());
            canvas->FillRect(itemRect);
            const bool focusedLook = Focused() || HasOption(toPopupMode);
            canvas->Brush()->SetColor(colors_->Color(focusedLook ? TVTColors::FocusedSelectionColor
                                                                 : TVTColors::UnfocusedSelectionColor));
            canvas->Pen()->SetColor(colors_->Color(focusedLook ? TVTColors::FocusedSelectionBorderColor
                                                               : TVTColors::UnfocusedSelectionBorderColor));
            const int bottom = height - (HasOption(toShowHorzGridLines) ? 1 : 0);
            DrawSelectionShape(canvas, TRect{0, 0, width, bottom}, int(selectionCurveRadius_));
        } else {
            canvas->Brush()->SetColor(Color());
            canvas->FillRect(itemRect);
        }
    }
    DoAfterItemErase(canvas, node, itemRect);

    PaintCells(paintInfo, window, height);
    DoAfterItemPaint(canvas, node, itemRect);
    if (node == dropTargetNode_ && HasOption(toShowDropmark) && paintInfo.PaintOptions.Contains(ipDrawDropMark))
        DrawDropMark(paintInfo, itemRect);
    if (RubberBandShown()) {
        TRect band = state.drawSelectionRect;
        NormalizeRect(band);
        DrawRubberBand(canvas, TRect{band.Left - window.Left, band.Top - rowTop, band.Right - window.Left,
                                     band.Bottom - rowTop});
    }
}

void TBaseViewTree::PaintCells(TVTPaintInfo& paintInfo, TRect window, int height) {
    TTreePaintState& state = PaintState();
    PViewNode node = paintInfo.Node;
    TCanvas* canvas = paintInfo.Canvas;
    const TPaintTreeOptions rowOptions = paintInfo.PaintOptions;
    const int maximumRight = std::max(ClientWidth(), rangeX_);
    StartAtFirstColumn(paintInfo, false);
    // Without header columns the row is one cell spanning the tree's width.
    paintInfo.CellRect = TRect{-window.Left, 0, maximumRight - window.Left, height};
    paintInfo.PaintOptions = rowOptions - TPaintTreeOptions{ipColumnColor};
    paintInfo.BidiMode = BiDiMode();
    paintInfo.Alignment = alignment_;
    if (paintInfo.BidiMode != bdLeftToRight) {
        if (paintInfo.Alignment == TAlignment::taLeftJustify) paintInfo.Alignment = TAlignment::taRightJustify;
        else if (paintInfo.Alignment == TAlignment::taRightJustify) paintInfo.Alignment = TAlignment::taLeftJustify;
    }
    paintInfo.IsMainColumn = IsMainPaintColumn(paintInfo.Column);
    if (RectsMeet(paintInfo.CellRect, TRect{0, 0, window.Width(), height})) {
        paintInfo.NodeWidth = NodeWidth(node, paintInfo.Column);
        paintInfo.ContentRect = paintInfo.CellRect;
        if (paintInfo.BidiMode == bdLeftToRight) paintInfo.ContentRect.Left += margin_;
        else paintInfo.ContentRect.Right -= margin_;
        for (TVTImageInfo& image : paintInfo.ImageInfo) image = TVTImageInfo{};
        if (paintInfo.IsMainColumn && HasOption(toCheckSupport) && checkImages_) {
            TVTImageInfo& check = paintInfo.ImageInfo[iiCheck];
            check.Index = CheckImageIndex(node);
            check.Images = checkImages_;
            if (check.Index >= 0) PlaceCellImage(paintInfo, iiCheck, checkImages_->Width(), checkImages_->Height());
        }
        ImageIndexFor(paintInfo, ikState, iiState);
        if (paintInfo.ImageInfo[iiState].Index >= 0 && paintInfo.ImageInfo[iiState].Images)
            PlaceCellImage(paintInfo, iiState, paintInfo.ImageInfo[iiState].Images->Width(),
                           paintInfo.ImageInfo[iiState].Images->Height());
        ImageIndexFor(paintInfo, node->states.Contains(nsSelected) ? ikSelected : ikNormal, iiNormal);
        if (paintInfo.ImageInfo[iiNormal].Index >= 0 && paintInfo.ImageInfo[iiNormal].Images)
            PlaceCellImage(paintInfo, iiNormal, paintInfo.ImageInfo[iiNormal].Images->Width(),
                           paintInfo.ImageInfo[iiNormal].Images->Height());
        if (paintInfo.IsMainColumn)
            ShiftByIndent(paintInfo, HasOption(toFixedIndent) ? 1 : int(state.lineImage.size()));

        if (paintInfo.PaintOptions.Contains(ipGridLines) && HasOption(toShowHorzGridLines)) {
            TRect& cell = paintInfo.CellRect;
            int left = cell.Left, right = cell.Right;
            if (paintInfo.IsMainColumn && lineMode_ == lmBands) {
                const int indentation = int(state.lineImage.size()) * int(indent_);
                if (paintInfo.BidiMode == bdLeftToRight) left += indentation;
                else right -= indentation;
            }
            canvas->Brush()->SetStyle(bsSolid);
            canvas->Brush()->SetColor(colors_->Color(TVTColors::GridLineColor));
            canvas->FillRect(TRect{left, cell.Bottom - 1, right, cell.Bottom});
            --cell.Bottom;
            --paintInfo.ContentRect.Bottom;
        }
        PaintCellBackground(paintInfo, window.Left, maximumRight);
        if (paintInfo.IsMainColumn) {
            if (HasOption(toShowTreeLines) && !(HasOption(toHideTreeLinesIfThemed) && states_.Contains(tsUseThemes)))
                DrawTreeLines(paintInfo, state.lineImage);
            if (HasOption(toShowButtons) && node->states.Contains(nsHasChildren) &&
                (!node->states.Contains(nsAllChildrenHidden) || !HasOption(toAutoHideButtons)))
                DrawExpandButton(paintInfo);
            if (paintInfo.ImageInfo[iiCheck].Index >= 0) DrawCheckImage(paintInfo);
        }
        DrawNodeImage(paintInfo, iiState, false);
        DrawNodeImage(paintInfo, iiNormal, true);
        PaintNodeContent(paintInfo);
        DoAfterCellPaint(canvas, node, paintInfo.Column, paintInfo.CellRect);
    }
    paintInfo.PaintOptions = rowOptions;
}

void TBaseViewTree::PaintCellBackground(TVTPaintInfo& paintInfo, int /*windowOrgX*/, int /*maxWidth*/) {
    TCanvas* canvas = paintInfo.Canvas;
    PViewNode node = paintInfo.Node;
    DoBeforeCellPaint(canvas, node, paintInfo.Column, cpmPaint, paintInfo.CellRect, paintInfo.ContentRect);
    TRect inner = paintInfo.ContentRect;
    if (!HasOption(toGridExtensions) && paintInfo.NodeWidth < inner.Width()) {
        switch (paintInfo.Alignment) {
        case TAlignment::taLeftJustify: inner.Right = inner.Left + paintInfo.NodeWidth; break;
        case TAlignment::taRightJustify: inner.Left = inner.Right - paintInfo.NodeWidth; break;
        default:
            inner.Left = (inner.Left + inner.Right - paintInfo.NodeWidth) / 2;
            inner.Right = inner.Left + paintInfo.NodeWidth;
        }
    }
    const bool cellOfFocus = paintInfo.Column == focusedColumn_ || HasOption(toFullRowSelect);
    const bool focusedLook = Focused() || HasOption(toPopupMode);
    const TRect area = HasOption(toGridExtensions) || HasOption(toFullRowSelect) ? paintInfo.CellRect : inner;
    if (cellOfFocus && paintInfo.PaintOptions.Contains(ipDrawSelection)) {
        bool fill = false;
        TColor brush = clNone, pen = clNone;
        if (node == dropTargetNode_ && (LastDropMode() == dmOnNode || node->states.Contains(nsSelected))) {
            fill = true;
            brush = colors_->Color(TVTColors::DropTargetColor);
            pen = colors_->Color(TVTColors::DropTargetBorderColor);
        } else if (node != dropTargetNode_ && node->states.Contains(nsSelected)) {
            fill = true;
            brush = colors_->Color(focusedLook ? TVTColors::FocusedSelectionColor : TVTColors::UnfocusedSelectionColor);
            pen = colors_->Color(focusedLook ? TVTColors::FocusedSelectionBorderColor
                                             : TVTColors::UnfocusedSelectionBorderColor);
        }
        if (fill && area.Width() > 0 && area.Height() > 0) {
            if (HasOption(toUseBlendedSelection)) {
                BlendRect(nullptr, canvas->Handle(), area, TPoint{}, bkColor, selectionBlendFactor_,
                          int(ColorToRGB(brush)));
            } else {
                canvas->Brush()->SetStyle(bsSolid);
                canvas->Brush()->SetColor(brush);
                canvas->Pen()->SetStyle(psSolid);
                canvas->Pen()->SetColor(pen);
                DrawSelectionShape(canvas, area, int(selectionCurveRadius_));
            }
        }
    }
    if (cellOfFocus && paintInfo.PaintOptions.Contains(ipDrawFocusRect) && focusedLook && node == focusedNode_ &&
        paintInfo.Column == focusedColumn_) {
        const TRect r = HasOption(toGridExtensions) ? paintInfo.CellRect : inner;
        const HDC dc = canvas->Handle();
        const COLORREF oldText = SetTextColor(dc, RGB(255, 255, 255));
        const COLORREF oldBack = SetBkColor(dc, RGB(0, 0, 0));
        const RECT focus{r.Left, r.Top, r.Right, r.Bottom};
        DrawFocusRect(dc, &focus);
        SetTextColor(dc, oldText);
        SetBkColor(dc, oldBack);
    }
}

void TBaseViewTree::DrawDropMark(TVTPaintInfo& paintInfo, TRect r) {
    const TDropMode mode = LastDropMode();
    if (mode != dmAbove && mode != dmBelow) return;
    TCanvas* canvas = paintInfo.Canvas;
    canvas->Pen()->SetStyle(psClear);
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(colors_->Color(TVTColors::DropMarkColor));
    if (mode == dmAbove) {
        const TPoint points[] = {{r.Left + 2, r.Top},     {r.Right - 2, r.Top},     {r.Right - 2, r.Top + 6},
                                 {r.Right - 6, r.Top + 2}, {r.Left + 6, r.Top + 2}, {r.Left + 2, r.Top + 6}};
        canvas->Polygon(points);
    } else {
        const TPoint points[] = {{r.Left + 2, r.Bottom - 1},  {r.Right - 2, r.Bottom - 1}, {r.Right - 2, r.Bottom - 8},
                                 {r.Right - 7, r.Bottom - 3}, {r.Left + 7, r.Bottom - 3},  {r.Left + 2, r.Bottom - 8}};
        canvas->Polygon(points);
    }
    canvas->Pen()->SetStyle(psSolid);
}

void TBaseViewTree::DrawRubberBand(TCanvas* canvas, TRect r) {
    if (drawSelectionMode_ == smBlendedRectangle || states_.Contains(tsUseThemes)) {
        BlendRect(nullptr, canvas->Handle(), r, TPoint{}, bkColor, selectionBlendFactor_,
                  int(ColorToRGB(colors_->Color(TVTColors::SelectionRectangleBlendColor))));
        canvas->Brush()->SetStyle(bsSolid);
        canvas->Brush()->SetColor(colors_->Color(TVTColors::SelectionRectangleBorderColor));
        canvas->FrameRect(r);
        return;
    }
    const HDC dc = canvas->Handle();
    const COLORREF oldText = SetTextColor(dc, RGB(255, 255, 255));
    const COLORREF oldBack = SetBkColor(dc, RGB(0, 0, 0));
    const RECT focus{r.Left, r.Top, r.Right, r.Bottom};
    DrawFocusRect(dc, &focus);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
}

void TBaseViewTree::PaintAreaBelowRows(TCanvas* target, TRect area, TPoint targetPoint, bool showBackground) {
    TTreePaintState& state = PaintState();
    const int width = area.Width(), height = area.Height();
    state.row.Reserve(width, height);
    TCanvas* canvas = state.row.Canvas();
    const TRect r{0, 0, width, height};
    if (!DoPaintBackground(canvas, r)) {
        if (showBackground) {
            FillBackgroundRect(canvas, r, TPoint{area.Left, area.Top}, targetPoint);
        } else {
            canvas->Brush()->SetStyle(bsSolid);
            canvas->Brush()->SetColor(Color());
            canvas->FillRect(r);
        }
    }
    if (RubberBandShown()) {
        TRect band = state.drawSelectionRect;
        NormalizeRect(band);
        DrawRubberBand(canvas, TRect{band.Left - area.Left, band.Top - area.Top, band.Right - area.Left,
                                     band.Bottom - area.Top});
    }
    BitBlt(target->Handle(), targetPoint.X, targetPoint.Y, width, height, state.row.Dc(), 0, 0, SRCCOPY);
}

void TBaseViewTree::Paint() {
    TCanvas* canvas = Canvas();
    const TRect update = canvas->ClipRect();
    if (update.Width() <= 0 || update.Height() <= 0) return;
    // Client point (x, y) shows tree point (x - OffsetX, y - OffsetY).
    const TRect window{update.Left - offsetX_, update.Top - offsetY_, update.Right - offsetX_,
                       update.Bottom - offsetY_};
    RenderTree(canvas, window, TPoint{update.Left, update.Top}, kWindowPaintOptions);
}
