#include <QKeyEvent>

#include "PresenterFixture.h"
#include "platform/win/backend/qt/KeyMap.h"

namespace {

struct TKeyCase {
    const char* name;
    int key;
    Qt::KeyboardModifiers modifiers;
    quint32 nativeScan; // X11's: evdev + 8; 0: none
    const char* text;
    UINT vk;
    UINT scan; // 0xE0xx: extended
};

const TKeyCase kKeyCases[] = {
    {"arrow", Qt::Key_Down, Qt::NoModifier, 0, "", VK_DOWN, 0xE050},
    {"keypad arrow", Qt::Key_Down, Qt::KeypadModifier, 0, "", VK_DOWN, 0x50},
    {"keypad plus", Qt::Key_Plus, Qt::KeypadModifier, 0, "+", VK_ADD, 0x4E},
    {"plus", Qt::Key_Plus, Qt::ShiftModifier, 0, "+", VK_OEM_PLUS, 0x0D},
    {"keypad digit", Qt::Key_7, Qt::KeypadModifier, 0, "7", VK_NUMPAD7, 0x47},
    {"keypad enter", Qt::Key_Enter, Qt::KeypadModifier, 0, "\r", VK_RETURN, 0xE01C},
    {"keypad divide", Qt::Key_Slash, Qt::KeypadModifier, 0, "/", VK_DIVIDE, 0xE035},
    {"shifted digit", Qt::Key_Exclam, Qt::ShiftModifier, 0, "!", '1', 0x02},
    {"back tab", Qt::Key_Backtab, Qt::ShiftModifier, 0, "", VK_TAB, 0x0F},
    {"letter", Qt::Key_Q, Qt::ControlModifier, 0, "\x11", 'Q', 0x10},
    {"function key", Qt::Key_F5, Qt::NoModifier, 0, "", VK_F5, 0x3F},
    {"text only", Qt::Key_Eacute, Qt::NoModifier, 0, "é", VK_PACKET, 0},
    {"native scan code", Qt::Key_Down, Qt::NoModifier, 108 + 8, "", VK_DOWN, 0xE050},
    {"right control by its scan code", Qt::Key_Control, Qt::ControlModifier, 97 + 8, "", VK_CONTROL, 0xE01D},
    {"another layout's letter at its place", Qt::Key_Odiaeresis, Qt::NoModifier, 39 + 8, "ö", VK_OEM_1, 0x27},
};

TEST(KeyMapTest, QtKeysMapToVirtualKeysAndScanCodes) {
    for (const TKeyCase& c : kKeyCases) {
        SCOPED_TRACE(c.name);
        const QKeyEvent event(QEvent::KeyPress, c.key, c.modifiers, c.nativeScan, 0, 0, QString::fromUtf8(c.text));
        const auto key = DesktopKeyOf(event, true);
        ASSERT_TRUE(key.has_value());
        EXPECT_EQ(key->vk, c.vk);
        EXPECT_EQ(key->scan, c.scan);
        EXPECT_TRUE(key->down);
        EXPECT_EQ(key->text, String(QString::fromUtf8(c.text).toStdU16String()));
    }
}

TEST(KeyMapTest, AltGrRepeatedReleasesAndUnknownSilentKeysAreNoKeys) {
    EXPECT_FALSE(DesktopKeyOf(QKeyEvent(QEvent::KeyPress, Qt::Key_AltGr, Qt::GroupSwitchModifier), true));
    EXPECT_FALSE(DesktopKeyOf(QKeyEvent(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, "a", true), true));
    EXPECT_FALSE(DesktopKeyOf(QKeyEvent(QEvent::KeyPress, Qt::Key_Launch0, Qt::NoModifier), true));
    const auto repeat = DesktopKeyOf(QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a", true), true);
    ASSERT_TRUE(repeat);
    EXPECT_TRUE(repeat->autoRepeat);
}

TEST(KeyMapTest, EvdevCodesBecomeSetOneScanCodes) {
    const std::pair<UINT, UINT> cases[] = {{1, 0x01},    {30, 0x1E},   {69, 0xE045}, {119, 0x45},
                                           {96, 0xE01C}, {111, 0xE053}, {125, 0xE05B}, {200, 0}};
    for (const auto& [evdev, scan] : cases) EXPECT_EQ(ScanCodeOfEvdev(evdev), scan) << evdev;
}

} // namespace
