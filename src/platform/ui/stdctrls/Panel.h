#pragma once
// TCustomPanel, TPanel: a container with a bevelled face and an optional
// caption. The bevels and the border width are drawn inside the client
// area, which the aligned children share without them. Disabling a panel
// disables its window, so no child inside takes input.

#include "platform/rtl/Alignment.h"
#include "platform/ui/CustomControl.h"
#include "platform/ui/stdctrls/BorderStyle.h"

class TCustomPanel : public TCustomControl {
    RTL_CLASS(TCustomPanel, TCustomControl);
    UI_MESSAGES(TCustomPanel, TCustomControl);

public:
    explicit TCustomPanel(TComponent* owner);

    TAlignment Alignment() const noexcept { return alignment_; }
    void SetAlignment(TAlignment value);
    TBevelCut BevelInner() const noexcept { return bevelInner_; }
    void SetBevelInner(TBevelCut value);
    TBevelCut BevelOuter() const noexcept { return bevelOuter_; }
    void SetBevelOuter(TBevelCut value);
    int BevelWidth() const noexcept { return bevelWidth_; }
    void SetBevelWidth(int value);
    // Plain space between the outer and the inner bevel.
    int BorderWidth() const noexcept { return borderWidth_; }
    void SetBorderWidth(int value);
    // bsSingle gives the window a client edge (a plain border without Ctl3D).
    TBorderStyle BorderStyle() const noexcept { return borderStyle_; }
    void SetBorderStyle(TBorderStyle value);
    // Off: a resize repaints only the bevels, unless a caption needs centring again.
    bool FullRepaint() const noexcept { return fullRepaint_; }
    void SetFullRepaint(bool value) { fullRepaint_ = value; }

protected:
    void CreateParams(TCreateParams& params) override;
    void AdjustClientRect(TRect& rect) override;
    void Paint() override;

private:
    // Pixels the bevels and the border take from each side.
    int FrameSize() const;
    void Redraw();
    void CMTextChanged(TMessage& m);
    void CMCtl3DChanged(TMessage& m);
    void WMWindowPosChanged(TMessage& m);

    TAlignment alignment_ = taCenter;
    TBevelCut bevelInner_ = bvNone;
    TBevelCut bevelOuter_ = bvRaised;
    int bevelWidth_ = 1;
    int borderWidth_ = 0;
    TBorderStyle borderStyle_ = kNoBorder;
    bool fullRepaint_ = true;
    TSize paintedSize_{};
};

class TPanel : public TCustomPanel {
    RTL_CLASS(TPanel, TCustomPanel);

public:
    using TCustomPanel::TCustomPanel;
};
