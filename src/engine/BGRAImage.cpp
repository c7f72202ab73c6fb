#include "engine/BGRAImage.h"

#include <algorithm>
#include <cstring>

#include "platform/rtl/Exceptions.h"

void TBGRAImage::SetSize(int width, int height) {
    if (width <= 0 || height <= 0) width = height = 0;
    width_ = width;
    height_ = height;
    pixels_.assign(static_cast<size_t>(width) * static_cast<size_t>(height) * 4, 0);
}

uint32_t TBGRAImage::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) throw ERangeError("Pixel out of range");
    uint32_t value;
    std::memcpy(&value, pixels_.data() + (static_cast<size_t>(y) * width_ + x) * 4, 4);
    return value;
}

void TBGRAImage::Fill(uint32_t color) {
    for (size_t i = 0; i < pixels_.size(); i += 4) std::memcpy(&pixels_[i], &color, 4);
}

void TBGRAImage::Draw(const TBGRAImage& source, int x, int y) {
    const int left = std::max(x, 0), top = std::max(y, 0);
    const int right = std::min(x + source.width_, width_), bottom = std::min(y + source.height_, height_);
    if (left >= right) return;
    for (int row = top; row < bottom; ++row)
        std::memcpy(&pixels_[(static_cast<size_t>(row) * width_ + left) * 4],
                    &source.pixels_[(static_cast<size_t>(row - y) * source.width_ + (left - x)) * 4],
                    static_cast<size_t>(right - left) * 4);
}
