#include "supportui/SupportUiUnits.h"

#include "supportui/XcReleaser.h"
#include "supportui/XcWndProcHook.h"

namespace {

// The releaser goes first: the records it still holds are no longer the manager's.
void FinalizeWindowHooks() {
    FreeReleaser();
    FreeHookManager();
}

} // namespace

void RegisterSupportUiUnits(TUnitRegistry& units) {
    units.Register("XcWindowHook", [] {}, FinalizeWindowHooks, {"Forms"});
}
