// Registered clipboard formats: ids from 0xC000, one per name ignoring case;
// the name keeps the spelling of its first registration.

#include <algorithm>
#include <cstring>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "platform/rtl/String.h"
#include "platform/win/dataxfer/DataTransfer.h"

namespace {

struct TFormatRegistry {
    std::mutex mutex;
    std::unordered_map<std::u16string, UINT> ids; // by upper-case name
    std::vector<String> names;                   // by id - 0xC000
};

TFormatRegistry& Registry() {
    static TFormatRegistry registry;
    return registry;
}

constexpr UINT kLastFormat = 0xFFFF;

} // namespace

UINT RegisterClipboardFormatW(LPCWSTR name) {
    if (!name || !*name) return 0;
    const String spelling(name);
    const String key = AnsiUpperCase(spelling);
    TFormatRegistry& registry = Registry();
    std::lock_guard lock(registry.mutex);
    if (auto it = registry.ids.find(key.Std()); it != registry.ids.end()) return it->second;
    const UINT id = UINT(kFirstRegisteredClipboardFormat + registry.names.size());
    if (id > kLastFormat) return 0;
    registry.ids.emplace(key.Std(), id);
    registry.names.push_back(spelling);
    return id;
}

int GetClipboardFormatNameW(UINT format, LPWSTR buffer, int size) {
    if (format < kFirstRegisteredClipboardFormat || !buffer || size <= 0) return 0;
    TFormatRegistry& registry = Registry();
    std::lock_guard lock(registry.mutex);
    const size_t slot = format - kFirstRegisteredClipboardFormat;
    if (slot >= registry.names.size()) return 0;
    const String& name = registry.names[slot];
    const size_t copied = std::min<size_t>(name.size(), size_t(size) - 1);
    std::memcpy(buffer, name.c_str(), copied * sizeof(WCHAR));
    buffer[copied] = 0;
    return int(copied);
}
