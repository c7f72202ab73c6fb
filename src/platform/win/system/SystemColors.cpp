#include "platform/win/system/SystemColors.h"

#include <iterator>

#include "platform/win/Constants.h"

namespace {

constexpr COLORREF kFace = RGB(212, 208, 200);
constexpr COLORREF kShadow = RGB(128, 128, 128);
constexpr COLORREF kSelection = RGB(10, 36, 106);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

// Index -> colour; the entries without a colour are nullopt.
constexpr std::optional<COLORREF> kColors[] = {
    kFace,                // COLOR_SCROLLBAR
    RGB(58, 110, 165),    // COLOR_BACKGROUND
    kSelection,           // COLOR_ACTIVECAPTION
    kShadow,              // COLOR_INACTIVECAPTION
    kFace,                // COLOR_MENU
    kWhite,               // COLOR_WINDOW
    kBlack,               // COLOR_WINDOWFRAME
    kBlack,               // COLOR_MENUTEXT
    kBlack,               // COLOR_WINDOWTEXT
    kWhite,               // COLOR_CAPTIONTEXT
    kFace,                // COLOR_ACTIVEBORDER
    kFace,                // COLOR_INACTIVEBORDER
    kShadow,              // COLOR_APPWORKSPACE
    kSelection,           // COLOR_HIGHLIGHT
    kWhite,               // COLOR_HIGHLIGHTTEXT
    kFace,                // COLOR_BTNFACE
    kShadow,              // COLOR_BTNSHADOW
    kShadow,              // COLOR_GRAYTEXT
    kBlack,               // COLOR_BTNTEXT
    kFace,                // COLOR_INACTIVECAPTIONTEXT
    kWhite,               // COLOR_BTNHIGHLIGHT
    RGB(64, 64, 64),      // COLOR_3DDKSHADOW
    kFace,                // COLOR_3DLIGHT
    kBlack,               // COLOR_INFOTEXT
    RGB(255, 255, 225),   // COLOR_INFOBK
    std::nullopt,         // 25 has no colour
    RGB(0, 0, 128),       // COLOR_HOTLIGHT
    RGB(166, 202, 240),   // COLOR_GRADIENTACTIVECAPTION
    RGB(192, 192, 192),   // COLOR_GRADIENTINACTIVECAPTION
    kSelection,           // COLOR_MENUHILIGHT
    kFace,                // COLOR_MENUBAR
};
static_assert(std::size(kColors) == COLOR_MENUBAR + 1);

std::optional<COLORREF> Color(int index) {
    return index >= 0 && index < int(std::size(kColors)) ? kColors[index] : std::nullopt;
}

} // namespace

COLORREF GetSysColor(int index) { return Color(index).value_or(0); }

HBRUSH GetSysColorBrush(int index) {
    return Color(index) ? reinterpret_cast<HBRUSH>(uintptr_t(index) + 1) : nullptr;
}

std::optional<int> SysColorBrushIndex(HBRUSH brush) {
    const uintptr_t value = reinterpret_cast<uintptr_t>(brush);
    if (value == 0 || value > std::size(kColors) || !Color(int(value - 1))) return std::nullopt;
    return int(value - 1);
}
