#include "controls/XcPersistent.h"

#include "platform/rtl/ClassInfo.h"

RTL_PUBLISHED_NONE(TXcPersistent);
RTL_PUBLISHED_NONE(TXcPersistentProperty);

TXcPersistent::TXcPersistent(TPersistent* owner) : TComponent(dynamic_cast<TComponent*>(owner)), owner_(owner) {
    SetSubComponent(true);
}

String TXcPersistent::GetNamePath() const {
    const String own = TComponent::GetNamePath();
    if (!owner_) return own;
    const String ownerPath = owner_->GetNamePath();
    return ownerPath.empty() ? own : ownerPath + u"." + own;
}

void TXcPersistentProperty::BeginUpdate() {
    if (updateCount_ == 0) SetUpdateState(true);
    ++updateCount_;
}

void TXcPersistentProperty::EndUpdate() {
    if (--updateCount_ == 0) SetUpdateState(false);
}

void TXcPersistentProperty::NotifyChanged() {
    if (updateCount_ == 0 && OnAfterChange) OnAfterChange(this);
}

void TXcPersistentProperty::NotifyChanging() {
    if (updateCount_ == 0 && OnBeforeChange) OnBeforeChange(this);
}

void TXcPersistentProperty::NotifyPropertyChanged(const String& propertyName) {
    if (OnAfterPropertyChange) OnAfterPropertyChange(this, propertyName);
}

void TXcPersistentProperty::NotifyPropertyChanging(const String& propertyName) {
    if (OnBeforePropertyChange) OnBeforePropertyChange(this, propertyName);
}

void TXcPersistentProperty::SetUpdateState(bool updating) {
    if (updating)
        NotifyChanging();
    else
        NotifyChanged();
}

void TXcPersistentProperty::Updating(const std::function<void()>& edit) {
    BeginUpdate();
    try {
        edit();
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}
