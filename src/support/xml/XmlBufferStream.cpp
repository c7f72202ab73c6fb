#include "support/xml/XmlBufferStream.h"

#include <algorithm>
#include <cstring>

int64_t TXmlBufferStream::Read(void* buffer, int64_t count) {
    if (count <= 0 || pos_ >= bytes_.size()) return 0;
    const size_t n = std::min(static_cast<size_t>(count), bytes_.size() - pos_);
    std::memcpy(buffer, bytes_.data() + pos_, n);
    pos_ += n;
    return static_cast<int64_t>(n);
}

int64_t TXmlBufferStream::Write(const void* buffer, int64_t count) {
    if (count <= 0) return 0;
    const size_t n = static_cast<size_t>(count);
    if (pos_ + n > bytes_.size()) bytes_.resize(pos_ + n);
    std::memcpy(bytes_.data() + pos_, buffer, n);
    pos_ += n;
    return count;
}

int64_t TXmlBufferStream::Seek(int64_t offset, TSeekOrigin origin) {
    int64_t base = 0;
    if (origin == soCurrent) base = static_cast<int64_t>(pos_);
    if (origin == soEnd) base = static_cast<int64_t>(bytes_.size());
    pos_ = static_cast<size_t>(std::max<int64_t>(0, base + offset));
    return static_cast<int64_t>(pos_);
}

void TXmlBufferStream::SetSize(int64_t newSize) {
    bytes_.resize(static_cast<size_t>(std::max<int64_t>(0, newSize)));
    pos_ = std::min(pos_, bytes_.size());
}
