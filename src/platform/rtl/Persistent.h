#pragma once
// TPersistent: objects that copy themselves from one another and are
// streamed through their published properties.

#include "platform/rtl/TObject.h"

class TFiler;

class TPersistent : public TObject {
    RTL_CLASS(TPersistent, TObject);

public:
    TPersistent() = default;
    ~TPersistent() override;
    // Copies Source into this object. The base asks Source to AssignTo this
    // object; a pair no class handles raises EConvertError "Cannot assign a %s to a %s".
    virtual void Assign(TPersistent* source);
    // The object's path for messages and storage: "Owner.Path.ClassName" here.
    virtual String GetNamePath() const;
    // The object this one belongs to for name paths; none here.
    virtual TPersistent* GetOwner() const;

protected:
    virtual void AssignTo(TPersistent* dest);
    // Declares the data a component stream keeps besides the published
    // properties (TFiler::DefineProperty); nothing here.
    virtual void DefineProperties(TFiler* filer);
    [[noreturn]] void AssignError(const TPersistent* source) const;

private:
    friend class TFiler;
};
