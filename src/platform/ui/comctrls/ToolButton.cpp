#include "platform/ui/comctrls/ToolButton.h"

#include "platform/ui/Menus.h"
#include "platform/ui/comctrls/ToolBar.h"
#include "platform/win/User.h"

RTL_PUBLISHED(TToolButton, c) {
    c.Property("AllowAllUp", &TToolButton::AllowAllUp, &TToolButton::SetAllowAllUp).Default(false);
    c.Property("Down", &TToolButton::Down, &TToolButton::SetDown).Default(false);
    c.Property("DropdownMenu", &TToolButton::DropdownMenu, &TToolButton::SetDropdownMenu);
    c.Property("Grouped", &TToolButton::Grouped, &TToolButton::SetGrouped).Default(false);
    c.Property("ImageIndex", &TToolButton::ImageIndex, &TToolButton::SetImageIndex).Default(-1);
    c.Property("Style", &TToolButton::Style, &TToolButton::SetStyle).Default(tbsButton);
    c.Property("Wrap", &TToolButton::Wrap, &TToolButton::SetWrap).Default(false);
}

UI_MESSAGE_MAP(TToolButton, t) {
    t.On<&TToolButton::CMTextChanged>(CM_TEXTCHANGED);
    t.On<&TToolButton::CMEnabledChanged>(CM_ENABLEDCHANGED);
    t.On<&TToolButton::CMVisibleChanged>(CM_VISIBLECHANGED);
}

TToolButton::TToolButton(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 23, 22); }

TToolButton::~TToolButton() {
    if (toolBar_) toolBar_->RemoveButton(this);
}

int TToolButton::Index() const {
    if (!toolBar_) return -1;
    for (int i = 0; i < toolBar_->ButtonCount(); ++i)
        if (toolBar_->Buttons(i) == this) return i;
    return -1;
}

void TToolButton::UpdateButton() {
    if (toolBar_) toolBar_->UpdateButton(Index());
}

void TToolButton::SetDown(bool value) {
    if (down_ == value) return;
    down_ = value;
    if (value && grouped_ && IsCheckStyle()) UncheckGroupOthers();
    UpdateButton();
}

void TToolButton::UncheckGroupOthers() {
    if (!toolBar_) return;
    const int index = Index();
    auto inGroup = [this](int i) {
        if (i < 0 || i >= toolBar_->ButtonCount()) return false;
        const TToolButton* b = toolBar_->Buttons(i);
        return b->grouped_ && b->IsCheckStyle();
    };
    for (int step : {-1, 1})
        for (int i = index + step; inGroup(i); i += step) {
            TToolButton* other = toolBar_->Buttons(i);
            if (!other->down_) continue;
            other->down_ = false;
            toolBar_->UpdateButton(i);
        }
}

void TToolButton::SetDropdownMenu(TPopupMenu* value) {
    if (dropdownMenu_ == value) return;
    if (dropdownMenu_) dropdownMenu_->RemoveFreeNotification(this);
    dropdownMenu_ = value;
    if (value) value->FreeNotification(this);
}

void TToolButton::SetGrouped(bool value) {
    if (grouped_ == value) return;
    grouped_ = value;
    if (toolBar_) toolBar_->RebuildButtons();
}

void TToolButton::SetImageIndex(int value) {
    if (imageIndex_ == value) return;
    imageIndex_ = value;
    UpdateButton();
}

void TToolButton::SetStyle(TToolButtonStyle value) {
    if (style_ == value) return;
    style_ = value;
    if (IsSeparator() && !ComponentState().Contains(csLoading)) SetWidth(8);
    if (toolBar_) toolBar_->RebuildButtons();
}

void TToolButton::SetWrap(bool value) {
    if (wrap_ == value) return;
    wrap_ = value;
    UpdateButton();
}

void TToolButton::Click() { TGraphicControl::Click(); }

void TToolButton::SetBounds(int left, int top, int width, int height) {
    const bool separatorResized = IsSeparator() && width != Width();
    TGraphicControl::SetBounds(left, top, width, height);
    if (separatorResized) UpdateButton();
}

// The toolbar's window draws the buttons; a divider adds its line down the middle.
void TToolButton::Paint() {
    if (style_ != tbsDivider) return;
    RECT line{Width() / 2 - 1, 0, Width() / 2 + 1, Height()};
    DrawEdge(Canvas()->Handle(), &line, EDGE_ETCHED, BF_LEFT);
}

void TToolButton::ActionChange(TBasicAction* sender, bool checkDefaults) {
    TGraphicControl::ActionChange(sender, checkDefaults);
    auto* action = dynamic_cast<TCustomAction*>(sender);
    if (!action) return;
    if (!checkDefaults || imageIndex_ == -1) SetImageIndex(action->ImageIndex());
    if (!checkDefaults || !down_) SetDown(action->Checked());
}

std::unique_ptr<TControlActionLink> TToolButton::CreateActionLink() {
    return std::make_unique<TToolButtonActionLink>(this);
}

void TToolButton::Notification(TComponent* component, TOperation operation) {
    TGraphicControl::Notification(component, operation);
    if (operation == opRemove && component == dropdownMenu_) dropdownMenu_ = nullptr;
}

void TToolButton::CMTextChanged(TMessage& m) {
    InheritedMessage(m);
    UpdateButton();
}

void TToolButton::CMEnabledChanged(TMessage& m) {
    InheritedMessage(m);
    UpdateButton();
}

void TToolButton::CMVisibleChanged(TMessage& m) {
    InheritedMessage(m);
    UpdateButton();
}

// --- The action link ---------------------------------------------------------------------

bool TToolButtonActionLink::IsCheckedLinked() const {
    return TControlActionLink::IsCheckedLinked() && Button()->Down() == CustomAction()->Checked();
}

bool TToolButtonActionLink::IsImageIndexLinked() const {
    return TControlActionLink::IsImageIndexLinked() && Button()->ImageIndex() == CustomAction()->ImageIndex();
}

void TToolButtonActionLink::SetChecked(bool value) {
    if (IsCheckedLinked()) Button()->SetDown(value);
}

void TToolButtonActionLink::SetImageIndex(int value) {
    if (IsImageIndexLinked()) Button()->SetImageIndex(value);
}
