#pragma once
// An in-memory byte stream over a std::string, for loading and writing XML text.

#include <string>

#include "platform/rtl/Stream.h"

class TXmlBufferStream : public TStream {
public:
    TXmlBufferStream() = default;
    explicit TXmlBufferStream(std::string bytes) : bytes_(std::move(bytes)) {}

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override { return static_cast<int64_t>(bytes_.size()); }
    void SetSize(int64_t newSize) override;

    const std::string& Bytes() const noexcept { return bytes_; }
    std::string& Bytes() noexcept { return bytes_; }

private:
    std::string bytes_;
    size_t pos_ = 0;
};
