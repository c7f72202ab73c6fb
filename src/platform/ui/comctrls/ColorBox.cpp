#include "platform/ui/comctrls/ColorBox.h"

#include <cstdint>

RTL_PUBLISHED(TColorBox, c) {
    const TTypeInfo* color = TColorTypeInfo();
    c.Property("Style", &TColorBox::Style, &TColorBox::SetStyle)
        .Default(TColorBoxStyles{cbStandardColors, cbExtendedColors, cbSystemColors});
    c.Property("Selected", &TColorBox::Selected, &TColorBox::SetSelected).OfType(color).Default(clBlack);
    c.Property("NoneColorColor", &TColorBox::NoneColorColor, &TColorBox::SetNoneColorColor)
        .OfType(color)
        .Default(clBlack);
    c.Property("DefaultColorColor", &TColorBox::DefaultColorColor, &TColorBox::SetDefaultColorColor)
        .OfType(color)
        .Default(clBlack);
}

namespace {

constexpr TColor kStandardColors[] = {clBlack,  clMaroon, clGreen,  clOlive, clNavy,    clPurple, clTeal,  clGray,
                                      clSilver, clRed,    clLime,   clYellow, clBlue,   clFuchsia, clAqua, clWhite};
constexpr TColor kExtendedColors[] = {clMoneyGreen, clSkyBlue, clCream, clMedGray};
constexpr TColor kSystemColors[] = {
    clScrollBar,     clBackground,     clActiveCaption,     clInactiveCaption,       clMenu,
    clWindow,        clWindowFrame,    clMenuText,          clWindowText,            clCaptionText,
    clActiveBorder,  clInactiveBorder, clAppWorkSpace,      clHighlight,             clHighlightText,
    clBtnFace,       clBtnShadow,      clGrayText,          clBtnText,               clInactiveCaptionText,
    clBtnHighlight,  cl3DDkShadow,     cl3DLight,           clInfoText,              clInfoBk,
    clHotLight,      clGradientActiveCaption, clGradientInactiveCaption, clMenuHighlight, clMenuBar};

TObject* AsObject(TColor color) { return reinterpret_cast<TObject*>(intptr_t(color)); }

} // namespace

TColorBox::TColorBox(TComponent* owner) : TCustomComboBox(owner) {
    TCustomComboBox::SetStyle(csOwnerDrawFixed);
    PopulateList();
}

void TColorBox::SetStyle(TColorBoxStyles value) {
    if (style_ == value) return;
    style_ = value;
    PopulateList();
}

TColor TColorBox::Colors(int index) const { return TColor(reinterpret_cast<intptr_t>(Items()->Objects(index))); }

TColor TColorBox::Selected() {
    const int index = ItemIndex();
    return index >= 0 ? Colors(index) : clBlack;
}

void TColorBox::SetSelected(TColor value) {
    for (int i = 0; i < Items()->Count(); ++i) {
        if (Colors(i) != value) continue;
        // The custom item matches only by being chosen for an unlisted colour.
        if (i == 0 && style_.Contains(cbCustomColor)) continue;
        SetItemIndex(i);
        return;
    }
    if (style_.Contains(cbCustomColor)) {
        Items()->SetObjects(0, AsObject(value));
        SetItemIndex(0);
        Invalidate();
        return;
    }
    SetItemIndex(-1);
}

void TColorBox::SetNoneColorColor(TColor value) {
    noneColorColor_ = value;
    Invalidate();
}

void TColorBox::SetDefaultColorColor(TColor value) {
    defaultColorColor_ = value;
    Invalidate();
}

void TColorBox::AddColor(TColor color, const String& name) {
    const bool pretty = style_.Contains(cbPrettyNames) && name.starts_with(u"cl");
    Items()->AddObject(pretty ? name.substr(2) : name, AsObject(color));
}

void TColorBox::PopulateList() {
    const bool hadChoice = ItemIndex() >= 0;
    const TColor chosen = Selected();
    Items()->BeginUpdate();
    Items()->Clear();
    if (style_.Contains(cbCustomColor)) Items()->AddObject(u"Custom...", AsObject(clBlack));
    auto addAll = [&](auto& colors) {
        for (TColor color : colors) {
            String name;
            ColorToIdent(color, name);
            AddColor(color, name);
        }
    };
    if (style_.Contains(cbStandardColors)) addAll(kStandardColors);
    if (style_.Contains(cbExtendedColors)) addAll(kExtendedColors);
    if (style_.Contains(cbIncludeNone)) AddColor(clNone, u"clNone");
    if (style_.Contains(cbIncludeDefault)) AddColor(clDefault, u"clDefault");
    if (style_.Contains(cbSystemColors)) addAll(kSystemColors);
    Items()->EndUpdate();
    if (hadChoice) SetSelected(chosen);
}

// A framed swatch of the colour, then its name.
void TColorBox::DrawItem(int index, TRect rect, TOwnerDrawState state) {
    if (OnDrawItem) return OnDrawItem(this, index, rect, state);
    TCanvas* canvas = Canvas();
    canvas->FillRect(rect);
    if (index < 0) return;
    TColor color = Colors(index);
    if (color == clNone) color = noneColorColor_;
    if (color == clDefault) color = defaultColorColor_;
    const int side = rect.Bottom - rect.Top - 4;
    const TRect swatch{rect.Left + 2, rect.Top + 2, rect.Left + 2 + side, rect.Bottom - 2};
    const TColor background = canvas->Brush()->Color();
    canvas->Brush()->SetColor(color);
    canvas->FillRect(swatch);
    canvas->Brush()->SetColor(clBlack);
    canvas->FrameRect(swatch);
    canvas->Brush()->SetColor(background);
    canvas->TextOut(swatch.Right + 4, rect.Top + (rect.Bottom - rect.Top - canvas->TextHeight(u"Wg")) / 2,
                    Items()->Strings(index));
}
