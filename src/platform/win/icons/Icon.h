#pragma once
// Icon and cursor objects behind their handles. Internal.

#include <memory>

#include "platform/win/icons/IconImage.h"

struct TIconObject {
    TIconImage image;
    POINT hotSpot{};
    bool isIcon = true;
    bool monochrome = false; // made from a mask alone: GetIconInfo answers it so
    bool shared = false;     // loaded by LoadIconW and the like: never destroyed
};

HICON AddIcon(std::unique_ptr<TIconObject> icon);
// Null for null, markers, stale and destroyed handles. An icon does not change
// once made; only a destroy from another thread may pull it away.
const TIconObject* FindIcon(HICON icon) noexcept;
inline const TIconObject* FindCursor(HCURSOR cursor) noexcept { return FindIcon(reinterpret_cast<HICON>(cursor)); }
// Live icons, shared ones not counted: for catching leaks.
size_t LiveIcons();
