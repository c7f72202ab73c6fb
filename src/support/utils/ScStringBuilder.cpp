#include "support/utils/ScStringBuilder.h"

#include <algorithm>
#include <cstring>

namespace {

[[noreturn]] void OutOfRange() { throw ArgumentOutOfRangeException(LoadResString(SArgumentOutOfRange)); }

} // namespace

TScStringBuilder::TScStringBuilder(int capacity, int maxCapacity) : maxCapacity_(maxCapacity) {
    if (maxCapacity < 0) OutOfRange();
    SetCapacity(std::min(capacity, maxCapacity));
}

TScStringBuilder& TScStringBuilder::Append(char16_t value, int repeatCount) { return AppendChars(&value, 1, repeatCount); }

TScStringBuilder& TScStringBuilder::AppendChars(const char16_t* source, int count, int repeatCount) {
    if (count <= 0 || repeatCount <= 0) return *this;
    for (int r = 0; r < repeatCount; ++r) {
        if (count > maxCapacity_ - length_) OutOfRange();
        if (length_ + count > Capacity()) {
            const int64_t grown = static_cast<int64_t>(Capacity()) * 5 / 3 + count;
            SetCapacity(static_cast<int>(std::min<int64_t>(grown, maxCapacity_)));
        }
        if (count == 1)
            chars_[static_cast<size_t>(length_)] = *source;
        else
            MoveWideChars(source, chars_.data() + length_, count);
        length_ += count;
    }
    return *this;
}

String TScStringBuilder::ToString() const { return String(chars_.data(), static_cast<size_t>(length_)); }

char16_t TScStringBuilder::Chars(int index) const {
    if (index < 0 || index >= Capacity()) throw ERangeError("Range check error");
    return chars_[static_cast<size_t>(index)];
}

void TScStringBuilder::SetLength(int value) {
    if (value < 0 || value > Capacity()) OutOfRange();
    length_ = value;
}

void TScStringBuilder::SetCapacity(int value) {
    if (value < 0 || value > maxCapacity_) OutOfRange();
    chars_.resize(static_cast<size_t>(value), u'\0');
    length_ = std::min(length_, value);
}
