#include "controls/dragdrop/DataStreamFormat.h"

#include "platform/rtl/ClassInfo.h"

RTL_PUBLISHED_NONE(TDataStreamDataFormat);

TDataStreamDataFormat::TDataStreamDataFormat(TDragDropComponent* owner) : TCustomDataFormat(owner) {
    streams_.OnChanging = [this](TObject*) { NotifyChanging(); };
}

void TDataStreamDataFormat::Clear() {
    NotifyChanging();
    streams_.Clear();
}
