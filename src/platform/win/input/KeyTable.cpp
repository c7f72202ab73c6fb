#include "platform/win/input/KeyTable.h"

#include "platform/win/Constants.h"

namespace {

constexpr WORD kExtended = 0xE000;

struct TKey {
    UINT vk;
    WORD scan;
    char16_t plain;
    char16_t shifted;
    char16_t control;
};

constexpr TKey kKeys[] = {
    {VK_ESCAPE, 0x01, 0x1B, 0x1B, 0x1B},
    {'1', 0x02, '1', '!', 0},
    {'2', 0x03, '2', '@', 0},
    {'3', 0x04, '3', '#', 0},
    {'4', 0x05, '4', '$', 0},
    {'5', 0x06, '5', '%', 0},
    {'6', 0x07, '6', '^', 0},
    {'7', 0x08, '7', '&', 0},
    {'8', 0x09, '8', '*', 0},
    {'9', 0x0A, '9', '(', 0},
    {'0', 0x0B, '0', ')', 0},
    {VK_OEM_MINUS, 0x0C, '-', '_', 0},
    {VK_OEM_PLUS, 0x0D, '=', '+', 0},
    {VK_BACK, 0x0E, 0x08, 0x08, 0x7F},
    {VK_TAB, 0x0F, '\t', '\t', 0},
    {'Q', 0x10, 'q', 'Q', 0x11},
    {'W', 0x11, 'w', 'W', 0x17},
    {'E', 0x12, 'e', 'E', 0x05},
    {'R', 0x13, 'r', 'R', 0x12},
    {'T', 0x14, 't', 'T', 0x14},
    {'Y', 0x15, 'y', 'Y', 0x19},
    {'U', 0x16, 'u', 'U', 0x15},
    {'I', 0x17, 'i', 'I', 0x09},
    {'O', 0x18, 'o', 'O', 0x0F},
    {'P', 0x19, 'p', 'P', 0x10},
    {VK_OEM_4, 0x1A, '[', '{', 0x1B},
    {VK_OEM_6, 0x1B, ']', '}', 0x1D},
    {VK_RETURN, 0x1C, '\r', '\r', '\n'},
    {VK_LCONTROL, 0x1D, 0, 0, 0},
    {'A', 0x1E, 'a', 'A', 0x01},
    {'S', 0x1F, 's', 'S', 0x13},
    {'D', 0x20, 'd', 'D', 0x04},
    {'F', 0x21, 'f', 'F', 0x06},
    {'G', 0x22, 'g', 'G', 0x07},
    {'H', 0x23, 'h', 'H', 0x08},
    {'J', 0x24, 'j', 'J', 0x0A},
    {'K', 0x25, 'k', 'K', 0x0B},
    {'L', 0x26, 'l', 'L', 0x0C},
    {VK_OEM_1, 0x27, ';', ':', 0},
    {VK_OEM_7, 0x28, '\'', '"', 0},
    {VK_OEM_3, 0x29, '`', '~', 0},
    {VK_LSHIFT, 0x2A, 0, 0, 0},
    {VK_OEM_5, 0x2B, '\\', '|', 0x1C},
    {'Z', 0x2C, 'z', 'Z', 0x1A},
    {'X', 0x2D, 'x', 'X', 0x18},
    {'C', 0x2E, 'c', 'C', 0x03},
    {'V', 0x2F, 'v', 'V', 0x16},
    {'B', 0x30, 'b', 'B', 0x02},
    {'N', 0x31, 'n', 'N', 0x0E},
    {'M', 0x32, 'm', 'M', 0x0D},
    {VK_OEM_COMMA, 0x33, ',', '<', 0},
    {VK_OEM_PERIOD, 0x34, '.', '>', 0},
    {VK_OEM_2, 0x35, '/', '?', 0},
    {VK_RSHIFT, 0x36, 0, 0, 0},
    {VK_MULTIPLY, 0x37, '*', '*', 0},
    {VK_LMENU, 0x38, 0, 0, 0},
    {VK_SPACE, 0x39, ' ', ' ', ' '},
    {VK_CAPITAL, 0x3A, 0, 0, 0},
    {VK_F1, 0x3B, 0, 0, 0},
    {VK_F2, 0x3C, 0, 0, 0},
    {VK_F3, 0x3D, 0, 0, 0},
    {VK_F4, 0x3E, 0, 0, 0},
    {VK_F5, 0x3F, 0, 0, 0},
    {VK_F6, 0x40, 0, 0, 0},
    {VK_F7, 0x41, 0, 0, 0},
    {VK_F8, 0x42, 0, 0, 0},
    {VK_F9, 0x43, 0, 0, 0},
    {VK_F10, 0x44, 0, 0, 0},
    {VK_NUMLOCK, kExtended | 0x45, 0, 0, 0},
    {VK_SCROLL, 0x46, 0, 0, 0},
    {VK_NUMPAD7, 0x47, '7', '7', 0},
    {VK_NUMPAD8, 0x48, '8', '8', 0},
    {VK_NUMPAD9, 0x49, '9', '9', 0},
    {VK_SUBTRACT, 0x4A, '-', '-', 0},
    {VK_NUMPAD4, 0x4B, '4', '4', 0},
    {VK_NUMPAD5, 0x4C, '5', '5', 0},
    {VK_NUMPAD6, 0x4D, '6', '6', 0},
    {VK_ADD, 0x4E, '+', '+', 0},
    {VK_NUMPAD1, 0x4F, '1', '1', 0},
    {VK_NUMPAD2, 0x50, '2', '2', 0},
    {VK_NUMPAD3, 0x51, '3', '3', 0},
    {VK_NUMPAD0, 0x52, '0', '0', 0},
    {VK_DECIMAL, 0x53, '.', '.', 0},
    {VK_OEM_102, 0x56, '\\', '|', 0x1C},
    {VK_F11, 0x57, 0, 0, 0},
    {VK_F12, 0x58, 0, 0, 0},
    {VK_RCONTROL, kExtended | 0x1D, 0, 0, 0},
    {VK_DIVIDE, kExtended | 0x35, '/', '/', 0},
    {VK_SNAPSHOT, kExtended | 0x37, 0, 0, 0},
    {VK_RMENU, kExtended | 0x38, 0, 0, 0},
    {VK_CANCEL, kExtended | 0x46, 0x03, 0x03, 0x03},
    {VK_HOME, kExtended | 0x47, 0, 0, 0},
    {VK_UP, kExtended | 0x48, 0, 0, 0},
    {VK_PRIOR, kExtended | 0x49, 0, 0, 0},
    {VK_LEFT, kExtended | 0x4B, 0, 0, 0},
    {VK_RIGHT, kExtended | 0x4D, 0, 0, 0},
    {VK_END, kExtended | 0x4F, 0, 0, 0},
    {VK_DOWN, kExtended | 0x50, 0, 0, 0},
    {VK_NEXT, kExtended | 0x51, 0, 0, 0},
    {VK_INSERT, kExtended | 0x52, 0, 0, 0},
    {VK_DELETE, kExtended | 0x53, 0, 0, 0},
    {VK_LWIN, kExtended | 0x5B, 0, 0, 0},
    {VK_RWIN, kExtended | 0x5C, 0, 0, 0},
    {VK_APPS, kExtended | 0x5D, 0, 0, 0},
    {VK_PAUSE, 0x45, 0, 0, 0},
};

// A modifier without side stands for its left key.
UINT Sided(UINT vk) {
    switch (vk) {
    case VK_SHIFT: return VK_LSHIFT;
    case VK_CONTROL: return VK_LCONTROL;
    case VK_MENU: return VK_LMENU;
    default: return vk;
    }
}

UINT Sideless(UINT vk) {
    switch (vk) {
    case VK_LSHIFT:
    case VK_RSHIFT: return VK_SHIFT;
    case VK_LCONTROL:
    case VK_RCONTROL: return VK_CONTROL;
    case VK_LMENU:
    case VK_RMENU: return VK_MENU;
    default: return vk;
    }
}

const TKey* ByVirtualKey(UINT vk) {
    vk = Sided(vk);
    for (const TKey& key : kKeys)
        if (key.vk == vk) return &key;
    return nullptr;
}

// Without the prefix a code means the key without it when there is one.
const TKey* ByScanCode(UINT scan, bool ignorePrefix) {
    for (const TKey& key : kKeys)
        if (key.scan == (ignorePrefix ? scan & 0xFF : scan)) return &key;
    if (ignorePrefix) {
        for (const TKey& key : kKeys)
            if ((key.scan & 0xFF) == (scan & 0xFF)) return &key;
    }
    return nullptr;
}

bool Down(const BYTE* keyState, UINT vk, UINT left, UINT right) {
    return keyState && ((keyState[vk] | keyState[left] | keyState[right]) & 0x80);
}

} // namespace

int ToUnicode(UINT virtKey, UINT scanCode, const BYTE* keyState, LPWSTR buffer, int bufferSize, UINT) {
    const TKey* key = ByVirtualKey(virtKey);
    if (!key || (scanCode & 0x8000) || !buffer || bufferSize < 1) return 0;
    const bool shift = Down(keyState, VK_SHIFT, VK_LSHIFT, VK_RSHIFT);
    const bool control = Down(keyState, VK_CONTROL, VK_LCONTROL, VK_RCONTROL);
    const bool alt = Down(keyState, VK_MENU, VK_LMENU, VK_RMENU);
    const bool capsLock = keyState && (keyState[VK_CAPITAL] & 0x01);
    const bool letter = key->vk >= 'A' && key->vk <= 'Z';
    char16_t character;
    if (control && alt)
        character = 0;
    else if (control)
        character = key->control;
    else
        character = shift != (capsLock && letter) ? key->shifted : key->plain;
    if (!character) return 0;
    buffer[0] = character;
    return 1;
}

int ToAscii(UINT virtKey, UINT scanCode, const BYTE* keyState, WORD* chars, UINT flags) {
    WCHAR character = 0;
    const int count = ToUnicode(virtKey, scanCode, keyState, &character, 1, flags);
    if (count && chars) *chars = character;
    return chars ? count : 0;
}

UINT MapVirtualKeyW(UINT code, UINT mapType) {
    switch (mapType) {
    case MAPVK_VK_TO_VSC:
    case MAPVK_VK_TO_VSC_EX: {
        const TKey* key = ByVirtualKey(code);
        if (!key) return 0;
        return mapType == MAPVK_VK_TO_VSC ? key->scan & 0xFF : key->scan;
    }
    case MAPVK_VSC_TO_VK:
    case MAPVK_VSC_TO_VK_EX: {
        const TKey* key = ByScanCode(code, mapType == MAPVK_VSC_TO_VK);
        if (!key) return 0;
        return mapType == MAPVK_VSC_TO_VK ? Sideless(key->vk) : key->vk;
    }
    case MAPVK_VK_TO_CHAR: {
        const TKey* key = ByVirtualKey(code);
        if (!key) return 0;
        return key->vk >= 'A' && key->vk <= 'Z' ? key->shifted : key->plain;
    }
    default: return 0;
    }
}
