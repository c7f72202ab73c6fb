#include "ControlFixture.h"

#include <functional>

#include "platform/ui/Menus.h"
#include "platform/ui/graphics/ImageList.h"
#include "platform/win/User.h"
#include "platform/win/desktop/Desktop.h"
#include "platform/win/menus/Menus.h"
#include "platform/win/paint/Surface.h"
#include "platform/win/system/SystemMetrics.h"

namespace {

String MenuText(HMENU menu, int position) {
    wchar_t buffer[64]{};
    GetMenuStringW(menu, UINT(position), reinterpret_cast<LPWSTR>(buffer), 64, MF_BYPOSITION);
    return String(reinterpret_cast<const char16_t*>(buffer));
}

// Dark pixels of a top-level window's surface inside a screen rectangle.
int DarkPixels(HWND top, const RECT& screen) {
    RECT w;
    GetWindowRect(top, &w);
    const TSurface* surface = WindowSurface(top);
    int count = 0;
    for (LONG y = std::max<LONG>(screen.top - w.top, 0); y < std::min<LONG>(screen.bottom - w.top, surface->height); ++y)
        for (LONG x = std::max<LONG>(screen.left - w.left, 0); x < std::min<LONG>(screen.right - w.left, surface->width);
             ++x) {
            const uint32_t p = surface->Pixel(int(x), int(y));
            count += std::max({p >> 16 & 0xFF, p >> 8 & 0xFF, p & 0xFF}) < 80 ? 1 : 0;
        }
    return count;
}

class TMenuForm : public TForm {
public:
    using TForm::TForm;
    using TForm::WndProc;
};

// A 1024 x 768 screen whose work area ends above a panel, and a shown form
// with "文件(&F)" (three items, a separator, a check item), a hidden "Tools"
// and "帮助(&H)". Steps run on the form's WM_ENTERIDLE while a menu is open.
class MenuTest : public FormTest {
protected:
    static constexpr RECT kWork{0, 0, 1024, 740};

    void SetUp() override {
        FormTest::SetUp();
        TDesktopMetrics desktop;
        desktop.Monitors = {TMonitorLayout{{0, 0, 1024, 768}, kWork, true, u"\\\\.\\DISPLAY1"}};
        SetDesktopMetrics(desktop);

        form = Application().CreateForm<TMenuForm>();
        menu = new TMainMenu(form);
        file = AddItem(menu->Items(), u"文件(&F)");
        newItem = AddItem(file, u"新建(&N)");
        newItem->SetShortCut(TShortCut(0x4000 | 'N'));
        newItem->SetHint(u"新建一个任务");
        openItem = AddItem(file, u"打开(&O)");
        saveItem = AddItem(file, u"保存(&S)");
        AddItem(file, u"-");
        shutdown = AddItem(file, u"完成后关机(&U)");
        shutdown->SetChecked(true);
        tools = AddItem(menu->Items(), u"Tools");
        AddItem(tools, u"选项");
        tools->SetVisible(false);
        help = AddItem(menu->Items(), u"帮助(&H)");
        AddItem(help, u"关于");
        form->SetMenu(menu);
        form->SetBoundsRect(TRect{100, 100, 500, 400});
        form->SetWindowProc([this](TMessage& m) {
            if (m.Msg == WM_ENTERIDLE) RunStep(reinterpret_cast<HWND>(m.LParam));
            if (m.Msg == WM_COMMAND) commands.push_back(m.WParam);
            form->WndProc(m);
        });
        form->Show();
        PumpMessages();
    }
    void TearDown() override {
        form->SetWindowProc({});
        FormTest::TearDown();
    }

    TMenuItem* AddItem(TMenuItem* parent, const String& caption) {
        auto* item = new TMenuItem(form);
        item->SetCaption(caption);
        item->OnClick = [this](TObject* sender) { clicked.push_back(static_cast<TMenuItem*>(sender)); };
        parent->Add(item);
        return item;
    }

    using TStep = std::function<void(HWND popup)>;
    void WhileOpen(std::vector<TStep> list) {
        steps = std::move(list);
        next = 0;
    }
    void RunStep(HWND popup) {
        if (next < steps.size()) {
            steps[next++](popup);
        } else {
            ADD_FAILURE() << "the menu is still open after the last step";
            EndMenu();
        }
    }

    TMenuForm* form = nullptr;
    TMainMenu* menu = nullptr;
    TMenuItem *file = nullptr, *newItem = nullptr, *openItem = nullptr, *saveItem = nullptr, *shutdown = nullptr,
              *tools = nullptr, *help = nullptr;
    std::vector<TMenuItem*> clicked;
    std::vector<WPARAM> commands;
    std::vector<TStep> steps;
    size_t next = 0;

private:
    TDesktopMetricsScope desktopScope_;
};

TEST_F(MenuTest, TheBarShowsTheVisibleMenusAndHandlesFollowChanges) {
    const HMENU bar = GetMenu(form->Handle());
    ASSERT_EQ(bar, menu->Handle());
    ASSERT_EQ(GetMenuItemCount(bar), 2); // "Tools" is hidden
    EXPECT_EQ(MenuText(bar, 0), u"文件(&F)");
    EXPECT_EQ(MenuText(bar, 1), u"帮助(&H)");
    const HMENU popup = GetSubMenu(bar, 0);
    ASSERT_EQ(popup, file->Handle());
    ASSERT_EQ(GetMenuItemCount(popup), 5);
    EXPECT_EQ(MenuText(popup, 0), u"新建(&N)\tCtrl+N");
    EXPECT_EQ(GetMenuState(popup, 3, MF_BYPOSITION) & MF_SEPARATOR, UINT(MF_SEPARATOR));
    EXPECT_EQ(GetMenuState(popup, shutdown->Command(), MF_BYCOMMAND) & MF_CHECKED, UINT(MF_CHECKED));
    EXPECT_EQ(menu->FindItem(shutdown->Command(), fkCommand), shutdown);
    EXPECT_EQ(menu->FindItem(UINT_PTR(popup), fkHandle), file);
    EXPECT_EQ(menu->FindItem(0x4000 | 'N', fkShortCut), newItem);

    // Each change reaches the handles and the form's window.
    std::vector<UINT> told;
    form->SetWindowProc([&](TMessage& m) {
        if (m.Msg == CM_MENUCHANGED) told.push_back(m.Msg);
        form->WndProc(m);
    });
    tools->SetVisible(true);
    EXPECT_EQ(GetMenuItemCount(bar), 3);
    EXPECT_EQ(MenuText(bar, 1), u"Tools");
    openItem->SetEnabled(false);
    EXPECT_EQ(GetMenuState(popup, openItem->Command(), MF_BYCOMMAND) & MF_GRAYED, UINT(MF_GRAYED));
    saveItem->SetCaption(u"另存为(&A)");
    EXPECT_EQ(MenuText(popup, 2), u"另存为(&A)");
    newItem->SetVisible(false);
    EXPECT_EQ(GetMenuItemCount(popup), 4);
    delete saveItem;
    EXPECT_EQ(GetMenuItemCount(popup), 3);
    EXPECT_EQ(told.size(), 5u);

    // Radio items of one group check one at a time.
    TMenuItem* a = AddItem(help, u"A");
    TMenuItem* b = AddItem(help, u"B");
    a->SetRadioItem(true);
    b->SetRadioItem(true);
    a->SetChecked(true);
    b->SetChecked(true);
    EXPECT_FALSE(a->Checked());
    EXPECT_EQ(a->MenuIndex(), 1);
}

TEST_F(MenuTest, AltThenDownOpensTheFirstPopupAndEnterClicksTheItemOnce) {
    RECT fileItem;
    ASSERT_TRUE(GetMenuItemRect(form->Handle(), menu->Handle(), 0, &fileItem));
    int checkedInk = -1, plainInk = -1;
    WhileOpen({[&](HWND) { DesktopPress(VK_DOWN); },
               [&](HWND popup) {
                   ASSERT_TRUE(popup);
                   RECT shown;
                   GetWindowRect(popup, &shown);
                   EXPECT_EQ(shown.left, fileItem.left);
                   EXPECT_EQ(shown.top, fileItem.bottom);
                   // The check glyph sits left of the caption of the checked item only.
                   RECT checked, plain;
                   ASSERT_TRUE(GetMenuItemRect(form->Handle(), file->Handle(), 4, &checked));
                   ASSERT_TRUE(GetMenuItemRect(form->Handle(), file->Handle(), 1, &plain));
                   checked.right = checked.left + 20;
                   plain.right = plain.left + 20;
                   checkedInk = DarkPixels(popup, checked);
                   plainInk = DarkPixels(popup, plain);
                   DesktopPress(VK_DOWN); // 新建 is selected; 打开 next
               },
               [&](HWND) { DesktopPress(VK_RETURN); }});
    DesktopPress(VK_MENU);
    RunUntilIdle();
    EXPECT_EQ(next, 3u);
    EXPECT_GT(checkedInk, 5);
    EXPECT_EQ(plainInk, 0);
    EXPECT_EQ(commands, std::vector<WPARAM>{openItem->Command()});
    EXPECT_EQ(clicked, std::vector<TMenuItem*>{openItem});
}

TEST_F(MenuTest, EscapeTwiceLeavesAndAltLetterOpensTheNamedMenu) {
    WhileOpen({[&](HWND) { DesktopPress(VK_DOWN); },
               [&](HWND popup) {
                   EXPECT_TRUE(popup);
                   DesktopPress(VK_ESCAPE);
               },
               [&](HWND popup) {
                   EXPECT_EQ(popup, nullptr);
                   DesktopPress(VK_ESCAPE);
               }});
    DesktopPress(VK_MENU);
    RunUntilIdle();
    EXPECT_EQ(next, 3u);
    EXPECT_TRUE(commands.empty());

    // Alt+H opens "帮助(&H)"; a menu selection shows its item's hint.
    HMENU opened = nullptr;
    std::vector<String> hints;
    Application().OnHint = [&](TObject*) { hints.push_back(Application().Hint()); };
    WhileOpen({[&](HWND popup) {
        opened = popup ? help->Handle() : nullptr;
        RECT about;
        EXPECT_TRUE(GetMenuItemRect(form->Handle(), help->Handle(), 0, &about));
        DesktopPress(VK_ESCAPE);
        DesktopPress(VK_ESCAPE);
    }});
    DesktopKey(VK_MENU, true);
    DesktopPress('H', u"h");
    DesktopKey(VK_MENU, false);
    RunUntilIdle();
    EXPECT_EQ(opened, help->Handle());

    Application().OnHint = {};
    TMessage select{WM_MENUSELECT, MAKEWPARAM(newItem->Command(), MF_HILITE), LPARAM(file->Handle()), 0};
    form->Perform(select.Msg, select.WParam, select.LParam);
    EXPECT_EQ(Application().Hint(), u"新建一个任务");
    form->Perform(WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_EQ(Application().Hint(), u"");
}

TEST_F(MenuTest, ShortcutsClickEnabledItemsOnceThroughTheFocusedControl) {
    auto* panel = new TTestPanel(form);
    panel->SetParent(form);
    form->SetActiveControl(panel);
    PumpMessages();
    auto ctrlN = [] {
        DesktopKey(VK_CONTROL, true);
        DesktopPress('N');
        DesktopKey(VK_CONTROL, false);
        Application().ProcessMessages();
    };
    ctrlN();
    EXPECT_EQ(clicked, std::vector<TMenuItem*>{newItem});

    // The panel's popup menu comes first.
    auto* popup = new TPopupMenu(form);
    TMenuItem* local = AddItem(popup->Items(), u"本地");
    local->SetShortCut(TShortCut(0x4000 | 'N'));
    panel->SetPopupMenu(popup);
    clicked.clear();
    ctrlN();
    EXPECT_EQ(clicked, std::vector<TMenuItem*>{local});

    // A disabled item (or one inside a disabled menu) takes no shortcut.
    panel->SetPopupMenu(nullptr);
    file->SetEnabled(false);
    clicked.clear();
    ctrlN();
    EXPECT_TRUE(clicked.empty());
}

TEST_F(MenuTest, TheMenuStaysAcrossANewWindowAndAFreedMenuIsForgotten) {
    form->SetBorderStyle(bsSingle); // a new window
    PumpMessages();
    EXPECT_EQ(GetMenu(form->Handle()), menu->Handle());
    EXPECT_EQ(GetMenuItemCount(menu->Handle()), 2);
    EXPECT_TRUE(IsMenu(file->Handle()));

    const HWND window = form->Handle();
    RECT withMenu;
    GetClientRect(window, &withMenu);
    delete menu;
    EXPECT_EQ(form->Menu(), nullptr);
    EXPECT_EQ(GetMenu(window), nullptr);
    RECT without;
    GetClientRect(window, &without);
    EXPECT_GT(without.bottom, withMenu.bottom);
}

TEST_F(MenuTest, APopupNearTheCornerOpensUpAndLeftAndRunsTheChosenItem) {
    auto* popup = new TPopupMenu(form);
    TMenuItem* first = AddItem(popup->Items(), u"转换(&C)");
    first->SetHint(u"转换");
    TMenuItem* second = AddItem(popup->Items(), u"删除(&D)");
    second->SetHint(u"删除");
    int popups = 0;
    popup->OnPopup = [&](TObject*) { ++popups; };
    RECT shown{};
    Application().OnHint = [&](TObject*) {
        RECT top, bottom;
        if (GetMenuItemRect(nullptr, popup->Handle(), 0, &top) && GetMenuItemRect(nullptr, popup->Handle(), 1, &bottom))
            shown = RECT{top.left, top.top, bottom.right, bottom.bottom};
    };
    DesktopPress(VK_DOWN);
    DesktopPress(VK_DOWN);
    DesktopPress(VK_RETURN);
    popup->Popup(1020, 735);
    EXPECT_EQ(popups, 1);
    EXPECT_EQ(clicked, std::vector<TMenuItem*>{second});
    EXPECT_GT(shown.right, shown.left);
    EXPECT_LE(shown.right, 1020);
    EXPECT_LE(shown.bottom, 735);
    EXPECT_GE(shown.left, kWork.left);
    EXPECT_GE(shown.top, kWork.top);
    Application().OnHint = {};
    PumpMessages();
    EXPECT_TRUE(commands.empty()); // chosen and run by the popup itself, nothing posted

    // The menu's image list reaches every handle of it, a sub-menu's own
    // list its branch; a freed list is no longer drawn from.
    auto* images = new TImageList(nullptr);
    auto* other = new TImageList(nullptr);
    const auto list = [&](int n) { return (n == 1 ? images : other)->Handle(); };
    TMenuItem* sub = AddItem(second, u"子项");
    TMenuItem* deeper = AddItem(sub, u"更深");
    AddItem(deeper, u"最深");
    const auto imagesOf = [](TMenuItem* item) {
        MENUINFO info{};
        info.cbSize = sizeof info;
        info.fMask = MIM_IMAGELIST;
        GetMenuInfo(item->Handle(), &info);
        return info.hImageList;
    };
    popup->SetImages(images);
    sub->SetSubMenuImages(other);
    EXPECT_EQ(imagesOf(popup->Items()), list(1));
    EXPECT_EQ(imagesOf(second), list(1));
    EXPECT_EQ(imagesOf(sub), list(2));
    EXPECT_EQ(imagesOf(deeper), list(2));
    const HIMAGELIST firstList = list(1);
    delete other;
    EXPECT_EQ(sub->SubMenuImages(), nullptr);
    EXPECT_EQ(imagesOf(deeper), firstList);
    delete images;
    EXPECT_EQ(popup->Images(), nullptr);
    EXPECT_EQ(imagesOf(second), nullptr);
}

} // namespace
