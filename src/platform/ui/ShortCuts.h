#pragma once
// Keyboard shortcuts: a virtual key in the low byte with Shift, Ctrl and Alt
// as high bits (Alt+Down is 0x8028), and their texts ("Ctrl+N", "Alt+F4")
// with the English modifier and key names.

#include <cstdint>

#include "platform/rtl/ClassInfo.h"
#include "platform/rtl/ResourceStrings.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/ControlMessages.h"
#include "platform/ui/Events.h"

using TShortCut = uint16_t;

constexpr TShortCut scNone = 0;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;

// Texts of the key names and modifiers (resource strings 0xE140-0xE15F).
inline constexpr TResStringRec SmkcBkSp{0xE140, u"BkSp"};
inline constexpr TResStringRec SmkcTab{0xE141, u"Tab"};
inline constexpr TResStringRec SmkcEsc{0xE142, u"Esc"};
inline constexpr TResStringRec SmkcEnter{0xE143, u"Enter"};
inline constexpr TResStringRec SmkcSpace{0xE144, u"Space"};
inline constexpr TResStringRec SmkcPgUp{0xE145, u"PgUp"};
inline constexpr TResStringRec SmkcPgDn{0xE146, u"PgDn"};
inline constexpr TResStringRec SmkcEnd{0xE147, u"End"};
inline constexpr TResStringRec SmkcHome{0xE148, u"Home"};
inline constexpr TResStringRec SmkcLeft{0xE149, u"Left"};
inline constexpr TResStringRec SmkcUp{0xE14A, u"Up"};
inline constexpr TResStringRec SmkcRight{0xE14B, u"Right"};
inline constexpr TResStringRec SmkcDown{0xE14C, u"Down"};
inline constexpr TResStringRec SmkcIns{0xE14D, u"Ins"};
inline constexpr TResStringRec SmkcDel{0xE14E, u"Del"};
inline constexpr TResStringRec SmkcShift{0xE14F, u"Shift+"};
inline constexpr TResStringRec SmkcCtrl{0xE150, u"Ctrl+"};
inline constexpr TResStringRec SmkcAlt{0xE151, u"Alt+"};

inline constexpr const TResStringRec* kShortCutStrings[] = {
    &SmkcBkSp, &SmkcTab,  &SmkcEsc,   &SmkcEnter, &SmkcSpace, &SmkcPgUp, &SmkcPgDn, &SmkcEnd,   &SmkcHome,
    &SmkcLeft, &SmkcUp,   &SmkcRight, &SmkcDown,  &SmkcIns,   &SmkcDel,  &SmkcShift, &SmkcCtrl, &SmkcAlt,
};

// Key and modifiers as one value; Shift, Ctrl and Alt are the modifiers that count.
TShortCut ShortCut(uint16_t key, TShiftState shift);
void ShortCutToKey(TShortCut shortCut, uint16_t& key, TShiftState& shift);
// "Ctrl+Shift+F5"; empty for scNone and for keys without a name.
String ShortCutToText(TShortCut shortCut);
// The reverse, ignoring case ("ctrl+n"); scNone for a text no shortcut has.
TShortCut TextToShortCut(const String& text);
// The shortcut of a WM_KEYDOWN or WM_SYSKEYDOWN (or its CN_ form): the key
// with the modifiers held now.
TShortCut ShortCutFromMessage(const TMessage& message);

// More shortcuts for one command, kept as their texts.
class TShortCutList : public TStringList {
    RTL_CLASS(TShortCutList, TStringList);

public:
    TShortCutList() = default;
    int AddShortCut(TShortCut shortCut) { return Add(ShortCutToText(shortCut)); }
    TShortCut ShortCuts(int index) const { return TextToShortCut(Strings(index)); }
    // The position of the shortcut, or -1.
    int IndexOfShortCut(TShortCut shortCut) const;
};
