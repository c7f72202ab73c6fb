#include "platform/rtl/TObject.h"

bool TObject::GetInterface(const TGUID&, void** obj) {
    *obj = nullptr;
    return false;
}
