#pragma once
// Drawing tests: tiny bitmaps in memory DCs, and a check that every test frees
// the objects it made.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/win/gdi/Gdi.h"
#include "platform/win/gdi/Bitmaps.h"
#include "platform/win/system/SystemColors.h"

class GdiTest : public ::testing::Test {
protected:
    static constexpr DWORD kKinds[] = {OBJ_PEN, OBJ_BRUSH, OBJ_BITMAP, OBJ_PAL, OBJ_REGION, OBJ_DC, OBJ_MEMDC};
    void SetUp() override {
        for (DWORD kind : kKinds) baseline_.push_back(GdiLiveObjects(kind));
    }
    void TearDown() override {
        for (size_t i = 0; i < std::size(kKinds); ++i)
            EXPECT_EQ(GdiLiveObjects(kKinds[i]), baseline_[i]) << "objects of kind " << kKinds[i] << " leaked";
    }

private:
    std::vector<size_t> baseline_;
};

// A memory DC holding a DIB section (32-bit top-down unless said otherwise).
struct TCanvas {
    TCanvas(int w, int h, int bpp = 32, std::vector<RGBQUAD> colors = {}, bool topDown = true)
        : width(w), height(h) {
        dc = CreateCompatibleDC(nullptr);
        bitmap = NewDibSection(w, topDown ? -h : h, bpp, std::move(colors));
        BITMAP bm{};
        GetObjectW(ToGdiObject(bitmap), sizeof bm, &bm);
        bits = static_cast<uint8_t*>(bm.bmBits);
        stride = bm.bmWidthBytes;
        old = SelectObject(dc, ToGdiObject(bitmap));
    }
    ~TCanvas() {
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(ToGdiObject(bitmap));
    }
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    // 32-bit canvases, top down: the stored pixel.
    uint32_t& At(int x, int y) { return reinterpret_cast<uint32_t*>(bits + size_t(y) * stride)[x]; }
    void Fill(uint32_t pixel) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) At(x, y) = pixel;
    }
    COLORREF Pixel(int x, int y) const { return GetPixel(dc, x, y); }

    int width, height;
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
    uint8_t* bits;
    int stride;
};

// A monochrome bitmap from rows of '0' and '1' (1: white).
inline HBITMAP MonoBitmap(std::initializer_list<const char*> rows) {
    const int height = int(rows.size()), width = int(std::strlen(*rows.begin()));
    const int stride = (width + 15) / 16 * 2;
    std::vector<uint8_t> bits(size_t(stride) * height);
    int y = 0;
    for (const char* row : rows) {
        for (int x = 0; x < width; ++x)
            if (row[x] == '1') bits[size_t(y) * stride + x / 8] |= uint8_t(0x80 >> (x % 8));
        ++y;
    }
    return CreateBitmap(width, height, 1, 1, bits.data());
}

// A memory DC holding a bitmap; frees the DC (not the bitmap).
struct TBitmapDc {
    explicit TBitmapDc(HBITMAP bitmap) : dc(CreateCompatibleDC(nullptr)) { old = SelectObject(dc, ToGdiObject(bitmap)); }
    ~TBitmapDc() {
        SelectObject(dc, old);
        DeleteDC(dc);
    }
    HDC dc;
    HGDIOBJ old;
};

constexpr uint32_t Bgr(COLORREF c) noexcept {
    return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
}
// The pixel of a system colour.
inline uint32_t Sys(int index) { return Bgr(GetSysColor(index)); }
