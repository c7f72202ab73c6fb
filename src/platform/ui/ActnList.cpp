#include "platform/ui/ActnList.h"

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Format.h"
#include "platform/ui/ControlStrings.h"
#include "platform/ui/Forms.h"

RTL_PUBLISHED_NONE(TCustomActionList);
RTL_PUBLISHED(TActionList, c) {
    c.Property("Images", &TActionList::Images, &TActionList::SetImages);
    c.Property("State", &TActionList::State, &TActionList::SetState).Default(asNormal);
    c.Property("OnExecute", &TActionList::OnExecute, &TActionList::OnExecute);
    c.Property("OnUpdate", &TActionList::OnUpdate, &TActionList::OnUpdate);
}

namespace {

// Every action list of the program, in the order they were made.
std::vector<TCustomActionList*>& AllActionLists() {
    static std::vector<TCustomActionList*> lists;
    return lists;
}

} // namespace

TCustomActionList::TCustomActionList(TComponent* owner) : TComponent(owner) { AllActionLists().push_back(this); }

TCustomActionList::~TCustomActionList() {
    Destroying();
    std::erase(AllActionLists(), this);
    while (!actions_.empty()) actions_.back()->SetActionList(nullptr);
}

TContainedAction* TCustomActionList::Actions(int index) const {
    if (index < 0 || index >= ActionCount())
        throw EListError(Format(LoadResString(SListIndexError), {index}));
    return actions_[size_t(index)];
}

bool TCustomActionList::ExecuteAction(TBasicAction* action) {
    bool handled = false;
    if (OnExecute) OnExecute(action, handled);
    return handled;
}

bool TCustomActionList::UpdateAction(TBasicAction* action) {
    bool handled = false;
    if (state_ == asNormal && OnUpdate) OnUpdate(action, handled);
    return handled;
}

bool TCustomActionList::IsShortCut(TMessage& message) {
    const TShortCut shortCut = ShortCutFromMessage(message);
    if (shortCut == scNone) return false;
    for (TContainedAction* action : actions_)
        if (auto* custom = dynamic_cast<TCustomAction*>(action); custom && custom->HasShortCut(shortCut))
            return custom->Execute();
    return false;
}

void TCustomActionList::UpdateActions() {
    // By index: an update may add or free actions.
    for (size_t i = 0; i < actions_.size(); ++i)
        if (TActionIdlePass::FirstVisit(*actions_[i])) actions_[i]->Update();
}

bool VisitFormActionLists(TCustomForm* form, const std::function<bool(TCustomActionList&)>& visit) {
    auto& lists = AllActionLists();
    // By index: a handler may make or free lists.
    for (size_t i = 0; i < lists.size(); ++i) {
        TComponent* owner = lists[i]->Owner();
        auto* frame = dynamic_cast<TFrame*>(owner);
        const bool counts = owner == form || (frame && frame->Showing() && GetParentForm(frame) == form);
        if (counts && visit(*lists[i])) return true;
    }
    return false;
}
