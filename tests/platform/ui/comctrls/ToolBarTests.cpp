#include <functional>
#include <span>

#include "../ControlFixture.h"
#include "../StartedUiUnits.h"

#include "platform/rtl/ClassInfo.h"
#include "platform/rtl/Properties.h"
#include "platform/ui/Actions.h"
#include "platform/ui/Hints.h"
#include "platform/ui/Menus.h"
#include "platform/ui/comctrls/ToolBar.h"
#include "platform/ui/graphics/Bitmap.h"
#include "platform/ui/graphics/ImageList.h"
#include "platform/win/User.h"
#include "platform/win/controls/CommonControlConstants.h"
#include "platform/win/desktop/Desktop.h"
#include "platform/win/paint/Composite.h"

namespace {

const TColor kImageColors[] = {clRed, clLime, clBlue, clYellow};
const TColor kHotColors[] = {clMaroon, clGreen, clNavy, clOlive};

// A list of 48 x 48 images, each of one colour.
TImageList* SolidImages(TComponent* owner, std::span<const TColor> colors) {
    auto* list = new TImageList(owner, 48, 48);
    TBitmap strip;
    strip.SetSize(48 * int(colors.size()), 48);
    for (size_t i = 0; i < colors.size(); ++i) {
        strip.Canvas()->Brush()->SetColor(colors[i]);
        strip.Canvas()->FillRect(TRect{int(i) * 48, 0, int(i) * 48 + 48, 48});
    }
    list->Add(&strip, nullptr);
    return list;
}

// Records where it was asked to show instead of showing.
class TToolBarTestMenu : public TPopupMenu {
public:
    using TPopupMenu::TPopupMenu;
    void Popup(int x, int y) override {
        shownAt.push_back({x, y});
        if (OnPopup) OnPopup(this);
    }
    std::vector<TPoint> shownAt;
};

// The main window's toolbar: 71 pixels high, 115 x 68 buttons with captions
// and 48 x 48 images, two buttons of actions, a separator, a plain button and
// a drop-down button with its menu. The application's loop runs as the
// program runs it: messages through its preprocessing, then idle.
class ToolBarFrameworkTest : public FormTest {
protected:
    void SetUp() override {
        Application().OnIdle = [](TObject*, bool& done) { done = false; };
        form = ShownForm({50, 50, 850, 450});
        form->SetShowHint(true);
        images = SolidImages(form, kImageColors);
        newTask = Action(u"添加单一任务", 0);
        startTask = Action(u"开始", 1);
        startTask->SetEnabled(false);
        filters = new TToolBarTestMenu(form);
        for (const char16_t* caption : {u"添加标准特效", u"添加LOGO图片水印"}) {
            auto* item = new TMenuItem(form);
            item->SetCaption(caption);
            filters->Items()->Add(item);
        }

        bar = new TToolBar(form);
        bar->SetHeight(71);
        bar->SetButtonWidth(115);
        bar->SetButtonHeight(68);
        bar->SetImages(images);
        bar->SetShowCaptions(true);
        bar->SetParent(form);
        addButton = Button(newTask);
        startButton = Button(startTask);
        separator = Button(nullptr);
        separator->SetStyle(tbsSeparator);
        homeButton = Button(nullptr);
        homeButton->SetCaption(u"主页");
        homeButton->SetImageIndex(2);
        homeButton->SetHint(u"主页|打开主页");
        homeButton->OnClick = [this](TObject* sender) { clicked.push_back(static_cast<TToolButton*>(sender)); };
        filterButton = Button(nullptr);
        filterButton->SetCaption(u"添加特效");
        filterButton->SetImageIndex(3);
        filterButton->SetStyle(tbsDropDown);
        filterButton->SetDropdownMenu(filters);
        filterButton->OnClick = homeButton->OnClick;
        Run();
    }

    TAction* Action(const String& caption, int image) {
        auto* action = new TAction(form);
        action->SetCaption(caption);
        action->SetImageIndex(image);
        action->SetHint(caption + u"|" + caption);
        action->OnExecute = [this](TObject* sender) { executed.push_back(static_cast<TAction*>(sender)); };
        return action;
    }
    TToolButton* Button(TAction* action) {
        auto* button = new TToolButton(form);
        button->SetParent(bar);
        if (action) button->SetAction(action);
        return button;
    }

    void Run() {
        Application().ProcessMessages();
        Application().Idle(MSG{});
    }
    void Wait(uint64_t ms) {
        clock_.Advance(ms);
        Run();
    }
    POINT ScreenPoint(TToolButton* button, TPoint client) {
        const TPoint p = button->ClientToScreen(client);
        return POINT{p.X, p.Y};
    }
    void MoveTo(POINT p) {
        DesktopMouseMove(p);
        Run();
    }
    void ClickAt(POINT p) {
        clock_.Advance(1000); // never a double click
        DesktopClick(p);
        Run();
    }
    void ClickOn(TToolButton* button) { ClickAt(ScreenPoint(button, {button->Width() / 2, 10})); }

    // How many of the button's pixels on the screen are of the colour.
    int PixelsOf(TToolButton* button, TColor color) {
        RunUntilIdle();
        const TPoint origin = button->ClientToScreen({0, 0});
        const RECT area{origin.X, origin.Y, origin.X + button->Width(), origin.Y + button->Height()};
        const TDesktopImage image = ComposeDesktop(area);
        const COLORREF rgb = ColorToRGB(color);
        int count = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x) {
                const uint32_t argb = image.Pixel(x, y);
                if (RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF) == rgb) ++count;
            }
        return count;
    }
    String WindowText(int index) {
        const LRESULT length = SendMessageW(bar->Handle(), TB_GETBUTTONTEXTW, WPARAM(index), 0);
        if (length < 0) return u"<none>";
        String text(size_t(length) + 1, u'\0');
        SendMessageW(bar->Handle(), TB_GETBUTTONTEXTW, WPARAM(index), reinterpret_cast<LPARAM>(text.data()));
        text.resize(size_t(length));
        return text;
    }
    BYTE WindowState(int index) { return BYTE(SendMessageW(bar->Handle(), TB_GETSTATE, WPARAM(index), 0)); }
    TRect WindowRect(int index) {
        RECT r{};
        SendMessageW(bar->Handle(), TB_GETITEMRECT, WPARAM(index), reinterpret_cast<LPARAM>(&r));
        return {r.left, r.top, r.right, r.bottom};
    }
    THintWindow* HintWindow() { return Application().Hints().HintWindow(); }
    bool HintShown() {
        return HintWindow() && HintWindow()->HandleAllocated() && IsWindowVisible(HintWindow()->Handle());
    }

    TForm* form = nullptr;
    TImageList* images = nullptr;
    TAction *newTask = nullptr, *startTask = nullptr;
    TToolBarTestMenu* filters = nullptr;
    TToolBar* bar = nullptr;
    TToolButton *addButton = nullptr, *startButton = nullptr, *separator = nullptr, *homeButton = nullptr,
                *filterButton = nullptr;
    std::vector<TAction*> executed;
    std::vector<TToolButton*> clicked;
};

TEST_F(ToolBarFrameworkTest, TheButtonsLieWhereTheWindowShowsThemWithTheirCaptionsAndImages) {
    EXPECT_EQ(bar->Height(), 71);
    EXPECT_EQ(bar->Width(), form->ClientWidth()) << "aligned to the top";
    ASSERT_EQ(bar->ButtonCount(), 5);
    ASSERT_EQ(SendMessageW(bar->Handle(), TB_BUTTONCOUNT, 0, 0), 5);
    EXPECT_EQ(HIMAGELIST(SendMessageW(bar->Handle(), TB_GETIMAGELIST, 0, 0)), images->Handle());
    const String captions[] = {u"添加单一任务", u"开始", u"", u"主页", u"添加特效"};
    for (int i = 0; i < 5; ++i) {
        TToolButton* button = bar->Buttons(i);
        EXPECT_EQ(button->Index(), i);
        EXPECT_EQ(button->BoundsRect(), WindowRect(i)) << i;
        EXPECT_EQ(button->Caption(), captions[i]) << i;
        if (i == 2) continue;
        EXPECT_EQ(button->Height(), 68) << i;
        EXPECT_GE(button->Width(), 115) << i;
        EXPECT_EQ(SendMessageW(bar->Handle(), TB_GETBUTTONTEXTW, WPARAM(i), 0), LRESULT(captions[i].size())) << i;
        EXPECT_EQ(WindowText(i), captions[i]) << i;
    }
    EXPECT_LT(separator->Width(), 115);
    EXPECT_EQ(separator->Left(), startButton->Left() + startButton->Width());
    EXPECT_EQ(homeButton->Left(), separator->Left() + separator->Width());
    EXPECT_EQ(addButton->ImageIndex(), 0) << "from the action";
    EXPECT_GT(PixelsOf(addButton, clRed), 48 * 40) << "the 48 x 48 image";
    EXPECT_GT(PixelsOf(homeButton, clBlue), 48 * 40);

    // Without captions the window's buttons carry no text.
    bar->SetShowCaptions(false);
    EXPECT_EQ(SendMessageW(bar->Handle(), TB_GETBUTTONTEXTW, 0, 0), 0);
    EXPECT_EQ(addButton->Caption(), u"添加单一任务");
    bar->SetShowCaptions(true);
    EXPECT_EQ(WindowText(0), u"添加单一任务");
}

TEST_F(ToolBarFrameworkTest, TheDropDownArrowShowsTheMenuBelowTheButtonAndItsFaceClicks) {
    const POINT arrow = ScreenPoint(filterButton, {filterButton->Width() - 4, filterButton->Height() / 2});
    ClickAt(arrow);
    ASSERT_EQ(filters->shownAt.size(), 1u);
    EXPECT_EQ(filters->shownAt[0], filterButton->ClientToScreen({0, filterButton->Height()}));
    EXPECT_EQ(filters->PopupComponent(), filterButton);
    EXPECT_TRUE(clicked.empty());
    EXPECT_EQ(WindowState(4) & TBSTATE_PRESSED, 0) << "pressed only while the menu is up";

    ClickOn(filterButton);
    EXPECT_EQ(clicked, std::vector<TToolButton*>{filterButton});
    EXPECT_EQ(filters->shownAt.size(), 1u);

    // Without a menu (this one freed) the arrow clicks the button.
    delete filters;
    EXPECT_EQ(filterButton->DropdownMenu(), nullptr);
    ClickAt(arrow);
    EXPECT_EQ(clicked.size(), 2u);
}

// The menu of the window system opens with its top-left corner at the
// button's bottom-left and runs the item chosen from the keyboard.
TEST_F(ToolBarFrameworkTest, TheDropDownMenuOpensBelowTheButtonAndRunsTheChosenItem) {
    auto* menu = new TPopupMenu(form);
    std::vector<String> chosen;
    for (const char16_t* caption : {u"添加标准特效", u"添加文字水印"}) {
        auto* item = new TMenuItem(form);
        item->SetCaption(caption);
        item->SetHint(caption);
        item->OnClick = [&chosen](TObject* sender) { chosen.push_back(static_cast<TMenuItem*>(sender)->Caption()); };
        menu->Items()->Add(item);
    }
    menu->OnPopup = [](TObject*) {
        DesktopPress(VK_DOWN);
        DesktopPress(VK_DOWN);
        DesktopPress(VK_RETURN);
    };
    RECT frame{};
    Application().OnHint = [&](TObject*) {
        RECT item{};
        if (frame.right == 0 && GetMenuItemRect(nullptr, menu->Handle(), 0, &item))
            GetWindowRect(WindowFromPoint(POINT{item.left, item.top}), &frame);
    };
    filterButton->SetDropdownMenu(menu);
    ClickAt(ScreenPoint(filterButton, {filterButton->Width() - 4, filterButton->Height() / 2}));
    Application().OnHint = {};

    EXPECT_EQ(chosen, std::vector<String>{u"添加文字水印"});
    EXPECT_TRUE(clicked.empty());
    const TPoint below = filterButton->ClientToScreen({0, filterButton->Height()});
    ASSERT_GT(frame.right, frame.left) << "the menu was open";
    EXPECT_EQ(frame.left, below.X);
    EXPECT_EQ(frame.top, below.Y);
}

TEST_F(ToolBarFrameworkTest, AButtonOfADisabledActionIsDisabledAndDrawnSo) {
    EXPECT_FALSE(startButton->Enabled());
    EXPECT_EQ(WindowState(1) & TBSTATE_ENABLED, 0);
    EXPECT_EQ(PixelsOf(startButton, clLime), 0) << "the disabled look, not the image";
    EXPECT_GT(PixelsOf(addButton, clRed), 48 * 40) << "the enabled image as it is";
    ClickOn(startButton);
    EXPECT_TRUE(executed.empty());

    startTask->SetEnabled(true);
    EXPECT_TRUE(startButton->Enabled());
    EXPECT_NE(WindowState(1) & TBSTATE_ENABLED, 0);
    EXPECT_GT(PixelsOf(startButton, clLime), 48 * 40);
    ClickOn(startButton);
    EXPECT_EQ(executed, std::vector<TAction*>{startTask});

    // The action's other values follow too.
    startTask->SetCaption(u"继续");
    startTask->SetImageIndex(3);
    EXPECT_EQ(WindowText(1), u"继续");
    EXPECT_GT(PixelsOf(startButton, clYellow), 48 * 40);
    startTask->SetVisible(false);
    EXPECT_NE(WindowState(1) & TBSTATE_HIDDEN, 0);
    EXPECT_EQ(separator->Left(), addButton->Left() + addButton->Width()) << "the others close up";
}

TEST_F(ToolBarFrameworkTest, AFlatBarShowsTheHotImageUnderThePointerAndTheHintAfterThePause) {
    bar->SetFlat(true);
    bar->SetHotImages(SolidImages(form, kHotColors));
    Run();
    EXPECT_GT(PixelsOf(homeButton, clBlue), 48 * 40);
    EXPECT_EQ(PixelsOf(homeButton, clNavy), 0);

    MoveTo(ScreenPoint(homeButton, {homeButton->Width() / 2, 10}));
    EXPECT_GT(PixelsOf(homeButton, clNavy), 48 * 40) << "the hot image";
    EXPECT_EQ(PixelsOf(homeButton, clBlue), 0);
    EXPECT_GT(PixelsOf(addButton, clRed), 48 * 40) << "the others stay cold";

    Wait(Application().HintPause() - 1);
    EXPECT_FALSE(HintShown());
    Wait(1);
    ASSERT_TRUE(HintShown());
    EXPECT_EQ(HintWindow()->Caption(), u"主页");

    // The next button's hint comes from its action.
    MoveTo(ScreenPoint(addButton, {addButton->Width() / 2, 10}));
    Wait(Application().HintShortPause());
    ASSERT_TRUE(HintShown());
    EXPECT_EQ(HintWindow()->Caption(), u"添加单一任务");
    EXPECT_GT(PixelsOf(addButton, clMaroon), 48 * 40);
    EXPECT_GT(PixelsOf(homeButton, clBlue), 48 * 40) << "cold again";
}

TEST_F(ToolBarFrameworkTest, CheckButtonsFollowTheWindowAndTheirGroup) {
    separator->SetStyle(tbsCheck);
    separator->SetCaption(u"A");
    separator->SetGrouped(true);
    homeButton->SetStyle(tbsCheck);
    homeButton->SetGrouped(true);
    Run();

    ClickOn(separator);
    EXPECT_TRUE(separator->Down());
    ClickOn(homeButton);
    EXPECT_FALSE(separator->Down()) << "checking one of a group lets the other up";
    EXPECT_TRUE(homeButton->Down());
    EXPECT_EQ(clicked, std::vector<TToolButton*>{homeButton});
    ClickOn(homeButton);
    EXPECT_TRUE(homeButton->Down()) << "one of a group stays down";

    homeButton->SetAllowAllUp(true);
    ClickOn(homeButton);
    EXPECT_FALSE(homeButton->Down());
    EXPECT_EQ(WindowState(3) & TBSTATE_CHECKED, 0);

    separator->SetDown(true);
    homeButton->SetDown(true);
    EXPECT_FALSE(separator->Down());
    EXPECT_EQ(WindowState(2) & TBSTATE_CHECKED, 0);
    EXPECT_NE(WindowState(3) & TBSTATE_CHECKED, 0);

    // A check button of a checked action is down.
    startTask->SetEnabled(true);
    startButton->SetStyle(tbsCheck);
    startTask->SetChecked(true);
    EXPECT_TRUE(startButton->Down());
    EXPECT_NE(WindowState(1) & TBSTATE_CHECKED, 0);
}

TEST_F(ToolBarFrameworkTest, RemovingAButtonKeepsTheOthersCommands) {
    delete addButton;
    ASSERT_EQ(bar->ButtonCount(), 4);
    EXPECT_EQ(SendMessageW(bar->Handle(), TB_BUTTONCOUNT, 0, 0), 4);
    EXPECT_EQ(homeButton->Index(), 2);
    EXPECT_EQ(homeButton->BoundsRect(), WindowRect(2));
    ClickOn(homeButton);
    EXPECT_EQ(clicked, std::vector<TToolButton*>{homeButton});

    homeButton->SetParent(nullptr);
    EXPECT_EQ(homeButton->Index(), -1);
    EXPECT_EQ(WindowText(2), u"添加特效");
    delete homeButton;
}

TEST_F(ToolBarFrameworkTest, ButtonsCaptionsAndStatesSurviveANewWindow) {
    separator->SetStyle(tbsCheck);
    separator->SetCaption(u"A");
    separator->SetGrouped(true);
    homeButton->SetStyle(tbsCheck);
    homeButton->SetGrouped(true);
    Run();
    ClickOn(homeButton); // checked by the window
    filterButton->SetWrap(true);
    const HWND old = bar->Handle();
    std::vector<std::tuple<String, BYTE, TRect>> before;
    for (int i = 0; i < bar->ButtonCount(); ++i) before.emplace_back(WindowText(i), WindowState(i), WindowRect(i));

    bar->SetFlat(true); // a new window
    ASSERT_NE(bar->Handle(), old);
    ASSERT_EQ(SendMessageW(bar->Handle(), TB_BUTTONCOUNT, 0, 0), bar->ButtonCount());
    for (int i = 0; i < bar->ButtonCount(); ++i) {
        EXPECT_EQ(WindowText(i), std::get<0>(before[size_t(i)])) << i;
        EXPECT_EQ(WindowState(i), std::get<1>(before[size_t(i)])) << i;
        EXPECT_EQ(WindowRect(i), std::get<2>(before[size_t(i)])) << i;
        EXPECT_EQ(bar->Buttons(i)->BoundsRect(), WindowRect(i)) << i;
    }
    EXPECT_TRUE(homeButton->Down());
    EXPECT_EQ(HIMAGELIST(SendMessageW(bar->Handle(), TB_GETIMAGELIST, 0, 0)), images->Handle());

    // Clicks reach the same buttons.
    ClickOn(separator);
    EXPECT_TRUE(separator->Down());
    EXPECT_FALSE(homeButton->Down());
}

TEST_F(ToolBarFrameworkTest, TheEdgesTakeTheirPlaceOutsideTheClientArea) {
    EXPECT_EQ(bar->ClientHeight(), 71 - 2) << "a lowered and a raised line above";
    EXPECT_EQ(bar->ClientWidth(), bar->Width());
    bar->SetEdgeBorders(TEdgeBorders{ebTop, ebBottom});
    EXPECT_EQ(bar->ClientHeight(), 71 - 4);
    bar->SetEdgeInner(esNone);
    EXPECT_EQ(bar->ClientHeight(), 71 - 2);
    bar->SetEdgeBorders({});
    EXPECT_EQ(bar->ClientHeight(), 71);
    EXPECT_EQ(addButton->BoundsRect(), WindowRect(0));
}

// Each look property comes to a new window as its style; the buttons come along.
TEST_F(ToolBarFrameworkTest, LookPropertiesBecomeTheWindowsStyle) {
    struct TCase {
        const char* name;
        std::function<void(bool)> set;
        DWORD style;
        bool byDefault;
    };
    const TCase cases[] = {
        {"Flat", [this](bool on) { bar->SetFlat(on); }, TBSTYLE_FLAT, false},
        {"List", [this](bool on) { bar->SetList(on); }, TBSTYLE_LIST, false},
        {"Wrapable", [this](bool on) { bar->SetWrapable(on); }, TBSTYLE_WRAPABLE, true},
    };
    for (const TCase& c : cases) {
        auto style = [this] { return DWORD(GetWindowLongW(bar->Handle(), GWL_STYLE)); };
        EXPECT_EQ((style() & c.style) != 0, c.byDefault) << c.name;
        c.set(!c.byDefault);
        EXPECT_EQ((style() & c.style) != 0, !c.byDefault) << c.name;
        EXPECT_EQ(SendMessageW(bar->Handle(), TB_BUTTONCOUNT, 0, 0), 5) << c.name;
        EXPECT_EQ(homeButton->BoundsRect(), WindowRect(3)) << c.name;
        c.set(c.byDefault);
    }
    EXPECT_EQ(DWORD(GetWindowLongW(bar->Handle(), GWL_STYLE)) & CCS_NODIVIDER, CCS_NODIVIDER)
        << "the framework draws the edges";

    bar->SetIndent(10);
    EXPECT_EQ(addButton->Left(), 10);
    EXPECT_EQ(addButton->BoundsRect(), WindowRect(0));
}

TEST_F(ToolBarFrameworkTest, ADividerDrawsALineWhereASeparatorLeavesSpace) {
    separator->SetWidth(12);
    EXPECT_EQ(WindowRect(2).Width(), 12) << "the window follows the separator's width";
    EXPECT_EQ(homeButton->Left(), separator->Left() + 12);
    EXPECT_EQ(PixelsOf(separator, clBtnShadow), 0);
    separator->SetStyle(tbsDivider);
    EXPECT_EQ(separator->Width(), 8);
    EXPECT_GE(PixelsOf(separator, clBtnShadow), separator->Height() - 4);
}

// The bar hears its image lists: a changed image shows, a freed list is let go.
TEST_F(ToolBarFrameworkTest, ImageListChangesReachTheWindow) {
    auto* disabled = SolidImages(form, kHotColors);
    bar->SetDisabledImages(disabled);
    EXPECT_GT(PixelsOf(startButton, clGreen), 48 * 40) << "the disabled list's image";
    EXPECT_EQ(HIMAGELIST(SendMessageW(bar->Handle(), TB_GETDISABLEDIMAGELIST, 0, 0)), disabled->Handle());

    TBitmap purple;
    purple.SetSize(48, 48);
    purple.Canvas()->Brush()->SetColor(clPurple);
    purple.Canvas()->FillRect(TRect{0, 0, 48, 48});
    images->Replace(2, &purple, nullptr);
    EXPECT_GT(PixelsOf(homeButton, clPurple), 48 * 40);

    delete disabled;
    EXPECT_EQ(bar->DisabledImages(), nullptr);
    EXPECT_EQ(SendMessageW(bar->Handle(), TB_GETDISABLEDIMAGELIST, 0, 0), 0);
    EXPECT_EQ(PixelsOf(startButton, clGreen), 0);
    delete images;
    EXPECT_EQ(SendMessageW(bar->Handle(), TB_GETIMAGELIST, 0, 0), 0);
    EXPECT_EQ(PixelsOf(homeButton, clPurple), 0);
}

TEST_F(ToolBarFrameworkTest, AutoSizeFitsTheRowsOfButtons) {
    bar->SetAlign(alNone);
    bar->SetWidth(2 * 115 + 20);
    bar->SetAutoSize(true);
    Run();
    const int rows = 1 + (filterButton->Top() - addButton->Top()) / 68;
    EXPECT_GT(rows, 1) << "the buttons wrap";
    EXPECT_EQ(bar->Height(), filterButton->Top() + filterButton->Height() + 2);
}

TEST(ToolBarUnit, TheComCtrlsUnitRegistersBothClassesWithTheirDefaults) {
    TStartedUiUnits units;
    TComponent owner(nullptr);
    TComponent* bar = FindClass("TToolBar")->CreateComponent(&owner);
    ASSERT_TRUE(dynamic_cast<TToolBar*>(bar));
    for (const char* name : {"ButtonWidth", "ButtonHeight", "ShowCaptions", "List", "Flat", "Wrapable", "EdgeInner",
                             "EdgeOuter", "EdgeBorders", "Indent"})
        EXPECT_TRUE(IsDefaultOrdValue(bar, name)) << name;
    TComponent* button = FindClass("TToolButton")->CreateComponent(&owner);
    ASSERT_TRUE(dynamic_cast<TToolButton*>(button));
    for (const char* name : {"Style", "ImageIndex", "Down", "Grouped", "AllowAllUp", "Wrap"})
        EXPECT_TRUE(IsDefaultOrdValue(button, name)) << name;
}

} // namespace
