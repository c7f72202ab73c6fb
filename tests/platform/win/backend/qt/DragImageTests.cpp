// The image-list drag picture on the offscreen desktop.

#include <QDir>
#include <QGuiApplication>
#include <QWindow>

#include "FreshTestFolder.h"
#include "PresenterFixture.h"
#include "platform/win/gdi/Bitmaps.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/imagelist/ImageList.h"
#include "platform/win/paint/Composite.h"

namespace {

constexpr COLORREF kDragGrey = RGB(0xC0, 0xC0, 0xC0);
constexpr uint32_t kDragRed = 0xFFFF0000, kDragBlue = 0xFF0000FF;

// A list of one Width x Height image of Pixel, transparent where Hole says.
template <class F>
HIMAGELIST OneImage(int width, int height, uint32_t pixel, F hole) {
    const HIMAGELIST list = ImageList_Create(width, height, ILC_COLOR32 | ILC_MASK, 1, 0);
    const HBITMAP bitmap = NewDibSection(width, -height, 32);
    DIBSECTION section{};
    GetObjectW(ToGdiObject(bitmap), sizeof section, &section);
    auto* bits = static_cast<uint32_t*>(section.dsBm.bmBits);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) bits[y * width + x] = hole(x, y) ? 0 : pixel;
    ImageList_Add(list, bitmap, nullptr);
    DeleteObject(ToGdiObject(bitmap));
    return list;
}

class DragImageTest : public PresenterTest {
protected:
    void TearDown() override {
        ImageList_EndDrag();
        PresenterTest::TearDown();
    }
    static uint32_t ScreenPixel(int x, int y) {
        SettleDesktop();
        return ComposeDesktop(RECT{x, y, x + 1, y + 1}).pixels[0];
    }
    // The visible QWindow that lets input through, if any.
    static QWindow* ClickThroughWindow() {
        for (QWindow* w : QGuiApplication::topLevelWindows())
            if (w->isVisible() && w->flags().testFlag(Qt::WindowTransparentForInput)) return w;
        return nullptr;
    }
};

TEST_F(DragImageTest, ThePictureLiesAtThePointMinusTheHotSpotFollowsMovesAndHidesOnLeaving) {
    const HWND form = Show(WS_POPUP, RECT{100, 100, 500, 400}, 0, nullptr, kDragGrey);
    const HIMAGELIST list = OneImage(16, 16, kDragRed, [](int x, int y) { return x < 4 && y < 4; });
    EXPECT_EQ(ImageList_GetDragImage(nullptr, nullptr), nullptr);
    ASSERT_TRUE(ImageList_BeginDrag(list, 0, 5, 6));
    ASSERT_TRUE(ImageList_DragEnter(form, 50, 60));
    // The picture's top-left at the form's corner + (50, 60) - (5, 6).
    EXPECT_EQ(ScreenPixel(145 + 4, 154 + 4), kDragRed);
    EXPECT_EQ(ScreenPixel(145 + 15, 154 + 15), kDragRed);
    EXPECT_EQ(ScreenPixel(145, 154), PixelOf(kDragGrey)); // the hole
    EXPECT_EQ(ScreenPixel(144, 160), PixelOf(kDragGrey));
    EXPECT_EQ(ScreenPixel(161, 160), PixelOf(kDragGrey));
    QWindow* picture = ClickThroughWindow();
    ASSERT_NE(picture, nullptr);
    EXPECT_TRUE(picture->flags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(picture->geometry(), QRect(145, 154, 16, 16));

    POINT position{}, hot{};
    const HIMAGELIST dragged = ImageList_GetDragImage(&position, &hot);
    EXPECT_NE(dragged, nullptr);
    EXPECT_NE(dragged, list);
    EXPECT_EQ(position.x, 50);
    EXPECT_EQ(hot.y, 6);

    ASSERT_TRUE(ImageList_DragMove(200, 100));
    EXPECT_EQ(ScreenPixel(295 + 8, 194 + 8), kDragRed);
    EXPECT_EQ(ScreenPixel(145 + 8, 154 + 8), PixelOf(kDragGrey));
    const QString path = QDir(QString::fromStdString(FreshTestFolder().string())).filePath("drag.png");
    EXPECT_TRUE(WriteDesktopPng(RECT{0, 0, 600, 500}, path));

    ImageList_DragShowNolock(FALSE);
    EXPECT_EQ(ScreenPixel(295 + 8, 194 + 8), PixelOf(kDragGrey));
    ImageList_DragShowNolock(TRUE);
    EXPECT_EQ(ScreenPixel(295 + 8, 194 + 8), kDragRed);
    ASSERT_TRUE(ImageList_DragLeave(form));
    EXPECT_EQ(ScreenPixel(295 + 8, 194 + 8), PixelOf(kDragGrey));
    EXPECT_EQ(ClickThroughWindow(), nullptr);
    EXPECT_EQ(ImageList_GetDragImage(nullptr, nullptr), dragged);

    ImageList_EndDrag();
    EXPECT_EQ(ImageList_GetDragImage(&position, &hot), nullptr);
    EXPECT_FALSE(ImageList_DragMove(10, 10));
    EXPECT_FALSE(ImageList_DragEnter(form, 10, 10));
    ImageList_Destroy(list);
}

// A 4x4 red picture with hot spot (0, 0) and a 2x2 blue cursor image whose
// point (1, 1) goes to that hot spot: 5x5 merged, hot spot (1, 1), blue over red.
TEST_F(DragImageTest, TheCursorImageMergesWithThePictureAroundTheHotSpot) {
    const HWND form = Show(WS_POPUP, RECT{100, 100, 500, 400}, 0, nullptr, kDragGrey);
    const HIMAGELIST picture = OneImage(4, 4, kDragRed, [](int, int) { return false; });
    const HIMAGELIST cursor = OneImage(2, 2, kDragBlue, [](int, int) { return false; });
    ASSERT_TRUE(ImageList_BeginDrag(picture, 0, 0, 0));
    ASSERT_TRUE(ImageList_SetDragCursorImage(cursor, 0, 1, 1));
    POINT hot{};
    const HIMAGELIST dragged = ImageList_GetDragImage(nullptr, &hot);
    int width = 0, height = 0;
    ImageList_GetIconSize(dragged, &width, &height);
    EXPECT_EQ(width, 5);
    EXPECT_EQ(height, 5);
    EXPECT_EQ(hot.x, 1);
    EXPECT_EQ(hot.y, 1);
    ImageList_DragEnter(form, 10, 10); // the pointer at (110, 110)
    EXPECT_EQ(ScreenPixel(109, 109), kDragBlue);
    EXPECT_EQ(ScreenPixel(110, 110), kDragBlue);
    EXPECT_EQ(ScreenPixel(111, 111), kDragRed);
    EXPECT_EQ(ScreenPixel(113, 113), kDragRed);
    EXPECT_EQ(ScreenPixel(109, 113), PixelOf(kDragGrey));

    // A new cursor image replaces the last one.
    const HIMAGELIST dot = OneImage(1, 1, kDragBlue, [](int, int) { return false; });
    ASSERT_TRUE(ImageList_SetDragCursorImage(dot, 0, 0, 0));
    ImageList_GetIconSize(ImageList_GetDragImage(nullptr, &hot), &width, &height);
    EXPECT_EQ(width, 4);
    EXPECT_EQ(hot.x, 0);
    EXPECT_EQ(ScreenPixel(109, 109), PixelOf(kDragGrey));
    EXPECT_EQ(ScreenPixel(110, 110), kDragBlue);
    EXPECT_EQ(ScreenPixel(111, 111), kDragRed);
    for (HIMAGELIST list : {picture, cursor, dot}) ImageList_Destroy(list);
}

} // namespace
