#include "support/utils/ScSysInfo.h"

#include <unistd.h>

#include "support/utils/SupportUnit.h"

extern const TSupportUnit ScSysInfoUnit{u"ScSysInfo", SC_UNIT_VERSION("src/support/utils/ScSysInfo.cpp")};

namespace {

const TSystemInfo& SystemInfo() {
    static const TSystemInfo info = [] {
        TSystemInfo read;
        QueryNativeSystemInfo(read);
        return read;
    }();
    return info;
}

TWindowsRelease Windows9xRelease(const TWindowsVersionRecord& record) {
    const String servicePack = Trim(record.CSDVersion);
    if (record.MinorVersion < 10) return servicePack == u"B" || servicePack == u"C" ? os95OSR2 : os95;
    if (record.MinorVersion < 90) {
        if (record.Kernel32Version == 0x0004005A) return osME;
        return servicePack == u"A" || servicePack == u"B" ? os98SE : os98;
    }
    return record.MinorVersion == 90 ? osME : osUnknown;
}

TWindowsRelease WindowsNTRelease(const TWindowsVersionRecord& record) {
    const bool workstation = record.HasProductType && record.ProductType == VER_NT_WORKSTATION;
    switch (record.MajorVersion * 100 + record.MinorVersion) {
    case 301: return osNT31;
    case 305: return osNT35;
    case 351: return osNT351;
    case 500: return os2000;
    case 501: return osXP;
    case 502:
        if (record.ServerR2) return os2003R2;
        if (record.ProcessorArchitecture == PROCESSOR_ARCHITECTURE_INTEL) return os2003;
        return workstation ? osXP64 : os2003;
    case 600: return workstation ? osVista : osServer2008;
    case 601: return workstation ? os7 : osServer2008R2;
    default: return record.MajorVersion == 4 ? osNT4 : osUnknown;
    }
}

} // namespace

TWindowsVersionRecord HostVersionRecord() {
    TWindowsVersionRecord record;
    record.MajorVersion = 6;
    record.MinorVersion = 1;
    return record;
}

TWindowsRelease GetWindowsRelease(const TWindowsVersionRecord& record) {
    switch (record.PlatformId) {
    case VER_PLATFORM_WIN32_WINDOWS: return Windows9xRelease(record);
    case VER_PLATFORM_WIN32_NT: return WindowsNTRelease(record);
    default: return osUnknown;
    }
}

TWindowsRelease GetWindowsRelease() {
    static const TWindowsRelease release = GetWindowsRelease(HostVersionRecord());
    return release;
}

bool QueryNativeSystemInfo(TSystemInfo& info) {
    const long pageSize = sysconf(_SC_PAGESIZE);
#if defined(__x86_64__)
    info.ProcessorArchitecture = PROCESSOR_ARCHITECTURE_AMD64;
#elif defined(__i386__)
    info.ProcessorArchitecture = PROCESSOR_ARCHITECTURE_INTEL;
#endif
    info.PageSize = static_cast<uint32_t>(pageSize);
    info.AllocationGranularity = static_cast<uint32_t>(pageSize);
    info.NumberOfProcessors = static_cast<uint32_t>(sysconf(_SC_NPROCESSORS_ONLN));
    return true;
}

uint32_t ProcessorCount() { return SystemInfo().NumberOfProcessors; }
uint32_t PageSize() { return SystemInfo().PageSize; }
uint32_t AllocationGranularity() { return SystemInfo().AllocationGranularity; }
