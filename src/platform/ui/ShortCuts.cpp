#include "platform/ui/ShortCuts.h"

#include "platform/rtl/Conversions.h"
#include "platform/win/User.h"

RTL_PUBLISHED_NONE(TShortCutList);

namespace {

constexpr TShortCut kKeyMask = 0x00FF;

// The name of a key without modifiers; empty when it has none.
String KeyName(uint16_t key) {
    static constexpr const TResStringRec* kFromSpace[] = {&SmkcSpace, &SmkcPgUp, &SmkcPgDn, &SmkcEnd, &SmkcHome,
                                                          &SmkcLeft,  &SmkcUp,   &SmkcRight, &SmkcDown};
    if (key == VK_BACK) return LoadResString(SmkcBkSp);
    if (key == VK_TAB) return LoadResString(SmkcTab);
    if (key == VK_RETURN) return LoadResString(SmkcEnter);
    if (key == VK_ESCAPE) return LoadResString(SmkcEsc);
    if (key >= VK_SPACE && key <= VK_DOWN) return LoadResString(*kFromSpace[key - VK_SPACE]);
    if (key == VK_INSERT) return LoadResString(SmkcIns);
    if (key == VK_DELETE) return LoadResString(SmkcDel);
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return String(1, char16_t(key));
    if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) return String(1, char16_t('0' + key - VK_NUMPAD0));
    if (key >= VK_F1 && key <= VK_F24) return u"F" + IntToStr(int(key - VK_F1) + 1);
    return String();
}

// Removes Prefix from the front of Text, ignoring case.
bool TakePrefix(String& text, const String& prefix) {
    if (text.size() < prefix.size() || !SameText(text.substr(0, prefix.size()), prefix)) return false;
    text.erase(0, prefix.size());
    return true;
}

} // namespace

TShortCut ShortCut(uint16_t key, TShiftState shift) {
    if (key & ~kKeyMask) return scNone;
    TShortCut result = key;
    if (shift.Contains(ssShift)) result |= scShift;
    if (shift.Contains(ssCtrl)) result |= scCtrl;
    if (shift.Contains(ssAlt)) result |= scAlt;
    return result;
}

void ShortCutToKey(TShortCut shortCut, uint16_t& key, TShiftState& shift) {
    key = shortCut & kKeyMask;
    shift = {};
    if (shortCut & scShift) shift.Include(ssShift);
    if (shortCut & scCtrl) shift.Include(ssCtrl);
    if (shortCut & scAlt) shift.Include(ssAlt);
}

String ShortCutToText(TShortCut shortCut) {
    const String name = KeyName(shortCut & kKeyMask);
    if (name.empty()) return String();
    String result;
    if (shortCut & scShift) result += LoadResString(SmkcShift);
    if (shortCut & scCtrl) result += LoadResString(SmkcCtrl);
    if (shortCut & scAlt) result += LoadResString(SmkcAlt);
    return result + name;
}

TShortCut TextToShortCut(const String& text) {
    String rest = text;
    TShortCut modifiers = 0;
    for (;;) {
        if (TakePrefix(rest, LoadResString(SmkcShift))) modifiers |= scShift;
        else if (TakePrefix(rest, LoadResString(SmkcCtrl))) modifiers |= scCtrl;
        else if (TakePrefix(rest, LoadResString(SmkcAlt))) modifiers |= scAlt;
        else break;
    }
    if (rest.empty()) return scNone;
    // The first key whose name matches: "5" is the digit key, not the keypad's.
    for (uint16_t key = VK_BACK; key <= kKeyMask; ++key)
        if (SameText(rest, KeyName(key))) return TShortCut(key | modifiers);
    return scNone;
}

TShortCut ShortCutFromMessage(const TMessage& message) {
    TShiftState shift;
    if (GetKeyState(VK_SHIFT) < 0) shift.Include(ssShift);
    if (GetKeyState(VK_CONTROL) < 0) shift.Include(ssCtrl);
    if ((message.LParam & (LPARAM(1) << 29)) || GetKeyState(VK_MENU) < 0) shift.Include(ssAlt);
    return ShortCut(uint16_t(message.WParam), shift);
}

int TShortCutList::IndexOfShortCut(TShortCut shortCut) const {
    for (int i = 0; i < Count(); ++i)
        if (ShortCuts(i) == shortCut) return i;
    return -1;
}
