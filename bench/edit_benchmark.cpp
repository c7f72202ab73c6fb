// A keystroke in a memo: a character typed and taken back again with
// Backspace, each followed by the repaint, in the middle of a 10,000-line
// memo against the same in a 10-line memo (the reference). Both memos wrap
// at words and are 400x300 pixels, in the built-in test face. The last line
// is the ratio of the two, which should stay a small number.

#include <cstdio>
#include <string>

#include "BenchTiming.h"
#include "platform/win/controls/Controls.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/text/FontEngine.h"
#include "platform/win/text/Text.h"

namespace {

constexpr int kRounds = 21;
constexpr int kKeystrokes = 200;

std::u16string MemoText(int lines) {
    std::u16string text;
    for (int i = 0; i < lines; ++i) {
        if (i) text += u"\r\n";
        text += u"line " + std::u16string(1, char16_t(u'0' + i % 10)) + u" of the memo with some words 视频转换";
    }
    return text;
}

// Microseconds per keystroke in a memo of Lines lines, the caret on the middle line.
double Keystroke(HWND parent, HFONT font, int lines) {
    const std::u16string text = MemoText(lines);
    const HWND memo = CreateWindowExW(0, u"EDIT", text.c_str(), WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE, 0, 0,
                                      400, 300, parent, nullptr, nullptr, nullptr);
    SendMessageW(memo, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    SetFocus(memo);
    const LRESULT middle = SendMessageW(memo, EM_LINEINDEX, WPARAM(SendMessageW(memo, EM_GETLINECOUNT, 0, 0) / 2), 0);
    SendMessageW(memo, EM_SETSEL, WPARAM(middle + 3), middle + 3);
    SendMessageW(memo, EM_SCROLLCARET, 0, 0);
    UpdateWindow(memo);
    const double seconds = TTiming(kRounds).Repeat(kKeystrokes).MedianSeconds([&] {
        SendMessageW(memo, WM_CHAR, u'x', 0);
        UpdateWindow(memo);
        SendMessageW(memo, WM_CHAR, u'\b', 0);
        UpdateWindow(memo);
    });
    DestroyWindow(memo);
    return 1e6 * seconds / 2;
}

} // namespace

int main() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &DefWindowProcW;
    wc.lpszClassName = u"EditBench";
    RegisterClassW(&wc);
    const HWND parent = CreateWindowExW(0, u"EditBench", u"", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 400, 300,
                                        nullptr, nullptr, nullptr, nullptr);
    LOGFONTW lf{};
    lf.lfHeight = 16;
    std::u16string_view face(kTestFaceName);
    std::copy(face.begin(), face.end(), lf.lfFaceName);
    const HFONT font = CreateFontIndirectW(&lf);

    const double small = Keystroke(parent, font, 10);
    const double large = Keystroke(parent, font, 10'000);
    std::printf("%-40s %10.2f us\n", "keystroke, 10-line memo", small);
    std::printf("%-40s %10.2f us\n", "keystroke, 10,000-line memo", large);
    std::printf("ratio 10,000 lines / 10 lines: %.2f\n", large / small);
    DestroyWindow(parent);
    DeleteObject(ToGdiObject(font));
    return 0;
}
