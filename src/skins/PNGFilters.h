#pragma once
// The five PNG row filters, undone in place.

#include <cstddef>
#include <cstdint>

// The predictor of filter 4 from the left, upper and upper-left bytes.
uint8_t PaethPredict(uint8_t a, uint8_t b, uint8_t c) noexcept;

// Undoes Filter on the Size bytes of Row against Prior (the previous row,
// unfiltered) with Bpp (1 to 8) bytes between neighbouring pixels; bytes left
// of the row count as 0. Filter types above 4 leave the row as it is.
void UnfilterRow(uint8_t filter, uint8_t* row, const uint8_t* prior, size_t size, size_t bpp) noexcept;
