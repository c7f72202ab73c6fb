// The sizes the desktop may give a presented window follow the tracking sizes
// the window answers.

#include "PresenterFixture.h"

namespace {

constexpr int kNoLimit = (1 << 24) - 1; // QWindow's own maximum size
constexpr RECT kPlace{100, 100, 400, 300};

class SizeLimitsTest : public PresenterTest {
protected:
    // Hwnd answers Minimum and Maximum as its tracking sizes from now on.
    void AnswerTrackSizes(HWND hwnd, POINT minimum, POINT maximum) {
        Answer(hwnd, WM_GETMINMAXINFO, [minimum, maximum](WPARAM, LPARAM lParam) {
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            info->ptMinTrackSize = minimum;
            info->ptMaxTrackSize = maximum;
            return std::optional<LRESULT>(0);
        });
    }
    static void ChangeFrame(HWND hwnd) {
        SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        SettleDesktop();
    }
    static std::pair<QSize, QSize> LimitsOf(HWND hwnd) {
        return {QtWindow(hwnd)->minimumSize(), QtWindow(hwnd)->maximumSize()};
    }
};

struct TLimitsCase {
    const char* name;
    DWORD style;
    POINT minimum, maximum; // answered
    QSize shownMinimum, shownMaximum;
};

const TLimitsCase kLimitsCases[] = {
    {"sizable form", WS_OVERLAPPEDWINDOW, {150, 120}, {400, 300}, {150, 120}, {400, 300}},
    {"equal sizes fix a sizable form", WS_OVERLAPPEDWINDOW, {300, 200}, {300, 200}, {300, 200}, {300, 200}},
    {"a maximum of 0 limits nothing", WS_OVERLAPPEDWINDOW, {150, 120}, {0, 0}, {150, 120}, {kNoLimit, kNoLimit}},
    {"a form without sizing frame keeps its size", WS_POPUP | WS_CAPTION | WS_SYSMENU, {150, 120}, {400, 300},
     {300, 200}, {300, 200}},
    {"a popup is sized by us alone", WS_POPUP | WS_THICKFRAME, {150, 120}, {400, 300}, {0, 0}, {kNoLimit, kNoLimit}},
};

// The window is asked once when it is shown (its answer at creation came
// before its procedure knew better).
TEST_F(SizeLimitsTest, AShownWindowsAnsweredTrackingSizesBecomeItsQWindowsLimits) {
    for (const TLimitsCase& c : kLimitsCases) {
        SCOPED_TRACE(c.name);
        const HWND hwnd = Create(c.style, kPlace);
        PaintIn(hwnd, 0);
        AnswerTrackSizes(hwnd, c.minimum, c.maximum);
        ClearRecord();
        ShowWindow(hwnd, SW_SHOWNA);
        SettleDesktop();
        ASSERT_NE(QtWindow(hwnd), nullptr);
        EXPECT_EQ(LimitsOf(hwnd), std::pair(c.shownMinimum, c.shownMaximum));
        EXPECT_EQ(QtWindow(hwnd)->geometry(), QRect(100, 100, 300, 200));
        const bool sizable = c.style & WS_THICKFRAME;
        EXPECT_EQ(MessagesOf(hwnd, {WM_GETMINMAXINFO}).size(), sizable ? 1u : 0u);
        DestroyWindow(hwnd);
    }
}

TEST_F(SizeLimitsTest, ANewAnswerReachesTheDesktopWhenTheFrameChangesOrTheWindowIsShownAgain) {
    const HWND form = Show(WS_OVERLAPPEDWINDOW, kPlace);
    const QSize defaultMinimum(GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK));
    const QSize defaultMaximum(GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK));
    EXPECT_EQ(LimitsOf(form), std::pair(defaultMinimum, defaultMaximum));

    // Fixed at its size: the desktop's resize is refused and undone.
    AnswerTrackSizes(form, {300, 200}, {300, 200});
    ChangeFrame(form);
    EXPECT_EQ(LimitsOf(form), std::pair(QSize(300, 200), QSize(300, 200)));
    QtWindow(form)->resize(500, 400);
    SettleDesktop();
    RECT r;
    GetWindowRect(form, &r);
    EXPECT_EQ(r, kPlace);
    EXPECT_EQ(QtWindow(form)->size(), QSize(300, 200));

    // Answered while hidden, shown again.
    ShowWindow(form, SW_HIDE);
    AnswerTrackSizes(form, {200, 150}, {800, 600});
    ShowWindow(form, SW_SHOWNA);
    SettleDesktop();
    EXPECT_EQ(LimitsOf(form), std::pair(QSize(200, 150), QSize(800, 600)));

    // Without its sizing frame it keeps its size whatever it answers.
    SetWindowLongW(form, GWL_STYLE, GetWindowLongW(form, GWL_STYLE) & ~WS_THICKFRAME);
    ChangeFrame(form);
    EXPECT_EQ(LimitsOf(form), std::pair(QSize(300, 200), QSize(300, 200)));
    SetWindowLongW(form, GWL_STYLE, GetWindowLongW(form, GWL_STYLE) | WS_THICKFRAME);
    ChangeFrame(form);
    EXPECT_EQ(LimitsOf(form), std::pair(QSize(200, 150), QSize(800, 600)));
}

} // namespace
