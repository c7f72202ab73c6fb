#pragma once
// TCustomLabel, TLabel: a caption painted on the parent (no window of its
// own). With AutoSize the label takes the size of its text (keeping its
// right edge when right-aligned); with ShowAccelChar "&x" underlines x and
// Alt+x focuses FocusControl.

#include "platform/rtl/Alignment.h"
#include "platform/ui/CustomControl.h"

enum class TTextLayout { tlTop, tlCenter, tlBottom };
using enum TTextLayout;
RTL_ENUM(TTextLayout, tlTop, tlCenter, tlBottom);

class TCustomLabel : public TGraphicControl {
    RTL_CLASS(TCustomLabel, TGraphicControl);
    UI_MESSAGES(TCustomLabel, TGraphicControl);

public:
    explicit TCustomLabel(TComponent* owner);

    TAlignment Alignment() const noexcept { return alignment_; }
    void SetAlignment(TAlignment value);
    TTextLayout Layout() const noexcept { return layout_; }
    void SetLayout(TTextLayout value);
    bool WordWrap() const noexcept { return wordWrap_; }
    void SetWordWrap(bool value);
    bool ShowAccelChar() const noexcept { return showAccelChar_; }
    void SetShowAccelChar(bool value);
    // Transparent labels leave what lies beneath them showing around the text.
    bool Transparent() const noexcept { return !ControlStyle().Contains(csOpaque); }
    void SetTransparent(bool value);
    TWinControl* FocusControl() const noexcept { return focusControl_; }
    void SetFocusControl(TWinControl* value);

protected:
    void Paint() override;
    void AdjustSize() override;
    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;
    // The text shown: the caption.
    virtual String LabelText() { return Caption(); }
    // Draws (or with DT_CALCRECT measures) the text in Rect with the DT_ flags.
    void DoDrawText(TCanvas* canvas, TRect& rect, UINT flags);

private:
    UINT DrawFlags() const;
    void CMTextChanged(TMessage& m);
    void CMFontChanged(TMessage& m);
    void CMDialogChar(TMessage& m);

    TAlignment alignment_ = taLeftJustify;
    TTextLayout layout_ = tlTop;
    bool wordWrap_ = false;
    bool showAccelChar_ = true;
    TWinControl* focusControl_ = nullptr;
};

class TLabel : public TCustomLabel {
    RTL_CLASS(TLabel, TCustomLabel);

public:
    using TCustomLabel::TCustomLabel;
};
