#pragma once
// Texts of the graphics classes (resource strings 0xE100-0xE13F).

#include "platform/rtl/ResourceStrings.h"

inline constexpr TResStringRec SInvalidBitmap{0xE100, u"Bitmap image is not valid"};
inline constexpr TResStringRec SInvalidIcon{0xE101, u"Icon image is not valid"};
inline constexpr TResStringRec SUnknownExtension{0xE102, u"Unknown picture file extension (.%s)"};
inline constexpr TResStringRec SScanLine{0xE103, u"Scan line index out of range"};
inline constexpr TResStringRec SInvalidPixelFormat{0xE104, u"Invalid pixel format"};
inline constexpr TResStringRec SOutOfResources{0xE105, u"Out of system resources"};
inline constexpr TResStringRec SChangeIconSize{0xE106, u"Cannot change the size of an icon"};
inline constexpr TResStringRec SVBitmaps{0xE107, u"Bitmaps"};
inline constexpr TResStringRec SVIcons{0xE108, u"Icons"};
inline constexpr TResStringRec SDefaultFilter{0xE109, u"All"};
inline constexpr TResStringRec SNotGraphicClass{0xE10A, u"Not a graphic class: %s"};

inline constexpr const TResStringRec* kGraphicStrings[] = {
    &SInvalidBitmap, &SInvalidIcon, &SUnknownExtension, &SScanLine, &SInvalidPixelFormat,
    &SOutOfResources, &SChangeIconSize, &SVBitmaps, &SVIcons, &SDefaultFilter, &SNotGraphicClass,
};
