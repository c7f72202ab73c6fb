#include "platform/ui/ControlActionLink.h"

#include "platform/ui/Control.h"

TControlActionLink::TControlActionLink(TControl* client) : TActionLink(client), control_(client) {}

bool TControlActionLink::IsCaptionLinked() const {
    return TActionLink::IsCaptionLinked() && control_->Caption() == CustomAction()->Caption();
}

bool TControlActionLink::IsEnabledLinked() const {
    return TActionLink::IsEnabledLinked() && control_->Enabled() == CustomAction()->Enabled();
}

bool TControlActionLink::IsHelpContextLinked() const {
    return TActionLink::IsHelpContextLinked() && control_->HelpContext() == CustomAction()->HelpContext();
}

bool TControlActionLink::IsHintLinked() const {
    return TActionLink::IsHintLinked() && control_->Hint() == CustomAction()->Hint();
}

bool TControlActionLink::IsVisibleLinked() const {
    return TActionLink::IsVisibleLinked() && control_->Visible() == CustomAction()->Visible();
}

void TControlActionLink::SetCaption(const String& value) {
    if (IsCaptionLinked()) control_->SetCaption(value);
}

void TControlActionLink::SetEnabled(bool value) {
    if (IsEnabledLinked()) control_->SetEnabled(value);
}

void TControlActionLink::SetHelpContext(int value) {
    if (IsHelpContextLinked()) control_->SetHelpContext(value);
}

void TControlActionLink::SetHint(const String& value) {
    if (IsHintLinked()) control_->SetHint(value);
}

void TControlActionLink::SetVisible(bool value) {
    if (IsVisibleLinked()) control_->SetVisible(value);
}

void TControlActionLink::ActionDestroying() { control_->SetAction(nullptr); }

// --- The control's side -------------------------------------------------------------------

TBasicAction* TControl::Action() const { return actionLink_ ? actionLink_->Action() : nullptr; }

void TControl::SetAction(TBasicAction* value) {
    if (!value) {
        actionLink_.reset();
        controlStyle_.Exclude(csActionClient);
        return;
    }
    if (!actionLink_) actionLink_ = CreateActionLink();
    actionLink_->SetAction(value);
    controlStyle_.Include(csActionClient);
    ActionChange(value, value->ComponentState().Contains(csLoading));
}

std::unique_ptr<TControlActionLink> TControl::CreateActionLink() {
    return std::make_unique<TControlActionLink>(this);
}

void TControl::InitiateAction() {
    if (actionLink_) actionLink_->Update();
}

void TControl::ActionChange(TBasicAction* sender, bool checkDefaults) {
    auto* action = dynamic_cast<TCustomAction*>(sender);
    if (!action) return;
    if (!checkDefaults || Caption().empty() || Caption() == Name()) SetCaption(action->Caption());
    if (!checkDefaults || enabled_) SetEnabled(action->Enabled());
    if (!checkDefaults || hint_.empty()) SetHint(action->Hint());
    if (!checkDefaults || visible_) SetVisible(action->Visible());
    if (!checkDefaults || helpContext_ == 0) SetHelpContext(action->HelpContext());
}
