#pragma once
// The component bases of the drop target: an interfaced component whose
// interface counts are its owner's, and the component that holds data formats.

#include <memory>

#include "controls/dragdrop/DataFormat.h"
#include "platform/rtl/Component.h"

// Counts references through an owner that implements IInterface; otherwise
// counts nothing (-1), so it lives as long as its owner.
class TInterfacedComponent : public TComponent {
    RTL_CLASS(TInterfacedComponent, TComponent);

public:
    using TComponent::TComponent;
    int32_t _AddRef() override;
    int32_t _Release() override;

private:
    IInterface* OwnerInterface() const;
};

class TDragDropComponent : public TInterfacedComponent {
    RTL_CLASS(TDragDropComponent, TInterfacedComponent);

public:
    // Starts the drag-and-drop units (counted) for as long as it lives.
    explicit TDragDropComponent(TComponent* owner);
    ~TDragDropComponent() override;

    // Null until a descendant that holds data formats creates it.
    TDataFormats* DataFormats() const noexcept { return dataFormats_.get(); }
    // The clipboard formats a data format of Class may use; base: none.
    virtual void GetCompatibleClipboardFormats(TClass dataFormatClass, TClipboardFormats& formats);

protected:
    void CreateDataFormats() { dataFormats_ = std::make_unique<TDataFormats>(); }

private:
    std::unique_ptr<TDataFormats> dataFormats_;
};
