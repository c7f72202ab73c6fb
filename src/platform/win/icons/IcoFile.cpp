#include "platform/win/icons/IcoFile.h"

#include <algorithm>
#include <cstring>

#include "platform/win/gdi/Objects.h"

namespace {

constexpr WORD kIconType = 1, kCursorType = 2;
constexpr size_t kDirectorySize = 6, kEntrySize = 16;
// Larger entries are refused: the format's own limit is 256.
constexpr int kMaxSide = 1024;

#pragma pack(push, 1)
struct TDirectoryHeader {
    WORD reserved, type, count;
};
struct TDirectoryEntry {
    BYTE width, height, colorCount, reserved;
    WORD planesOrHotX, bitCountOrHotY;
    DWORD bytes, offset;
};
#pragma pack(pop)
static_assert(sizeof(TDirectoryHeader) == kDirectorySize && sizeof(TDirectoryEntry) == kEntrySize);

template <class T>
bool ReadAt(std::span<const uint8_t> bytes, uint64_t at, T& out) {
    if (at > bytes.size() || bytes.size() - at < sizeof(T)) return false;
    std::memcpy(&out, bytes.data() + at, sizeof(T));
    return true;
}

int Side(BYTE stored) { return stored ? stored : 256; }

uint32_t TableColor(const std::vector<RGBQUAD>& table, unsigned index) {
    if (index >= table.size()) return 0;
    const RGBQUAD& c = table[index];
    return uint32_t(c.rgbRed) << 16 | uint32_t(c.rgbGreen) << 8 | c.rgbBlue;
}

uint32_t Expand5(uint32_t value) { return value << 3 | value >> 2; }

// Pixel X of a stored row of Bpp bits.
uint32_t PixelOf(const uint8_t* row, int x, int bpp, const std::vector<RGBQUAD>& table) {
    switch (bpp) {
    case 1: return TableColor(table, row[x >> 3] >> (7 - (x & 7)) & 1);
    case 4: return TableColor(table, row[x >> 1] >> ((x & 1) ? 0 : 4) & 0xF);
    case 8: return TableColor(table, row[x]);
    case 16: {
        const uint32_t v = uint32_t(row[2 * x]) | uint32_t(row[2 * x + 1]) << 8;
        return Expand5(v >> 10 & 31) << 16 | Expand5(v >> 5 & 31) << 8 | Expand5(v & 31);
    }
    case 24: return uint32_t(row[3 * x + 2]) << 16 | uint32_t(row[3 * x + 1]) << 8 | row[3 * x];
    default: {
        uint32_t v;
        std::memcpy(&v, row + 4 * x, 4);
        return v;
    }
    }
}

} // namespace

bool ReadIcoDirectory(std::span<const uint8_t> file, TIcoDirectory& directory) {
    TDirectoryHeader header;
    if (!ReadAt(file, 0, header) || header.reserved != 0 || (header.type != kIconType && header.type != kCursorType) ||
        header.count == 0)
        return false;
    directory = TIcoDirectory{};
    directory.cursor = header.type == kCursorType;
    for (size_t i = 0; i < header.count; ++i) {
        TDirectoryEntry stored;
        if (!ReadAt(file, kDirectorySize + i * kEntrySize, stored)) return false;
        if (stored.offset > file.size() || file.size() - stored.offset < stored.bytes) continue;
        TIcoEntry entry;
        entry.width = Side(stored.width);
        entry.height = Side(stored.height);
        if (directory.cursor) entry.hotSpot = POINT{stored.planesOrHotX, stored.bitCountOrHotY};
        else entry.bpp = stored.bitCountOrHotY;
        entry.data = file.subspan(stored.offset, stored.bytes);
        directory.entries.push_back(entry);
    }
    return true;
}

bool DecodeIcoEntry(const TIcoEntry& entry, TIconImage& image) {
    BITMAPINFOHEADER header;
    if (!ReadAt(entry.data, 0, header) || header.biSize < sizeof header || header.biSize > entry.data.size()) return false;
    const int bpp = header.biBitCount;
    const int width = header.biWidth, height = header.biHeight / 2;
    if (header.biCompression != BI_RGB || (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32))
        return false;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return false;
    uint64_t at = header.biSize;
    std::vector<RGBQUAD> table;
    if (bpp <= 8) {
        const uint32_t full = 1u << bpp;
        const uint32_t count = header.biClrUsed && header.biClrUsed < full ? header.biClrUsed : full;
        if (at + uint64_t(count) * sizeof(RGBQUAD) > entry.data.size()) return false;
        table.resize(count);
        std::memcpy(table.data(), entry.data.data() + at, count * sizeof(RGBQUAD));
        at += uint64_t(count) * sizeof(RGBQUAD);
    }
    const uint64_t colorStride = uint64_t(RowBytes(width, bpp, 4)), maskStride = uint64_t(RowBytes(width, 1, 4));
    const uint64_t colorBytes = colorStride * uint64_t(height), maskBytes = maskStride * uint64_t(height);
    if (at + colorBytes > entry.data.size()) return false;
    // A 32-bit image may leave its mask out: its alpha says it.
    const bool hasMask = at + colorBytes + maskBytes <= entry.data.size();
    if (!hasMask && bpp != 32) return false;
    if (!image.Reset(width, height)) return false;
    const uint8_t* colors = entry.data.data() + at;
    const uint8_t* masks = colors + colorBytes;
    for (int y = 0; y < height; ++y) {
        // Rows are stored bottom up.
        const uint8_t* colorRow = colors + uint64_t(height - 1 - y) * colorStride;
        const uint8_t* maskRow = masks + uint64_t(height - 1 - y) * maskStride;
        for (int x = 0; x < width; ++x) {
            const uint32_t pixel = PixelOf(colorRow, x, bpp, table);
            image.Color(x, y) = pixel;
            image.Mask(x, y) = hasMask ? maskRow[x >> 3] >> (7 - (x & 7)) & 1 : pixel >> 24 == 0;
        }
    }
    if (bpp == 32) image.DetectAlpha();
    return true;
}

int BestIcoEntry(const TIcoDirectory& directory, int width, int height) {
    int best = -1;
    // Lower ranks are better: exact, then larger by the least, then smaller by the least.
    auto rank = [&](const TIcoEntry& e) -> int64_t {
        const int64_t dw = e.width - width, dh = e.height - height;
        if (dw == 0 && dh == 0) return 0;
        if (dw >= 0 && dh >= 0) return 1 + dw + dh;
        return (int64_t{1} << 20) - std::min<int64_t>(dw, 0) - std::min<int64_t>(dh, 0);
    };
    for (int i = 0; i < int(directory.entries.size()); ++i) {
        if (best < 0) {
            best = i;
            continue;
        }
        const TIcoEntry &e = directory.entries[size_t(i)], &b = directory.entries[size_t(best)];
        if (rank(e) < rank(b) || (rank(e) == rank(b) && e.bpp > b.bpp)) best = i;
    }
    return best;
}

std::vector<uint8_t> WriteIcoFile(std::span<const TIconImage> images, std::span<const POINT> hotSpots) {
    const bool cursor = !hotSpots.empty();
    std::vector<uint8_t> file(kDirectorySize + kEntrySize * images.size());
    const TDirectoryHeader header{0, cursor ? kCursorType : kIconType, WORD(images.size())};
    std::memcpy(file.data(), &header, sizeof header);
    for (size_t i = 0; i < images.size(); ++i) {
        const TIconImage& image = images[i];
        const size_t colorStride = size_t(image.width) * 4, maskStride = size_t(RowBytes(image.width, 1, 4));
        const BITMAPINFOHEADER bmp{sizeof(BITMAPINFOHEADER), image.width, image.height * 2, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        std::vector<uint8_t> data(sizeof bmp + (colorStride + maskStride) * size_t(image.height));
        std::memcpy(data.data(), &bmp, sizeof bmp);
        uint8_t* colors = data.data() + sizeof bmp;
        uint8_t* masks = colors + colorStride * size_t(image.height);
        for (int y = 0; y < image.height; ++y) {
            const size_t stored = size_t(image.height - 1 - y);
            std::memcpy(colors + stored * colorStride, &image.color[size_t(y) * size_t(image.width)], colorStride);
            for (int x = 0; x < image.width; ++x)
                if (image.Mask(x, y)) masks[stored * maskStride + size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
        }
        const POINT hot = cursor && i < hotSpots.size() ? hotSpots[i] : POINT{};
        const TDirectoryEntry entry{BYTE(image.width & 0xFF), BYTE(image.height & 0xFF), 0, 0,
                                    WORD(cursor ? hot.x : 1), WORD(cursor ? hot.y : 32), DWORD(data.size()),
                                    DWORD(file.size())};
        std::memcpy(file.data() + kDirectorySize + i * kEntrySize, &entry, sizeof entry);
        file.insert(file.end(), data.begin(), data.end());
    }
    return file;
}
