// The common controls together, laid out as the main window lays them out,
// checked on the composed screen.

#include "../ControlFixture.h"

#include "../../../../tools/demos/MainWindowForm.h"
#include "platform/win/User.h"
#include "platform/win/backend/qt/QtShapeRasterizer.h"
#include "platform/win/controls/CommonControlConstants.h"
#include "platform/win/gdi/Shapes.h"
#include "platform/win/paint/Composite.h"
#include "platform/win/system/SystemColors.h"

namespace {

class MainWindowFormTest : public FormTest {
protected:
    void SetUp() override {
        InstallQtShapeRasterizer(); // the pictures' rounded tiles
        form = ShownForm({0, 0, 980, 560});
        parts = BuildMainWindowLikeForm(form);
        PumpMessages();
        RunUntilIdle();
    }
    void TearDown() override {
        FormTest::TearDown();
        SetShapeRasterizer(nullptr);
    }

    // Screen pixels of a control's client rectangle (client coordinates) of one colour.
    int PixelsOf(TControl* control, TRect area, COLORREF rgb) {
        const TPoint origin = control->ClientToScreen({0, 0});
        const RECT screen{origin.X + area.Left, origin.Y + area.Top, origin.X + area.Right, origin.Y + area.Bottom};
        const TDesktopImage image = ComposeDesktop(screen);
        int count = 0;
        for (int y = screen.top; y < screen.bottom; ++y)
            for (int x = screen.left; x < screen.right; ++x) {
                const uint32_t argb = image.Pixel(x, y);
                if (RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF) == rgb) ++count;
            }
        return count;
    }
    int PixelsOf(TControl* control, COLORREF rgb) { return PixelsOf(control, control->ClientRect(), rgb); }

    TForm* form = nullptr;
    TMainWindowLikeForm parts;
};

TEST_F(MainWindowFormTest, TheControlsShareTheWindowAsTheMainWindowDoes) {
    const int width = form->ClientWidth(), height = form->ClientHeight();
    EXPECT_EQ(parts.toolBar->BoundsRect(), (TRect{0, 0, width, 71}));
    EXPECT_EQ(parts.statusBar->Top() + parts.statusBar->Height(), height);
    EXPECT_EQ(parts.seekBar->Top() + parts.seekBar->Height(), parts.statusBar->Top());
    EXPECT_EQ(parts.details->BoundsRect(), (TRect{0, 71, width, parts.seekBar->Top()}));

    // The details: one tab, "Logs", whose sheet fills the display area and shows the log.
    const HWND tabs = parts.details->Handle();
    EXPECT_EQ(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), 1);
    EXPECT_EQ(parts.details->ActivePage(), parts.logs);
    EXPECT_FALSE(parts.taskInfo->Visible());
    const TRect client = parts.details->ClientRect();
    RECT display{client.Left, client.Top, client.Right, client.Bottom};
    SendMessageW(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
    EXPECT_EQ(parts.logs->BoundsRect(), (TRect{display.left, display.top, display.right, display.bottom}));
    EXPECT_EQ(parts.log->BoundsRect(), parts.logs->ClientRect());
    EXPECT_EQ(parts.log->Items()->Count(), 5);
}

TEST_F(MainWindowFormTest, PixelsShowThePicturesCaptionsLogSelectionAndStatus) {
    using namespace main_window_form;
    // Each picture on its button, the caption under it in the button text colour.
    const COLORREF text = GetSysColor(COLOR_BTNTEXT);
    for (int i = 0; i < parts.toolBar->ButtonCount(); ++i) {
        TToolButton* button = parts.toolBar->Buttons(i);
        if (button->Style() == tbsSeparator) continue;
        SCOPED_TRACE(i);
        EXPECT_GT(PixelsOf(button, ColorToRGB(kTileColors[button->ImageIndex()])), 48 * 48 / 2);
        const TRect caption{0, 52, button->Width(), button->Height()};
        EXPECT_GT(PixelsOf(button, caption, text), 20) << "a caption below the picture";
    }

    // The log's chosen line is highlighted across the list.
    parts.log->SetItemIndex(2);
    RunUntilIdle();
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    EXPECT_GE(PixelsOf(parts.log, highlight), parts.log->ClientWidth() * (parts.log->ItemHeight() - 4));

    // The seek bar's cut marks: the channel is highlighted between them only.
    const HWND seek = parts.seekBar->Handle();
    RECT channel{};
    SendMessageW(seek, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
    RECT thumb{};
    SendMessageW(seek, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    const int usable = (channel.right - channel.left) - (thumb.right - thumb.left);
    const auto xOf = [&](int position) { return channel.left + (thumb.right - thumb.left) / 2 + usable * position / 600; };
    const int middle = (channel.top + channel.bottom) / 2;
    const auto highlighted = [&](int x) { return PixelsOf(parts.seekBar, TRect{x, middle, x + 1, middle + 1}, highlight) == 1; };
    EXPECT_TRUE(highlighted(xOf(300))) << "inside the cut marks";
    EXPECT_FALSE(highlighted(xOf(60))) << "before them";
    EXPECT_FALSE(highlighted(xOf(500))) << "after them";

    // The status panel's text within its 240 pixels, nothing to its right.
    RECT panel{};
    ASSERT_TRUE(SendMessageW(parts.statusBar->Handle(), SB_GETRECT, 0, reinterpret_cast<LPARAM>(&panel)));
    EXPECT_LE(panel.right, 240);
    EXPECT_GT(PixelsOf(parts.statusBar, TRect{panel.left + 2, panel.top + 2, panel.right - 2, panel.bottom - 2}, text), 20);
    EXPECT_EQ(PixelsOf(parts.statusBar, TRect{panel.right + 4, panel.top + 2, parts.statusBar->Width() - 20, panel.bottom - 2}, text), 0);
}

} // namespace
