#include "support/utils/ScSecurity.h"

#include "support/utils/SupportUnit.h"

extern const TSupportUnit ScSecurityUnit{u"ScSecurity", SC_UNIT_VERSION("src/support/utils/ScSecurity.cpp")};

bool EnablePrivilege(bool, const String& privilegeName) { return SameText(privilegeName, u"SeShutdownPrivilege"); }
