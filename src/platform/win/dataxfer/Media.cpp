#include "platform/win/dataxfer/Media.h"

#include <cstring>

#include "platform/rtl/TaskAllocator.h"
#include "platform/win/dataxfer/GlobalBlocks.h"

HGLOBAL GlobalFromBytes(std::string_view bytes) { return GlobalFromBytes(bytes.data(), bytes.size()); }

HGLOBAL GlobalFromBytes(const void* data, size_t size) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!memory) return nullptr;
    if (size) {
        std::memcpy(GlobalLock(memory), data, size);
        GlobalUnlock(memory);
    }
    return memory;
}

std::optional<TBytes> BytesOfGlobal(HGLOBAL memory) {
    const TGlobalView view = ViewGlobal(memory);
    if (!view.data) return std::nullopt;
    return TBytes(view.data, view.data + view.size);
}

std::optional<TBytes> BytesOfMedium(const STGMEDIUM& medium) {
    if (medium.tymed == TYMED_HGLOBAL) return BytesOfGlobal(medium.hGlobal);
    if (medium.tymed != TYMED_ISTREAM || !medium.pstm) return std::nullopt;
    IStream& stream = *medium.pstm;
    STATSTG stat;
    if (Failed(stream.Stat(stat, STATFLAG_NONAME)) || stat.cbSize > kMaxGlobalSize) return std::nullopt;
    if (Failed(stream.Seek(0, STREAM_SEEK_SET, nullptr))) return std::nullopt;
    TBytes bytes;
    uint8_t chunk[64 * 1024];
    for (;;) {
        ULONG read = 0;
        if (Failed(stream.Read(chunk, sizeof chunk, &read))) return std::nullopt;
        if (read == 0) break;
        if (bytes.size() + read > kMaxGlobalSize) return std::nullopt;
        bytes.insert(bytes.end(), chunk, chunk + read);
    }
    return bytes;
}

void ReleaseStgMedium(STGMEDIUM* medium) {
    if (!medium) return;
    IInterface* owner = medium->pUnkForRelease;
    switch (medium->tymed) {
    case TYMED_HGLOBAL:
        if (!owner && medium->hGlobal) GlobalFree(medium->hGlobal);
        break;
    case TYMED_ISTREAM:
        if (medium->pstm) medium->pstm->_Release();
        break;
    case TYMED_FILE:
        if (!owner) CoTaskMemFree(medium->lpszFileName);
        break;
    default:
        break;
    }
    if (owner) owner->_Release();
    medium->tymed = TYMED_NULL;
    medium->hGlobal = nullptr;
    medium->pUnkForRelease = nullptr;
}
