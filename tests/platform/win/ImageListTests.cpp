#include "IconFixture.h"

#include "platform/win/imagelist/ImageList.h"
#include "platform/win/system/SystemColors.h"

namespace {

constexpr uint32_t kListWhite = 0x00FFFFFF, kListBlue = 0x000000FF, kListRed = 0x00FF0000, kListYellow = 0x00FFFF00;

// A top-down DIB section of the depth given whose pixels come from Pixel(x, y).
template <class F>
HBITMAP Picture(int width, int height, int bpp, F pixel) {
    const HBITMAP bitmap = NewDibSection(width, -height, bpp);
    DIBSECTION section{};
    GetObjectW(ToGdiObject(bitmap), sizeof section, &section);
    auto* bits = static_cast<uint8_t*>(section.dsBm.bmBits);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint32_t p = pixel(x, y);
            std::memcpy(bits + size_t(y) * size_t(section.dsBm.bmWidthBytes) + size_t(x * bpp / 8), &p, size_t(bpp / 8));
        }
    return bitmap;
}

// A 16x16 list of ILC_COLOR32 | ILC_MASK holding: 0, red at alpha 128 in the
// left half and alpha 0 in the right; 1, opaque blue whose top half is masked
// out; 2, a single yellow pixel at (15, 15), used as overlay 1.
class ImageListTest : public IconTest {
protected:
    void SetUp() override {
        IconTest::SetUp();
        list_ = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 0, 4);
        const HBITMAP alpha = Picture(16, 16, 32, [](int x, int) { return x < 8 ? 0x80FF0000u : 0u; });
        const HBITMAP blue = Picture(16, 16, 24, [](int, int) { return kListBlue; });
        const HBITMAP topMasked = MonoBitmap({"1111111111111111", "1111111111111111", "1111111111111111",
                                              "1111111111111111", "1111111111111111", "1111111111111111",
                                              "1111111111111111", "1111111111111111", "0000000000000000",
                                              "0000000000000000", "0000000000000000", "0000000000000000",
                                              "0000000000000000", "0000000000000000", "0000000000000000",
                                              "0000000000000000"});
        const HBITMAP dot = Picture(16, 16, 32, [](int x, int y) { return x == 15 && y == 15 ? 0xFFFFFF00u : 0u; });
        EXPECT_EQ(ImageList_Add(list_, alpha, nullptr), 0);
        EXPECT_EQ(ImageList_Add(list_, blue, topMasked), 1);
        EXPECT_EQ(ImageList_Add(list_, dot, nullptr), 2);
        EXPECT_TRUE(ImageList_SetOverlayImage(list_, 2, 1));
        for (HBITMAP b : {alpha, blue, topMasked, dot}) DeleteObject(ToGdiObject(b));
    }
    void TearDown() override {
        EXPECT_TRUE(ImageList_Destroy(list_));
        IconTest::TearDown();
    }
    HIMAGELIST list_ = nullptr;
};

struct DrawCase {
    const char* what;
    int index;
    COLORREF foreground;
    UINT style;
    uint32_t topLeft, bottomLeft, bottomRight; // at (0, 0), (0, 8) and (15, 15)
};

TEST_F(ImageListTest, DrawsByAlphaOrMaskWithBlendsOverlaysAndTheMask) {
    const uint32_t highlight = Bgr(GetSysColor(COLOR_HIGHLIGHT));
    auto quarter = [](uint32_t a, uint32_t b) {
        uint32_t out = 0;
        for (int s = 0; s < 24; s += 8) out |= ((3 * (a >> s & 0xFF) + (b >> s & 0xFF) + 2) / 4) << s;
        return out;
    };
    const DrawCase cases[] = {
        // Red at alpha 128 over white: (255 * 128 + 255 * 127 + 127) / 255 = 255, (255 * 127 + 127) / 255 = 127.
        {"alpha", 0, CLR_DEFAULT, ILD_NORMAL, 0x80FF7F7F, 0x80FF7F7F, kListWhite},
        {"mask", 1, CLR_DEFAULT, ILD_NORMAL, kListWhite, kListBlue, kListBlue},
        {"half towards red", 1, RGB(255, 0, 0), ILD_BLEND50, kListWhite, 0x800080, 0x800080},
        {"a quarter towards the highlight", 1, CLR_DEFAULT, ILD_BLEND25, kListWhite, quarter(kListBlue, highlight),
         quarter(kListBlue, highlight)},
        // Cover 127 of 255: blue (255 * 127 + 255 * 128 + 127) / 255, red and green (255 * 128 + 127) / 255.
        {"half towards what lies beneath", 1, CLR_NONE, ILD_BLEND50, kListWhite, 0x8080FF, 0x8080FF},
        {"overlay 1", 1, CLR_DEFAULT, ILD_NORMAL | INDEXTOOVERLAYMASK(1), kListWhite, kListBlue, 0xFF000000 | kListYellow},
        {"image without its mask", 1, CLR_DEFAULT, ILD_IMAGE, kListBlue, kListBlue, kListBlue},
        {"the mask of a masked image", 1, CLR_DEFAULT, ILD_MASK, kListWhite, 0, 0},
        {"the mask of an alpha image", 0, CLR_DEFAULT, ILD_MASK, 0, 0, kListWhite},
    };
    for (const DrawCase& c : cases) {
        SCOPED_TRACE(c.what);
        TCanvas canvas(17, 17);
        canvas.Fill(kListWhite);
        EXPECT_TRUE(ImageList_DrawEx(list_, c.index, canvas.dc, 0, 0, 0, 0, CLR_NONE, c.foreground, c.style));
        EXPECT_EQ(canvas.At(0, 0), c.topLeft);
        EXPECT_EQ(canvas.At(0, 8), c.bottomLeft);
        EXPECT_EQ(canvas.At(15, 15), c.bottomRight);
        EXPECT_EQ(canvas.At(16, 16), kListWhite);
    }
}

TEST_F(ImageListTest, TheDisabledLookEmbossesTheShapeOfDarkCoveringPixels) {
    const uint32_t beneath = 0x00123456;
    const uint32_t light = Bgr(GetSysColor(COLOR_BTNHIGHLIGHT)), shadow = Bgr(GetSysColor(COLOR_BTNSHADOW));
    struct TPoint {
        int x, y;
        uint32_t expected;
    };
    struct TCase {
        const char* what;
        int index;
        std::vector<TPoint> points;
    };
    const TCase cases[] = {
        {"by the mask: the bottom half", 1,
         {{0, 0, beneath}, {3, 8, shadow}, {15, 15, shadow}, {16, 16, light}, {16, 9, light}, {16, 8, beneath}}},
        {"by alpha: the left half", 0, {{3, 3, shadow}, {8, 3, light}, {9, 3, beneath}, {3, 16, light}}},
        {"a light pixel is no part of the shape", 2, {{15, 15, beneath}, {16, 16, beneath}}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        TCanvas canvas(17, 17);
        canvas.Fill(beneath);
        EXPECT_TRUE(DrawDisabledListImage(list_, c.index, canvas.dc, 0, 0));
        for (const TPoint& p : c.points) EXPECT_EQ(canvas.At(p.x, p.y), p.expected) << p.x << ", " << p.y;
    }
    EXPECT_FALSE(DrawDisabledListImage(list_, 3, nullptr, 0, 0));
}

TEST_F(ImageListTest, TheBackgroundColourFillsBehindMaskedImagesUnlessTransparent) {
    EXPECT_EQ(ImageList_GetBkColor(list_), CLR_NONE);
    EXPECT_EQ(ImageList_SetBkColor(list_, RGB(0, 255, 0)), CLR_NONE);
    TCanvas canvas(16, 16);
    canvas.Fill(kListWhite);
    EXPECT_TRUE(ImageList_Draw(list_, 1, canvas.dc, 0, 0, ILD_TRANSPARENT));
    EXPECT_EQ(canvas.At(0, 0), kListWhite);
    EXPECT_TRUE(ImageList_Draw(list_, 1, canvas.dc, 0, 0, ILD_NORMAL));
    EXPECT_EQ(canvas.At(0, 0), 0x00FF00u);
    EXPECT_EQ(canvas.At(0, 8), kListBlue);
    // A part of the image.
    canvas.Fill(kListWhite);
    EXPECT_TRUE(ImageList_DrawEx(list_, 1, canvas.dc, 2, 2, 4, 10, CLR_NONE, CLR_NONE, ILD_NORMAL));
    EXPECT_EQ(canvas.At(2, 10), kListBlue);
    EXPECT_EQ(canvas.At(5, 11), kListBlue);
    EXPECT_EQ(canvas.At(6, 11), kListWhite);
    EXPECT_EQ(canvas.At(2, 12), kListWhite);
}

TEST_F(ImageListTest, AnIconOfAnImageDrawsItsPixels) {
    for (int index : {0, 1}) {
        SCOPED_TRACE(index);
        TCanvas expected(16, 16), drawn(16, 16);
        expected.Fill(0x00123456);
        drawn.Fill(0x00123456);
        ImageList_Draw(list_, index, expected.dc, 0, 0, ILD_TRANSPARENT);
        const HICON icon = ImageList_GetIcon(list_, index, ILD_TRANSPARENT);
        ASSERT_NE(icon, nullptr);
        EXPECT_TRUE(DrawIconEx(drawn.dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) ASSERT_EQ(drawn.At(x, y), expected.At(x, y)) << x << "," << y;
        DestroyIcon(icon);
    }
}

TEST_F(ImageListTest, EmptyListsZeroSizesAndIndexesOutOfRangeFailAndDrawNothing) {
    const HIMAGELIST empty = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 0, 0);
    const HIMAGELIST zero = ImageList_Create(0, 16, ILC_COLOR32, 0, 0);
    const HBITMAP strip = Picture(16, 16, 32, [](int, int) { return 0xFF00FF00u; });
    EXPECT_EQ(ImageList_Add(zero, strip, nullptr), -1);
    EXPECT_FALSE(ImageList_SetImageCount(zero, 2));
    struct Case {
        const char* what;
        HIMAGELIST list;
        int index;
    } cases[] = {{"index 5 of 3", list_, 5}, {"index -1", list_, -1}, {"empty list", empty, 0},
                 {"zero width", zero, 0},   {"no list", nullptr, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TCanvas canvas(16, 16);
        canvas.Fill(kListWhite);
        EXPECT_FALSE(ImageList_Draw(c.list, c.index, canvas.dc, 0, 0, ILD_NORMAL));
        EXPECT_FALSE(ImageList_DrawEx(c.list, c.index, canvas.dc, 0, 0, 0, 0, CLR_NONE, CLR_NONE, ILD_IMAGE));
        EXPECT_EQ(canvas.At(0, 8), kListWhite);
        EXPECT_EQ(ImageList_GetIcon(c.list, c.index, ILD_NORMAL), nullptr);
        IMAGEINFO info{};
        EXPECT_FALSE(ImageList_GetImageInfo(c.list, c.index, &info));
        EXPECT_FALSE(ImageList_Replace(c.list, c.index, strip, nullptr));
        EXPECT_EQ(ImageList_ReplaceIcon(c.list, c.index, nullptr), -1);
        EXPECT_FALSE(ImageList_Remove(c.list, c.index == -1 ? 7 : c.index));
    }
    DeleteObject(ToGdiObject(strip));
    ImageList_Destroy(empty);
    ImageList_Destroy(zero);
    EXPECT_FALSE(ImageList_Destroy(zero));
}

// --- Filling and changing lists ------------------------------------------------

class ImageListFillTest : public IconTest {};

TEST_F(ImageListFillTest, AStripAddedWithAKeyColourBecomesImagesTransparentAndBlackThere) {
    // Three 2x1 images: key magenta around one coloured pixel each.
    const uint32_t strip[] = {0xFF00FF, kListRed, 0xFF00FF, 0x00FF00, kListBlue, 0xFF00FF};
    const HBITMAP bitmap = Picture(6, 1, 24, [&](int x, int) { return strip[x]; });
    const HIMAGELIST list = ImageList_Create(2, 1, ILC_COLOR32 | ILC_MASK, 0, 0);
    EXPECT_EQ(ImageList_AddMasked(list, bitmap, RGB(255, 0, 255)), 0);
    EXPECT_EQ(ImageList_GetImageCount(list), 3);
    TCanvas canvas(2, 1);
    const uint32_t expected[3][2][2] = {// transparent, image only
                                        {{kListWhite, kListRed}, {0, kListRed}},
                                        {{kListWhite, 0x00FF00}, {0, 0x00FF00}},
                                        {{kListBlue, kListWhite}, {kListBlue, 0}}};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        for (int s = 0; s < 2; ++s) {
            canvas.Fill(kListWhite);
            EXPECT_TRUE(ImageList_Draw(list, i, canvas.dc, 0, 0, s ? ILD_IMAGE : ILD_TRANSPARENT));
            EXPECT_EQ(canvas.At(0, 0), expected[i][s][0]);
            EXPECT_EQ(canvas.At(1, 0), expected[i][s][1]);
        }
    }
    IMAGEINFO info{};
    ASSERT_TRUE(ImageList_GetImageInfo(list, 2, &info));
    EXPECT_EQ(info.rcImage.top, 2);
    EXPECT_EQ(info.rcImage.bottom, 3);
    TBitmapDc image(info.hbmImage), mask(info.hbmMask);
    EXPECT_EQ(Bgr(GetPixel(image.dc, 0, 2)), kListBlue);
    EXPECT_EQ(GetPixel(mask.dc, 0, 2), 0u);
    EXPECT_NE(GetPixel(mask.dc, 1, 2), 0u);
    DeleteObject(ToGdiObject(bitmap));
    ImageList_Destroy(list);
}

TEST_F(ImageListFillTest, ListsOfFewerBitsDropAlphaAndListsWithoutMaskDrawOpaque) {
    const HBITMAP alpha = Picture(2, 1, 32, [](int x, int) { return x ? 0u : 0x80FF0000u; });
    struct Case {
        UINT flags;
        uint32_t left, right;
    } cases[] = {{ILC_COLOR32 | ILC_MASK, 0x80FF7F7F, kListWhite}, {ILC_COLOR24 | ILC_MASK, kListRed, 0}, {ILC_COLOR32, 0x80FF7F7F, kListWhite},
                 {ILC_COLOR16, kListRed, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        const HIMAGELIST list = ImageList_Create(2, 1, c.flags, 1, 1);
        ASSERT_EQ(ImageList_Add(list, alpha, nullptr), 0);
        TCanvas canvas(2, 1);
        canvas.Fill(kListWhite);
        EXPECT_TRUE(ImageList_Draw(list, 0, canvas.dc, 0, 0, ILD_TRANSPARENT));
        EXPECT_EQ(canvas.At(0, 0), c.left);
        EXPECT_EQ(canvas.At(1, 0), c.right);
        ImageList_Destroy(list);
    }
    DeleteObject(ToGdiObject(alpha));
}

TEST_F(ImageListFillTest, ImagesAreReplacedRemovedCountedAndClearedBySizeChanges) {
    const HIMAGELIST list = ImageList_Create(1, 1, ILC_COLOR32 | ILC_MASK, 0, 0);
    const HBITMAP strip = Picture(3, 1, 32, [](int x, int) { return 0xFF000000u | uint32_t(x + 1); });
    const HBITMAP nine = Picture(1, 1, 32, [](int, int) { return 0xFF000009u; });
    auto firstPixels = [&] {
        std::vector<uint32_t> out;
        for (int i = 0; i < ImageList_GetImageCount(list); ++i) {
            TCanvas canvas(1, 1);
            canvas.Fill(kListWhite);
            ImageList_Draw(list, i, canvas.dc, 0, 0, ILD_TRANSPARENT);
            out.push_back(canvas.At(0, 0));
        }
        return out;
    };
    EXPECT_EQ(ImageList_Add(list, strip, nullptr), 0);
    EXPECT_TRUE(ImageList_Replace(list, 1, nine, nullptr));
    EXPECT_EQ(firstPixels(), (std::vector<uint32_t>{0xFF000001, 0xFF000009, 0xFF000003}));
    EXPECT_TRUE(ImageList_Remove(list, 0));
    EXPECT_EQ(firstPixels(), (std::vector<uint32_t>{0xFF000009, 0xFF000003}));
    const HICON icon = ImageList_GetIcon(list, 1, ILD_NORMAL);
    EXPECT_EQ(ImageList_ReplaceIcon(list, -1, icon), 2);
    EXPECT_EQ(ImageList_AddIcon(list, icon), 3);
    EXPECT_EQ(ImageList_ReplaceIcon(list, 0, icon), 0);
    EXPECT_EQ(firstPixels(), (std::vector<uint32_t>{0xFF000003, 0xFF000003, 0xFF000003, 0xFF000003}));
    DestroyIcon(icon);
    // New images are blank and transparent.
    EXPECT_TRUE(ImageList_SetImageCount(list, 5));
    EXPECT_EQ(firstPixels().back(), kListWhite);
    EXPECT_TRUE(ImageList_Remove(list, -1));
    EXPECT_EQ(ImageList_GetImageCount(list), 0);
    ImageList_Add(list, strip, nullptr);
    EXPECT_TRUE(ImageList_SetIconSize(list, 2, 3));
    EXPECT_EQ(ImageList_GetImageCount(list), 0);
    int width = 0, height = 0;
    EXPECT_TRUE(ImageList_GetIconSize(list, &width, &height));
    EXPECT_EQ(width, 2);
    EXPECT_EQ(height, 3);
    DeleteObject(ToGdiObject(strip));
    DeleteObject(ToGdiObject(nine));
    ImageList_Destroy(list);
}

} // namespace
