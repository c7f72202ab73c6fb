#include <gtest/gtest.h>

#include <array>
#include <initializer_list>

#include "platform/win/Constants.h"
#include "platform/win/input/KeyTable.h"

namespace {

// Keys held down; kCapsLockOn stands for Caps Lock toggled on and not held.
constexpr UINT kCapsLockOn = 0x100;

struct KeyboardState {
    KeyboardState(std::initializer_list<UINT> down) {
        for (const UINT vk : down) {
            if (vk == kCapsLockOn)
                keys[VK_CAPITAL] = 0x01;
            else
                keys[vk] = 0x80;
        }
    }
    std::array<BYTE, 256> keys{};
};

TEST(KeyTableTest, ToAsciiGivesTheCharacterOfTheKeyAndModifiers) {
    struct Case {
        const char* name;
        UINT vk;
        KeyboardState state;
        WORD expected; // 0: no character
    };
    const Case cases[] = {
        {"keypad multiply", VK_MULTIPLY, {}, '*'},
        {"keypad add", VK_ADD, {}, '+'},
        {"keypad subtract", VK_SUBTRACT, {}, '-'},
        {"keypad divide", VK_DIVIDE, {}, '/'},
        {"keypad decimal", VK_DECIMAL, {}, '.'},
        {"keypad digit", VK_NUMPAD5, {}, '5'},
        {"keypad operator with Ctrl", VK_MULTIPLY, {VK_CONTROL, VK_LCONTROL}, 0},
        {"keypad operator with Shift", VK_ADD, {VK_SHIFT}, '+'},
        {"letter", 'A', {}, 'a'},
        {"letter with Shift", 'A', {VK_SHIFT, VK_LSHIFT}, 'A'},
        {"letter with the right Shift only", 'A', {VK_RSHIFT}, 'A'},
        {"letter with Caps Lock", 'A', {kCapsLockOn}, 'A'},
        {"letter with Caps Lock and Shift", 'A', {VK_SHIFT, kCapsLockOn}, 'a'},
        {"digit with Caps Lock", '1', {kCapsLockOn}, '1'},
        {"digit with Shift", '1', {VK_SHIFT}, '!'},
        {"punctuation with Shift", VK_OEM_2, {VK_SHIFT}, '?'},
        {"Ctrl+C", 'C', {VK_CONTROL}, 0x03},
        {"Ctrl+Shift+C", 'C', {VK_CONTROL, VK_SHIFT}, 0x03},
        {"Ctrl+Alt+A", 'A', {VK_CONTROL, VK_MENU}, 0},
        {"Alt+A", 'A', {VK_MENU, VK_LMENU}, 'a'},
        {"Enter", VK_RETURN, {}, '\r'},
        {"Ctrl+Enter", VK_RETURN, {VK_CONTROL}, '\n'},
        {"Backspace", VK_BACK, {}, 0x08},
        {"Escape", VK_ESCAPE, {}, 0x1B},
        {"arrow", VK_LEFT, {}, 0},
        {"function key", VK_F5, {}, 0},
        {"modifier", VK_SHIFT, {VK_SHIFT}, 0},
        {"unknown key", 0xFF, {}, 0},
    };
    for (const Case& c : cases) {
        WORD character = 0xFFFF;
        const int count = ToAscii(c.vk, MapVirtualKeyW(c.vk, MAPVK_VK_TO_VSC), c.state.keys.data(), &character, 0);
        EXPECT_EQ(count, c.expected ? 1 : 0) << c.name;
        if (c.expected) {
            EXPECT_EQ(character, c.expected) << c.name;
        }
    }
}

TEST(KeyTableTest, ReleasedKeysAndMissingBuffersGiveNothing) {
    const KeyboardState none{};
    WCHAR buffer[4] = {};
    EXPECT_EQ(ToUnicode('A', 0x1E | 0x8000, none.keys.data(), buffer, 4, 0), 0);
    EXPECT_EQ(ToUnicode('A', 0x1E, none.keys.data(), buffer, 0, 0), 0);
    EXPECT_EQ(ToUnicode('A', 0x1E, none.keys.data(), nullptr, 4, 0), 0);
    EXPECT_EQ(ToUnicode('A', 0x1E, nullptr, buffer, 4, 0), 1) << "no key state: nothing held";
    EXPECT_EQ(buffer[0], u'a');
}

TEST(KeyTableTest, MapVirtualKeyBetweenKeysScanCodesAndCharacters) {
    struct Case {
        UINT code;
        UINT mapType;
        UINT expected;
    };
    const Case cases[] = {
        {VK_DECIMAL, MAPVK_VK_TO_CHAR, '.'},
        {VK_MULTIPLY, MAPVK_VK_TO_CHAR, '*'},
        {'A', MAPVK_VK_TO_CHAR, 'A'},
        {'7', MAPVK_VK_TO_CHAR, '7'},
        {VK_OEM_1, MAPVK_VK_TO_CHAR, ';'},
        {VK_LEFT, MAPVK_VK_TO_CHAR, 0},
        {VK_SHIFT, MAPVK_VK_TO_VSC, 0x2A},
        {VK_RSHIFT, MAPVK_VK_TO_VSC, 0x36},
        {VK_DOWN, MAPVK_VK_TO_VSC, 0x50},
        {VK_DOWN, MAPVK_VK_TO_VSC_EX, 0xE050},
        {VK_NUMPAD2, MAPVK_VK_TO_VSC_EX, 0x50},
        {VK_RCONTROL, MAPVK_VK_TO_VSC_EX, 0xE01D},
        {VK_DIVIDE, MAPVK_VK_TO_VSC_EX, 0xE035},
        {0x36, MAPVK_VSC_TO_VK, VK_SHIFT},
        {0x36, MAPVK_VSC_TO_VK_EX, VK_RSHIFT},
        {0x38, MAPVK_VSC_TO_VK, VK_MENU},
        {0xE038, MAPVK_VSC_TO_VK_EX, VK_RMENU},
        {0xE01D, MAPVK_VSC_TO_VK, VK_CONTROL},
        {0x1E, MAPVK_VSC_TO_VK, 'A'},
        {0x5B, MAPVK_VSC_TO_VK, VK_LWIN},
        {0x5B, MAPVK_VSC_TO_VK_EX, 0},
        {'A', 99, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MapVirtualKeyW(c.code, c.mapType), c.expected) << std::hex << c.code << " " << c.mapType;
}

TEST(KeyTableTest, EveryScanCodeLeadsBackToItsKey) {
    for (UINT vk = 1; vk < 256; ++vk) {
        const UINT scan = MapVirtualKeyW(vk, MAPVK_VK_TO_VSC_EX);
        if (!scan || vk == VK_SHIFT || vk == VK_CONTROL || vk == VK_MENU) continue;
        EXPECT_EQ(MapVirtualKeyW(scan, MAPVK_VSC_TO_VK_EX), vk) << std::hex << vk << " " << scan;
    }
}

} // namespace
