#pragma once
// Texts of the image lists (resource strings 0xE180-0xE1BF).

#include "platform/rtl/ResourceStrings.h"

inline constexpr TResStringRec SInvalidImageSize{0xE180, u"Invalid image size"};
inline constexpr TResStringRec SImageIndexError{0xE181, u"Invalid ImageList Index"};
inline constexpr TResStringRec SReplaceImage{0xE182, u"Unable to Replace Image"};
inline constexpr TResStringRec SImageReadFail{0xE183, u"Failed to read ImageList data from stream"};

inline constexpr const TResStringRec* kImageListStrings[] = {
    &SInvalidImageSize,
    &SImageIndexError,
    &SReplaceImage,
    &SImageReadFail,
};
