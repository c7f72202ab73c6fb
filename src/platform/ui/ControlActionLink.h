#pragma once
// The link between a control and its action: the control's caption, enabled
// state, hint, visibility and help context follow the action while they
// agree with it. Controls with more to show (a tool button's image index and
// check) derive from it and make theirs in CreateActionLink.

#include "platform/ui/Actions.h"

class TControl;

class TControlActionLink : public TActionLink {
public:
    explicit TControlActionLink(TControl* client);

    bool IsCaptionLinked() const override;
    bool IsEnabledLinked() const override;
    bool IsHelpContextLinked() const override;
    bool IsHintLinked() const override;
    bool IsVisibleLinked() const override;

    void SetCaption(const String& value) override;
    void SetEnabled(bool value) override;
    void SetHelpContext(int value) override;
    void SetHint(const String& value) override;
    void SetVisible(bool value) override;

protected:
    TControl* Control() const noexcept { return control_; }
    // The control drops its action (and this link).
    void ActionDestroying() override;

private:
    TControl* control_;
};
