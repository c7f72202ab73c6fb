#pragma once
// The fixed keyboard table (a US layout): scan codes and the characters of
// each virtual key, plain, with Shift and with Ctrl. Characters typed by the
// user come from the desktop's own text for a key event; this table answers
// the questions code asks about keys. Scan codes are set 1, with 0xE000 added
// for the extended keys (navigation off the keypad, right Ctrl and Alt, ...).
// The keypad keys map as with Num Lock on (VK_NUMPAD0-9, VK_DECIMAL).

#include "platform/win/Types.h"

// The character(s) of VirtKey with the keys down in KeyState (256 entries,
// 0x80 = down, 0x01 = toggled; null: none down): Shift and Caps Lock choose the
// case, Ctrl gives the control character or none, Ctrl with Alt gives none.
// Alt alone does not change the character. A released key (bit 15 of
// ScanCode) gives none. Answers the number of characters, 0 for none.
int ToUnicode(UINT virtKey, UINT scanCode, const BYTE* keyState, LPWSTR buffer, int bufferSize, UINT flags);
int ToAscii(UINT virtKey, UINT scanCode, const BYTE* keyState, WORD* chars, UINT flags);

// MAPVK_VK_TO_VSC, MAPVK_VK_TO_VSC_EX (with the 0xE0 prefix of extended keys),
// MAPVK_VSC_TO_VK (left and right modifiers as VK_SHIFT, VK_CONTROL, VK_MENU),
// MAPVK_VSC_TO_VK_EX (told apart) and MAPVK_VK_TO_CHAR (the unshifted
// character, letters in upper case). 0 when there is no mapping.
UINT MapVirtualKeyW(UINT code, UINT mapType);
