#include "supportui/XcFormPlacementLink.h"

#include "supportui/XcFormPlacement.h"

TXcFormPlacementLink::~TXcFormPlacementLink() { SetFormPlacement(nullptr); }

void TXcFormPlacementLink::SetFormPlacement(TXcFormPlacement* value) {
    if (value == placement_) return;
    if (placement_) placement_->RemoveLink(this);
    placement_ = value;
    if (placement_) placement_->AddLink(this);
}

void TXcFormPlacementLink::SaveNotify() {
    if (OnSave) OnSave(this);
}

void TXcFormPlacementLink::LoadNotify() {
    if (OnLoad) OnLoad(this);
}
