#pragma once
// A packed 32-bit BGRA picture that does not own its pixels: rows top-down,
// Width * 4 bytes each, as the engine's other pictures.

#include <cstdint>

#include "platform/rtl/TObject.h"

class TAVBitmap : public TObject {
public:
    TAVBitmap(uint8_t* bits, int32_t width, int32_t height) : bits_(bits), width_(width), height_(height) {}

    uint8_t* Bits() const noexcept { return bits_; }
    int32_t Width() const noexcept { return width_; }
    int32_t Height() const noexcept { return height_; }

private:
    uint8_t* bits_;
    int32_t width_;
    int32_t height_;
};
