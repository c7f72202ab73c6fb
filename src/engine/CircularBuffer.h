#pragma once
// A fixed-size byte ring shared by one writer and one reader. Transfers are
// all or nothing; the ring holds at most Size - 1 bytes.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "platform/rtl/TObject.h"

class TCircularBuffer : public TObject {
public:
    explicit TCircularBuffer(int32_t size);

    void Clear();
    int32_t DataSize(bool lock);
    int32_t FreeSpace(bool lock);
    // False, moving nothing, when Count is negative or more than the data held.
    bool Read(void* buf, int32_t count);
    // False, storing nothing, unless 0 <= Count < FreeSpace.
    bool Write(const void* buf, int32_t count);

    int32_t Size() const noexcept { return size_; }

private:
    int32_t UnlockedDataSize() const noexcept;
    int32_t UnlockedFreeSpace() const noexcept;

    std::mutex mutex_;
    const int32_t size_;
    std::unique_ptr<uint8_t[]> storage_;
    // Atomic so that the unlocked size queries may read them while the other side moves.
    std::atomic<int32_t> write_ = 0;
    std::atomic<int32_t> read_ = 0;
};
