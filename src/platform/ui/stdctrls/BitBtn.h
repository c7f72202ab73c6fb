#pragma once
// TBitBtn: a push button drawn by the framework with a glyph beside its
// caption. A Kind other than bkCustom gives the button that kind's caption,
// glyph, ModalResult and Default or Cancel. The glyph bitmap holds NumGlyphs
// images side by side: up, disabled, down and exclusive; a missing disabled
// image is made from the up one. The bottom-left pixel's colour is transparent.

#include <memory>

#include "platform/ui/graphics/Bitmap.h"
#include "platform/ui/stdctrls/StdButtons.h"

enum class TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };
using enum TBitBtnKind;
RTL_ENUM(TBitBtnKind, bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll);

enum class TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
using enum TButtonLayout;
RTL_ENUM(TButtonLayout, blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom);

// Which of the glyph's images a state shows.
enum class TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };
using enum TButtonState;
RTL_ENUM(TButtonState, bsUp, bsDisabled, bsDown, bsExclusive);

// Where the glyph and the caption go inside a button's content area.
struct TGlyphLayout {
    TPoint glyph;
    TRect text;
};
// Margin: from the edge to the glyph (-1: the pair centred); Spacing: between
// glyph and caption (-1: the free space shared out evenly).
TGlyphLayout CalcButtonLayout(const TRect& client, TSize glyph, TSize text, TButtonLayout layout, int margin,
                              int spacing);

class TBitBtn : public TButton {
    RTL_CLASS(TBitBtn, TButton);
    UI_MESSAGES(TBitBtn, TButton);

public:
    explicit TBitBtn(TComponent* owner);
    ~TBitBtn() override;
    // A bkClose button without ModalResult closes its form.
    void Click() override;

    TBitBtnKind Kind() const noexcept { return kind_; }
    void SetKind(TBitBtnKind value);
    TBitmap* Glyph() const noexcept { return glyph_.get(); }
    void SetGlyph(TBitmap* value);
    int NumGlyphs() const noexcept { return numGlyphs_; }
    // 1 to 4; other values are ignored.
    void SetNumGlyphs(int value);
    TButtonLayout Layout() const noexcept { return layout_; }
    void SetLayout(TButtonLayout value);
    int Margin() const noexcept { return margin_; }
    void SetMargin(int value);
    int Spacing() const noexcept { return spacing_; }
    void SetSpacing(int value);

protected:
    void CreateParams(TCreateParams& params) override;
    void CNDrawItem(TMessage& m);
    void CMFontChanged(TMessage& m);

private:
    bool IsCustom() const { return kind_ == bkCustom; }
    // Draws image State of the glyph (made from the up image when missing) at Pos.
    void DrawGlyph(HDC dc, TPoint pos, TButtonState state);
    void Draw(const DRAWITEMSTRUCT& item);

    TBitBtnKind kind_ = bkCustom;
    std::unique_ptr<TBitmap> glyph_;
    int numGlyphs_ = 1;
    TButtonLayout layout_ = blGlyphLeft;
    int margin_ = -1;
    int spacing_ = 4;
    // Set while a kind's values are applied, so that they leave the kind alone.
    bool applyingKind_ = false;
};
