#pragma once
// The generic block kinds: a byte string, a list of lines, a 32-bit value.

#include <string>

#include "controls/dragdrop/SimpleClipboardFormat.h"
#include "controls/dragdrop/UnicodeStrings.h"

// The block's bytes; with TrimZeroes cut at the first NUL.
class TCustomAnsiStringClipboardFormat : public TCustomSimpleClipboardFormat {
    RTL_CLASS(TCustomAnsiStringClipboardFormat, TCustomSimpleClipboardFormat);

public:
    using TCustomSimpleClipboardFormat::TCustomSimpleClipboardFormat;
    const std::string& Data() const noexcept { return data_; }
    void SetData(std::string value) { data_ = std::move(value); }
    bool TrimZeroes() const noexcept { return trimZeroes_; }
    void SetTrimZeroes(bool value) noexcept { trimZeroes_ = value; }

    bool DecodeBlock(const uint8_t* data, size_t size) override;
    // Size bytes of Data, its terminator counted: Size may exceed its length by one.
    bool EncodeBlock(uint8_t* buffer, size_t size) override;
    size_t BlockSize() const override { return data_.size(); }
    void Clear() override { data_.clear(); }
    bool HasData() const override { return !data_.empty(); }

private:
    std::string data_;
    bool trimZeroes_ = false;
};

// Lines of UTF-8 text ended by a NUL (the block's last byte counts as one).
class TCustomStringListClipboardFormat : public TCustomSimpleClipboardFormat {
    RTL_CLASS(TCustomStringListClipboardFormat, TCustomSimpleClipboardFormat);

public:
    using TCustomSimpleClipboardFormat::TCustomSimpleClipboardFormat;
    TUnicodeStringList& Lines() noexcept { return lines_; }
    const TUnicodeStringList& Lines() const noexcept { return lines_; }

    bool DecodeBlock(const uint8_t* data, size_t size) override;
    // Exactly the lines joined by CR LF and a NUL.
    bool EncodeBlock(uint8_t* buffer, size_t size) override;
    size_t BlockSize() const override;
    void Clear() override { lines_.Clear(); }
    bool HasData() const override { return lines_.Count() > 0; }

private:
    std::string EncodedText() const;

    TUnicodeStringList lines_;
};

// A little-endian 32-bit value; a block of fewer than 4 bytes has none.
class TCustomDWORDClipboardFormat : public TCustomSimpleClipboardFormat {
    RTL_CLASS(TCustomDWORDClipboardFormat, TCustomSimpleClipboardFormat);

public:
    using TCustomSimpleClipboardFormat::TCustomSimpleClipboardFormat;
    DWORD Value() const noexcept { return value_; }
    void SetValue(DWORD value) noexcept { value_ = value; }

    bool DecodeBlock(const uint8_t* data, size_t size) override;
    bool EncodeBlock(uint8_t* buffer, size_t size) override;
    size_t BlockSize() const override { return 4; }
    void Clear() override { value_ = 0; }

private:
    DWORD value_ = 0;
};
