#include "controls/dragdrop/DropTarget.h"

#include "controls/dragdrop/FileFormats.h"
#include "platform/rtl/ClassInfo.h"

RTL_PUBLISHED_NONE(TDropFileTarget);

TDropFileTarget::TDropFileTarget(TComponent* owner)
    : TCustomDropMultiTarget(owner), fileFormat_(new TFileDataFormat(this)), fileMapFormat_(new TFileMapDataFormat(this)) {
    OptimizedMove = true;
}

TDropFileTarget::~TDropFileTarget() {
    delete fileMapFormat_;
    delete fileFormat_;
}

TUnicodeStrings& TDropFileTarget::Files() { return fileFormat_->Files(); }
TUnicodeStrings& TDropFileTarget::MappedNames() { return fileMapFormat_->FileMaps(); }

DWORD TDropFileTarget::ReadPreferredDropEffect() {
    const DWORD effect = TCustomDropMultiTarget::ReadPreferredDropEffect();
    return effect == DROPEFFECT_NONE ? DROPEFFECT_COPY : effect;
}
