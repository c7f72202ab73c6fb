// Message hooks on a control with a window: chains that change while they
// run, nested dispatch, and the control going away inside a hook.

#include "supportui/XcWndProcHook.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "SupportUiFixture.h"
#include "supportui/XcReleaser.h"

namespace {

constexpr UINT kProbe = WM_USER + 1;

using TTrace = std::vector<std::string>;

// Writes "control" for the probe message and answers 5.
class TTracedControl : public TWinControl {
public:
    TTracedControl(TComponent* owner, TTrace& trace) : TWinControl(owner), trace_(trace) {}

protected:
    void WndProc(TMessage& message) override {
        if (message.Msg == kProbe) {
            trace_.push_back(message.WParam ? "control(nested)" : "control");
            message.Result = 5;
            return;
        }
        TWinControl::WndProc(message);
    }

private:
    TTrace& trace_;
};

struct TScript;

// A hook that writes its name (marked when nested) and runs its step.
struct THook {
    std::string name;
    std::function<bool(TScript&, THook&, TMessage&)> step;
    TScript* script = nullptr;

    bool Run(TMessage& message);
    TXcHookMethod Method() { return TXcHookMethod::Of<&THook::Run>(this); }
};

struct TScript {
    TTrace trace;
    TTracedControl* control = nullptr;
    std::vector<std::unique_ptr<THook>> hooks;

    THook& Hook(const std::string& name, TXcHookOrder order,
                std::function<bool(TScript&, THook&, TMessage&)> step = nullptr) {
        THook& hook = Extra(name, std::move(step));
        RegisterMessageHook(control, hook.Method(), order);
        return hook;
    }
    // A hook not yet registered.
    THook& Extra(const std::string& name, std::function<bool(TScript&, THook&, TMessage&)> step = nullptr) {
        hooks.push_back(std::make_unique<THook>(THook{name, std::move(step), this}));
        return *hooks.back();
    }
};

bool THook::Run(TMessage& message) {
    if (message.Msg != kProbe) return false;
    script->trace.push_back(message.WParam ? name + "(nested)" : name);
    return step ? step(*script, *this, message) : false;
}

struct THookCase {
    const char* what;
    std::function<void(TScript&)> setUp;
    TTrace trace;
    LRESULT result;
};

class WndProcHookTest : public SupportUiTest {
protected:
    TForm* form_ = nullptr;
    TTracedControl* NewControl(TTrace& trace) {
        if (!form_) form_ = Application().CreateForm<TForm>();
        auto* control = new TTracedControl(form_, trace);
        control->SetParent(form_);
        control->HandleNeeded();
        return control;
    }
};

TEST_F(WndProcHookTest, ChainsRunInOrderAndFollowChangesMadeWhileTheyRun) {
    const THookCase cases[] = {
        {"before, procedure, after", [](TScript& s) {
             s.Hook("A1", hoAfterMsg);
             s.Hook("B1", hoBeforeMsg);
             s.Hook("B2", hoBeforeMsg);
         },
         {"B1", "B2", "control", "A1"}, 5},
        {"a before-hook answering true stops the rest and keeps its result", [](TScript& s) {
             s.Hook("B1", hoBeforeMsg, [](TScript&, THook&, TMessage& m) {
                 m.Result = 7;
                 return true;
             });
             s.Hook("B2", hoBeforeMsg);
             s.Hook("A1", hoAfterMsg);
         },
         {"B1"}, 7},
        {"an after-hook answering true stops the after chain", [](TScript& s) {
             s.Hook("A1", hoAfterMsg, [](TScript&, THook&, TMessage&) { return true; });
             s.Hook("A2", hoAfterMsg);
         },
         {"control", "A1"}, 5},
        {"a hook removing itself lets the next one run", [](TScript& s) {
             s.Hook("B1", hoBeforeMsg, [](TScript& s, THook& self, TMessage&) {
                 UnregisterMessageHook(s.control, self.Method(), hoBeforeMsg);
                 return false;
             });
             s.Hook("B2", hoBeforeMsg);
         },
         {"B1", "B2", "control"}, 5},
        {"a hook removing the next one skips it", [](TScript& s) {
             THook& b2 = s.Extra("B2");
             s.Hook("B1", hoBeforeMsg, [&b2](TScript& s, THook&, TMessage&) {
                 UnregisterMessageHook(s.control, b2.Method(), hoBeforeMsg);
                 return false;
             });
             RegisterMessageHook(s.control, b2.Method(), hoBeforeMsg);
             s.Hook("B3", hoBeforeMsg);
         },
         {"B1", "B3", "control"}, 5},
        {"a hook added by the last of its chain runs in the same dispatch", [](TScript& s) {
             THook& a2 = s.Extra("A2");
             s.Hook("A1", hoAfterMsg, [&a2](TScript& s, THook&, TMessage&) {
                 RegisterMessageHook(s.control, a2.Method(), hoAfterMsg);
                 return false;
             });
         },
         {"control", "A1", "A2"}, 5},
        {"a hook added in the middle of its chain runs after the others", [](TScript& s) {
             THook& b3 = s.Extra("B3");
             s.Hook("B1", hoBeforeMsg, [&b3](TScript& s, THook&, TMessage&) {
                 RegisterMessageHook(s.control, b3.Method(), hoBeforeMsg);
                 return false;
             });
             s.Hook("B2", hoBeforeMsg);
         },
         {"B1", "B2", "B3", "control"}, 5},
        {"removing every hook during dispatch gives the control its procedure back", [](TScript& s) {
             s.Hook("B1", hoBeforeMsg, [](TScript& s, THook& self, TMessage&) {
                 UnregisterMessageHook(s.control, self.Method(), hoBeforeMsg);
                 return false;
             });
         },
         {"B1", "control"}, 5},
        {"a nested message keeps both walks right", [](TScript& s) {
             s.Hook("B1", hoBeforeMsg, [](TScript& s, THook&, TMessage& m) {
                 if (!m.WParam) SendMessageW(s.control->Handle(), kProbe, 1, 0);
                 return false;
             });
             s.Hook("B2", hoBeforeMsg);
             s.Hook("A1", hoAfterMsg, [](TScript& s, THook&, TMessage& m) {
                 if (!m.WParam) SendMessageW(s.control->Handle(), kProbe, 1, 0);
                 return false;
             });
             s.Hook("A2", hoAfterMsg);
         },
         {"B1", "B1(nested)", "B2(nested)", "control(nested)", "A1(nested)", "A2(nested)", "B2", "control", "A1",
          "B1(nested)", "B2(nested)", "control(nested)", "A1(nested)", "A2(nested)", "A2"},
         5},
        {"a method registered twice runs twice; unregistering removes one", [](TScript& s) {
             THook& twice = s.Hook("B1", hoBeforeMsg);
             RegisterMessageHook(s.control, twice.Method(), hoBeforeMsg);
             RegisterMessageHook(s.control, twice.Method(), hoBeforeMsg);
             EXPECT_TRUE(UnregisterMessageHook(s.control, twice.Method(), hoBeforeMsg));
         },
         {"B1", "B1", "control"}, 5},
    };
    for (const THookCase& c : cases) {
        SCOPED_TRACE(c.what);
        TScript script;
        script.control = NewControl(script.trace);
        c.setUp(script);
        EXPECT_EQ(SendMessageW(script.control->Handle(), kProbe, 0, 0), c.result);
        EXPECT_EQ(script.trace, c.trace);
        delete script.control;
        PumpMessages();
    }
}

TEST_F(WndProcHookTest, AControlWithoutHooksHasItsOwnProcedureAgain) {
    TScript script;
    TTracedControl* control = NewControl(script.trace);
    script.control = control;
    THook& hook = script.Hook("B1", hoBeforeMsg);
    TXcHookInfos* infos = HookManager().Find(control);
    ASSERT_NE(infos, nullptr);
    EXPECT_TRUE(infos->Hooked());
    EXPECT_TRUE(UnregisterMessageHook(control, hook.Method(), hoBeforeMsg));
    EXPECT_FALSE(infos->Hooked());
    // No hook, no record of it: the answer says whether there were hooks.
    EXPECT_FALSE(UnregisterMessageHook(control, hook.Method(), hoBeforeMsg));
    EXPECT_EQ(SendMessageW(control->Handle(), kProbe, 0, 0), 5);
    EXPECT_EQ(script.trace, (TTrace{"control"}));
}

TEST_F(WndProcHookTest, RegisteringRefusesWhatCannotBeHooked) {
    TTrace trace;
    TTracedControl* control = NewControl(trace);
    TScript script;
    THook& hook = script.Extra("B1");
    EXPECT_FALSE(RegisterMessageHook(nullptr, hook.Method(), hoBeforeMsg));
    EXPECT_FALSE(RegisterMessageHook(control, TXcHookMethod{}, hoBeforeMsg));
    EXPECT_FALSE(UnregisterMessageHook(control, hook.Method(), hoBeforeMsg));
    EXPECT_EQ(HookManager().Find(control), nullptr);
}

TEST_F(WndProcHookTest, AControlDestroyedInsideAHookEndsTheDispatchAndItsRecordGoesAfterTheMessage) {
    TScript script;
    script.control = NewControl(script.trace);
    const HWND window = script.control->Handle();
    TXcHookInfos* infos = nullptr;
    bool waitingDuringDispatch = false;
    script.Hook("B1", hoBeforeMsg, [&](TScript& s, THook&, TMessage&) {
        infos = HookManager().Find(s.control);
        delete s.control;
        waitingDuringDispatch = Releaser().IsWaiting(infos);
        return false;
    });
    script.Hook("B2", hoBeforeMsg);
    script.Hook("A1", hoAfterMsg);
    SendMessageW(window, kProbe, 0, 0);
    EXPECT_EQ(script.trace, (TTrace{"B1"}));
    EXPECT_TRUE(waitingDuringDispatch);
    EXPECT_EQ(HookManager().HookedCount(), 0);
    ASSERT_TRUE(Releaser().IsWaiting(infos));
    PumpMessages();
    EXPECT_FALSE(Releaser().IsWaiting(infos));
}

TEST_F(WndProcHookTest, AStaleReleaseMessageFreesNothing) {
    auto object = std::make_unique<TObject>();
    const TObject* waiting = object.get();
    DeferredFree(std::move(object));
    // An identifier no object waits under, as a message left from an earlier release would carry.
    PostMessageW(Releaser().Handle(), XC_RELEASE, 999, 0);
    EXPECT_TRUE(Releaser().IsWaiting(waiting));
    PumpMessages();
    EXPECT_FALSE(Releaser().IsWaiting(waiting));
}

// Unit shutdown: a hooked control gets its procedure back, waiting records are freed.
TEST_F(WndProcHookTest, ShutdownUnhooksLiveControlsAndFreesWaitingRecords) {
    TScript script;
    TTracedControl* control = NewControl(script.trace);
    script.control = control;
    script.Hook("B1", hoBeforeMsg);
    bool freed = false;
    struct TFlagged : TObject {
        bool& freed;
        explicit TFlagged(bool& f) : freed(f) {}
        ~TFlagged() override { freed = true; }
    };
    DeferredFree(std::make_unique<TFlagged>(freed));
    FreeReleaser();
    FreeHookManager();
    EXPECT_TRUE(freed);
    EXPECT_EQ(SendMessageW(control->Handle(), kProbe, 0, 0), 5);
    EXPECT_EQ(script.trace, (TTrace{"control"}));
}

} // namespace
