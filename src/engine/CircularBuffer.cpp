#include "engine/CircularBuffer.h"

#include <algorithm>
#include <cstring>

#include "platform/rtl/Exceptions.h"

TCircularBuffer::TCircularBuffer(int32_t size) : size_(size) {
    if (size <= 0) throw EArgumentOutOfRangeException("Invalid buffer size");
    storage_ = std::make_unique<uint8_t[]>(static_cast<size_t>(size));
}

void TCircularBuffer::Clear() {
    std::lock_guard lock(mutex_);
    write_ = 0;
    read_ = 0;
}

int32_t TCircularBuffer::UnlockedDataSize() const noexcept {
    return write_ >= read_ ? write_ - read_ : size_ - read_ + write_;
}

int32_t TCircularBuffer::UnlockedFreeSpace() const noexcept {
    return read_ > write_ ? read_ - write_ : size_ - write_ + read_;
}

int32_t TCircularBuffer::DataSize(bool lock) {
    if (!lock) return UnlockedDataSize();
    std::lock_guard guard(mutex_);
    return UnlockedDataSize();
}

int32_t TCircularBuffer::FreeSpace(bool lock) {
    if (!lock) return UnlockedFreeSpace();
    std::lock_guard guard(mutex_);
    return UnlockedFreeSpace();
}

bool TCircularBuffer::Read(void* buf, int32_t count) {
    std::lock_guard lock(mutex_);
    if (count < 0 || count > UnlockedDataSize()) return false;
    if (count == 0) return true;
    auto* out = static_cast<uint8_t*>(buf);
    const int32_t first = std::min(count, size_ - read_);
    std::memcpy(out, storage_.get() + read_, static_cast<size_t>(first));
    std::memcpy(out + first, storage_.get(), static_cast<size_t>(count - first));
    read_ = first < count ? count - first : read_ + count;
    if (read_ == size_) read_ = 0;
    return true;
}

bool TCircularBuffer::Write(const void* buf, int32_t count) {
    std::lock_guard lock(mutex_);
    if (count < 0 || count >= UnlockedFreeSpace()) return false;
    if (count == 0) return true;
    const auto* in = static_cast<const uint8_t*>(buf);
    const int32_t first = std::min(count, size_ - write_);
    std::memcpy(storage_.get() + write_, in, static_cast<size_t>(first));
    std::memcpy(storage_.get(), in + first, static_cast<size_t>(count - first));
    write_ = first < count ? count - first : write_ + count;
    if (write_ == size_) write_ = 0;
    return true;
}
