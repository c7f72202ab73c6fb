#include "support/translation/ScMoFile.h"

#include <fstream>
#include <iterator>

#include "support/translation/ScTranslationErrors.h"

namespace {

constexpr uint32_t MoMagic = 0x950412DE;
constexpr uint64_t HeaderSize = 20;
constexpr uint64_t EntrySize = 8;

[[noreturn]] void NotAMoFile(const String& fileName) {
    throw ETrIOError(String(u"This file is not a valid GNU gettext mo file: ") + fileName);
}

} // namespace

TMoFile::TMoFile(std::vector<uint8_t> bytes, const String& fileName) : bytes_(std::move(bytes)) {
    if (bytes_.size() < HeaderSize) NotAMoFile(fileName);
    const uint32_t magic = uint32_t(bytes_[0]) << 24 | uint32_t(bytes_[1]) << 16 | uint32_t(bytes_[2]) << 8 | bytes_[3];
    if (magic == MoMagic) bigEndian_ = true;
    else if (magic != 0xDE120495) NotAMoFile(fileName);
    count_ = Number(8);
    originals_ = Number(12);
    translations_ = Number(16);
    const uint64_t size = bytes_.size();
    for (uint64_t table : {originals_, translations_}) {
        if (table + uint64_t(count_) * EntrySize > size) NotAMoFile(fileName);
        for (uint64_t i = 0; i < count_; ++i) {
            const uint64_t length = Number(table + i * EntrySize);
            const uint64_t offset = Number(table + i * EntrySize + 4);
            if (offset + length >= size || bytes_[offset + length] != 0) NotAMoFile(fileName);
        }
    }
}

TMoFile TMoFile::FromFile(const String& fileName) {
    std::ifstream file(fileName.ToUtf8(), std::ios::binary);
    if (!file) NotAMoFile(fileName);
    std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (file.bad()) NotAMoFile(fileName);
    return TMoFile(std::move(bytes), fileName);
}

uint32_t TMoFile::Number(uint64_t offset) const {
    const uint8_t* p = bytes_.data() + offset;
    if (bigEndian_) return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
    return uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
}

std::string_view TMoFile::Entry(uint32_t table, uint32_t index) const {
    const uint64_t entry = table + uint64_t(index) * EntrySize;
    return {reinterpret_cast<const char*>(bytes_.data()) + Number(entry + 4), Number(entry)};
}

std::optional<std::string_view> TMoFile::Lookup(std::string_view key) const {
    uint32_t low = 0, high = count_;
    while (low < high) {
        const uint32_t middle = low + (high - low) / 2;
        const int order = Entry(originals_, middle).compare(key);
        if (order == 0) return Entry(translations_, middle);
        if (order < 0) low = middle + 1;
        else high = middle;
    }
    return std::nullopt;
}
