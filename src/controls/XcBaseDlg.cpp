#include "controls/XcBaseDlg.h"

#include "platform/rtl/ClassInfo.h"

RTL_PUBLISHED_NONE(TXcCommonDialog);
RTL_PUBLISHED_NONE(TXcCommonDialogP);
RTL_PUBLISHED_NONE(TXcCommonDialogF);
