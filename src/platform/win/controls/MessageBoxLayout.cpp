#include "platform/win/controls/MessageBoxLayout.h"

#include <algorithm>

#include "platform/rtl/Conversions.h"
#include "platform/win/controls/ControlTexts.h"
#include "platform/win/icons/Icons.h"
#include "platform/win/text/Text.h"

namespace {

constexpr TMessageBoxButton kOk[] = {{IDOK, &SMsgDlgOK}};
constexpr TMessageBoxButton kOkCancel[] = {{IDOK, &SMsgDlgOK}, {IDCANCEL, &SMsgDlgCancel}};
constexpr TMessageBoxButton kAbortRetryIgnore[] = {
    {IDABORT, &SMsgDlgAbort}, {IDRETRY, &SMsgDlgRetry}, {IDIGNORE, &SMsgDlgIgnore}};
constexpr TMessageBoxButton kYesNoCancel[] = {{IDYES, &SMsgDlgYes}, {IDNO, &SMsgDlgNo}, {IDCANCEL, &SMsgDlgCancel}};
constexpr TMessageBoxButton kYesNo[] = {{IDYES, &SMsgDlgYes}, {IDNO, &SMsgDlgNo}};
constexpr TMessageBoxButton kRetryCancel[] = {{IDRETRY, &SMsgDlgRetry}, {IDCANCEL, &SMsgDlgCancel}};

// Dialog units: a quarter of the average character width, an eighth of the height.
struct TDialogUnits {
    int x, y;
    int Horizontal(int units) const { return MulDiv(units, x, 4); }
    int Vertical(int units) const { return MulDiv(units, y, 8); }
};

SIZE TextSize(HDC dc, const String& text, UINT format, int width) {
    RECT r{0, 0, width, 0};
    DrawTextW(dc, text.c_str(), int(text.size()), &r, format | DT_CALCRECT);
    return {r.right, r.bottom};
}

} // namespace

std::span<const TMessageBoxButton> MessageBoxButtons(UINT type) {
    switch (type & MB_TYPEMASK) {
    case MB_OK: return kOk;
    case MB_OKCANCEL: return kOkCancel;
    case MB_ABORTRETRYIGNORE: return kAbortRetryIgnore;
    case MB_YESNOCANCEL: return kYesNoCancel;
    case MB_YESNO: return kYesNo;
    case MB_RETRYCANCEL: return kRetryCancel;
    }
    return {};
}

int MessageBoxCloseAnswer(std::span<const TMessageBoxButton> buttons) {
    for (const TMessageBoxButton& b : buttons)
        if (b.id == IDCANCEL) return IDCANCEL;
    return buttons.size() == 1 && buttons[0].id == IDOK ? IDOK : 0;
}

LPCWSTR MessageBoxIconName(UINT type) {
    switch (type & MB_ICONMASK) {
    case MB_ICONHAND: return IDI_HAND;
    case MB_ICONQUESTION: return IDI_QUESTION;
    case MB_ICONEXCLAMATION: return IDI_EXCLAMATION;
    case MB_ICONASTERISK: return IDI_ASTERISK;
    }
    return nullptr;
}

TMessageBoxLayout LayOutMessageBox(HDC dc, const String& text, SIZE icon, std::span<const String> captions,
                                   int maxTextWidth) {
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    const TDialogUnits du{std::max(1, int(tm.tmAveCharWidth)), std::max(1, int(tm.tmHeight))};
    const int marginX = du.Horizontal(7), marginY = du.Vertical(7);

    TMessageBoxLayout layout;
    const SIZE textSize = TextSize(dc, text, DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX, maxTextWidth);
    const int iconGap = icon.cx > 0 ? du.Horizontal(7) : 0;
    const int contentHeight = std::max(icon.cy, textSize.cy);
    if (icon.cx > 0) layout.icon = {marginX, marginY, marginX + icon.cx, marginY + icon.cy};
    const int textLeft = marginX + icon.cx + iconGap;
    const int textTop = marginY + (contentHeight - textSize.cy) / 2;
    layout.text = {textLeft, textTop, textLeft + textSize.cx, textTop + textSize.cy};

    int buttonWidth = du.Horizontal(50);
    for (const String& caption : captions)
        buttonWidth = std::max(buttonWidth, int(TextSize(dc, caption, DT_SINGLELINE, 0).cx) + du.Horizontal(12));
    const int buttonHeight = du.Vertical(14), spacing = du.Horizontal(4);
    const int count = int(captions.size());
    const int rowWidth = count * buttonWidth + std::max(0, count - 1) * spacing;

    const int contentWidth = icon.cx + iconGap + textSize.cx;
    layout.client.cx = std::max(contentWidth, rowWidth) + 2 * marginX;
    const int rowTop = marginY + contentHeight + du.Vertical(7);
    layout.client.cy = rowTop + buttonHeight + marginY;
    int x = (layout.client.cx - rowWidth) / 2;
    for (int i = 0; i < count; ++i, x += buttonWidth + spacing)
        layout.buttons.push_back({x, rowTop, x + buttonWidth, rowTop + buttonHeight});
    return layout;
}
