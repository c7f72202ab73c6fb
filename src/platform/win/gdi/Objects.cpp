#include "platform/win/gdi/Objects.h"

#include <atomic>
#include <cstring>
#include <new>

#include "platform/win/gdi/Gdi.h"
#include "platform/win/gdi/Raster.h"
#include "platform/win/paint/Paint.h"
#include "platform/win/system/SystemColors.h"
#include "platform/win/text/FontObject.h"

namespace {

constexpr uintptr_t kObjectTag = uintptr_t{1} << 30;

// Never destroyed: handles may be freed during static destruction.
TTaggedTable<TGdiObject, HGDIOBJ, kObjectTag>& Objects() {
    static auto* table = new TTaggedTable<TGdiObject, HGDIOBJ, kObjectTag>;
    return *table;
}

constexpr int kKinds = 11;
std::atomic<long> liveCounts[kKinds];

void Count(DWORD kind, int delta) noexcept {
    if (kind < kKinds) liveCounts[kind] += delta;
}

// Caller holds GdiMutex.
void Free(HGDIOBJ handle, TGdiObject* object) {
    Objects().Remove(handle);
    Count(object->kind, -1);
    delete object;
}

HGDIOBJ MakeStock(int index) {
    std::unique_ptr<TGdiObject> object;
    auto brush = [](UINT style, COLORREF color) {
        auto b = std::make_unique<TBrushObject>();
        b->style = style;
        b->color = color;
        return b;
    };
    auto pen = [](UINT style, COLORREF color) {
        auto p = std::make_unique<TPenObject>();
        p->style = style;
        p->color = color;
        return p;
    };
    switch (index) {
    case WHITE_BRUSH: object = brush(BS_SOLID, 0xFFFFFF); break;
    case LTGRAY_BRUSH: object = brush(BS_SOLID, 0xC0C0C0); break;
    case GRAY_BRUSH: object = brush(BS_SOLID, 0x808080); break;
    case DKGRAY_BRUSH: object = brush(BS_SOLID, 0x404040); break;
    case BLACK_BRUSH: object = brush(BS_SOLID, 0); break;
    case NULL_BRUSH: object = brush(BS_NULL, 0); break;
    case WHITE_PEN: object = pen(PS_SOLID, 0xFFFFFF); break;
    case BLACK_PEN: object = pen(PS_SOLID, 0); break;
    case NULL_PEN: object = pen(PS_NULL, 0); break;
    case DEFAULT_PALETTE: {
        static const COLORREF colors[] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000,
                                          0xC0C0C0, 0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF,
                                          0xFFFF00, 0xFFFFFF};
        auto palette = std::make_unique<TPalette>();
        for (COLORREF c : colors) palette->entries.push_back(PALETTEENTRY{GetRValue(c), GetGValue(c), GetBValue(c), 0});
        object = std::move(palette);
        break;
    }
    default: object = NewStockFont(index); break;
    }
    if (!object) return nullptr;
    object->stock = true;
    return AddObject(std::move(object));
}

} // namespace

std::mutex& GdiMutex() {
    static auto* mutex = new std::mutex;
    return *mutex;
}

int64_t RowBytes(int64_t width, int bpp, int alignment) {
    if (width < 0 || width > (int64_t{1} << 31)) return 0;
    const int64_t bits = width * bpp;
    const int64_t alignBits = int64_t(alignment) * 8;
    const int64_t bytes = (bits + alignBits - 1) / alignBits * alignment;
    return bytes > INT32_MAX ? 0 : bytes;
}

std::unique_ptr<TBitmapObject> NewBitmap(int width, int height, int bpp, bool dib) {
    // Half the address space is more than any bitmap of ours can use; larger is an impossible size.
    constexpr int64_t kMaxBytes = int64_t{1} << 31;
    if (width <= 0 || height <= 0) return nullptr;
    const int64_t stride = RowBytes(width, bpp, dib ? 4 : bpp == 1 ? 2 : 4);
    if (stride == 0 || stride > kMaxBytes / height) return nullptr;
    auto bitmap = std::make_unique<TBitmapObject>();
    bitmap->storage.reset(new (std::nothrow) uint8_t[size_t(stride * height)]());
    if (!bitmap->storage) return nullptr;
    bitmap->width = width;
    bitmap->height = height;
    bitmap->bpp = bpp;
    bitmap->stride = int(stride);
    bitmap->dib = dib;
    bitmap->dibHeight = height;
    return bitmap;
}

HGDIOBJ AddObject(std::unique_ptr<TGdiObject> object) {
    if (!object) return nullptr;
    std::lock_guard lock(GdiMutex());
    if (!object->stock) Count(object->kind, 1);
    return Objects().Add(object.release());
}

TGdiObject* FindObject(HGDIOBJ handle) noexcept { return Objects().Find(handle); }

bool ResolveBrush(HBRUSH handle, TBrushInfo& info) noexcept {
    if (const auto index = SysColorBrushIndex(handle)) {
        info = TBrushInfo{BS_SOLID, GetSysColor(*index), nullptr};
        return true;
    }
    const TBrushObject* brush = FindObjectAs<TBrushObject>(HGDIOBJ(handle), OBJ_BRUSH);
    if (!brush) return false;
    info = TBrushInfo{brush->style, brush->color, brush->style == BS_PATTERN ? brush : nullptr};
    return true;
}

void Retain(HGDIOBJ handle) {
    std::lock_guard lock(GdiMutex());
    if (TGdiObject* object = Objects().Find(handle); object && !object->stock) ++object->uses;
}

void Release(HGDIOBJ handle) {
    std::lock_guard lock(GdiMutex());
    TGdiObject* object = Objects().Find(handle);
    if (!object || object->stock) return;
    if (--object->uses == 0 && object->deletePending) Free(handle, object);
}

void CountDc(DWORD kind, int delta) noexcept { Count(kind, delta); }

size_t GdiLiveObjects(DWORD kind) {
    if (kind == OBJ_REGION) return RegionHandleCount();
    return kind < kKinds ? size_t(liveCounts[kind].load()) : 0;
}

BOOL DeleteObject(HGDIOBJ handle) {
    if (!handle) return FALSE;
    {
        std::lock_guard lock(GdiMutex());
        if (TGdiObject* object = Objects().Find(handle)) {
            if (object->stock) return TRUE;
            if (object->uses > 0)
                object->deletePending = true;
            else
                Free(handle, object);
            return TRUE;
        }
    }
    const HRGN region = reinterpret_cast<HRGN>(handle);
    if (!RegionOfHandle(region)) return FALSE;
    FreeRegionHandle(region);
    return TRUE;
}

DWORD GetObjectType(HGDIOBJ handle) {
    if (const TGdiObject* object = FindObject(handle)) return object->kind;
    if (RegionOfHandle(reinterpret_cast<HRGN>(handle))) return OBJ_REGION;
    return GetObjectType(reinterpret_cast<HDC>(handle));
}

HGDIOBJ GetStockObject(int index) {
    constexpr int kLastStock = DEFAULT_GUI_FONT;
    static HGDIOBJ stock[kLastStock + 1] = {};
    static std::once_flag once;
    std::call_once(once, [] {
        for (int i = 0; i <= kLastStock; ++i) stock[i] = MakeStock(i);
    });
    return index >= 0 && index <= kLastStock ? stock[index] : nullptr;
}

namespace {

template <class T>
int Answer(const T& record, int size, void* buffer) {
    if (!buffer) return int(sizeof(T));
    if (size < int(sizeof(T))) return 0;
    std::memcpy(buffer, &record, sizeof(T));
    return int(sizeof(T));
}

int BitmapObject(const TBitmapObject& bitmap, int size, void* buffer) {
    BITMAP bm{};
    bm.bmWidth = bitmap.width;
    bm.bmHeight = bitmap.height;
    bm.bmWidthBytes = bitmap.stride;
    bm.bmPlanes = 1;
    bm.bmBitsPixel = WORD(bitmap.bpp);
    bm.bmBits = bitmap.dib ? bitmap.storage.get() : nullptr;
    if (!bitmap.dib || size < int(sizeof(DIBSECTION))) return Answer(bm, size, buffer);
    DIBSECTION ds{};
    ds.dsBm = bm;
    ds.dsBmih.biSize = sizeof(BITMAPINFOHEADER);
    ds.dsBmih.biWidth = bitmap.width;
    ds.dsBmih.biHeight = bitmap.dibHeight;
    ds.dsBmih.biPlanes = 1;
    ds.dsBmih.biBitCount = WORD(bitmap.bpp);
    ds.dsBmih.biCompression = bitmap.compression;
    ds.dsBmih.biSizeImage = DWORD(int64_t(bitmap.stride) * bitmap.height);
    ds.dsBmih.biClrUsed = DWORD(bitmap.colors.size());
    std::memcpy(ds.dsBitfields, bitmap.masks, sizeof ds.dsBitfields);
    return Answer(ds, size, buffer);
}

} // namespace

int GetObjectW(HGDIOBJ handle, int size, void* buffer) {
    const TGdiObject* object = FindObject(handle);
    if (!object) {
        // A system colour brush.
        TBrushInfo info;
        if (!ResolveBrush(reinterpret_cast<HBRUSH>(handle), info)) return 0;
        return Answer(LOGBRUSH{BS_SOLID, info.color, 0}, size, buffer);
    }
    switch (object->kind) {
    case OBJ_PEN: {
        const auto& pen = static_cast<const TPenObject&>(*object);
        return Answer(LOGPEN{pen.style, POINT{pen.width, 0}, pen.color}, size, buffer);
    }
    case OBJ_BRUSH: {
        const auto& brush = static_cast<const TBrushObject&>(*object);
        return Answer(LOGBRUSH{brush.style, brush.color, ULONG_PTR(brush.patternBitmap)}, size, buffer);
    }
    case OBJ_PAL: {
        const WORD count = WORD(static_cast<const TPalette&>(*object).entries.size());
        return Answer(count, size, buffer);
    }
    case OBJ_BITMAP: return BitmapObject(static_cast<const TBitmapObject&>(*object), size, buffer);
    case OBJ_FONT: return Answer(static_cast<const TFontObject&>(*object).logFont, size, buffer);
    }
    return 0;
}

HPEN CreatePen(int style, int width, COLORREF color) {
    const UINT kind = UINT(style) & PS_STYLE_MASK;
    if (kind != PS_SOLID && kind != PS_NULL && kind != PS_INSIDEFRAME) return nullptr;
    auto pen = std::make_unique<TPenObject>();
    pen->style = kind;
    pen->width = width < 1 ? 1 : width;
    pen->color = color;
    return reinterpret_cast<HPEN>(AddObject(std::move(pen)));
}

HBRUSH CreateSolidBrush(COLORREF color) {
    auto brush = std::make_unique<TBrushObject>();
    brush->color = color;
    return reinterpret_cast<HBRUSH>(AddObject(std::move(brush)));
}

HBRUSH CreatePatternBrush(HBITMAP handle) {
    const TBitmapObject* bitmap = FindBitmap(handle);
    if (!bitmap) return nullptr;
    auto brush = std::make_unique<TBrushObject>();
    brush->style = BS_PATTERN;
    brush->patternBitmap = handle;
    brush->monoPattern = bitmap->Monochrome();
    const TRaster raster = RasterOf(*bitmap);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const uint32_t pixel = ReadPixel(raster, x % bitmap->width, y % bitmap->height);
            brush->pattern[y * 8 + x] = brush->monoPattern ? (pixel != 0 ? 1 : 0) : pixel & 0xFFFFFF;
        }
    return reinterpret_cast<HBRUSH>(AddObject(std::move(brush)));
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* logBrush) {
    if (!logBrush) return nullptr;
    switch (logBrush->lbStyle) {
    case BS_SOLID: return CreateSolidBrush(logBrush->lbColor);
    case BS_PATTERN: return CreatePatternBrush(reinterpret_cast<HBITMAP>(logBrush->lbHatch));
    case BS_NULL: {
        auto brush = std::make_unique<TBrushObject>();
        brush->style = BS_NULL;
        return reinterpret_cast<HBRUSH>(AddObject(std::move(brush)));
    }
    }
    return nullptr;
}

HPALETTE CreatePalette(const LOGPALETTE* logPalette) {
    if (!logPalette || logPalette->palNumEntries == 0 || logPalette->palNumEntries > 256) return nullptr;
    auto palette = std::make_unique<TPalette>();
    palette->entries.assign(logPalette->palPalEntry, logPalette->palPalEntry + logPalette->palNumEntries);
    return reinterpret_cast<HPALETTE>(AddObject(std::move(palette)));
}

UINT GetPaletteEntries(HPALETTE handle, UINT start, UINT count, PALETTEENTRY* entries) {
    const TPalette* palette = FindPalette(handle);
    if (!palette) return 0;
    const UINT size = UINT(palette->entries.size());
    if (!entries) return size;
    if (start >= size) return 0;
    const UINT n = std::min(count, size - start);
    std::copy_n(palette->entries.begin() + start, n, entries);
    return n;
}
