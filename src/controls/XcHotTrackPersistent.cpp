#include "controls/XcHotTrackPersistent.h"

#include "platform/rtl/ClassInfo.h"

RTL_PUBLISHED(TXcHotTrackOptions, c) {
    c.Property("Enabled", &TXcHotTrackOptions::Enabled, &TXcHotTrackOptions::SetEnabled).Default(false);
    c.Property("FrameVisible", &TXcHotTrackOptions::FrameVisible, &TXcHotTrackOptions::SetFrameVisible).Default(false);
    c.Property("Color", &TXcHotTrackOptions::Color, &TXcHotTrackOptions::SetColor)
        .OfType(TColorTypeInfo())
        .Default(TXcHotTrackOptions::kDefaultColor);
    c.Property("FrameColor", &TXcHotTrackOptions::FrameColor, &TXcHotTrackOptions::SetFrameColor)
        .OfType(TColorTypeInfo())
        .Default(TXcHotTrackOptions::kDefaultFrameColor);
}

void TXcHotTrackOptions::Assign(TPersistent* source) {
    auto* other = dynamic_cast<TXcHotTrackOptions*>(source);
    if (!other) return TXcPersistentProperty::Assign(source);
    Updating([&] {
        SetEnabled(other->Enabled());
        SetColor(other->Color());
        SetFrameVisible(other->FrameVisible());
        SetFrameColor(other->FrameColor());
    });
}
