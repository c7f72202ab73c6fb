#pragma once
// The tree's drag-and-drop helper, made on demand by the tree
// (EnsureDragManager). Its operations and the default manager come with
// drag and drop; until then only an owner's OnCreateDragManager supplies one.

#include "platform/rtl/Interfaces.h"

class IVTDragManager : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{C2E421A4-CAA3-4140-BB41-156650E32241}");
};
