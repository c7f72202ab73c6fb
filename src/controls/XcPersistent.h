#pragma once
// Persistent sub-objects of the extended controls (their option objects):
// sub-components of the object that holds them, with a name path under its,
// and, in TXcPersistentProperty, change notification with update brackets.

#include <functional>

#include "platform/rtl/Component.h"
#include "platform/ui/Events.h"

class TXcPersistent : public TComponent {
    RTL_CLASS(TXcPersistent, TComponent);

public:
    // Owner becomes the component owner when it is a component (else there is
    // none); either way GetOwner answers it.
    explicit TXcPersistent(TPersistent* owner);

    // The owner's name path, ".", then this one's; only this one's when the
    // owner has none.
    String GetNamePath() const override;
    TPersistent* GetOwner() const override { return owner_; }

private:
    TPersistent* owner_;
};

using TXcPropertyChangeEvent = std::function<void(TObject* sender, const String& propertyName)>;

class TXcPersistentProperty : public TXcPersistent {
    RTL_CLASS(TXcPersistentProperty, TXcPersistent);

public:
    using TXcPersistent::TXcPersistent;

    // A bracket merges its changes into one OnBeforeChange and one OnAfterChange.
    virtual void BeginUpdate();
    virtual void EndUpdate();

    TNotifyEvent OnBeforeChange;
    TNotifyEvent OnAfterChange;
    // Fire for every property change, also inside a bracket.
    TXcPropertyChangeEvent OnBeforePropertyChange;
    TXcPropertyChangeEvent OnAfterPropertyChange;

protected:
    // Outside brackets only.
    virtual void NotifyChanged();
    virtual void NotifyChanging();
    virtual void NotifyPropertyChanged(const String& propertyName);
    virtual void NotifyPropertyChanging(const String& propertyName);
    // True when the outermost bracket opens (NotifyChanging), false when it closes (NotifyChanged).
    virtual void SetUpdateState(bool updating);

    // Stores Value in Field through the notifications of property Name, when it differs.
    template <class T>
    void ChangeProperty(T& field, const T& value, const char16_t* name) {
        if (field == value) return;
        NotifyChanging();
        NotifyPropertyChanging(name);
        field = value;
        NotifyPropertyChanged(name);
        NotifyChanged();
    }
    // Runs Edit inside a bracket that also closes when Edit raises.
    void Updating(const std::function<void()>& edit);

private:
    int updateCount_ = 0;
};
