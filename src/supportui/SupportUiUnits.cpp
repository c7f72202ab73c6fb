#include "supportui/SupportUiUnits.h"

#include "supportui/XcFormStorage.h"
#include "supportui/XcReleaser.h"
#include "supportui/XcWindowHook.h"
#include "supportui/XcWndProcHook.h"

namespace {

// The releaser goes first: the records it still holds are no longer the manager's.
void FinalizeWindowHooks() {
    FreeReleaser();
    FreeHookManager();
}

} // namespace

void RegisterSupportUiUnits(TUnitRegistry& units) {
    units.Register("XcWindowHook", [] { RegisterClass(TXcWindowHook::StaticClass()); },
                   [] {
                       UnRegisterClass(TXcWindowHook::StaticClass());
                       FinalizeWindowHooks();
                   },
                   {"Forms"});
    units.Register("XcFormPlacement",
                   [] { RegisterClasses({TXcFormPlacement::StaticClass(), TXcFormStorage::StaticClass(), TXcStoredValue::StaticClass()}); },
                   [] {
                       for (TClass cls : {TXcFormPlacement::StaticClass(), TXcFormStorage::StaticClass(), TXcStoredValue::StaticClass()})
                           UnRegisterClass(cls);
                   },
                   {"XcWindowHook"});
}
