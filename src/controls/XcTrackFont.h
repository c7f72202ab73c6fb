#pragma once
// A hot-track font that follows the control's font in the attributes it
// does not preserve.

#include "platform/rtl/Set.h"
#include "platform/ui/Font.h"

enum class TXcTrackFontOption {
    hoFollowFont,
    hoPreserveCharSet,
    hoPreserveColor,
    hoPreserveHeight,
    hoPreserveName,
    hoPreservePitch,
    hoPreserveStyle
};
using enum TXcTrackFontOption;
RTL_ENUM(TXcTrackFontOption, hoFollowFont, hoPreserveCharSet, hoPreserveColor, hoPreserveHeight, hoPreserveName,
         hoPreservePitch, hoPreserveStyle);
using TXcTrackFontOptions = TSet<TXcTrackFontOption>;

// Only with hoFollowFont: copies from Font to TrackFont each attribute
// whose preserve option is absent.
void SyncTrackFont(TFont* trackFont, const TFont* font, TXcTrackFontOptions options);
