#pragma once
// How a control looks while the pointer is over it: a fill colour and an
// optional frame. Used by the label and the speed button.

#include "controls/XcPersistent.h"
#include "platform/ui/Colors.h"

class TXcHotTrackOptions : public TXcPersistentProperty {
    RTL_CLASS(TXcHotTrackOptions, TXcPersistentProperty);

public:
    static constexpr TColor kDefaultColor = 0xD2BDB6;
    static constexpr TColor kDefaultFrameColor = 0x6A240A;

    using TXcPersistentProperty::TXcPersistentProperty;

    // From another TXcHotTrackOptions: Enabled, Color, FrameVisible and
    // FrameColor in one update bracket.
    void Assign(TPersistent* source) override;

    bool Enabled() const noexcept { return enabled_; }
    void SetEnabled(bool value) { ChangeProperty(enabled_, value, u"Enabled"); }
    bool FrameVisible() const noexcept { return frameVisible_; }
    void SetFrameVisible(bool value) { ChangeProperty(frameVisible_, value, u"FrameVisible"); }
    TColor Color() const noexcept { return color_; }
    void SetColor(TColor value) { ChangeProperty(color_, value, u"Color"); }
    TColor FrameColor() const noexcept { return frameColor_; }
    void SetFrameColor(TColor value) { ChangeProperty(frameColor_, value, u"FrameColor"); }

private:
    bool enabled_ = false;
    bool frameVisible_ = false;
    TColor color_ = kDefaultColor;
    TColor frameColor_ = kDefaultFrameColor;
};
