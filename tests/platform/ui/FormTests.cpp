#include "ControlFixture.h"

#include <string>

#include "platform/ui/WinGeometry.h"
#include "platform/win/User.h"
#include "platform/win/icons/Icons.h"

namespace {

// The desktop as the form tests want it; the one before comes back after.
class FormPlacementTest : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        TDesktopMetrics desktop = DesktopMetrics();
        // A panel on the left of the primary monitor: its work area starts at x = 40.
        desktop.Monitors = {{RECT{0, 0, 1280, 800}, RECT{40, 0, 1280, 770}, true, {}},
                            {RECT{1280, 0, 2560, 1024}, RECT{1280, 0, 2560, 1024}, false, {}}};
        SetDesktopMetrics(desktop);
    }
    TRect WindowRect(TForm* form) {
        RECT r;
        GetWindowRect(form->Handle(), &r);
        return ToTRect(r);
    }

    TDesktopMetricsScope desktopScope_;
};

TEST_F(FormTest, BorderStylesAndIconsBecomeTheWindowsStyles) {
    struct TCase {
        TFormBorderStyle border;
        DWORD present, absent, exPresent;
    };
    const TCase cases[] = {
        {bsSizeable, WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, WS_POPUP, 0},
        {bsSingle, WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, WS_THICKFRAME | WS_MAXIMIZEBOX, 0},
        {bsDialog, WS_CAPTION | WS_SYSMENU, WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, WS_EX_DLGMODALFRAME},
        {bsToolWindow, WS_CAPTION | WS_SYSMENU, WS_THICKFRAME | WS_MAXIMIZEBOX, WS_EX_TOOLWINDOW},
        {bsSizeToolWin, WS_CAPTION | WS_THICKFRAME, WS_MAXIMIZEBOX, WS_EX_TOOLWINDOW},
        {bsNone, WS_POPUP, WS_CAPTION | WS_THICKFRAME | WS_SYSMENU, 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::to_string(int(c.border)));
        TForm* form = Application().CreateForm<TForm>();
        form->SetBorderStyle(c.border);
        form->Show();
        const DWORD style = DWORD(GetWindowLongW(form->Handle(), GWL_STYLE));
        const DWORD exStyle = DWORD(GetWindowLongW(form->Handle(), GWL_EXSTYLE));
        EXPECT_EQ(style & c.present, c.present);
        EXPECT_EQ(style & c.absent, 0u);
        EXPECT_EQ(exStyle & c.exPresent, c.exPresent);
        delete form;
    }
}

TEST_F(FormTest, BorderIconsAndStayOnTopChangeOnTheLivingWindow) {
    TForm* form = ShownForm({10, 10, 300, 200});
    HWND window = form->Handle();
    form->SetBorderIcons({biSystemMenu});
    EXPECT_EQ(form->Handle(), window) << "no new window for new icons";
    EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
    EXPECT_NE(GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE, 0);
    form->SetFormStyle(fsStayOnTop);
    EXPECT_NE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    form->SetFormStyle(fsNormal);
    EXPECT_EQ(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    // A new border style needs a new window; the form keeps its bounds and caption.
    form->SetCaption(u"转换");
    form->SetBorderStyle(bsDialog);
    EXPECT_NE(GetWindowLongW(form->Handle(), GWL_EXSTYLE) & WS_EX_DLGMODALFRAME, 0);
    EXPECT_EQ(form->Caption(), String(u"转换"));
    EXPECT_EQ(form->BoundsRect(), (TRect{10, 10, 300, 200}));
}

TEST_F(FormPlacementTest, CentredFormsLandOnTheWorkAreaOrOverTheirForm) {
    TForm* main = ShownForm({300, 200, 900, 600});
    struct TCase {
        TPosition position;
        TRect expected;
    };
    const TCase cases[] = {
        // The primary work area is 40..1280 x 0..770.
        {poScreenCenter, {510, 285, 810, 485}},
        {poMainFormCenter, {450, 300, 750, 500}},
        {poOwnerFormCenter, {450, 300, 750, 500}},
        {poDesigned, {5, 6, 305, 206}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::to_string(int(c.position)));
        auto* form = new TForm(main);
        form->SetPosition(c.position);
        form->SetBounds(5, 6, 300, 200);
        form->Show();
        PumpMessages();
        EXPECT_EQ(WindowRect(form), c.expected);
        delete form;
    }
}

TEST_F(FormPlacementTest, ACentredFormStaysInsideTheWorkArea) {
    // The main form hangs over the left edge: the dialog centred on it is pulled in.
    TForm* main = ShownForm({-200, 100, 200, 400});
    auto* form = new TForm(main);
    form->SetPosition(poMainFormCenter);
    form->SetBounds(0, 0, 300, 200);
    form->Show();
    PumpMessages();
    EXPECT_EQ(WindowRect(form), (TRect{40, 150, 340, 350}));
}

TEST_F(FormTest, AFrameHoldsControlsAndFollowsItsParentsFontAndColour) {
    TForm* form = ShownForm({0, 0, 400, 300});
    form->SetColor(clWindow);
    form->Font()->SetSize(12);
    auto* frame = new TFrame(form);
    frame->SetAlign(alTop);
    frame->SetHeight(120);
    frame->SetParent(form);
    auto* child = new TTestPanel(form);
    child->SetAlign(alClient);
    child->SetParent(frame);
    PumpMessages();
    EXPECT_TRUE(frame->ControlStyle().Contains(csAcceptsControls));
    EXPECT_EQ(frame->BoundsRect(), (TRect{0, 0, 400, 120}));
    EXPECT_EQ(child->BoundsRect(), (TRect{0, 0, 400, 120}));
    EXPECT_EQ(frame->Color(), clWindow);
    EXPECT_EQ(child->Font()->Size(), 12);
    form->Font()->SetSize(10);
    EXPECT_EQ(child->Font()->Size(), 10);
    EXPECT_TRUE(IsChild(form->Handle(), child->Handle()));
}

TEST_F(FormTest, WindowStateFollowsTheWindowAndReachesIt) {
    TForm* form = ShownForm({20, 20, 300, 200});
    form->SetWindowState(wsMaximized);
    EXPECT_TRUE(IsZoomed(form->Handle()));
    EXPECT_EQ(form->WindowState(), wsMaximized);
    ShowWindow(form->Handle(), SW_MINIMIZE);
    EXPECT_EQ(form->WindowState(), wsMinimized);
    form->SetWindowState(wsNormal);
    EXPECT_FALSE(IsIconic(form->Handle()));
    EXPECT_FALSE(IsZoomed(form->Handle()));
}

TEST_F(FormTest, TheFormsIconIsItsWindowsIconAlsoAfterANewWindow) {
    TForm* form = ShownForm({10, 10, 300, 200});
    EXPECT_EQ(SendMessageW(form->Handle(), WM_GETICON, ICON_BIG, 0), 0);
    form->Icon()->SetHandle(CopyIcon(LoadIconW(nullptr, IDI_INFORMATION)));
    const LRESULT icon = SendMessageW(form->Handle(), WM_GETICON, ICON_BIG, 0);
    EXPECT_EQ(icon, LRESULT(form->Icon()->Handle()));
    EXPECT_EQ(SendMessageW(form->Handle(), WM_GETICON, ICON_SMALL, 0), icon);
    form->SetBorderStyle(bsDialog); // a new window
    EXPECT_EQ(SendMessageW(form->Handle(), WM_GETICON, ICON_BIG, 0), icon);
    form->Icon()->SetHandle(nullptr);
    EXPECT_EQ(SendMessageW(form->Handle(), WM_GETICON, ICON_BIG, 0), 0);
}

} // namespace
