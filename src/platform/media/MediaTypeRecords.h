#pragma once
// Handling of media-type records: copies that own their format block,
// comparisons and the bitmap rules that name a video subtype and its size.

#include "platform/media/MediaTypes.h"

// All zero, then fixed-size samples of size 1.
void InitMediaType(AM_MEDIA_TYPE& type) noexcept;
// Dest becomes a copy of Source with its own format block (size 0 when the
// task memory cannot be had) and its own count on pUnk. Dest must not hold a
// format block (FreeMediaType it first) and must not be Source.
void CopyMediaType(AM_MEDIA_TYPE& dest, const AM_MEDIA_TYPE& source);
// Frees the format block and releases pUnk; the record itself stays.
void FreeMediaType(AM_MEDIA_TYPE& type) noexcept;
// A copy in task memory, and its release; null is ignored.
AM_MEDIA_TYPE* CreateMediaType(const AM_MEDIA_TYPE& source);
void DeleteMediaType(AM_MEDIA_TYPE* type) noexcept;

// Major, sub and format types, and the format blocks byte for byte.
bool MediaTypesEqual(const AM_MEDIA_TYPE& a, const AM_MEDIA_TYPE& b) noexcept;
// Whether Type fits Pattern: Pattern's null identifiers and a null format type
// match anything.
bool MediaTypeMatchesPartial(const AM_MEDIA_TYPE& pattern, const AM_MEDIA_TYPE& type) noexcept;
// The major type or the format type is null.
bool MediaTypeIsPartiallySpecified(const AM_MEDIA_TYPE& type) noexcept;

// Owns one record and its format block.
class TMediaType {
public:
    TMediaType() noexcept { InitMediaType(type_); }
    explicit TMediaType(const AM_MEDIA_TYPE& source) : TMediaType() { CopyMediaType(type_, source); }
    TMediaType(const TMediaType& other) : TMediaType(other.type_) {}
    TMediaType& operator=(const TMediaType& other) {
        if (this != &other) Assign(other.type_);
        return *this;
    }
    ~TMediaType() { FreeMediaType(type_); }

    void Assign(const AM_MEDIA_TYPE& source) {
        if (&source == &type_) return;
        FreeMediaType(type_);
        CopyMediaType(type_, source);
    }
    // Back to the initialised empty record.
    void Clear() noexcept {
        FreeMediaType(type_);
        InitMediaType(type_);
    }
    // A new zeroed format block of Size bytes in place of the old one.
    BYTE* AllocFormat(ULONG size);

    AM_MEDIA_TYPE& get() noexcept { return type_; }
    const AM_MEDIA_TYPE& get() const noexcept { return type_; }
    AM_MEDIA_TYPE* operator->() noexcept { return &type_; }
    const AM_MEDIA_TYPE* operator->() const noexcept { return &type_; }

private:
    AM_MEDIA_TYPE type_;
};

// Row bytes padded to 4, times the absolute height (a 640 x 480 YV12 header: 460800).
DWORD GetBitmapSize(const BITMAPINFOHEADER& header) noexcept;
// The subtype a bitmap header describes; the null GUID when none. A 16-bit
// BI_BITFIELDS header is followed by its three colour masks.
TGUID GetBitmapSubtype(const BITMAPINFOHEADER* header);
