#include "ListBoxFixture.h"

#include "platform/win/controls/Controls.h"
#include "platform/win/desktop/Desktop.h"

namespace {

const char16_t* const kFruit[] = {u"Apple",  u"Banana",    u"Blueberry", u"Cherry", u"Date",
                                  u"Elder",  u"Fig",       u"Grape",     u"Honeydew", u"Kiwi",
                                  u"Lemon",  u"Lime",      u"Mango",     u"Nectarine", u"Orange",
                                  u"Papaya", u"Quince",    u"Raspberry", u"Strawberry", u"Tangerine"};

class ListBoxInput : public ListBoxTest {
protected:
    // Twenty fruits in five rows of 17 pixels, focused.
    HWND Fruit(DWORD style) {
        const HWND list = List(LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY | WS_VSCROLL | style, {10, 10, 110, 95});
        for (const char16_t* s : kFruit) Add(list, s);
        SetFocus(list);
        RunUntilIdle();
        ClearRecord();
        return list;
    }
    static void Key(UINT vk, UINT modifier = 0, const String& text = String()) {
        if (modifier) DesktopKey(modifier, true);
        DesktopKey(vk, true, text);
        DesktopKey(vk, false);
        if (modifier) DesktopKey(modifier, false);
        RunUntilIdle();
    }
    void ClickRow(HWND list, int row, UINT modifier = 0) {
        Advance(1000); // never a double click
        if (modifier) DesktopKey(modifier, true);
        Click(list, 20, row * 17 + 8);
        if (modifier) DesktopKey(modifier, false);
        RunUntilIdle();
    }
    int SelChanges(HWND list) const {
        int n = 0;
        for (WORD code : Notifications(list)) n += code == LBN_SELCHANGE;
        return n;
    }
};

struct TListKeyStep {
    const char* what;
    UINT vk;
    UINT modifier;
    const char16_t* text;
    int caret;
    std::vector<int> selected;
    int top;
};

struct TKeyScript {
    const char* name;
    DWORD style;
    std::vector<TListKeyStep> steps;
};

TEST_F(ListBoxInput, KeyScripts) {
    const TKeyScript scripts[] = {
        {"single selection",
         0,
         {
             {"Down starts at the caret", VK_DOWN, 0, u"", 0, {0}, 0},
             {"Down", VK_DOWN, 0, u"", 1, {1}, 0},
             {"End", VK_END, 0, u"", 19, {19}, 15},
             {"Home", VK_HOME, 0, u"", 0, {0}, 0},
             {"Page Down moves a page less one", VK_NEXT, 0, u"", 4, {4}, 0},
             {"Page Down scrolls", VK_NEXT, 0, u"", 8, {8}, 4},
             {"Page Up", VK_PRIOR, 0, u"", 4, {4}, 4},
             {"Up at the top of the view scrolls", VK_UP, 0, u"", 3, {3}, 3},
             {"a first letter finds the next item", 'B', 0, u"b", 1, {1}, 1},
             {"the same letter again the one after", 'B', 0, u"b", 2, {2}, 1},
             {"and wraps round", 'B', 0, u"B", 1, {1}, 1},
             {"a letter no item starts with", 'Z', 0, u"z", 1, {1}, 1},
             {"Up at the first item stays", VK_HOME, 0, u"", 0, {0}, 0},
             {"", VK_UP, 0, u"", 0, {0}, 0},
         }},
        {"extended selection",
         LBS_EXTENDEDSEL,
         {
             {"Down selects the next", VK_DOWN, 0, u"", 1, {1}, 0},
             {"Shift+Down extends", VK_DOWN, VK_SHIFT, u"", 2, {1, 2}, 0},
             {"", VK_DOWN, VK_SHIFT, u"", 3, {1, 2, 3}, 0},
             {"Ctrl+Down moves the caret alone", VK_DOWN, VK_CONTROL, u"", 4, {1, 2, 3}, 0},
             {"Ctrl+Space adds it", VK_SPACE, VK_CONTROL, u" ", 4, {1, 2, 3, 4}, 0},
             {"Space selects it alone", VK_SPACE, 0, u" ", 4, {4}, 0},
             {"Shift+Home selects up to the anchor", VK_HOME, VK_SHIFT, u"", 0, {0, 1, 2, 3, 4}, 0},
             {"Shift+End from the same anchor", VK_END, VK_SHIFT, u"", 19, {4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19}, 15},
         }},
        {"multiple selection",
         LBS_MULTIPLESEL,
         {
             {"Down moves the caret", VK_DOWN, 0, u"", 1, {}, 0},
             {"Space toggles", VK_SPACE, 0, u" ", 1, {1}, 0},
             {"", VK_DOWN, 0, u"", 2, {1}, 0},
             {"", VK_DOWN, 0, u"", 3, {1}, 0},
             {"", VK_SPACE, 0, u" ", 3, {1, 3}, 0},
             {"Space again", VK_SPACE, 0, u" ", 3, {1}, 0},
         }},
    };
    for (const TKeyScript& script : scripts) {
        SCOPED_TRACE(script.name);
        const HWND list = Fruit(script.style);
        for (const TListKeyStep& step : script.steps) {
            SCOPED_TRACE(step.what);
            const std::vector<int> before = Selected(list);
            const int changes = SelChanges(list);
            Key(step.vk, step.modifier, step.text);
            EXPECT_EQ(SendMessageW(list, LB_GETCARETINDEX, 0, 0), step.caret);
            EXPECT_EQ(Selected(list), step.selected);
            EXPECT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), step.top);
            if (before != step.selected) { EXPECT_EQ(SelChanges(list), changes + 1) << "one LBN_SELCHANGE"; }
        }
        DestroyWindow(list);
    }
}

TEST_F(ListBoxInput, WithWantKeyboardInputTheParentMayTakeOrRedirectEachKey) {
    const HWND list = Fruit(LBS_WANTKEYBOARDINPUT);
    LRESULT answer = -2;
    Answer(parent, WM_VKEYTOITEM, [&](WPARAM, LPARAM) { return std::optional<LRESULT>(answer); });
    Key(VK_DOWN);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), LB_ERR) << "taken by the parent";
    const auto asked = Recorded({WM_VKEYTOITEM});
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].wParam, MAKEWPARAM(VK_DOWN, 0));
    EXPECT_EQ(asked[0].lParam, LPARAM(list));
    answer = 7;
    Key(VK_DOWN);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 7);
    answer = -1;
    Key(VK_DOWN);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 8);
}

TEST_F(ListBoxInput, ExtendedSelectionByCtrlAndShiftClicks) {
    const HWND list = Fruit(LBS_EXTENDEDSEL);
    struct TCase {
        const char* what;
        int row;
        UINT modifier;
        std::vector<int> selected;
    };
    const TCase cases[] = {
        {"a click selects one row", 1, 0, {1}},
        {"Ctrl adds a row", 3, VK_CONTROL, {1, 3}},
        {"Shift selects from the last click", 0, VK_SHIFT, {0, 1, 2, 3}},
        {"Shift again, from the same anchor", 4, VK_SHIFT, {3, 4}},
        {"Ctrl takes a selected row away", 4, VK_CONTROL, {3}},
        {"a plain click starts again", 2, 0, {2}},
    };
    int changes = 0;
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        ClickRow(list, c.row, c.modifier);
        EXPECT_EQ(Selected(list), c.selected);
        EXPECT_EQ(SendMessageW(list, LB_GETCARETINDEX, 0, 0), c.row);
        EXPECT_EQ(SelChanges(list), ++changes);
    }
    // Dragging with the button down selects the rows passed over.
    Advance(1000);
    DesktopMouseButton(TDesktopButton::Left, true, ScreenPoint(list, 20, 8));
    DesktopMouseMove(ScreenPoint(list, 20, 2 * 17 + 8));
    DesktopMouseButton(TDesktopButton::Left, false, ScreenPoint(list, 20, 2 * 17 + 8));
    RunUntilIdle();
    EXPECT_EQ(Selected(list), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ListBoxInput, ClicksSelectTakeTheFocusAndADoubleClickNotifies) {
    const HWND list = Fruit(0);
    SetFocus(parent);
    RunUntilIdle();
    ClearRecord();
    ClickRow(list, 2);
    EXPECT_EQ(GetFocus(), list);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(Notifications(list), (std::vector<WORD>{LBN_SETFOCUS, LBN_SELCHANGE}));
    ClickRow(list, 2);
    EXPECT_EQ(SelChanges(list), 1) << "the selection did not change";
    ClearRecord();
    Click(list, 20, 3 * 17 + 8);
    Click(list, 20, 3 * 17 + 8);
    RunUntilIdle();
    EXPECT_EQ(Notifications(list), (std::vector<WORD>{LBN_SELCHANGE, LBN_DBLCLK}));
    const HWND quiet = List(LBS_OWNERDRAWFIXED | LBS_HASSTRINGS, {130, 10, 230, 95}, 8);
    Add(quiet, u"a");
    Advance(1000);
    Click(quiet, 20, 8);
    Click(quiet, 20, 8);
    RunUntilIdle();
    EXPECT_EQ(SendMessageW(quiet, LB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(Notifications(quiet), std::vector<WORD>{LBN_SETFOCUS}) << "without LBS_NOTIFY only the focus";
}

TEST_F(ListBoxInput, TheWheelAndTheScrollBarArrowScrollTheList) {
    const HWND list = Fruit(0);
    DesktopMouseWheel(-WHEEL_DELTA, false, ScreenPoint(list, 20, 20));
    RunUntilIdle();
    EXPECT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), 3);
    DesktopMouseWheel(WHEEL_DELTA / 2, false, ScreenPoint(list, 20, 20));
    RunUntilIdle();
    EXPECT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), 3) << "half a notch waits for the other half";
    DesktopMouseWheel(WHEEL_DELTA / 2, false, ScreenPoint(list, 20, 20));
    RunUntilIdle();
    EXPECT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), 0);

    RECT window{};
    GetWindowRect(list, &window);
    const POINT downArrow{window.right - 4, window.bottom - 4};
    DesktopMouseButton(TDesktopButton::Left, true, downArrow);
    DesktopMouseButton(TDesktopButton::Left, false, downArrow);
    RunUntilIdle();
    EXPECT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), 1);
}

} // namespace
