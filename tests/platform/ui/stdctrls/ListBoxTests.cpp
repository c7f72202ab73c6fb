#include "../ControlFixture.h"

#include "platform/ui/stdctrls/ListBox.h"
#include "platform/win/User.h"
#include "platform/win/controls/ControlConstants.h"
#include "platform/win/desktop/Desktop.h"
#include "platform/win/paint/Composite.h"

namespace {

class TListBoxItemObject : public TObject {};

class ListBoxFramework : public FormTest {
protected:
    void SetUp() override { form = ShownForm(TRect{100, 100, 500, 400}); }

    // A list box of five 17-pixel rows (inside its 2-pixel client edge).
    TListBox* List(TListBoxStyle style = lbOwnerDrawFixed) {
        auto* list = new TListBox(form);
        list->SetStyle(style);
        list->SetItemHeight(17);
        list->SetBounds(10, 10, 120, 5 * 17 + 4);
        list->SetParent(form);
        return list;
    }
    static void AddFruit(TListBox* list, int count) {
        list->Items()->Updating([&] {
            for (int i = 0; i < count; ++i) list->Items()->Add(u"fruit " + String(std::to_string(i)));
        });
    }
    static POINT RowPoint(TListBox* list, int row) {
        POINT pt{20, row * 17 + 8};
        ClientToScreen(list->Handle(), &pt);
        return pt;
    }
    void ClickRow(TListBox* list, int row, UINT modifier = 0) {
        clock_.Advance(1000); // never a double click
        if (modifier) DesktopKey(modifier, true);
        DesktopMouseButton(TDesktopButton::Left, true, RowPoint(list, row));
        DesktopMouseButton(TDesktopButton::Left, false, RowPoint(list, row));
        if (modifier) DesktopKey(modifier, false);
        RunUntilIdle();
    }
    static COLORREF ScreenPixel(TWinControl* control, int x, int y) {
        POINT pt{x, y};
        ClientToScreen(control->Handle(), &pt);
        const uint32_t argb = ComposeDesktop(RECT{pt.x, pt.y, pt.x + 1, pt.y + 1}).Pixel(pt.x, pt.y);
        return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
    }

    TForm* form = nullptr;
};

struct TDrawn {
    int index;
    TRect rect;
    TOwnerDrawState state;
};

TEST_F(ListBoxFramework, OwnerDrawFixedDrawsOnlyTheVisibleRowsWithTheCurrentOneSelectedAndFocused) {
    TListBox* list = List();
    AddFruit(list, 30);
    std::vector<TDrawn> drawn;
    list->OnDrawItem = [&](TWinControl* control, int index, TRect rect, TOwnerDrawState state) {
        EXPECT_EQ(control, list);
        drawn.push_back({index, rect, state});
    };
    list->SetTopIndex(10);
    list->SetItemIndex(12);
    list->SetFocus();
    RunUntilIdle();
    drawn.clear();
    list->Invalidate();
    RunUntilIdle();
    std::vector<int> indexes;
    for (const TDrawn& d : drawn) {
        indexes.push_back(d.index);
        EXPECT_EQ(d.rect.Height(), 17);
        EXPECT_EQ(d.rect.Top, (d.index - 10) * 17);
        const TOwnerDrawState expected = d.index == 12 ? TOwnerDrawState{odSelected, odFocused} : TOwnerDrawState{};
        EXPECT_TRUE(d.state == expected) << d.index;
    }
    EXPECT_EQ(indexes, (std::vector<int>{10, 11, 12, 13, 14}));
    EXPECT_EQ(list->ItemHeight(), 17);
}

TEST_F(ListBoxFramework, ExtendedSelectionWithCtrlAndShiftClicksAndOneOnClickEach) {
    TListBox* list = List(lbStandard);
    list->SetItemHeight(17);
    list->SetStyle(lbOwnerDrawFixed);
    list->SetMultiSelect(true);
    AddFruit(list, 10);
    int clicks = 0;
    list->OnClick = [&](TObject*) { ++clicks; };
    ClickRow(list, 1);
    ClickRow(list, 3, VK_CONTROL);
    ClickRow(list, 4, VK_SHIFT);
    std::vector<int> selected;
    for (int i = 0; i < list->Items()->Count(); ++i)
        if (list->Selected(i)) selected.push_back(i);
    EXPECT_EQ(selected, (std::vector<int>{3, 4}));
    EXPECT_EQ(list->SelCount(), 2);
    EXPECT_EQ(list->ItemIndex(), 4);
    EXPECT_EQ(clicks, 3);
    list->SetSelected(0, true);
    EXPECT_EQ(list->SelCount(), 3);
    EXPECT_EQ(clicks, 3) << "no OnClick for what the program does";
}

TEST_F(ListBoxFramework, ADoubleClickFiresOnDblClickOnce) {
    TListBox* list = List();
    AddFruit(list, 5);
    int clicks = 0, doubleClicks = 0;
    list->OnClick = [&](TObject*) { ++clicks; };
    list->OnDblClick = [&](TObject*) { ++doubleClicks; };
    for (int i = 0; i < 2; ++i) {
        DesktopMouseButton(TDesktopButton::Left, true, RowPoint(list, 2));
        DesktopMouseButton(TDesktopButton::Left, false, RowPoint(list, 2));
    }
    RunUntilIdle();
    EXPECT_EQ(doubleClicks, 1);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(list->ItemIndex(), 2);
}

TEST_F(ListBoxFramework, TheTopIndexScrollsTheRows) {
    TListBox* list = List(lbStandard);
    list->SetIntegralHeight(false);
    AddFruit(list, 40);
    SendMessageW(list->Handle(), LB_SETTOPINDEX, 7, 0);
    EXPECT_EQ(list->TopIndex(), 7);
    EXPECT_EQ(list->ItemRect(7).Top, 0);
    EXPECT_EQ(list->ItemAtPos(TPoint{5, 1}, true), 7);
    EXPECT_EQ(list->ItemAtPos(TPoint{5, -3}, true), -1);
    EXPECT_EQ(GetScrollPos(list->Handle(), SB_VERT), 7);
    list->SetTopIndex(0);
    EXPECT_EQ(list->ItemAtPos(TPoint{5, 1}, true), 0);
}

TEST_F(ListBoxFramework, ItemsWithTheirObjectsSelectionAndTopSurviveAFontChangeThatRecreatesTheWindow) {
    TListBox* list = List(lbStandard);
    TListBoxItemObject objects[20];
    for (int i = 0; i < 20; ++i) list->Items()->AddObject(u"item " + String(std::to_string(i)), &objects[i]);
    list->SetItemIndex(4);
    list->SetTopIndex(2);
    const HWND before = list->Handle();
    list->Font()->SetSize(list->Font()->Size() + 6);
    list->RecreateWnd(); // as a control that measures its rows by the font does
    RunUntilIdle();
    EXPECT_NE(list->Handle(), before);
    EXPECT_EQ(SendMessageW(list->Handle(), WM_GETFONT, 0, 0), LRESULT(list->Font()->Handle()));
    ASSERT_EQ(list->Items()->Count(), 20);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(list->Items()->Objects(i), &objects[i]);
        EXPECT_EQ(list->Items()->Strings(i), u"item " + String(std::to_string(i)));
    }
    EXPECT_EQ(list->ItemIndex(), 4);
    EXPECT_EQ(list->TopIndex(), 2);
    list->Items()->Delete(2);
    EXPECT_EQ(list->Items()->Objects(2), &objects[3]) << "the objects stay with their items";
}

TEST_F(ListBoxFramework, SortedListsReportWhereItemsWentWithOrWithoutAWindow) {
    auto* list = new TListBox(form);
    list->SetSorted(true);
    TListBoxItemObject objectOfB;
    EXPECT_EQ(list->Items()->Add(u"c"), 0);
    EXPECT_EQ(list->Items()->AddObject(u"b", &objectOfB), 0);
    EXPECT_FALSE(list->HandleAllocated());
    list->SetParent(form);
    list->HandleNeeded();
    EXPECT_EQ(list->Items()->Add(u"a"), 0);
    EXPECT_EQ(list->Items()->Add(u"d"), 3);
    EXPECT_EQ(list->Items()->CommaText(), u"a,b,c,d");
    EXPECT_EQ(list->Items()->Objects(1), &objectOfB);
    EXPECT_EQ(list->Items()->IndexOf(u"C"), 2);
    list->SetSorted(false);
    EXPECT_EQ(list->Items()->Add(u"a"), 4);
}

TEST_F(ListBoxFramework, TextLengthsCountUtf16Units) {
    TListBox* list = List(lbStandard);
    list->AddItem(u"视频 a", nullptr);
    list->AddItem(u"𠀀", nullptr);
    EXPECT_EQ(SendMessageW(list->Handle(), LB_GETTEXTLEN, 0, 0), 4);
    EXPECT_EQ(list->Items()->Strings(0), u"视频 a");
    EXPECT_EQ(list->Items()->Strings(1).size(), 2u);
    list->Items()->SetStrings(0, u"changed");
    EXPECT_EQ(list->Items()->Strings(0), u"changed");
    EXPECT_THROW(list->Items()->Strings(5), EStringListError);
    list->Clear();
    EXPECT_EQ(list->Items()->Count(), 0);
}

// Two lists on one form: each request reaches the list it is about.
TEST_F(ListBoxFramework, VariableRowsAskOnMeasureItemForEachItem) {
    TListBox* other = List(lbOwnerDrawVariable);
    other->SetLeft(200);
    other->OnMeasureItem = [](TWinControl*, int, int& height) { height = 30; };
    TListBox* list = List(lbOwnerDrawVariable);
    std::vector<int> asked;
    list->OnMeasureItem = [&](TWinControl*, int index, int& height) {
        asked.push_back(index);
        height = 10 + index;
    };
    AddFruit(other, 1);
    AddFruit(list, 3);
    EXPECT_EQ(asked, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(list->ItemRect(2).Top, 10 + 11);
    EXPECT_EQ(list->ItemRect(2).Height(), 12);
    EXPECT_EQ(other->ItemRect(0).Height(), 30);
}

TEST_F(ListBoxFramework, TheColourFillsTheRowsAndStandardSelectionIsHighlighted) {
    TListBox* list = List(lbStandard);
    list->SetColor(clYellow);
    AddFruit(list, 3);
    list->SetItemIndex(1);
    RunUntilIdle();
    const int h = list->ItemHeight();
    EXPECT_EQ(ScreenPixel(list, 100, h / 2), ColorToRGB(clYellow));
    EXPECT_EQ(ScreenPixel(list, 100, h + h / 2), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(ScreenPixel(list, 100, 4 * h), ColorToRGB(clYellow)) << "below the rows";
}

TEST_F(ListBoxFramework, AnUpdateBracketRedrawsOnceAtItsEnd) {
    TListBox* list = List();
    int draws = 0;
    list->OnDrawItem = [&](TWinControl*, int, TRect, TOwnerDrawState) { ++draws; };
    RunUntilIdle();
    list->Items()->BeginUpdate();
    for (int i = 0; i < 50; ++i) list->Items()->Add(u"x");
    RunUntilIdle();
    EXPECT_EQ(draws, 0) << "nothing drawn inside the bracket";
    list->Items()->EndUpdate();
    RunUntilIdle();
    EXPECT_EQ(draws, 5);
    EXPECT_EQ(GetScrollPos(list->Handle(), SB_VERT), 0);
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE;
    GetScrollInfo(list->Handle(), SB_VERT, &info);
    EXPECT_EQ(info.nMax, 49);
}

} // namespace
