#pragma once
// An owned 32-bit picture: four bytes per pixel in the order blue, green,
// red, alpha, rows top-down without padding. Stands in for a GUI bitmap
// where the engine hands pictures out.

#include <cstdint>
#include <vector>

class TBGRAImage {
public:
    int Width() const noexcept { return width_; }
    int Height() const noexcept { return height_; }
    bool Empty() const noexcept { return pixels_.empty(); }
    // Bytes from one row to the next.
    int Stride() const noexcept { return width_ * 4; }
    uint8_t* Bits() noexcept { return pixels_.data(); }
    const uint8_t* Bits() const noexcept { return pixels_.data(); }

    // A side of 0 or less makes the picture empty. The pixels are cleared to 0.
    void SetSize(int width, int height);
    // 0xAARRGGBB.
    uint32_t Pixel(int x, int y) const;
    void Fill(uint32_t color);
    // Copies Source with its top-left corner at (X, Y), clipped to this picture.
    void Draw(const TBGRAImage& source, int x, int y);

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<uint8_t> pixels_;
};
