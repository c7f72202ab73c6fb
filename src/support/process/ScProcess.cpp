#include "support/process/ScProcess.h"

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/PowerOff.h"
#include "platform/rtl/Spawn.h"
#include "platform/rtl/CommandLine.h"
#include "support/utils/ScSecurity.h"
#include "support/utils/ScSysInfo.h"
#include "support/utils/SupportUnit.h"

extern const TSupportUnit ScProcessUnit{u"ScProcess", SC_UNIT_VERSION("src/support/process/ScProcess.cpp")};

bool RunCommandLine(const String& commandLine, uint32_t show) {
    if (show > 0xFFFF) throw ERangeError("Range check error");
    std::vector<String> arguments = SplitCommandLine(commandLine);
    if (arguments.empty()) return false;
    String program = std::move(arguments.front());
    arguments.erase(arguments.begin());
    return Spawn(program, arguments);
}

bool ShutdownComputer(int killLevel) {
    const TWindowsRelease release = GetWindowsRelease();
    uint32_t flags = EWX_SHUTDOWN;
    if (killLevel == 1 && release >= osNT31) flags |= EWX_FORCE;
    else if (killLevel == 2 && release >= os2000) flags |= EWX_FORCEIFHUNG;
    if (!EnablePrivilege(true, u"SeShutdownPrivilege")) return false;
    IPowerOffExecutor* executor = PowerOffExecutor();
    return executor && executor->PowerOff(flags, SHTDN_REASON_MAJOR_APPLICATION);
}
