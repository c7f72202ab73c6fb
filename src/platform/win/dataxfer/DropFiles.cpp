#include "platform/win/dataxfer/DropFiles.h"

#include <cstring>

#include "platform/win/dataxfer/Media.h"

namespace {

constexpr size_t kHeaderSize = sizeof(DROPFILES);

template <class T>
T LoadAt(const uint8_t* data, size_t offset) {
    T value;
    std::memcpy(&value, data + offset, sizeof value);
    return value;
}

// Indexes the names of a list of Units code units (2 bytes each when wide)
// starting at Data: each name ends with a NUL, the list with an empty name or
// the end; a last name without its NUL is dropped.
std::vector<TDropFilesIndex::TName> IndexNames(const uint8_t* data, size_t units, bool wide) {
    std::vector<TDropFilesIndex::TName> names;
    const auto unitAt = [&](size_t i) -> uint16_t { return wide ? LoadAt<uint16_t>(data, 2 * i) : data[i]; };
    size_t start = 0;
    for (size_t i = 0; i < units; ++i) {
        if (unitAt(i) != 0) continue;
        if (i == start) break;
        names.push_back({start, i - start});
        start = i + 1;
    }
    return names;
}

String NameAt(const uint8_t* data, const TDropFilesIndex::TName& name, bool wide) {
    if (!wide)
        return DecodeCodePage(std::string_view(reinterpret_cast<const char*>(data) + name.offset, name.length), CP_ACP);
    String result(name.length, u'\0');
    std::memcpy(result.data(), data + 2 * name.offset, 2 * name.length);
    return result;
}

} // namespace

std::vector<uint8_t> WriteDropFiles(const std::vector<String>& names, POINT point, bool nonClient, bool wide) {
    std::vector<uint8_t> block(kHeaderSize);
    const DROPFILES header{DWORD(kHeaderSize), point, nonClient ? TRUE : FALSE, wide ? TRUE : FALSE};
    std::memcpy(block.data(), &header, kHeaderSize);
    for (const String& name : names) {
        if (wide) {
            const auto* bytes = reinterpret_cast<const uint8_t*>(name.c_str());
            block.insert(block.end(), bytes, bytes + 2 * (name.size() + 1));
        } else {
            const std::string narrow = EncodeCodePage(name, CP_ACP);
            block.insert(block.end(), narrow.begin(), narrow.end());
            block.push_back(0);
        }
    }
    block.insert(block.end(), wide ? 2 : 1, 0);
    return block;
}

HGLOBAL CreateDropFilesHandle(const std::vector<String>& names, POINT point, bool nonClient) {
    const std::vector<uint8_t> block = WriteDropFiles(names, point, nonClient);
    return GlobalFromBytes(block.data(), block.size());
}

TDropFilesIndex IndexDropFiles(const uint8_t* data, size_t size) {
    TDropFilesIndex index;
    if (!data || size < kHeaderSize) return index;
    const auto header = LoadAt<DROPFILES>(data, 0);
    index.point = header.pt;
    index.nonClient = header.fNC != 0;
    index.wide = header.fWide != 0;
    if (header.pFiles < kHeaderSize || header.pFiles >= size) return index;
    index.start = header.pFiles;
    const size_t bytes = size - index.start;
    index.names = IndexNames(data + index.start, index.wide ? bytes / 2 : bytes, index.wide);
    return index;
}

String DropFilesName(const TDropFilesIndex& index, const uint8_t* data, size_t i) {
    return NameAt(data + index.start, index.names.at(i), index.wide);
}

TDropFilesContent ReadDropFiles(const uint8_t* data, size_t size) {
    const TDropFilesIndex index = IndexDropFiles(data, size);
    TDropFilesContent content{{}, index.point, index.nonClient, index.wide};
    content.names.reserve(index.names.size());
    for (size_t i = 0; i < index.names.size(); ++i) content.names.push_back(DropFilesName(index, data, i));
    return content;
}

std::vector<String> ReadNameList(const uint8_t* data, size_t size, bool wide) {
    std::vector<String> names;
    if (!data) return names;
    for (const auto& name : IndexNames(data, wide ? size / 2 : size, wide)) names.push_back(NameAt(data, name, wide));
    return names;
}
