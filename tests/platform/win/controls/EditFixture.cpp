#include "EditFixture.h"
#include "platform/win/controls/Controls.h"

#include <map>

namespace {

UINT KeyCode(const std::u16string& name) {
    static const std::map<std::u16string, UINT> keys = {
        {u"Home", VK_HOME},   {u"End", VK_END},     {u"Left", VK_LEFT},     {u"Right", VK_RIGHT},
        {u"Up", VK_UP},       {u"Down", VK_DOWN},   {u"PgUp", VK_PRIOR},    {u"PgDn", VK_NEXT},
        {u"Back", VK_BACK},   {u"Delete", VK_DELETE}, {u"Enter", VK_RETURN}, {u"Tab", VK_TAB},
        {u"Insert", VK_INSERT}, {u"Escape", VK_ESCAPE},
    };
    if (const auto it = keys.find(name); it != keys.end()) return it->second;
    if (name.size() == 1 && name[0] >= u'A' && name[0] <= u'Z') return name[0];
    ADD_FAILURE() << "unknown key in script";
    return 0;
}

// A key pressed with modifiers, carrying the text the key table gives it.
void Chord(const std::u16string& chord) {
    std::u16string rest = chord;
    std::vector<UINT> modifiers;
    for (const auto& [prefix, vk] : {std::pair{std::u16string(u"Ctrl+"), UINT(VK_CONTROL)},
                                     std::pair{std::u16string(u"Shift+"), UINT(VK_SHIFT)}})
        if (const auto at = rest.find(prefix); at != std::u16string::npos) {
            rest.erase(at, prefix.size());
            modifiers.push_back(vk);
        }
    DesktopPressTyping(KeyCode(rest), modifiers);
}

} // namespace

void EditTest::SetUp() {
    WindowTest::SetUp();
    clipboardScope_ = std::make_unique<TTextClipboardScope>(clipboard_);
    const LOGFONTW lf = LogFont(kTestFaceName, kLine);
    font_ = CreateFontIndirectW(&lf);
    parent_ = Create(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, {0, 0, 400, 300});
    DesktopActivate(parent_);
    RunUntilIdle();
}

void EditTest::TearDown() {
    WindowTest::TearDown();
    DeleteObject(ToGdiObject(font_));
    clipboardScope_.reset();
}

HWND EditTest::MakeEdit(DWORD style, SIZE size, const char16_t* text) {
    const HWND edit = CreateWindowExW(0, u"EDIT", text, WS_CHILD | WS_VISIBLE | style, 10, 10, size.cx, size.cy,
                                      parent_, reinterpret_cast<HMENU>(uintptr_t{7}), nullptr, nullptr);
    SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    SetFocus(edit);
    RunUntilIdle();
    ClearRecord();
    return edit;
}

String EditTest::Text(HWND edit) const {
    const int length = int(SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0));
    String text(size_t(length), u'\0');
    std::vector<char16_t> buffer(size_t(length) + 1);
    const LRESULT copied = SendMessageW(edit, WM_GETTEXT, WPARAM(buffer.size()), reinterpret_cast<LPARAM>(buffer.data()));
    return String(buffer.data(), size_t(copied));
}

std::pair<int, int> EditTest::Selection(HWND edit) const {
    DWORD start = 0, end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {int(start), int(end)};
}

std::vector<WORD> EditTest::Notifications(HWND edit, WORD only) const {
    std::vector<WORD> codes;
    for (const TRecord& r : Recorded({WM_COMMAND}))
        if (r.hwnd == parent_ && r.lParam == reinterpret_cast<LPARAM>(edit) && (only == 0xFFFF || HIWORD(r.wParam) == only))
            codes.push_back(HIWORD(r.wParam));
    return codes;
}

void EditTest::Type(const std::u16string& script) {
    for (size_t i = 0; i < script.size();) {
        if (script[i] == u'{') {
            const size_t end = script.find(u'}', i);
            Chord(script.substr(i + 1, end - i - 1));
            i = end + 1;
        } else {
            const size_t units = (script[i] >= 0xD800 && script[i] < 0xDC00) ? 2 : 1;
            DesktopKey(VK_PACKET, true, String(script.substr(i, units)));
            DesktopKey(VK_PACKET, false);
            i += units;
        }
        RunUntilIdle();
    }
}

int EditTest::LineTop(HWND edit) const {
    RECT format{};
    SendMessageW(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    return format.top;
}

uint32_t EditTest::PixelAt(HWND edit, int x, int y) const {
    POINT pt{x, y};
    MapWindowPoints(edit, parent_, &pt, 1);
    return WindowSurface(parent_)->Pixel(pt.x, pt.y) & 0xFFFFFF;
}
