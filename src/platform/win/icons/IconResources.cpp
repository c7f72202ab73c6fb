// Icons, cursors and bitmaps from embedded resources.
#include <map>
#include <mutex>
#include <tuple>

#include "platform/rtl/Conversions.h"
#include "platform/rtl/Resources.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/icons/IcoFile.h"
#include "platform/win/icons/Icon.h"
#include "platform/win/icons/IconFiles.h"
#include "platform/win/icons/Icons.h"
#include "platform/win/system/SystemMetrics.h"
#include "platform/win/window/Windows.h"

namespace {

String ResourceName(HINSTANCE instance, LPCWSTR name) {
    if (!IS_INTRESOURCE(name)) return String(name);
    const WORD id = WORD(reinterpret_cast<uintptr_t>(name));
    if (!instance) {
        static const char16_t* const stock[] = {u"IDI_APPLICATION", u"IDI_ERROR", u"IDI_QUESTION", u"IDI_WARNING",
                                                u"IDI_INFORMATION"};
        const WORD first = WORD(reinterpret_cast<uintptr_t>(IDI_APPLICATION));
        if (id >= first && id < first + std::size(stock)) return stock[id - first];
    }
    return u"#" + IntToStr(int(id));
}

// Shared icons by resource and size; they live as long as the program.
struct TSharedIcons {
    std::mutex lock;
    std::map<std::tuple<const TResourceEntry*, int, int>, HICON> icons;
};
TSharedIcons& Shared() {
    static auto* shared = new TSharedIcons;
    return *shared;
}

HICON LoadIconResource(const TResourceEntry& resource, bool cursor, int width, int height, UINT flags) {
    TIcoDirectory directory;
    if (!ReadIcoDirectory(std::span<const uint8_t>(resource.Begin, resource.End), directory) ||
        directory.entries.empty() || directory.cursor != cursor) {
        SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
        return nullptr;
    }
    const bool systemSize = flags & LR_DEFAULTSIZE;
    if (!width) width = systemSize ? GetSystemMetrics(cursor ? SM_CXCURSOR : SM_CXICON) : directory.entries[0].width;
    if (!height) height = systemSize ? GetSystemMetrics(cursor ? SM_CYCURSOR : SM_CYICON) : directory.entries[0].height;
    std::unique_lock guard(Shared().lock, std::defer_lock);
    const auto key = std::make_tuple(&resource, width, height);
    if (flags & LR_SHARED) {
        guard.lock();
        if (const auto found = Shared().icons.find(key); found != Shared().icons.end()) return found->second;
    }
    auto icon = IconOfDirectory(directory, width, height);
    if (!icon) {
        SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
        return nullptr;
    }
    icon->shared = flags & LR_SHARED;
    const HICON handle = AddIcon(std::move(icon));
    if (flags & LR_SHARED) Shared().icons.emplace(key, handle);
    return handle;
}

} // namespace

HANDLE LoadImageW(HINSTANCE instance, LPCWSTR name, UINT type, int width, int height, UINT flags) {
    if (!name || width < 0 || height < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (type == IMAGE_BITMAP) return LoadBitmapW(instance, name);
    if (type != IMAGE_ICON && type != IMAGE_CURSOR) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const bool cursor = type == IMAGE_CURSOR;
    const TResourceEntry* resource = FindResource(ResourceName(instance, name), cursor ? u"CURSOR" : u"ICON");
    if (!resource) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    return LoadIconResource(*resource, cursor, width, height, flags);
}

HICON LoadIconW(HINSTANCE instance, LPCWSTR name) {
    return static_cast<HICON>(LoadImageW(instance, name, IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
}
