// Bitmaps embedded as resources of kind "BITMAP" (BMP files).
#include "platform/rtl/Conversions.h"
#include "platform/rtl/Resources.h"
#include "platform/win/gdi/Bitmaps.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/gdi/Objects.h"
#include "platform/win/gdi/Raster.h"
#include "platform/win/system/SystemColors.h"
#include "platform/win/window/Windows.h"

namespace {

String ResourceName(HINSTANCE instance, LPCWSTR name) {
    if (!IS_INTRESOURCE(name)) return String(name);
    const WORD id = WORD(reinterpret_cast<uintptr_t>(name));
    if (!instance) {
        switch (id) {
        case OBM_CHECKBOXES: return u"OBM_CHECKBOXES";
        case OBM_COMBO: return u"OBM_COMBO";
        }
    }
    return u"#" + IntToStr(int(id));
}

// The colour of Pixel after the map (unchanged when not in it).
uint32_t Mapped(uint32_t pixel, const COLORMAP* map, int count) {
    for (int i = 0; i < count; ++i)
        if ((pixel & 0xFFFFFF) == ColorPixel(map[i].from)) return ColorPixel(map[i].to);
    return pixel;
}

} // namespace

HBITMAP LoadBitmapW(HINSTANCE instance, LPCWSTR name) {
    if (!name) return nullptr;
    const TResourceEntry* entry = FindResource(ResourceName(instance, name), u"BITMAP");
    if (!entry) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    return ReadBmp(std::span<const uint8_t>(entry->Begin, entry->End));
}

HBITMAP CreateMappedBitmap(HINSTANCE instance, INT_PTR id, UINT, void* colorMap, int mapSize) {
    const HBITMAP handle = LoadBitmapW(instance, reinterpret_cast<LPCWSTR>(id));
    TBitmapObject* bitmap = FindBitmap(handle);
    if (!bitmap) return nullptr;
    const COLORMAP standard[] = {{RGB(255, 255, 255), GetSysColor(COLOR_WINDOW)},
                                 {RGB(192, 192, 192), GetSysColor(COLOR_BTNFACE)},
                                 {RGB(128, 128, 128), GetSysColor(COLOR_BTNSHADOW)},
                                 {RGB(0, 0, 0), GetSysColor(COLOR_BTNTEXT)}};
    const auto* map = colorMap ? static_cast<const COLORMAP*>(colorMap) : standard;
    const int count = colorMap ? mapSize : int(std::size(standard));
    if (bitmap->bpp <= 8) {
        for (RGBQUAD& entry : bitmap->colors) {
            const uint32_t pixel = Mapped(uint32_t(entry.rgbRed) << 16 | entry.rgbGreen << 8 | entry.rgbBlue, map, count);
            entry = RGBQUAD{BYTE(pixel), BYTE(pixel >> 8), BYTE(pixel >> 16), 0};
        }
        return handle;
    }
    const TRaster raster = RasterOf(*bitmap);
    std::vector<uint32_t> row(size_t(bitmap->width));
    for (int y = 0; y < bitmap->height; ++y) {
        ReadRow(raster, 0, y, bitmap->width, row.data());
        for (uint32_t& pixel : row) pixel = Mapped(pixel, map, count);
        WriteRow(raster, 0, y, bitmap->width, row.data());
    }
    return handle;
}
