#include "../ControlFixture.h"

#include "platform/ui/comctrls/PageControl.h"
#include "platform/win/User.h"
#include "platform/win/controls/CommonControlConstants.h"
#include "platform/win/desktop/Desktop.h"

namespace {

// A page control filling a form with three sheets: "Task Info" without a
// tab, "Logs" and "Output"; the second is active.
class PageControlTest : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        form = ShownForm({100, 100, 500, 400});
        pages = new TPageControl(form);
        pages->SetBounds(0, 0, 300, 200);
        pages->SetParent(form);
        for (const char16_t* caption : {u"Task Info", u"Logs", u"Output"}) {
            auto* sheet = new TTabSheet(form);
            sheet->SetCaption(caption);
            sheet->SetPageControl(pages);
            sheets.push_back(sheet);
        }
        sheets[0]->SetTabVisible(false);
        pages->SetActivePage(sheets[1]);
        pages->OnChanging = [this](TObject*, bool& allow) {
            events.push_back(u"changing");
            allow = allowChange;
        };
        pages->OnChange = [this](TObject*) { events.push_back(u"change"); };
        PumpMessages();
    }
    int TabCount() { return int(SendMessageW(pages->Handle(), TCM_GETITEMCOUNT, 0, 0)); }
    int CurSel() { return int(SendMessageW(pages->Handle(), TCM_GETCURSEL, 0, 0)); }
    TRect DisplayArea() {
        RECT r{0, 0, pages->Width(), pages->Height()};
        SendMessageW(pages->Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
        return TRect(r.left, r.top, r.right, r.bottom);
    }
    void ClickTab(int tab) {
        RECT r{};
        ASSERT_TRUE(SendMessageW(pages->Handle(), TCM_GETITEMRECT, WPARAM(tab), reinterpret_cast<LPARAM>(&r)));
        const TPoint p = pages->ClientToScreen({int(r.left) + 4, int(r.top) + 4});
        DesktopClick({p.X, p.Y});
        Application().ProcessMessages();
    }
    void CtrlTab(bool shift = false) {
        DesktopKey(VK_CONTROL, true);
        if (shift) DesktopKey(VK_SHIFT, true);
        DesktopKey(VK_TAB, true);
        DesktopKey(VK_TAB, false);
        if (shift) DesktopKey(VK_SHIFT, false);
        DesktopKey(VK_CONTROL, false);
        Application().ProcessMessages();
    }

    TForm* form = nullptr;
    TPageControl* pages = nullptr;
    std::vector<TTabSheet*> sheets;
    std::vector<String> events;
    bool allowChange = true;
};

TEST_F(PageControlTest, OnlyTabbedSheetsShowTabsAndTheActiveSheetFillsTheDisplayArea) {
    EXPECT_EQ(TabCount(), 2);
    EXPECT_EQ(CurSel(), 0) << "the active sheet's tab";
    EXPECT_EQ(sheets[0]->TabIndex(), -1);
    EXPECT_EQ(sheets[1]->TabIndex(), 0);
    EXPECT_EQ(sheets[2]->TabIndex(), 1);
    EXPECT_EQ(pages->ActivePageIndex(), 1);
    EXPECT_EQ(sheets[1]->BoundsRect(), DisplayArea());
    EXPECT_GT(DisplayArea().Top, 10) << "below the tabs";
    EXPECT_TRUE(IsWindowVisible(sheets[1]->Handle()));
    EXPECT_FALSE(sheets[0]->Showing());
    EXPECT_FALSE(sheets[2]->Showing());

    pages->SetActivePage(sheets[0]);
    PumpMessages();
    EXPECT_EQ(CurSel(), -1) << "a sheet without a tab can be active; no tab is selected";
    EXPECT_TRUE(sheets[0]->Showing());
    EXPECT_EQ(sheets[0]->BoundsRect(), DisplayArea());
    EXPECT_FALSE(sheets[1]->Showing());

    pages->SetBounds(0, 0, 360, 250);
    PumpMessages();
    EXPECT_EQ(sheets[0]->BoundsRect(), DisplayArea()) << "a resize keeps the sheet on the display area";
    EXPECT_TRUE(events.empty()) << "changes by the program fire no events";
}

TEST_F(PageControlTest, ClickingATabAsksOnChangingAndARefusalKeepsThePage) {
    allowChange = false;
    ClickTab(1);
    EXPECT_EQ(pages->ActivePage(), sheets[1]);
    EXPECT_EQ(CurSel(), 0);
    EXPECT_EQ(events, (std::vector<String>{u"changing"}));

    allowChange = true;
    events.clear();
    ClickTab(1);
    EXPECT_EQ(pages->ActivePage(), sheets[2]);
    EXPECT_TRUE(sheets[2]->Showing());
    EXPECT_FALSE(sheets[1]->Showing());
    EXPECT_EQ(events, (std::vector<String>{u"changing", u"change"}));
}

TEST_F(PageControlTest, CtrlTabTurnsToTheNextTabbedSheetAndShiftTurnsBack) {
    pages->SetFocus();
    PumpMessages();
    ASSERT_EQ(GetFocus(), pages->Handle());

    CtrlTab();
    EXPECT_EQ(pages->ActivePage(), sheets[2]);
    CtrlTab();
    EXPECT_EQ(pages->ActivePage(), sheets[1]) << "wraps round past the sheet without a tab";
    CtrlTab(true);
    EXPECT_EQ(pages->ActivePage(), sheets[2]);
    EXPECT_EQ(events, (std::vector<String>{u"changing", u"change", u"changing", u"change", u"changing", u"change"}));

    allowChange = false;
    events.clear();
    CtrlTab();
    EXPECT_EQ(pages->ActivePage(), sheets[2]) << "a refusal keeps the page";
    EXPECT_EQ(events, (std::vector<String>{u"changing"}));
}

TEST_F(PageControlTest, ADisabledSheetsControlsRefuseInput) {
    auto* child = new TTestPanel(form);
    child->SetTabStop(true);
    child->SetBounds(10, 10, 80, 40);
    child->SetParent(sheets[1]);
    child->log.watched = {WM_LBUTTONDOWN};
    PumpMessages();

    sheets[1]->SetEnabled(false);
    ClickOn(child);
    Application().ProcessMessages();
    EXPECT_TRUE(child->log.seen.empty());
    EXPECT_FALSE(child->CanFocus());

    sheets[1]->SetEnabled(true);
    ClickOn(child);
    Application().ProcessMessages();
    EXPECT_EQ(child->log.Messages(), std::vector<UINT>{WM_LBUTTONDOWN});
}

TEST_F(PageControlTest, PagesTabsAndTheActivePageSurviveANewWindow) {
    sheets[2]->SetPageIndex(0);
    EXPECT_EQ(pages->Pages(0), sheets[2]);
    EXPECT_EQ(sheets[2]->TabIndex(), 0);
    const HWND before = pages->Handle();
    pages->RecreateWnd();
    PumpMessages();
    ASSERT_NE(pages->Handle(), before);
    EXPECT_EQ(TabCount(), 2);
    WCHAR text[16]{};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = 16;
    SendMessageW(pages->Handle(), TCM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(String(text), u"Output");
    EXPECT_EQ(pages->ActivePage(), sheets[1]);
    EXPECT_EQ(CurSel(), 1);
    EXPECT_EQ(sheets[1]->BoundsRect(), DisplayArea());
}

} // namespace
