#include "platform/rtl/Component.h"

#include <algorithm>

#include "platform/rtl/ClassInfo.h"
#include "platform/rtl/Lists.h"

RTL_PUBLISHED(TComponent, c) {
    c.Property("Name", &TComponent::Name, &TComponent::SetName).Stored(false);
    c.Property("Tag", &TComponent::Tag, &TComponent::SetTag);
}

namespace {
bool IsValidIdent(const String& s) {
    const auto alpha = [](char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_'; };
    if (s.empty() || !alpha(s[0])) return false;
    return std::all_of(s.begin() + 1, s.end(), [&](char16_t c) { return alpha(c) || (c >= u'0' && c <= u'9'); });
}

// The components EndLoading calls still have to finish, innermost call first.
// A component freed meanwhile blanks its entries.
class TLoadingBatch {
public:
    TLoadingBatch() : outer_(innermost_) { innermost_ = this; }
    ~TLoadingBatch() { innermost_ = outer_; }
    TLoadingBatch(const TLoadingBatch&) = delete;
    TLoadingBatch& operator=(const TLoadingBatch&) = delete;

    static void Forget(TComponent* component) {
        for (TLoadingBatch* batch = innermost_; batch; batch = batch->outer_)
            std::replace(batch->components.begin(), batch->components.end(), component, static_cast<TComponent*>(nullptr));
    }

    std::vector<TComponent*> components;

private:
    static thread_local TLoadingBatch* innermost_;
    TLoadingBatch* outer_;
};

thread_local TLoadingBatch* TLoadingBatch::innermost_ = nullptr;

} // namespace

TComponent::TComponent(TComponent* owner) {
    if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
    TLoadingBatch::Forget(this);
    Destroying();
    RemoveFreeNotifications();
    DestroyComponents();
    if (owner_) owner_->RemoveComponent(this);
    // Partners that asked for notification while the steps above ran.
    RemoveFreeNotifications();
}

HRESULT TComponent::QueryInterface(const TGUID& iid, void** obj) {
    return GetInterface(iid, obj) ? S_OK : E_NOINTERFACE;
}

bool TComponent::GetInterface(const TGUID& iid, void** obj) {
    if (iid == IInterfaceComponentReference::IID) {
        *obj = static_cast<IInterfaceComponentReference*>(this);
        return true;
    }
    if (iid != IInterface::IID) return TPersistent::GetInterface(iid, obj);
    IInterface* self = this;
    *obj = self;
    return true;
}

void TComponent::SetName(const String& newName) {
    if (name_ == newName) return;
    if (!newName.empty() && !IsValidIdent(newName))
        throw EComponentError("'" + newName + "' is not a valid component name");
    if (owner_) owner_->ValidateRename(this, name_, newName);
    else ValidateRename(nullptr, name_, newName);
    name_ = newName;
}

TComponent* TComponent::Components(int index) const {
    if (index < 0 || index >= ComponentCount()) ListIndexError(index);
    return components_[static_cast<size_t>(index)];
}

int TComponent::ComponentIndex() const {
    if (!owner_) return -1;
    const auto& list = owner_->components_;
    return static_cast<int>(std::find(list.begin(), list.end(), this) - list.begin());
}

void TComponent::SetComponentIndex(int value) {
    if (!owner_) return;
    auto& list = owner_->components_;
    const int current = ComponentIndex();
    value = std::clamp(value, 0, static_cast<int>(list.size()) - 1);
    if (value == current) return;
    list.erase(list.begin() + current);
    list.insert(list.begin() + value, this);
}

TComponent* TComponent::FindComponent(const String& name) const {
    if (name.empty()) return nullptr;
    for (TComponent* c : components_)
        if (SameText(c->name_, name)) return c;
    return nullptr;
}

void TComponent::InsertComponent(TComponent* component) {
    if (component->owner_ == this) return;
    for (const TComponent* c = this; c; c = c->owner_)
        RTL_ASSERT(c != component, "A component cannot own itself");
    // Checked before the component leaves its current owner.
    if (TComponent* existing = FindComponent(component->name_); existing && existing != component)
        throw EComponentError("A component named " + component->name_ + " already exists");
    ValidateRename(component, String(), component->name_);
    if (component->owner_) component->owner_->RemoveComponent(component);
    Insert(component);
    if (state_.Contains(csDesigning)) component->SetDesigning(true);
    if (state_.Contains(csLoading)) component->BeginLoading();
    Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
    if (component->owner_ != this) return;
    ValidateRename(component, component->name_, String());
    Notification(component, opRemove);
    Remove(component);
}

void TComponent::DestroyComponents() {
    while (!components_.empty()) {
        TComponent* instance = components_.back();
        // The siblings still alive drop their references before it goes.
        Remove(instance);
        Notification(instance, opRemove);
        instance->Destroying();
        delete instance;
    }
}

void TComponent::Destroying() {
    if (state_.Contains(csDestroying)) return;
    state_.Include(csDestroying);
    for (TComponent* c : components_) c->Destroying();
}

void TComponent::SetDesigning(bool value, bool setChildren) {
    if (value) state_.Include(csDesigning);
    else state_.Exclude(csDesigning);
    if (setChildren)
        for (TComponent* c : components_) c->SetDesigning(value);
}

void TComponent::SetSubComponent(bool value) {
    if (value) style_.Include(csSubComponent);
    else style_.Exclude(csSubComponent);
}

void TComponent::BeginLoading() { state_ += TComponentState{csLoading, csReading}; }

void TComponent::EndLoading() {
    TLoadingBatch batch;
    CollectLoading(batch.components);
    for (TComponent* c : batch.components) c->state_.Exclude(csReading);
    for (TComponent* c : batch.components)
        if (c) c->Loaded();
}

void TComponent::CollectLoading(std::vector<TComponent*>& loading) {
    if (state_.Contains(csLoading)) loading.push_back(this);
    for (TComponent* c : components_) c->CollectLoading(loading);
}

void TComponent::Loaded() { state_.Exclude(csLoading); }

void TComponent::FreeNotification(TComponent* component) {
    if (!owner_ || component->owner_ != owner_) {
        if (std::find(freeNotifies_.begin(), freeNotifies_.end(), component) == freeNotifies_.end()) {
            freeNotifies_.push_back(component);
            component->FreeNotification(this);
        }
    }
    state_.Include(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent* component) {
    RemoveNotification(component);
    component->RemoveNotification(this);
}

void TComponent::RemoveNotification(TComponent* component) {
    std::erase(freeNotifies_, component);
    if (freeNotifies_.empty()) state_.Exclude(csFreeNotification);
}

void TComponent::RemoveFreeNotifications() {
    // Unlinked before the call, so a Notification that does not pass the
    // removal on to this base cannot make the loop spin; a partner that links
    // again after it was told is unlinked without being told twice.
    std::vector<TComponent*> told;
    while (!freeNotifies_.empty()) {
        TComponent* other = freeNotifies_.back();
        RemoveFreeNotification(other);
        if (std::find(told.begin(), told.end(), other) != told.end()) continue;
        told.push_back(other);
        other->Notification(this, opRemove);
    }
}

void TComponent::Notification(TComponent* component, TOperation operation) {
    if (operation == opRemove && component) RemoveFreeNotification(component);
    // A notified component may free others, so the index is re-checked each turn.
    for (size_t i = components_.size(); i-- > 0;) {
        components_[i]->Notification(component, operation);
        if (i > components_.size()) i = components_.size();
    }
}

void TComponent::ValidateRename(TComponent* component, const String& curName, const String& newName) {
    if (component && !SameText(curName, newName) && component->owner_ == this && FindComponent(newName))
        throw EComponentError("A component named " + newName + " already exists");
}

String TComponent::GetNamePath() const { return name_; }

TPersistent* TComponent::GetOwner() const { return owner_; }

void TComponent::Insert(TComponent* component) {
    components_.push_back(component);
    component->owner_ = this;
}

void TComponent::Remove(TComponent* component) {
    std::erase(components_, component);
    component->owner_ = nullptr;
}
