#include "../ControlFixture.h"

#include "platform/ui/comctrls/ListView.h"
#include "platform/ui/graphics/ImageList.h"
#include "platform/win/User.h"
#include "platform/win/controls/CommonControlConstants.h"
#include "platform/win/desktop/Desktop.h"

namespace {

class ListViewFramework : public FormTest {
protected:
    void SetUp() override { form = ShownForm(TRect{100, 100, 600, 500}); }

    // Three columns and 200 items named in Chinese and Latin by turns, each
    // with its number as data and its size as the first sub-item.
    TListView* View() {
        auto* view = new TListView(form);
        view->SetBounds(10, 10, 320, 220);
        view->SetRowSelect(true);
        const std::pair<const char16_t*, int> columns[] = {{u"名称", 120}, {u"Size", 80}, {u"类型", 60}};
        for (const auto& [caption, width] : columns) {
            TListColumn* column = view->Columns()->Add();
            column->SetCaption(caption);
            column->SetWidth(width);
        }
        view->Columns()->Items(1)->SetAlignment(taRightJustify);
        view->SetParent(form);
        view->Items()->BeginUpdate();
        for (int i = 0; i < 200; ++i) {
            TListItem* item = view->Items()->Add();
            item->SetCaption((i % 2 ? String(u"Item ") : String(u"项目 ")) + String(std::to_string(i)));
            item->SubItems()->Add(String(std::to_string(i * 10)));
            item->SetData(reinterpret_cast<void*>(intptr_t(i)));
        }
        view->Items()->EndUpdate();
        view->SetFocus();
        RunUntilIdle();
        return view;
    }
    static HWND HeaderOf(TListView* view) {
        return reinterpret_cast<HWND>(SendMessageW(view->Handle(), LVM_GETHEADER, 0, 0));
    }
    static int HeaderHeight(TListView* view) {
        RECT r{};
        GetWindowRect(HeaderOf(view), &r);
        return r.bottom - r.top;
    }
    static POINT ScreenOf(HWND hwnd, int x, int y) {
        POINT pt{x, y};
        ClientToScreen(hwnd, &pt);
        return pt;
    }
    static int Number(TListItem* item) { return int(reinterpret_cast<intptr_t>(item->Data())); }

    TForm* form = nullptr;
};

TEST_F(ListViewFramework, ColumnsAndItemsReachTheWindowAndTheFirstRowLiesUnderTheHeader) {
    TListView* view = View();
    const HWND w = view->Handle();
    EXPECT_EQ(SendMessageW(w, LVM_GETITEMCOUNT, 0, 0), 200);
    EXPECT_EQ(SendMessageW(w, LVM_GETCOLUMNWIDTH, 1, 0), 80);
    LVCOLUMNW column{};
    column.mask = LVCF_FMT;
    SendMessageW(w, LVM_GETCOLUMNW, 1, reinterpret_cast<LPARAM>(&column));
    EXPECT_EQ(column.fmt, LVCFMT_RIGHT);
    char16_t text[32] = {};
    LVITEMW item{};
    item.iSubItem = 1;
    item.pszText = text;
    item.cchTextMax = 32;
    SendMessageW(w, LVM_GETITEMTEXTW, 3, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(String(text), u"30");
    RECT first{LVIR_BOUNDS, 0, 0, 0};
    ASSERT_TRUE(SendMessageW(w, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first)));
    EXPECT_EQ(first.top, HeaderHeight(view));
    const TRect shown = view->Items()->Item(0)->DisplayRect();
    EXPECT_EQ(shown.Top, first.top);
    EXPECT_EQ(shown.Right, 260);
    EXPECT_EQ(view->GetItemAt(50, first.top + 2), view->Items()->Item(0));
}

TEST_F(ListViewFramework, AHeaderClickNamesTheColumnAndCustomSortReorders) {
    TListView* view = View();
    TListColumn* clicked = nullptr;
    view->OnColumnClick = [&](TObject*, TListColumn* column) { clicked = column; };
    DesktopClick(ScreenOf(HeaderOf(view), 160, 4));
    RunUntilIdle();
    EXPECT_EQ(clicked, view->Columns()->Items(1));

    view->Items()->Item(5)->SetSelected(true);
    const TLVCompare descending = [](LPARAM a, LPARAM b, LPARAM) {
        return Number(reinterpret_cast<TListItem*>(b)) - Number(reinterpret_cast<TListItem*>(a));
    };
    EXPECT_TRUE(view->CustomSort(descending, 0));
    EXPECT_EQ(view->Items()->Item(0)->Caption(), u"Item 199");
    EXPECT_EQ(Number(view->Items()->Item(199)), 0);
    EXPECT_EQ(Number(view->Selected()), 5) << "the selection goes with its item";
    EXPECT_EQ(view->Selected()->Index(), 194);
    char16_t text[32] = {};
    LVITEMW item{};
    item.pszText = text;
    item.cchTextMax = 32;
    SendMessageW(view->Handle(), LVM_GETITEMTEXTW, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(String(text), u"Item 199") << "the window follows the kept order";

    // Without a comparison: OnCompare decides, else the captions.
    view->OnCompare = [](TObject*, TListItem* a, TListItem* b, int, int& compare) { compare = Number(a) - Number(b); };
    view->AlphaSort();
    EXPECT_EQ(Number(view->Items()->Item(0)), 0);
    EXPECT_EQ(Number(view->Items()->Item(199)), 199);
}

// With a sort type set, an item whose sort key changes moves to its place, in the window too,
// taking its selection along; items come in through Add and then get their data and caption.
TEST_F(ListViewFramework, SortTypeKeepsAddedAndChangedItemsInTheirPlace) {
    struct TEdit {
        const char16_t* item;
        const char16_t* caption; // null: unchanged
        int data;                // negative: unchanged
    };
    const struct {
        const char* what;
        TSortType type;
        bool compareData; // an OnCompare by Data
        std::vector<std::pair<const char16_t*, int>> added;
        std::vector<const char16_t*> afterAdding;
        std::vector<TEdit> edits;
        std::vector<const char16_t*> afterEditing;
    } cases[] = {
        {"stText by captions", stText, false, {{u"Cherry", 1}, {u"香蕉", 2}, {u"apple", 3}, {u"Banana", 4}},
         {u"apple", u"Banana", u"Cherry", u"香蕉"}, {{u"apple", u"Date", -1}},
         {u"Banana", u"Cherry", u"Date", u"香蕉"}},
        {"stText sorts all by OnCompare on a caption change only", stText, true, {{u"a", 3}, {u"b", 1}, {u"c", 2}},
         {u"b", u"c", u"a"}, {{u"c", nullptr, 9}, {u"b", u"x", -1}}, {u"x", u"a", u"c"}},
        {"stData with OnCompare on a data change only", stData, true, {{u"c", 30}, {u"a", 10}, {u"b", 20}},
         {u"a", u"b", u"c"}, {{u"a", nullptr, 25}, {u"b", u"z", -1}}, {u"z", u"a", u"c"}},
        {"stBoth on either", stBoth, true, {{u"c", 3}, {u"a", 1}, {u"b", 2}}, {u"a", u"b", u"c"},
         {{u"a", nullptr, 5}, {u"b", u"y", -1}}, {u"y", u"c", u"a"}},
        {"stNone keeps the order of adding", stNone, false, {{u"c", 3}, {u"a", 1}, {u"b", 2}}, {u"c", u"a", u"b"},
         {{u"c", u"0", 0}}, {u"0", u"a", u"b"}},
    };
    for (const auto& c : cases) {
        auto* view = new TListView(form);
        view->SetBounds(10, 10, 200, 150);
        view->Columns()->Add()->SetCaption(u"名称");
        view->SetParent(form);
        view->SetSortType(c.type);
        if (c.compareData)
            view->OnCompare = [](TObject*, TListItem* a, TListItem* b, int, int& compare) {
                compare = Number(a) - Number(b);
            };
        for (const auto& [caption, data] : c.added) {
            TListItem* item = view->Items()->Add();
            item->SetData(reinterpret_cast<void*>(intptr_t(data)));
            item->SetCaption(caption);
        }
        auto order = [&] {
            std::vector<String> kept, shown;
            char16_t text[32] = {};
            for (int i = 0; i < view->Items()->Count(); ++i) {
                EXPECT_EQ(view->Items()->Item(i)->Index(), i) << c.what;
                kept.push_back(view->Items()->Item(i)->Caption());
                LVITEMW item{};
                item.pszText = text;
                item.cchTextMax = 32;
                SendMessageW(view->Handle(), LVM_GETITEMTEXTW, WPARAM(i), reinterpret_cast<LPARAM>(&item));
                shown.push_back(text);
            }
            EXPECT_EQ(shown, kept) << c.what << ": the window shows the kept order";
            return kept;
        };
        auto named = [&](const char16_t* caption) {
            for (int i = 0; i < view->Items()->Count(); ++i)
                if (view->Items()->Item(i)->Caption() == caption) return view->Items()->Item(i);
            return static_cast<TListItem*>(nullptr);
        };
        EXPECT_EQ(order(), std::vector<String>(c.afterAdding.begin(), c.afterAdding.end())) << c.what;
        TListItem* selected = named(c.edits.front().item);
        ASSERT_TRUE(selected) << c.what;
        view->SetSelected(selected);
        for (const TEdit& e : c.edits) {
            TListItem* item = named(e.item);
            ASSERT_TRUE(item) << c.what;
            if (e.data >= 0) item->SetData(reinterpret_cast<void*>(intptr_t(e.data)));
            if (e.caption) item->SetCaption(e.caption);
        }
        EXPECT_EQ(order(), std::vector<String>(c.afterEditing.begin(), c.afterEditing.end())) << c.what;
        EXPECT_EQ(view->Selected(), selected) << c.what << ": the selection goes with its item";
        delete view;
    }
}

TEST_F(ListViewFramework, KeysMoveTheFocusAndScrollWithEventsOnTheWay) {
    TListView* view = View();
    std::vector<uint16_t> keys;
    view->OnKeyDown = [&](TObject*, uint16_t& key, TShiftState) { keys.push_back(key); };
    std::vector<std::pair<int, bool>> selections;
    view->OnSelectItem = [&](TObject*, TListItem* item, bool selected) { selections.emplace_back(Number(item), selected); };
    const int page = int(SendMessageW(view->Handle(), LVM_GETCOUNTPERPAGE, 0, 0));
    ASSERT_GT(page, 2);
    DesktopPress(VK_DOWN);
    DesktopPress(VK_DOWN);
    RunUntilIdle();
    EXPECT_EQ(view->ItemFocused(), view->Items()->Item(1));
    EXPECT_EQ(selections, (std::vector<std::pair<int, bool>>{{0, true}, {0, false}, {1, true}}));
    DesktopPress(VK_NEXT);
    RunUntilIdle();
    EXPECT_EQ(view->ItemFocused()->Index(), page - 1);
    EXPECT_EQ(view->TopItem()->Index(), 0);
    DesktopPress(VK_NEXT);
    RunUntilIdle();
    EXPECT_EQ(view->ItemFocused()->Index(), 2 * (page - 1));
    EXPECT_EQ(view->TopItem()->Index(), page - 1);
    DesktopPress(VK_END);
    RunUntilIdle();
    EXPECT_EQ(view->Selected(), view->Items()->Item(199));
    EXPECT_EQ(view->TopItem()->Index(), 200 - page);
    EXPECT_EQ(keys, (std::vector<uint16_t>{VK_DOWN, VK_DOWN, VK_NEXT, VK_NEXT, VK_END}));
}

TEST_F(ListViewFramework, ADoubleClickOnARowReachesOnDblClick) {
    TListView* view = View();
    int clicks = 0, doubleClicks = 0;
    view->OnClick = [&](TObject*) { ++clicks; };
    view->OnDblClick = [&](TObject*) { ++doubleClicks; };
    const TRect row = view->Items()->Item(2)->DisplayRect();
    const POINT pt = ScreenOf(view->Handle(), 40, (row.Top + row.Bottom) / 2);
    DesktopClick(pt);
    DesktopClick(pt);
    RunUntilIdle();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(doubleClicks, 1);
    EXPECT_EQ(view->Selected(), view->Items()->Item(2));
}

TEST_F(ListViewFramework, ADividerDragChangesTheColumnWidth) {
    TListView* view = View();
    const HWND header = HeaderOf(view);
    const int y = HeaderHeight(view) / 2;
    DesktopMouseMove(ScreenOf(header, 119, y));
    DesktopMouseButton(TDesktopButton::Left, true, ScreenOf(header, 119, y));
    DesktopMouseMove(ScreenOf(header, 140, y));
    DesktopMouseMove(ScreenOf(header, 169, y));
    DesktopMouseButton(TDesktopButton::Left, false, ScreenOf(header, 169, y));
    RunUntilIdle();
    EXPECT_EQ(SendMessageW(view->Handle(), LVM_GETCOLUMNWIDTH, 0, 0), 170);
    EXPECT_EQ(view->Columns()->Items(0)->Width(), 170);
}

TEST_F(ListViewFramework, ItemsStateAndWidthsSurviveANewWindow) {
    TListView* view = View();
    view->SetMultiSelect(true);
    view->Items()->Item(3)->SetSelected(true);
    view->Items()->Item(7)->SetSelected(true);
    view->SetItemFocused(view->Items()->Item(7));
    view->Items()->Item(150)->MakeVisible(false);
    view->Columns()->Items(2)->SetWidth(90);
    const int top = view->TopItem()->Index();
    int events = 0;
    view->OnSelectItem = [&](TObject*, TListItem*, bool) { ++events; };
    const HWND old = view->Handle();
    view->SetHideSelection(false); // a new window
    RunUntilIdle();
    ASSERT_NE(view->Handle(), old);
    EXPECT_EQ(events, 0) << "a new window is no selection by the user";
    EXPECT_EQ(SendMessageW(view->Handle(), LVM_GETITEMCOUNT, 0, 0), 200);
    EXPECT_EQ(view->SelCount(), 2);
    EXPECT_TRUE(view->Items()->Item(3)->Selected());
    EXPECT_EQ(view->ItemFocused(), view->Items()->Item(7));
    EXPECT_EQ(view->TopItem()->Index(), top);
    EXPECT_EQ(view->Columns()->Items(2)->Width(), 90);
    EXPECT_EQ(view->Items()->Item(9)->SubItems()->Strings(0), u"90");
    view->Items()->Item(9)->SubItems()->SetStrings(0, u"nine");
    char16_t text[32] = {};
    LVITEMW item{};
    item.iSubItem = 1;
    item.pszText = text;
    item.cchTextMax = 32;
    SendMessageW(view->Handle(), LVM_GETITEMTEXTW, 9, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(String(text), u"nine");
}

TEST_F(ListViewFramework, SmallImagesFollowTheImageListAndItsGoing) {
    TListView* view = View();
    auto* images = new TImageList(form, 20, 20);
    view->SetSmallImages(images);
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageW(view->Handle(), LVM_GETIMAGELIST, LVSIL_SMALL, 0)),
              images->Handle());
    const TRect row = view->Items()->Item(0)->DisplayRect();
    EXPECT_GE(row.Bottom - row.Top, 21) << "rows make room for the images";
    view->RecreateWnd();
    RunUntilIdle();
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageW(view->Handle(), LVM_GETIMAGELIST, LVSIL_SMALL, 0)),
              images->Handle());
    delete images;
    EXPECT_EQ(view->SmallImages(), nullptr);
    EXPECT_EQ(SendMessageW(view->Handle(), LVM_GETIMAGELIST, LVSIL_SMALL, 0), 0);
}

} // namespace
