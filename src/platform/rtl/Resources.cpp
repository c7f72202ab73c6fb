#include "platform/rtl/Resources.h"

#include <mutex>
#include <vector>

namespace {
struct TResourceTable {
    std::mutex lock;
    std::vector<std::span<const TResourceEntry>> tables;
};

TResourceTable& Table() {
    static TResourceTable table;
    return table;
}
} // namespace

bool RegisterResources(std::span<const TResourceEntry> entries) {
    auto& table = Table();
    std::lock_guard guard(table.lock);
    table.tables.push_back(entries);
    return true;
}

const TResourceEntry* FindResource(const String& name, const String& kind) {
    auto& table = Table();
    std::lock_guard guard(table.lock);
    for (const auto& entries : table.tables)
        for (const TResourceEntry& e : entries)
            if (SameText(String(e.Name), name) && SameText(String(e.Kind), kind)) return &e;
    return nullptr;
}

TResourceStream::TResourceStream(const String& name, const String& kind) {
    const TResourceEntry* entry = FindResource(name, kind);
    if (!entry) throw EResNotFound("Resource " + name + " not found");
    // The memory is never written: Write refuses.
    SetPointer(const_cast<uint8_t*>(entry->Begin), entry->End - entry->Begin);
}

int64_t TResourceStream::Write(const void*, int64_t) {
    throw EStreamError("Can't write to a read-only resource stream");
}
