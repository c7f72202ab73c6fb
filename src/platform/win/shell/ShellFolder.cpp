#include "platform/win/shell/ShellFolder.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "platform/win/shell/ItemIdLists.h"
#include "platform/win/shell/NameOrder.h"

namespace fs = std::filesystem;

namespace {

using TComponents = std::vector<std::string>;

fs::path PathOf(const TComponents& components) {
    std::string text;
    for (const std::string& name : components) text += '/' + name;
    return text.empty() ? fs::path("/") : fs::path(text);
}

bool IsFolder(const fs::path& path) {
    std::error_code error;
    return fs::is_directory(path, error);
}

bool IsHidden(const std::string& name) { return !name.empty() && name.front() == '.'; }

bool HasVisibleSubfolder(const fs::path& path) {
    std::error_code error;
    for (fs::directory_iterator it(path, error), end; !error && it != end; it.increment(error))
        if (!IsHidden(it->path().filename().string()) && IsFolder(it->path())) return true;
    return false;
}

ULONG AttributesOf(const TComponents& components, ULONG wanted) {
    const fs::path path = PathOf(components);
    std::error_code error;
    if (!fs::exists(path, error)) return 0;
    ULONG has = SFGAO_FILESYSTEM;
    if (!components.empty() && IsHidden(components.back())) has |= SFGAO_HIDDEN;
    if (IsFolder(path)) {
        has |= SFGAO_FOLDER;
        if ((wanted & SFGAO_HASSUBFOLDER) && HasVisibleSubfolder(path)) has |= SFGAO_HASSUBFOLDER;
    }
    return has;
}

HRESULT AnswerText(const String& text, STRRET* name) {
    const size_t bytes = (text.size() + 1) * sizeof(char16_t);
    auto* block = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
    if (!block) return E_OUTOFMEMORY;
    std::memcpy(block, text.c_str(), bytes);
    name->uType = STRRET_WSTR;
    name->pOleStr = block;
    return S_OK;
}

// Items as single-item lists, handed out as copies.
class TEnumIDList final : public TImplements<TInterfacedObject, IEnumIDList> {
public:
    explicit TEnumIDList(std::vector<std::string> names, size_t next = 0) : names_(std::move(names)), next_(next) {}

    HRESULT Next(ULONG count, ITEMIDLIST** items, ULONG* fetched) override {
        if (!items || (count > 1 && !fetched)) return E_POINTER;
        ULONG done = 0;
        for (; done < count && next_ < names_.size(); ++done, ++next_) {
            items[done] = ItemIdListFromComponents(std::span(&names_[next_], 1));
            if (!items[done]) {
                while (done) ILFree(items[--done]);
                if (fetched) *fetched = 0;
                return E_OUTOFMEMORY;
            }
        }
        if (fetched) *fetched = done;
        return done == count ? S_OK : S_FALSE;
    }
    HRESULT Skip(ULONG count) override {
        const size_t left = names_.size() - next_;
        next_ += std::min<size_t>(count, left);
        return count <= left ? S_OK : S_FALSE;
    }
    HRESULT Reset() override {
        next_ = 0;
        return S_OK;
    }
    HRESULT Clone(TIntfPtr<IEnumIDList>& copy) override {
        copy = MakeIntf<TEnumIDList>(names_, next_);
        return S_OK;
    }

private:
    std::vector<std::string> names_;
    size_t next_;
};

// A folder of the file system, known by its components from the root.
class TShellFolder final : public TImplements<TInterfacedObject, IShellFolder> {
public:
    explicit TShellFolder(TComponents components) : components_(std::move(components)) {}

    HRESULT ParseDisplayName(HWND, void*, LPCWSTR name, ULONG* eaten, ITEMIDLIST** list,
                             ULONG* attributes) override {
        if (!list) return E_POINTER;
        *list = nullptr;
        if (!name) return E_INVALIDARG;
        const String text(name);
        String full;
        if (!text.empty() && text[0] == u'/') {
            if (!components_.empty()) return E_INVALIDARG;
            full = text;
        } else {
            full = String::FromUtf8(PathOf(components_).string()) + u"/" + text;
        }
        ITEMIDLIST* absolute = ItemIdListFromPath(full);
        TComponents all;
        const bool parsed = absolute && ItemIdListComponents(absolute, all);
        ILFree(absolute);
        if (!parsed || text.empty() || all.size() < components_.size() ||
            !std::equal(components_.begin(), components_.end(), all.begin()))
            return E_INVALIDARG;
        const TComponents relative(all.begin() + ptrdiff_t(components_.size()), all.end());
        *list = ItemIdListFromComponents(relative);
        if (!*list) return E_OUTOFMEMORY;
        if (eaten) *eaten = ULONG(text.size());
        if (attributes) *attributes &= AttributesOf(all, *attributes);
        return S_OK;
    }

    HRESULT EnumObjects(HWND, DWORD flags, TIntfPtr<IEnumIDList>& items) override {
        items = nullptr;
        std::error_code error;
        fs::directory_iterator it(PathOf(components_), error);
        if (error) return E_FAIL;
        std::vector<std::string> names;
        for (const fs::directory_iterator end; !error && it != end; it.increment(error)) {
            std::string name = it->path().filename().string();
            if (IsHidden(name) && !(flags & SHCONTF_INCLUDEHIDDEN)) continue;
            if (flags & (IsFolder(it->path()) ? SHCONTF_FOLDERS : SHCONTF_NONFOLDERS)) names.push_back(std::move(name));
        }
        std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
            return CompareFileNames(String::FromUtf8(a), String::FromUtf8(b)) < 0;
        });
        items = MakeIntf<TEnumIDList>(std::move(names));
        return S_OK;
    }

    HRESULT BindToObject(const ITEMIDLIST* list, void*, const TGUID& iid, void** folder) override {
        if (!folder) return E_POINTER;
        *folder = nullptr;
        TComponents relative;
        if (!ItemIdListComponents(list, relative)) return E_INVALIDARG;
        if (iid != IShellFolder::IID) return E_NOINTERFACE;
        TComponents all = components_;
        all.insert(all.end(), relative.begin(), relative.end());
        if (!IsFolder(PathOf(all))) return E_FAIL;
        *folder = static_cast<IShellFolder*>(MakeIntf<TShellFolder>(std::move(all)).Detach());
        return S_OK;
    }

    HRESULT GetAttributesOf(UINT count, const ITEMIDLIST* const* lists, ULONG* attributes) override {
        if (!attributes || (count && !lists)) return E_POINTER;
        ULONG common = *attributes;
        for (UINT i = 0; i < count; ++i) {
            TComponents all;
            if (!Absolute(lists[i], all)) return E_INVALIDARG;
            common &= AttributesOf(all, common);
        }
        *attributes = common;
        return S_OK;
    }

    HRESULT GetDisplayNameOf(const ITEMIDLIST* list, DWORD flags, STRRET* name) override {
        if (!name) return E_POINTER;
        TComponents all;
        if (!Absolute(list, all)) return E_INVALIDARG;
        if ((flags & SHGDN_FORPARSING) && !(flags & SHGDN_INFOLDER))
            return AnswerText(String::FromUtf8(PathOf(all).string()), name);
        return AnswerText(all.empty() ? String(u"/") : String::FromUtf8(all.back()), name);
    }

private:
    bool Absolute(const ITEMIDLIST* relativeList, TComponents& all) const {
        TComponents relative;
        if (!ItemIdListComponents(relativeList, relative)) return false;
        all = components_;
        all.insert(all.end(), relative.begin(), relative.end());
        return true;
    }

    TComponents components_;
};

} // namespace

HRESULT SHGetDesktopFolder(TIntfPtr<IShellFolder>& folder) {
    folder = MakeIntf<TShellFolder>(TComponents{});
    return S_OK;
}

HRESULT StrRetToString(STRRET* name, const ITEMIDLIST* list, String& text) {
    if (!name) return E_INVALIDARG;
    switch (name->uType) {
    case STRRET_WSTR:
        text = name->pOleStr ? String(name->pOleStr) : String();
        CoTaskMemFree(name->pOleStr);
        name->pOleStr = nullptr;
        return S_OK;
    case STRRET_CSTR:
        text = String::FromUtf8(std::string_view(name->cStr, strnlen(name->cStr, sizeof name->cStr)));
        return S_OK;
    case STRRET_OFFSET: {
        if (!list || name->uOffset >= ILGetSize(list)) return E_INVALIDARG;
        const char* start = reinterpret_cast<const char*>(list) + name->uOffset;
        text = String::FromUtf8(std::string_view(start, strnlen(start, ILGetSize(list) - name->uOffset)));
        return S_OK;
    }
    default: return E_INVALIDARG;
    }
}

HRESULT StrRetToBufW(STRRET* name, const ITEMIDLIST* list, LPWSTR buffer, UINT size) {
    if (!name || !buffer || size == 0) return E_INVALIDARG;
    String text;
    if (const HRESULT result = StrRetToString(name, list, text); result != S_OK) {
        buffer[0] = u'\0';
        return result;
    }
    const size_t length = std::min<size_t>(text.size(), size - 1);
    std::memcpy(buffer, text.c_str(), length * sizeof(char16_t));
    buffer[length] = u'\0';
    return S_OK;
}
