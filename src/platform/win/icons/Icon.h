#pragma once
// Icon and cursor objects behind their handles. Internal.

#include <memory>

#include "platform/win/icons/IconImage.h"

struct TIcon {
    TIconImage image;
    POINT hotSpot{};
    bool isIcon = true;
    bool monochrome = false; // made from a mask alone: GetIconInfo answers it so
    bool shared = false;     // loaded by LoadIconW and the like: never destroyed
};

HICON AddIcon(std::unique_ptr<TIcon> icon);
// Null for null, markers, stale and destroyed handles. An icon does not change
// once made; only a destroy from another thread may pull it away.
const TIcon* FindIcon(HICON icon) noexcept;
inline const TIcon* FindCursor(HCURSOR cursor) noexcept { return FindIcon(reinterpret_cast<HICON>(cursor)); }
// Live icons, shared ones not counted: for catching leaks.
size_t LiveIcons();
