#pragma once
// Action lists: the actions of a form, frame or data module, with handlers
// that run before each action's own, the keys that execute them, and their
// idle updates.

#include <functional>
#include <vector>

#include "platform/ui/Actions.h"
#include "platform/ui/graphics/ImageListReference.h"

enum class TActionListState { asNormal, asSuspended };
using enum TActionListState;
RTL_ENUM(TActionListState, asNormal, asSuspended);

// Set Handled to stop the action's own handler.
using TActionEvent = std::function<void(TBasicAction* action, bool& handled)>;

class TCustomForm;

class TCustomActionList : public TComponent {
    RTL_CLASS(TCustomActionList, TComponent);

public:
    explicit TCustomActionList(TComponent* owner);
    // The actions stay with their owner, outside any list.
    ~TCustomActionList() override;

    int ActionCount() const noexcept { return int(actions_.size()); }
    TContainedAction* Actions(int index) const;
    // The image list the clients take ImageIndex from.
    TCustomImageList* Images() const noexcept { return images_.Get(); }
    void SetImages(TCustomImageList* value) { images_.Set(value); }
    TActionListState State() const noexcept { return state_; }
    void SetState(TActionListState value) { state_ = value; }

    // OnExecute for an action of the list; true when it handled it.
    virtual bool ExecuteAction(TBasicAction* action);
    // OnUpdate for an action of the list; true when it handled it.
    virtual bool UpdateAction(TBasicAction* action);
    // A WM_KEYDOWN whose shortcut an action of the list has executes it;
    // true when it ran (a disabled action leaves the key to the control).
    virtual bool IsShortCut(TMessage& message);
    // Updates every action of the list (once per idle pass).
    void UpdateActions();

    TActionEvent OnExecute;
    TActionEvent OnUpdate;

private:
    friend class TContainedAction;
    std::vector<TContainedAction*> actions_;
    TImageListReference images_;
    TActionListState state_ = asNormal;
};

class TActionList : public TCustomActionList {
    RTL_CLASS(TActionList, TCustomActionList);

public:
    explicit TActionList(TComponent* owner) : TCustomActionList(owner) {}
};

// Calls Visit with each action list owned by Form or by a showing frame
// inside it, until Visit answers true; answers that. Only the program's
// lists are looked at, not every component the form owns.
bool VisitFormActionLists(TCustomForm* form, const std::function<bool(TCustomActionList&)>& visit);
