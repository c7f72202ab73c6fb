#include "platform/win/shell/ItemIdLists.h"

#include <cstring>
#include <limits>

#include "platform/win/Constants.h"

namespace {

constexpr size_t kCountSize = sizeof(uint16_t);

uint16_t ItemCount(const uint8_t* item) {
    uint16_t cb;
    std::memcpy(&cb, item, kCountSize);
    return cb;
}

bool IsValidComponent(std::string_view name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

ITEMIDLIST* AllocateList(size_t size) { return static_cast<ITEMIDLIST*>(CoTaskMemAlloc(size)); }

} // namespace

UINT ILGetSize(const ITEMIDLIST* list) {
    if (!list) return 0;
    const auto* p = reinterpret_cast<const uint8_t*>(list);
    size_t size = 0;
    while (const uint16_t cb = ItemCount(p + size)) size += cb;
    return UINT(size + kCountSize);
}

ITEMIDLIST* ILGetNext(const ITEMIDLIST* list) {
    if (ILIsEmpty(list)) return nullptr;
    const auto* p = reinterpret_cast<const uint8_t*>(list);
    return reinterpret_cast<ITEMIDLIST*>(const_cast<uint8_t*>(p + ItemCount(p)));
}

bool ILIsEmpty(const ITEMIDLIST* list) { return !list || list->mkid.cb == 0; }

ITEMIDLIST* ILClone(const ITEMIDLIST* list) {
    if (!list) return nullptr;
    const UINT size = ILGetSize(list);
    ITEMIDLIST* copy = AllocateList(size);
    if (copy) std::memcpy(copy, list, size);
    return copy;
}

ITEMIDLIST* ILCombine(const ITEMIDLIST* parent, const ITEMIDLIST* child) {
    const size_t head = parent ? ILGetSize(parent) - kCountSize : 0;
    const size_t tail = child ? ILGetSize(child) : kCountSize;
    ITEMIDLIST* combined = AllocateList(head + tail);
    if (!combined) return nullptr;
    auto* p = reinterpret_cast<uint8_t*>(combined);
    if (head) std::memcpy(p, parent, head);
    if (child)
        std::memcpy(p + head, child, tail);
    else
        std::memset(p + head, 0, tail);
    return combined;
}

void ILFree(ITEMIDLIST* list) { CoTaskMemFree(list); }

bool ItemIdListComponents(const ITEMIDLIST* list, std::vector<std::string>& components) {
    components.clear();
    if (!list) return false;
    for (const auto* p = reinterpret_cast<const uint8_t*>(list); const uint16_t cb = ItemCount(p); p += cb) {
        if (cb <= kCountSize) return false;
        std::string name(reinterpret_cast<const char*>(p + kCountSize), cb - kCountSize);
        if (!IsValidComponent(name)) return false;
        components.push_back(std::move(name));
    }
    return true;
}

ITEMIDLIST* ItemIdListFromComponents(std::span<const std::string> components) {
    size_t size = kCountSize;
    for (const std::string& name : components) {
        if (!IsValidComponent(name) || name.size() + kCountSize > std::numeric_limits<uint16_t>::max()) return nullptr;
        size += kCountSize + name.size();
    }
    ITEMIDLIST* list = AllocateList(size);
    if (!list) return nullptr;
    auto* p = reinterpret_cast<uint8_t*>(list);
    for (const std::string& name : components) {
        const auto cb = uint16_t(kCountSize + name.size());
        std::memcpy(p, &cb, kCountSize);
        std::memcpy(p + kCountSize, name.data(), name.size());
        p += cb;
    }
    std::memset(p, 0, kCountSize);
    return list;
}

ITEMIDLIST* ItemIdListFromPath(const String& path) {
    const std::string text = path.ToUtf8();
    if (text.empty() || text.front() != '/') return nullptr;
    std::vector<std::string> components;
    size_t start = 1;
    while (start <= text.size()) {
        size_t end = text.find('/', start);
        if (end == std::string::npos) end = text.size();
        const std::string_view name(text.data() + start, end - start);
        if (name == "..") {
            if (!components.empty()) components.pop_back();
        } else if (!name.empty() && name != ".") {
            components.emplace_back(name);
        }
        start = end + 1;
    }
    return ItemIdListFromComponents(components);
}

bool GetPathFromIDList(const ITEMIDLIST* list, String& path) {
    std::vector<std::string> components;
    if (!ItemIdListComponents(list, components)) return false;
    std::string text;
    for (const std::string& name : components) text += '/' + name;
    path = text.empty() ? String(u"/") : String::FromUtf8(text);
    return true;
}

BOOL SHGetPathFromIDListW(const ITEMIDLIST* list, LPWSTR buffer) {
    if (!buffer) return FALSE;
    buffer[0] = u'\0';
    String path;
    if (!GetPathFromIDList(list, path) || path.size() >= size_t(MAX_PATH)) return FALSE;
    std::memcpy(buffer, path.c_str(), (path.size() + 1) * sizeof(char16_t));
    return TRUE;
}
