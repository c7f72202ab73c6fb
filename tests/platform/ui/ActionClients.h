#pragma once
// Action clients for the action tests: a tool-button-like control whose link
// adds the image index and the check, and a menu-item-like component (not a
// control) with a link of its own, as the menu classes will have.

#include "ControlFixture.h"
#include "platform/ui/ControlActionLink.h"

class TTestToolButton : public TGraphicControl {
public:
    explicit TTestToolButton(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 24, 24); }
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int value) { imageIndex_ = value; }
    bool Down() const { return down_; }
    void SetDown(bool value) { down_ = value; }

protected:
    std::unique_ptr<TControlActionLink> CreateActionLink() override;
    void ActionChange(TBasicAction* sender, bool checkDefaults) override;
    void Paint() override {}

private:
    int imageIndex_ = -1;
    bool down_ = false;
};

class TTestMenuItem : public TComponent {
public:
    explicit TTestMenuItem(TComponent* owner) : TComponent(owner) {}
    ~TTestMenuItem() override;

    String caption;
    bool enabled = true;
    bool visible = true;
    bool checked = false;
    int imageIndex = -1;
    TShortCut shortCut = scNone;
    String hint;
    TNotifyEvent OnClick;

    TBasicAction* Action() const { return link_ ? link_->Action() : nullptr; }
    void SetAction(TBasicAction* value);
    // What a menu does before its popup opens.
    void InitiateAction() {
        if (link_) link_->Update();
    }
    void Click();

private:
    friend class TTestMenuItemLink;
    std::unique_ptr<TActionLink> link_;
};
