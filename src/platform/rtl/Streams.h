#pragma once
// Concrete streams: memory, file, byte-vector and string streams.

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/rtl/Stream.h"
#include "platform/rtl/String.h"

using TBytes = std::vector<uint8_t>;

// TFileStream modes: one access mode, optionally or-ed with a share flag.
// Share flags are accepted and ignored. fmCreate creates or truncates for reading and writing.
constexpr uint16_t fmOpenRead = 0x0000;
constexpr uint16_t fmOpenWrite = 0x0001;
constexpr uint16_t fmOpenReadWrite = 0x0002;
constexpr uint16_t fmShareCompat = 0x0000;
constexpr uint16_t fmShareExclusive = 0x0010;
constexpr uint16_t fmShareDenyWrite = 0x0020;
constexpr uint16_t fmShareDenyRead = 0x0030;
constexpr uint16_t fmShareDenyNone = 0x0040;
constexpr uint16_t fmCreate = 0xFF00;

// A stream over a block of memory it does not manage; writing is left to derived classes.
class TCustomMemoryStream : public TStream {
public:
    int64_t Read(void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override { return size_; }

    void* Memory() const noexcept { return memory_; }
    void SaveToStream(TStream& stream);
    void SaveToFile(const String& fileName);

protected:
    void SetPointer(void* memory, int64_t size) noexcept;

private:
    void* memory_ = nullptr;
    int64_t size_ = 0;
    int64_t position_ = 0;
};

// A growable in-memory stream. Bytes added by SetSize are zero.
class TMemoryStream : public TCustomMemoryStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(TBytes bytes);

    int64_t Write(const void* buffer, int64_t count) override;
    void SetSize(int64_t newSize) override;
    void Clear();
    // Replaces the content with all of Stream from its start; the position becomes 0.
    void LoadFromStream(TStream& stream);
    void LoadFromFile(const String& fileName);

protected:
    const TBytes& Storage() const noexcept { return data_; }

private:
    TBytes data_;
};

class TBytesStream : public TMemoryStream {
public:
    TBytesStream() = default;
    explicit TBytesStream(TBytes bytes) : TMemoryStream(std::move(bytes)) {}
    // Exactly Size() bytes.
    const TBytes& Bytes() const noexcept { return Storage(); }
};

// Text held as bytes in a code page (UTF-8 unless given).
class TStringStream : public TBytesStream {
public:
    explicit TStringStream(const String& text = String(), int codePage = CP_UTF8);

    int CodePage() const noexcept { return codePage_; }
    String DataString() const;
    // Reads Count bytes (fewer at the end) from the position and decodes them.
    String ReadString(int64_t count);
    void WriteString(const String& text);

private:
    int codePage_;
};

// A file opened with open(2). Sizes and positions are 64-bit.
// Raises EFCreateError "Cannot create file \"%s\". %s" or EFOpenError
// "Cannot open file \"%s\". %s" with the system's text.
class TFileStream : public TStream {
public:
    TFileStream(const String& fileName, uint16_t mode);
    ~TFileStream() override;

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    void SetSize(int64_t newSize) override;

    const String& FileName() const noexcept { return fileName_; }
    int Handle() const noexcept { return fd_; }

private:
    String fileName_;
    int fd_ = -1;
};
