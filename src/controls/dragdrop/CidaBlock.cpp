#include "controls/dragdrop/CidaBlock.h"

namespace {

uint32_t ReadCidaUint(const uint8_t* data) {
    return uint32_t(data[0]) | uint32_t(data[1]) << 8 | uint32_t(data[2]) << 16 | uint32_t(data[3]) << 24;
}

void WriteCidaUint(uint8_t* data, uint32_t value) {
    for (int i = 0; i < 4; ++i) data[i] = static_cast<uint8_t>(value >> (8 * i));
}

} // namespace

size_t ItemIdListSizeWithin(const uint8_t* data, size_t size) {
    size_t position = 0;
    while (size - position >= 2) {
        const size_t count = size_t(data[position]) | size_t(data[position + 1]) << 8;
        if (count == 0) return position + 2;
        if (count < 2 || count > size - position) return 0;
        position += count;
    }
    return 0;
}

std::vector<TItemIdBytes> ReadCida(const uint8_t* data, size_t size) {
    if (size < 4) return {};
    const uint64_t lists = uint64_t{ReadCidaUint(data)} + 1;
    if (lists < 2 || 4 + 4 * lists > size) return {};
    std::vector<TItemIdBytes> result;
    result.reserve(static_cast<size_t>(lists));
    for (uint64_t i = 0; i < lists; ++i) {
        const size_t offset = ReadCidaUint(data + 4 + 4 * i);
        if (offset >= size) return {};
        const size_t length = ItemIdListSizeWithin(data + offset, size - offset);
        if (length == 0) return {};
        result.emplace_back(reinterpret_cast<const char*>(data + offset), length);
    }
    return result;
}

std::vector<uint8_t> WriteCida(const std::vector<TItemIdBytes>& lists) {
    if (lists.empty()) return {};
    const size_t header = 4 + 4 * lists.size();
    std::vector<uint8_t> block(header);
    WriteCidaUint(block.data(), static_cast<uint32_t>(lists.size() - 1));
    for (size_t k = 0; k < lists.size(); ++k) {
        WriteCidaUint(block.data() + 4 + 4 * k, static_cast<uint32_t>(block.size()));
        block.insert(block.end(), lists[k].begin(), lists[k].end());
    }
    return block;
}
