#pragma once
// TDataModule: a component without a window that owns what several forms
// share (image lists, actions, popup menus). Application().CreateForm makes
// one without making it the main form.

#include "platform/rtl/ClassInfo.h"
#include "platform/rtl/Component.h"
#include "platform/ui/Events.h"

class TDataModule : public TComponent {
    RTL_CLASS(TDataModule, TComponent);

public:
    explicit TDataModule(TComponent* owner) : TComponent(owner) {}
    ~TDataModule() override;

    // Runs once the module is built (at the end of its loading bracket).
    TNotifyEvent OnCreate;
    // Runs first when the module is freed, while its components are still there.
    TNotifyEvent OnDestroy;

protected:
    void Loaded() override;

private:
    bool created_ = false;
};
