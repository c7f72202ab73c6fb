#include "treeview/ViewDrawTree.h"

RTL_PUBLISHED_NONE(TCustomViewDrawTree);

TPoint TCustomViewDrawTree::CellContentMargin(PViewNode node, TColumnIndex column, int marginType, TCanvas* canvas) {
    TPoint margin{0, 0};
    if (OnOwnerContentMargin) OnOwnerContentMargin(this, canvas ? canvas : Canvas(), node, column, marginType, margin);
    return margin;
}

int TCustomViewDrawTree::NodeWidth(PViewNode node, TColumnIndex column) {
    int width = 2 * TextMargin();
    if (OnOwnerNodeWidth) OnOwnerNodeWidth(this, Canvas(), node, column, width);
    return width;
}

void TCustomViewDrawTree::GetHintSize(PViewNode node, TColumnIndex column, TRect& r) {
    if (OnOwnerHintSize) OnOwnerHintSize(this, node, column, r);
}

void TCustomViewDrawTree::DrawHint(TCanvas* canvas, PViewNode node, TRect r, TColumnIndex column) {
    if (OnOwnerDrawHint) OnOwnerDrawHint(this, canvas, node, r, column);
}

void TCustomViewDrawTree::PaintNodeContent(TVTPaintInfo& paintInfo) {
    if (OnOwnerDrawNode) OnOwnerDrawNode(this, paintInfo);
}
