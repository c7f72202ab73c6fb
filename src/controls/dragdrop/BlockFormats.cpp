#include "controls/dragdrop/BlockFormats.h"

#include <algorithm>
#include <cstring>

#include "platform/rtl/ClassInfo.h"

RTL_PUBLISHED_NONE(TCustomAnsiStringClipboardFormat);
RTL_PUBLISHED_NONE(TCustomStringListClipboardFormat);
RTL_PUBLISHED_NONE(TCustomDWORDClipboardFormat);

bool TCustomAnsiStringClipboardFormat::DecodeBlock(const uint8_t* data, size_t size) {
    size_t length = size;
    if (trimZeroes_) length = static_cast<size_t>(std::find(data, data + size, uint8_t{0}) - data);
    data_.assign(reinterpret_cast<const char*>(data), length);
    return true;
}

bool TCustomAnsiStringClipboardFormat::EncodeBlock(uint8_t* buffer, size_t size) {
    if (data_.size() + 1 < size) return false;
    std::memcpy(buffer, data_.c_str(), size);
    return true;
}

bool TCustomStringListClipboardFormat::DecodeBlock(const uint8_t* data, size_t size) {
    if (size == 0) return false;
    const auto* text = reinterpret_cast<const char*>(data);
    const size_t length = std::find(text, text + size - 1, '\0') - text;
    lines_.SetText(String::FromUtf8(std::string_view(text, length)));
    return true;
}

std::string TCustomStringListClipboardFormat::EncodedText() const { return lines_.Text().ToUtf8(); }

size_t TCustomStringListClipboardFormat::BlockSize() const { return EncodedText().size() + 1; }

bool TCustomStringListClipboardFormat::EncodeBlock(uint8_t* buffer, size_t size) {
    const std::string text = EncodedText();
    if (text.size() + 1 != size) return false;
    std::memcpy(buffer, text.c_str(), size);
    return true;
}

bool TCustomDWORDClipboardFormat::DecodeBlock(const uint8_t* data, size_t size) {
    if (size < 4) return false;
    value_ = DWORD(data[0]) | DWORD(data[1]) << 8 | DWORD(data[2]) << 16 | DWORD(data[3]) << 24;
    return true;
}

bool TCustomDWORDClipboardFormat::EncodeBlock(uint8_t* buffer, size_t size) {
    if (size != 4) return false;
    for (int i = 0; i < 4; ++i) buffer[i] = static_cast<uint8_t>(value_ >> (8 * i));
    return true;
}
