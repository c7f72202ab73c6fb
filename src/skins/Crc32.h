#pragma once
// CRC-32 of the PNG chunks (reflected polynomial 0xEDB88320, register all
// ones at the start, inverted at the end). The tables are built at compile
// time; the update takes eight bytes per step.

#include <cstddef>
#include <cstdint>

// Continues Crc (the final value of the bytes before) over Size bytes; a null Data gives 0.
uint32_t UpdateCrc32(uint32_t crc, const void* data, size_t size) noexcept;
inline uint32_t Crc32(const void* data, size_t size) noexcept { return UpdateCrc32(0, data, size); }
