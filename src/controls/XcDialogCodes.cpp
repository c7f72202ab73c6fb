#include "controls/XcDialogCodes.h"

#include "platform/win/Constants.h"

namespace {

struct TDialogCodeBit {
    TDialogCodeFlag flag;
    UINT bit;
};

constexpr TDialogCodeBit kDialogCodeBits[] = {
    {dcWantAllKeys, DLGC_WANTALLKEYS}, {dcWantArrows, DLGC_WANTARROWS}, {dcWantChars, DLGC_WANTCHARS},
    {dcButton, DLGC_BUTTON},           {dcHasSetSel, DLGC_HASSETSEL},   {dcWantTab, DLGC_WANTTAB},
};

} // namespace

TDialogCodeFlags DialogCodesToFlags(LRESULT codes) {
    TDialogCodeFlags flags;
    for (const TDialogCodeBit& b : kDialogCodeBits)
        if (codes & b.bit) flags.Include(b.flag);
    return flags;
}

LRESULT FlagsToDialogCodes(TDialogCodeFlags flags) {
    LRESULT codes = 0;
    for (const TDialogCodeBit& b : kDialogCodeBits)
        if (flags.Contains(b.flag)) codes |= b.bit;
    return codes;
}
