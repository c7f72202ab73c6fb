#pragma once
// The dialog codes a control answers to WM_GETDLGCODE, as a set the extended
// controls' HandleGetDlgCode may change. "Native" stands for the code the
// window itself answered: a handler that drops it replaces that answer with
// the set converted back.

#include "platform/rtl/Set.h"
#include "platform/rtl/TypeInfo.h"
#include "platform/win/Types.h"

enum class TDialogCodeFlag { dcWantAllKeys, dcWantArrows, dcWantChars, dcButton, dcHasSetSel, dcWantTab, dcNative };
using enum TDialogCodeFlag;
RTL_ENUM(TDialogCodeFlag, dcWantAllKeys, dcWantArrows, dcWantChars, dcButton, dcHasSetSel, dcWantTab, dcNative);
using TDialogCodeFlags = TSet<TDialogCodeFlag>;

// The DLGC_ bits as flags, without dcNative.
TDialogCodeFlags DialogCodesToFlags(LRESULT codes);
// The flags as DLGC_ bits; dcNative has none.
LRESULT FlagsToDialogCodes(TDialogCodeFlags flags);
