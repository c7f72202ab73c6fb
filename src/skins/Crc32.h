#pragma once
// CRC-32 of the PNG chunks (reflected polynomial 0xEDB88320, register all
// ones at the start, inverted at the end). Runs of 64 bytes and more are
// folded with carry-less multiplication where the processor has it; every
// other byte goes through tables built at compile time, eight bytes per step.

#include <cstddef>
#include <cstdint>

// Continues Crc (the final value of the bytes before) over Size bytes; a null Data gives 0.
uint32_t UpdateCrc32(uint32_t crc, const void* data, size_t size) noexcept;
inline uint32_t Crc32(const void* data, size_t size) noexcept { return UpdateCrc32(0, data, size); }
// The same through the tables alone, as on a processor without carry-less multiplication.
uint32_t UpdateCrc32ByTables(uint32_t crc, const void* data, size_t size) noexcept;
