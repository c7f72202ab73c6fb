// Layout, scrolling, caret and painting of an edit.
#include "platform/win/controls/ControlWindow.h"
#include "platform/win/controls/Controls.h"
#include "platform/win/controls/EditPositions.h"
#include "platform/win/controls/EditWindow.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/text/Text.h"

namespace {

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

// One password character per character of Text.
std::u16string Masked(std::u16string_view text, char16_t mask) {
    std::u16string shown;
    for (int i = 0; i < int(text.size()); i = NextPosition(text, i)) shown.push_back(mask);
    return shown;
}

int TextWidth(HDC dc, std::u16string_view text) {
    SIZE size{};
    GetTextExtentPoint32W(dc, text.data(), int(text.size()), &size);
    return size.cx;
}

} // namespace

void TEditWindow::SetFont(HFONT font, bool redraw) {
    font_ = font;
    SelectObject(measureDc_, font ? ToGdiObject(font) : GetStockObject(SYSTEM_FONT));
    TEXTMETRICW metrics{};
    GetTextMetricsW(measureDc_, &metrics);
    lineHeight_ = std::max(int(metrics.tmHeight), 1);
    averageWidth_ = std::max(int(metrics.tmAveCharWidth), 1);
    if (focused_) {
        CreateCaret(hwnd_, nullptr, 1, lineHeight_);
        ShowCaret(hwnd_);
    }
    ResetFormatRect();
    if (redraw) InvalidateRect(hwnd_, nullptr, TRUE);
}

void TEditWindow::ResetFormatRect() {
    RECT client;
    GetClientRect(hwnd_, &client);
    client.left += leftMargin_;
    client.right = std::max(client.left, client.right - rightMargin_);
    if (!IsMultiLine()) {
        // The one line sits in the middle of the client area, as high as the font.
        client.top += std::max(Height(client) - lineHeight_, 0) / 2;
        client.bottom = std::min<LONG>(client.bottom, client.top + lineHeight_);
    }
    SetFormatRect(client, false);
}

void TEditWindow::SetFormatRect(const RECT& rect, bool redraw) {
    formatRect_ = rect;
    formatRect_.right = std::max(formatRect_.left, formatRect_.right);
    formatRect_.bottom = std::max(formatRect_.top, formatRect_.bottom);
    Relayout();
    if (redraw) InvalidateRect(hwnd_, nullptr, TRUE);
}

void TEditWindow::Relayout() {
    const TEditWrap wrap = !IsMultiLine() ? TEditWrap::None : WrapsWords() ? TEditWrap::Words : TEditWrap::Lines;
    layout_.Reset(text_, wrap, Width(formatRect_), [this](auto t, auto& x) { Measure(t, x); });
    ScrollTo(topLine_, xOffset_);
    ScrollCaretIntoView();
    UpdateScrollBars();
    PlaceCaret();
}

void TEditWindow::Measure(std::u16string_view text, std::vector<int>& x) {
    x.assign(text.size() + 1, 0);
    if (text.empty()) return;
    if (IsPassword()) {
        const int mask = TextWidth(measureDc_, std::u16string_view(&passwordChar_, 1));
        int at = 0;
        for (int i = 0; i < int(text.size());) {
            const int next = NextPosition(text, i);
            at += mask;
            for (int k = i + 1; k <= next; ++k) x[size_t(k)] = at;
            i = next;
        }
        return;
    }
    GetTextExtentExPointW(measureDc_, text.data(), int(text.size()), 0, nullptr, x.data() + 1, nullptr);
}

void TEditWindow::LineOffsets(int line, std::vector<int>& x) {
    const TEditLine& l = layout_[line];
    Measure(std::u16string_view(text_.data() + l.start, size_t(l.length)), x);
}

int TEditWindow::LineLeft(int line) const {
    const int room = Width(formatRect_) - layout_[line].width - 1;
    int shift = 0;
    if (Style() & ES_CENTER)
        shift = std::max(room / 2, 0);
    else if (Style() & ES_RIGHT)
        shift = std::max(room, 0);
    return formatRect_.left - xOffset_ + shift;
}

int TEditWindow::LineTop(int line) const { return formatRect_.top + (line - topLine_) * lineHeight_; }

int TEditWindow::VisibleLines() const { return std::max(Height(formatRect_) / lineHeight_, 1); }

POINT TEditWindow::PosFromChar(int pos) {
    const int line = layout_.LineOf(pos);
    LineOffsets(line, x_);
    const int offset = std::clamp(pos - layout_[line].start, 0, layout_[line].length);
    return POINT{LineLeft(line) + x_[size_t(offset)], LineTop(line)};
}

int TEditWindow::CharFromPos(POINT pt) {
    const int row = pt.y < formatRect_.top ? -1 : (pt.y - formatRect_.top) / lineHeight_;
    return CharInLine(std::clamp(topLine_ + row, 0, layout_.Count() - 1), pt.x);
}

int TEditWindow::CharInLine(int line, int x) {
    const TEditLine& l = layout_[line];
    LineOffsets(line, x_);
    const std::u16string_view text(text_.data() + l.start, size_t(l.length));
    const int at = x - LineLeft(line);
    int offset = 0;
    while (offset < l.length) {
        const int next = NextPosition(text, offset);
        if (at < (x_[size_t(offset)] + x_[size_t(next)]) / 2) break;
        offset = next;
    }
    return l.start + offset;
}

void TEditWindow::InvalidateLines(int first, int last) {
    first = std::max(first, topLine_);
    last = std::min(last, topLine_ + VisibleLines());
    if (first > last) return;
    const RECT rect{formatRect_.left, LineTop(first), formatRect_.right,
                    std::min(LineTop(last + 1), int(formatRect_.bottom))};
    InvalidateRect(hwnd_, &rect, FALSE);
}

void TEditWindow::InvalidateRange(int start, int end) {
    if (start != end) InvalidateLines(layout_.LineOf(start), layout_.LineOf(end));
}

void TEditWindow::ScrollCaretIntoView() {
    const int line = layout_.LineOf(caret_);
    int top = topLine_;
    if (IsMultiLine()) {
        if (line < top)
            top = line;
        else if (line >= top + VisibleLines())
            top = line - VisibleLines() + 1;
    }
    int x = xOffset_;
    const int room = Width(formatRect_);
    if (WrapsWords() || (layout_[line].width < room && !IsMultiLine())) {
        x = 0;
    } else {
        LineOffsets(line, x_);
        const int caretX = LineLeft(line) + xOffset_ - formatRect_.left + x_[size_t(caret_ - layout_[line].start)] +
                           TextWidth(measureDc_, preedit_);
        if (caretX < x)
            x = std::max(caretX - room / 3, 0);
        else if (caretX >= x + room)
            x = caretX - room + room / 3;
    }
    ScrollTo(top, x);
}

void TEditWindow::ScrollTo(int topLine, int xOffset) {
    topLine = IsMultiLine() ? std::clamp(topLine, 0, std::max(layout_.Count() - VisibleLines(), 0)) : 0;
    xOffset = std::max(xOffset, 0);
    if (topLine == topLine_ && xOffset == xOffset_) return;
    topLine_ = topLine;
    xOffset_ = xOffset;
    InvalidateRect(hwnd_, &formatRect_, FALSE);
    UpdateScrollBars();
    PlaceCaret();
}

void TEditWindow::UpdateScrollBars() {
    if (updatingBars_) return;
    updatingBars_ = true;
    const DWORD style = Style();
    for (const int bar : {SB_HORZ, SB_VERT}) {
        if (!(style & (bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL))) continue;
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
        if (bar == SB_VERT) {
            info.nMax = layout_.Count() - 1;
            info.nPage = UINT(VisibleLines());
            info.nPos = topLine_;
        } else {
            info.nMax = layout_.MaxWidth();
            info.nPage = UINT(Width(formatRect_));
            info.nPos = xOffset_;
        }
        SCROLLINFO& shown = shownBars_[bar == SB_VERT];
        if (shown.nMax == info.nMax && shown.nPage == info.nPage && shown.nPos == info.nPos && shown.cbSize) continue;
        shown = info;
        SetScrollInfo(hwnd_, bar, &info, TRUE);
    }
    updatingBars_ = false;
}

void TEditWindow::OnScroll(int bar, WORD request) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(hwnd_, bar, &info);
    const bool vertical = bar == SB_VERT;
    const int line = vertical ? 1 : averageWidth_;
    const int page = vertical ? VisibleLines() : Width(formatRect_);
    int pos = vertical ? topLine_ : xOffset_;
    switch (request) {
    case SB_LINEUP: pos -= line; break;
    case SB_LINEDOWN: pos += line; break;
    case SB_PAGEUP: pos -= page; break;
    case SB_PAGEDOWN: pos += page; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: pos = info.nTrackPos; break;
    case SB_TOP: pos = 0; break;
    case SB_BOTTOM: pos = info.nMax; break;
    default: return;
    }
    if (vertical)
        ScrollTo(pos, xOffset_);
    else
        ScrollTo(topLine_, std::min(pos, std::max(layout_.MaxWidth() - page + 1, 0)));
}

void TEditWindow::PlaceCaret() {
    if (!focused_) return;
    POINT pt = PosFromChar(caret_);
    if (!preedit_.IsEmpty()) pt.x += TextWidth(measureDc_, std::u16string_view(preedit_).substr(0, size_t(preeditCursor_)));
    SetCaretPos(pt.x, pt.y);
    if (const HIMC context = ImmGetContext(hwnd_)) {
        COMPOSITIONFORM form{};
        form.dwStyle = CFS_POINT;
        form.ptCurrentPos = pt;
        ImmSetCompositionWindow(context, &form);
        ImmReleaseContext(hwnd_, context);
    }
}

void TEditWindow::FocusChanged(bool focused) {
    focused_ = focused;
    if (!(Style() & ES_NOHIDESEL)) InvalidateRange(SelStart(), SelEnd());
    if (focused) {
        CreateCaret(hwnd_, nullptr, 1, lineHeight_);
        PlaceCaret();
        ShowCaret(hwnd_);
        NotifyParent(hwnd_, EN_SETFOCUS);
    } else {
        if (tracking_) ReleaseCapture();
        EndComposition();
        DestroyCaret();
        NotifyParent(hwnd_, EN_KILLFOCUS);
    }
}

UINT TEditWindow::ColorMessage() const {
    return IsReadOnly() || !IsWindowEnabled(hwnd_) ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT;
}

void TEditWindow::Paint(HDC dc, const RECT& area) {
    const HBRUSH brush = ControlColorBrush(hwnd_, dc, ColorMessage());
    const COLORREF text = IsWindowEnabled(hwnd_) ? GetTextColor(dc) : GetSysColor(COLOR_GRAYTEXT);
    FillRect(dc, &area, brush);
    const int saved = SaveDC(dc);
    SelectObject(dc, font_ ? ToGdiObject(font_) : GetStockObject(SYSTEM_FONT));
    IntersectClipRect(dc, formatRect_.left, formatRect_.top, formatRect_.right, formatRect_.bottom);
    SetBkMode(dc, TRANSPARENT);
    const int first = std::max(topLine_ + (int(area.top) - formatRect_.top) / lineHeight_, topLine_);
    const int last = std::min(topLine_ + (int(area.bottom) - formatRect_.top + lineHeight_ - 1) / lineHeight_,
                              layout_.Count() - 1);
    for (int line = first; line <= last; ++line) PaintLine(dc, line, text);
    RestoreDC(dc, saved);
}

// A line in runs: plain or selected text, and the input method's preedit
// (underlined) at the caret.
void TEditWindow::PaintLine(HDC dc, int line, COLORREF textColor) {
    const TEditLine& l = layout_[line];
    const std::u16string_view text(text_.data() + l.start, size_t(l.length));
    LineOffsets(line, x_);
    const int left = LineLeft(line), top = LineTop(line);
    const bool showSelection = HasSelection() && (focused_ || (Style() & ES_NOHIDESEL));
    const int selStart = showSelection ? std::clamp(SelStart() - l.start, 0, l.length) : 0;
    const int selEnd = showSelection ? std::clamp(SelEnd() - l.start, 0, l.length) : 0;
    const bool preeditHere = !preedit_.IsEmpty() && layout_.LineOf(caret_) == line;
    const int preeditAt = preeditHere ? caret_ - l.start : l.length;
    const int preeditWidth = preeditHere ? TextWidth(dc, preedit_) : 0;

    auto run = [&](int x, std::u16string_view shown, int width, bool selected) {
        if (shown.empty()) return;
        if (selected) {
            const RECT r{x, top, x + width, top + lineHeight_};
            FillRect(dc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
        }
        SetTextColor(dc, selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : textColor);
        ExtTextOutW(dc, x, top, 0, nullptr, shown.data(), UINT(shown.size()), nullptr);
    };
    auto source = [&](int from, int to, bool selected) {
        if (from >= to) return;
        const int shift = from >= preeditAt ? preeditWidth : 0;
        const std::u16string_view part = text.substr(size_t(from), size_t(to - from));
        const std::u16string shown = IsPassword() ? Masked(part, passwordChar_) : std::u16string(part);
        run(left + x_[size_t(from)] + shift, shown, x_[size_t(to)] - x_[size_t(from)], selected);
    };
    // Cut the line where the selection and the preedit begin and end.
    int cuts[] = {0, selStart, selEnd, preeditAt, l.length};
    std::sort(std::begin(cuts), std::end(cuts));
    for (size_t i = 0; i + 1 < std::size(cuts); ++i)
        source(cuts[i], cuts[i + 1], cuts[i] >= selStart && cuts[i + 1] <= selEnd && selStart < selEnd);
    if (preeditHere) {
        const int x = left + x_[size_t(preeditAt)];
        run(x, preedit_, preeditWidth, false);
        const HBRUSH underline = CreateSolidBrush(textColor);
        const RECT r{x, top + lineHeight_ - 1, x + preeditWidth, top + lineHeight_};
        FillRect(dc, &r, underline);
        DeleteObject(ToGdiObject(underline));
    }
}
