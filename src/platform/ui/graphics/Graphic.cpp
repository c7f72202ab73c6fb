#include "platform/ui/graphics/Graphic.h"

#include "platform/rtl/Streams.h"

RTL_PUBLISHED_NONE(TGraphic);

void TGraphic::SetSize(int width, int height) {
    SetWidth(width);
    SetHeight(height);
}

void TGraphic::SetTransparent(bool value) {
    if (value == transparent_) return;
    transparent_ = value;
    Changed();
}

void TGraphic::SetModified(bool value) {
    if (value) Changed();
    else modified_ = false;
}

void TGraphic::Changed() {
    modified_ = true;
    if (OnChange) OnChange(this);
}

void TGraphic::Progress(TProgressStage stage, uint8_t percentDone, bool redrawNow, const TRect& rect,
                        const String& message) {
    if (OnProgress) OnProgress(this, stage, percentDone, redrawNow, rect, message);
}

void TGraphic::LoadFromFile(const String& fileName) {
    TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(stream);
}

void TGraphic::SaveToFile(const String& fileName) {
    TFileStream stream(fileName, fmCreate);
    SaveToStream(stream);
}
