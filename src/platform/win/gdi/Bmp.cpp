// The BMP file format.
#include <algorithm>
#include <bit>
#include <cstring>

#include "platform/win/gdi/Bitmaps.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/gdi/Objects.h"

namespace {

constexpr WORD kBmpMagic = 0x4D42; // "BM"

template <class T>
bool ReadAt(std::span<const uint8_t> file, uint64_t at, T& out) {
    if (at > file.size() || file.size() - at < sizeof(T)) return false;
    std::memcpy(&out, file.data() + at, sizeof(T));
    return true;
}

// A channel of a bit-field pixel scaled to 8 bits.
struct TChannel {
    DWORD mask = 0;
    int shift = 0, bits = 0;
    explicit TChannel(DWORD m) : mask(m), shift(m ? std::countr_zero(m) : 0), bits(std::popcount(m)) {}
    uint32_t Of(uint32_t pixel) const noexcept {
        if (!bits) return 0;
        const uint32_t value = (pixel & mask) >> shift;
        const uint32_t max = bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1;
        return uint32_t((uint64_t(value) * 255 + max / 2) / max);
    }
};

} // namespace

HBITMAP ReadBmp(std::span<const uint8_t> file) {
    BITMAPFILEHEADER fileHeader;
    BITMAPINFOHEADER header;
    if (!ReadAt(file, 0, fileHeader) || fileHeader.bfType != kBmpMagic || !ReadAt(file, 14, header)) return nullptr;
    if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biSize > file.size() - 14) return nullptr;
    const int width = header.biWidth, height = header.biHeight, bpp = header.biBitCount;
    if (width <= 0 || height == 0 || height == INT32_MIN) return nullptr;
    const bool bitfields = header.biCompression == BI_BITFIELDS;
    if (bitfields ? bpp != 16 && bpp != 32
                  : header.biCompression != BI_RGB || (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32))
        return nullptr;
    uint64_t tableAt = 14 + uint64_t(header.biSize);
    DWORD masks[3] = {};
    if (bitfields) {
        // Inside a larger header, else right after the 40-byte one.
        const uint64_t masksAt = 14 + sizeof(BITMAPINFOHEADER);
        if (!ReadAt(file, masksAt, masks)) return nullptr;
        if (header.biSize == sizeof(BITMAPINFOHEADER)) tableAt += sizeof masks;
    }
    std::vector<RGBQUAD> colors;
    if (bpp <= 8) {
        const DWORD full = 1u << bpp;
        const DWORD count = header.biClrUsed && header.biClrUsed < full ? header.biClrUsed : full;
        if (tableAt + uint64_t(count) * sizeof(RGBQUAD) > file.size()) return nullptr;
        colors.resize(count);
        std::memcpy(colors.data(), file.data() + tableAt, count * sizeof(RGBQUAD));
    }
    const int rows = std::abs(height);
    const int64_t stride = RowBytes(width, bpp, 4);
    if (stride == 0) return nullptr;
    const uint64_t dataSize = uint64_t(stride) * uint64_t(rows);
    if (fileHeader.bfOffBits > file.size() || file.size() - fileHeader.bfOffBits < dataSize) return nullptr;
    const uint8_t* data = file.data() + fileHeader.bfOffBits;

    const HBITMAP handle = NewDibSection(width, height, bitfields ? 32 : bpp, std::move(colors));
    TBitmapObject* bitmap = FindBitmap(handle);
    if (!bitmap) return nullptr;
    if (!bitfields) {
        std::memcpy(bitmap->storage.get(), data, size_t(dataSize));
        return handle;
    }
    const TChannel red(masks[0]), green(masks[1]), blue(masks[2]);
    for (int stored = 0; stored < rows; ++stored) {
        const uint8_t* in = data + size_t(stored) * size_t(stride);
        auto* out = reinterpret_cast<uint32_t*>(bitmap->storage.get() + size_t(stored) * size_t(bitmap->stride));
        for (int x = 0; x < width; ++x) {
            uint32_t pixel = 0;
            std::memcpy(&pixel, in + size_t(x) * size_t(bpp / 8), size_t(bpp / 8));
            out[x] = red.Of(pixel) << 16 | green.Of(pixel) << 8 | blue.Of(pixel);
        }
    }
    return handle;
}

std::vector<uint8_t> WriteBmp(HBITMAP handle, int bpp) {
    const TBitmapObject* bitmap = FindBitmap(handle);
    if (!bitmap || (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32)) return {};
    // Paletted files carry the bitmap's own table as long as it is (a short table stays short).
    const size_t tableEntries = bpp > 8 ? 0
                                : bitmap->bpp == bpp && !bitmap->colors.empty()
                                    ? std::min(bitmap->colors.size(), size_t(1) << bpp)
                                    : size_t(1) << bpp;
    std::vector<uint8_t> info(sizeof(BITMAPINFOHEADER) + (size_t(1) << std::min(bpp, 8)) * sizeof(RGBQUAD));
    auto& header = *reinterpret_cast<BITMAPINFOHEADER*>(info.data());
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = bitmap->width;
    header.biHeight = bitmap->height;
    header.biPlanes = 1;
    header.biBitCount = WORD(bpp);
    header.biCompression = BI_RGB;
    header.biClrUsed = DWORD(tableEntries);
    const uint64_t dataSize = uint64_t(RowBytes(bitmap->width, bpp, 4)) * uint64_t(bitmap->height);
    const uint64_t tableSize = tableEntries * sizeof(RGBQUAD);
    const uint64_t offset = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + tableSize;
    if (offset + dataSize > UINT32_MAX) return {};
    std::vector<uint8_t> file(size_t(offset + dataSize));
    if (GetDIBits(nullptr, handle, 0, UINT(bitmap->height), file.data() + offset,
                  reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS) != bitmap->height)
        return {};
    header.biClrUsed = DWORD(tableEntries);
    const BITMAPFILEHEADER fileHeader{kBmpMagic, DWORD(file.size()), 0, 0, DWORD(offset)};
    std::memcpy(file.data(), &fileHeader, sizeof fileHeader);
    std::memcpy(file.data() + sizeof fileHeader, info.data(), sizeof(BITMAPINFOHEADER) + size_t(tableSize));
    return file;
}
