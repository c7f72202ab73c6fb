#include "support/utils/ScSysInfo.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

TWindowsVersionRecord Windows9x(uint32_t minor, const char16_t* servicePack, uint32_t kernel32 = 0) {
    TWindowsVersionRecord record;
    record.PlatformId = VER_PLATFORM_WIN32_WINDOWS;
    record.MajorVersion = 4;
    record.MinorVersion = minor;
    record.CSDVersion = servicePack;
    record.Kernel32Version = kernel32;
    return record;
}

TWindowsVersionRecord WindowsNT(uint32_t major, uint32_t minor, uint8_t productType = VER_NT_WORKSTATION,
                                uint16_t architecture = PROCESSOR_ARCHITECTURE_AMD64, bool serverR2 = false,
                                bool hasProductType = true) {
    TWindowsVersionRecord record;
    record.MajorVersion = major;
    record.MinorVersion = minor;
    record.ProductType = productType;
    record.ProcessorArchitecture = architecture;
    record.ServerR2 = serverR2;
    record.HasProductType = hasProductType;
    return record;
}

constexpr uint8_t Server = 3;

TEST(WindowsRelease, LinuxAnswersAsWindows7) {
    EXPECT_EQ(GetWindowsRelease(), os7);
    EXPECT_EQ(static_cast<int>(GetWindowsRelease()), 17);
    EXPECT_FALSE(IsRunningOnWow64());
}

TEST(WindowsRelease, FromTheVersionRecord) {
    struct TCase {
        TWindowsVersionRecord record;
        TWindowsRelease release;
    };
    const TCase cases[] = {
        {Windows9x(0, u""), os95},
        {Windows9x(0, u" B "), os95OSR2},
        {Windows9x(3, u"C"), os95OSR2},
        {Windows9x(10, u""), os98},
        {Windows9x(10, u" A"), os98SE},
        {Windows9x(10, u"", 0x0004005A), osME},
        {Windows9x(90, u""), osME},
        {Windows9x(95, u""), osUnknown},
        {WindowsNT(3, 1), osNT31},
        {WindowsNT(3, 5), osNT35},
        {WindowsNT(3, 51), osNT351},
        {WindowsNT(3, 10), osUnknown},
        {WindowsNT(4, 0), osNT4},
        {WindowsNT(5, 0), os2000},
        {WindowsNT(5, 1), osXP},
        {WindowsNT(5, 2, Server, PROCESSOR_ARCHITECTURE_AMD64, true), os2003R2},
        {WindowsNT(5, 2, VER_NT_WORKSTATION, PROCESSOR_ARCHITECTURE_INTEL), os2003},
        {WindowsNT(5, 2, VER_NT_WORKSTATION, PROCESSOR_ARCHITECTURE_AMD64), osXP64},
        {WindowsNT(5, 2, VER_NT_WORKSTATION, PROCESSOR_ARCHITECTURE_IA64, false, false), os2003},
        {WindowsNT(5, 2, Server, PROCESSOR_ARCHITECTURE_AMD64), os2003},
        {WindowsNT(6, 0), osVista},
        {WindowsNT(6, 0, Server), osServer2008},
        {WindowsNT(6, 1), os7},
        {WindowsNT(6, 1, Server), osServer2008R2},
        {WindowsNT(6, 1, VER_NT_WORKSTATION, PROCESSOR_ARCHITECTURE_AMD64, false, false), osServer2008R2},
        {WindowsNT(6, 2), osUnknown},
        {WindowsNT(10, 0), osUnknown},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(GetWindowsRelease(c.record), c.release)
            << c.record.PlatformId << ' ' << c.record.MajorVersion << '.' << c.record.MinorVersion;
    EXPECT_EQ(static_cast<int>(GetWindowsRelease(WindowsNT(5, 0))), 10);
    TWindowsVersionRecord other = WindowsNT(6, 1);
    other.PlatformId = 0;
    EXPECT_EQ(GetWindowsRelease(other), osUnknown);
}

TEST(SystemInfo, ComesFromTheSystem) {
    EXPECT_EQ(ProcessorCount(), static_cast<uint32_t>(sysconf(_SC_NPROCESSORS_ONLN)));
    EXPECT_EQ(PageSize(), static_cast<uint32_t>(sysconf(_SC_PAGESIZE)));
    EXPECT_EQ(AllocationGranularity(), PageSize());
    TSystemInfo native;
    EXPECT_TRUE(QueryNativeSystemInfo(native));
#if defined(__x86_64__)
    EXPECT_EQ(native.ProcessorArchitecture, PROCESSOR_ARCHITECTURE_AMD64);
#endif
}

} // namespace
