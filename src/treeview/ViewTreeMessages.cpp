// The tree's message handlers.

#include "platform/win/Constants.h"
#include "treeview/BaseViewTree.h"
#include "treeview/TreeGlobals.h"
#include "treeview/ViewTreeCacheWorker.h"

UI_MESSAGE_MAP(TBaseViewTree, t) {
    t.On<&TBaseViewTree::CMSysColorChange>(CM_SYSCOLORCHANGE);
    t.On<&TBaseViewTree::WMValidationReport>(kValidationReport);
}

// The colour-mapped image sets follow the new system colours; the window's own
// procedure then hears of the change.
void TBaseViewTree::CMSysColorChange(TMessage& message) {
    InheritedMessage(message);
    ReloadMappedImageSets();
    TMessage colorChange{WM_SYSCOLORCHANGE, message.WParam, message.LParam, 0};
    DefaultHandler(colorChange);
}
