#include "support/storage/XcTypes.h"

#include "platform/rtl/ClassInfo.h"

RTL_PUBLISHED_NONE(TXcComponent);
