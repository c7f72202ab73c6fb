#include "platform/ui/graphics/PixelFormats.h"

#include <algorithm>

#include "platform/win/gdi/Gdi.h"

int BitsOfPixelFormat(TPixelFormat format) noexcept {
    switch (format) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf24bit: return 24;
    case pf32bit: return 32;
    default: return 0;
    }
}

TPixelFormat PixelFormatOfBits(int bitsPerPixel) noexcept {
    switch (bitsPerPixel) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 24: return pf24bit;
    case 32: return pf32bit;
    default: return pfCustom;
    }
}

int64_t DibImageBytes(int64_t width, int64_t height, int bitsPerPixel) noexcept {
    if (width < 0 || height < 0) return -1;
    // Width and height are at most 2^31, so the row bits stay within 2^37 and the product within 2^63.
    const int64_t rowBytes = (width * bitsPerPixel + 31) / 32 * 4;
    return rowBytes * height;
}

std::vector<RGBQUAD> DefaultColorTable(int bitsPerPixel) {
    static constexpr COLORREF kStandard[16] = {
        0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0x808080,
        0xC0C0C0, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF,
    };
    auto quad = [](int r, int g, int b) { return RGBQUAD{BYTE(b), BYTE(g), BYTE(r), 0}; };
    if (bitsPerPixel == 1) return {quad(0, 0, 0), quad(255, 255, 255)};
    std::vector<RGBQUAD> table;
    for (COLORREF c : kStandard) table.push_back(quad(GetRValue(c), GetGValue(c), GetBValue(c)));
    if (bitsPerPixel == 4) return table;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b) table.push_back(quad(r * 51, g * 51, b * 51));
    for (int i = 1; table.size() < 256; ++i) table.push_back(quad(i * 10, i * 10, i * 10));
    return table;
}

std::vector<RGBQUAD> ColorTableOfPalette(HPALETTE palette, int bitsPerPixel) {
    std::vector<PALETTEENTRY> entries(size_t(1) << std::min(bitsPerPixel, 8));
    entries.resize(GetPaletteEntries(palette, 0, UINT(entries.size()), entries.data()));
    std::vector<RGBQUAD> table;
    for (const PALETTEENTRY& e : entries) table.push_back(RGBQUAD{e.peBlue, e.peGreen, e.peRed, 0});
    return table;
}

HPALETTE PaletteOfColorTable(const std::vector<RGBQUAD>& colors) {
    if (colors.empty()) return nullptr;
    std::vector<uint8_t> buffer(sizeof(LOGPALETTE) + colors.size() * sizeof(PALETTEENTRY));
    auto* palette = reinterpret_cast<LOGPALETTE*>(buffer.data());
    palette->palVersion = 0x300;
    palette->palNumEntries = WORD(colors.size());
    for (size_t i = 0; i < colors.size(); ++i)
        palette->palPalEntry[i] = PALETTEENTRY{colors[i].rgbRed, colors[i].rgbGreen, colors[i].rgbBlue, 0};
    return CreatePalette(palette);
}

TDibInfo::TDibInfo(int width, int height, int bitsPerPixel, const std::vector<RGBQUAD>& table) {
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = WORD(bitsPerPixel);
    header.biCompression = BI_RGB;
    header.biClrUsed = DWORD(std::min(table.size(), colors.size()));
    std::copy_n(table.begin(), header.biClrUsed, colors.begin());
}
