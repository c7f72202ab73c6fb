#pragma once
// The drawing layer's objects behind their handles. Internal.
//
// Pens, brushes, bitmaps and palettes share one table, device contexts have
// their own; both mark their handles with a bit of the slot index that the
// window system's tables never reach, so a handle of either is told apart
// from a region handle or a paint DC made by the window system.

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/win/core/HandleTable.h"
#include "platform/win/gdi/GdiTypes.h"

template <class T, class Handle, uintptr_t Tag>
class TTaggedTable {
public:
    // Caller holds GdiMutex().
    Handle Add(T* object) { return reinterpret_cast<Handle>(reinterpret_cast<uintptr_t>(table_.Add(object)) | Tag); }
    void Remove(Handle handle) noexcept { table_.Remove(Untagged(handle)); }
    T* Find(Handle handle) const noexcept {
        return reinterpret_cast<uintptr_t>(handle) & Tag ? table_.Find(Untagged(handle)) : nullptr;
    }

private:
    static Handle Untagged(Handle handle) noexcept {
        return reinterpret_cast<Handle>(reinterpret_cast<uintptr_t>(handle) & ~Tag);
    }
    THandleTable<T, Handle> table_;
};

std::mutex& GdiMutex();

struct TGdiObject {
    explicit TGdiObject(DWORD kind) : kind(kind) {}
    virtual ~TGdiObject() = default;
    const DWORD kind;
    bool stock = false;
    int uses = 0;               // selections, current and saved (under GdiMutex)
    bool deletePending = false; // DeleteObject came while selected
};

struct TPenObject : TGdiObject {
    TPenObject() : TGdiObject(OBJ_PEN) {}
    UINT style = PS_SOLID;
    int width = 1;
    COLORREF color = 0;
};

struct TBrushObject : TGdiObject {
    TBrushObject() : TGdiObject(OBJ_BRUSH) {}
    UINT style = BS_SOLID;
    COLORREF color = 0;
    bool monoPattern = false;    // pattern holds 0/1 bits to meet the text and background colours
    uint32_t pattern[64] = {};   // 8x8 rows top down: pixels, or bits of a monochrome pattern
    HBITMAP patternBitmap = nullptr; // as given, answered by GetObjectW
};

struct TPalette : TGdiObject {
    TPalette() : TGdiObject(OBJ_PAL) {}
    std::vector<PALETTEENTRY> entries;
};

struct TBitmapObject : TGdiObject {
    TBitmapObject() : TGdiObject(OBJ_BITMAP) {}
    int width = 0, height = 0;
    int bpp = 32;
    int stride = 0;       // bytes per stored row
    bool topDown = true;  // rows stored top first
    bool dib = false;     // a DIB section: its colour table counts, GetObjectW answers DIBSECTION
    int dibHeight = 0;    // as created, signed
    DWORD compression = BI_RGB;
    DWORD masks[3] = {};
    std::vector<RGBQUAD> colors; // a DIB section of up to 8 bits
    std::unique_ptr<uint8_t[]> storage;
    HDC selectedIn = nullptr;

    // A monochrome device bitmap: meets colour through text and background colours.
    bool Monochrome() const noexcept { return bpp == 1 && !dib; }
    uint8_t* Row(int y) const noexcept {
        return storage.get() + size_t(topDown ? y : height - 1 - y) * size_t(stride);
    }
};

// Allocates a bitmap of the format with zeroed pixels; null when the size is
// impossible or cannot be allocated (sizes computed in 64 bits).
std::unique_ptr<TBitmapObject> NewBitmap(int width, int height, int bpp, bool dib);
// Bytes per row padded to Alignment; 0 when it does not fit.
int64_t RowBytes(int64_t width, int bpp, int alignment);

HGDIOBJ AddObject(std::unique_ptr<TGdiObject> object);
TGdiObject* FindObject(HGDIOBJ handle) noexcept;
template <class T>
T* FindObjectAs(HGDIOBJ handle, DWORD kind) noexcept {
    TGdiObject* object = FindObject(handle);
    return object && object->kind == kind ? static_cast<T*>(object) : nullptr;
}
inline TBitmapObject* FindBitmap(HBITMAP handle) noexcept {
    return FindObjectAs<TBitmapObject>(HGDIOBJ(handle), OBJ_BITMAP);
}
inline TPenObject* FindPen(HPEN handle) noexcept { return FindObjectAs<TPenObject>(HGDIOBJ(handle), OBJ_PEN); }
inline TPalette* FindPalette(HPALETTE handle) noexcept { return FindObjectAs<TPalette>(HGDIOBJ(handle), OBJ_PAL); }

// A brush as drawn: system colour markers become solid brushes.
struct TBrushInfo {
    UINT style = BS_NULL;
    COLORREF color = 0;
    const TBrushObject* pattern = nullptr; // BS_PATTERN
};
bool ResolveBrush(HBRUSH handle, TBrushInfo& info) noexcept;

// Counts a selection of the object; Release drops it and frees an object
// deleted meanwhile. Both ignore stock objects and null.
void Retain(HGDIOBJ handle);
void Release(HGDIOBJ handle);

// Live-object counts of DCs, kept by the DC table.
void CountDc(DWORD kind, int delta) noexcept;
