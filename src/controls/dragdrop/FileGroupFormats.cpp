#include "controls/dragdrop/FileGroupFormats.h"

#include <algorithm>
#include <cstring>

#include "platform/rtl/ClassInfo.h"
#include "platform/rtl/Format.h"

RTL_PUBLISHED_NONE(TFileGroupDescriptorCustomClipboardFormat);
RTL_PUBLISHED_NONE(TAnsiFileGroupDescriptorClipboardFormat);
RTL_PUBLISHED_NONE(TUnicodeFileGroupDescriptorClipboardFormat);

std::string DescriptorNameUtf8(const String& name) {
    std::string text = name.ToUtf8();
    constexpr size_t kLimit = TFileGroupDescriptorCustomClipboardFormat::kNameField - 1;
    if (text.size() <= kLimit) return text;
    size_t cut = kLimit;
    while (cut > 0 && (static_cast<uint8_t>(text[cut]) & 0xC0) == 0x80) --cut;
    text.resize(cut);
    return text;
}

std::u16string DescriptorNameUtf16(const String& name) {
    std::u16string text(name.data(), name.size());
    constexpr size_t kLimit = TFileGroupDescriptorCustomClipboardFormat::kNameField - 1;
    if (text.size() <= kLimit) return text;
    const bool splitsPair = text[kLimit] >= 0xDC00 && text[kLimit] <= 0xDFFF;
    text.resize(splitsPair ? kLimit - 1 : kLimit);
    return text;
}

uint32_t TFileGroupDescriptorCustomClipboardFormat::Count() const noexcept {
    if (group_.size() < 4) return 0;
    return uint32_t(group_[0]) | uint32_t(group_[1]) << 8 | uint32_t(group_[2]) << 16 | uint32_t(group_[3]) << 24;
}

void TFileGroupDescriptorCustomClipboardFormat::SetCount(uint32_t count) {
    group_.assign(static_cast<size_t>(GroupSize(count)), 0);
    for (int i = 0; i < 4; ++i) group_[static_cast<size_t>(i)] = static_cast<uint8_t>(count >> (8 * i));
}

void TFileGroupDescriptorCustomClipboardFormat::CheckIndex(uint32_t index) const {
    if (index >= Count()) throw Exception(Format(u"Filename index out of bounds (%d)", {int64_t{index}}));
}

uint8_t* TFileGroupDescriptorCustomClipboardFormat::Descriptor(uint32_t index) {
    CheckIndex(index);
    return group_.data() + 4 + index * DescriptorSize();
}

const uint8_t* TFileGroupDescriptorCustomClipboardFormat::Descriptor(uint32_t index) const {
    CheckIndex(index);
    return group_.data() + 4 + index * DescriptorSize();
}

String TFileGroupDescriptorCustomClipboardFormat::GetFilename(uint32_t index) const {
    const uint8_t* field = Descriptor(index) + kDescriptorHead;
    if (characterSize_ == 1) {
        const auto* text = reinterpret_cast<const char*>(field);
        return String::FromUtf8(std::string_view(text, std::find(text, text + kNameField, '\0') - text));
    }
    std::u16string name(kNameField, u'\0');
    std::memcpy(name.data(), field, kNameField * 2);
    name.resize(name.find(u'\0') == std::u16string::npos ? kNameField : name.find(u'\0'));
    return name;
}

void TFileGroupDescriptorCustomClipboardFormat::SetFilename(uint32_t index, const String& name) {
    uint8_t* field = Descriptor(index) + kDescriptorHead;
    std::memset(field, 0, kNameField * characterSize_);
    if (characterSize_ == 1) {
        const std::string text = DescriptorNameUtf8(name);
        std::memcpy(field, text.data(), text.size());
    } else {
        const std::u16string text = DescriptorNameUtf16(name);
        std::memcpy(field, text.data(), 2 * text.size());
    }
}

bool TFileGroupDescriptorCustomClipboardFormat::DecodeBlock(const uint8_t* data, size_t size) {
    if (size < 4) return false;
    const uint32_t count = uint32_t(data[0]) | uint32_t(data[1]) << 8 | uint32_t(data[2]) << 16 | uint32_t(data[3]) << 24;
    const uint64_t needed = GroupSize(count);
    if (needed > size) return false;
    group_.assign(data, data + needed);
    return true;
}

bool TFileGroupDescriptorCustomClipboardFormat::EncodeBlock(uint8_t* buffer, size_t size) {
    if (group_.empty() || size < group_.size()) return false;
    std::memcpy(buffer, group_.data(), group_.size());
    return true;
}
