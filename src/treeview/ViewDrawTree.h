#pragma once
// TCustomViewDrawTree: a tree without texts of its own; its owner paints each
// node's content, and answers node widths, content margins and hints, through
// five events. Everything else is the base tree.

#include "treeview/BaseViewTree.h"

using TVTDrawNodeEvent = std::function<void(TBaseViewTree* sender, const TVTPaintInfo& paintInfo)>;
using TVTGetCellContentMarginEvent = std::function<void(TBaseViewTree* sender, TCanvas* canvas, PViewNode node,
                                                        TColumnIndex column, int marginType, TPoint& margin)>;
using TVTGetNodeWidthEvent = std::function<void(TBaseViewTree* sender, TCanvas* canvas, PViewNode node,
                                                TColumnIndex column, int& nodeWidth)>;
using TVTGetHintSizeEvent =
    std::function<void(TBaseViewTree* sender, PViewNode node, TColumnIndex column, TRect& r)>;
using TVTDrawHintEvent =
    std::function<void(TBaseViewTree* sender, TCanvas* canvas, PViewNode node, TRect r, TColumnIndex column)>;

class TCustomViewDrawTree : public TBaseViewTree {
    RTL_CLASS(TCustomViewDrawTree, TBaseViewTree);

public:
    using TBaseViewTree::TBaseViewTree;

    TPoint CellContentMargin(PViewNode node, TColumnIndex column, int marginType, TCanvas* canvas) override;
    int NodeWidth(PViewNode node, TColumnIndex column) override;
    // The hint rectangle of a node: R as the owner sizes it (a node hint shows only when it is not empty).
    void GetHintSize(PViewNode node, TColumnIndex column, TRect& r);
    void DrawHint(TCanvas* canvas, PViewNode node, TRect r, TColumnIndex column);

    TVTDrawNodeEvent OnOwnerDrawNode;
    TVTGetCellContentMarginEvent OnOwnerContentMargin;
    TVTGetNodeWidthEvent OnOwnerNodeWidth;
    TVTGetHintSizeEvent OnOwnerHintSize;
    TVTDrawHintEvent OnOwnerDrawHint;

protected:
    void PaintNodeContent(TVTPaintInfo& paintInfo) override;
};
