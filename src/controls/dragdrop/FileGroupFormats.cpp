#include "controls/dragdrop/FileGroupFormats.h"

#include <algorithm>
#include <cstring>

#include "platform/rtl/ClassInfo.h"
#include "platform/rtl/Format.h"

RTL_PUBLISHED_NONE(TFileGroupDescriptorCustomClipboardFormat);
RTL_PUBLISHED_NONE(TAnsiFileGroupDescriptorClipboardFormat);
RTL_PUBLISHED_NONE(TUnicodeFileGroupDescriptorClipboardFormat);

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

uint8_t* TFileGroupDescriptorCustomClipboardFormat::NameField(uint32_t index) {
    return group_.data() + 4 + index * DescriptorSize() + kDescriptorHead;
}

const uint8_t* TFileGroupDescriptorCustomClipboardFormat::NameField(uint32_t index) const {
    return group_.data() + 4 + index * DescriptorSize() + kDescriptorHead;
}

String TFileGroupDescriptorCustomClipboardFormat::GetFilename(uint32_t index) const {
    CheckIndex(index);
    const uint8_t* field = NameField(index);
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
    CheckIndex(index);
    uint8_t* field = NameField(index);
    std::memset(field, 0, kNameField * characterSize_);
    if (characterSize_ == 1) {
        std::string text = name.ToUtf8();
        text.resize(std::min(text.size(), kNameField - 1));
        std::memcpy(field, text.data(), text.size());
    } else {
        std::memcpy(field, name.data(), 2 * std::min(name.size(), kNameField - 1));
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
