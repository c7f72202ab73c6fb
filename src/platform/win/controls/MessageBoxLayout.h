#pragma once
// What a message box holds and where it goes. Internal to the message box.

#include <span>
#include <vector>

#include "platform/rtl/ResourceStrings.h"
#include "platform/win/Types.h"

struct TMessageBoxButton {
    int id;
    const TResStringRec* caption;
};

// The buttons of MB_OK...MB_RETRYCANCEL in their order; empty for other sets.
std::span<const TMessageBoxButton> MessageBoxButtons(UINT type);
// What Escape and the close box answer: IDCANCEL, IDOK for a lone OK, else 0.
int MessageBoxCloseAnswer(std::span<const TMessageBoxButton> buttons);
// The standard icon of MB_ICONHAND...MB_ICONASTERISK; null for none.
LPCWSTR MessageBoxIconName(UINT type);

struct TMessageBoxLayout {
    SIZE client{};
    RECT icon{}; // empty without an icon
    RECT text{};
    std::vector<RECT> buttons;
};

// Lays out the box in the font selected into DC: the icon left of the text
// (the text wrapped within MaxTextWidth, '&' shown as it stands), the
// buttons of equal width centred in a row below, margins and gaps in the
// font's dialog units.
TMessageBoxLayout LayOutMessageBox(HDC dc, const String& text, SIZE icon, std::span<const String> captions,
                                   int maxTextWidth);
