// The string tree's texts on screen and their measures, the draw tree's
// owner painting, and real faces drawing Chinese in a row.
#include <gtest/gtest.h>

#include <QGuiApplication>

#include "TreePaintFixture.h"
#include "platform/win/User.h"
#include "platform/win/text/Text.h"
#include "platform/win/backend/qt/QtFontEngine.h"
#include "treeview/ViewDrawTree.h"

namespace {

// Text of row 0 starts at x 26, each test-face character a black box 8 wide, inset by 1.
constexpr int kTextLeft = 26;

TEST(StringTreePainting, WithoutOnGetTextEveryCellShowsNode) {
    TPaintedTree<> t;
    EXPECT_EQ(t.tree->Text(t.rows[1], kNoColumn), u"Node");
    auto dib = t.Render();
    for (int row = 0; row < 3; ++row) {
        SCOPED_TRACE(row);
        // Four boxes of 6 x 14 ink.
        EXPECT_EQ(InkIn(*dib, kTextLeft, row * 18, kTextLeft + 32, row * 18 + 18), 4 * 6 * 14);
        EXPECT_EQ(InkIn(*dib, kTextLeft + 32, row * 18, 200, row * 18 + 18), 0);
    }
}

TEST(StringTreePainting, AChangedDefaultTextRepaints) {
    TPaintedTree<> t;
    t.form->Show();
    ValidateRect(t.tree->Handle(), nullptr);
    t.tree->SetDefaultText(u"Node");
    RECT update{};
    EXPECT_FALSE(GetUpdateRect(t.tree->Handle(), &update, FALSE)) << "the same text";
    t.tree->SetDefaultText(u"Item");
    EXPECT_TRUE(GetUpdateRect(t.tree->Handle(), &update, FALSE));
    EXPECT_EQ(t.tree->Text(t.rows[0], kNoColumn), u"Item");
}

struct TTextColourCase {
    const char* name;
    std::function<void(TPaintedTree<>&)> setUp;
    TColor ink;
};

TEST(StringTreePainting, TextColoursOfDisabledSelectedAndHotNodes) {
    const TTextColourCase cases[] = {
        {"disabled", [](auto& t) { t.tree->SetNodeDisabled(t.rows[0], true); }, clOlive},
        {"selected in a focused-looking tree", [](auto& t) {
             t.SetPaintOption(toPopupMode, true);
             t.tree->SetNodeSelected(t.rows[0], true);
         }, clHighlightText},
        {"hot with hot tracking", [](auto& t) {
             t.SetPaintOption(toHotTrack, true);
             t.tree->SetHotNode(t.rows[0]);
         }, clPurple},
        {"hot without hot tracking", [](auto& t) { t.tree->SetHotNode(t.rows[0]); }, clBlack},
    };
    for (const TTextColourCase& c : cases) {
        SCOPED_TRACE(c.name);
        TPaintedTree<> t;
        t.tree->Colors()->SetColor(TVTColors::DisabledColor, clOlive);
        t.tree->Colors()->SetColor(TVTColors::HotColor, clPurple);
        t.tree->Colors()->SetColor(TVTColors::FocusedSelectionColor, clNavy);
        c.setUp(t);
        auto dib = t.Render();
        EXPECT_EQ(dib->At(kTextLeft + 3, 9), DibPixel(c.ink));
    }
}

TEST(StringTreePainting, HotTextIsUnderlined) {
    TPaintedTree<> t;
    t.SetPaintOption(toHotTrack, true);
    auto gapInk = [&] {
        auto dib = t.Render();
        // The gap between the first two boxes (x 33) only carries an underline.
        return 18 - InkIn(*dib, kTextLeft + 7, 0, kTextLeft + 8, 18, DibPixel(clWhite));
    };
    EXPECT_EQ(gapInk(), 0);
    t.tree->SetHotNode(t.rows[0]);
    EXPECT_EQ(gapInk(), 1);
}

TEST(StringTreePainting, AMultiLineNodeWraps) {
    TPaintedTree<> t(1);
    t.tree->OnGetText = [](TBaseViewTree*, PViewNode, TColumnIndex, TVSTTextType, String& text) {
        text = u"aaaa bbbb cccc dddd eeee ffff gggg hhhh";
    };
    t.tree->ChangeNodeHeight(t.rows[0], 72);
    auto dib = t.Render();
    EXPECT_EQ(InkIn(*dib, 0, 0, 200, 28) + InkIn(*dib, 0, 44, 200, 72), 0) << "single line: one centred line";
    t.rows[0]->states.Include(nsMultiline);
    t.tree->InvalidateRow(t.rows[0]);
    dib = t.Render();
    EXPECT_GT(InkIn(*dib, kTextLeft, 0, 200, 16), 0);
    EXPECT_GT(InkIn(*dib, kTextLeft, 16, 200, 32), 0) << "the second line";
    EXPECT_EQ(t.tree->NodeTextHeight(t.tree->Canvas(), t.rows[0], kNoColumn), 32) << "170 pixels hold 4 words a line";
}

TEST(StringTreePainting, StaticTextFollowsTheTextExceptCentredOrMultiLine) {
    TPaintedTree<> t(1);
    t.tree->TreeOptions()->SetStringOptions({toShowStaticText});
    t.tree->OnGetText = [](TBaseViewTree*, PViewNode, TColumnIndex, TVSTTextType type, String& text) {
        text = type == ttNormal ? u"ab" : u"cd";
    };
    t.tree->InvalidateRow(t.rows[0]); // the width of "Node" was cached when the node was added
    // "ab" is 16 + 2 x 4 wide: the static text starts at 22 + 24 + 4 = 50.
    auto staticInk = [&] {
        auto dib = t.Render();
        return InkIn(*dib, 50, 0, 66, 18);
    };
    EXPECT_EQ(staticInk(), 2 * 6 * 14);
    t.tree->SetAlignment(TAlignment::taCenter);
    EXPECT_EQ(InkIn(*t.Render(), 0, 0, 200, 18), 2 * 6 * 14) << "centred: the normal text alone";
    t.tree->SetAlignment(TAlignment::taLeftJustify);
    t.rows[0]->states.Include(nsMultiline);
    EXPECT_EQ(staticInk(), 0);
}

TEST(StringTreePainting, OwnerFontsAndOwnerDrawing) {
    TPaintedTree<> t(1);
    std::vector<TVSTTextType> asked;
    t.tree->OnPaintText = [&](TBaseViewTree*, TCanvas* canvas, PViewNode, TColumnIndex, TVSTTextType type) {
        asked.push_back(type);
        canvas->Font()->SetColor(clRed);
    };
    t.tree->InvalidateRow(t.rows[0]);
    EXPECT_EQ(t.tree->NodeWidth(t.rows[0], kNoColumn), 40);
    EXPECT_EQ(asked, std::vector<TVSTTextType>{ttNormal}) << "measured in the owner's font";
    bool defaultDraw = false;
    int drawn = 0;
    t.tree->OnDrawText = [&](TBaseViewTree*, TCanvas*, PViewNode, TColumnIndex, const String& text, TRect,
                             bool& draw) {
        EXPECT_EQ(text, u"Node");
        ++drawn;
        draw = defaultDraw;
    };
    EXPECT_EQ(InkIn(*t.Render(), 0, 0, 200, 18, DibPixel(clRed)), 0);
    EXPECT_EQ(drawn, 1);
    defaultDraw = true;
    EXPECT_EQ(InkIn(*t.Render(), 0, 0, 200, 18, DibPixel(clRed)), 4 * 6 * 14) << "in the owner's colour";
}

TEST(StringTreeWidths, TheMainColumnWidthIsCachedOnPaintAndReset) {
    TPaintedTree<> t;
    t.tree->InvalidateRow(t.rows[0]);
    EXPECT_EQ(t.tree->CachedTextWidth(t.rows[0]), 0);
    EXPECT_EQ(t.tree->CachedTextWidth(t.rows[1]), 40) << "measured when the row came";
    t.Render();
    EXPECT_EQ(t.tree->CachedTextWidth(t.rows[0]), 40) << "filled by the paint";
    t.tree->Font()->SetStyle({fsBold}); // the framework sends WM_SETFONT
    EXPECT_EQ(t.tree->CachedTextWidth(t.rows[1]), 0);
    EXPECT_EQ(t.tree->TextHeight(), 16);
    EXPECT_EQ(t.tree->EllipsisWidth(), 3 * 8);
}

TEST(StringTreeWidths, MaxRightExtentDrivesTheHorizontalRange) {
    TPaintedTree<> t;
    t.tree->OnGetText = [&](TBaseViewTree*, PViewNode node, TColumnIndex, TVSTTextType, String& text) {
        text = node == t.rows[1] ? u"a rather long caption here" : u"x";
    };
    for (PViewNode row : t.rows) t.tree->InvalidateRow(row);
    t.tree->SyncScrollBars(false);
    // Margin 4 + indent 18 + text margins 8 + 26 characters of 8.
    EXPECT_EQ(t.tree->RangeX(), 4 + 18 + 8 + 26 * 8);
}

TEST(StringTreeTexts, IncrementalSearchMatchesTheStartCaseSensitively) {
    TPaintedTree<> t(1);
    String caption;
    t.tree->OnGetText = [&](TBaseViewTree*, PViewNode, TColumnIndex, TVSTTextType, String& text) { text = caption; };
    const struct {
        const char16_t* text;
        int result;
    } cases[] = {{u"abc", 0}, {u"xab", 1}, {u"Abc", 1}, {u"ab", 0}};
    for (const auto& c : cases) {
        caption = c.text;
        EXPECT_EQ(t.tree->DoIncrementalSearch(t.rows[0], u"ab"), c.result) << String(c.text).ToUtf8();
    }
}

TEST(StringTreeTexts, TheTooltipFallsBackToTheCellText) {
    TPaintedTree<> t(1);
    TVTTooltipLineBreakStyle style = hlbDefault;
    EXPECT_EQ(t.tree->NodeTooltipText(t.rows[0], kNoColumn, style), u"Node");
    t.tree->OnGetHint = [](TBaseViewTree*, PViewNode, TColumnIndex, TVTTooltipLineBreakStyle&, String& hint) {
        hint = u"hint";
    };
    EXPECT_EQ(t.tree->NodeTooltipText(t.rows[0], kNoColumn, style), u"hint");
}

TEST(DrawTreePainting, WithoutHandlersRowsLinesButtonsAndSelectionButNoContent) {
    TPaintedTree<TCustomViewDrawTree> t;
    t.tree->Colors()->SetColor(TVTColors::TreeLineColor, clRed);
    t.tree->Colors()->SetColor(TVTColors::FocusedSelectionColor, clBlue);
    t.tree->Colors()->SetColor(TVTColors::FocusedSelectionBorderColor, clBlue);
    t.SetPaintOption(toPopupMode, true);
    t.SetSelectionOption(toFullRowSelect, true);
    t.tree->ChangeChildCount(t.rows[2], 1);
    t.tree->SetNodeSelected(t.rows[1], true);
    EXPECT_EQ(t.tree->NodeWidth(t.rows[0], kNoColumn), 8);
    EXPECT_EQ(t.tree->CellContentMargin(t.rows[0], kNoColumn, 0, nullptr), (TPoint{0, 0}));
    auto dib = t.Render();
    EXPECT_EQ(InkIn(*dib, 18, 0, 200, 100, DibPixel(clBlack)), 0) << "no content beside the buttons";
    EXPECT_EQ(dib->At(100, 27), DibPixel(clBlue));
    EXPECT_EQ(dib->At(4, 40), DibPixel(clRed)) << "the button's frame";
    EXPECT_GT(InkIn(*dib, 9, 0, 10, 18, DibPixel(clRed)), 3) << "the dotted line";

    std::vector<PViewNode> drawn;
    t.tree->OnOwnerDrawNode = [&](TBaseViewTree*, const TVTPaintInfo& info) { drawn.push_back(info.Node); };
    t.tree->OnOwnerNodeWidth = [](TBaseViewTree*, TCanvas*, PViewNode, TColumnIndex, int& width) { width = 50; };
    t.Render();
    EXPECT_EQ(drawn, t.rows);
    EXPECT_EQ(t.tree->NodeWidth(t.rows[0], kNoColumn), 50);
}

// Real faces need Qt's font database, which lives with a Qt application.
class StringTreeRealFonts : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (QCoreApplication::instance()) return;
        static int argc = 1;
        static char name[] = "treeview_tests";
        static char* argv[] = {name, nullptr};
        static QGuiApplication app(argc, argv);
    }
    void SetUp() override { InstallQtFontEngine(); }
    void TearDown() override { SetFontEngine(nullptr); }
};

TEST_F(StringTreeRealFonts, ChineseCaptionsInTheGuiFontMeasureAndLeaveInk) {
    TPaintedTree<> t(2);
    LOGFONTW gui;
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof gui, &gui);
    t.tree->Font()->SetHandle(CreateFontIndirectW(&gui));
    t.tree->Font()->SetColor(clBlack);
    t.tree->OnGetText = [&](TBaseViewTree*, PViewNode node, TColumnIndex, TVSTTextType, String& text) {
        text = node == t.rows[0] ? u"任务列表" : u"转换 test 中文";
    };
    for (PViewNode node : t.rows) EXPECT_GT(t.tree->NodeWidth(node, kNoColumn), 8);
    auto dib = t.Render();
    for (int row = 0; row < 2; ++row) {
        int ink = 0;
        for (int y = row * 18; y < row * 18 + 18; ++y)
            for (int x = 0; x < 200; ++x) ink += dib->At(x, y) != DibPixel(clWhite);
        EXPECT_GT(ink, 20) << row;
    }
}

} // namespace
