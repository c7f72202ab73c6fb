#pragma once
// A 32-bit DIB section selected into a memory DC, for the tree's pixel tests,
// with its pixels addressed by row from the top whatever the storage order.

#include <cstdint>

#include "platform/win/gdi/Gdi.h"

class TTreeDib {
public:
    TTreeDib(int width, int height, bool bottomUp = false, int bitsPerPixel = 32)
        : width_(width), height_(height), bottomUp_(bottomUp) {
        BITMAPINFO info{};
        info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), width, bottomUp ? height : -height, 1,
                                          WORD(bitsPerPixel), BI_RGB, 0, 0, 0, 0, 0};
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
        old_ = SelectObject(dc_, ToGdiObject(bitmap_));
    }
    ~TTreeDib() {
        SelectObject(dc_, old_);
        DeleteDC(dc_);
        DeleteObject(ToGdiObject(bitmap_));
    }
    TTreeDib(const TTreeDib&) = delete;
    TTreeDib& operator=(const TTreeDib&) = delete;

    HDC Dc() const noexcept { return dc_; }
    uint32_t* Bits() const noexcept { return static_cast<uint32_t*>(bits_); }
    uint32_t& At(int x, int y) noexcept {
        const int line = bottomUp_ ? height_ - 1 - y : y;
        return Bits()[line * width_ + x];
    }
    void Fill(uint32_t pixel) noexcept {
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x) At(x, y) = pixel;
    }

private:
    int width_, height_;
    bool bottomUp_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    void* bits_ = nullptr;
};
