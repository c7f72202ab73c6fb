#pragma once
// Edit windows made with CreateWindowExW(…, u"EDIT", …) as children of a
// recording popup window at the screen's origin (its surface coordinates are
// its client coordinates), in the built-in test face: 8 pixels a character,
// 16 for a wide one, 16 pixels a line. Keys go through the desktop.

#include <string>

#include "../TextFixture.h"
#include "../WindowFixture.h"
#include "platform/win/dataxfer/TextClipboard.h"

class TEditTestClipboard final : public ITextClipboard {
public:
    std::optional<String> GetText() override { return text; }
    void SetText(const String& value) override { text = value; }
    std::optional<String> text;
};

class EditTest : public WindowTest {
protected:
    static constexpr int kLine = 16;
    static constexpr int kAdvance = 8;

    void SetUp() override;
    void TearDown() override;

    // An edit at (10, 10) in the parent, focused.
    HWND MakeEdit(DWORD style, SIZE size = {200, 24}, const char16_t* text = u"");
    String Text(HWND edit) const;
    std::pair<int, int> Selection(HWND edit) const;
    // Notification codes (EN_x) the parent got from the edit, in order.
    std::vector<WORD> Notifications(HWND edit, WORD only = 0xFFFF) const;
    // Types a script: characters are typed, {Key} and {Mod+Key} press keys
    // (Home, End, Left, Right, Up, Down, PgUp, PgDn, Back, Delete, Enter, Tab,
    // Insert, Escape, or a letter) with Shift, Ctrl or both held.
    void Type(const std::u16string& script);
    // The top of the formatting rectangle (EM_GETRECT), where the first line starts.
    int LineTop(HWND edit) const;
    // The colour (0xRRGGBB) at a point of the edit.
    uint32_t PixelAt(HWND edit, int x, int y) const;

    HWND parent_ = nullptr;
    TEditTestClipboard clipboard_;

private:
    std::unique_ptr<TTextClipboardScope> clipboardScope_;
    HFONT font_ = nullptr;
};
