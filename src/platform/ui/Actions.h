#pragma once
// Actions: commands with the state their clients show. A client (a control,
// a menu item, a tool button) holds a link to its action; before the action
// takes a new caption, enabled state, check... it hands the value to each
// link, and the link sets the client's property while the client still shows
// the action's old value. A client whose own value differs keeps it.
//
// Executing an action runs its list's OnExecute and, when that leaves it
// unhandled, the action's own; updating (on idle, before a popup opens) runs
// OnUpdate the same way. A client's click executes its action.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/rtl/ClassInfo.h"
#include "platform/rtl/Component.h"
#include "platform/ui/Events.h"
#include "platform/ui/ShortCuts.h"

class TBasicAction;
class TCustomAction;
class TCustomActionList;

// A client's connection to its action. Each kind of client derives its own
// link and sets the client's properties in the setters the action calls.
class TBasicActionLink {
public:
    explicit TBasicActionLink(TObject* client) : client_(client) {}
    virtual ~TBasicActionLink();
    TBasicActionLink(const TBasicActionLink&) = delete;
    TBasicActionLink& operator=(const TBasicActionLink&) = delete;

    TBasicAction* Action() const noexcept { return action_; }
    void SetAction(TBasicAction* value);
    TObject* Client() const noexcept { return client_; }
    // The client was used: the action executes with Component as its ActionComponent.
    virtual bool Execute(TComponent* component = nullptr);
    // The action updates, once per idle pass however many clients share it.
    virtual bool Update();

protected:
    // The action is being freed: the link lets go of it. A client that keeps
    // state for its action drops it here (the link may be freed by it).
    virtual void ActionDestroying() { SetAction(nullptr); }

private:
    friend class TBasicAction;
    TObject* client_;
    TBasicAction* action_ = nullptr;
};

// The link of clients that show an action's state. The setters run before
// the action stores the value; IsXLinked tells whether the client follows
// the action in that property (it does while its value equals the action's).
class TActionLink : public TBasicActionLink {
public:
    using TBasicActionLink::TBasicActionLink;

    virtual bool IsAutoCheckLinked() const { return CustomAction() != nullptr; }
    virtual bool IsCaptionLinked() const { return CustomAction() != nullptr; }
    virtual bool IsCheckedLinked() const { return CustomAction() != nullptr; }
    virtual bool IsEnabledLinked() const { return CustomAction() != nullptr; }
    virtual bool IsGroupIndexLinked() const { return CustomAction() != nullptr; }
    virtual bool IsHelpContextLinked() const { return CustomAction() != nullptr; }
    virtual bool IsHintLinked() const { return CustomAction() != nullptr; }
    virtual bool IsImageIndexLinked() const { return CustomAction() != nullptr; }
    virtual bool IsShortCutLinked() const { return CustomAction() != nullptr; }
    virtual bool IsVisibleLinked() const { return CustomAction() != nullptr; }

    virtual void SetAutoCheck(bool) {}
    virtual void SetCaption(const String&) {}
    virtual void SetChecked(bool) {}
    virtual void SetEnabled(bool) {}
    virtual void SetGroupIndex(int) {}
    virtual void SetHelpContext(int) {}
    virtual void SetHint(const String&) {}
    virtual void SetImageIndex(int) {}
    virtual void SetShortCut(TShortCut) {}
    virtual void SetVisible(bool) {}

protected:
    // The action when it carries client state, else null.
    TCustomAction* CustomAction() const;
};

class TBasicAction : public TComponent {
    RTL_CLASS(TBasicAction, TComponent);

public:
    explicit TBasicAction(TComponent* owner) : TComponent(owner) {}
    ~TBasicAction() override;

    // OnExecute; true when there was one.
    virtual bool Execute();
    // OnUpdate; true when there was one.
    virtual bool Update();
    // The client that executed the action last; null once it is freed.
    TComponent* ActionComponent() const noexcept { return actionComponent_; }
    void SetActionComponent(TComponent* value);
    int ClientCount() const noexcept { return int(links_.size()); }

    TNotifyEvent OnExecute;
    TNotifyEvent OnUpdate;

protected:
    void Notification(TComponent* component, TOperation operation) override;
    // Calls Set on each link (links may leave meanwhile).
    template <class F>
    void ForEachLink(F set) {
        for (size_t i = 0; i < links_.size(); ++i) set(*links_[i]);
    }

private:
    friend class TBasicActionLink;
    friend class TActionIdlePass;
    std::vector<TBasicActionLink*> links_;
    TComponent* actionComponent_ = nullptr;
    uint32_t idlePass_ = 0;
};

// An action that belongs to an action list.
class TContainedAction : public TBasicAction {
    RTL_CLASS(TContainedAction, TBasicAction);

public:
    explicit TContainedAction(TComponent* owner) : TBasicAction(owner) {}
    ~TContainedAction() override;

    TCustomActionList* ActionList() const noexcept { return actionList_; }
    void SetActionList(TCustomActionList* value);
    // The position in the list; -1 outside one.
    int Index() const;
    void SetIndex(int value);
    const String& Category() const noexcept { return category_; }
    void SetCategory(const String& value) { category_ = value; }
    // The list is suspended: the action neither updates nor executes.
    bool Suspended() const;

    // The list's OnExecute, else the action's.
    bool Execute() override;
    // The list's OnUpdate, else the action's.
    bool Update() override;
    TComponent* GetParentComponent() const override;
    bool HasParent() const override { return true; }

private:
    TCustomActionList* actionList_ = nullptr;
    String category_;
};

// The state clients show: caption, checked, enabled, visible, hint, image
// and shortcuts.
class TCustomAction : public TContainedAction {
    RTL_CLASS(TCustomAction, TContainedAction);

public:
    explicit TCustomAction(TComponent* owner);

    bool AutoCheck() const noexcept { return autoCheck_; }
    void SetAutoCheck(bool value);
    const String& Caption() const noexcept { return caption_; }
    void SetCaption(const String& value);
    // Checking an action of a group (GroupIndex > 0) unchecks the others of its list in that group.
    bool Checked() const noexcept { return checked_; }
    void SetChecked(bool value);
    bool Enabled() const noexcept { return enabled_; }
    void SetEnabled(bool value);
    int GroupIndex() const noexcept { return groupIndex_; }
    void SetGroupIndex(int value);
    int HelpContext() const noexcept { return helpContext_; }
    void SetHelpContext(int value);
    const String& Hint() const noexcept { return hint_; }
    void SetHint(const String& value);
    int ImageIndex() const noexcept { return imageIndex_; }
    void SetImageIndex(int value);
    TShortCut ShortCut() const noexcept { return shortCut_; }
    void SetShortCut(TShortCut value);
    // More keys that execute the action.
    TShortCutList* SecondaryShortCuts() const noexcept { return secondaryShortCuts_.get(); }
    void SetSecondaryShortCuts(TShortCutList* value) { secondaryShortCuts_->Assign(value); }
    bool Visible() const noexcept { return visible_; }
    void SetVisible(bool value);

    // Whether the key is the action's shortcut or one of its secondary ones.
    bool HasShortCut(TShortCut shortCut) const;
    // Updates first; a disabled action does not run. AutoCheck toggles
    // Checked (an action of a group only checks).
    bool Execute() override;

private:
    bool IsSecondaryShortCutsStored() const { return secondaryShortCuts_->Count() > 0; }
    // Tells the links (through Tell, while the field still holds the old
    // value), then stores Value.
    template <class T, class Tell>
    void Assign(T& field, const T& value, Tell tell) {
        if (field == value) return;
        ForEachLink([&](TBasicActionLink& link) {
            if (auto* actionLink = dynamic_cast<TActionLink*>(&link)) tell(*actionLink);
        });
        field = value;
    }
    void UncheckGroup();


    bool autoCheck_ = false;
    String caption_;
    bool checked_ = false;
    bool checking_ = false;
    bool enabled_ = true;
    int groupIndex_ = 0;
    int helpContext_ = 0;
    String hint_;
    int imageIndex_ = -1;
    TShortCut shortCut_ = scNone;
    std::unique_ptr<TShortCutList> secondaryShortCuts_;
    bool visible_ = true;
};

class TAction : public TCustomAction {
    RTL_CLASS(TAction, TCustomAction);

public:
    explicit TAction(TComponent* owner) : TCustomAction(owner) {}
};

// One idle update of the program's actions: within it each action updates
// once, however many clients and lists lead to it.
class TActionIdlePass {
public:
    TActionIdlePass();
    ~TActionIdlePass();
    TActionIdlePass(const TActionIdlePass&) = delete;
    TActionIdlePass& operator=(const TActionIdlePass&) = delete;
    // False when a pass is running and has updated the action already.
    static bool FirstVisit(TBasicAction& action);
};
