#pragma once
// A string tree on a shown form, in the test face (16 pixels high, 8 wide a
// character), rendered into a 32-bit DIB for pixel probes. Rows are 18 pixels
// high; the main column's text starts at Margin + Indent + TextMargin = 26.

#include <memory>

#include "TreeDibFixture.h"
#include "platform/ui/Canvas.h"
#include "platform/ui/Forms.h"
#include "platform/win/backend/qt/QtShapeRasterizer.h"
#include "platform/win/text/FontEngine.h"
#include "treeview/ViewStringTree.h"

// The DIB pixel (0x00RRGGBB) of a colour.
inline uint32_t DibPixel(TColor color) {
    const COLORREF c = ColorToRGB(color);
    return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
}

template <class Tree = TViewStringTree>
struct TPaintedTree {
    static constexpr int kWidth = 200;
    static constexpr int kHeight = 100;
    std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
    Tree* tree;
    std::vector<PViewNode> rows;

    explicit TPaintedTree(int rootCount = 3) {
        InstallQtShapeRasterizer(); // rounded selections and drop marks
        form->SetBounds(0, 0, 300, 200);
        tree = new Tree(form.get()); // the form frees it
        tree->SetParent(form.get());
        tree->SetBorderStyle(kNoBorder);
        tree->SetClientWidth(kWidth);
        tree->SetClientHeight(kHeight);
        tree->Font()->SetName(kTestFaceName);
        tree->Font()->SetHeight(-16);
        tree->Font()->SetColor(clBlack);
        tree->SetColor(clWhite);
        tree->HandleNeeded();
        tree->SetNodeDataSize(sizeof(void*));
        for (int i = 0; i < rootCount; ++i) rows.push_back(tree->AddChildNode(nullptr));
    }
    ~TPaintedTree() {
        // A focused tree leaves the form first: the form's destruction would still look at it.
        form->Hide();
        delete tree;
    }
    TPaintedTree(const TPaintedTree&) = delete;
    TPaintedTree& operator=(const TPaintedTree&) = delete;
    void SetPaintOption(TVTPaintOption option, bool on) {
        auto paint = tree->TreeOptions()->PaintOptions();
        if (on) paint.Include(option);
        else paint.Exclude(option);
        tree->TreeOptions()->SetPaintOptions(paint);
    }
    void SetSelectionOption(TVTSelectionOption option, bool on) {
        auto selection = tree->TreeOptions()->SelectionOptions();
        if (on) selection.Include(option);
        else selection.Exclude(option);
        tree->TreeOptions()->SetSelectionOptions(selection);
    }
    // The whole client area rendered as the window paint does, over a DIB filled with Sentinel.
    std::unique_ptr<TTreeDib> Render(TPaintTreeOptions options = kWindowPaintOptions, uint32_t sentinel = 0x123456) {
        auto dib = std::make_unique<TTreeDib>(kWidth, kHeight);
        dib->Fill(sentinel);
        TCanvas canvas;
        canvas.SetHandle(dib->Dc());
        tree->RenderTree(&canvas, TRect{0, 0, kWidth, kHeight}, TPoint{0, 0}, options);
        canvas.SetHandle(nullptr);
        return dib;
    }
};

// Ink of the test face's black glyph boxes between two columns of a row band.
inline int InkIn(TTreeDib& dib, int left, int top, int right, int bottom, uint32_t ink = 0) {
    int count = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) count += dib.At(x, y) == ink;
    return count;
}
