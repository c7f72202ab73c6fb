// The cell steps of the row painter: the first column of a row, where the
// check, state and normal images go, the shift by the indentation, which
// images a cell shows and how they are drawn.

#include "platform/ui/Canvas.h"
#include "platform/ui/graphics/ImageList.h"
#include "platform/win/imagelist/ImageList.h"
#include "treeview/BaseViewTree.h"
#include "treeview/TreeDrawing.h"
#include "treeview/TreePaintState.h"

namespace {

// Images stand this far apart from what follows them.
constexpr int kCellImageSpacing = 2;

// The first strip image of a check type and state: disabled adds 3, pressed 2, hot 1.
int CheckImageBase(TCheckType type, TCheckState state) {
    const bool mixed = state == csMixedNormal || state == csMixedPressed;
    const bool checked = state == csCheckedNormal || state == csCheckedPressed;
    if (mixed) return 17;
    switch (type) {
    case ctRadioButton: return checked ? 5 : 1;
    case ctButton: return 21;
    default: return checked ? 13 : 9;
    }
}

} // namespace

TTreePaintState& TBaseViewTree::PaintState() {
    if (!paintState_) paintState_ = std::make_unique<TTreePaintState>();
    return *paintState_;
}

void TBaseViewTree::SetHotNode(PViewNode node, bool overButton) {
    if (hotNode_ != node) InvalidateRow(hotNode_);
    hotNode_ = node;
    PaintState().hotButton = overButton;
    InvalidateRow(node);
}

TDropMode TBaseViewTree::LastDropMode() const noexcept {
    return paintState_ ? paintState_->dropMode : dmNowhere;
}

void TBaseViewTree::SetDropTarget(PViewNode node, TDropMode mode) {
    if (dropTargetNode_ != node) InvalidateRow(dropTargetNode_);
    dropTargetNode_ = node;
    PaintState().dropMode = mode;
    InvalidateRow(node);
}

void TBaseViewTree::SetDrawSelectionRect(TRect r) { PaintState().drawSelectionRect = r; }

void TBaseViewTree::StartAtFirstColumn(TVTPaintInfo& paintInfo, bool /*allowFocusedColumn: no columns yet*/) {
    // Without visible header columns the row is one cell of no column.
    paintInfo.Column = kNoColumn;
    paintInfo.Position = 0;
}

void TBaseViewTree::PlaceCellImage(TVTPaintInfo& paintInfo, TVTImageInfoIndex which, int imageWidth,
                                   int imageHeight) {
    TVTImageInfo& image = paintInfo.ImageInfo[which];
    TRect& content = paintInfo.ContentRect;
    if (paintInfo.BidiMode == bdLeftToRight) {
        image.XPos = content.Left;
        content.Left += imageWidth + kCellImageSpacing;
    } else {
        image.XPos = content.Right - imageWidth;
        content.Right -= imageWidth + kCellImageSpacing;
    }
    image.YPos = content.Top + paintInfo.VAlign - imageHeight / 2;
}

void TBaseViewTree::ShiftByIndent(TVTPaintInfo& paintInfo, int level) {
    const int d = level * int(indent_);
    const bool leftToRight = paintInfo.BidiMode == bdLeftToRight;
    const int signedD = leftToRight ? d : -d;
    if (leftToRight) paintInfo.ContentRect.Left += d;
    else paintInfo.ContentRect.Right -= d;
    for (TVTImageInfoIndex which : {iiCheck, iiState, iiNormal}) paintInfo.ImageInfo[which].XPos += signedD;
}

int TBaseViewTree::CheckImageIndex(PViewNode node) {
    if (node->checkType == ctNone) return -1;
    const bool enabled = !node->states.Contains(nsDisabled) && Enabled();
    const bool pressed = node->checkState == csUncheckedPressed || node->checkState == csCheckedPressed ||
                         node->checkState == csMixedPressed;
    const int base = CheckImageBase(node->checkType, node->checkState);
    if (!enabled) return base + 3;
    if (pressed) return base + 2;
    return base + (node == hotNode_ ? 1 : 0);
}

void TBaseViewTree::ImageIndexFor(TVTPaintInfo& paintInfo, TVTImageKind kind, TVTImageInfoIndex which) {
    TVTImageInfo& image = paintInfo.ImageInfo[which];
    image.Ghosted = false;
    image.Index = DoGetImageIndex(paintInfo.Node, kind, paintInfo.Column, image.Ghosted, image.Images);
}

bool TBaseViewTree::CellIsEmpty(PViewNode node, TColumnIndex column) { return DoGetCellIsEmpty(node, column); }

void TBaseViewTree::ExtendCellRect(TVTPaintInfo& /*paintInfo*/, TColumnIndex& nextNonEmpty) {
    // The next visible column: there is none without header columns.
    nextNonEmpty = kNoColumn;
}

TPoint TBaseViewTree::CellContentMargin(PViewNode node, TColumnIndex column, int marginType, TCanvas* /*canvas*/) {
    if (!OnBeforeCellPaint) return TPoint{0, 0};
    const TRect text = DisplayRect(node, column, true);
    TRect content = text;
    DoBeforeCellPaint(Canvas(), node, column, cpmGetContentMargin, text, content);
    const TPoint topLeft{content.Left - text.Left, content.Top - text.Top};
    const TPoint bottomRight{text.Right - content.Right, text.Bottom - content.Bottom};
    switch (marginType) {
    case 1: return topLeft;
    case 2: return bottomRight;
    default: return TPoint{topLeft.X + bottomRight.X, topLeft.Y + bottomRight.Y};
    }
}

void TBaseViewTree::DrawNodeImage(TVTPaintInfo& paintInfo, TVTImageInfoIndex which, bool doOverlay) {
    PViewNode node = paintInfo.Node;
    const TVTImageInfo& image = paintInfo.ImageInfo[which];
    if (image.Index < 0 || !image.Images) return;
    const bool cut = node->states.Contains(nsCutOrCopy) && states_.Contains(tsCutPending);
    const bool selected = node->states.Contains(nsSelected);
    const bool focusedLook = Focused() || HasOption(toGhostedIfUnfocused);
    int overlay = -1;
    if (doOverlay) {
        bool ghosted = false;
        TCustomImageList* overlayList = nullptr;
        overlay = DoGetImageIndex(node, ikOverlay, paintInfo.Column, ghosted, overlayList);
    }
    TColor blend = Color();
    if (selected && !image.Ghosted && !cut)
        blend = Focused() || HasOption(toGhostedIfUnfocused) || HasOption(toPopupMode)
                    ? colors_->Color(TVTColors::FocusedSelectionColor)
                    : colors_->Color(TVTColors::UnfocusedSelectionColor);
    UINT style = ILD_TRANSPARENT;
    if (overlay >= 0 && overlay <= 14) style |= INDEXTOOVERLAYMASK(UINT(overlay + 1));
    const bool selectedLook = selected && !HasOption(toFullRowSelect) && !HasOption(toGridExtensions);
    if (focusedLook && HasOption(toUseBlendedImages) && (image.Ghosted || selectedLook || cut)) style |= ILD_BLEND50;
    const bool enabled = !node->states.Contains(nsDisabled) && Enabled();
    TCanvas* canvas = paintInfo.Canvas;
    if (!enabled) {
        image.Images->Draw(canvas, image.XPos, image.YPos, image.Index, false);
        return;
    }
    const HIMAGELIST list = image.Images->Handle();
    const HDC dc = canvas->Handle();
    ImageList_DrawEx(list, image.Index, dc, image.XPos, image.YPos, 0, 0, CLR_NONE, ColorToRGB(blend), style);
    if (overlay >= 15)
        ImageList_DrawEx(list, overlay, dc, image.XPos, image.YPos, 0, 0, CLR_NONE, ColorToRGB(blend),
                         style & ~INDEXTOOVERLAYMASK(15));
}

void TBaseViewTree::DrawCheckImage(TVTPaintInfo& paintInfo) {
    const TVTImageInfo& image = paintInfo.ImageInfo[iiCheck];
    if (image.Index < 0 || !image.Images) return;
    PViewNode node = paintInfo.Node;
    COLORREF blend = CLR_DEFAULT;
    if (node->states.Contains(nsSelected) && !image.Ghosted)
        blend = ColorToRGB(Focused() || HasOption(toPopupMode) ? colors_->Color(TVTColors::FocusedSelectionColor)
                                                                : colors_->Color(TVTColors::UnfocusedSelectionColor));
    ImageList_DrawEx(image.Images->Handle(), image.Index, paintInfo.Canvas->Handle(), image.XPos, image.YPos, 0, 0,
                     CLR_NONE, blend, ILD_TRANSPARENT);
}
