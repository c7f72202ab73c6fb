#include "platform/media/MediaTypeRecords.h"

#include <cstring>

#include "platform/rtl/TaskAllocator.h"

void InitMediaType(AM_MEDIA_TYPE& type) noexcept {
    type = AM_MEDIA_TYPE{};
    type.lSampleSize = 1;
    type.bFixedSizeSamples = true;
}

void CopyMediaType(AM_MEDIA_TYPE& dest, const AM_MEDIA_TYPE& source) {
    RTL_ASSERT(&dest != &source, "MediaTypeRecords: a media type copied onto itself");
    RTL_ASSERT(source.cbFormat == 0 || source.pbFormat, "MediaTypeRecords: a format size without format block");
    dest = source;
    dest.pbFormat = nullptr;
    if (source.cbFormat != 0) {
        dest.pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(source.cbFormat));
        if (dest.pbFormat)
            std::memcpy(dest.pbFormat, source.pbFormat, source.cbFormat);
        else
            dest.cbFormat = 0;
    }
    if (dest.pUnk) dest.pUnk->_AddRef();
}

void FreeMediaType(AM_MEDIA_TYPE& type) noexcept {
    if (type.cbFormat != 0 || type.pbFormat) {
        CoTaskMemFree(type.pbFormat);
        type.cbFormat = 0;
        type.pbFormat = nullptr;
    }
    if (type.pUnk) {
        type.pUnk->_Release();
        type.pUnk = nullptr;
    }
}

AM_MEDIA_TYPE* CreateMediaType(const AM_MEDIA_TYPE& source) {
    auto* type = static_cast<AM_MEDIA_TYPE*>(CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE)));
    if (type) CopyMediaType(*type, source);
    return type;
}

void DeleteMediaType(AM_MEDIA_TYPE* type) noexcept {
    if (!type) return;
    FreeMediaType(*type);
    CoTaskMemFree(type);
}

namespace {
bool FormatBlocksEqual(const AM_MEDIA_TYPE& a, const AM_MEDIA_TYPE& b) noexcept {
    if (a.cbFormat != b.cbFormat) return false;
    return a.cbFormat == 0 || std::memcmp(a.pbFormat, b.pbFormat, a.cbFormat) == 0;
}
} // namespace

bool MediaTypesEqual(const AM_MEDIA_TYPE& a, const AM_MEDIA_TYPE& b) noexcept {
    return a.majortype == b.majortype && a.subtype == b.subtype && a.formattype == b.formattype &&
           FormatBlocksEqual(a, b);
}

bool MediaTypeMatchesPartial(const AM_MEDIA_TYPE& pattern, const AM_MEDIA_TYPE& type) noexcept {
    if (pattern.majortype != GUID_NULL && pattern.majortype != type.majortype) return false;
    if (pattern.subtype != GUID_NULL && pattern.subtype != type.subtype) return false;
    if (pattern.formattype == GUID_NULL) return true;
    return pattern.formattype == type.formattype && FormatBlocksEqual(pattern, type);
}

bool MediaTypeIsPartiallySpecified(const AM_MEDIA_TYPE& type) noexcept {
    return type.majortype == GUID_NULL || type.formattype == GUID_NULL;
}

BYTE* TMediaType::AllocFormat(ULONG size) {
    FreeMediaType(type_);
    type_.pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(size));
    if (!type_.pbFormat) return nullptr;
    std::memset(type_.pbFormat, 0, size);
    type_.cbFormat = size;
    return type_.pbFormat;
}

DWORD GetBitmapSize(const BITMAPINFOHEADER& header) noexcept {
    const int64_t rowBytes = (int64_t(header.biBitCount) * header.biWidth + 31) / 32 * 4;
    const int64_t height = header.biHeight < 0 ? -int64_t(header.biHeight) : header.biHeight;
    return static_cast<DWORD>(rowBytes * height);
}

namespace {
TGUID SixteenBitSubtype(const BITMAPINFOHEADER& header) {
    RTL_ASSERT(header.biBitCount == 16, "MediaTypeRecords: a 16-bit subtype asked of another depth");
    if (header.biCompression == BI_RGB) return MEDIASUBTYPE_RGB555;
    DWORD masks[3];
    std::memcpy(masks, reinterpret_cast<const BYTE*>(&header) + sizeof header, sizeof masks);
    if (masks[0] == 0x7C00 && masks[1] == 0x03E0 && masks[2] == 0x001F) return MEDIASUBTYPE_RGB555;
    if (masks[0] == 0xF800 && masks[1] == 0x07E0 && masks[2] == 0x001F) return MEDIASUBTYPE_RGB565;
    return GUID_NULL;
}
} // namespace

TGUID GetBitmapSubtype(const BITMAPINFOHEADER* header) {
    RTL_ASSERT(header != nullptr, "MediaTypeRecords: no bitmap header");
    if (header->biCompression != BI_RGB && header->biCompression != BI_BITFIELDS)
        return FourCCSubtype(header->biCompression);
    switch (header->biBitCount) {
    case 1: return MEDIASUBTYPE_RGB1;
    case 4: return MEDIASUBTYPE_RGB4;
    case 8: return MEDIASUBTYPE_RGB8;
    case 16: return SixteenBitSubtype(*header);
    case 24: return MEDIASUBTYPE_RGB24;
    case 32: return MEDIASUBTYPE_RGB32;
    default: return GUID_NULL;
    }
}
