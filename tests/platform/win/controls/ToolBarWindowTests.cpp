#include "../WindowFixture.h"

#include <vector>

#include "platform/win/controls/CommonControlConstants.h"
#include "platform/win/controls/ControlConstants.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/imagelist/ImageList.h"
#include "platform/win/paint/Composite.h"
#include "platform/win/system/SystemColors.h"
#include "platform/win/text/Text.h"

namespace {

constexpr COLORREF kImageColors[] = {RGB(0, 0, 160), RGB(160, 0, 0), RGB(0, 120, 0)};
constexpr COLORREF kHotColor = RGB(200, 160, 0);
constexpr COLORREF kDisabledColor = RGB(90, 0, 90);

// A notification the parent got, copied while it was sent.
struct TToolBarNote {
    UINT code;
    UINT_PTR idFrom;
    int item;  // NMTOOLBARW.iItem, NMMOUSE.dwItemSpec
    RECT rect; // NMTOOLBARW.rcButton
};

// Toolbars on a recording parent that notes their notifications.
class ToolBarTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        parent_ = Create(WS_POPUP | WS_VISIBLE, {100, 100, 800, 400});
        Answer(parent_, WM_NOTIFY, [this](WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            TToolBarNote note{header->code, header->idFrom, -1, {}};
            if (header->code == TBN_DROPDOWN || header->code == TBN_DELETINGBUTTON) {
                const auto* info = reinterpret_cast<const NMTOOLBARW*>(lParam);
                note.item = info->iItem;
                note.rect = info->rcButton;
            } else if (header->code == NM_CLICK) {
                note.item = int(reinterpret_cast<const NMMOUSE*>(lParam)->dwItemSpec);
            } else if (header->code == TTN_GETDISPINFOW) {
                auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
                info->lpszText = const_cast<LPWSTR>(tipText_);
            }
            notes_.push_back(note);
            return header->code == TBN_DROPDOWN ? dropDownAnswer_ : 0;
        });
    }
    void TearDown() override {
        for (HIMAGELIST list : lists_) ImageList_Destroy(list);
        WindowTest::TearDown();
    }

    HWND Bar(DWORD style, RECT r = {0, 0, 600, 71}) {
        return CreateWindowExW(0, u"ToolbarWindow32", nullptr, WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                               r.right - r.left, r.bottom - r.top, parent_, HMENU(7), nullptr, nullptr);
    }
    static TBBUTTON Button(int id, const char16_t* caption, int image, BYTE style = BTNS_BUTTON,
                           BYTE state = TBSTATE_ENABLED) {
        TBBUTTON button{};
        button.iBitmap = image;
        button.idCommand = id;
        button.fsState = state;
        button.fsStyle = style;
        button.iString = caption ? reinterpret_cast<INT_PTR>(caption) : -1;
        return button;
    }
    static TBBUTTON Separator(int width = 0) { return Button(0, nullptr, width, BTNS_SEP); }
    static void Add(HWND bar, std::vector<TBBUTTON> buttons) {
        SendMessageW(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
        SendMessageW(bar, TB_ADDBUTTONSW, buttons.size(), LPARAM(buttons.data()));
    }
    // A list of solid squares, one per colour.
    HIMAGELIST Images(int size, std::initializer_list<COLORREF> colors) {
        const HIMAGELIST list = ImageList_Create(size, size, ILC_COLOR24, 0, 4);
        const HDC screen = GetDC(nullptr);
        for (COLORREF color : colors) {
            const HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
            const HDC dc = CreateCompatibleDC(screen);
            const HGDIOBJ old = SelectObject(dc, ToGdiObject(bitmap));
            const HBRUSH brush = CreateSolidBrush(color);
            const RECT all{0, 0, size, size};
            FillRect(dc, &all, brush);
            SelectObject(dc, old);
            DeleteDC(dc);
            ImageList_Add(list, bitmap, nullptr);
            DeleteObject(ToGdiObject(bitmap));
            DeleteObject(ToGdiObject(brush));
        }
        ReleaseDC(nullptr, screen);
        lists_.push_back(list);
        return list;
    }
    // The main bar: 115x68 buttons with 48x48 images and captions, a separator.
    HWND MainBar(DWORD style = TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER | CCS_NORESIZE) {
        const HWND bar = Bar(style);
        SendMessageW(bar, TB_SETBITMAPSIZE, 0, MAKELPARAM(48, 48));
        SendMessageW(bar, TB_SETIMAGELIST, 0, LPARAM(Images(48, {kImageColors[0], kImageColors[1], kImageColors[2]})));
        SendMessageW(bar, TB_SETBUTTONSIZE, 0, MAKELPARAM(115, 68));
        Add(bar, {Button(101, u"添加单一任务", 0), Button(102, u"开始", 1), Button(103, u"暂停", 2), Separator(),
                  Button(104, u"主页", 0)});
        Show(bar);
        return bar;
    }
    static void Show(HWND bar) {
        UpdateWindow(GetParent(bar));
        RunUntilIdle();
    }
    static RECT ItemRect(HWND bar, int index) {
        RECT r{-1, -1, -1, -1};
        SendMessageW(bar, TB_GETITEMRECT, WPARAM(index), LPARAM(&r));
        return r;
    }
    static POINT Centre(RECT r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
    static int HitTest(HWND bar, POINT pt) { return int(SendMessageW(bar, TB_HITTEST, 0, LPARAM(&pt))); }
    static void MoveTo(HWND bar, POINT pt) {
        DesktopMouseMove(ScreenPoint(bar, pt.x, pt.y));
        RunUntilIdle();
    }
    static void ClickAt(HWND bar, POINT pt) {
        Click(bar, pt.x, pt.y);
        RunUntilIdle();
    }
    static COLORREF Pixel(HWND bar, int x, int y) {
        const POINT pt = ScreenPoint(bar, x, y);
        const TDesktopImage image = ComposeDesktop(RECT{pt.x, pt.y, pt.x + 1, pt.y + 1});
        const uint32_t argb = image.Pixel(pt.x, pt.y);
        return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
    }
    // The ids the parent's WM_COMMANDs carried from Bar, after checking their form.
    std::vector<int> Commands(HWND bar) const {
        std::vector<int> ids;
        for (const TRecord& r : Recorded({WM_COMMAND})) {
            EXPECT_EQ(HIWORD(r.wParam), BN_CLICKED);
            EXPECT_EQ(HWND(r.lParam), bar);
            ids.push_back(LOWORD(r.wParam));
        }
        return ids;
    }
    std::vector<TToolBarNote> Notes(UINT code) const {
        std::vector<TToolBarNote> result;
        for (const TToolBarNote& note : notes_)
            if (note.code == code) result.push_back(note);
        return result;
    }
    static int LineHeight(HWND bar) {
        const HDC dc = GetDC(bar);
        const HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        SelectObject(dc, old);
        ReleaseDC(bar, dc);
        return int(metrics.tmHeight);
    }
    static int TextWidth(HWND bar, const String& text) {
        const HDC dc = GetDC(bar);
        const HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &size);
        SelectObject(dc, old);
        ReleaseDC(bar, dc);
        return int(size.cx);
    }

    HWND parent_ = nullptr;
    std::vector<TToolBarNote> notes_;
    LRESULT dropDownAnswer_ = TBDDRET_DEFAULT;
    const char16_t* tipText_ = u"";
    std::vector<HIMAGELIST> lists_;
};

TEST_F(ToolBarTest, MainBarLaysItsButtonsOutInOneRowOfTheSizeGiven) {
    const HWND bar = MainBar();
    // The bar keeps the 71 pixels it was made with: 68-pixel buttons from its
    // top, the rest is the framework's edges and spare room.
    SendMessageW(bar, TB_AUTOSIZE, 0, 0);
    RECT window;
    GetWindowRect(bar, &window);
    EXPECT_EQ(window.bottom - window.top, 71);
    EXPECT_EQ(window.right - window.left, 600);

    EXPECT_EQ(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0), 5);
    EXPECT_EQ(SendMessageW(bar, TB_GETBUTTONSIZE, 0, 0), MAKELONG(115, 68));
    EXPECT_EQ(ItemRect(bar, 0), (RECT{0, 0, 115, 68}));
    EXPECT_EQ(ItemRect(bar, 2), (RECT{230, 0, 345, 68}));
    EXPECT_EQ(ItemRect(bar, 3), (RECT{345, 0, 353, 68})) << "a separator of the default width";
    EXPECT_EQ(ItemRect(bar, 4), (RECT{353, 0, 468, 68}));
    RECT byId{};
    EXPECT_TRUE(SendMessageW(bar, TB_GETRECT, 104, LPARAM(&byId)));
    EXPECT_EQ(byId, ItemRect(bar, 4));
    EXPECT_EQ(SendMessageW(bar, TB_GETROWS, 0, 0), 1);

    EXPECT_EQ(HitTest(bar, {120, 10}), 1);
    EXPECT_EQ(HitTest(bar, {349, 10}), -1 - 3) << "a separator";
    EXPECT_EQ(HitTest(bar, {500, 10}), -1 - 5) << "past the buttons";
    EXPECT_EQ(HitTest(bar, {10, 69}), -1 - 5) << "below the buttons";
    EXPECT_EQ(SendMessageW(bar, TB_COMMANDTOINDEX, 103, 0), 2);
    EXPECT_EQ(SendMessageW(bar, TB_COMMANDTOINDEX, 999, 0), -1);
}

TEST_F(ToolBarTest, AutoSizeSpansTheParentAndFitsTheRows) {
    struct TCase {
        const char* what;
        DWORD style;
        RECT expected; // in the parent's client area
    };
    const TCase cases[] = {
        {"a divider above the buttons", 0, {0, 0, 700, 70}},
        {"no divider", CCS_NODIVIDER, {0, 0, 700, 68}},
        {"along the bottom", CCS_NODIVIDER | CCS_BOTTOM, {0, 300 - 68, 700, 300}},
        {"no resizing", CCS_NORESIZE, {10, 20, 310, 120}},
    };
    for (const TCase& c : cases) {
        const HWND bar = Bar(c.style, {10, 20, 310, 120});
        SendMessageW(bar, TB_SETBUTTONSIZE, 0, MAKELPARAM(115, 68));
        Add(bar, {Button(1, nullptr, 0), Button(2, nullptr, 1)});
        SendMessageW(bar, TB_AUTOSIZE, 0, 0);
        RECT r;
        GetWindowRect(bar, &r);
        MapWindowPoints(nullptr, parent_, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r, c.expected) << c.what;
        RECT client;
        GetClientRect(bar, &client);
        EXPECT_EQ(client.bottom, r.bottom - r.top - (c.style & CCS_NODIVIDER ? 0 : 2)) << c.what;
        DestroyWindow(bar);
    }
}

TEST_F(ToolBarTest, ComputedSizesFollowImagesCaptionsAndStyles) {
    const int line = LineHeight(parent_);
    const String caption = u"Start";
    const int text = TextWidth(parent_, caption);
    struct TCase {
        const char* what;
        DWORD style;
        DWORD extended;
        std::vector<TBBUTTON> buttons;
        int textRows; // -1: left as it is
        std::vector<RECT> expected;
        int indent = 0;
    };
    const TCase cases[] = {
        {"images only: 16x15 and the padding", 0, 0, {Button(1, nullptr, 0), Button(2, nullptr, 1)}, -1,
         {{0, 0, 24, 22}, {24, 0, 48, 22}}},
        {"captions under the images", 0, 0, {Button(1, u"Start", 0)}, -1,
         {{0, 0, std::max(16, text) + 8, 15 + 1 + line + 7}}},
        {"captions hidden by zero text rows", 0, 0, {Button(1, u"Start", 0)}, 0, {{0, 0, 24, 22}}},
        {"captions right of the images", TBSTYLE_LIST, 0, {Button(1, u"Start", 0)}, -1,
         {{0, 0, 16 + 4 + text + 8, std::max(15, line) + 7}}},
        {"an arrow part of its own", 0, TBSTYLE_EX_DRAWDDARROWS,
         {Button(1, nullptr, 0, BTNS_DROPDOWN), Button(2, nullptr, 0)}, -1, {{0, 0, 24 + 14, 22}, {38, 0, 62, 22}}},
        {"a drop-down without the extended style has no arrow part", 0, 0,
         {Button(1, nullptr, 0, BTNS_DROPDOWN)}, -1, {{0, 0, 24, 22}}},
        {"a whole drop-down's arrow inside", 0, 0, {Button(1, nullptr, 0, BTNS_WHOLEDROPDOWN)}, -1,
         {{0, 0, 24 + 10, 22}}},
        {"separators of the width given", 0, 0, {Separator(), Separator(20), Button(1, nullptr, 0)}, -1,
         {{0, 0, 8, 22}, {8, 0, 28, 22}, {28, 0, 52, 22}}},
        {"an autosized button as wide as its own caption", TBSTYLE_LIST, 0,
         {Button(1, u"Start Start Start", 0), Button(2, u"Start", 0, BTNS_AUTOSIZE)}, -1,
         {{0, 0, 16 + 4 + TextWidth(parent_, u"Start Start Start") + 8, std::max(15, line) + 7},
          {16 + 4 + TextWidth(parent_, u"Start Start Start") + 8, 0,
           2 * (16 + 4 + 8) + TextWidth(parent_, u"Start Start Start") + text, std::max(15, line) + 7}}},
        {"a hidden button takes no room", 0, 0,
         {Button(1, nullptr, 0, BTNS_BUTTON, TBSTATE_ENABLED | TBSTATE_HIDDEN), Button(2, nullptr, 0)}, -1,
         {{-1, -1, -1, -1}, {0, 0, 24, 22}}},
        {"a wrap state starts a row", 0, 0,
         {Button(1, nullptr, 0, BTNS_BUTTON, TBSTATE_ENABLED | TBSTATE_WRAP), Button(2, nullptr, 0)}, -1,
         {{0, 0, 24, 22}, {0, 22, 24, 44}}},
        {"a wrapable bar wraps at its right edge", TBSTYLE_WRAPABLE, 0,
         {Button(1, nullptr, 0), Button(2, nullptr, 0), Button(3, nullptr, 0)}, -1,
         {{0, 0, 24, 22}, {24, 0, 48, 22}, {0, 22, 24, 44}}},
        {"an indent before each row", 0, 0,
         {Button(1, nullptr, 0, BTNS_BUTTON, TBSTATE_ENABLED | TBSTATE_WRAP), Button(2, nullptr, 0)}, -1,
         {{10, 0, 34, 22}, {10, 22, 34, 44}}, 10},
    };
    for (const TCase& c : cases) {
        const HWND bar = Bar(c.style | CCS_NODIVIDER | CCS_NORESIZE, {0, 0, 60, 50});
        SendMessageW(bar, TB_SETEXTENDEDSTYLE, 0, LPARAM(c.extended));
        if (c.textRows >= 0) SendMessageW(bar, TB_SETMAXTEXTROWS, WPARAM(c.textRows), 0);
        SendMessageW(bar, TB_SETINDENT, WPARAM(c.indent), 0);
        Add(bar, c.buttons);
        for (size_t i = 0; i < c.expected.size(); ++i) EXPECT_EQ(ItemRect(bar, int(i)), c.expected[i]) << c.what << " " << i;
        DestroyWindow(bar);
    }
}

TEST_F(ToolBarTest, ClickSendsNmClickThenTheCommand) {
    const HWND bar = MainBar();
    ClearRecord();
    ClickAt(bar, Centre(ItemRect(bar, 1)));
    EXPECT_EQ(Commands(bar), std::vector<int>{102});
    ASSERT_EQ(Notes(NM_CLICK).size(), 1u);
    EXPECT_EQ(Notes(NM_CLICK)[0].item, 102);
    EXPECT_EQ(Notes(NM_CLICK)[0].idFrom, 7u);
    // NM_CLICK goes first.
    const std::vector<TRecord> order = Recorded({WM_NOTIFY, WM_COMMAND});
    ASSERT_FALSE(order.empty());
    EXPECT_EQ(order.back().message, UINT(WM_COMMAND));
    EXPECT_EQ(GetCapture(), nullptr);

    // Released away from the button pressed: no click.
    ClearRecord();
    const POINT from = Centre(ItemRect(bar, 0)), to = Centre(ItemRect(bar, 2));
    DesktopMouseButton(TDesktopButton::Left, true, ScreenPoint(bar, from.x, from.y));
    RunUntilIdle();
    EXPECT_EQ(GetCapture(), bar);
    MoveTo(bar, to);
    DesktopMouseButton(TDesktopButton::Left, false, ScreenPoint(bar, to.x, to.y));
    RunUntilIdle();
    EXPECT_TRUE(Commands(bar).empty());
    EXPECT_EQ(GetCapture(), nullptr);

    // Disabled buttons and separators ignore the mouse.
    SendMessageW(bar, TB_ENABLEBUTTON, 103, FALSE);
    EXPECT_EQ(SendMessageW(bar, TB_ISBUTTONENABLED, 103, 0), 0);
    ClickAt(bar, Centre(ItemRect(bar, 2)));
    ClickAt(bar, Centre(ItemRect(bar, 3)));
    EXPECT_TRUE(Commands(bar).empty());
}

TEST_F(ToolBarTest, CheckButtonsToggleAndGroupsKeepOneChecked) {
    const HWND bar = Bar(CCS_NODIVIDER | CCS_NORESIZE);
    Add(bar, {Button(1, nullptr, 0, BTNS_CHECK), Separator(), Button(2, nullptr, 0, BTNS_CHECKGROUP),
              Button(3, nullptr, 0, BTNS_CHECKGROUP), Button(4, nullptr, 0, BTNS_CHECKGROUP)});
    Show(bar);
    auto checked = [&] {
        std::vector<int> ids;
        for (int id : {1, 2, 3, 4})
            if (SendMessageW(bar, TB_ISBUTTONCHECKED, id, 0)) ids.push_back(id);
        return ids;
    };
    ClickAt(bar, Centre(ItemRect(bar, 0)));
    EXPECT_EQ(checked(), std::vector<int>{1});
    ClickAt(bar, Centre(ItemRect(bar, 0)));
    EXPECT_EQ(checked(), std::vector<int>{});
    ClickAt(bar, Centre(ItemRect(bar, 2)));
    EXPECT_EQ(checked(), std::vector<int>{2});
    ClickAt(bar, Centre(ItemRect(bar, 4)));
    EXPECT_EQ(checked(), std::vector<int>{4});
    ClickAt(bar, Centre(ItemRect(bar, 4)));
    EXPECT_EQ(checked(), std::vector<int>{4}) << "a group button stays checked";
    SendMessageW(bar, TB_CHECKBUTTON, 3, TRUE);
    EXPECT_EQ(checked(), std::vector<int>{3});
    EXPECT_EQ(SendMessageW(bar, TB_GETSTATE, 3, 0), TBSTATE_ENABLED | TBSTATE_CHECKED);
    EXPECT_EQ(Commands(bar), (std::vector<int>{1, 1, 2, 4, 4}));
}

TEST_F(ToolBarTest, ArrowPressAsksTheParentToDropDown) {
    const HWND bar = Bar(TBSTYLE_FLAT | CCS_NODIVIDER | CCS_NORESIZE);
    SendMessageW(bar, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
    Add(bar, {Button(1, nullptr, 0), Button(2, u"添加特效", 0, BTNS_DROPDOWN), Button(3, nullptr, 0, BTNS_WHOLEDROPDOWN)});
    Show(bar);
    const RECT dropDown = ItemRect(bar, 1);
    // The button is down while the parent handles the request (shows its menu).
    bool downMeanwhile = false;
    Answer(parent_, WM_NOTIFY, [&](WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        const auto* info = reinterpret_cast<const NMTOOLBARW*>(lParam);
        if (info->hdr.code != TBN_DROPDOWN) return std::nullopt;
        notes_.push_back({info->hdr.code, info->hdr.idFrom, info->iItem, info->rcButton});
        UpdateWindow(bar);
        downMeanwhile = Pixel(bar, dropDown.right - 1, dropDown.bottom - 1) == GetSysColor(COLOR_BTNHIGHLIGHT);
        return TBDDRET_DEFAULT;
    });
    ClearRecord();
    ClickAt(bar, {dropDown.right - 5, 5});
    ASSERT_EQ(Notes(TBN_DROPDOWN).size(), 1u);
    EXPECT_EQ(Notes(TBN_DROPDOWN)[0].item, 2);
    EXPECT_EQ(Notes(TBN_DROPDOWN)[0].rect, dropDown);
    EXPECT_TRUE(downMeanwhile) << "the arrow part sunken";
    EXPECT_TRUE(Commands(bar).empty());
    EXPECT_EQ(GetCapture(), nullptr);

    ClickAt(bar, {dropDown.left + 5, 5});
    EXPECT_EQ(Commands(bar), std::vector<int>{2}) << "the button's own part clicks";

    ClickAt(bar, {ItemRect(bar, 2).left + 3, 5});
    ASSERT_EQ(Notes(TBN_DROPDOWN).size(), 2u);
    EXPECT_EQ(Notes(TBN_DROPDOWN)[1].item, 3) << "anywhere on a whole drop-down";
    EXPECT_EQ(Commands(bar), std::vector<int>{2});
}

TEST_F(ToolBarTest, DeletingAButtonTellsTheParentAndClosesTheGap) {
    const HWND bar = MainBar();
    EXPECT_TRUE(SendMessageW(bar, TB_DELETEBUTTON, 1, 0));
    ASSERT_EQ(Notes(TBN_DELETINGBUTTON).size(), 1u);
    EXPECT_EQ(Notes(TBN_DELETINGBUTTON)[0].item, 102);
    EXPECT_EQ(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0), 4);
    EXPECT_EQ(ItemRect(bar, 1), (RECT{115, 0, 230, 68}));
    TBBUTTON record{};
    EXPECT_TRUE(SendMessageW(bar, TB_GETBUTTON, 1, LPARAM(&record)));
    EXPECT_EQ(record.idCommand, 103);
    EXPECT_EQ(String(reinterpret_cast<LPCWSTR>(record.iString)), u"暂停");
    EXPECT_FALSE(SendMessageW(bar, TB_DELETEBUTTON, 9, 0));

    const TBBUTTON inserted = Button(105, u"停止", 2);
    EXPECT_TRUE(SendMessageW(bar, TB_INSERTBUTTONW, 1, LPARAM(&inserted)));
    EXPECT_EQ(SendMessageW(bar, TB_COMMANDTOINDEX, 105, 0), 1);
    EXPECT_EQ(SendMessageW(bar, TB_COMMANDTOINDEX, 103, 0), 2);
    EXPECT_EQ(ItemRect(bar, 2), (RECT{230, 0, 345, 68}));
}

TEST_F(ToolBarTest, ButtonTextAnswersTheLengthAndWritesNoFurther) {
    const HWND bar = MainBar();
    EXPECT_EQ(SendMessageW(bar, TB_GETBUTTONTEXTW, 101, 0), 6) << "a null buffer: the length";
    std::vector<WCHAR> buffer(8, u'#');
    EXPECT_EQ(SendMessageW(bar, TB_GETBUTTONTEXTW, 101, LPARAM(buffer.data())), 6);
    EXPECT_EQ(String(buffer.data()), u"添加单一任务");
    EXPECT_EQ(buffer[7], u'#') << "length + 1 units written";
    EXPECT_EQ(SendMessageW(bar, TB_GETBUTTONTEXTW, 999, 0), -1);

    // TB_GETBUTTONINFOW cuts the caption to the size given.
    WCHAR small[4] = {u'#', u'#', u'#', u'#'};
    TBBUTTONINFOW info{};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_TEXT | TBIF_IMAGE | TBIF_COMMAND;
    info.pszText = small;
    info.cchText = 3;
    EXPECT_EQ(SendMessageW(bar, TB_GETBUTTONINFOW, 101, LPARAM(&info)), 0);
    EXPECT_EQ(String(small), u"添加");
    EXPECT_EQ(small[3], u'#');
    EXPECT_EQ(info.idCommand, 101);

    // TB_SETBUTTONINFOW changes the caption.
    info.dwMask = TBIF_TEXT;
    info.pszText = const_cast<LPWSTR>(u"开");
    EXPECT_TRUE(SendMessageW(bar, TB_SETBUTTONINFOW, 102, LPARAM(&info)));
    EXPECT_EQ(SendMessageW(bar, TB_GETBUTTONTEXTW, 102, 0), 1);
}

TEST_F(ToolBarTest, CaptionsMayComeFromTheBarsStrings) {
    const HWND bar = Bar(CCS_NODIVIDER | CCS_NORESIZE);
    EXPECT_EQ(SendMessageW(bar, TB_ADDSTRINGW, 0, LPARAM(u"开始\0暂停\0")), 0);
    EXPECT_EQ(SendMessageW(bar, TB_ADDSTRINGW, 0, LPARAM(u"停止\0")), 2);
    TBBUTTON stop = Button(3, nullptr, 0);
    stop.iString = 2;
    Add(bar, {stop, Button(1, nullptr, 0)});
    std::vector<WCHAR> buffer(3, u'#');
    EXPECT_EQ(SendMessageW(bar, TB_GETBUTTONTEXTW, 3, LPARAM(buffer.data())), 2);
    EXPECT_EQ(String(buffer.data()), u"停止");
    EXPECT_EQ(SendMessageW(bar, TB_GETBUTTONTEXTW, 1, 0), 0) << "no caption";
    TBBUTTON record{};
    SendMessageW(bar, TB_GETBUTTON, 0, LPARAM(&record));
    EXPECT_EQ(record.iString, 2) << "the index given back";
}

TEST_F(ToolBarTest, AutoSizeOfAWrapableBarCountsTheRowsAtTheParentsWidth) {
    const HWND bar = Bar(TBSTYLE_WRAPABLE | CCS_NODIVIDER, {0, 0, 1000, 30});
    SendMessageW(bar, TB_SETBUTTONSIZE, 0, MAKELPARAM(300, 30));
    Add(bar, {Button(1, nullptr, 0), Button(2, nullptr, 0), Button(3, nullptr, 0)});
    EXPECT_EQ(SendMessageW(bar, TB_GETROWS, 0, 0), 1);
    SendMessageW(bar, TB_AUTOSIZE, 0, 0);
    RECT r;
    GetWindowRect(bar, &r);
    EXPECT_EQ(r.right - r.left, 700);
    EXPECT_EQ(r.bottom - r.top, 60) << "two rows in 700 pixels";
    EXPECT_EQ(SendMessageW(bar, TB_GETROWS, 0, 0), 2);
    EXPECT_EQ(ItemRect(bar, 2), (RECT{0, 30, 300, 60}));
}

TEST_F(ToolBarTest, PaintingShowsEachButtonsState) {
    const HWND bar = Bar(CCS_NODIVIDER | CCS_NORESIZE);
    Add(bar, {Button(1, nullptr, 0), Button(2, nullptr, 0, BTNS_CHECK, TBSTATE_ENABLED | TBSTATE_CHECKED),
              Button(3, nullptr, 0, BTNS_BUTTON, TBSTATE_ENABLED | TBSTATE_PRESSED)});
    Show(bar);
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), shadow = GetSysColor(COLOR_BTNSHADOW);
    const RECT raised = ItemRect(bar, 0), checked = ItemRect(bar, 1), pressed = ItemRect(bar, 2);
    EXPECT_EQ(Pixel(bar, raised.left + 1, raised.top + 1), light) << "raised";
    EXPECT_EQ(Pixel(bar, raised.right - 1, raised.bottom - 1), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(Pixel(bar, pressed.left, pressed.top), shadow) << "sunken";
    EXPECT_EQ(Pixel(bar, pressed.right - 1, pressed.bottom - 1), light);
    EXPECT_EQ(Pixel(bar, checked.left, checked.top), shadow) << "checked: sunken";
    const COLORREF face[] = {Pixel(bar, checked.left + 3, checked.top + 3), Pixel(bar, checked.left + 4, checked.top + 3)};
    EXPECT_TRUE((face[0] == light && face[1] == GetSysColor(COLOR_BTNFACE)) ||
                (face[1] == light && face[0] == GetSysColor(COLOR_BTNFACE)))
        << "and a face of light and face colours in turn";

    // A flat bar shows no edge at rest; a divider lies above without CCS_NODIVIDER.
    const HWND flat = Bar(TBSTYLE_FLAT | CCS_NORESIZE, {0, 100, 200, 140});
    Add(flat, {Button(1, nullptr, 0)});
    Show(flat);
    const RECT button = ItemRect(flat, 0);
    EXPECT_EQ(button.top, 0);
    EXPECT_EQ(Pixel(flat, button.left, button.top), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(Pixel(flat, 5, -2), shadow) << "the divider";
    EXPECT_EQ(Pixel(flat, 5, -1), light);
}

TEST_F(ToolBarTest, DisabledButtonsUseTheDisabledListElseAnEmbossedImage) {
    const HWND bar = MainBar();
    SendMessageW(bar, TB_ENABLEBUTTON, 102, FALSE);
    Show(bar);
    const RECT second = ItemRect(bar, 1);
    // The image's top-left corner: centred across, at the top of the centred image and caption.
    const int line = LineHeight(bar);
    const int top = (68 - (48 + 1 + line)) / 2;
    const POINT image{second.left + (115 - 48) / 2, top};
    EXPECT_EQ(Pixel(bar, image.x + 24, image.y + 24), GetSysColor(COLOR_BTNSHADOW)) << "embossed: the shape in shadow";
    EXPECT_EQ(Pixel(bar, image.x + 48, image.y + 24), GetSysColor(COLOR_BTNHIGHLIGHT)) << "and light below right";
    EXPECT_EQ(Pixel(bar, ItemRect(bar, 0).left + (115 - 48) / 2 + 24, top + 24), kImageColors[0]) << "enabled";

    SendMessageW(bar, TB_SETDISABLEDIMAGELIST, 0, LPARAM(Images(48, {kDisabledColor, kDisabledColor})));
    Show(bar);
    EXPECT_EQ(Pixel(bar, image.x + 24, image.y + 24), kDisabledColor);
    EXPECT_EQ(Pixel(bar, ItemRect(bar, 0).left + (115 - 48) / 2 + 24, top + 24), kImageColors[0]);
}

TEST_F(ToolBarTest, HoveringAFlatButtonShowsItsHotImageAndThenItsTip) {
    const HWND bar = MainBar();
    SendMessageW(bar, TB_SETHOTIMAGELIST, 0, LPARAM(Images(48, {kHotColor, kHotColor, kHotColor})));
    tipText_ = u"开始转换";
    const HWND tip = HWND(SendMessageW(bar, TB_GETTOOLTIPS, 0, 0));
    ASSERT_NE(tip, nullptr);
    const RECT second = ItemRect(bar, 1);
    const int top = (68 - (48 + 1 + LineHeight(bar))) / 2;
    const POINT centre{second.left + 115 / 2, top + 24};

    MoveTo(bar, centre);
    EXPECT_EQ(SendMessageW(bar, TB_GETHOTITEM, 0, 0), 1);
    EXPECT_EQ(Pixel(bar, centre.x, centre.y), kHotColor);
    EXPECT_EQ(Pixel(bar, second.left, second.top), GetSysColor(COLOR_BTNHIGHLIGHT)) << "a raised edge while hot";
    EXPECT_FALSE(IsWindowVisible(tip));

    Advance(600);
    RunUntilIdle();
    EXPECT_TRUE(IsWindowVisible(tip));
    ASSERT_FALSE(Notes(TTN_GETDISPINFOW).empty());
    EXPECT_EQ(Notes(TTN_GETDISPINFOW).back().idFrom, 102u) << "asked by the button's id";
    WCHAR text[80] = {};
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = bar;
    tool.uId = 102;
    tool.lpszText = text;
    SendMessageW(tip, TTM_GETTEXTW, std::size(text), LPARAM(&tool));
    EXPECT_EQ(String(text), u"开始转换");

    // Leaving the bar ends the hot look and the tip.
    DesktopMouseMove(ScreenPoint(parent_, 650, 250));
    Advance(200);
    RunUntilIdle();
    EXPECT_EQ(SendMessageW(bar, TB_GETHOTITEM, 0, 0), -1);
    EXPECT_EQ(Pixel(bar, centre.x, centre.y), kImageColors[1]);
    EXPECT_FALSE(IsWindowVisible(tip));
}

TEST_F(ToolBarTest, DisabledButtonsAndRaisedBarsGetNoHotLook) {
    const HWND raised = MainBar(CCS_NODIVIDER | CCS_NORESIZE);
    MoveTo(raised, Centre(ItemRect(raised, 0)));
    EXPECT_EQ(SendMessageW(raised, TB_GETHOTITEM, 0, 0), -1);
    DestroyWindow(raised);

    const HWND flat = MainBar();
    SendMessageW(flat, TB_ENABLEBUTTON, 101, FALSE);
    MoveTo(flat, Centre(ItemRect(flat, 0)));
    EXPECT_EQ(SendMessageW(flat, TB_GETHOTITEM, 0, 0), -1);
    MoveTo(flat, Centre(ItemRect(flat, 1)));
    EXPECT_EQ(SendMessageW(flat, TB_GETHOTITEM, 0, 0), 1);
    SendMessageW(flat, TB_ENABLEBUTTON, 102, FALSE);
    EXPECT_EQ(SendMessageW(flat, TB_GETHOTITEM, 0, 0), -1) << "disabled under the pointer";
}

TEST_F(ToolBarTest, ReportsOfWindowsOnTheBarGoOnToItsParent) {
    const HWND bar = MainBar();
    const HWND child = CreateWindowExW(0, u"BUTTON", u"x", WS_CHILD | WS_VISIBLE, 480, 5, 40, 20, bar, HMENU(55),
                                       nullptr, nullptr);
    ClearRecord();
    SendMessageW(child, BM_CLICK, 0, 0);
    RunUntilIdle();
    const std::vector<TRecord> commands = Recorded({WM_COMMAND});
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].wParam, MAKEWPARAM(55, BN_CLICKED));
    EXPECT_EQ(HWND(commands[0].lParam), child);
}

TEST_F(ToolBarTest, StateMessagesAnswerUnknownIds) {
    const HWND bar = MainBar();
    EXPECT_EQ(SendMessageW(bar, TB_GETSTATE, 999, 0), -1);
    EXPECT_FALSE(SendMessageW(bar, TB_SETSTATE, 999, TBSTATE_ENABLED));
    EXPECT_FALSE(SendMessageW(bar, TB_CHECKBUTTON, 999, TRUE));
    EXPECT_TRUE(SendMessageW(bar, TB_HIDEBUTTON, 102, TRUE));
    EXPECT_EQ(SendMessageW(bar, TB_ISBUTTONHIDDEN, 102, 0), 1);
    RECT r{};
    EXPECT_FALSE(SendMessageW(bar, TB_GETITEMRECT, 1, LPARAM(&r))) << "a hidden button has no place";
    EXPECT_EQ(ItemRect(bar, 2), (RECT{115, 0, 230, 68}));
    const HIMAGELIST list = HIMAGELIST(SendMessageW(bar, TB_GETIMAGELIST, 0, 0));
    EXPECT_EQ(HIMAGELIST(SendMessageW(bar, TB_SETIMAGELIST, 0, 0)), list) << "the previous list";
}

} // namespace
