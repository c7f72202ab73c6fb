#include "WindowFixture.h"

#include <algorithm>

#include "platform/win/controls/Controls.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/imagelist/ImageList.h"
#include "platform/win/text/Text.h"

namespace {

constexpr UINT kOpen = 101, kSave = 102, kRecent = 103, kShutdown = 104, kExit = 105, kAbout = 201;

// Every pixel of a top-level window's surface in a rectangle (window coordinates).
template <class Test>
int CountPixels(HWND top, const RECT& r, Test test) {
    const TSurface* surface = WindowSurface(top);
    int count = 0;
    for (int y = std::max<LONG>(r.top, 0); y < std::min<LONG>(r.bottom, surface->height); ++y)
        for (int x = std::max<LONG>(r.left, 0); x < std::min<LONG>(r.right, surface->width); ++x)
            count += test(surface->Pixel(x, y) & 0xFFFFFF) ? 1 : 0;
    return count;
}

uint32_t Rgb(COLORREF color) { return PixelOf(color) & 0xFFFFFF; }
int Darkest(uint32_t pixel) { return std::max({pixel >> 16 & 0xFF, pixel >> 8 & 0xFF, pixel & 0xFF}); }
bool Dark(uint32_t pixel) { return Darkest(pixel) < 80; }

RECT ToWindow(HWND top, RECT screen) {
    RECT w;
    GetWindowRect(top, &w);
    return RECT{screen.left - w.left, screen.top - w.top, screen.right - w.left, screen.bottom - w.top};
}

POINT Center(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

void ClickAt(POINT pt, TDesktopButton button = TDesktopButton::Left) {
    DesktopMouseMove(pt);
    DesktopMouseButton(button, true, pt);
    DesktopMouseButton(button, false, pt);
}

// A 1024 x 768 screen whose work area ends above a 28-pixel panel; menus
// driven by steps run on the owner's WM_ENTERIDLE.
class Menus : public WindowTest {
protected:
    static constexpr RECT kWork{0, 0, 1024, 740};

    void SetUp() override {
        WindowTest::SetUp();
        TDesktopMetrics desktop;
        desktop.Monitors = {TMonitorLayout{{0, 0, 1024, 768}, kWork, true, u"\\\\.\\DISPLAY1"}};
        SetDesktopMetrics(desktop);
    }
    void TearDown() override {
        for (HMENU menu : menus_) DestroyMenu(menu);
        WindowTest::TearDown();
    }

    // Step I runs on the menu's I-th WM_ENTERIDLE with the deepest popup's
    // window; each must give the menu something to do. A menu still open
    // after the last step fails the test and is ended.
    using TStep = std::function<void(HWND popup)>;
    void WhileOpen(HWND owner, std::vector<TStep> steps) {
        steps_ = std::move(steps);
        next_ = 0;
        Answer(owner, WM_ENTERIDLE, [this](WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
            EXPECT_EQ(wParam, MSGF_MENU);
            if (next_ < steps_.size()) {
                steps_[next_++](reinterpret_cast<HWND>(lParam));
            } else {
                ADD_FAILURE() << "the menu is still open after the last step";
                EndMenu();
            }
            return 0;
        });
    }
    size_t StepsRun() const { return next_; }

    HMENU Keep(HMENU menu) {
        menus_.push_back(menu);
        return menu;
    }

    // "&File" with Open, Save (Ctrl+S), a separator, a checked item, a
    // disabled item and a submenu; "&Help" with About.
    HMENU MainMenu(HMENU* file = nullptr, HMENU* recent = nullptr) {
        const HMENU bar = CreateMenu();
        const HMENU fileMenu = CreatePopupMenu(), recentMenu = CreatePopupMenu(), help = CreatePopupMenu();
        AppendMenuW(recentMenu, MF_STRING, kRecent, u"a.avi");
        AppendMenuW(fileMenu, MF_STRING, kOpen, u"打开(&O)");
        AppendMenuW(fileMenu, MF_STRING, kSave, u"保存(&S)\tCtrl+S");
        AppendMenuW(fileMenu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(fileMenu, MF_STRING | MF_CHECKED, kShutdown, u"完成后关机(&H)");
        AppendMenuW(fileMenu, MF_STRING | MF_GRAYED, kExit, u"退出(&X)");
        AppendMenuW(fileMenu, MF_POPUP, UINT_PTR(recentMenu), u"最近(&R)");
        AppendMenuW(help, MF_STRING, kAbout, u"关于(&A)");
        AppendMenuW(bar, MF_POPUP, UINT_PTR(fileMenu), u"&File");
        AppendMenuW(bar, MF_POPUP, UINT_PTR(help), u"&Help");
        if (file) *file = fileMenu;
        if (recent) *recent = recentMenu;
        return bar;
    }

    HWND Form(HMENU menu, RECT r = {100, 100, 500, 400}) {
        const HWND form = CreateWindowExW(0, kClass, u"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, r.left, r.top,
                                          r.right - r.left, r.bottom - r.top, nullptr, menu, nullptr, nullptr);
        SetForegroundWindow(form);
        SetFocus(form);
        RunUntilIdle();
        ClearRecord();
        return form;
    }

    std::vector<WPARAM> Posted(HWND hwnd, UINT message) {
        std::vector<WPARAM> result;
        for (const MSG& msg : Drain())
            if (msg.hwnd == hwnd && msg.message == message) result.push_back(msg.wParam);
        return result;
    }

private:
    TDesktopMetricsScope desktopScope_;
    std::vector<TStep> steps_;
    size_t next_ = 0;
    std::vector<HMENU> menus_;
};

TEST_F(Menus, ItemsAreFoundByCommandThroughSubmenusAndByPosition) {
    HMENU file = nullptr, recent = nullptr;
    const HMENU bar = Keep(MainMenu(&file, &recent));
    EXPECT_TRUE(IsMenu(bar));
    EXPECT_EQ(GetMenuItemCount(bar), 2);
    EXPECT_EQ(GetSubMenu(bar, 0), file);
    EXPECT_EQ(GetMenuItemID(bar, 0), UINT(-1)); // a submenu
    EXPECT_EQ(GetMenuItemID(file, 1), kSave);
    EXPECT_EQ(GetMenuItemCount(nullptr), -1);

    struct TCase {
        const char* name;
        UINT item, flags, state;
    };
    for (const TCase& c : {TCase{"plain by command from the bar", kOpen, MF_BYCOMMAND, MF_STRING},
                           TCase{"checked", kShutdown, MF_BYCOMMAND, MF_CHECKED},
                           TCase{"greyed", kExit, MF_BYCOMMAND, MF_GRAYED},
                           TCase{"two levels down", kRecent, MF_BYCOMMAND, MF_STRING},
                           TCase{"separator by position", 2, MF_BYPOSITION, MF_SEPARATOR},
                           TCase{"submenu: its count in the high byte", 5, MF_BYPOSITION, MF_POPUP | 1 << 8},
                           TCase{"missing", 999, MF_BYCOMMAND, UINT(-1)}}) {
        SCOPED_TRACE(c.name);
        const HMENU menu = c.flags & MF_BYPOSITION ? file : bar;
        EXPECT_EQ(GetMenuState(menu, c.item, c.flags), c.state);
    }

    EXPECT_EQ(EnableMenuItem(bar, kOpen, MF_GRAYED), UINT(MF_ENABLED));
    EXPECT_EQ(EnableMenuItem(bar, kOpen, MF_ENABLED), UINT(MF_GRAYED));
    EXPECT_EQ(CheckMenuItem(file, 0, MF_BYPOSITION | MF_CHECKED), DWORD(MF_UNCHECKED));
    EXPECT_EQ(GetMenuState(bar, kOpen, MF_BYCOMMAND), UINT(MF_CHECKED));
    EXPECT_EQ(EnableMenuItem(bar, 999, MF_GRAYED), UINT(-1));

    // Inserting before a command lands in the submenu that holds it.
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_STRING | MIIM_STATE | MIIM_DATA | MIIM_IMAGE | MIIM_FTYPE;
    info.fType = MFT_RADIOCHECK;
    info.fState = MFS_DEFAULT;
    info.wID = 106;
    info.dwItemData = 77;
    info.iImage = 3;
    info.dwTypeData = const_cast<LPWSTR>(u"新建(&N)\tCtrl+N");
    ASSERT_TRUE(InsertMenuItemW(bar, kSave, FALSE, &info));
    EXPECT_EQ(GetMenuItemID(file, 1), 106u);
    MENUITEMINFOW read{};
    read.cbSize = sizeof read;
    read.fMask = info.fMask;
    WCHAR text[5];
    read.dwTypeData = text;
    read.cch = 5;
    ASSERT_TRUE(GetMenuItemInfoW(file, 1, TRUE, &read));
    EXPECT_EQ(read.wID, 106u);
    EXPECT_EQ(read.fType, MFT_RADIOCHECK);
    EXPECT_EQ(read.fState, MFS_DEFAULT);
    EXPECT_EQ(read.dwItemData, 77u);
    EXPECT_EQ(read.iImage, 3);
    EXPECT_EQ(String(text), String(u"新建(&"));
    EXPECT_EQ(read.cch, 13u); // the whole text's length

    // DeleteMenu destroys a submenu, RemoveMenu keeps it.
    ASSERT_TRUE(RemoveMenu(file, 6, MF_BYPOSITION));
    EXPECT_TRUE(IsMenu(recent));
    EXPECT_EQ(GetMenuState(bar, kRecent, MF_BYCOMMAND), UINT(-1));
    ASSERT_TRUE(AppendMenuW(file, MF_POPUP, UINT_PTR(recent), u"最近(&R)"));
    ASSERT_TRUE(DeleteMenu(bar, kOpen, MF_BYCOMMAND));
    ASSERT_TRUE(DeleteMenu(file, UINT(GetMenuItemCount(file) - 1), MF_BYPOSITION));
    EXPECT_FALSE(IsMenu(recent));
    EXPECT_FALSE(AppendMenuW(file, MF_POPUP, UINT_PTR(recent), u"stale"));

    // Destroying a menu destroys its submenus; stale handles stay stale.
    ASSERT_TRUE(DestroyMenu(bar));
    EXPECT_FALSE(IsMenu(file));
    EXPECT_FALSE(DestroyMenu(bar));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_MENU_HANDLE);
    const HMENU fresh = Keep(CreatePopupMenu());
    EXPECT_NE(fresh, bar);
    EXPECT_NE(fresh, file);
}

TEST_F(Menus, MenuStringsKeepTheWholeTextWithinTheCountGiven) {
    const HMENU menu = Keep(CreatePopupMenu());
    AppendMenuW(menu, MF_STRING, 1, u"保存(&S)\tCtrl+S");
    AppendMenuW(menu, MF_STRING, 2, u"a\U0001F600b");
    struct TCase {
        UINT id;
        int max;
        const char16_t* expected;
        int answer;
    };
    for (const TCase& c : {TCase{1, 64, u"保存(&S)\tCtrl+S", 13}, TCase{1, 3, u"保存", 2}, TCase{1, 1, u"", 0},
                           TCase{2, 3, u"a", 1}, TCase{2, 4, u"a\U0001F600", 3}}) {
        SCOPED_TRACE(c.max);
        WCHAR buffer[65];
        std::fill(std::begin(buffer), std::end(buffer), u'#');
        EXPECT_EQ(GetMenuStringW(menu, c.id, buffer, c.max, MF_BYCOMMAND), c.answer);
        EXPECT_EQ(String(buffer), String(c.expected));
        EXPECT_EQ(buffer[c.max], u'#'); // nothing written past the count
    }
    EXPECT_EQ(GetMenuStringW(menu, 1, nullptr, 0, MF_BYCOMMAND), 13);
    EXPECT_EQ(GetMenuStringW(menu, 9, nullptr, 0, MF_BYCOMMAND), 0);
}

TEST_F(Menus, TheSystemEditMenuOfUser32AnswersItsChineseCaptions) {
    const HMENU menu = Keep(LoadMenuW(GetModuleHandleW(u"user32.dll"), MAKEINTRESOURCEW(1)));
    ASSERT_TRUE(menu);
    const HMENU edit = GetSubMenu(menu, 0);
    ASSERT_TRUE(edit);
    for (const auto& [command, caption] :
         {std::pair{WM_UNDO, u"撤销(&U)"}, std::pair{WM_CUT, u"剪切(&T)"}, std::pair{WM_COPY, u"复制(&C)"},
          std::pair{WM_PASTE, u"粘贴(&P)"}, std::pair{WM_CLEAR, u"删除(&D)"}, std::pair{EM_SETSEL, u"全选(&A)"}}) {
        WCHAR buffer[32];
        EXPECT_GT(GetMenuStringW(edit, command, buffer, 32, MF_BYCOMMAND), 0);
        EXPECT_EQ(String(buffer), String(caption));
    }
    WCHAR cut[3] = {u'#', u'#', u'#'};
    EXPECT_EQ(GetMenuStringW(edit, WM_UNDO, cut, 3, MF_BYCOMMAND), 2);
    EXPECT_EQ(String(cut), String(u"撤销"));
    EXPECT_FALSE(LoadMenuW(GetModuleHandleW(u"user32"), MAKEINTRESOURCEW(2)));
    EXPECT_FALSE(LoadMenuW(GetModuleHandleW(u"comctl32"), MAKEINTRESOURCEW(1)));
}

class PopupMenus : public Menus {
protected:
    void SetUp() override {
        Menus::SetUp();
        owner = Create(WS_POPUP | WS_VISIBLE, {300, 200, 700, 500});
        below = Create(WS_POPUP | WS_VISIBLE, {0, 0, 1024, 740});
        SetWindowPos(owner, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        SetForegroundWindow(owner);
        SetFocus(owner);
        menu = Keep(CreatePopupMenu());
        AppendMenuW(menu, MF_STRING, 11, u"转换(&C)");
        AppendMenuW(menu, MF_STRING, 12, u"删除(&D)\tDel");
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(menu, MF_STRING, 13, u"打开文件夹(&F)");
        RunUntilIdle();
        ClearRecord();
    }
    HWND owner = nullptr, below = nullptr;
    HMENU menu = nullptr;
};

TEST_F(PopupMenus, APopupIsPlacedByItsAlignmentAndFlippedInsideTheWorkArea) {
    struct TCase {
        const char* name;
        POINT pt;
        UINT flags;
        const char* horizontal; // where the popup lies against the point
        const char* vertical;
    };
    for (const TCase& c : {TCase{"room everywhere", {400, 300}, TPM_LEFTALIGN | TPM_TOPALIGN, "right", "below"},
                           TCase{"bottom-right corner", {1020, 735}, TPM_LEFTALIGN | TPM_TOPALIGN, "left", "above"},
                           TCase{"right-aligned", {400, 300}, TPM_RIGHTALIGN | TPM_BOTTOMALIGN, "left", "above"},
                           TCase{"right-aligned at the left edge", {5, 300}, TPM_RIGHTALIGN, "right", "below"},
                           TCase{"centred", {400, 300}, TPM_CENTERALIGN | TPM_VCENTERALIGN, "centre", "centre"}}) {
        SCOPED_TRACE(c.name);
        RECT shown{};
        WhileOpen(owner, {[&](HWND popup) {
            GetWindowRect(popup, &shown);
            DesktopPress(VK_ESCAPE);
        }});
        EXPECT_EQ(TrackPopupMenu(menu, c.flags | TPM_RETURNCMD, c.pt.x, c.pt.y, 0, owner, nullptr), 0);
        ASSERT_EQ(StepsRun(), 1u);
        EXPECT_GE(shown.left, kWork.left);
        EXPECT_GE(shown.top, kWork.top);
        EXPECT_LE(shown.right, kWork.right);
        EXPECT_LE(shown.bottom, kWork.bottom);
        const std::string h = c.horizontal, v = c.vertical;
        if (h == "right") { EXPECT_EQ(shown.left, c.pt.x); }
        if (h == "left") { EXPECT_EQ(shown.right, c.pt.x); }
        if (h == "centre") { EXPECT_EQ(shown.left + (shown.right - shown.left) / 2, c.pt.x); }
        if (v == "below") { EXPECT_EQ(shown.top, c.pt.y); }
        if (v == "above") { EXPECT_EQ(shown.bottom, c.pt.y); }
        if (v == "centre") { EXPECT_EQ(shown.top + (shown.bottom - shown.top) / 2, c.pt.y); }
    }
}

TEST_F(PopupMenus, TrackingTellsTheOwnerAndAChoiceIsReturnedOrPosted) {
    // The capture holder is told first; then the owner hears the menu's life.
    const HWND holder = Create(WS_POPUP | WS_VISIBLE, {800, 600, 900, 700});
    SetCapture(holder);
    ClearRecord();
    WhileOpen(owner, {[&](HWND) { DesktopPress(VK_DOWN); }, [&](HWND) { DesktopPress(VK_DOWN); },
                      [&](HWND) { DesktopPress(VK_RETURN); }});
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 400, 300, 0, owner, nullptr), 12);
    EXPECT_EQ(MessagesOf(holder, {WM_CANCELMODE}), std::vector<UINT>{WM_CANCELMODE});
    EXPECT_EQ(MessagesOf(owner, {WM_ENTERMENULOOP, WM_INITMENU, WM_INITMENUPOPUP, WM_EXITMENULOOP}),
              (std::vector<UINT>{WM_ENTERMENULOOP, WM_INITMENU, WM_INITMENUPOPUP, WM_EXITMENULOOP}));
    std::vector<WPARAM> selected;
    for (const TRecord& r : Recorded({WM_MENUSELECT})) selected.push_back(r.wParam);
    EXPECT_EQ(selected, (std::vector<WPARAM>{MAKEWPARAM(11, MF_HILITE), MAKEWPARAM(12, MF_HILITE),
                                             MAKEWPARAM(0, 0xFFFF)}));
    EXPECT_TRUE(Posted(owner, WM_COMMAND).empty()); // TPM_RETURNCMD posts nothing

    // Without it the choice (a click on the item) is posted as WM_COMMAND.
    WhileOpen(owner, {[&](HWND) {
        RECT item;
        ASSERT_TRUE(GetMenuItemRect(owner, menu, 3, &item));
        ClickAt(Center(item));
    }});
    EXPECT_EQ(TrackPopupMenu(menu, 0, 400, 300, 0, owner, nullptr), TRUE);
    EXPECT_EQ(Posted(owner, WM_COMMAND), std::vector<WPARAM>{13});

    // TPM_NONOTIFY: not a word to the owner (a click queued beforehand ends it).
    ClearRecord();
    ClickAt(POINT{10, 10}); // queued: a click outside closes it at once
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY, 400, 300, 0, owner, nullptr), 0);
    EXPECT_TRUE(MessagesOf(owner, {WM_ENTERMENULOOP, WM_INITMENU, WM_INITMENUPOPUP, WM_MENUSELECT, WM_ENTERIDLE,
                                   WM_EXITMENULOOP})
                    .empty());
}

TEST_F(PopupMenus, TheRightButtonChoosesOnlyWhenAskedAndEndMenuCancels) {
    for (const auto& [flags, expected] : {std::pair{UINT(TPM_RIGHTBUTTON), 12}, std::pair{0u, 0}}) {
        SCOPED_TRACE(flags);
        WhileOpen(owner, {[&](HWND) {
                              RECT item;
                              ASSERT_TRUE(GetMenuItemRect(owner, menu, 1, &item));
                              ClickAt(Center(item), TDesktopButton::Right);
                          },
                          [&](HWND) { EXPECT_TRUE(EndMenu()); }});
        EXPECT_EQ(TrackPopupMenu(menu, flags | TPM_RETURNCMD, 400, 300, 0, owner, nullptr), expected);
        EXPECT_EQ(StepsRun(), expected ? 1u : 2u);
    }
    EXPECT_FALSE(EndMenu()); // nothing tracked
}

TEST_F(PopupMenus, AClickOutsideClosesTheMenuAndReachesNoWindow) {
    WhileOpen(owner, {[&](HWND) { ClickAt(POINT{50, 600}); }});
    EXPECT_EQ(TrackPopupMenu(menu, 0, 400, 300, 0, owner, nullptr), TRUE);
    RunUntilIdle();
    EXPECT_TRUE(MessagesOf(below, {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MOUSEACTIVATE}).empty());
    EXPECT_TRUE(Posted(owner, WM_COMMAND).empty());
    EXPECT_TRUE(Recorded({WM_COMMAND}).empty());

    // A separator or a press elsewhere in the popup chooses nothing.
    WhileOpen(owner, {[&](HWND) {
                          RECT separator;
                          ASSERT_TRUE(GetMenuItemRect(owner, menu, 2, &separator));
                          ClickAt(Center(separator));
                      },
                      [&](HWND) { DesktopPress(VK_ESCAPE); }});
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 400, 300, 0, owner, nullptr), 0);
    EXPECT_EQ(StepsRun(), 2u);
}

TEST_F(PopupMenus, MnemonicsChooseAndLettersNoItemAnswersAskTheOwner) {
    AppendMenuW(menu, MF_STRING, 14, u"复制(&C)");
    struct TCase {
        const char* name;
        std::vector<const char16_t*> letters;
        LRESULT menuChar; // the owner's WM_MENUCHAR answer
        int chosen;
    };
    for (const TCase& c : {TCase{"one match chooses", {u"d"}, 0, 12},
                           TCase{"upper case too", {u"F"}, 0, 13},
                           TCase{"two matches move between them", {u"c", u"c", u"c", u"\r"}, 0, 11},
                           TCase{"the owner executes an item", {u"z"}, MAKELRESULT(3, MNC_EXECUTE), 13},
                           TCase{"the owner closes the menu", {u"z"}, MAKELRESULT(0, MNC_CLOSE), 0}}) {
        SCOPED_TRACE(c.name);
        ClearRecord();
        Answer(owner, WM_MENUCHAR, [&](WPARAM, LPARAM) { return std::optional<LRESULT>(c.menuChar); });
        std::vector<TStep> steps;
        for (const char16_t* letter : c.letters)
            steps.push_back([letter](HWND) {
                if (letter[0] == u'\r')
                    DesktopPress(VK_RETURN);
                else
                    DesktopPress(letter[0] >= u'a' ? letter[0] - u'a' + 'A' : letter[0], letter);
            });
        WhileOpen(owner, steps);
        EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 400, 300, 0, owner, nullptr), c.chosen);
        if (c.menuChar) {
            const auto asked = Recorded({WM_MENUCHAR});
            ASSERT_EQ(asked.size(), 1u);
            EXPECT_EQ(asked[0].wParam, MAKEWPARAM(u'z', MF_POPUP));
            EXPECT_EQ(asked[0].lParam, LPARAM(menu));
        }
    }
}

TEST_F(PopupMenus, SubmenusOpenAfterTheDelayUnderThePointerAndAtOnceByKeyboard) {
    const HMENU sub = CreatePopupMenu();
    AppendMenuW(sub, MF_STRING, 21, u"MP4");
    AppendMenuW(sub, MF_STRING, 22, u"AVI");
    AppendMenuW(menu, MF_POPUP, UINT_PTR(sub), u"转换为(&T)");
    UINT delay = 0;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETMENUSHOWDELAY, 0, &delay, 0));
    HWND first = nullptr;
    std::vector<LPARAM> popups;
    Answer(owner, WM_INITMENUPOPUP, [&](WPARAM wParam, LPARAM lParam) {
        popups.push_back(lParam);
        EXPECT_TRUE(wParam == WPARAM(menu) || wParam == WPARAM(sub));
        return std::optional<LRESULT>(0);
    });
    WhileOpen(owner, {[&](HWND popup) {
                          first = popup;
                          RECT item;
                          ASSERT_TRUE(GetMenuItemRect(owner, menu, 4, &item));
                          DesktopMouseMove(Center(item));
                      },
                      [&](HWND popup) {
                          EXPECT_EQ(popup, first);
                          Advance(delay - 1);
                          DesktopMouseMove(POINT{401, 301}); // still on the menu, off the item
                      },
                      [&](HWND popup) {
                          EXPECT_EQ(popup, first); // moving off cancelled the opening
                          RECT item;
                          ASSERT_TRUE(GetMenuItemRect(owner, menu, 4, &item));
                          DesktopMouseMove(Center(item));
                      },
                      [&](HWND) { Advance(delay); },
                      [&](HWND popup) {
                          EXPECT_NE(popup, first); // the submenu's window
                          RECT item;
                          EXPECT_FALSE(GetMenuItemRect(owner, menu, 9, &item));
                          ASSERT_TRUE(GetMenuItemRect(owner, sub, 0, &item));
                          RECT parent;
                          GetWindowRect(first, &parent);
                          EXPECT_GE(item.left, parent.right - 3); // beside its parent
                          DesktopPress(VK_ESCAPE);                      // closes one level
                      },
                      [&](HWND popup) {
                          EXPECT_EQ(popup, first);
                          DesktopPress(VK_RIGHT); // opens it again at once with its first item
                      },
                      [&](HWND) { DesktopPress(VK_DOWN); },
                      [&](HWND) { DesktopPress(VK_RETURN); }});
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 400, 300, 0, owner, nullptr), 22);
    EXPECT_EQ(popups, (std::vector<LPARAM>{MAKELPARAM(0, FALSE), MAKELPARAM(4, FALSE), MAKELPARAM(4, FALSE)}));
}

// A popup with a checked item, a radio item, a disabled item, a default
// item, a shortcut, a submenu and images from a list of red squares.
class PaintedPopups : public PopupMenus {
protected:
    void SetUp() override {
        PopupMenus::SetUp();
        images = ImageList_Create(16, 16, ILC_COLOR32, 2, 0);
        const HDC screen = GetDC(nullptr);
        const HBITMAP strip = CreateCompatibleBitmap(screen, 32, 16);
        ReleaseDC(nullptr, screen);
        const HDC dc = CreateCompatibleDC(nullptr);
        const HGDIOBJ old = SelectObject(dc, ToGdiObject(strip));
        const HBRUSH red = CreateSolidBrush(kRed);
        const RECT all{0, 0, 32, 16};
        FillRect(dc, &all, red);
        DeleteObject(ToGdiObject(red));
        SelectObject(dc, old);
        DeleteDC(dc);
        ASSERT_EQ(ImageList_Add(images, strip, nullptr), 0);
        DeleteObject(ToGdiObject(strip));

        painted = Keep(CreatePopupMenu());
        const HMENU sub = CreatePopupMenu();
        AppendMenuW(sub, MF_STRING, 40, u"x");
        AppendMenuW(painted, MF_STRING | MF_CHECKED, 31, u"完成后关机");                 // 0
        AppendMenuW(painted, MF_STRING, 32, u"没有勾选");                                 // 1
        AppendMenuW(painted, MF_STRING | MF_GRAYED, 33, u"已禁用");                       // 2
        AppendMenuW(painted, MF_STRING, 34, u"新建\tCtrl+N");                             // 3
        AppendMenuW(painted, MF_STRING | MF_GRAYED, 35, u"禁用图像");                     // 4
        AppendMenuW(painted, MF_POPUP, UINT_PTR(sub), u"更多");                           // 5
        AppendMenuW(painted, MF_STRING | MF_CHECKED, 36, u"单选");                        // 6
        AppendMenuW(painted, MF_STRING | MF_DEFAULT, 37, u"默认项");                      // 7
        MENUITEMINFOW radio{};
        radio.cbSize = sizeof radio;
        radio.fMask = MIIM_FTYPE;
        radio.fType = MFT_RADIOCHECK;
        SetMenuItemInfoW(painted, 36, FALSE, &radio);
        MENUITEMINFOW image{};
        image.cbSize = sizeof image;
        image.fMask = MIIM_IMAGE;
        image.iImage = 0;
        SetMenuItemInfoW(painted, 34, FALSE, &image);
        SetMenuItemInfoW(painted, 35, FALSE, &image);
        MENUINFO info{};
        info.cbSize = sizeof info;
        info.fMask = MIM_IMAGELIST;
        info.hImageList = images;
        SetMenuInfo(painted, &info);
    }
    void TearDown() override {
        ImageList_Destroy(images);
        PopupMenus::TearDown();
    }
    static constexpr COLORREF kRed = RGB(255, 0, 0);
    HIMAGELIST images = nullptr;
    HMENU painted = nullptr;
};

TEST_F(PaintedPopups, ItemsShowMarksImagesShortcutsArrowsAndGreyText) {
    std::vector<RECT> items(8);
    RECT popupRect{};
    HWND shown = nullptr;
    std::vector<uint32_t> pixels;
    int width = 0;
    WhileOpen(owner, {[&](HWND popup) {
        shown = popup;
        GetWindowRect(popup, &popupRect);
        for (UINT i = 0; i < items.size(); ++i) {
            RECT r;
            ASSERT_TRUE(GetMenuItemRect(owner, painted, i, &r));
            items[i] = ToWindow(popup, r);
        }
        const TSurface* surface = WindowSurface(popup);
        pixels = surface->pixels;
        width = surface->width;
        DesktopPress(VK_ESCAPE);
    }});
    TrackPopupMenu(painted, TPM_RETURNCMD, 400, 100, 0, owner, nullptr);
    ASSERT_FALSE(pixels.empty());
    const auto count = [&](const RECT& r, auto test) {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) n += test(pixels[size_t(y) * size_t(width) + size_t(x)] & 0xFFFFFF);
        return n;
    };
    const auto gutter = [&](int i) { return RECT{items[i].left, items[i].top, items[i].left + 20, items[i].bottom}; };
    const auto caption = [&](int i) { return RECT{items[i].left + 24, items[i].top, items[i].left + 110, items[i].bottom}; };
    const auto tail = [&](int i) { return RECT{items[i].right - 60, items[i].top, items[i].right, items[i].bottom}; };
    const auto red = [](uint32_t p) { return p == Rgb(kRed); };
    const auto grey = [](uint32_t p) { return p == Rgb(GetSysColor(COLOR_GRAYTEXT)); };

    EXPECT_GT(count(gutter(0), Dark), 4) << "check mark";
    EXPECT_EQ(count(gutter(1), Dark), 0) << "no check mark";
    EXPECT_GT(count(gutter(6), Dark), 4) << "radio bullet";
    EXPECT_NE(count(gutter(6), Dark), count(gutter(0), Dark)) << "a bullet is not a tick";
    EXPECT_GT(count(caption(0), Dark), 10) << "enabled text is dark";
    EXPECT_EQ(count(caption(2), Dark), 0) << "disabled text has nothing dark";
    EXPECT_GT(count(caption(2), grey), 5) << "disabled text is grey";
    EXPECT_GT(count(gutter(3), red), 100) << "the image beside the caption";
    EXPECT_EQ(count(gutter(4), red), 0) << "a disabled image is embossed";
    EXPECT_GT(count(gutter(4), grey), 100);
    EXPECT_GT(count(tail(3), Dark), 5) << "the shortcut right-aligned";
    EXPECT_EQ(count(tail(1), Dark), 0);
    EXPECT_GT(count(RECT{items[5].right - 14, items[5].top, items[5].right, items[5].bottom}, Dark), 6) << "arrow";
    // The popup is shown without taking the activation from the owner.
    EXPECT_EQ(GetActiveWindow(), owner);
}

// Pixels of Text drawn alone in the menu font that differ from the menu's
// background, as a popup item draws it.
int CaptionInk(const String& text) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    const HFONT font = CreateFontIndirectW(&metrics.lfMenuFont);
    const HDC dc = CreateCompatibleDC(nullptr);
    const HBITMAP bitmap = CreateBitmap(400, 40, 1, 32, nullptr);
    const HGDIOBJ oldBitmap = SelectObject(dc, ToGdiObject(bitmap)), oldFont = SelectObject(dc, ToGdiObject(font));
    RECT all{0, 0, 400, 40};
    FillRect(dc, &all, GetSysColorBrush(COLOR_MENU));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_MENUTEXT));
    RECT at{10, 0, 400, 40};
    DrawTextW(dc, text.c_str(), text.Length(), &at, DT_SINGLELINE | DT_VCENTER | DT_NOCLIP);
    int ink = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 400; ++x) ink += GetPixel(dc, x, y) != GetSysColor(COLOR_MENU);
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteDC(dc);
    DeleteObject(ToGdiObject(bitmap));
    DeleteObject(ToGdiObject(font));
    return ink;
}

TEST_F(PopupMenus, TheWidestCaptionShowsWhole) {
    const String widest = u"添加LOGO图片水印";
    const HMENU effects = Keep(CreatePopupMenu());
    AppendMenuW(effects, MF_STRING, 21, u"裁剪");
    AppendMenuW(effects, MF_STRING, 22, widest.c_str());
    int ink = -1;
    WhileOpen(owner, {[&](HWND popup) {
        RECT item;
        ASSERT_TRUE(GetMenuItemRect(owner, effects, 1, &item));
        ink = CountPixels(popup, ToWindow(popup, item), [](uint32_t p) { return p != Rgb(GetSysColor(COLOR_MENU)); });
        DesktopPress(VK_ESCAPE);
    }});
    TrackPopupMenu(effects, TPM_RETURNCMD, 400, 100, 0, owner, nullptr);
    EXPECT_EQ(ink, CaptionInk(widest)) << "every pixel of the caption, its last glyph too";
}

TEST_F(PaintedPopups, TheHotItemIsHighlightedAsTheSelectionMoves) {
    std::vector<RECT> items(2);
    const auto highlight = [](uint32_t p) { return p == Rgb(GetSysColor(COLOR_HIGHLIGHT)); };
    std::vector<std::pair<int, int>> shown; // highlighted pixels of items 0 and 1 at each step
    const auto measure = [&](HWND popup) {
        for (UINT i = 0; i < 2; ++i) {
            RECT r;
            ASSERT_TRUE(GetMenuItemRect(owner, painted, i, &r));
            items[i] = ToWindow(popup, r);
        }
        shown.emplace_back(CountPixels(popup, items[0], highlight), CountPixels(popup, items[1], highlight));
    };
    WhileOpen(owner, {[&](HWND popup) {
                          measure(popup);
                          DesktopPress(VK_DOWN);
                      },
                      [&](HWND popup) {
                          measure(popup);
                          DesktopPress(VK_DOWN);
                      },
                      [&](HWND popup) {
                          measure(popup);
                          DesktopPress(VK_ESCAPE);
                      }});
    TrackPopupMenu(painted, TPM_RETURNCMD, 400, 100, 0, owner, nullptr);
    ASSERT_EQ(shown.size(), 3u);
    const int area = (items[0].right - items[0].left) * (items[0].bottom - items[0].top);
    EXPECT_EQ(shown[0], std::make_pair(0, 0));
    EXPECT_GT(shown[1].first, area / 2);
    EXPECT_EQ(shown[1].second, 0);
    EXPECT_EQ(shown[2].first, 0);
    EXPECT_GT(shown[2].second, area / 2);
}

class MenuBars : public Menus {};

TEST_F(MenuBars, TheBarTakesARowOfTheFrameIsHitAndPaintsItsItems) {
    HMENU file = nullptr;
    const HMENU bar = MainMenu(&file);
    const HWND form = Form(nullptr);
    RECT before;
    GetClientRect(form, &before);
    ASSERT_TRUE(SetMenu(form, bar));
    EXPECT_EQ(GetMenu(form), bar);
    RECT after;
    GetClientRect(form, &after);
    EXPECT_EQ(after.bottom, before.bottom - GetSystemMetrics(SM_CYMENU));
    RunUntilIdle();

    RECT fileItem, helpItem;
    ASSERT_TRUE(GetMenuItemRect(form, bar, 0, &fileItem));
    ASSERT_TRUE(GetMenuItemRect(form, bar, 1, &helpItem));
    RECT none;
    EXPECT_FALSE(GetMenuItemRect(form, bar, 2, &none));
    EXPECT_EQ(fileItem.right, helpItem.left);
    EXPECT_EQ(fileItem.bottom - fileItem.top, GetSystemMetrics(SM_CYMENU));
    EXPECT_EQ(SendMessageW(form, WM_NCHITTEST, 0, MAKELPARAM(WORD(Center(fileItem).x), WORD(Center(fileItem).y))),
              HTMENU);
    EXPECT_GT(CountPixels(form, ToWindow(form, fileItem), Dark), 10);
    EXPECT_GT(CountPixels(form, ToWindow(form, helpItem), Dark), 10);
    const RECT beyond{helpItem.right + 2, helpItem.top, helpItem.right + 60, helpItem.bottom};
    EXPECT_EQ(CountPixels(form, ToWindow(form, beyond), [](uint32_t p) { return p != Rgb(GetSysColor(COLOR_MENUBAR)); }),
              0);

    // Destroying the window destroys its menu.
    DestroyWindow(form);
    EXPECT_FALSE(IsMenu(bar));
    EXPECT_FALSE(IsMenu(file));
}

TEST_F(MenuBars, AltThenDownOpensTheFirstPopupBelowItsItemAndEnterSendsTheCommand) {
    HMENU file = nullptr;
    const HMENU bar = MainMenu(&file);
    const HWND form = Form(bar);
    RECT fileItem;
    ASSERT_TRUE(GetMenuItemRect(form, bar, 0, &fileItem));
    int selectedInk = 0, idleInk = 0;
    WhileOpen(form, {[&](HWND popup) {
                         EXPECT_EQ(popup, nullptr); // the bar item is selected, nothing open
                         idleInk = CountPixels(form, ToWindow(form, fileItem), [](uint32_t p) { return p == Rgb(GetSysColor(COLOR_3DHILIGHT)); });
                         DesktopPress(VK_DOWN);
                     },
                     [&](HWND popup) {
                         ASSERT_TRUE(popup);
                         RECT shown;
                         GetWindowRect(popup, &shown);
                         EXPECT_EQ(shown.left, fileItem.left);
                         EXPECT_EQ(shown.top, fileItem.bottom);
                         selectedInk = CountPixels(form, ToWindow(form, fileItem), [](uint32_t p) { return p == Rgb(GetSysColor(COLOR_BTNSHADOW)); });
                         DesktopPress(VK_DOWN); // Open is selected; Save next
                     },
                     [&](HWND) { DesktopPress(VK_RETURN); }});
    DesktopPress(VK_MENU);
    RunUntilIdle();
    EXPECT_GT(idleInk, 10) << "the selected bar item is raised";
    EXPECT_GT(selectedInk, 10) << "pressed while its popup is open";
    EXPECT_EQ(MessagesOf(form, {WM_ENTERMENULOOP, WM_INITMENU, WM_INITMENUPOPUP, WM_EXITMENULOOP, WM_COMMAND}),
              (std::vector<UINT>{WM_ENTERMENULOOP, WM_INITMENU, WM_INITMENUPOPUP, WM_EXITMENULOOP, WM_COMMAND}));
    const auto commands = Recorded({WM_COMMAND});
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].wParam, WPARAM(kSave));
    EXPECT_EQ(Recorded({WM_INITMENU})[0].wParam, WPARAM(bar));
    EXPECT_EQ(Recorded({WM_INITMENUPOPUP})[0].wParam, WPARAM(file));
}

TEST_F(MenuBars, EscapeClosesThePopupThenLeavesTheBar) {
    const HWND form = Form(MainMenu());
    WhileOpen(form, {[&](HWND) { DesktopPress(VK_RETURN); },
                     [&](HWND popup) {
                         EXPECT_TRUE(popup);
                         DesktopPress(VK_ESCAPE);
                     },
                     [&](HWND popup) {
                         EXPECT_EQ(popup, nullptr);
                         EXPECT_TRUE(MessagesOf(form, {WM_EXITMENULOOP}).empty());
                         DesktopPress(VK_ESCAPE);
                     }});
    DesktopPress(VK_F10);
    RunUntilIdle();
    EXPECT_EQ(StepsRun(), 3u);
    EXPECT_EQ(MessagesOf(form, {WM_EXITMENULOOP}).size(), 1u);
    EXPECT_TRUE(Recorded({WM_COMMAND}).empty());
}

TEST_F(MenuBars, AltLetterOpensTheNamedItemAndLeftRightMoveBetweenPopups) {
    HMENU file = nullptr;
    const HMENU bar = MainMenu(&file);
    const HWND form = Form(bar);
    const HMENU help = GetSubMenu(bar, 1);
    std::vector<WPARAM> opened;
    Answer(form, WM_INITMENUPOPUP, [&](WPARAM wParam, LPARAM) {
        opened.push_back(wParam);
        return std::optional<LRESULT>(0);
    });
    WhileOpen(form, {[&](HWND) { DesktopPress(VK_RIGHT); }, [&](HWND) { DesktopPress(VK_RIGHT); }, [&](HWND) { DesktopPress(VK_LEFT); },
                     [&](HWND) { DesktopPress(VK_ESCAPE); }, [&](HWND) { DesktopPress(VK_ESCAPE); }});
    DesktopKey(VK_MENU, true);
    DesktopPress('H', u"h");
    DesktopKey(VK_MENU, false);
    RunUntilIdle();
    EXPECT_EQ(opened, (std::vector<WPARAM>{WPARAM(help), WPARAM(file), WPARAM(help), WPARAM(file)}));
    EXPECT_EQ(StepsRun(), 5u);

    // Alt+F opens "&File" at once with its first item selected.
    opened.clear();
    WhileOpen(form, {[&](HWND) { DesktopPress(VK_RETURN); }});
    DesktopKey(VK_MENU, true);
    DesktopPress('F', u"f");
    DesktopKey(VK_MENU, false);
    RunUntilIdle();
    EXPECT_EQ(opened, std::vector<WPARAM>{WPARAM(file)});
    const auto commands = Recorded({WM_COMMAND});
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].wParam, WPARAM(kOpen));
}

TEST_F(MenuBars, APressOnTheBarOpensItsItemAndAClickChoosesFromThePopup) {
    HMENU file = nullptr;
    const HMENU bar = MainMenu(&file);
    const HWND form = Form(bar);
    RECT fileItem, helpItem;
    ASSERT_TRUE(GetMenuItemRect(form, bar, 0, &fileItem));
    ASSERT_TRUE(GetMenuItemRect(form, bar, 1, &helpItem));
    WhileOpen(form, {[&](HWND popup) {
                         EXPECT_TRUE(popup);
                         DesktopMouseMove(Center(helpItem)); // moves to the other popup
                     },
                     [&](HWND) {
                         RECT about;
                         ASSERT_TRUE(GetMenuItemRect(form, GetSubMenu(bar, 1), 0, &about));
                         ClickAt(Center(about));
                     }});
    ClickAt(Center(fileItem));
    RunUntilIdle();
    const auto commands = Recorded({WM_COMMAND});
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].wParam, WPARAM(kAbout));

    // Disabled items cannot be chosen; a press on the open item's bar entry closes everything.
    ClearRecord();
    WhileOpen(form, {[&](HWND) {
                         RECT exit;
                         ASSERT_TRUE(GetMenuItemRect(form, file, 4, &exit));
                         ClickAt(Center(exit));
                     },
                     [&](HWND) { ClickAt(Center(fileItem)); }});
    ClickAt(Center(fileItem));
    RunUntilIdle();
    EXPECT_TRUE(Recorded({WM_COMMAND}).empty());
    EXPECT_EQ(MessagesOf(form, {WM_EXITMENULOOP}).size(), 1u);
}

class WindowMenus : public Menus {};

TEST_F(WindowMenus, AltSpaceOpensTheWindowMenuWhoseChoiceIsASystemCommand) {
    const HWND form = Form(nullptr);
    const HMENU windowMenu = GetSystemMenu(form, FALSE);
    ASSERT_TRUE(windowMenu);
    EXPECT_EQ(GetSystemMenu(form, FALSE), windowMenu);
    for (const auto& [command, caption] :
         {std::pair{SC_RESTORE, u"还原(&R)"}, std::pair{SC_MOVE, u"移动(&M)"}, std::pair{SC_SIZE, u"大小(&S)"},
          std::pair{SC_MINIMIZE, u"最小化(&N)"}, std::pair{SC_MAXIMIZE, u"最大化(&X)"},
          std::pair{SC_CLOSE, u"关闭(&C)\tAlt+F4"}}) {
        WCHAR text[32];
        GetMenuStringW(windowMenu, command, text, 32, MF_BYCOMMAND);
        EXPECT_EQ(String(text), String(caption));
    }
    // The owner greys "大小" when the window menu opens, as a form that must not be resized does.
    std::vector<LPARAM> flags;
    Answer(form, WM_INITMENUPOPUP, [&](WPARAM wParam, LPARAM lParam) {
        EXPECT_EQ(wParam, WPARAM(windowMenu));
        flags.push_back(lParam);
        EnableMenuItem(windowMenu, SC_SIZE, MF_GRAYED);
        return std::optional<LRESULT>(0);
    });
    int greyInk = -1, darkInk = -1;
    WhileOpen(form, {[&](HWND popup) {
                         RECT size;
                         ASSERT_TRUE(GetMenuItemRect(form, windowMenu, 2, &size));
                         const RECT text = ToWindow(popup, RECT{size.left + 24, size.top, size.left + 80, size.bottom});
                         greyInk = CountPixels(popup, text, [](uint32_t p) { return p == Rgb(GetSysColor(COLOR_GRAYTEXT)); });
                         darkInk = CountPixels(popup, text, Dark);
                         DesktopPress('S', u"s"); // chooses nothing
                     },
                     [&](HWND) {
                         RECT size;
                         ASSERT_TRUE(GetMenuItemRect(form, windowMenu, 2, &size));
                         ClickAt(Center(size)); // nor does a click
                     },
                     [&](HWND) { DesktopPress('C', u"c"); }});
    DesktopKey(VK_MENU, true);
    DesktopPress(VK_SPACE, u" ");
    DesktopKey(VK_MENU, false);
    RunUntilIdle();
    EXPECT_EQ(flags, std::vector<LPARAM>{MAKELPARAM(0, TRUE)});
    EXPECT_GT(greyInk, 5);
    EXPECT_EQ(darkInk, 0);
    std::vector<WPARAM> commands;
    for (const TRecord& r : Recorded({WM_SYSCOMMAND}))
        if (r.wParam != SC_KEYMENU) commands.push_back(r.wParam);
    EXPECT_EQ(commands, std::vector<WPARAM>{SC_CLOSE});
    EXPECT_FALSE(IsWindow(form));
    EXPECT_FALSE(IsMenu(windowMenu)); // went with the window
}

TEST_F(WindowMenus, TheWindowMenuFollowsTheWindowAndRevertingDropsTheCopy) {
    const HWND form = Form(nullptr);
    SetWindowLongPtrW(form, GWL_STYLE, GetWindowLongPtrW(form, GWL_STYLE) & ~WS_MAXIMIZEBOX);
    const HMENU windowMenu = GetSystemMenu(form, FALSE);
    std::vector<UINT> states;
    Answer(form, WM_INITMENUPOPUP, [&](WPARAM, LPARAM) {
        for (UINT command : {SC_RESTORE, SC_MOVE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, SC_CLOSE})
            states.push_back(GetMenuState(windowMenu, command, MF_BYCOMMAND) & MF_GRAYED);
        return std::optional<LRESULT>(0);
    });
    WhileOpen(form, {[&](HWND) { DesktopPress(VK_ESCAPE); }});
    DesktopKey(VK_MENU, true);
    DesktopPress(VK_SPACE, u" ");
    DesktopKey(VK_MENU, false);
    RunUntilIdle();
    EXPECT_EQ(states, (std::vector<UINT>{MF_GRAYED, 0, 0, 0, MF_GRAYED, 0}));

    EXPECT_EQ(GetSystemMenu(form, TRUE), nullptr);
    EXPECT_FALSE(IsMenu(windowMenu));
    EXPECT_TRUE(GetSystemMenu(form, FALSE));
}

} // namespace
