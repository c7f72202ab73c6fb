// Icon and cursor objects: making, copying, asking and destroying them.
#include "platform/win/icons/Icon.h"

#include <algorithm>
#include <atomic>
#include <mutex>

#include "platform/win/gdi/Gdi.h"
#include "platform/win/gdi/Objects.h"
#include "platform/win/icons/Icons.h"
#include "platform/win/window/Windows.h"

namespace {

constexpr uintptr_t kIconTag = uintptr_t{1} << 28;

struct TIconTable {
    std::mutex lock;
    TTaggedTable<TIconObject, HICON, kIconTag> table;
    std::atomic<size_t> live{0};
};

// Never destroyed: icons may be destroyed during static destruction.
TIconTable& Icons() {
    static auto* table = new TIconTable;
    return *table;
}

// The mask bitmap's rows from Top on as the image's mask bytes (non-black: 1).
bool ReadMaskRows(HBITMAP mask, int top, TIconImage& image) {
    TIconImage rows;
    if (!rows.Reset(image.width, image.height) || !ReadBitmapInto(mask, nullptr, 0, top, rows)) return false;
    for (size_t i = 0; i < rows.color.size(); ++i) image.mask[i] = (rows.color[i] & 0xFFFFFF) != 0;
    return true;
}

} // namespace

HICON AddIcon(std::unique_ptr<TIconObject> icon) {
    TIconTable& icons = Icons();
    std::lock_guard guard(icons.lock);
    if (!icon->shared) ++icons.live;
    return icons.table.Add(icon.release());
}

const TIconObject* FindIcon(HICON icon) noexcept { return Icons().table.Find(icon); }

size_t LiveIcons() { return Icons().live.load(); }

HICON CreateIconIndirect(const ICONINFO* info) {
    BITMAP mask{};
    if (!info || !GetObjectW(ToGdiObject(info->hbmMask), sizeof mask, &mask)) return nullptr;
    auto icon = std::make_unique<TIconObject>();
    icon->isIcon = info->fIcon;
    icon->hotSpot = POINT{LONG(info->xHotspot), LONG(info->yHotspot)};
    TIconImage& image = icon->image;
    if (info->hbmColor) {
        BITMAP color{};
        if (!GetObjectW(ToGdiObject(info->hbmColor), sizeof color, &color) || !image.Reset(color.bmWidth, color.bmHeight) ||
            !ReadBitmapInto(info->hbmColor, nullptr, 0, 0, image) || !ReadMaskRows(info->hbmMask, 0, image))
            return nullptr;
        image.DetectAlpha();
    } else {
        // The AND rows over the XOR rows: the XOR rows become the colour.
        icon->monochrome = true;
        if (!image.Reset(mask.bmWidth, mask.bmHeight / 2) || !ReadBitmapInto(info->hbmMask, nullptr, 0, image.height, image) ||
            !ReadMaskRows(info->hbmMask, 0, image))
            return nullptr;
        for (uint32_t& pixel : image.color) pixel &= 0xFFFFFF;
    }
    return AddIcon(std::move(icon));
}

BOOL GetIconInfo(HICON handle, ICONINFO* info) {
    const TIconObject* icon = FindIcon(handle);
    if (!icon || !info) {
        SetLastError(ERROR_INVALID_CURSOR_HANDLE);
        return FALSE;
    }
    info->fIcon = icon->isIcon;
    info->xHotspot = DWORD(icon->hotSpot.x);
    info->yHotspot = DWORD(icon->hotSpot.y);
    if (icon->monochrome) {
        // The AND rows over the XOR rows again.
        TIconImage both;
        both.Reset(icon->image.width, icon->image.height * 2);
        const size_t half = icon->image.mask.size();
        std::copy(icon->image.mask.begin(), icon->image.mask.end(), both.mask.begin());
        for (size_t i = 0; i < half; ++i) both.mask[half + i] = (icon->image.color[i] & 0xFFFFFF) != 0;
        info->hbmColor = nullptr;
        info->hbmMask = MaskBitmapOf(both);
        return TRUE;
    }
    info->hbmColor = ColorBitmapOf(icon->image);
    info->hbmMask = MaskBitmapOf(icon->image);
    return TRUE;
}

HICON CopyIcon(HICON handle) {
    const TIconObject* icon = FindIcon(handle);
    if (!icon) {
        SetLastError(ERROR_INVALID_CURSOR_HANDLE);
        return nullptr;
    }
    auto copy = std::make_unique<TIconObject>(*icon);
    copy->shared = false;
    return AddIcon(std::move(copy));
}

BOOL DestroyIcon(HICON handle) {
    TIconTable& icons = Icons();
    TIconObject* icon = nullptr;
    {
        std::lock_guard guard(icons.lock);
        icon = icons.table.Find(handle);
        if (!icon) {
            SetLastError(ERROR_INVALID_CURSOR_HANDLE);
            return FALSE;
        }
        if (icon->shared) return TRUE;
        icons.table.Remove(handle);
        --icons.live;
    }
    delete icon;
    return TRUE;
}

BOOL DestroyCursor(HCURSOR cursor) { return DestroyIcon(reinterpret_cast<HICON>(cursor)); }

bool CursorPixels(HCURSOR cursor, int& width, int& height, std::vector<uint32_t>& pixels, POINT& hotSpot) {
    const TIconObject* icon = FindCursor(cursor);
    if (!icon) return false;
    const TIconImage& image = icon->image;
    width = image.width;
    height = image.height;
    hotSpot = icon->hotSpot;
    pixels.resize(image.color.size());
    for (size_t i = 0; i < pixels.size(); ++i) {
        const uint32_t color = image.color[i];
        if (image.alpha) pixels[i] = color;
        else if (!image.mask[i]) pixels[i] = color | 0xFF000000u;
        else pixels[i] = color & 0xFFFFFF ? 0xFF000000u : 0; // an inverting pixel shows black
    }
    return true;
}
