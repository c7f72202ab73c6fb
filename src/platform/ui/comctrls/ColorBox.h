#pragma once
// TColorBox: a drop-down list of colours, each drawn as a swatch before its
// name. The item objects hold the colours.

#include "platform/rtl/Set.h"
#include "platform/ui/Colors.h"
#include "platform/ui/stdctrls/ComboBox.h"

enum class TColorBoxStyle {
    cbStandardColors, // the 16 colours of the basic palette
    cbExtendedColors, // money green, sky blue, cream and medium grey
    cbSystemColors,   // the system's colours (clBtnFace...)
    cbIncludeNone,
    cbIncludeDefault,
    cbCustomColor, // a first item holding a colour of the program's choice
    cbPrettyNames  // "Black" rather than "clBlack"
};
using enum TColorBoxStyle;
RTL_ENUM(TColorBoxStyle, cbStandardColors, cbExtendedColors, cbSystemColors, cbIncludeNone, cbIncludeDefault,
         cbCustomColor, cbPrettyNames);
using TColorBoxStyles = TSet<TColorBoxStyle>;

class TColorBox : public TCustomComboBox {
    RTL_CLASS(TColorBox, TCustomComboBox);

public:
    explicit TColorBox(TComponent* owner);

    TColorBoxStyles Style() const noexcept { return style_; }
    void SetStyle(TColorBoxStyles value);
    // The chosen colour; clBlack when none is chosen.
    TColor Selected();
    // Chooses the item of Value; a colour not listed goes into the custom
    // item when there is one, otherwise nothing is chosen.
    void SetSelected(TColor value);
    TColor Colors(int index) const;
    String ColorNames(int index) const { return Items()->Strings(index); }
    // The swatch colours of the clNone and clDefault items.
    TColor NoneColorColor() const noexcept { return noneColorColor_; }
    void SetNoneColorColor(TColor value);
    TColor DefaultColorColor() const noexcept { return defaultColorColor_; }
    void SetDefaultColorColor(TColor value);

protected:
    void DrawItem(int index, TRect rect, TOwnerDrawState state) override;

private:
    // Fills the list as Style says, keeping the chosen colour.
    void PopulateList();
    void AddColor(TColor color, const String& name);

    TColorBoxStyles style_{cbStandardColors, cbExtendedColors, cbSystemColors};
    TColor noneColorColor_ = clBlack;
    TColor defaultColorColor_ = clBlack;
};
