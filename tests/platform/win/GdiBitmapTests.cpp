#include "GdiFixture.h"

#include <cstring>

#include "platform/win/system/SystemColors.h"

namespace {

class BitmapTest : public GdiTest {};

// A BMP file written by hand: Pixels are indexes (paletted) or 0xRRGGBB values, top row first.
std::vector<uint8_t> MakeBmp(int width, int height, int bpp, bool topDown, const std::vector<RGBQUAD>& table,
                             const std::vector<uint32_t>& pixels) {
    const int stride = (width * bpp + 31) / 32 * 4;
    const uint32_t offset = 14 + 40 + uint32_t(table.size()) * 4;
    std::vector<uint8_t> file(offset + size_t(stride) * height);
    BITMAPFILEHEADER fh{0x4D42, uint32_t(file.size()), 0, 0, offset};
    BITMAPINFOHEADER ih{40, width, topDown ? -height : height, 1, WORD(bpp), BI_RGB, 0, 0, 0, DWORD(table.size()), 0};
    std::memcpy(file.data(), &fh, 14);
    std::memcpy(file.data() + 14, &ih, 40);
    if (!table.empty()) std::memcpy(file.data() + 54, table.data(), table.size() * 4);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = file.data() + offset + size_t(topDown ? y : height - 1 - y) * stride;
        for (int x = 0; x < width; ++x) {
            const uint32_t p = pixels[size_t(y * width + x)];
            switch (bpp) {
            case 1: row[x / 8] |= uint8_t(p << (7 - x % 8)); break;
            case 4: row[x / 2] |= uint8_t(x % 2 ? p : p << 4); break;
            case 8: row[x] = uint8_t(p); break;
            case 24: std::memcpy(row + x * 3, &p, 3); break;
            case 32: std::memcpy(row + x * 4, &p, 4); break;
            }
        }
    }
    return file;
}

// The 0xRRGGBB colours of a bitmap's pixels, top row first.
std::vector<uint32_t> Colours(HBITMAP bitmap) {
    BITMAP bm{};
    GetObjectW(ToGdiObject(bitmap), sizeof bm, &bm);
    TBitmapDc dc(bitmap);
    std::vector<uint32_t> out;
    for (int y = 0; y < bm.bmHeight; ++y)
        for (int x = 0; x < bm.bmWidth; ++x) out.push_back(Bgr(GetPixel(dc.dc, x, y)));
    return out;
}

TEST_F(BitmapTest, SectionsReportTheirSignedHeightAndStoreRowsInThatOrder) {
    for (const int height : {3, -3}) {
        BITMAPINFO info{};
        info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 2, height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        const HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        ASSERT_NE(bitmap, nullptr);
        DIBSECTION section{};
        EXPECT_EQ(GetObjectW(ToGdiObject(bitmap), sizeof section, &section), int(sizeof section));
        EXPECT_EQ(section.dsBmih.biHeight, height);
        EXPECT_EQ(section.dsBm.bmBits, bits);
        EXPECT_EQ(section.dsBm.bmWidthBytes, 8);
        {
            TBitmapDc dc(bitmap);
            SetPixelV(dc.dc, 1, 0, RGB(1, 2, 3)); // row 0 from the top
        }
        // Row r of a bottom-up section is stored at line height - r - 1.
        const int line = height > 0 ? height - 1 : 0;
        EXPECT_EQ(static_cast<uint32_t*>(bits)[line * 2 + 1], 0x00010203u) << height;
        DeleteObject(ToGdiObject(bitmap));
    }
}

TEST_F(BitmapTest, OneBitSectionsPaintTheirTwoPaletteColours) {
    const std::vector<RGBQUAD> table = {{0, 0, 255, 0}, {255, 0, 0, 0}};
    TCanvas section(2, 1, 1, table);
    section.bits[0] = 0x40; // pixel 1 is index 1
    TCanvas dest(2, 1);
    BitBlt(dest.dc, 0, 0, 2, 1, section.dc, 0, 0, SRCCOPY);
    EXPECT_EQ(dest.At(0, 0), 0x00FF0000u);
    EXPECT_EQ(dest.At(1, 0), 0x000000FFu);
    RGBQUAD read[2]{};
    EXPECT_EQ(GetDIBColorTable(section.dc, 0, 2, read), 2u);
    EXPECT_EQ(read[1], table[1]);
}

TEST_F(BitmapTest, BmpFilesOfEveryDepthRoundTripBothRowOrders) {
    const std::vector<RGBQUAD> table = {{0, 0, 0, 0}, {0, 0, 255, 0}, {0, 255, 0, 0}, {255, 0, 0, 0}};
    const std::vector<uint32_t> colours = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
    const std::vector<uint32_t> indexes = {0, 1, 2, 3, 3, 2, 1, 0, 1, 1};
    for (const int bpp : {1, 4, 8, 24, 32})
        for (const bool topDown : {false, true}) {
            std::vector<uint32_t> stored, expected;
            for (uint32_t i : indexes) {
                const uint32_t index = bpp == 1 ? i & 1 : i;
                stored.push_back(bpp <= 8 ? index : colours[index]);
                expected.push_back(colours[index]);
            }
            const auto file = MakeBmp(5, 2, bpp, topDown, bpp <= 8 ? table : std::vector<RGBQUAD>{}, stored);
            const HBITMAP read = ReadBmp(file);
            ASSERT_NE(read, nullptr) << bpp;
            EXPECT_EQ(Colours(read), expected) << bpp << " bits, top down " << topDown;
            // Paletted bitmaps also write their own depth with their own table.
            for (const int writtenBpp : {bpp <= 8 ? bpp : 24, 24, 32}) {
                const HBITMAP again = ReadBmp(WriteBmp(read, writtenBpp));
                ASSERT_NE(again, nullptr) << bpp << " written as " << writtenBpp;
                EXPECT_EQ(Colours(again), expected) << bpp << " written as " << writtenBpp;
                DeleteObject(ToGdiObject(again));
            }
            DeleteObject(ToGdiObject(read));
        }
}

// A bit-field BMP file of one row: the masks follow a 40-byte header or lie
// inside a larger one.
std::vector<uint8_t> MakeBitfieldsBmp(int bpp, DWORD headerSize, const DWORD (&masks)[3],
                                      const std::vector<uint32_t>& pixels) {
    const int width = int(pixels.size());
    const int stride = (width * bpp + 31) / 32 * 4;
    const uint32_t offset = 14 + headerSize + (headerSize == 40 ? 12 : 0);
    std::vector<uint8_t> file(offset + size_t(stride));
    BITMAPFILEHEADER fh{0x4D42, uint32_t(file.size()), 0, 0, offset};
    BITMAPINFOHEADER ih{headerSize, width, 1, 1, WORD(bpp), BI_BITFIELDS, 0, 0, 0, 0, 0};
    std::memcpy(file.data(), &fh, 14);
    std::memcpy(file.data() + 14, &ih, 40);
    std::memcpy(file.data() + 54, masks, sizeof masks);
    for (int x = 0; x < width; ++x) std::memcpy(file.data() + offset + x * bpp / 8, &pixels[size_t(x)], size_t(bpp / 8));
    return file;
}

TEST_F(BitmapTest, BitFieldFilesReadTheirChannelsScaledToEightBits) {
    struct TCase {
        const char* name;
        int bpp;
        DWORD headerSize;
        DWORD masks[3];
        std::vector<uint32_t> stored, colours;
    };
    const TCase cases[] = {
        {"16 bits 5-6-5", 16, 40, {0xF800, 0x07E0, 0x001F},
         {0xF800, 0x07E0, 0x001F, 0x8410}, {0xFF0000, 0x00FF00, 0x0000FF, 0x848284}},
        {"16 bits 5-5-5", 16, 40, {0x7C00, 0x03E0, 0x001F}, {0x7C00, 0x03E0, 0x801F}, {0xFF0000, 0x00FF00, 0x0000FF}},
        {"32 bits in a 124-byte header", 32, 124, {0x0000FF00, 0x00FF0000, 0xFF000000},
         {0x0000FF00, 0x12345678}, {0xFF0000, 0x563412}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        const HBITMAP read = ReadBmp(MakeBitfieldsBmp(c.bpp, c.headerSize, c.masks, c.stored));
        ASSERT_NE(read, nullptr);
        EXPECT_EQ(Colours(read), c.colours);
        DeleteObject(ToGdiObject(read));
    }
}

TEST_F(BitmapTest, MalformedAndImpossibleBmpFilesFailCleanly) {
    auto huge = MakeBmp(1, 1, 24, false, {}, {0});
    BITMAPINFOHEADER ih;
    std::memcpy(&ih, huge.data() + 14, 40);
    ih.biWidth = 100000;
    ih.biHeight = 100000;
    std::memcpy(huge.data() + 14, &ih, 40);
    EXPECT_EQ(ReadBmp(huge), nullptr);

    auto truncated = MakeBmp(4, 4, 8, false, {{0, 0, 0, 0}}, std::vector<uint32_t>(16, 0));
    truncated.resize(truncated.size() - 1);
    EXPECT_EQ(ReadBmp(truncated), nullptr);
    EXPECT_EQ(ReadBmp(std::vector<uint8_t>(10, 'B')), nullptr);

    // Indexes past a short table read black.
    const auto shortTable = MakeBmp(2, 1, 8, true, {{255, 255, 255, 0}}, {0, 7});
    const HBITMAP read = ReadBmp(shortTable);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(Colours(read), (std::vector<uint32_t>{0xFFFFFF, 0}));
    // Written again, the table stays short and the index past it stays black.
    const std::vector<uint8_t> written = WriteBmp(read, 8);
    BITMAPINFOHEADER writtenHeader{};
    ASSERT_GE(written.size(), 54u);
    std::memcpy(&writtenHeader, written.data() + 14, sizeof writtenHeader);
    EXPECT_EQ(writtenHeader.biClrUsed, 1u);
    const HBITMAP again = ReadBmp(written);
    EXPECT_EQ(Colours(again), (std::vector<uint32_t>{0xFFFFFF, 0}));
    DeleteObject(ToGdiObject(again));
    DeleteObject(ToGdiObject(read));

    EXPECT_EQ(CreateBitmap(1 << 30, 1 << 30, 1, 32, nullptr), nullptr);
    EXPECT_EQ(NewDibSection(70000, 70000, 32), nullptr);
}

TEST_F(BitmapTest, DibBitsConvertBetweenFormatsAndAnswerTheHeaderAlone) {
    TCanvas canvas(2, 2);
    canvas.At(0, 0) = 0x80FF0000;
    canvas.At(1, 1) = 0x000000FF;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    EXPECT_EQ(GetDIBits(canvas.dc, canvas.bitmap, 0, 2, nullptr, &info, DIB_RGB_COLORS), 2);
    EXPECT_EQ(info.bmiHeader.biWidth, 2);
    EXPECT_EQ(info.bmiHeader.biHeight, -2);
    EXPECT_EQ(info.bmiHeader.biBitCount, 32);
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biHeight = 2; // bottom up
    uint8_t rows[16]{};
    EXPECT_EQ(GetDIBits(canvas.dc, canvas.bitmap, 0, 2, rows, &info, DIB_RGB_COLORS), 2);
    EXPECT_EQ(info.bmiHeader.biSizeImage, 16u);
    EXPECT_EQ(rows[3], 0xFF); // bottom row first: pixel (1, 1) blue
    EXPECT_EQ(rows[8 + 2], 0xFF); // then the top row: pixel (0, 0) red

    // Back to 32 bits from 24: alpha stays 0.
    rows[8 + 2] = 0x10;
    EXPECT_EQ(SetDIBits(canvas.dc, canvas.bitmap, 0, 2, rows, &info, DIB_RGB_COLORS), 2);
    EXPECT_EQ(canvas.At(0, 0), 0x00100000u);
}

TEST_F(BitmapTest, PalettesAnswerTheirEntries) {
    alignas(LOGPALETTE) uint8_t buffer[sizeof(LOGPALETTE) + 2 * sizeof(PALETTEENTRY)]{};
    auto* logPalette = reinterpret_cast<LOGPALETTE*>(buffer);
    logPalette->palVersion = 0x300;
    logPalette->palNumEntries = 3;
    logPalette->palPalEntry[2] = PALETTEENTRY{1, 2, 3, 0};
    const HPALETTE palette = CreatePalette(logPalette);
    ASSERT_NE(palette, nullptr);
    WORD count = 0;
    EXPECT_EQ(GetObjectW(ToGdiObject(palette), sizeof count, &count), 2);
    EXPECT_EQ(count, 3);
    PALETTEENTRY entries[3]{};
    EXPECT_EQ(GetPaletteEntries(palette, 1, 5, entries), 2u);
    EXPECT_EQ(entries[1].peBlue, 3);
    TCanvas canvas(1, 1);
    const HPALETTE old = SelectPalette(canvas.dc, palette, FALSE);
    EXPECT_EQ(RealizePalette(canvas.dc), 0u);
    SelectPalette(canvas.dc, old, FALSE);
    DeleteObject(ToGdiObject(palette));
}

} // namespace

namespace {

TEST_F(BitmapTest, SystemBitmapsLoadFromEmbeddedResourcesAndMapTheirColours) {
    const HBITMAP checks = LoadBitmapW(nullptr, MAKEINTRESOURCEW(OBM_CHECKBOXES));
    ASSERT_NE(checks, nullptr);
    BITMAP bm{};
    GetObjectW(ToGdiObject(checks), sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth / 4, 13);
    EXPECT_EQ(bm.bmHeight / 3, 13);
    DeleteObject(ToGdiObject(checks));
    EXPECT_EQ(LoadBitmapW(nullptr, u"NoSuchBitmap"), nullptr);

    const COLORMAP map[] = {{GetSysColor(COLOR_BTNTEXT), RGB(255, 0, 0)}};
    const HBITMAP arrow = CreateMappedBitmap(nullptr, OBM_COMBO, 0, const_cast<COLORMAP*>(map), 1);
    ASSERT_NE(arrow, nullptr);
    {
        TBitmapDc dc(arrow);
        EXPECT_EQ(GetPixel(dc.dc, 3, 3), RGB(255, 0, 0));        // the arrow's tip
        EXPECT_EQ(GetPixel(dc.dc, 0, 3), GetSysColor(COLOR_BTNFACE)); // beside it
    }
    DeleteObject(ToGdiObject(arrow));
}

} // namespace
