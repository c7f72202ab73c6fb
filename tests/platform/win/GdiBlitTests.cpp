#include "GdiFixture.h"

#include <functional>

#include "platform/win/system/SystemColors.h"

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 128, 0), kBlue = RGB(0, 0, 255);

class BlitTest : public GdiTest {};

// Brush drawn where the converted source is white, destination kept where it is black.
constexpr DWORD kPatternWhereSource = 0x00E20746;

void BlitMaskWithBrush(HDC dest, int x, int y, HDC mask, COLORREF brushColor) {
    const HBRUSH brush = CreateSolidBrush(brushColor);
    const HGDIOBJ old = SelectObject(dest, ToGdiObject(brush));
    SetTextColor(dest, RGB(255, 255, 255));
    SetBkColor(dest, RGB(0, 0, 0));
    EXPECT_TRUE(BitBlt(dest, x, y, 4, 4, mask, 0, 0, kPatternWhereSource));
    SelectObject(dest, old);
    DeleteObject(ToGdiObject(brush));
}

TEST_F(BlitTest, EmbossingPaintsTheBrushWhereTheMonochromeMaskIsZero) {
    const HBITMAP maskBitmap = MonoBitmap({"1111", "1001", "1001", "1111"});
    {
        TBitmapDc mask(maskBitmap);
        TCanvas target(4, 4);
        target.Fill(Bgr(kGreen));
        BlitMaskWithBrush(target.dc, 0, 0, mask.dc, kRed);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x) {
                const bool shape = x >= 1 && x <= 2 && y >= 1 && y <= 2;
                EXPECT_EQ(target.At(x, y), Bgr(shape ? kRed : kGreen)) << x << "," << y;
            }

        // The embossed picture: highlight at (1, 1), then shadow at (0, 0).
        const uint32_t face = Bgr(GetSysColor(COLOR_BTNFACE)), light = Bgr(GetSysColor(COLOR_BTNHIGHLIGHT)),
                       shadow = Bgr(GetSysColor(COLOR_BTNSHADOW));
        target.Fill(face);
        BlitMaskWithBrush(target.dc, 1, 1, mask.dc, GetSysColor(COLOR_BTNHIGHLIGHT));
        BlitMaskWithBrush(target.dc, 0, 0, mask.dc, GetSysColor(COLOR_BTNSHADOW));
        const uint32_t expected[4][4] = {{face, face, face, face},
                                         {face, shadow, shadow, face},
                                         {face, shadow, shadow, light},
                                         {face, face, light, light}};
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x) EXPECT_EQ(target.At(x, y), expected[y][x]) << x << "," << y;
    }
    DeleteObject(ToGdiObject(maskBitmap));
}

TEST_F(BlitTest, MaskedStretchKeepsTheDestinationUnderKeyPixelsAndDoublesTheRest) {
    constexpr COLORREF key = RGB(255, 0, 255);
    TCanvas source(2, 2);
    source.At(0, 0) = Bgr(kRed);
    source.At(1, 0) = Bgr(key);
    source.At(0, 1) = Bgr(key);
    source.At(1, 1) = Bgr(kBlue);
    TCanvas dest(4, 4);
    dest.Fill(Bgr(kGreen));

    // The mask: key pixels white; its inverse.
    const HBITMAP maskBitmap = CreateBitmap(2, 2, 1, 1, nullptr), inverseBitmap = CreateBitmap(2, 2, 1, 1, nullptr);
    {
        TBitmapDc mask(maskBitmap), inverse(inverseBitmap);
        SetBkColor(source.dc, key);
        ASSERT_TRUE(BitBlt(mask.dc, 0, 0, 2, 2, source.dc, 0, 0, SRCCOPY));
        ASSERT_TRUE(BitBlt(inverse.dc, 0, 0, 2, 2, mask.dc, 0, 0, NOTSRCCOPY));
        TCanvas work(4, 4);
        ASSERT_TRUE(BitBlt(work.dc, 0, 0, 4, 4, dest.dc, 0, 0, SRCCOPY));
        SetTextColor(work.dc, RGB(0, 0, 0));
        SetBkColor(work.dc, RGB(255, 255, 255));
        SetStretchBltMode(work.dc, COLORONCOLOR);
        ASSERT_TRUE(StretchBlt(work.dc, 0, 0, 4, 4, mask.dc, 0, 0, 2, 2, SRCAND));
        SetTextColor(source.dc, RGB(0, 0, 0));
        SetBkColor(source.dc, RGB(255, 255, 255));
        ASSERT_TRUE(BitBlt(source.dc, 0, 0, 2, 2, inverse.dc, 0, 0, SRCAND));
        ASSERT_TRUE(StretchBlt(work.dc, 0, 0, 4, 4, source.dc, 0, 0, 2, 2, SRCPAINT));
        ASSERT_TRUE(BitBlt(dest.dc, 0, 0, 4, 4, work.dc, 0, 0, SRCCOPY));
    }
    DeleteObject(ToGdiObject(maskBitmap));
    DeleteObject(ToGdiObject(inverseBitmap));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const int sx = x / 2, sy = y / 2;
            const uint32_t expected = sx == sy ? Bgr(sx == 0 ? kRed : kBlue) : Bgr(kGreen);
            EXPECT_EQ(dest.At(x, y), expected) << x << "," << y;
        }
}

TEST_F(BlitTest, MaskBltCopiesTheSourceWhereTheMaskIsZeroAndKeepsTheDestinationWhereItIsOne) {
    TCanvas source(3, 1), dest(3, 1);
    source.Fill(Bgr(kRed));
    dest.Fill(Bgr(kGreen));
    const HBITMAP mask = MonoBitmap({"010"});
    EXPECT_TRUE(MaskBlt(dest.dc, 0, 0, 3, 1, source.dc, 0, 0, mask, 0, 0, MAKEROP4(0x00AA0029, SRCCOPY)));
    EXPECT_EQ(dest.At(0, 0), Bgr(kRed));
    EXPECT_EQ(dest.At(1, 0), Bgr(kGreen));
    EXPECT_EQ(dest.At(2, 0), Bgr(kRed));
    // Only that mask operation is drawn.
    dest.Fill(Bgr(kGreen));
    [[maybe_unused]] BOOL drawn = TRUE;
    EXPECT_DEBUG_DEATH(drawn = MaskBlt(dest.dc, 0, 0, 3, 1, source.dc, 0, 0, mask, 0, 0, MAKEROP4(SRCCOPY, SRCAND)),
                       "not supported");
#ifdef NDEBUG
    EXPECT_FALSE(drawn);
#endif
    EXPECT_EQ(dest.At(0, 0), Bgr(kGreen));
    DeleteObject(ToGdiObject(mask));
}

TEST_F(BlitTest, DottedPatternJoinsAcrossOneRowFillsWithTheBrushOriginParity) {
    // Rows 0x55 and 0xAA, each padded to two bytes.
    const uint8_t rows[16] = {0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0};
    const HBITMAP patternBitmap = CreateBitmap(8, 8, 1, 1, rows);
    const HBRUSH brush = CreatePatternBrush(patternBitmap);
    constexpr COLORREF fore = RGB(10, 20, 30), back = RGB(200, 210, 220);
    // Each tree row is painted into a bitmap of its own, the origin parity set per row.
    TCanvas picture(12, 6);
    for (int row = 0; row < 6; ++row) {
        TCanvas line(12, 1);
        SetTextColor(line.dc, fore);
        SetBkColor(line.dc, back);
        SetBrushOrgEx(line.dc, 0, row & 1, nullptr);
        for (int x = 0; x < 12; x += 4) {
            const RECT part{x, 0, x + 4, 1};
            FillRect(line.dc, &part, brush);
        }
        BitBlt(picture.dc, 0, row, 12, 1, line.dc, 0, 0, SRCCOPY);
    }
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 12; ++x)
            EXPECT_EQ(picture.At(x, y), Bgr((x + y) & 1 ? back : fore)) << x << "," << y;
    DeleteObject(ToGdiObject(brush));
    DeleteObject(ToGdiObject(patternBitmap));
}

TEST_F(BlitTest, FillsWriteAlphaZeroAndCopiesBetween32BitBitmapsKeepIt) {
    TCanvas canvas(2, 1), source(2, 1);
    canvas.Fill(0xFFFFFFFF);
    const RECT all{0, 0, 2, 1};
    const HBRUSH brush = CreateSolidBrush(kRed);
    FillRect(canvas.dc, &all, brush);
    EXPECT_EQ(canvas.At(0, 0), 0x00FF0000u);
    source.At(0, 0) = 0x80102030;
    source.At(1, 0) = 0x00405060;
    BitBlt(canvas.dc, 0, 0, 2, 1, source.dc, 0, 0, SRCCOPY);
    EXPECT_EQ(canvas.At(0, 0), 0x80102030u);
    EXPECT_EQ(canvas.At(1, 0), 0x00405060u);
    DeleteObject(ToGdiObject(brush));
}

TEST_F(BlitTest, PalettedSourcesReadThroughTheirTableAndMissingIndexesReadBlack) {
    const std::vector<RGBQUAD> table = {{0, 0, 255, 0}, {0, 255, 0, 0}, {255, 0, 0, 0}, {255, 255, 255, 0}};
    TCanvas paletted(4, 1, 8, table);
    paletted.bits[0] = 0;
    paletted.bits[1] = 2;
    paletted.bits[2] = 200;
    paletted.bits[3] = 3;
    TCanvas dest(4, 1);
    dest.Fill(0x00123456);
    ASSERT_TRUE(BitBlt(dest.dc, 0, 0, 4, 1, paletted.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(dest.At(0, 0), 0x00FF0000u);
    EXPECT_EQ(dest.At(1, 0), 0x000000FFu);
    EXPECT_EQ(dest.At(2, 0), 0x00000000u);
    EXPECT_EQ(dest.At(3, 0), 0x00FFFFFFu);
}

TEST_F(BlitTest, FillsOnPalettedAnd24BitSectionsWriteTheNearestEntry) {
    const std::vector<RGBQUAD> table = {{0, 0, 0, 0}, {0, 0, 255, 0}, {0, 255, 0, 0}, {255, 0, 0, 0}};
    TCanvas four(3, 1, 4, table);
    const HBRUSH nearRed = CreateSolidBrush(RGB(230, 20, 10));
    const RECT two{1, 0, 3, 1};
    FillRect(four.dc, &two, nearRed);
    EXPECT_EQ(four.bits[0], 0x01);
    EXPECT_EQ(four.bits[1], 0x10);
    EXPECT_EQ(four.Pixel(2, 0), RGB(255, 0, 0));

    TCanvas rgb(2, 1, 24);
    FillRect(rgb.dc, &two, nearRed);
    EXPECT_EQ(rgb.bits[3], 10);
    EXPECT_EQ(rgb.bits[4], 20);
    EXPECT_EQ(rgb.bits[5], 230);
    EXPECT_EQ(rgb.bits[0], 0);
    DeleteObject(ToGdiObject(nearRed));
}

TEST_F(BlitTest, MonochromeMeetsColourThroughTextAndBackgroundColours) {
    const HBITMAP monoBitmap = MonoBitmap({"01"});
    {
        TBitmapDc mono(monoBitmap);
        TCanvas colour(2, 1);
        SetTextColor(colour.dc, kRed);
        SetBkColor(colour.dc, kBlue);
        BitBlt(colour.dc, 0, 0, 2, 1, mono.dc, 0, 0, SRCCOPY);
        EXPECT_EQ(colour.At(0, 0), Bgr(kRed));
        EXPECT_EQ(colour.At(1, 0), Bgr(kBlue));

        // Back: pixels of the source's background colour become 1.
        colour.At(0, 0) = Bgr(kGreen);
        colour.At(1, 0) = Bgr(kRed);
        SetBkColor(colour.dc, kGreen);
        BitBlt(mono.dc, 0, 0, 2, 1, colour.dc, 0, 0, SRCCOPY);
        EXPECT_EQ(GetPixel(mono.dc, 0, 0), RGB(255, 255, 255));
        EXPECT_EQ(GetPixel(mono.dc, 1, 0), RGB(0, 0, 0));
    }
    DeleteObject(ToGdiObject(monoBitmap));
}

struct TRopCase {
    DWORD rop;
    uint32_t source, dest, expected;
};

TEST_F(BlitTest, RasterOperationsCombineSourceBrushAndDestination) {
    const TRopCase cases[] = {
        {SRCCOPY, 0x00F0F0F0, 0x000F0F0F, 0x00F0F0F0},    {SRCAND, 0x00FF00FF, 0x00F0F0F0, 0x00F000F0},
        {SRCPAINT, 0x00FF0000, 0x000000FF, 0x00FF00FF},   {NOTSRCCOPY, 0x00FF0000, 0x00123456, 0x0000FFFF},
        {PATCOPY, 0x00FF0000, 0x00123456, Bgr(kGreen)},   {DSTINVERT, 0x00FF0000, 0x00FFFF00, 0x000000FF},
        {PATCOPY | CAPTUREBLT, 0, 0x00123456, Bgr(kGreen)},
    };
    TCanvas source(1, 1), dest(1, 1);
    const HBRUSH brush = CreateSolidBrush(kGreen);
    SelectObject(dest.dc, ToGdiObject(brush));
    for (const TRopCase& c : cases) {
        source.At(0, 0) = c.source;
        dest.At(0, 0) = c.dest;
        EXPECT_TRUE(BitBlt(dest.dc, 0, 0, 1, 1, source.dc, 0, 0, c.rop)) << std::hex << c.rop;
        EXPECT_EQ(dest.At(0, 0), c.expected) << std::hex << c.rop;
    }
    SelectObject(dest.dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(ToGdiObject(brush));
}

TEST_F(BlitTest, StretchModesShrinkKeepingBlackOrWhiteAndNegativeExtentsMirror) {
    TCanvas source(4, 1), dest(2, 1);
    source.At(0, 0) = 0x00FFFFFF;
    source.At(1, 0) = 0x00000000;
    source.At(2, 0) = 0x00FFFFFF;
    source.At(3, 0) = 0x00FFFFFF;
    SetStretchBltMode(dest.dc, BLACKONWHITE);
    StretchBlt(dest.dc, 0, 0, 2, 1, source.dc, 0, 0, 4, 1, SRCCOPY);
    EXPECT_EQ(dest.At(0, 0) & 0xFFFFFF, 0u);
    EXPECT_EQ(dest.At(1, 0) & 0xFFFFFF, 0xFFFFFFu);
    SetStretchBltMode(dest.dc, WHITEONBLACK);
    source.At(0, 0) = 0;
    source.At(1, 0) = 0x00FFFFFF;
    source.At(2, 0) = 0;
    source.At(3, 0) = 0;
    StretchBlt(dest.dc, 0, 0, 2, 1, source.dc, 0, 0, 4, 1, SRCCOPY);
    EXPECT_EQ(dest.At(0, 0) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(dest.At(1, 0) & 0xFFFFFF, 0u);

    TCanvas wide(4, 1);
    source.At(0, 0) = 1;
    source.At(1, 0) = 2;
    SetStretchBltMode(wide.dc, COLORONCOLOR);
    StretchBlt(wide.dc, 0, 0, 4, 1, source.dc, 0, 0, 2, 1, SRCCOPY);
    EXPECT_EQ((std::vector<uint32_t>{wide.At(0, 0), wide.At(1, 0), wide.At(2, 0), wide.At(3, 0)}),
              (std::vector<uint32_t>{1, 1, 2, 2}));
    StretchBlt(wide.dc, 4, 0, -4, 1, source.dc, 0, 0, 2, 1, SRCCOPY);
    EXPECT_EQ((std::vector<uint32_t>{wide.At(0, 0), wide.At(1, 0), wide.At(2, 0), wide.At(3, 0)}),
              (std::vector<uint32_t>{2, 2, 1, 1}));
}

TEST_F(BlitTest, EmptyExtentsPaintNothingAndUnknownOperationsFail) {
    TCanvas source(2, 2), dest(2, 2);
    source.Fill(1);
    const HBITMAP mask = MonoBitmap({"00", "00"});
    const uint8_t rows[16] = {0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0};
    const HBITMAP patternBitmap = CreateBitmap(8, 8, 1, 1, rows);
    const HBRUSH pattern = CreatePatternBrush(patternBitmap);
    const HGDIOBJ oldBrush = SelectObject(dest.dc, ToGdiObject(pattern));
    constexpr DWORD kMaskCopy = MAKEROP4(0x00AA0029, SRCCOPY);
    struct TCase {
        const char* name;
        std::function<void()> draw;
    };
    const TCase cases[] = {
        {"stretch from no columns", [&] { StretchBlt(dest.dc, 0, 0, 2, 2, source.dc, 0, 0, 0, 2, SRCCOPY); }},
        {"stretch from no rows", [&] { StretchBlt(dest.dc, 0, 0, 2, 2, source.dc, 0, 0, 2, 0, SRCCOPY); }},
        {"stretch to no columns", [&] { StretchBlt(dest.dc, 0, 0, 0, 2, source.dc, 0, 0, 2, 2, SRCCOPY); }},
        {"mirrored stretch from nothing", [&] { StretchBlt(dest.dc, 2, 2, -2, -2, source.dc, 0, 0, 0, 0, SRCCOPY); }},
        {"colour-on-colour shrink to nothing",
         [&] {
             SetStretchBltMode(dest.dc, COLORONCOLOR);
             StretchBlt(dest.dc, 0, 0, 2, 0, source.dc, 0, 0, 2, 2, SRCCOPY);
         }},
        {"mask blit of nothing", [&] { MaskBlt(dest.dc, 0, 0, 0, 0, source.dc, 0, 0, mask, 0, 0, kMaskCopy); }},
        {"mask blit of no columns", [&] { MaskBlt(dest.dc, 0, 0, 0, 2, source.dc, 0, 0, mask, 0, 0, kMaskCopy); }},
        {"pattern blit of no columns", [&] { PatBlt(dest.dc, 0, 0, 0, 5, PATCOPY); }},
        {"pattern fill of no rows",
         [&] {
             const RECT flat{0, 1, 2, 1};
             FillRect(dest.dc, &flat, pattern);
         }},
        {"pattern fill of an inverted rectangle",
         [&] {
             const RECT inverted{2, 0, 0, 2};
             FillRect(dest.dc, &inverted, pattern);
         }},
        {"scrolling an empty rectangle",
         [&] {
             const RECT empty{1, 1, 1, 1};
             RECT uncovered{5, 5, 5, 5};
             EXPECT_TRUE(ScrollDC(dest.dc, 1, 0, &empty, nullptr, nullptr, &uncovered));
             EXPECT_TRUE(uncovered.left >= uncovered.right || uncovered.top >= uncovered.bottom);
         }},
        {"scrolling inside an empty clip",
         [&] {
             const RECT empty{0, 0, 0, 2};
             EXPECT_TRUE(ScrollDC(dest.dc, 1, 1, nullptr, &empty, nullptr, nullptr));
         }},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2; ++x) dest.At(x, y) = uint32_t(7 + x + 2 * y);
        c.draw();
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2; ++x) EXPECT_EQ(dest.At(x, y), uint32_t(7 + x + 2 * y)) << x << "," << y;
    }
    SelectObject(dest.dc, oldBrush);
    DeleteObject(ToGdiObject(pattern));
    DeleteObject(ToGdiObject(patternBitmap));

    // SRCINVERT is not among the operations drawn.
    dest.Fill(7);
    [[maybe_unused]] BOOL drawn = TRUE;
    EXPECT_DEBUG_DEATH(drawn = BitBlt(dest.dc, 0, 0, 2, 2, source.dc, 0, 0, 0x00660046), "not supported");
#ifdef NDEBUG
    EXPECT_FALSE(drawn);
#endif
    EXPECT_EQ(dest.At(1, 1), 7u);
    DeleteObject(ToGdiObject(mask));
}

TEST_F(BlitTest, ScrollDcMovesPixelsInsideTheClipAndAnswersTheUncoveredPart) {
    TCanvas canvas(4, 1);
    for (int x = 0; x < 4; ++x) canvas.At(x, 0) = uint32_t(x + 1);
    const HRGN update = CreateRectRgn(0, 0, 0, 0);
    RECT uncovered{};
    const RECT clip{0, 0, 3, 1};
    ASSERT_TRUE(ScrollDC(canvas.dc, 1, 0, nullptr, &clip, update, &uncovered));
    EXPECT_EQ((std::vector<uint32_t>{canvas.At(0, 0), canvas.At(1, 0), canvas.At(2, 0), canvas.At(3, 0)}),
              (std::vector<uint32_t>{1, 1, 2, 4}));
    EXPECT_EQ(uncovered, (RECT{0, 0, 1, 1}));
    RECT box{};
    EXPECT_EQ(GetRgnBox(update, &box), SIMPLEREGION);
    EXPECT_EQ(box, (RECT{0, 0, 1, 1}));
    DeleteObject(ToGdiObject(update));
}

} // namespace
