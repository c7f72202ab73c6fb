#include "platform/rtl/VersionInfo.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>

#include "platform/rtl/DynamicLibrary.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Resources.h"

namespace {

uint16_t WordAt(std::span<const uint8_t> bytes, size_t offset) {
    return static_cast<uint16_t>(bytes[offset] | bytes[offset + 1] << 8);
}

struct TRegisteredBlocks {
    std::mutex lock;
    std::map<String, std::vector<uint8_t>> byName; // names in upper case
};

TRegisteredBlocks& Registered() {
    static TRegisteredBlocks blocks;
    return blocks;
}

bool IsRunningProgram(const String& fileName) {
    struct stat file {}, program {};
    return stat(fileName.ToUtf8().c_str(), &file) == 0 && stat("/proc/self/exe", &program) == 0 &&
           file.st_dev == program.st_dev && file.st_ino == program.st_ino;
}

// The root's own length holds in the block (what VerQueryValueW relies on).
bool HoldsItsRoot(std::span<const uint8_t> block) { return block.size() >= 2 && WordAt(block, 0) <= block.size(); }

// The bytes answering for FileName; empty when there are none.
std::vector<uint8_t> BlockOf(const String& fileName) {
    {
        TRegisteredBlocks& blocks = Registered();
        std::lock_guard guard(blocks.lock);
        if (auto it = blocks.byName.find(UpperCase(fileName)); it != blocks.byName.end()) return it->second;
    }
    if (IsRunningProgram(fileName)) {
        const TResourceEntry* entry = FindResource(u"1", RT_VERSION);
        if (entry && HoldsItsRoot({entry->Begin, entry->End})) return {entry->Begin, entry->End};
    }
    return {};
}

} // namespace

bool IsWideVersionBlock(std::span<const uint8_t> block) { return block.size() >= 6 && WordAt(block, 4) < 2; }

std::optional<TVersionEntry> ReadVersionEntry(std::span<const uint8_t> block, size_t offset, size_t limit, bool wide) {
    const size_t headerSize = wide ? 6 : 4;
    const size_t charSize = wide ? 2 : 1;
    if (limit > block.size() || offset > limit || limit - offset < headerSize) return std::nullopt;
    TVersionEntry entry{};
    entry.Start = offset;
    entry.End = offset + WordAt(block, offset);
    entry.ValueLength = WordAt(block, offset + 2);
    entry.Type = wide ? WordAt(block, offset + 4) : 1;
    if (entry.End > limit || entry.End < offset + headerSize + charSize) return std::nullopt;

    size_t keyEnd = offset + headerSize;
    std::u16string key;
    for (;; keyEnd += charSize) {
        if (keyEnd + charSize > entry.End) return std::nullopt;
        const char16_t c = wide ? WordAt(block, keyEnd) : block[keyEnd];
        if (c == 0) break;
        key += c;
    }
    entry.Key = wide ? String(std::move(key))
                     : DecodeCodePage(std::string(key.begin(), key.end()), CP_ACP);
    entry.ValueStart = AlignVersionOffset(keyEnd + charSize);
    entry.ValueSize = wide && entry.Type == 1 ? size_t{entry.ValueLength} * 2 : entry.ValueLength;
    if (entry.ValueStart > entry.End || entry.End - entry.ValueStart < entry.ValueSize) return std::nullopt;
    entry.ChildrenStart = std::min(AlignVersionOffset(entry.ValueStart + entry.ValueSize), entry.End);
    return entry;
}

void RegisterVersionBlock(const String& fileName, std::span<const uint8_t> block) {
    if (!HoldsItsRoot(block)) throw EArgumentException("Version block of " + fileName + " is cut short");
    TRegisteredBlocks& blocks = Registered();
    std::lock_guard guard(blocks.lock);
    blocks.byName[UpperCase(fileName)].assign(block.begin(), block.end());
}

void UnregisterVersionBlock(const String& fileName) {
    TRegisteredBlocks& blocks = Registered();
    std::lock_guard guard(blocks.lock);
    blocks.byName.erase(UpperCase(fileName));
}

uint32_t GetFileVersionInfoSizeW(const String& fileName, uint32_t* handle) {
    if (handle) *handle = 0;
    const std::vector<uint8_t> block = BlockOf(fileName);
    if (block.empty()) errno = ENODATA;
    return static_cast<uint32_t>(block.size());
}

bool GetFileVersionInfoW(const String& fileName, uint32_t, uint32_t len, void* data) {
    const std::vector<uint8_t> block = BlockOf(fileName);
    if (block.empty()) {
        errno = ENODATA;
        return false;
    }
    if (len < block.size()) {
        errno = ERANGE;
        return false;
    }
    std::memcpy(data, block.data(), block.size());
    return true;
}

bool VerQueryValueW(const void* block, const String& subBlock, const void** buffer, uint32_t* len) {
    const auto* bytes = static_cast<const uint8_t*>(block);
    const std::span<const uint8_t> root(bytes, WordAt({bytes, 2}, 0));
    const bool wide = IsWideVersionBlock(root);
    std::optional<TVersionEntry> entry = ReadVersionEntry(root, 0, root.size(), wide);
    size_t start = 0;
    while (entry && start < subBlock.size()) {
        size_t end = subBlock.find(u'\\', start);
        if (end == String::npos) end = subBlock.size();
        const String key = subBlock.substr(start, end - start);
        start = end + 1;
        if (key.IsEmpty()) continue;
        std::optional<TVersionEntry> found;
        for (size_t offset = entry->ChildrenStart; offset < entry->End && !found;) {
            const std::optional<TVersionEntry> child = ReadVersionEntry(root, offset, entry->End, wide);
            if (!child) break;
            if (SameText(child->Key, key)) found = child;
            offset = AlignVersionOffset(child->End);
        }
        entry = found;
    }
    if (!entry) return false;
    *buffer = bytes + entry->ValueStart;
    *len = wide && entry->Type == 1 ? entry->ValueLength : static_cast<uint32_t>(entry->ValueSize);
    return true;
}
