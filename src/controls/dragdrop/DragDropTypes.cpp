#include "controls/dragdrop/DragDropTypes.h"

#include "platform/rtl/Format.h"

void OleCheck(HRESULT result) {
    if (Failed(result))
        throw EOleSysError(Format(u"OLE error %.8X", {int64_t{static_cast<uint32_t>(result)}}), result);
}
