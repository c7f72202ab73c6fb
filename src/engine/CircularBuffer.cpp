#include "engine/CircularBuffer.h"

#include <algorithm>
#include <cstring>

#include "platform/rtl/Exceptions.h"

TCircularBuffer::TCircularBuffer(int32_t size) : size_(size) {
    if (size <= 0) throw EArgumentOutOfRangeException("Invalid buffer size");
    storage_ = std::make_unique_for_overwrite<uint8_t[]>(static_cast<size_t>(size));
}

void TCircularBuffer::Clear() {
    std::lock_guard lock(mutex_);
    write_ = 0;
    read_ = 0;
}

int32_t TCircularBuffer::UnlockedDataSize() const noexcept {
    const int32_t w = write_.load(std::memory_order_relaxed), r = read_.load(std::memory_order_relaxed);
    return w >= r ? w - r : size_ - r + w;
}

int32_t TCircularBuffer::UnlockedFreeSpace() const noexcept {
    const int32_t w = write_.load(std::memory_order_relaxed), r = read_.load(std::memory_order_relaxed);
    return r > w ? r - w : size_ - w + r;
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
    const int32_t r = read_.load(std::memory_order_relaxed);
    const int32_t first = std::min(count, size_ - r);
    std::memcpy(out, storage_.get() + r, static_cast<size_t>(first));
    std::memcpy(out + first, storage_.get(), static_cast<size_t>(count - first));
    const int32_t next = first < count ? count - first : r + count;
    read_.store(next == size_ ? 0 : next, std::memory_order_relaxed);
    return true;
}

bool TCircularBuffer::Write(const void* buf, int32_t count) {
    std::lock_guard lock(mutex_);
    if (count < 0 || count >= UnlockedFreeSpace()) return false;
    if (count == 0) return true;
    const auto* in = static_cast<const uint8_t*>(buf);
    const int32_t w = write_.load(std::memory_order_relaxed);
    const int32_t first = std::min(count, size_ - w);
    std::memcpy(storage_.get() + w, in, static_cast<size_t>(first));
    std::memcpy(storage_.get(), in + first, static_cast<size_t>(count - first));
    const int32_t next = first < count ? count - first : w + count;
    write_.store(next == size_ ? 0 : next, std::memory_order_relaxed);
    return true;
}
