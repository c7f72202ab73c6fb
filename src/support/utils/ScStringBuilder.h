#pragma once
// A growable character buffer. Appending grows the capacity to
// capacity * 5 / 3 + Count, never past MaxCapacity; a length that would pass
// MaxCapacity raises ArgumentOutOfRangeException "Argument out of range".

#include <cstdint>
#include <limits>

#include "platform/rtl/String.h"
#include "support/utils/ScStrings.h"

class TScStringBuilder {
public:
    explicit TScStringBuilder(int capacity, int maxCapacity = std::numeric_limits<int32_t>::max());

    // Appends Value RepeatCount times.
    TScStringBuilder& Append(char16_t value, int repeatCount = 1);
    // Appends Count characters from Source, RepeatCount times.
    TScStringBuilder& AppendChars(const char16_t* source, int count, int repeatCount = 1);
    String ToString() const;

    // The character at the zero-based Index of the buffer; an index outside
    // 0 .. Capacity - 1 raises ERangeError.
    char16_t Chars(int index) const;
    int Length() const noexcept { return length_; }
    // Raises ArgumentOutOfRangeException outside 0 .. Capacity.
    void SetLength(int value);
    int Capacity() const noexcept { return static_cast<int>(chars_.size()); }
    // New slots hold 0; a capacity below the length cuts the length.
    void SetCapacity(int value);
    int MaxCapacity() const noexcept { return maxCapacity_; }

private:
    std::u16string chars_;
    int length_ = 0;
    int maxCapacity_;
};
