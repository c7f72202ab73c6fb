#include "platform/win/backend/qt/KeyMap.h"

#include "platform/win/input/KeyTable.h"

namespace {

struct TQtKey {
    int key;
    UINT vk;
    UINT keypadVk; // with the keypad modifier; 0: the same
};

// Symbols are those of a US layout; other layouts' symbols fall back to their place.
constexpr TQtKey kQtKeys[] = {
    {Qt::Key_Escape, VK_ESCAPE, 0},
    {Qt::Key_Tab, VK_TAB, 0},
    {Qt::Key_Backtab, VK_TAB, 0},
    {Qt::Key_Backspace, VK_BACK, 0},
    {Qt::Key_Return, VK_RETURN, 0},
    {Qt::Key_Enter, VK_RETURN, 0},
    {Qt::Key_Insert, VK_INSERT, 0},
    {Qt::Key_Delete, VK_DELETE, 0},
    {Qt::Key_Pause, VK_PAUSE, 0},
    {Qt::Key_Print, VK_SNAPSHOT, 0},
    {Qt::Key_SysReq, VK_SNAPSHOT, 0},
    {Qt::Key_Clear, VK_CLEAR, 0},
    {Qt::Key_Home, VK_HOME, 0},
    {Qt::Key_End, VK_END, 0},
    {Qt::Key_Left, VK_LEFT, 0},
    {Qt::Key_Up, VK_UP, 0},
    {Qt::Key_Right, VK_RIGHT, 0},
    {Qt::Key_Down, VK_DOWN, 0},
    {Qt::Key_PageUp, VK_PRIOR, 0},
    {Qt::Key_PageDown, VK_NEXT, 0},
    {Qt::Key_Shift, VK_SHIFT, 0},
    {Qt::Key_Control, VK_CONTROL, 0},
    {Qt::Key_Meta, VK_LWIN, 0},
    {Qt::Key_Alt, VK_MENU, 0},
    {Qt::Key_CapsLock, VK_CAPITAL, 0},
    {Qt::Key_NumLock, VK_NUMLOCK, 0},
    {Qt::Key_ScrollLock, VK_SCROLL, 0},
    {Qt::Key_Super_L, VK_LWIN, 0},
    {Qt::Key_Super_R, VK_RWIN, 0},
    {Qt::Key_Menu, VK_APPS, 0},
    {Qt::Key_Space, VK_SPACE, 0},
    {Qt::Key_Exclam, '1', 0},
    {Qt::Key_At, '2', 0},
    {Qt::Key_NumberSign, '3', 0},
    {Qt::Key_Dollar, '4', 0},
    {Qt::Key_Percent, '5', 0},
    {Qt::Key_AsciiCircum, '6', 0},
    {Qt::Key_Ampersand, '7', 0},
    {Qt::Key_Asterisk, '8', VK_MULTIPLY},
    {Qt::Key_ParenLeft, '9', 0},
    {Qt::Key_ParenRight, '0', 0},
    {Qt::Key_Minus, VK_OEM_MINUS, VK_SUBTRACT},
    {Qt::Key_Underscore, VK_OEM_MINUS, 0},
    {Qt::Key_Equal, VK_OEM_PLUS, 0},
    {Qt::Key_Plus, VK_OEM_PLUS, VK_ADD},
    {Qt::Key_BracketLeft, VK_OEM_4, 0},
    {Qt::Key_BraceLeft, VK_OEM_4, 0},
    {Qt::Key_BracketRight, VK_OEM_6, 0},
    {Qt::Key_BraceRight, VK_OEM_6, 0},
    {Qt::Key_Semicolon, VK_OEM_1, 0},
    {Qt::Key_Colon, VK_OEM_1, 0},
    {Qt::Key_Apostrophe, VK_OEM_7, 0},
    {Qt::Key_QuoteDbl, VK_OEM_7, 0},
    {Qt::Key_QuoteLeft, VK_OEM_3, 0},
    {Qt::Key_AsciiTilde, VK_OEM_3, 0},
    {Qt::Key_Backslash, VK_OEM_5, 0},
    {Qt::Key_Bar, VK_OEM_5, 0},
    {Qt::Key_Comma, VK_OEM_COMMA, VK_DECIMAL},
    {Qt::Key_Less, VK_OEM_COMMA, 0},
    {Qt::Key_Period, VK_OEM_PERIOD, VK_DECIMAL},
    {Qt::Key_Greater, VK_OEM_PERIOD, 0},
    {Qt::Key_Slash, VK_OEM_2, VK_DIVIDE},
    {Qt::Key_Question, VK_OEM_2, 0},
    {Qt::Key_VolumeMute, VK_VOLUME_MUTE, 0},
    {Qt::Key_VolumeDown, VK_VOLUME_DOWN, 0},
    {Qt::Key_VolumeUp, VK_VOLUME_UP, 0},
    {Qt::Key_MediaNext, VK_MEDIA_NEXT_TRACK, 0},
    {Qt::Key_MediaPrevious, VK_MEDIA_PREV_TRACK, 0},
    {Qt::Key_MediaStop, VK_MEDIA_STOP, 0},
    {Qt::Key_MediaTogglePlayPause, VK_MEDIA_PLAY_PAUSE, 0},
    {Qt::Key_Back, VK_BROWSER_BACK, 0},
    {Qt::Key_Forward, VK_BROWSER_FORWARD, 0},
};

struct TRange {
    int first, last;
    UINT vk, keypadVk;
};

constexpr TRange kQtKeyRanges[] = {
    {Qt::Key_A, Qt::Key_Z, 'A', 0},
    {Qt::Key_0, Qt::Key_9, '0', VK_NUMPAD0},
    {Qt::Key_F1, Qt::Key_F24, VK_F1, 0},
};

UINT VirtualKeyOfQtKey(int key, bool keypad) {
    for (const TQtKey& entry : kQtKeys)
        if (entry.key == key) return keypad && entry.keypadVk ? entry.keypadVk : entry.vk;
    for (const TRange& range : kQtKeyRanges)
        if (key >= range.first && key <= range.last)
            return (keypad && range.keypadVk ? range.keypadVk : range.vk) + UINT(key - range.first);
    return 0;
}

// Navigation keys of the number pad lack the prefix of their block's keys;
// the keypad's Enter has it.
UINT TableScan(UINT vk, int key, bool keypad) {
    const UINT scan = MapVirtualKeyW(vk, MAPVK_VK_TO_VSC_EX);
    if (key == Qt::Key_Enter) return 0xE000 | scan;
    if (!keypad) return scan;
    switch (vk) {
    case VK_INSERT:
    case VK_DELETE:
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN: return scan & 0xFF;
    default: return scan;
    }
}

} // namespace

UINT ScanCodeOfEvdev(UINT evdev) {
    // Below 89 (and not Num Lock) the codes are those of set 1.
    if (evdev == 69) return 0xE045;
    if (evdev > 0 && evdev < 89) return evdev;
    struct TPair {
        UINT evdev, scan;
    };
    static constexpr TPair kExtended[] = {
        {96, 0xE01C},  {97, 0xE01D},  {98, 0xE035},  {99, 0xE037},  {100, 0xE038}, {102, 0xE047},
        {103, 0xE048}, {104, 0xE049}, {105, 0xE04B}, {106, 0xE04D}, {107, 0xE04F}, {108, 0xE050},
        {109, 0xE051}, {110, 0xE052}, {111, 0xE053}, {119, 0x45},   {125, 0xE05B}, {126, 0xE05C},
        {127, 0xE05D},
    };
    for (const TPair& pair : kExtended)
        if (pair.evdev == evdev) return pair.scan;
    return 0;
}

std::optional<TDesktopKey> DesktopKeyOf(const QKeyEvent& event, bool nativeScanIsEvdev) {
    const bool down = event.type() == QEvent::KeyPress;
    if (event.key() == Qt::Key_AltGr || (event.isAutoRepeat() && !down)) return std::nullopt;
    const bool keypad = event.modifiers().testFlag(Qt::KeypadModifier);
    const UINT nativeScan = nativeScanIsEvdev && event.nativeScanCode() > 8 ? ScanCodeOfEvdev(event.nativeScanCode() - 8) : 0;
    const QString text = down ? event.text() : QString();
    UINT vk = VirtualKeyOfQtKey(event.key(), keypad);
    if (!vk && nativeScan) vk = MapVirtualKeyW(nativeScan, MAPVK_VSC_TO_VK_EX);
    if (!vk && !text.isEmpty()) vk = VK_PACKET;
    if (!vk) return std::nullopt;
    TDesktopKey key;
    key.vk = vk;
    key.down = down;
    key.text = String(reinterpret_cast<const char16_t*>(text.utf16()), String::size_type(text.size()));
    key.scan = nativeScan ? nativeScan : TableScan(vk, event.key(), keypad);
    key.autoRepeat = event.isAutoRepeat();
    return key;
}
