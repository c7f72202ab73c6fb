#pragma once
// The process-wide task allocator: the shell's allocator (SHGetMalloc) and
// CoTaskMemAlloc/CoTaskMemFree share it. It knows its live blocks, so it can
// tell whether it allocated a pointer, and it leaves foreign pointers alone.
// Item-id lists that the shell hands out are blocks of this allocator.

#include <cstddef>
#include <cstdint>

#include "platform/rtl/Interfaces.h"

class IMalloc : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{00000002-0000-0000-C000-000000000046}");
    // A new block of Size bytes (a zero-size request gets a block too); null when out of memory.
    virtual void* Alloc(size_t size) = 0;
    // Resizes a block: null P allocates, Size 0 frees and returns null; null
    // for a foreign P or when out of memory (the block is then kept).
    virtual void* Realloc(void* p, size_t size) = 0;
    // Frees a live block; null and foreign pointers are ignored.
    virtual void Free(void* p) = 0;
    // The size of a live block; SIZE_MAX for anything else.
    virtual size_t GetSize(void* p) = 0;
    // 1 for a live block, 0 for another pointer, -1 for null.
    virtual int DidAlloc(void* p) = 0;
    virtual void HeapMinimize() = 0;
};

HRESULT SHGetMalloc(TIntfPtr<IMalloc>& malloc);
void* CoTaskMemAlloc(size_t size);
void* CoTaskMemRealloc(void* p, size_t size);
void CoTaskMemFree(void* p);

struct SHITEMID {
    uint16_t cb;
    uint8_t abID[1];
};
struct ITEMIDLIST {
    SHITEMID mkid;
};
using PItemIDList = ITEMIDLIST*;
