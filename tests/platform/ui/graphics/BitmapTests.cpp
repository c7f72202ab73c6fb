#include <climits>
#include <cstring>
#include <memory>
#include <string>

#include "GraphicsFixture.h"
#include "platform/ui/Canvas.h"
#include "platform/ui/UiErrors.h"
#include "platform/ui/graphics/Bitmap.h"
#include "platform/ui/graphics/Icon.h"
#include "platform/win/gdi/Bitmaps.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

class BitmapTest : public GraphicsTest {};

// Writes Color into pixel X of a 24- or 32-bit scan line.
void PutPixel(TBitmap& bitmap, int x, int y, COLORREF color) {
    uint8_t* p = bitmap.ScanLine(y) + x * (bitmap.PixelFormat() == pf32bit ? 4 : 3);
    p[0] = GetBValue(color);
    p[1] = GetGValue(color);
    p[2] = GetRValue(color);
}

TEST_F(BitmapTest, ScanLineZeroIsTheTopRowAtTheHighestAddressOfABottomUpDib) {
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf32bit);
    bitmap.SetSize(3, 2);
    uint8_t* top = bitmap.ScanLine(0);
    uint8_t* bottom = bitmap.ScanLine(1);
    EXPECT_GT(top, bottom);
    EXPECT_EQ(top - bottom, 12); // the step callers take between rows
    DIBSECTION section{};
    ASSERT_EQ(GetObjectW(ToGdiObject(bitmap.Handle()), sizeof section, &section), int(sizeof section));
    EXPECT_EQ(section.dsBmih.biHeight, 2);
    EXPECT_EQ(section.dsBm.bmBits, static_cast<void*>(bottom));
    EXPECT_EQ(bitmap.HandleType(), bmDIB);

    PutPixel(bitmap, 2, 0, kRed);
    EXPECT_EQ(bitmap.Canvas()->Pixel(2, 0), TColor(kRed));
    EXPECT_EQ(bitmap.Canvas()->Pixel(2, 1), TColor(kWhite)); // new pixels are white
    EXPECT_THROW(bitmap.ScanLine(2), EInvalidGraphicOperation);
    EXPECT_THROW(bitmap.ScanLine(-1), EInvalidGraphicOperation);
}

TEST_F(BitmapTest, ConvertingTo32BitsKeepsTheColoursWithAlphaZero) {
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf24bit);
    bitmap.SetSize(2, 1);
    PutPixel(bitmap, 0, 0, RGB(10, 20, 30));
    PutPixel(bitmap, 1, 0, kBlue);
    bitmap.SetPixelFormat(pf32bit);
    const uint8_t* row = bitmap.ScanLine(0);
    const uint8_t expected[] = {30, 20, 10, 0, 255, 0, 0, 0};
    EXPECT_EQ(std::memcmp(row, expected, sizeof expected), 0);
}

TEST_F(BitmapTest, IndexesPastAShortPaletteConvertAndDrawAsBlack) {
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf8bit);
    bitmap.SetPalette(MakePalette({0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}));
    bitmap.SetSize(3, 1);
    uint8_t* row = bitmap.ScanLine(0);
    row[0] = 9;
    row[1] = 2;
    row[2] = 255;

    TDibDc target(3, 1);
    TCanvas canvas;
    canvas.SetHandle(target.dc);
    canvas.Draw(0, 0, &bitmap);
    EXPECT_EQ(target.Row(0, {{0, 'k'}, {kBlue, 'b'}}), "kbk");

    bitmap.SetPixelFormat(pf24bit);
    EXPECT_EQ(bitmap.Canvas()->Pixel(0, 0), TColor(0));
    EXPECT_EQ(bitmap.Canvas()->Pixel(1, 0), TColor(kBlue));
    EXPECT_EQ(bitmap.Canvas()->Pixel(2, 0), TColor(0));
    canvas.SetHandle(nullptr);
}

TEST_F(BitmapTest, ConversionsKeepTheColoursTheTargetFormatHolds) {
    const struct {
        TPixelFormat format;
        COLORREF red; // what pure red becomes
    } cases[] = {{pf1bit, 0}, {pf4bit, kRed}, {pf8bit, kRed}, {pf24bit, kRed}, {pf32bit, kRed}};
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.format));
        TBitmap bitmap;
        bitmap.SetPixelFormat(pf24bit);
        bitmap.SetSize(3, 1);
        PutPixel(bitmap, 0, 0, 0);
        PutPixel(bitmap, 1, 0, kWhite);
        PutPixel(bitmap, 2, 0, kRed);
        bitmap.SetPixelFormat(c.format);
        EXPECT_EQ(bitmap.PixelFormat(), c.format);
        EXPECT_EQ(bitmap.Canvas()->Pixel(0, 0), TColor(0));
        EXPECT_EQ(bitmap.Canvas()->Pixel(1, 0), TColor(kWhite));
        EXPECT_EQ(bitmap.Canvas()->Pixel(2, 0), TColor(c.red));
    }
    TBitmap bitmap;
    EXPECT_THROW(bitmap.SetPixelFormat(pf16bit), EInvalidGraphic);
    EXPECT_THROW(bitmap.SetPixelFormat(pfCustom), EInvalidGraphic);
    EXPECT_EQ(bitmap.PixelFormat(), pfDevice);
}

TEST_F(BitmapTest, BmpFilesRoundTripEveryDepthWithItsColourTable) {
    for (TPixelFormat format : {pf1bit, pf4bit, pf8bit, pf24bit, pf32bit}) {
        SCOPED_TRACE(int(format));
        TBitmap bitmap;
        bitmap.SetPixelFormat(format);
        if (format == pf8bit) bitmap.SetPalette(MakePalette({0x000000, 0x102030, 0xFF0000, 0x00FF00, 0xABCDEF}));
        bitmap.SetSize(8, 3); // whole bytes per row at every depth
        const size_t rowBytes = size_t(8 * BitsOfPixelFormat(format) / 8);
        for (int y = 0; y < 3; ++y)
            for (size_t i = 0; i < rowBytes; ++i)
                bitmap.ScanLine(y)[i] = uint8_t(format == pf8bit ? (i + size_t(y)) % 5 : i * 37 + size_t(y) * 11 + 1);

        TMemoryStream stream;
        bitmap.SaveToStream(stream);
        stream.SetPosition(0);
        TBitmap loaded;
        loaded.LoadFromStream(stream);
        EXPECT_EQ(stream.Position(), stream.Size());
        ASSERT_EQ(loaded.PixelFormat(), format);
        ASSERT_EQ(loaded.Width(), 8);
        ASSERT_EQ(loaded.Height(), 3);
        for (int y = 0; y < 3; ++y)
            EXPECT_EQ(std::memcmp(loaded.ScanLine(y), bitmap.ScanLine(y), rowBytes), 0) << "row " << y;
        if (format == pf8bit) {
            PALETTEENTRY entries[256];
            EXPECT_EQ(GetPaletteEntries(loaded.Palette(), 0, 256, entries), 5u);
            EXPECT_EQ(entries[4].peRed, 0xAB);
            EXPECT_EQ(entries[4].peBlue, 0xEF);
        }
    }
}

TEST_F(BitmapTest, LoadingReadsTopDownFilesBottomUpAndRefusesOtherData) {
    const HBITMAP topDown = NewDibSection(2, -2, 24);
    {
        const HDC dc = CreateCompatibleDC(nullptr);
        const HGDIOBJ old = SelectObject(dc, ToGdiObject(topDown));
        SetPixel(dc, 0, 0, kRed);
        SelectObject(dc, old);
        DeleteDC(dc);
    }
    TBitmap bitmap;
    bitmap.SetHandle(topDown);
    EXPECT_EQ(bitmap.PixelFormat(), pf24bit);
    EXPECT_EQ(bitmap.ScanLine(0)[2], 255);
    EXPECT_GT(bitmap.ScanLine(0), bitmap.ScanLine(1));

    TMemoryStream garbage;
    const std::string bytes = "BM" + std::string(60, 'x');
    garbage.WriteBuffer(bytes.data(), int64_t(bytes.size()));
    garbage.SetPosition(0);
    EXPECT_THROW(bitmap.LoadFromStream(garbage), EInvalidGraphic);
    EXPECT_EQ(bitmap.Width(), 2); // kept
}

TEST_F(BitmapTest, ImpossibleSizesRaiseAndLeaveTheBitmapUsable) {
    const struct {
        TPixelFormat format;
        int width, height;
    } cases[] = {
        {pf32bit, 100000, 100000}, // 40 GB
        {pf32bit, 65536, 32768},   // 2^33 bytes: nothing left in 32 bits
        {pf1bit, INT_MAX, INT_MAX},
        {pf24bit, -1, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
        TBitmap bitmap;
        bitmap.SetPixelFormat(c.format);
        bitmap.SetSize(2, 2);
        bitmap.Canvas()->SetPixel(1, 1, TColor(kGreen));
        EXPECT_THROW(bitmap.SetSize(c.width, c.height), EOutOfResources);
        EXPECT_EQ(bitmap.Width(), 2);
        EXPECT_EQ(bitmap.Height(), 2);
        const TColor kept = c.format == pf1bit ? TColor(0) : TColor(kGreen);
        EXPECT_EQ(bitmap.Canvas()->Pixel(1, 1), kept);
        bitmap.SetSize(3, 3);
        EXPECT_EQ(bitmap.Canvas()->Pixel(1, 1), kept);
    }
}

TEST_F(BitmapTest, ResizingKeepsThePixelsThatRemainAndMakesTheNewOnesWhite) {
    for (TPixelFormat format : {pfDevice, pf1bit, pf4bit, pf24bit}) {
        SCOPED_TRACE(int(format));
        TBitmap bitmap;
        bitmap.SetPixelFormat(format);
        bitmap.SetSize(2, 2);
        bitmap.Canvas()->SetPixel(0, 0, TColor(0));
        bitmap.Canvas()->SetPixel(1, 1, TColor(0));
        bitmap.SetSize(3, 1);
        EXPECT_EQ(bitmap.Canvas()->Pixel(0, 0), TColor(0));
        EXPECT_EQ(bitmap.Canvas()->Pixel(1, 0), TColor(kWhite));
        EXPECT_EQ(bitmap.Canvas()->Pixel(2, 0), TColor(kWhite));
        bitmap.SetSize(2, 2);
        EXPECT_EQ(bitmap.Canvas()->Pixel(1, 1), TColor(kWhite));
    }
}

// A 3x2 picture: green at the bottom left and the top right, red and blue elsewhere.
void PaintKeyed(TBitmap& bitmap) {
    bitmap.SetPixelFormat(pf24bit);
    bitmap.SetSize(3, 2);
    const COLORREF rows[2][3] = {{kRed, kBlue, kGreen}, {kGreen, kRed, kBlue}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) PutPixel(bitmap, x, y, rows[y][x]);
}

TEST_F(BitmapTest, TransparentBitmapsDrawWithoutTheirKeyColour) {
    TBitmap bitmap;
    PaintKeyed(bitmap);
    bitmap.SetTransparent(true);
    EXPECT_EQ(bitmap.TransparentMode(), tmAuto);
    EXPECT_EQ(bitmap.TransparentColor(), TColor(kGreen));

    TDibDc target(6, 4);
    TCanvas canvas;
    canvas.SetHandle(target.dc);
    const std::initializer_list<std::pair<COLORREF, char>> keys = {
        {kWhite, '.'}, {kRed, 'r'}, {kGreen, 'g'}, {kBlue, 'b'}};
    canvas.Draw(0, 0, &bitmap);
    EXPECT_EQ(target.Row(0, keys), "rb....");
    EXPECT_EQ(target.Row(1, keys), ".rb...");

    target.Fill(kWhite);
    canvas.StretchDraw(TRect{0, 0, 6, 4}, &bitmap);
    EXPECT_EQ(target.Row(0, keys), "rrbb..");
    EXPECT_EQ(target.Row(3, keys), "..rrbb");

    target.Fill(kWhite);
    bitmap.SetTransparentColor(TColor(kBlue));
    EXPECT_EQ(bitmap.TransparentMode(), tmFixed);
    canvas.Draw(0, 0, &bitmap);
    EXPECT_EQ(target.Row(0, keys), "r.g...");
    EXPECT_EQ(target.Row(1, keys), "gr....");

    bitmap.SetTransparent(false);
    canvas.Draw(0, 0, &bitmap);
    EXPECT_EQ(target.Row(0, keys), "rbg...");
    canvas.SetHandle(nullptr);
}

TEST_F(BitmapTest, MasksAreMonochromeAndWhiteWhereTheKeyColourIs) {
    TBitmap bitmap;
    PaintKeyed(bitmap);
    const HBITMAP mask = bitmap.MaskHandle();
    BITMAP info{};
    ASSERT_TRUE(GetObjectW(ToGdiObject(mask), sizeof info, &info));
    EXPECT_EQ(info.bmBitsPixel, 1);
    EXPECT_EQ(bitmap.MaskHandle(), mask); // kept until the bitmap changes

    bitmap.Mask(TColor(kRed));
    EXPECT_TRUE(bitmap.Monochrome());
    EXPECT_EQ(bitmap.HandleType(), bmDDB);
    EXPECT_EQ(bitmap.Canvas()->Pixel(0, 0), TColor(kWhite));
    EXPECT_EQ(bitmap.Canvas()->Pixel(1, 0), TColor(0));
    EXPECT_EQ(bitmap.Canvas()->Pixel(1, 1), TColor(kWhite));
}

TEST_F(BitmapTest, DeviceBitmapsBecomeDibsForScanLinesAndSurviveDormancy) {
    TBitmap bitmap;
    bitmap.SetSize(2, 2);
    EXPECT_EQ(bitmap.PixelFormat(), pfDevice);
    EXPECT_EQ(bitmap.HandleType(), bmDDB);
    bitmap.Canvas()->SetPixel(1, 0, TColor(kBlue));
    bitmap.Dormant();
    EXPECT_FALSE(bitmap.HandleAllocated());
    EXPECT_EQ(bitmap.Canvas()->Pixel(1, 0), TColor(kBlue));
    EXPECT_EQ(bitmap.HandleType(), bmDDB);

    EXPECT_EQ(bitmap.ScanLine(0)[4], 255);
    EXPECT_EQ(bitmap.HandleType(), bmDIB);
    EXPECT_EQ(bitmap.PixelFormat(), pf32bit);

    bitmap.SetMonochrome(true);
    EXPECT_EQ(bitmap.PixelFormat(), pf1bit);
    EXPECT_EQ(bitmap.HandleType(), bmDDB);
    bitmap.SetHandleType(bmDIB);
    EXPECT_EQ(bitmap.PixelFormat(), pf1bit);
    EXPECT_EQ(bitmap.HandleType(), bmDIB);

    const HBITMAP released = bitmap.ReleaseHandle();
    EXPECT_FALSE(bitmap.HandleAllocated());
    EXPECT_EQ(bitmap.Width(), 2);
    DeleteObject(ToGdiObject(released));
}

TEST_F(BitmapTest, AssignCopiesBitmapsAndDrawsOtherGraphics) {
    TBitmap source;
    PaintKeyed(source);
    source.SetTransparent(true);
    TBitmap copy;
    int changes = 0;
    copy.OnChange = [&](TObject*) { ++changes; };
    copy.Assign(&source);
    EXPECT_GE(changes, 1);
    EXPECT_TRUE(copy.Modified());
    EXPECT_TRUE(copy.Transparent());
    EXPECT_EQ(copy.PixelFormat(), pf24bit);
    PutPixel(source, 0, 0, kBlue);
    EXPECT_EQ(copy.Canvas()->Pixel(0, 0), TColor(kRed)); // a copy of its own

    const TIconImage image = IconImage(2, 1, {0xFF0000FF, 0xFFFF0000}, {0, 0});
    const std::vector<uint8_t> file = WriteIcoFile(std::span(&image, 1));
    TMemoryStream stream;
    stream.WriteBuffer(file.data(), int64_t(file.size()));
    stream.SetPosition(0);
    TIcon icon;
    icon.LoadFromStream(stream);
    TBitmap drawn;
    drawn.SetPixelFormat(pf24bit);
    drawn.Assign(&icon);
    EXPECT_EQ(drawn.Width(), 2);
    EXPECT_EQ(drawn.Canvas()->Pixel(0, 0), TColor(kBlue));
    EXPECT_EQ(drawn.Canvas()->Pixel(1, 0), TColor(kRed));

    drawn.Assign(nullptr);
    EXPECT_TRUE(drawn.Empty());
}

TEST_F(BitmapTest, LoadsEmbeddedBitmapResources) {
    TBitmap picture;
    PaintKeyed(picture);
    TMemoryStream stream;
    picture.SaveToStream(stream);
    AddTestResource(u"BITMAP", u"GRAPHICS_TEST_KEYED", StreamBytes(stream));
    TBitmap bitmap;
    bitmap.LoadFromResourceName(nullptr, u"graphics_test_keyed");
    EXPECT_EQ(bitmap.Width(), 3);
    EXPECT_EQ(bitmap.Canvas()->Pixel(0, 1), TColor(kGreen));
    EXPECT_THROW(bitmap.LoadFromResourceName(nullptr, u"NO_SUCH_BITMAP"), EResNotFound);
}

} // namespace
