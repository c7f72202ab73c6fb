#pragma once
// Bit arrays: a sequence of 32-bit words, bit N being bit N mod 32 of word N div 32.

#include <cstdint>
#include <span>

#include "platform/rtl/Exceptions.h"

namespace ScLogicDetail {
inline void CheckBit(size_t words, int n) {
    if (n < 0 || static_cast<size_t>(n) / 32 >= words) throw ERangeError("Range check error");
}
} // namespace ScLogicDetail

// Both raise ERangeError for a bit outside the array.
inline void SetBitOf(std::span<uint32_t> bits, int n) {
    ScLogicDetail::CheckBit(bits.size(), n);
    bits[static_cast<size_t>(n) / 32] |= uint32_t{1} << (n % 32);
}

inline bool TestBitOf(std::span<const uint32_t> bits, int n) {
    ScLogicDetail::CheckBit(bits.size(), n);
    return (bits[static_cast<size_t>(n) / 32] >> (n % 32)) & 1;
}
