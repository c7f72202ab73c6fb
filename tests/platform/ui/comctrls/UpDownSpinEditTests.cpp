#include <functional>
#include <optional>

#include "../ControlFixture.h"

#include "platform/ui/Colors.h"
#include "platform/ui/comctrls/SpinEdit.h"
#include "platform/ui/stdctrls/Edits.h"
#include "platform/win/controls/Controls.h"
#include "platform/win/dataxfer/TextClipboard.h"

namespace {

class TSpinEditClipboard final : public ITextClipboard {
public:
    std::optional<String> GetText() override { return text; }
    void SetText(const String& value) override { text = value; }
    std::optional<String> text;
};

void SpinEditType(const String& text) {
    for (char16_t c : text) {
        DesktopKey(VK_PACKET, true, String(1, c));
        DesktopKey(VK_PACKET, false);
    }
}

// A focused spin edit 1..72 stepping by 16 at 16, and an edit to leave it for.
class SpinEditTest : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        form = ShownForm({100, 100, 500, 400});
        other = new TEdit(form);
        other->SetBounds(10, 60, 100, other->Height());
        other->SetParent(form);
        spin = new TSpinEdit(form);
        spin->SetBounds(10, 10, 120, spin->Height());
        spin->SetMinValue(1);
        spin->SetMaxValue(72);
        spin->SetIncrement(16);
        spin->SetValue(16);
        spin->SetParent(form);
        spin->OnChange = [this](TObject*) { ++changes; };
        spin->SetFocus();
        Settle();
        changes = 0;
    }
    void Settle() { Application().ProcessMessages(); }
    void Leave() {
        other->SetFocus();
        Settle();
    }
    // A point on the up (Top) or down arrow, on the screen.
    POINT Arrow(bool up) const {
        RECT r;
        GetWindowRect(spin->UpDownHandle(), &r);
        return {(r.left + r.right) / 2, up ? r.top + 2 : r.bottom - 3};
    }
    void Button(bool up, bool down) {
        DesktopMouseButton(TDesktopButton::Left, down, Arrow(up));
        Settle();
    }

    // The colour at a client point of the spin edit, alpha left out.
    uint32_t PixelAt(int x, int y) const {
        Application().ProcessMessages();
        RunUntilIdle();
        const HWND top = GetAncestor(spin->Handle(), GA_ROOT);
        RECT window;
        GetWindowRect(top, &window);
        const TPoint p = spin->ClientToScreen({x, y});
        return WindowSurface(top)->Pixel(p.X - window.left, p.Y - window.top) & 0xFFFFFF;
    }
    static uint32_t Rgb(TColor color) { return PixelOf(ColorToRGB(color)) & 0xFFFFFF; }
    // How many pixels of the columns Left..Right of the client area have Colour.
    int CountIn(int left, int right, uint32_t colour) const {
        int count = 0;
        for (int y = 0; y < spin->ClientHeight(); ++y)
            for (int x = left; x < right; ++x) count += PixelAt(x, y) == colour;
        return count;
    }

    TForm* form = nullptr;
    TEdit* other = nullptr;
    TSpinEdit* spin = nullptr;
    int changes = 0;
};

TEST_F(SpinEditTest, KeysAndLeavingKeepTheValueWithinTheBounds) {
    struct TCase {
        const char* name;
        int min, max;
        std::function<void()> act;
        int value;          // before leaving
        const char16_t* text; // after leaving
    };
    const auto keys = [](UINT vk, int times) {
        return [=] {
            for (int i = 0; i < times; ++i) DesktopPress(vk);
        };
    };
    const auto typed = [](const char16_t* text) {
        return [=] {
            DesktopPressTyping('A', {VK_CONTROL});
            SpinEditType(text);
        };
    };
    const TCase cases[] = {
        {"up", 1, 72, keys(VK_UP, 1), 32, u"32"},
        {"five ups stop at the top", 1, 72, keys(VK_UP, 5), 72, u"72"},
        {"down stops at the bottom", 1, 72, keys(VK_DOWN, 2), 1, u"1"},
        {"a typed number above the top", 1, 72, typed(u"80"), 80, u"72"},
        {"a typed number below the bottom", 1, 72, typed(u"-3"), -3, u"1"},
        {"a text that is no number reads as the bottom", 1, 72, typed(u"-"), 1, u"1"},
        {"typing letters is refused", 1, 72, typed(u"a5b"), 5, u"5"},
        {"unbounded keeps a large number", 0, 0, typed(u"123456"), 123456, u"123456"},
        {"unbounded keeps a negative number", 0, 0, typed(u"-5000"), -5000, u"-5000"},
        {"unbounded steps past anything", 0, 0, keys(VK_DOWN, 3), -32, u"-32"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        spin->SetMinValue(c.min);
        spin->SetMaxValue(c.max);
        spin->SetValue(16);
        spin->SetFocus();
        Settle();
        c.act();
        Settle();
        EXPECT_EQ(spin->Value(), c.value);
        Leave();
        EXPECT_EQ(spin->Text(), String(c.text));
    }
}

TEST_F(SpinEditTest, TheArrowsInsideTheEditStepByTheIncrement) {
    const HWND upDown = spin->UpDownHandle();
    ASSERT_NE(upDown, nullptr);
    EXPECT_EQ(GetParent(upDown), spin->Handle());
    RECT client, arrows;
    GetClientRect(spin->Handle(), &client);
    GetWindowRect(upDown, &arrows);
    MapWindowPoints(nullptr, spin->Handle(), reinterpret_cast<POINT*>(&arrows), 2);
    EXPECT_EQ(arrows.right, client.right);
    EXPECT_EQ(arrows.top, 0);
    EXPECT_EQ(arrows.bottom, client.bottom);

    Button(true, true);
    Button(true, false);
    EXPECT_EQ(spin->Value(), 32);
    Button(false, true);
    Button(false, false);
    Button(false, true);
    Button(false, false);
    EXPECT_EQ(spin->Value(), 1);
    EXPECT_EQ(changes, 3);
}

TEST_F(SpinEditTest, PressingAnArrowTakesTheFocus) {
    Leave();
    Button(true, true);
    Button(true, false);
    EXPECT_TRUE(spin->Focused());
    EXPECT_EQ(spin->Value(), 32);
}

// The arrows stay on top when the edit repaints its text, and the text stops
// short of them.
TEST_F(SpinEditTest, TheTextStopsShortOfTheArrowsWhichStayDrawn) {
    spin->SetMinValue(0);
    spin->SetMaxValue(0);
    spin->SetWidth(80);
    DesktopPressTyping('A', {VK_CONTROL});
    SpinEditType(u"-1234567890");
    DesktopPress(VK_HOME);
    Settle();
    ASSERT_EQ(spin->Text(), String(u"-1234567890"));
    const int arrows = spin->ClientWidth() - 15;
    RECT format{};
    SendMessageW(spin->Handle(), EM_GETRECT, 0, LPARAM(&format));
    EXPECT_LE(format.right, arrows);
    const int height = spin->ClientHeight();
    EXPECT_GT(CountIn(arrows, arrows + 15, Rgb(clBtnFace)), 15 * height / 2) << "the arrows are drawn";
    EXPECT_EQ(CountIn(arrows - 2, arrows, Rgb(clWindow)), 2 * height) << "no text next to them";
    EXPECT_LT(CountIn(arrows - 6, arrows - 2, Rgb(clWindow)), 4 * height) << "the text runs up to there";
}

TEST_F(SpinEditTest, AHeldArrowRepeatsOnTheClock) {
    spin->SetMaxValue(1000);
    spin->SetIncrement(1);
    Button(true, true);
    EXPECT_EQ(spin->Value(), 17);
    Elapse(kScrollFirstDelay - 1);
    EXPECT_EQ(spin->Value(), 17);
    Elapse(1);
    EXPECT_EQ(spin->Value(), 18);
    for (int i = 0; i < 4; ++i) Elapse(kScrollRepeatDelay);
    EXPECT_EQ(spin->Value(), 22);
    Button(true, false);
    Elapse(10 * kScrollRepeatDelay);
    EXPECT_EQ(spin->Value(), 22);
}

TEST_F(SpinEditTest, WithoutTheEditorOnlyTheArrowsChangeTheText) {
    TSpinEditClipboard clipboard;
    clipboard.text = u"5";
    TTextClipboardScope scope{clipboard};
    spin->SetEditorEnabled(false);
    struct TCase {
        const char* name;
        std::function<void()> act;
    };
    const TCase cases[] = {
        {"typing", [] { SpinEditType(u"5"); }},
        {"backspace", [] { DesktopPress(VK_BACK, u"\b"); }},
        {"delete", [] { DesktopPress(VK_DELETE); }},
        {"paste", [] { DesktopPressTyping('V', {VK_CONTROL}); }},
        {"cut", [] { DesktopPressTyping('X', {VK_CONTROL}); }},
        {"paste message", [this] { SendMessageW(spin->Handle(), WM_PASTE, 0, 0); }},
        {"clear message", [this] { SendMessageW(spin->Handle(), WM_CLEAR, 0, 0); }},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        spin->SetValue(16);
        DesktopPressTyping('A', {VK_CONTROL});
        c.act();
        Settle();
        EXPECT_EQ(spin->Text(), String(u"16"));
    }
    DesktopPress(VK_UP);
    Settle();
    EXPECT_EQ(spin->Value(), 32) << "the keys still step";
}

TEST_F(SpinEditTest, AReadOnlySpinEditBeepsInsteadOfStepping) {
    spin->SetReadOnly(true);
    TakeMessageBeeps();
    DesktopPress(VK_UP);
    Button(true, true);
    Button(true, false);
    EXPECT_EQ(spin->Value(), 16);
    EXPECT_EQ(TakeMessageBeeps().size(), 2u);
}

TEST_F(SpinEditTest, ANewWindowKeepsTheValueAndGetsItsArrows) {
    DesktopPress(VK_UP);
    Settle();
    const HWND before = spin->Handle();
    spin->RecreateWnd();
    spin->HandleNeeded();
    EXPECT_NE(spin->Handle(), before);
    EXPECT_EQ(spin->Value(), 32);
    ASSERT_NE(spin->UpDownHandle(), nullptr);
    EXPECT_EQ(GetParent(spin->UpDownHandle()), spin->Handle());
    Button(true, true);
    Button(true, false);
    EXPECT_EQ(spin->Value(), 48);
}

TEST_F(SpinEditTest, ADisabledSpinEditsArrowsDoNothing) {
    spin->SetEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(spin->UpDownHandle()));
    Button(true, true);
    Button(true, false);
    EXPECT_EQ(spin->Value(), 16);
    spin->SetEnabled(true);
    EXPECT_TRUE(IsWindowEnabled(spin->UpDownHandle()));
}

} // namespace
