#include "controls/dragdrop/DragDropComponent.h"

#include "controls/dragdrop/DataFormatMap.h"
#include "platform/rtl/ClassInfo.h"

RTL_PUBLISHED_NONE(TInterfacedComponent);
RTL_PUBLISHED_NONE(TDragDropComponent);

IInterface* TInterfacedComponent::OwnerInterface() const {
    return Owner() ? static_cast<IInterface*>(Owner()) : nullptr;
}

int32_t TInterfacedComponent::_AddRef() {
    IInterface* owner = OwnerInterface();
    return owner ? owner->_AddRef() : TComponent::_AddRef();
}

int32_t TInterfacedComponent::_Release() {
    IInterface* owner = OwnerInterface();
    return owner ? owner->_Release() : TComponent::_Release();
}

TDragDropComponent::TDragDropComponent(TComponent* owner) : TInterfacedComponent(owner) { StartDragDropUnits(); }

TDragDropComponent::~TDragDropComponent() { StopDragDropUnits(); }

void TDragDropComponent::GetCompatibleClipboardFormats(TClass, TClipboardFormats& formats) { formats.Clear(); }
