#include "controls/dragdrop/DataFormat.h"

#include <algorithm>

#include "controls/dragdrop/DataFormatMap.h"
#include "controls/dragdrop/DragDropComponent.h"
#include "platform/rtl/ClassInfo.h"

RTL_PUBLISHED_NONE(TCustomDataFormat);

TCustomDataFormat::TCustomDataFormat(TDragDropComponent* owner) : owner_(owner) {
    if (owner_ && owner_->DataFormats()) owner_->DataFormats()->Add(this);
}

TCustomDataFormat::~TCustomDataFormat() {
    compatibleFormats_.reset();
    if (owner_ && owner_->DataFormats()) owner_->DataFormats()->Remove(this);
}

TClipboardFormats& TCustomDataFormat::CompatibleFormats() {
    if (!compatibleFormats_) {
        compatibleFormats_ = std::make_unique<TClipboardFormats>(this, true);
        if (owner_) owner_->GetCompatibleClipboardFormats(ClassType(), *compatibleFormats_);
    }
    return *compatibleFormats_;
}

void TCustomDataFormat::FillCompatibleFormats(TDataFormatDirection direction) {
    compatibleFormats_ = std::make_unique<TClipboardFormats>(this, true);
    TDataFormatMap::Instance().GetClipboardFormats(ClassType(), *compatibleFormats_,
                                                   direction == dfdConsumer ? ddtSource : ddtTarget);
}

void TCustomDataFormat::NotifyChanging() {
    if (OnChanging) OnChanging(this);
}

bool TCustomDataFormat::GetData(IDataObject& data) {
    const TIntfPtr<IDataObject> held(&data);
    bool result = false;
    TClipboardFormats& formats = CompatibleFormats();
    for (int i = 0; NeedsData() && i < formats.Count(); ++i) {
        TClipboardFormat& format = *formats[i];
        format.Clear();
        if (format.GetData(data) && format.HasData() && Assign(format)) {
            format.Clear();
            result = true;
        }
    }
    return result;
}

bool TCustomDataFormat::HasValidFormats(IDataObject& data) {
    TClipboardFormats& formats = CompatibleFormats();
    for (int i = 0; i < formats.Count(); ++i)
        if (formats[i]->HasValidFormats(data)) return true;
    return false;
}

bool TCustomDataFormat::AcceptFormat(const FORMATETC& format) {
    TClipboardFormats& formats = CompatibleFormats();
    for (int i = 0; i < formats.Count(); ++i)
        if (formats[i]->AcceptFormat(format)) return true;
    return false;
}

int TDataFormats::Add(TCustomDataFormat* format) {
    const int index = IndexOf(format);
    if (index >= 0) return index;
    items_.push_back(format);
    return Count() - 1;
}

int TDataFormats::IndexOf(const TCustomDataFormat* format) const {
    const auto it = std::find(items_.begin(), items_.end(), format);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TDataFormats::Remove(TCustomDataFormat* format) { std::erase(items_, format); }
