#include <string>
#include <vector>

#include "../WindowFixture.h"
#include "platform/win/controls/Controls.h"
#include "platform/win/gdi/Gdi.h"

namespace {

constexpr int kComboId = 7;

class ComboBoxWindowTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        parent_ = Create(WS_POPUP | WS_VISIBLE, {100, 100, 500, 400});
        DesktopActivate(parent_);
    }

    HWND MakeCombo(DWORD style, std::initializer_list<const char16_t*> items, int y = 10) {
        combo_ = CreateWindowExW(0, u"COMBOBOX", u"", WS_CHILD | WS_VISIBLE | style, 10, y, 150, 200, parent_,
                                 reinterpret_cast<HMENU>(intptr_t{kComboId}), nullptr, nullptr);
        for (const char16_t* item : items) SendMessageW(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        SetFocus(combo_);
        RunUntilIdle();
        ClearRecord();
        return combo_;
    }

    int Current() const { return int(SendMessageW(combo_, CB_GETCURSEL, 0, 0)); }
    bool Dropped() const { return SendMessageW(combo_, CB_GETDROPPEDSTATE, 0, 0) != 0; }
    RECT DroppedRect() const {
        RECT r{};
        SendMessageW(combo_, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&r));
        return r;
    }
    // The drop-down list window, found where it shows.
    HWND ListWindow() const {
        const RECT r = DroppedRect();
        return WindowFromPoint(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    }
    // The combo's notifications to its parent, in order.
    std::vector<WORD> Notifications() const {
        std::vector<WORD> codes;
        for (const TRecord& r : Recorded({WM_COMMAND}))
            if (reinterpret_cast<HWND>(r.lParam) == combo_ && LOWORD(r.wParam) == kComboId) codes.push_back(HIWORD(r.wParam));
        return codes;
    }
    String Text() const {
        char16_t buffer[64] = {};
        GetWindowTextW(combo_, buffer, 64);
        return buffer;
    }
    // The screen point of row Index of the open list.
    POINT RowPoint(int index) const {
        RECT item{};
        SendMessageW(ListWindow(), LB_GETITEMRECT, WPARAM(index), reinterpret_cast<LPARAM>(&item));
        return ScreenPoint(ListWindow(), item.left + 5, (item.top + item.bottom) / 2);
    }

    static void Press(UINT vk, const String& text = String()) {
        DesktopKey(vk, true, text);
        DesktopKey(vk, false);
        RunUntilIdle();
    }
    static void AltPress(UINT vk) {
        DesktopKey(VK_MENU, true);
        DesktopKey(vk, true);
        DesktopKey(vk, false);
        DesktopKey(VK_MENU, false);
        RunUntilIdle();
    }
    static void ClickAt(POINT pt) {
        DesktopClick(pt);
        RunUntilIdle();
    }

    HWND parent_ = nullptr;
    HWND combo_ = nullptr;
};

// --- Items --------------------------------------------------------------------------------

TEST_F(ComboBoxWindowTest, ItemTextsAnswerExactLengthsFromTheOneItemStore) {
    const char16_t* texts[] = {u"Apple", u"视频 a", u"\U0001D11Ex", u""};
    MakeCombo(CBS_DROPDOWNLIST, {});
    for (const char16_t* text : texts) SendMessageW(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    ASSERT_EQ(SendMessageW(combo_, CB_GETCOUNT, 0, 0), 4);
    SendMessageW(combo_, CB_SHOWDROPDOWN, TRUE, 0);
    EXPECT_EQ(SendMessageW(ListWindow(), LB_GETCOUNT, 0, 0), 4) << "the list holds the combo's items";
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const LRESULT length = SendMessageW(combo_, CB_GETLBTEXTLEN, WPARAM(i), 0);
        EXPECT_EQ(length, LRESULT(std::u16string(texts[i]).size()));
        std::u16string buffer(size_t(length) + 2, u'#');
        EXPECT_EQ(SendMessageW(combo_, CB_GETLBTEXT, WPARAM(i), reinterpret_cast<LPARAM>(buffer.data())), length);
        EXPECT_EQ(buffer.substr(0, size_t(length)), texts[i]);
        EXPECT_EQ(buffer[size_t(length)], u'\0');
        EXPECT_EQ(buffer[size_t(length) + 1], u'#') << "nothing written past the terminator";
    }
    EXPECT_EQ(SendMessageW(combo_, CB_GETLBTEXTLEN, 4, 0), CB_ERR);
}

TEST_F(ComboBoxWindowTest, SelectionMessagesKeepFieldAndListInStep) {
    MakeCombo(CBS_DROPDOWNLIST, {u"Apple", u"Banana", u"Cherry"});
    EXPECT_EQ(SendMessageW(combo_, CB_SETCURSEL, 2, 0), 2);
    EXPECT_EQ(Text(), u"Cherry");
    EXPECT_EQ(SendMessageW(combo_, CB_SELECTSTRING, WPARAM(-1), reinterpret_cast<LPARAM>(u"ban")), 1);
    EXPECT_EQ(Text(), u"Banana");
    EXPECT_EQ(SendMessageW(combo_, CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(u"apple")), 0);
    EXPECT_EQ(SendMessageW(combo_, CB_SETCURSEL, 5, 0), CB_ERR);
    EXPECT_EQ(Current(), -1);
    EXPECT_EQ(Text(), u"");
    EXPECT_EQ(SetWindowTextW(combo_, u"Cherry"), TRUE);
    EXPECT_EQ(Current(), 2);
    EXPECT_TRUE(Notifications().empty()) << "changes by messages are not the user's";
}

// --- Keys ---------------------------------------------------------------------------------

struct TKeyStep {
    UINT vk;
    const char16_t* text;
    int expected;
};

TEST_F(ComboBoxWindowTest, KeysOnAClosedDropDownListMoveTheSelection) {
    MakeCombo(CBS_DROPDOWNLIST, {u"Apple", u"Banana", u"Berry", u"Cherry", u"Date"});
    const TKeyStep script[] = {
        {VK_DOWN, nullptr, 0}, {VK_DOWN, nullptr, 1}, {VK_UP, nullptr, 0},   {VK_END, nullptr, 4},
        {VK_DOWN, nullptr, 4}, {VK_HOME, nullptr, 0}, {'B', u"b", 1},        {'B', u"B", 2},
        {'B', u"b", 1},        {'Z', u"z", 1},        {VK_NEXT, nullptr, 4}, {VK_PRIOR, nullptr, 0},
    };
    int changes = 0;
    int previous = -1;
    for (const TKeyStep& step : script) {
        SCOPED_TRACE(step.vk);
        Press(step.vk, step.text ? String(step.text) : String());
        EXPECT_EQ(Current(), step.expected);
        EXPECT_FALSE(Dropped());
        if (step.expected != previous) ++changes;
        previous = step.expected;
    }
    const std::vector<WORD> codes = Notifications();
    EXPECT_EQ(std::count(codes.begin(), codes.end(), CBN_SELCHANGE), changes) << "one CBN_SELCHANGE per change";
}

TEST_F(ComboBoxWindowTest, WheelStepsTheSelectionOfAClosedList) {
    MakeCombo(CBS_DROPDOWNLIST, {u"Apple", u"Banana", u"Cherry"});
    const POINT at = ScreenPoint(combo_, 20, 5);
    DesktopMouseWheel(-WHEEL_DELTA, false, at);
    DesktopMouseWheel(-WHEEL_DELTA, false, at);
    RunUntilIdle();
    EXPECT_EQ(Current(), 1);
    DesktopMouseWheel(WHEEL_DELTA, false, at);
    RunUntilIdle();
    EXPECT_EQ(Current(), 0);
}

// --- The drop-down list -------------------------------------------------------------------

TEST_F(ComboBoxWindowTest, AltDownOpensBelowAndNearTheBottomAbove) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(parent_, MONITOR_DEFAULTTONEAREST), &monitor);
    struct {
        int parentTop;
        bool below;
    } cases[] = {{100, true}, {int(monitor.rcWork.bottom) - 60, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.parentTop);
        SetWindowPos(parent_, nullptr, 100, c.parentTop, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        MakeCombo(CBS_DROPDOWNLIST, {u"Apple", u"Banana", u"Cherry"});
        AltPress(VK_DOWN);
        ASSERT_TRUE(Dropped());
        EXPECT_EQ(Notifications(), std::vector<WORD>{CBN_DROPDOWN});
        RECT combo{}, list{};
        GetWindowRect(combo_, &combo);
        GetWindowRect(ListWindow(), &list);
        EXPECT_TRUE(IsWindowVisible(ListWindow()));
        if (c.below)
            EXPECT_EQ(list.top, combo.bottom);
        else
            EXPECT_EQ(list.bottom, combo.top);
        EXPECT_EQ(GetCapture(), combo_) << "the open list holds the pointer";
        EXPECT_EQ(GetFocus(), combo_) << "the combo keeps the focus";
        AltPress(VK_DOWN);
        EXPECT_FALSE(Dropped());
        DestroyWindow(combo_);
    }
}

// The framework asks its combos for WS_VSCROLL: a bar is the list's affair, the face keeps its width.
TEST_F(ComboBoxWindowTest, AScrollBarAskedOfTheComboGoesToItsList) {
    MakeCombo(CBS_DROPDOWNLIST | WS_VSCROLL, {u"Apple"});
    RECT window{}, client{};
    GetWindowRect(combo_, &window);
    GetClientRect(combo_, &client);
    EXPECT_EQ(GetWindowLongPtrW(combo_, GWL_STYLE) & WS_VSCROLL, 0);
    EXPECT_EQ(client.right, window.right - window.left);
}

TEST_F(ComboBoxWindowTest, ClickOnAnItemChoosesItOnceAndCloses) {
    MakeCombo(CBS_DROPDOWNLIST, {u"Apple", u"Banana", u"Cherry"});
    SendMessageW(combo_, CB_SETCURSEL, 0, 0);
    Press(VK_F4);
    ASSERT_TRUE(Dropped());
    const HWND list = ListWindow();
    ClickAt(RowPoint(2));
    EXPECT_FALSE(Dropped());
    EXPECT_EQ(Current(), 2);
    EXPECT_EQ(Text(), u"Cherry");
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_FALSE(IsWindowVisible(list));
    EXPECT_EQ(Notifications(), (std::vector<WORD>{CBN_DROPDOWN, CBN_SELCHANGE, CBN_SELENDOK, CBN_CLOSEUP}));
}

TEST_F(ComboBoxWindowTest, ClosingWithoutAChoiceBringsTheSelectionBack) {
    struct {
        const char* how;
        void (*close)(HWND parent);
    } ways[] = {
        {"Escape", [](HWND) { Press(VK_ESCAPE); }},
        {"click outside", [](HWND parent) { ClickAt(ScreenPoint(parent, 300, 250)); }},
        {"focus loss", [](HWND parent) {
             SetFocus(parent);
             RunUntilIdle();
         }},
        {"the program losing the activation", [](HWND) {
             DesktopActivate(nullptr);
             RunUntilIdle();
         }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.how);
        MakeCombo(CBS_DROPDOWNLIST, {u"Apple", u"Banana", u"Cherry"});
        SendMessageW(combo_, CB_SETCURSEL, 0, 0);
        AltPress(VK_DOWN);
        Press(VK_DOWN);
        Press(VK_DOWN);
        EXPECT_EQ(Current(), 2);
        way.close(parent_);
        EXPECT_FALSE(Dropped());
        EXPECT_EQ(Current(), 0);
        EXPECT_EQ(Text(), u"Apple");
        EXPECT_EQ(GetCapture(), nullptr);
        std::vector<WORD> codes = Notifications();
        if (!codes.empty() && codes.back() == CBN_KILLFOCUS) codes.pop_back();
        ASSERT_GE(codes.size(), 3u);
        EXPECT_EQ(codes.back(), CBN_CLOSEUP);
        EXPECT_EQ(codes[codes.size() - 2], CBN_SELENDCANCEL);
        EXPECT_EQ(codes[codes.size() - 3], CBN_SELCHANGE) << "the restored selection is told";
        DestroyWindow(combo_);
    }
}

TEST_F(ComboBoxWindowTest, ListColoursComeFromTheParentAskedWithTheListWindow) {
    MakeCombo(CBS_DROPDOWNLIST, {u"Apple", u"Banana"});
    HBRUSH yellow = CreateSolidBrush(RGB(255, 255, 0));
    std::vector<HWND> asked;
    Answer(parent_, WM_CTLCOLORLISTBOX, [&](WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        asked.push_back(reinterpret_cast<HWND>(lParam));
        return reinterpret_cast<LRESULT>(yellow);
    });
    AltPress(VK_DOWN);
    const HWND list = ListWindow();
    UpdateWindow(list);
    RunUntilIdle();
    EXPECT_NE(std::find(asked.begin(), asked.end(), list), asked.end());
    Answer(parent_, WM_CTLCOLORLISTBOX, {});
    DeleteObject(HGDIOBJ(yellow));
}

// --- The editable combo ---------------------------------------------------------------------

TEST_F(ComboBoxWindowTest, EditableComboKeepsItsTextInTheEdit) {
    MakeCombo(CBS_DROPDOWN, {u"Apple", u"Banana"});
    const HWND edit = GetWindow(combo_, GW_CHILD);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(GetFocus(), edit) << "the combo gives the focus to its edit";
    SendMessageW(combo_, CB_SETCURSEL, 1, 0);
    EXPECT_EQ(Text(), u"Banana");
    EXPECT_TRUE(Notifications().empty());
    Press('X', u"x");
    EXPECT_EQ(Text(), u"x") << "the item's text was selected and typing replaced it";
    EXPECT_EQ(Current(), -1);
    EXPECT_EQ(Notifications(), (std::vector<WORD>{CBN_EDITUPDATE, CBN_EDITCHANGE}));
    Press(VK_DOWN);
    EXPECT_EQ(Text(), u"Apple") << "Down works the list from the edit";
}

TEST_F(ComboBoxWindowTest, CommittedInputMethodTextReachesTheEdit) {
    MakeCombo(CBS_DROPDOWN, {u"Apple"});
    DesktopImePreedit(u"shi", 3);
    RunUntilIdle();
    EXPECT_EQ(Text(), u"");
    DesktopImeCommit(u"视频");
    RunUntilIdle();
    EXPECT_EQ(Text(), u"视频");
    const std::vector<WORD> codes = Notifications();
    EXPECT_EQ(std::count(codes.begin(), codes.end(), CBN_EDITCHANGE), 1);
}

// --- Owner draw -----------------------------------------------------------------------------

TEST_F(ComboBoxWindowTest, OwnerDrawnFieldAndRowsAreAskedOfTheParentAsTheCombos) {
    std::vector<DRAWITEMSTRUCT> draws;
    Answer(parent_, WM_DRAWITEM, [&](WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        draws.push_back(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    });
    MakeCombo(CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS, {u"Apple", u"Banana"});
    SendMessageW(combo_, CB_SETCURSEL, 1, 0);
    draws.clear();
    UpdateWindow(combo_);
    ASSERT_FALSE(draws.empty());
    EXPECT_EQ(draws.back().CtlType, ODT_COMBOBOX);
    EXPECT_EQ(draws.back().CtlID, UINT(kComboId));
    EXPECT_EQ(draws.back().hwndItem, combo_);
    EXPECT_EQ(draws.back().itemID, 1u);
    EXPECT_TRUE(draws.back().itemState & ODS_COMBOBOXEDIT);
    EXPECT_TRUE(draws.back().itemState & ODS_FOCUS);
    AltPress(VK_DOWN);
    InvalidateRect(ListWindow(), nullptr, TRUE);
    draws.clear();
    UpdateWindow(ListWindow());
    ASSERT_FALSE(draws.empty());
    for (const DRAWITEMSTRUCT& d : draws) {
        EXPECT_EQ(d.hwndItem, combo_) << "rows come as the combo's";
        EXPECT_EQ(d.CtlType, ODT_COMBOBOX);
        EXPECT_FALSE(d.itemState & ODS_COMBOBOXEDIT);
    }
    Answer(parent_, WM_DRAWITEM, {});
}

} // namespace
