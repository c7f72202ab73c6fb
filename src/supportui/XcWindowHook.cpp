#include "supportui/XcWindowHook.h"

#include "platform/rtl/Filer.h"
#include "platform/ui/Forms.h"

RTL_PUBLISHED(TXcWindowHook, c) {
    c.Property("Active", &TXcWindowHook::Active, &TXcWindowHook::SetActive).Default(true);
    c.Property("Control", &TXcWindowHook::Control, &TXcWindowHook::SetControl).Stored(&TXcWindowHook::IsControlStored);
    c.Property("BeforeMessage", &TXcWindowHook::BeforeMessage, &TXcWindowHook::SetBeforeMessage);
    c.Property("AfterMessage", &TXcWindowHook::AfterMessage, &TXcWindowHook::SetAfterMessage);
}

TXcWindowHook::TXcWindowHook(TComponent* owner) : TXcComponent(owner) {}

TXcWindowHook::~TXcWindowHook() {
    SetActive(false);
    SetControl(nullptr);
}

bool TXcWindowHook::Designing() const { return ComponentState().Contains(csDesigning); }

void TXcWindowHook::SetHookRegistered(TXcHookOrder order, bool registered) {
    const TXcHookMethod method = order == hoBeforeMsg ? TXcHookMethod::Of<&TXcWindowHook::DoBeforeMessage>(this)
                                                      : TXcHookMethod::Of<&TXcWindowHook::DoAfterMessage>(this);
    if (registered)
        RegisterMessageHook(control_, method, order);
    else
        UnregisterMessageHook(control_, method, order);
}

void TXcWindowHook::SetActive(bool value) {
    if (active_ == value) return;
    active_ = value;
    if (Designing()) return;
    if (afterMessage_) SetHookRegistered(hoAfterMsg, value);
    if (beforeMessage_) SetHookRegistered(hoBeforeMsg, value);
}

void TXcWindowHook::SetControl(TControl* value) {
    if (value == control_) return;
    const bool wasActive = active_;
    SetActive(false);
    if (control_) control_->RemoveFreeNotification(this);
    if (value && value->ComponentState().Contains(csDestroying)) {
        control_ = nullptr;
        return;
    }
    control_ = value;
    if (control_) control_->FreeNotification(this);
    SetActive(wasActive);
}

void TXcWindowHook::SetBeforeMessage(TXcHookMessageEvent value) {
    const bool changes = bool(value) != bool(beforeMessage_);
    beforeMessage_ = std::move(value);
    if (changes && active_ && !Designing()) SetHookRegistered(hoBeforeMsg, bool(beforeMessage_));
}

void TXcWindowHook::SetAfterMessage(TXcHookMessageEvent value) {
    const bool changes = bool(value) != bool(afterMessage_);
    afterMessage_ = std::move(value);
    if (changes && active_ && !Designing()) SetHookRegistered(hoAfterMsg, bool(afterMessage_));
}

bool TXcWindowHook::CallEvent(const TXcHookMessageEvent& event, TMessage& message) {
    bool handled = false;
    if (event) event(this, message, handled);
    return handled;
}

TControl* TXcWindowHook::OwnerForm() const { return dynamic_cast<TCustomForm*>(Owner()); }

bool TXcWindowHook::IsForm() const { return control_ && control_ == OwnerForm(); }

bool TXcWindowHook::IsControlStored() const { return control_ && !IsForm(); }

void TXcWindowHook::DefineProperties(TFiler* filer) {
    TXcComponent::DefineProperties(filer);
    filer->DefineProperty(
        u"IsForm",
        [this](TReader& reader) {
            if (reader.ReadBoolean()) SetControl(OwnerForm());
        },
        [this](TWriter& writer) { writer.WriteBoolean(IsForm()); }, IsForm());
}

void TXcWindowHook::Notification(TComponent* component, TOperation operation) {
    TXcComponent::Notification(component, operation);
    if (operation != opRemove || !component) return;
    if (component == control_ || (component == Owner() && control_)) SetControl(nullptr);
}
