// Idle updates of actions against a baseline measured in the same run:
//   an idle pass over a shown form with 50 controls, each linked to its own
//   action of the form's action list (every action has an OnUpdate)
//                                                   vs the same pass over a shown form without actions
// The pass is the application's idle step (the control under the pointer,
// hints, OnIdle, the actions); a message is kept waiting so that it does not
// block. Also the allocations of the passes and of their action updates alone
// (target: none). The last line is the ratio.

#include <cstdio>

#include "AllocationCount.h"
#include "BenchTiming.h"
#include "platform/ui/ActnList.h"
#include "platform/ui/Application.h"
#include "platform/ui/CustomControl.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Screen.h"
#include "platform/win/User.h"

namespace {

constexpr int kActions = 50;

class TButtonLike : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;

protected:
    void Paint() override {}
};

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

TForm* ShownForm(int actions, long& updates) {
    auto* form = new TForm(&Application());
    form->SetBounds(0, 0, 800, 600);
    auto* list = new TActionList(form);
    for (int i = 0; i < actions; ++i) {
        auto* action = new TAction(form);
        action->SetActionList(list);
        action->SetCaption(u"任务");
        action->OnUpdate = [&updates](TObject* sender) {
            ++updates;
            static_cast<TAction*>(sender)->SetEnabled(true);
        };
        auto* button = new TButtonLike(form);
        button->SetBounds(i % 25 * 30, i / 25 * 30, 24, 24);
        button->SetParent(form);
        button->SetAction(action);
    }
    form->Show();
    Pump();
    return form;
}

} // namespace

int main() {
    long updates = 0;
    const MSG idleMessage{};
    auto idlePass = [&] { Application().Idle(idleMessage); };
    // Allocations in 100 calls, after one that may set up caches.
    auto allocationsOf = [](const std::function<void()>& run) {
        run();
        const long before = AllocationsSoFar();
        for (int i = 0; i < 100; ++i) run();
        return AllocationsSoFar() - before;
    };

    TForm* empty = ShownForm(0, updates);
    PostMessageW(Application().Handle(), WM_NULL, 0, 0);
    const double emptyTime = 1e9 * TTiming(31).Repeat(2000).MedianSeconds(idlePass);
    const long emptyAllocations = allocationsOf(idlePass);
    delete empty;
    Pump();

    TForm* busy = ShownForm(kActions, updates);
    PostMessageW(Application().Handle(), WM_NULL, 0, 0);
    updates = 0;
    idlePass();
    const long updatesPerPass = updates;
    const double actionTime = 1e9 * TTiming(31).Repeat(2000).MedianSeconds(idlePass);
    const long allocations = allocationsOf(idlePass);
    const long actionAllocations = allocationsOf([] { Application().DoActionIdle(); });

    std::printf("idle pass, form without actions          %9.1f ns\n", emptyTime);
    std::printf("idle pass, form with %d linked actions   %9.1f ns   (%ld updates per pass)\n", kActions, actionTime,
                updatesPerPass);
    std::printf("allocations in 100 passes: without actions %ld, with actions %ld, of the action updates alone %ld "
                "(target: 0)\n",
                emptyAllocations, allocations, actionAllocations);
    std::printf("ratio actions / empty idle pass: %.2f\n", actionTime / emptyTime);
    delete busy;
    FreeApplication();
    FreeScreen();
    return 0;
}
