#include "platform/rtl/Persistent.h"

#include "platform/rtl/ClassInfo.h"
#include "platform/rtl/Filer.h"

RTL_PUBLISHED_NONE(TPersistent);

TPersistent::~TPersistent() { rtl_detail::ForgetPendingReferences(this); }

void TPersistent::DefineProperties(TFiler*) {}

void TPersistent::Assign(TPersistent* source) {
    if (!source) AssignError(nullptr);
    source->AssignTo(this);
}

void TPersistent::AssignTo(TPersistent* dest) { dest->AssignError(this); }

void TPersistent::AssignError(const TPersistent* source) const {
    const String sourceName = source ? source->ClassName() : String("nil");
    throw EConvertError("Cannot assign a " + sourceName + " to a " + ClassName());
}

String TPersistent::GetNamePath() const {
    String result = ClassName();
    if (const TPersistent* owner = GetOwner()) {
        const String path = owner->GetNamePath();
        if (!path.empty()) result = path + "." + result;
    }
    return result;
}

TPersistent* TPersistent::GetOwner() const { return nullptr; }
