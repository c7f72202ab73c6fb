#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "DibFixture.h"
#include "GeometryPrinters.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/Exceptions.h"
#include "platform/ui/Mouse.h"
#include "platform/ui/Screen.h"
#include "platform/ui/UiUnits.h"
#include "platform/ui/WinGeometry.h"
#include "platform/win/User.h"
#include "platform/win/icons/Icons.h"
#include "platform/win/text/Text.h"

namespace {

// Screen tests on the window system: a manual clock, a window class showing
// the I-beam whose procedure records WM_SETCURSOR (and can answer WM_NCHITTEST
// with a fixed code), the desktop given back as it was, and a check that no
// drawing object is left behind.
class ScreenTest : public GdiObjectsTest {
protected:
    static constexpr const char16_t* kClass = u"ScreenTestWindow";

    void SetUp() override {
        GdiObjectsTest::SetUp();
        clock_ = std::make_unique<TManualClock>(1'000'000);
        current_ = this;
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = &Proc;
        wc.hCursor = LoadCursorW(nullptr, IDC_IBEAM);
        wc.lpszClassName = kClass;
        ASSERT_NE(RegisterClassExW(&wc), 0);
    }
    void TearDown() override {
        for (HWND hwnd : windows_) DestroyWindow(hwnd);
        RunUntilIdle();
        SetCapture(nullptr);
        UnregisterClassW(kClass, nullptr);
        current_ = nullptr;
        clock_.reset();
        GdiObjectsTest::TearDown();
    }

    HWND CreatePopup(RECT r, DWORD style = WS_POPUP | WS_VISIBLE) {
        const HWND hwnd = CreateWindowExW(0, kClass, u"", style, r.left, r.top, r.right - r.left, r.bottom - r.top,
                                          nullptr, nullptr, nullptr, nullptr);
        windows_.push_back(hwnd);
        return hwnd;
    }
    void MovePointer(POINT pt) {
        DesktopMouseMove(pt);
        RunUntilIdle();
    }

    int hitCode = 0; // what the windows answer to WM_NCHITTEST; 0: the default
    std::vector<LPARAM> setCursorRequests;

private:
    static LRESULT Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (current_ && message == WM_NCHITTEST && current_->hitCode) return current_->hitCode;
        if (current_ && message == WM_SETCURSOR) current_->setCursorRequests.push_back(lParam);
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }

    static inline ScreenTest* current_ = nullptr;
    std::unique_ptr<TManualClock> clock_;
    TDesktopMetricsScope desktopScope_;
    std::vector<HWND> windows_;
};

HCURSOR Standard(LPCWSTR name) { return LoadCursorW(nullptr, name); }

// A cursor of our own (not shared): 16 x 16, all transparent.
HCURSOR MakeCursor() {
    const HBITMAP mask = CreateBitmap(16, 32, 1, 1, nullptr);
    ICONINFO info{FALSE, 0, 0, mask, nullptr};
    const HICON icon = CreateIconIndirect(&info);
    DeleteObject(ToGdiObject(mask));
    return reinterpret_cast<HCURSOR>(icon);
}

bool Alive(HCURSOR cursor) {
    const HICON copy = CopyIcon(reinterpret_cast<HICON>(cursor));
    if (copy) DestroyIcon(copy);
    return copy != nullptr;
}

// --- Cursors -----------------------------------------------------------------------

TEST_F(ScreenTest, EachBuiltInCursorNumberAnswersItsStandardCursor) {
    struct TCase {
        TCursor cursor;
        LPCWSTR shape; // null: no cursor
    } const cases[] = {{crDefault, IDC_ARROW},     {crNone, nullptr},          {crArrow, IDC_ARROW},
                       {crCross, IDC_CROSS},       {crIBeam, IDC_IBEAM},       {crSize, IDC_SIZEALL},
                       {crSizeNESW, IDC_SIZENESW}, {crSizeNS, IDC_SIZENS},     {crSizeNWSE, IDC_SIZENWSE},
                       {crSizeWE, IDC_SIZEWE},     {crUpArrow, IDC_UPARROW},   {crHourGlass, IDC_WAIT},
                       {crDrag, IDC_ARROW},        {crNoDrop, IDC_NO},         {crHSplit, IDC_SIZEWE},
                       {crVSplit, IDC_SIZENS},     {crMultiDrag, IDC_ARROW},   {crSQLWait, IDC_WAIT},
                       {crNo, IDC_NO},             {crAppStart, IDC_APPSTARTING}, {crHelp, IDC_HELP},
                       {crHandPoint, IDC_HAND},    {crSizeAll, IDC_SIZEALL}};
    TScreen screen;
    for (const TCase& c : cases) {
        const HCURSOR expected = c.shape ? Standard(c.shape) : nullptr;
        EXPECT_EQ(screen.Cursors(c.cursor), expected) << "cursor " << c.cursor;
        if (!c.shape || c.cursor == crDefault) continue;
        screen.SetCursor(c.cursor);
        EXPECT_EQ(GetCursor(), expected) << "shown for cursor " << c.cursor;
        EXPECT_EQ(screen.Cursor(), c.cursor);
    }
    EXPECT_EQ(crSize, crSizeAll);
}

TEST_F(ScreenTest, NumbersWithoutACursorAnswerTheDefaultCursorAndProgramsAddTheirOwn) {
    TScreen screen;
    EXPECT_EQ(screen.Cursors(62), Standard(IDC_ARROW));
    EXPECT_EQ(screen.Cursors(-5), Standard(IDC_ARROW));

    screen.SetCursors(62, screen.Cursors(crHandPoint));
    screen.SetCursors(368, screen.Cursors(crMultiDrag));
    EXPECT_EQ(screen.Cursors(62), Standard(IDC_HAND));
    screen.SetCursor(62);
    EXPECT_EQ(GetCursor(), Standard(IDC_HAND));

    screen.SetCursors(crDefault, Standard(IDC_CROSS));
    EXPECT_EQ(screen.Cursors(63), Standard(IDC_CROSS));
    EXPECT_EQ(screen.Cursors(crNone), nullptr);
    screen.SetCursors(crDefault, nullptr);
    EXPECT_EQ(screen.Cursors(63), Standard(IDC_ARROW));
}

TEST_F(ScreenTest, TheScreenDestroysACursorOnceNoNumberHoldsIt) {
    const HCURSOR shared = MakeCursor();
    const HCURSOR kept = MakeCursor();
    {
        TScreen screen;
        screen.SetCursors(370, shared);
        screen.SetCursors(371, shared);
        screen.SetCursors(400, kept);
        screen.SetCursors(401, kept);
        screen.SetCursors(370, Standard(IDC_ARROW));
        EXPECT_TRUE(Alive(shared)) << "371 still holds it";
        screen.SetCursor(371);
        ASSERT_EQ(GetCursor(), shared);
        screen.SetCursors(371, Standard(IDC_HAND));
        EXPECT_FALSE(Alive(shared));
        EXPECT_EQ(GetCursor(), Standard(IDC_HAND)) << "the screen cursor shows its new shape";
        EXPECT_TRUE(Alive(kept));
    }
    EXPECT_FALSE(Alive(kept)) << "freed once with the screen";
}

TEST_F(ScreenTest, AScreenCursorShowsAtOnceAndBackAtDefaultTheWindowUnderThePointerChooses) {
    const HWND w = CreatePopup({100, 100, 300, 300});
    MovePointer({150, 150});
    ASSERT_EQ(GetCursor(), Standard(IDC_IBEAM));
    TScreen screen;
    setCursorRequests.clear();

    screen.SetCursor(crHourGlass);
    EXPECT_EQ(GetCursor(), Standard(IDC_WAIT));
    EXPECT_EQ(DesktopCursor(), Standard(IDC_WAIT));
    EXPECT_TRUE(setCursorRequests.empty());
    screen.SetCursor(crNone);
    EXPECT_EQ(GetCursor(), nullptr);

    screen.SetCursor(crDefault);
    EXPECT_EQ(GetCursor(), Standard(IDC_IBEAM));
    EXPECT_EQ(setCursorRequests, (std::vector<LPARAM>{MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)}));
    screen.SetCursor(crDefault);
    EXPECT_EQ(setCursorRequests.size(), 1u) << "no change, no request";

    // Over the frame the window says what lies there, and the frame shows the arrow.
    hitCode = HTCAPTION;
    screen.SetCursor(crHourGlass);
    screen.SetCursor(crDefault);
    EXPECT_EQ(GetCursor(), Standard(IDC_ARROW));
    EXPECT_EQ(setCursorRequests.back(), MAKELPARAM(HTCAPTION, WM_MOUSEMOVE));

    // Over no window of ours the cursor stays as it is.
    hitCode = 0;
    DestroyWindow(w);
    screen.SetCursor(crHourGlass);
    screen.SetCursor(crDefault);
    EXPECT_EQ(GetCursor(), Standard(IDC_WAIT));
}

// --- Monitors and sizes -------------------------------------------------------------

// A primary 1920 x 1080 monitor with a 40-pixel panel at its bottom, and a
// second one left of it and higher up (negative origin) with a panel at its
// top. The second comes first in the desktop's list.
class ScreenMonitors : public ScreenTest {
protected:
    static constexpr RECT kPrimary{0, 0, 1920, 1080};
    static constexpr RECT kPrimaryWork{0, 0, 1920, 1040};
    static constexpr RECT kSecond{-1280, -200, 0, 824};
    static constexpr RECT kSecondWork{-1280, -170, 0, 824};

    void SetUp() override {
        ScreenTest::SetUp();
        TDesktopMetrics desktop;
        desktop.Monitors = {TMonitorLayout{kSecond, kSecondWork, false, u"\\\\.\\DISPLAY2"},
                            TMonitorLayout{kPrimary, kPrimaryWork, true, u"\\\\.\\DISPLAY1"}};
        SetDesktopMetrics(desktop);
        screen = std::make_unique<TScreen>();
        ASSERT_EQ(screen->MonitorCount(), 2);
        second = screen->Monitors(0);
        primary = screen->Monitors(1);
    }
    void TearDown() override {
        screen.reset();
        ScreenTest::TearDown();
    }

    std::unique_ptr<TScreen> screen;
    TMonitor* primary = nullptr;
    TMonitor* second = nullptr;
};

TEST_F(ScreenMonitors, EachMonitorAnswersItsBoundsWorkAreaAndWhetherItIsPrimary) {
    struct TCase {
        TMonitor* monitor;
        int num;
        RECT bounds, work;
        bool primary;
    } const cases[] = {{second, 0, kSecond, kSecondWork, false}, {primary, 1, kPrimary, kPrimaryWork, true}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.num);
        EXPECT_EQ(c.monitor->MonitorNum(), c.num);
        EXPECT_EQ(c.monitor->Handle(), MonitorFromPoint(POINT{c.bounds.left, c.bounds.top}, MONITOR_DEFAULTTONULL));
        EXPECT_EQ(c.monitor->BoundsRect(), ToTRect(c.bounds));
        EXPECT_EQ(c.monitor->WorkareaRect(), ToTRect(c.work));
        EXPECT_EQ(c.monitor->Left(), c.bounds.left);
        EXPECT_EQ(c.monitor->Top(), c.bounds.top);
        EXPECT_EQ(c.monitor->Width(), c.bounds.right - c.bounds.left);
        EXPECT_EQ(c.monitor->Height(), c.bounds.bottom - c.bounds.top);
        EXPECT_EQ(c.monitor->Primary(), c.primary);
    }
    EXPECT_THROW(screen->Monitors(2), EListError);
    EXPECT_THROW(screen->Monitors(-1), EListError);
}

TEST_F(ScreenMonitors, ScreenDesktopAndWorkAreaSizes) {
    EXPECT_EQ(screen->Width(), 1920);
    EXPECT_EQ(screen->Height(), 1080);
    EXPECT_EQ(screen->DesktopRect(), (TRect{-1280, -200, 1920, 1080}));
    EXPECT_EQ((TRect{screen->DesktopLeft(), screen->DesktopTop(), screen->DesktopWidth(), screen->DesktopHeight()}),
              (TRect{-1280, -200, 3200, 1280}));
    EXPECT_EQ(screen->WorkAreaRect(), ToTRect(kPrimaryWork));
    EXPECT_EQ(
        (TRect{screen->WorkAreaLeft(), screen->WorkAreaTop(), screen->WorkAreaWidth(), screen->WorkAreaHeight()}),
        (TRect{0, 0, 1920, 1040}));
    EXPECT_EQ(screen->PixelsPerInch(), 96);
}

TEST_F(ScreenMonitors, PointsRectanglesAndWindowsFindTheirMonitorOrTheDefaultAsked) {
    // Below the second monitor and left of the primary: nearer the second.
    const TPoint gap{-500, 900};
    const TRect farLeft{-3000, 0, -2900, 100};
    // Mostly on the primary.
    const TRect across{-100, 0, 300, 100};
    const HWND onSecond = CreatePopup({-600, -100, -400, 100});
    const HWND acrossWindow = CreatePopup({-100, 500, 300, 600});
    const HWND offScreen = CreatePopup({-3000, 0, -2900, 100});
    struct TCase {
        const char* name;
        TMonitorDefaultTo fallback;
        TMonitor* point;
        TMonitor* rect;
        TMonitor* window;
    } const cases[] = {{"nearest", mdNearest, second, second, second},
                       {"null", mdNull, nullptr, nullptr, nullptr},
                       {"primary", mdPrimary, primary, primary, primary}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(screen->MonitorFromPoint(gap, c.fallback), c.point);
        EXPECT_EQ(screen->MonitorFromRect(farLeft, c.fallback), c.rect);
        EXPECT_EQ(screen->MonitorFromWindow(offScreen, c.fallback), c.window);
        EXPECT_EQ(screen->MonitorFromPoint({-1, -200}, c.fallback), second);
        EXPECT_EQ(screen->MonitorFromPoint({0, 1079}, c.fallback), primary);
        EXPECT_EQ(screen->MonitorFromRect(across, c.fallback), primary);
        EXPECT_EQ(screen->MonitorFromWindow(onSecond, c.fallback), second);
        EXPECT_EQ(screen->MonitorFromWindow(acrossWindow, c.fallback), primary);
    }
}

TEST_F(ScreenMonitors, TheMonitorsFollowTheDesktop) {
    TDesktopMetrics desktop;
    desktop.Monitors = {TMonitorLayout{kSecond, kSecondWork, false, u"\\\\.\\DISPLAY2"},
                        TMonitorLayout{kPrimary, kPrimaryWork, true, u"\\\\.\\DISPLAY1"},
                        TMonitorLayout{{1920, 0, 3200, 1024}, {1920, 0, 3200, 1024}, false, u"\\\\.\\DISPLAY3"}};
    SetDesktopMetrics(desktop);
    ASSERT_EQ(screen->MonitorCount(), 3);
    EXPECT_EQ(screen->Monitors(0), second) << "a monitor the desktop keeps keeps its object";
    EXPECT_EQ(screen->Monitors(1), primary);
    EXPECT_EQ(screen->Monitors(2)->BoundsRect(), (TRect{1920, 0, 3200, 1024}));
    EXPECT_EQ(screen->MonitorFromPoint({2000, 10}, mdNull), screen->Monitors(2));
    EXPECT_EQ(screen->DesktopRect(), (TRect{-1280, -200, 3200, 1080}));

    desktop.Monitors = {TMonitorLayout{{0, 0, 1280, 1024}, {0, 0, 1280, 1000}, true, u"\\\\.\\DISPLAY1"}};
    SetDesktopMetrics(desktop);
    ASSERT_EQ(screen->MonitorCount(), 1);
    TMonitor* only = screen->Monitors(0);
    EXPECT_EQ(only->BoundsRect(), (TRect{0, 0, 1280, 1024}));
    EXPECT_TRUE(only->Primary());
    EXPECT_EQ(only->MonitorNum(), 0);
    EXPECT_EQ(screen->MonitorFromPoint({-500, 900}, mdNearest), only);
    EXPECT_EQ(screen->Width(), 1280);
    EXPECT_EQ(screen->WorkAreaRect(), (TRect{0, 0, 1280, 1000}));
}

// --- Fonts --------------------------------------------------------------------------

TEST_F(ScreenTest, HintIconAndMenuFontsAreTheSystemsOwn) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
    LOGFONTW iconTitle{};
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof iconTitle, &iconTitle, 0));
    TScreen screen;
    struct TCase {
        const char* name;
        TFont* font;
        const LOGFONTW& system;
    } const cases[] = {{"hint", screen.HintFont(), metrics.lfStatusFont},
                       {"icon", screen.IconFont(), iconTitle},
                       {"menu", screen.MenuFont(), metrics.lfMenuFont}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.font->Name(), String(c.system.lfFaceName));
        EXPECT_EQ(c.font->Height(), c.system.lfHeight);
        EXPECT_EQ(c.font->Style().Contains(fsBold), c.system.lfWeight >= FW_SEMIBOLD);
    }
    EXPECT_EQ(screen.HintFont()->Color(), clInfoText);
    EXPECT_EQ(screen.MenuFont()->Color(), clWindowText);
}

// --- Forms --------------------------------------------------------------------------

// No form class exists here: forms are stand-in addresses the screen never uses.
class ScreenForms : public ::testing::Test {
protected:
    void SetUp() override {
        screen.OnActiveFormChange = [this](TObject* sender) {
            EXPECT_EQ(sender, &screen);
            ++formChanges;
        };
        screen.OnActiveControlChange = [this](TObject* sender) {
            EXPECT_EQ(sender, &screen);
            ++controlChanges;
        };
    }
    static TCustomForm* Form(int n) { return reinterpret_cast<TCustomForm*>(&slots_[n]); }
    static TWinControl* Control(int n) { return reinterpret_cast<TWinControl*>(&slots_[10 + n]); }

    TScreen screen;
    int formChanges = 0;
    int controlChanges = 0;

private:
    static inline int slots_[20];
};

TEST_F(ScreenForms, FormsListInTheOrderTheyCameAndLeaveWhenRemoved) {
    EXPECT_EQ(screen.FormCount(), 0);
    for (int n : {0, 1, 2, 1}) screen.AddForm(Form(n));
    ASSERT_EQ(screen.FormCount(), 3);
    ASSERT_EQ(screen.CustomFormCount(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(screen.Forms(i), Form(i));
        EXPECT_EQ(screen.CustomForms(i), Form(i));
    }
    EXPECT_THROW(screen.Forms(3), EListError);

    screen.RemoveForm(Form(1));
    screen.RemoveForm(Form(7));
    ASSERT_EQ(screen.FormCount(), 2);
    EXPECT_EQ(screen.Forms(1), Form(2));
    EXPECT_EQ(formChanges + controlChanges, 0);
}

TEST_F(ScreenForms, ActiveFormAndControlRaiseTheirEventsOncePerRealChange) {
    screen.AddForm(Form(0));
    screen.AddForm(Form(1));
    screen.SetActiveForm(Form(0));
    screen.SetActiveForm(Form(0));
    screen.SetActiveControl(Control(0));
    screen.SetActiveControl(Control(0));
    EXPECT_EQ(screen.ActiveForm(), Form(0));
    EXPECT_EQ(screen.ActiveCustomForm(), Form(0));
    EXPECT_EQ(screen.ActiveControl(), Control(0));
    EXPECT_EQ(formChanges, 1);
    EXPECT_EQ(controlChanges, 1);

    screen.SetActiveForm(Form(1));
    screen.SetActiveControl(Control(1));
    EXPECT_EQ(formChanges, 2);
    EXPECT_EQ(controlChanges, 2);

    // Removing another form leaves the active ones.
    screen.RemoveForm(Form(0));
    EXPECT_EQ(screen.ActiveForm(), Form(1));
    EXPECT_EQ(screen.ActiveControl(), Control(1));
    EXPECT_EQ(formChanges, 2);

    screen.RemoveForm(Form(1));
    EXPECT_EQ(screen.ActiveForm(), nullptr);
    EXPECT_EQ(screen.ActiveCustomForm(), nullptr);
    EXPECT_EQ(screen.ActiveControl(), nullptr);
    EXPECT_EQ(formChanges, 3);
    EXPECT_EQ(controlChanges, 3);
    EXPECT_EQ(screen.FormCount(), 0);
}

// --- The program's screen and mouse -------------------------------------------------

TEST_F(ScreenTest, TheScreenUnitMakesTheProgramsScreenAndFreesIt) {
    TUnitRegistry units;
    RegisterUiUnits(units);
    units.Initialize();
    TScreen& first = Screen();
    EXPECT_EQ(&Screen(), &first);
    first.SetCursors(500, Standard(IDC_CROSS));
    units.Finalize();
    EXPECT_EQ(Screen().Cursors(500), Standard(IDC_ARROW)) << "a new screen after the old one was freed";
    FreeScreen();
}

TEST_F(ScreenTest, TheMouseAnswersCaptureCursorPositionAndTheSystemsSettings) {
    const HWND w = CreatePopup({0, 0, 100, 100});
    EXPECT_EQ(&Mouse(), &Mouse());
    TMouse mouse;
    EXPECT_TRUE(mouse.MousePresent());
    mouse.SetCapture(w);
    EXPECT_EQ(GetCapture(), w);
    EXPECT_EQ(mouse.Capture(), w);
    mouse.SetCapture(nullptr);
    EXPECT_EQ(GetCapture(), nullptr);

    mouse.SetCursorPos({40, 50});
    RunUntilIdle();
    EXPECT_EQ(mouse.CursorPos(), (TPoint{40, 50}));

    UINT lines = 0;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0));
    EXPECT_EQ(mouse.WheelScrollLines(), int(lines));

    EXPECT_EQ(mouse.DragThreshold(), GetSystemMetrics(SM_CXDRAG));
    TDesktopMetrics desktop = DesktopMetrics();
    desktop.DragDistance = 9;
    SetDesktopMetrics(desktop);
    EXPECT_EQ(mouse.DragThreshold(), 9) << "follows the desktop until the program sets its own";
    mouse.SetDragThreshold(6);
    EXPECT_EQ(mouse.DragThreshold(), 6);
}

} // namespace
