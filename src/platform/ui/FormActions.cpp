// A form's idle update of its actions.

#include "platform/ui/ActnList.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Menus.h"

namespace {

// The action clients among the children, and inside the showing windowed
// ones. A hidden client is updated too: its action may show it again.
void UpdateClients(TWinControl& container) {
    for (int i = 0; i < container.ControlCount(); ++i) {
        TControl* control = container.Controls(i);
        if (control->ControlStyle().Contains(csActionClient)) control->InitiateAction();
        auto* windowed = dynamic_cast<TWinControl*>(control);
        if (windowed && windowed->ControlCount() > 0 && windowed->Showing()) UpdateClients(*windowed);
    }
}

} // namespace

void TCustomForm::UpdateActions() {
    if (!Showing()) return;
    InitiateAction();
    if (TMainMenu* menu = Menu())
        for (int i = 0; i < menu->Items()->Count(); ++i) menu->Items()->Items(i)->InitiateAction();
    UpdateClients(*this);
    VisitFormActionLists(this, [](TCustomActionList& list) {
        list.UpdateActions();
        return false;
    });
}
