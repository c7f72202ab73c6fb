#pragma once
// TXcWindowHook: the component face of the message hooks. While Active, its
// BeforeMessage event sees the messages of Control before the control does
// and AfterMessage after it; setting Handled stops the rest of the dispatch.
// A hook on its owner form records that as "IsForm" in the component stream
// (a form is never a stored reference).

#include "platform/ui/Control.h"
#include "support/storage/XcTypes.h"
#include "supportui/XcWndProcHook.h"

using TXcHookMessageEvent = std::function<void(TObject* sender, TMessage& message, bool& handled)>;

class TXcWindowHook : public TXcComponent {
    RTL_CLASS(TXcWindowHook, TXcComponent);

public:
    explicit TXcWindowHook(TComponent* owner);
    ~TXcWindowHook() override;

    bool Active() const noexcept { return active_; }
    void SetActive(bool value);
    TControl* Control() const noexcept { return control_; }
    // A control being destroyed leaves the hook without control and inactive.
    void SetControl(TControl* value);
    const TXcHookMessageEvent& BeforeMessage() const noexcept { return beforeMessage_; }
    void SetBeforeMessage(TXcHookMessageEvent value);
    const TXcHookMessageEvent& AfterMessage() const noexcept { return afterMessage_; }
    void SetAfterMessage(TXcHookMessageEvent value);

    void HookControl() { SetActive(true); }
    void UnhookControl() { SetActive(false); }

protected:
    void DefineProperties(TFiler* filer) override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    bool Designing() const;
    bool IsControlStored() const;
    bool IsForm() const;
    TControl* OwnerForm() const;
    void SetHookRegistered(TXcHookOrder order, bool registered);
    bool DoBeforeMessage(TMessage& message) { return CallEvent(beforeMessage_, message); }
    bool DoAfterMessage(TMessage& message) { return CallEvent(afterMessage_, message); }
    bool CallEvent(const TXcHookMessageEvent& event, TMessage& message);

    bool active_ = true;
    TControl* control_ = nullptr;
    TXcHookMessageEvent beforeMessage_;
    TXcHookMessageEvent afterMessage_;
};
