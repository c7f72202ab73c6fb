#pragma once
// The Windows release the code written for it asks about, and the system's
// constants. Linux answers as an NT 6.1 workstation (Windows 7): every
// NT-family and "2000 or later" path is taken.

#include <cstdint>

#include "platform/rtl/String.h"

enum class TWindowsRelease {
    osUnknown,
    os95,
    os95OSR2,
    os98,
    os98SE,
    osME,
    osNT31,
    osNT35,
    osNT351,
    osNT4,
    os2000,
    osXP,
    os2003,
    osXP64,
    os2003R2,
    osVista,
    osServer2008,
    os7,
    osServer2008R2,
};
using enum TWindowsRelease;

constexpr uint32_t VER_PLATFORM_WIN32_WINDOWS = 1;
constexpr uint32_t VER_PLATFORM_WIN32_NT = 2;
constexpr uint8_t VER_NT_WORKSTATION = 1;
constexpr uint16_t PROCESSOR_ARCHITECTURE_INTEL = 0;
constexpr uint16_t PROCESSOR_ARCHITECTURE_IA64 = 6;
constexpr uint16_t PROCESSOR_ARCHITECTURE_AMD64 = 9;
constexpr uint16_t PROCESSOR_ARCHITECTURE_UNKNOWN = 0xFFFF;

// What the release is told from.
struct TWindowsVersionRecord {
    uint32_t PlatformId = VER_PLATFORM_WIN32_NT;
    uint32_t MajorVersion = 0;
    uint32_t MinorVersion = 0;
    String CSDVersion;           // the service-pack text
    bool HasProductType = true;  // the extended version record could be read
    uint8_t ProductType = VER_NT_WORKSTATION;
    bool ServerR2 = false;
    uint16_t ProcessorArchitecture = PROCESSOR_ARCHITECTURE_AMD64; // of the native system
    uint32_t Kernel32Version = 0; // the 9x family: the high word of kernel32's file version
};

// NT 6.1 workstation, no service pack, not R2, x86-64.
TWindowsVersionRecord HostVersionRecord();
TWindowsRelease GetWindowsRelease(const TWindowsVersionRecord& record);
// The host's release: os7.
TWindowsRelease GetWindowsRelease();

struct TSystemInfo {
    uint16_t ProcessorArchitecture = PROCESSOR_ARCHITECTURE_UNKNOWN;
    uint32_t PageSize = 0;
    uint32_t AllocationGranularity = 0; // the page size
    uint32_t NumberOfProcessors = 0;    // online ones
};

// The native system's information; true (a native 64-bit process has it).
bool QueryNativeSystemInfo(TSystemInfo& info);
// Read once.
uint32_t ProcessorCount();
uint32_t PageSize();
uint32_t AllocationGranularity();
// A native 64-bit process runs under no emulation layer.
inline bool IsRunningOnWow64() { return false; }
