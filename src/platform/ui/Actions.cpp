#include "platform/ui/Actions.h"

#include <algorithm>

#include "platform/ui/ActnList.h"

RTL_PUBLISHED_NONE(TBasicAction);
RTL_PUBLISHED(TContainedAction, c) {
    c.Property("Category", &TContainedAction::Category, &TContainedAction::SetCategory);
}
RTL_PUBLISHED(TCustomAction, c) {
    c.Property("AutoCheck", &TCustomAction::AutoCheck, &TCustomAction::SetAutoCheck).Default(false);
    c.Property("Caption", &TCustomAction::Caption, &TCustomAction::SetCaption);
    c.Property("Checked", &TCustomAction::Checked, &TCustomAction::SetChecked).Default(false);
    c.Property("Enabled", &TCustomAction::Enabled, &TCustomAction::SetEnabled).Default(true);
    c.Property("GroupIndex", &TCustomAction::GroupIndex, &TCustomAction::SetGroupIndex).Default(0);
    c.Property("HelpContext", &TCustomAction::HelpContext, &TCustomAction::SetHelpContext).Default(0);
    c.Property("Hint", &TCustomAction::Hint, &TCustomAction::SetHint);
    c.Property("ImageIndex", &TCustomAction::ImageIndex, &TCustomAction::SetImageIndex).Default(-1);
    c.Property("ShortCut", &TCustomAction::ShortCut, &TCustomAction::SetShortCut)
        .OfType(NamedTypeInfo(TypeInfo<TShortCut>(), "TShortCut"))
        .Default(scNone);
    c.Property("SecondaryShortCuts", &TCustomAction::SecondaryShortCuts, &TCustomAction::SetSecondaryShortCuts)
        .Stored(&TCustomAction::IsSecondaryShortCutsStored);
    c.Property("Visible", &TCustomAction::Visible, &TCustomAction::SetVisible).Default(true);
    c.Property("OnExecute", &TCustomAction::OnExecute, &TCustomAction::OnExecute);
    c.Property("OnUpdate", &TCustomAction::OnUpdate, &TCustomAction::OnUpdate);
}
RTL_PUBLISHED_NONE(TAction);

// --- Links -----------------------------------------------------------------------------

TBasicActionLink::~TBasicActionLink() { SetAction(nullptr); }

void TBasicActionLink::SetAction(TBasicAction* value) {
    if (action_ == value) return;
    if (action_) std::erase(action_->links_, this);
    action_ = value;
    if (value) value->links_.push_back(this);
}

bool TBasicActionLink::Execute(TComponent* component) {
    if (!action_) return false;
    action_->SetActionComponent(component);
    const bool result = action_->Execute();
    if (action_) action_->SetActionComponent(nullptr);
    return result;
}

bool TBasicActionLink::Update() { return action_ && TActionIdlePass::FirstVisit(*action_) && action_->Update(); }

TCustomAction* TActionLink::CustomAction() const { return dynamic_cast<TCustomAction*>(Action()); }

// --- TBasicAction -------------------------------------------------------------------------

TBasicAction::~TBasicAction() {
    Destroying();
    SetActionComponent(nullptr);
    // The clients let go while the action is still whole.
    while (!links_.empty()) links_.back()->ActionDestroying();
}

bool TBasicAction::Execute() {
    if (!OnExecute) return false;
    OnExecute(this);
    return true;
}

bool TBasicAction::Update() {
    if (!OnUpdate) return false;
    OnUpdate(this);
    return true;
}

void TBasicAction::SetActionComponent(TComponent* value) {
    if (actionComponent_ == value) return;
    if (actionComponent_) actionComponent_->RemoveFreeNotification(this);
    actionComponent_ = value;
    if (value) value->FreeNotification(this);
}

void TBasicAction::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == actionComponent_) actionComponent_ = nullptr;
}

// --- TContainedAction ------------------------------------------------------------------------

TContainedAction::~TContainedAction() {
    Destroying();
    SetActionList(nullptr);
}

void TContainedAction::SetActionList(TCustomActionList* value) {
    if (actionList_ == value) return;
    if (actionList_) std::erase(actionList_->actions_, this);
    actionList_ = value;
    if (value) value->actions_.push_back(this);
}

int TContainedAction::Index() const {
    if (!actionList_) return -1;
    const auto& list = actionList_->actions_;
    return int(std::find(list.begin(), list.end(), this) - list.begin());
}

void TContainedAction::SetIndex(int value) {
    if (!actionList_) return;
    auto& list = actionList_->actions_;
    std::erase(list, this);
    list.insert(list.begin() + std::clamp(value, 0, int(list.size())), this);
}

bool TContainedAction::Suspended() const { return actionList_ && actionList_->State() != asNormal; }

bool TContainedAction::Execute() {
    if (Suspended()) return false;
    return (actionList_ && actionList_->ExecuteAction(this)) || TBasicAction::Execute();
}

bool TContainedAction::Update() {
    if (Suspended()) return false;
    return (actionList_ && actionList_->UpdateAction(this)) || TBasicAction::Update();
}

TComponent* TContainedAction::GetParentComponent() const { return actionList_; }

// --- TCustomAction ---------------------------------------------------------------------------

TCustomAction::TCustomAction(TComponent* owner)
    : TContainedAction(owner), secondaryShortCuts_(std::make_unique<TShortCutList>()) {}

void TCustomAction::SetAutoCheck(bool value) {
    Assign(autoCheck_, value, [&](TActionLink& link) { link.SetAutoCheck(value); });
}

void TCustomAction::SetCaption(const String& value) {
    Assign(caption_, value, [&](TActionLink& link) { link.SetCaption(value); });
}

void TCustomAction::SetEnabled(bool value) {
    Assign(enabled_, value, [&](TActionLink& link) { link.SetEnabled(value); });
}

void TCustomAction::SetGroupIndex(int value) {
    Assign(groupIndex_, value, [&](TActionLink& link) { link.SetGroupIndex(value); });
    if (checked_) UncheckGroup();
}

void TCustomAction::SetHelpContext(int value) {
    Assign(helpContext_, value, [&](TActionLink& link) { link.SetHelpContext(value); });
}

void TCustomAction::SetHint(const String& value) {
    Assign(hint_, value, [&](TActionLink& link) { link.SetHint(value); });
}

void TCustomAction::SetImageIndex(int value) {
    Assign(imageIndex_, value, [&](TActionLink& link) { link.SetImageIndex(value); });
}

void TCustomAction::SetShortCut(TShortCut value) {
    Assign(shortCut_, value, [&](TActionLink& link) { link.SetShortCut(value); });
}

void TCustomAction::SetVisible(bool value) {
    Assign(visible_, value, [&](TActionLink& link) { link.SetVisible(value); });
}

void TCustomAction::SetChecked(bool value) {
    // Unchecking the group's others comes back here for each of them.
    if (checking_) return;
    checking_ = true;
    struct TDone {
        bool& flag;
        ~TDone() { flag = false; }
    } done{checking_};
    Assign(checked_, value, [&](TActionLink& link) { link.SetChecked(value); });
    if (checked_) UncheckGroup();
}

void TCustomAction::UncheckGroup() {
    if (groupIndex_ <= 0 || !ActionList()) return;
    for (int i = 0; i < ActionList()->ActionCount(); ++i) {
        auto* other = dynamic_cast<TCustomAction*>(ActionList()->Actions(i));
        if (other && other != this && other->groupIndex_ == groupIndex_) other->SetChecked(false);
    }
}

bool TCustomAction::HasShortCut(TShortCut shortCut) const {
    return shortCut != scNone && (shortCut_ == shortCut || secondaryShortCuts_->IndexOfShortCut(shortCut) >= 0);
}

bool TCustomAction::Execute() {
    if (Suspended()) return false;
    Update();
    if (!enabled_) return false;
    if (autoCheck_ && (!checked_ || groupIndex_ == 0)) SetChecked(!checked_);
    return TContainedAction::Execute();
}

// --- Idle passes ---------------------------------------------------------------------------

namespace {

uint32_t idlePassNumber = 0;
bool idlePassRunning = false;

} // namespace

TActionIdlePass::TActionIdlePass() {
    // 0 marks an action no pass has visited.
    if (++idlePassNumber == 0) ++idlePassNumber;
    idlePassRunning = true;
}

TActionIdlePass::~TActionIdlePass() { idlePassRunning = false; }

bool TActionIdlePass::FirstVisit(TBasicAction& action) {
    if (!idlePassRunning) return true;
    if (action.idlePass_ == idlePassNumber) return false;
    action.idlePass_ = idlePassNumber;
    return true;
}
