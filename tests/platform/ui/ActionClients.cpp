#include "ActionClients.h"

namespace {

class TTestToolButtonLink : public TControlActionLink {
public:
    explicit TTestToolButtonLink(TTestToolButton* button) : TControlActionLink(button), button_(button) {}
    bool IsImageIndexLinked() const override {
        return TControlActionLink::IsImageIndexLinked() && button_->ImageIndex() == CustomAction()->ImageIndex();
    }
    bool IsCheckedLinked() const override {
        return TControlActionLink::IsCheckedLinked() && button_->Down() == CustomAction()->Checked();
    }
    void SetImageIndex(int value) override {
        if (IsImageIndexLinked()) button_->SetImageIndex(value);
    }
    void SetChecked(bool value) override {
        if (IsCheckedLinked()) button_->SetDown(value);
    }

private:
    TTestToolButton* button_;
};

} // namespace

std::unique_ptr<TControlActionLink> TTestToolButton::CreateActionLink() {
    return std::make_unique<TTestToolButtonLink>(this);
}

void TTestToolButton::ActionChange(TBasicAction* sender, bool checkDefaults) {
    TGraphicControl::ActionChange(sender, checkDefaults);
    if (auto* action = dynamic_cast<TCustomAction*>(sender)) {
        if (!checkDefaults || imageIndex_ == -1) imageIndex_ = action->ImageIndex();
        if (!checkDefaults || !down_) down_ = action->Checked();
    }
}

// The menu item's side: each property follows while it equals the action's.
class TTestMenuItemLink : public TActionLink {
public:
    explicit TTestMenuItemLink(TTestMenuItem* item) : TActionLink(item), item_(item) {}
    bool IsCaptionLinked() const override { return Linked() && item_->caption == CustomAction()->Caption(); }
    bool IsEnabledLinked() const override { return Linked() && item_->enabled == CustomAction()->Enabled(); }
    bool IsVisibleLinked() const override { return Linked() && item_->visible == CustomAction()->Visible(); }
    bool IsCheckedLinked() const override { return Linked() && item_->checked == CustomAction()->Checked(); }
    bool IsImageIndexLinked() const override { return Linked() && item_->imageIndex == CustomAction()->ImageIndex(); }
    bool IsShortCutLinked() const override { return Linked() && item_->shortCut == CustomAction()->ShortCut(); }
    bool IsHintLinked() const override { return Linked() && item_->hint == CustomAction()->Hint(); }
    void SetCaption(const String& value) override {
        if (IsCaptionLinked()) item_->caption = value;
    }
    void SetEnabled(bool value) override {
        if (IsEnabledLinked()) item_->enabled = value;
    }
    void SetVisible(bool value) override {
        if (IsVisibleLinked()) item_->visible = value;
    }
    void SetChecked(bool value) override {
        if (IsCheckedLinked()) item_->checked = value;
    }
    void SetImageIndex(int value) override {
        if (IsImageIndexLinked()) item_->imageIndex = value;
    }
    void SetShortCut(TShortCut value) override {
        if (IsShortCutLinked()) item_->shortCut = value;
    }
    void SetHint(const String& value) override {
        if (IsHintLinked()) item_->hint = value;
    }

protected:
    void ActionDestroying() override { item_->SetAction(nullptr); }

private:
    bool Linked() const { return CustomAction() != nullptr; }
    TTestMenuItem* item_;
};

TTestMenuItem::~TTestMenuItem() { link_.reset(); }

void TTestMenuItem::SetAction(TBasicAction* value) {
    if (!value) {
        link_.reset();
        return;
    }
    if (!link_) link_ = std::make_unique<TTestMenuItemLink>(this);
    link_->SetAction(value);
    if (auto* action = dynamic_cast<TCustomAction*>(value)) {
        caption = action->Caption();
        enabled = action->Enabled();
        visible = action->Visible();
        checked = action->Checked();
        imageIndex = action->ImageIndex();
        shortCut = action->ShortCut();
        hint = action->Hint();
    }
}

void TTestMenuItem::Click() {
    if (OnClick)
        OnClick(this);
    else if (link_)
        link_->Execute(this);
}
