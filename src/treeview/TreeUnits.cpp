#include "treeview/TreeUnits.h"

#include "treeview/TreeGlobals.h"

void RegisterTreeUnits(TUnitRegistry& units) {
    // Finished before the image lists and the screen the shared sets and cursors live in.
    units.Register("ViewTrees", InitializeTreeGlobals, FinalizeTreeGlobals, {"Forms", "ImgList"});
}
