// The string tree's cell content: the cell text (single line, vertically
// centred, or wrapped for multi-line nodes) and the static text after it, in
// the colours of selection, hot tracking and disabled nodes.

#include "platform/ui/Canvas.h"
#include "platform/win/text/Text.h"
#include "treeview/ViewStringTree.h"

namespace {

// What OnPaintText may change of the canvas font that moves the text; the
// name is compared with the tree font's, which the canvas font started from.
struct TStringTreeFontShape {
    int height;
    TFontStyles style;
    explicit TStringTreeFontShape(const TFont& font) : height(font.Height()), style(font.Style()) {}
    friend bool operator==(const TStringTreeFontShape&, const TStringTreeFontShape&) = default;
};

UINT AlignmentFlag(TAlignment alignment) {
    switch (alignment) {
    case TAlignment::taRightJustify: return DT_RIGHT;
    case TAlignment::taCenter: return DT_CENTER;
    default: return DT_LEFT;
    }
}

} // namespace

bool TCustomViewStringTree::CellDrawsSelection(const TVTPaintInfo& paintInfo) const {
    const bool fullRow = TreeOptions()->SelectionOptions().Contains(toFullRowSelect);
    return paintInfo.PaintOptions.Contains(ipDrawSelection) && (paintInfo.Column == FocusedColumn() || fullRow);
}

void TCustomViewStringTree::ApplyHighlightFont(TVTPaintInfo& paintInfo, bool hotTracking) {
    TFont* font = paintInfo.Canvas->Font();
    PViewNode node = paintInfo.Node;
    const TVTPaintOptions paint = TreeOptions()->PaintOptions();
    if (hotTracking && paint.Contains(toHotTrack) && node == HotNode()) {
        font->SetStyle(font->Style() + TFontStyles{fsUnderline});
        font->SetColor(Colors()->Color(TVTColors::HotColor));
    }
    if (!CellDrawsSelection(paintInfo)) return;
    if (node == DropTargetNode()) {
        if (LastDropMode() == dmOnNode) font->SetColor(clHighlightText);
    } else if (node->states.Contains(nsSelected) && (Focused() || paint.Contains(toPopupMode))) {
        font->SetColor(clHighlightText);
    }
}

void TCustomViewStringTree::PaintNodeContent(TVTPaintInfo& paintInfo) {
    PViewNode node = paintInfo.Node;
    const String text = Text(node, paintInfo.Column);
    if (!text.IsEmpty()) PaintNormalText(paintInfo, text);
    if (paintInfo.Alignment != TAlignment::taCenter && !node->states.Contains(nsMultiline) &&
        TreeOptions()->StringOptions().Contains(toShowStaticText)) {
        const String staticText = StaticText(node, paintInfo.Column);
        if (!staticText.IsEmpty()) PaintStaticText(paintInfo, staticText);
    }
}

void TCustomViewStringTree::PaintNormalText(TVTPaintInfo& paintInfo, const String& text) {
    TCanvas* canvas = paintInfo.Canvas;
    PViewNode node = paintInfo.Node;
    canvas->SetFont(Font());
    ApplyHighlightFont(paintInfo, true);
    TRect r = paintInfo.ContentRect;
    r.Left += TextMargin();
    r.Right -= TextMargin();
    canvas->SetTextFlags(0);
    const bool disabled = node->states.Contains(nsDisabled) || !Enabled();
    const UINT readingOrder = BiDiMode() != bdLeftToRight ? DT_RTLREADING : 0;
    const TStringTreeFontShape before(*canvas->Font());
    if (OnPaintText) OnPaintText(this, canvas, node, paintInfo.Column, ttNormal);
    if (disabled) canvas->Font()->SetColor(Colors()->Color(TVTColors::DisabledColor));
    UINT format;
    if (node->states.Contains(nsMultiline)) {
        format = AlignmentFlag(paintInfo.Alignment) | DT_NOPREFIX | DT_WORDBREAK | DT_EDITCONTROL | DT_END_ELLIPSIS |
                 readingOrder;
    } else {
        if (!(TStringTreeFontShape(*canvas->Font()) == before) || canvas->Font()->Name() != Font()->Name())
            paintInfo.NodeWidth = canvas->TextWidth(text) + 2 * TextMargin();
        // Without header columns the row has room for the whole text.
        format = DT_NOPREFIX | DT_VCENTER | DT_SINGLELINE | readingOrder | AlignmentFlag(paintInfo.Alignment);
    }
    canvas->Brush()->SetStyle((canvas->TextFlags() & ETO_OPAQUE) ? bsSolid : bsClear);
    DrawTextOut(paintInfo, text, r, format);
}

void TCustomViewStringTree::PaintStaticText(TVTPaintInfo& paintInfo, const String& text) {
    TCanvas* canvas = paintInfo.Canvas;
    PViewNode node = paintInfo.Node;
    canvas->SetFont(Font());
    if (TreeOptions()->SelectionOptions().Contains(toFullRowSelect)) ApplyHighlightFont(paintInfo, false);
    canvas->SetTextFlags(0);
    if (OnPaintText) OnPaintText(this, canvas, node, paintInfo.Column, ttStatic);
    if (node->states.Contains(nsDisabled) || !Enabled())
        canvas->Font()->SetColor(Colors()->Color(TVTColors::DisabledColor));
    TRect r = paintInfo.ContentRect;
    if (paintInfo.Alignment == TAlignment::taRightJustify) r.Right -= paintInfo.NodeWidth + TextMargin();
    else r.Left += paintInfo.NodeWidth + TextMargin();
    canvas->Brush()->SetStyle((canvas->TextFlags() & ETO_OPAQUE) ? bsSolid : bsClear);
    canvas->TextRect(r, const_cast<String&>(text), DT_NOPREFIX | DT_VCENTER | DT_SINGLELINE);
}

void TCustomViewStringTree::DrawTextOut(TVTPaintInfo& paintInfo, const String& text, TRect r, UINT format) {
    bool defaultDraw = true;
    if (OnDrawText) OnDrawText(this, paintInfo.Canvas, paintInfo.Node, paintInfo.Column, text, r, defaultDraw);
    // Without DT_MODIFYSTRING the text is only read.
    if (defaultDraw) paintInfo.Canvas->TextRect(r, const_cast<String&>(text), format & ~DT_MODIFYSTRING);
}
