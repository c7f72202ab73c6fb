#include "platform/ui/stdctrls/BitBtn.h"

#include "platform/ui/stdctrls/BitBtnGlyphs.h"
#include "platform/win/controls/ButtonPaint.h"
#include "platform/win/controls/ControlTexts.h"
#include "platform/win/controls/Controls.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/text/Text.h"

RTL_PUBLISHED(TBitBtn, c) {
    c.Property("Kind", &TBitBtn::Kind, &TBitBtn::SetKind).Default(bkCustom);
    c.Property("Glyph", &TBitBtn::Glyph, &TBitBtn::SetGlyph).Stored(&TBitBtn::IsCustom);
    c.Property("NumGlyphs", &TBitBtn::NumGlyphs, &TBitBtn::SetNumGlyphs).Default(1);
    c.Property("Layout", &TBitBtn::Layout, &TBitBtn::SetLayout).Default(blGlyphLeft);
    c.Property("Margin", &TBitBtn::Margin, &TBitBtn::SetMargin).Default(-1);
    c.Property("Spacing", &TBitBtn::Spacing, &TBitBtn::SetSpacing).Default(4);
}

UI_MESSAGE_MAP(TBitBtn, t) {
    t.On<&TBitBtn::CNDrawItem>(CN_DRAWITEM);
    t.On<&TBitBtn::CMFontChanged>(CM_FONTCHANGED);
}

namespace {

// What a kind gives its button.
struct TKindValues {
    const TResStringRec* caption;
    TModalResult modalResult;
    bool isDefault;
    bool isCancel;
};

TKindValues ValuesOf(TBitBtnKind kind) {
    switch (kind) {
    case bkOK: return {&SMsgDlgOK, mrOk, true, false};
    case bkCancel: return {&SMsgDlgCancel, mrCancel, false, true};
    case bkHelp: return {&SBitBtnHelp, mrNone, false, false};
    case bkYes: return {&SMsgDlgYes, mrYes, true, false};
    case bkNo: return {&SMsgDlgNo, mrNo, false, true};
    case bkClose: return {&SBitBtnClose, mrNone, false, false};
    case bkAbort: return {&SMsgDlgAbort, mrAbort, false, true};
    case bkRetry: return {&SMsgDlgRetry, mrRetry, false, false};
    case bkIgnore: return {&SMsgDlgIgnore, mrIgnore, false, false};
    case bkAll: return {&SBitBtnAll, mrAll, true, false};
    case bkCustom: break;
    }
    return {nullptr, mrNone, false, false};
}

// Places Size along one axis: the start of the glyph and of the text.
struct TAxis {
    int glyphStart, textStart;
};

TAxis PlaceAlong(int extent, int glyph, int text, int margin, int spacing, bool glyphFirst) {
    if (glyph == 0 || text == 0) spacing = 0;
    if (margin == -1) {
        if (spacing == -1) {
            margin = (extent - glyph - text) / 3;
            spacing = margin;
        } else {
            margin = (extent - glyph - spacing - text + 1) / 2;
        }
    } else if (spacing == -1) {
        spacing = (extent - margin - glyph - text) / 2;
    }
    if (glyphFirst) return {margin, margin + glyph + spacing};
    const int glyphStart = extent - margin - glyph;
    return {glyphStart, glyphStart - spacing - text};
}

} // namespace

TGlyphLayout CalcButtonLayout(const TRect& client, TSize glyph, TSize text, TButtonLayout layout, int margin,
                              int spacing) {
    const int width = client.Width(), height = client.Height();
    TPoint glyphPos, textPos;
    if (layout == blGlyphLeft || layout == blGlyphRight) {
        const TAxis x = PlaceAlong(width, glyph.cx, text.cx, margin, spacing, layout == blGlyphLeft);
        glyphPos = {x.glyphStart, (height - glyph.cy + 1) / 2};
        textPos = {x.textStart, (height - text.cy + 1) / 2};
    } else {
        const TAxis y = PlaceAlong(height, glyph.cy, text.cy, margin, spacing, layout == blGlyphTop);
        glyphPos = {(width - glyph.cx + 1) / 2, y.glyphStart};
        textPos = {(width - text.cx + 1) / 2, y.textStart};
    }
    const TPoint origin{client.Left, client.Top};
    return {{origin.X + glyphPos.X, origin.Y + glyphPos.Y},
            {origin.X + textPos.X, origin.Y + textPos.Y, origin.X + textPos.X + text.cx,
             origin.Y + textPos.Y + text.cy}};
}

TBitBtn::TBitBtn(TComponent* owner) : TButton(owner), glyph_(std::make_unique<TBitmap>()) {
    glyph_->OnChange = [this](TObject*) { Invalidate(); };
}

TBitBtn::~TBitBtn() = default;

void TBitBtn::Click() {
    TCustomForm* form = GetParentForm(this);
    if (kind_ == bkClose && form && ModalResult() == mrNone) {
        form->Close();
        TControl::Click();
        return;
    }
    TButton::Click();
}

void TBitBtn::SetKind(TBitBtnKind value) {
    if (kind_ == value) return;
    kind_ = value;
    if (value == bkCustom) return;
    const TKindValues values = ValuesOf(value);
    applyingKind_ = true;
    SetCaption(LoadResString(*values.caption));
    SetModalResult(values.modalResult);
    SetDefault(values.isDefault);
    SetCancel(values.isCancel);
    MakeKindGlyph(value, *glyph_);
    numGlyphs_ = 1;
    applyingKind_ = false;
    Invalidate();
}

void TBitBtn::SetGlyph(TBitmap* value) {
    glyph_->Assign(value);
    if (!applyingKind_) kind_ = bkCustom;
}

void TBitBtn::SetNumGlyphs(int value) {
    if (value < 1 || value > 4 || value == numGlyphs_) return;
    numGlyphs_ = value;
    Invalidate();
}

void TBitBtn::SetLayout(TButtonLayout value) {
    if (layout_ == value) return;
    layout_ = value;
    Invalidate();
}

void TBitBtn::SetMargin(int value) {
    if (margin_ == value || value < -1) return;
    margin_ = value;
    Invalidate();
}

void TBitBtn::SetSpacing(int value) {
    if (spacing_ == value) return;
    spacing_ = value;
    Invalidate();
}

void TBitBtn::CreateParams(TCreateParams& params) {
    TButton::CreateParams(params);
    params.Style = (params.Style & ~BS_TYPEMASK) | BS_OWNERDRAW;
}

void TBitBtn::CMFontChanged(TMessage& m) {
    InheritedMessage(m);
    Invalidate();
}

void TBitBtn::CNDrawItem(TMessage& m) {
    Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam));
    m.Result = TRUE;
}

void TBitBtn::DrawGlyph(HDC dc, TPoint pos, TButtonState state) {
    const int width = glyph_->Width() / numGlyphs_, height = glyph_->Height();
    const int wanted = int(state);
    const bool made = state == bsDisabled && numGlyphs_ < 2;
    const int index = wanted < numGlyphs_ ? wanted : 0;
    HDC source = glyph_->Canvas()->Handle();
    HBITMAP mask = glyph_->MaskHandle();
    if (!made) {
        MaskBlt(dc, pos.X, pos.Y, width, height, source, index * width, 0, mask, index * width, 0,
                MAKEROP4(0x00AA0029, SRCCOPY));
        return;
    }
    // The disabled look made from the up image: its shape embossed in the shadow colour.
    HDC maskDc = CreateCompatibleDC(dc);
    HGDIOBJ oldMask = SelectObject(maskDc, ToGdiObject(mask));
    HDC shapeDc = CreateCompatibleDC(dc);
    HBITMAP shape = CreateBitmap(width, height, 1, 1, nullptr);
    HGDIOBJ oldShape = SelectObject(shapeDc, ToGdiObject(shape));
    BitBlt(shapeDc, 0, 0, width, height, maskDc, 0, 0, NOTSRCCOPY);
    const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    const COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
    constexpr DWORD kBrushWhereSourceIsSet = 0xE20746;
    HGDIOBJ oldBrush = SelectObject(dc, ToGdiObject(GetSysColorBrush(COLOR_BTNHIGHLIGHT)));
    BitBlt(dc, pos.X + 1, pos.Y + 1, width, height, shapeDc, 0, 0, kBrushWhereSourceIsSet);
    SelectObject(dc, ToGdiObject(GetSysColorBrush(COLOR_BTNSHADOW)));
    BitBlt(dc, pos.X, pos.Y, width, height, shapeDc, 0, 0, kBrushWhereSourceIsSet);
    SelectObject(dc, oldBrush);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
    SelectObject(shapeDc, oldShape);
    DeleteObject(ToGdiObject(shape));
    DeleteDC(shapeDc);
    SelectObject(maskDc, oldMask);
    DeleteDC(maskDc);
}

void TBitBtn::Draw(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    const bool down = item.itemState & ODS_SELECTED;
    const bool disabled = item.itemState & ODS_DISABLED;
    const int saved = SaveDC(dc);
    const RECT face = DrawPushButtonFace(dc, item.rcItem, down, item.itemState & ODS_DEFAULT);
    const int shift = down ? 1 : 0;
    const TRect content{face.left + shift, face.top + shift, face.right + shift, face.bottom + shift};

    SelectObject(dc, ToGdiObject(Font()->Handle()));
    const String caption = Caption();
    RECT measured{0, 0, content.Width(), content.Height()};
    if (!caption.empty()) DrawTextW(dc, caption.c_str(), int(caption.size()), &measured, DT_SINGLELINE | DT_CALCRECT);
    const TSize text = caption.empty() ? TSize{0, 0} : TSize{measured.right, measured.bottom};
    const TSize glyph = glyph_->Empty() ? TSize{0, 0} : TSize{glyph_->Width() / numGlyphs_, glyph_->Height()};
    const TGlyphLayout placed = CalcButtonLayout(content, glyph, text, layout_, margin_, spacing_);

    if (!glyph_->Empty()) DrawGlyph(dc, placed.glyph, disabled ? bsDisabled : down ? bsDown : bsUp);
    SetBkMode(dc, TRANSPARENT);
    RECT r{placed.text.Left, placed.text.Top, placed.text.Right, placed.text.Bottom};
    const UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    if (disabled) {
        RECT shadow{r.left + 1, r.top + 1, r.right + 1, r.bottom + 1};
        SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawTextW(dc, caption.c_str(), int(caption.size()), &shadow, format);
        SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
    } else {
        SetTextColor(dc, ColorToRGB(Font()->Color()));
    }
    DrawTextW(dc, caption.c_str(), int(caption.size()), &r, format);
    if (item.itemState & ODS_FOCUS) {
        const RECT focus{face.left + 1, face.top + 1, face.right - 1, face.bottom - 1};
        DrawFocusRect(dc, &focus);
    }
    RestoreDC(dc, saved);
}
