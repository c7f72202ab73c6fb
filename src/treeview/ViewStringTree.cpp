#include "treeview/ViewStringTree.h"

#include <cstring>

#include "platform/rtl/Exceptions.h"
#include "platform/ui/Canvas.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/text/Text.h"
#include "treeview/TreeText.h"

RTL_PUBLISHED_NONE(TCustomViewStringTree);
RTL_PUBLISHED_NONE(TViewStringTree);

UI_MESSAGE_MAP(TCustomViewStringTree, t) { t.On<&TCustomViewStringTree::WMSetFont>(WM_SETFONT); }

namespace {
// Bytes of internal data each node of a string tree reserves.
constexpr uint32_t kStringTreeInternalData = 4;
constexpr char16_t kStringTreeEllipsis[] = u"...";

// The bounds DrawTextW computes (DT_CALCRECT in Format) for Text broken into lines as wide as R.
TRect WrappedTextRect(TCanvas* canvas, const String& text, TRect r, UINT format) {
    canvas->TextRect(r, const_cast<String&>(text), format & ~DT_MODIFYSTRING);
    return r;
}
} // namespace

TCustomViewStringTree::TCustomViewStringTree(TComponent* owner)
    : TBaseViewTree(owner), internalDataOffset_(ReserveInternalData(kStringTreeInternalData)) {
    // The options object of a string tree is made again with the string options.
    ReplaceOptions(CreateOptions());
}

std::unique_ptr<TCustomViewTreeOptions> TCustomViewStringTree::CreateOptions() {
    return std::make_unique<TCustomStringTreeOptions>(this);
}

std::unique_ptr<TCustomViewTreeOptions> TViewStringTree::CreateOptions() {
    return std::make_unique<TStringTreeOptions>(this);
}

void TCustomViewStringTree::SetDefaultText(const String& value) {
    if (value == defaultText_) return;
    defaultText_ = value;
    if (!ComponentState().Contains(csLoading) && HandleAllocated()) Invalidate();
}

String TCustomViewStringTree::Text(PViewNode node, TColumnIndex column) {
    RTL_ASSERT(node, "Node must not be nil.");
    if (!node->states.Contains(nsInitialized)) InitializeNode(node);
    String text = defaultText_;
    if (OnGetText) OnGetText(this, node, column, ttNormal, text);
    return text;
}

String TCustomViewStringTree::StaticText(PViewNode node, TColumnIndex column) {
    String text;
    if (OnGetText) OnGetText(this, node, column, ttStatic, text);
    return text;
}

void TCustomViewStringTree::NewText(PViewNode node, TColumnIndex column, const String& text) {
    if (OnNewText) OnNewText(this, node, column, text);
    if (UpdateCount() == 0) SyncScrollBars(false);
    InvalidateRow(node);
}

// ---- widths ----

int TCustomViewStringTree::CachedTextWidth(PViewNode node) const noexcept {
    int32_t width;
    std::memcpy(&width, reinterpret_cast<const std::byte*>(node) + internalDataOffset_, sizeof width);
    return width;
}

void TCustomViewStringTree::SetCachedTextWidth(PViewNode node, int width) noexcept {
    const int32_t value = width;
    std::memcpy(reinterpret_cast<std::byte*>(node) + internalDataOffset_, &value, sizeof value);
}

void TCustomViewStringTree::ResetAllTextWidths() {
    // Every record below the root, depth first through the links.
    for (PViewNode run = RootNode()->firstChild; run;) {
        SetCachedTextWidth(run, 0);
        if (run->firstChild) {
            run = run->firstChild;
            continue;
        }
        while (run && !run->nextSibling) {
            run = run->parent;
            if (run == RootNode()) run = nullptr;
        }
        if (run) run = run->nextSibling;
    }
}

void TCustomViewStringTree::MeasureFont() {
    const HDC dc = CreateCompatibleDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, ToGdiObject(Font()->Handle()));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SIZE ellipsis{};
    GetTextExtentPoint32W(dc, kStringTreeEllipsis, 3, &ellipsis);
    SelectObject(dc, old);
    DeleteDC(dc);
    textHeight_ = metrics.tmHeight;
    ellipsisWidth_ = ellipsis.cx;
    fontMeasured_ = true;
}

int TCustomViewStringTree::TextHeight() {
    if (!fontMeasured_) MeasureFont();
    return textHeight_;
}

int TCustomViewStringTree::EllipsisWidth() {
    if (!fontMeasured_) MeasureFont();
    return ellipsisWidth_;
}

void TCustomViewStringTree::WMSetFont(TMessage& message) {
    InheritedMessage(message);
    MeasureFont();
    ResetAllTextWidths();
}

int TCustomViewStringTree::NodeWidth(PViewNode node, TColumnIndex column) {
    if (!node || node == RootNode()) return 0;
    if (!IsMainPaintColumn(column)) return TextWidth(Canvas(), node, Text(node, column), column);
    int width = CachedTextWidth(node);
    if (width == 0) {
        width = TextWidth(Canvas(), node, Text(node, column), column);
        SetCachedTextWidth(node, width);
    }
    return width;
}

int TCustomViewStringTree::TextWidth(TCanvas* canvas, PViewNode node, const String& text, TColumnIndex column) {
    int width = 2 * TextMargin();
    if (text.IsEmpty()) return width;
    // A tree without a window measures in a memory DC of its own.
    const bool ownDc = !canvas->HandleAllocated() && !HandleAllocated();
    HDC memoryDc = nullptr;
    if (ownDc) {
        memoryDc = CreateCompatibleDC(nullptr);
        canvas->SetHandle(memoryDc);
    }
    canvas->SetFont(Font());
    if (OnPaintText) OnPaintText(this, canvas, node, column, ttNormal);
    width += TextMeasuring(canvas, node, text, column);
    if (ownDc) {
        canvas->SetHandle(nullptr);
        DeleteDC(memoryDc);
    }
    return width;
}

int TCustomViewStringTree::TextMeasuring(TCanvas* canvas, PViewNode node, const String& text, TColumnIndex column) {
    int extent = canvas->TextWidth(text);
    if (node->states.Contains(nsMultiline)) {
        UINT format = DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL | DT_END_ELLIPSIS;
        format |= Alignment() == TAlignment::taRightJustify ? DT_RIGHT
                  : Alignment() == TAlignment::taCenter     ? DT_CENTER
                                                            : DT_LEFT;
        if (BiDiMode() != bdLeftToRight) format |= DT_RTLREADING;
        extent = WrappedTextRect(canvas, text, TRect{0, 0, extent, 0}, format).Width();
    }
    if (OnMeasureTextWidth) OnMeasureTextWidth(this, canvas, node, column, text, extent);
    return extent;
}

int TCustomViewStringTree::NodeTextHeight(TCanvas* canvas, PViewNode node, TColumnIndex column, const String& text) {
    const String s = text.IsEmpty() ? Text(node, column) : text;
    int left = Margin() + TextMargin();
    if (IsMainPaintColumn(column)) left += int(Indent()) * int(NodeLevel(node) + (TreeOptions()->PaintOptions().Contains(toShowRoot) ? 1 : 0));
    UINT format = DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX;
    if (BiDiMode() != bdLeftToRight) format |= DT_RIGHT | DT_RTLREADING;
    canvas->SetFont(Font());
    TRect r{left, 0, ClientWidth() - TextMargin(), 0};
    return WrappedTextRect(canvas, s, r, format).Height();
}

String TCustomViewStringTree::ShortenText(TCanvas* canvas, PViewNode node, TColumnIndex column, const String& s,
                                          int width) {
    String result;
    bool done = false;
    if (OnShortenString) OnShortenString(this, canvas, node, column, s, width, result, done);
    if (done) return result;
    return TruncateWithEllipsis(canvas->Handle(), s, width, EllipsisWidth());
}

void TCustomViewStringTree::InvalidateRow(PViewNode node) {
    if (node && node != RootNode()) SetCachedTextWidth(node, 0);
    TBaseViewTree::InvalidateRow(node);
}

void TCustomViewStringTree::ReinitializeNode(PViewNode node, bool recursive) {
    if (node && node != RootNode()) SetCachedTextWidth(node, 0);
    TBaseViewTree::ReinitializeNode(node, recursive);
}

bool TCustomViewStringTree::CellIsEmpty(PViewNode node, TColumnIndex column) {
    return Text(node, column).IsEmpty() || TBaseViewTree::CellIsEmpty(node, column);
}

// ---- search and hints ----

int TCustomViewStringTree::DoIncrementalSearch(PViewNode node, const String& searchText) {
    if (OnIncrementalSearch) return TBaseViewTree::DoIncrementalSearch(node, searchText);
    return Pos(searchText, Text(node, FocusedColumn())) == 1 ? 0 : 1;
}

String TCustomViewStringTree::NodeHintText(PViewNode node, TColumnIndex column,
                                           TVTTooltipLineBreakStyle& lineBreakStyle) {
    String hint = Hint();
    if (OnGetHint) OnGetHint(this, node, column, lineBreakStyle, hint);
    return hint;
}

String TCustomViewStringTree::NodeTooltipText(PViewNode node, TColumnIndex column,
                                              TVTTooltipLineBreakStyle& lineBreakStyle) {
    if (!OnGetHint) return Text(node, column);
    return NodeHintText(node, column, lineBreakStyle);
}
