#pragma once
// A description of the processor from the CPUID instruction. The answers come
// from a source that tests replace with recorded tables.

#include <cstdint>

#include "platform/rtl/String.h"

struct TCpuidRegisters {
    uint32_t Eax = 0;
    uint32_t Ebx = 0;
    uint32_t Ecx = 0;
    uint32_t Edx = 0;
};

class TCpuidSource {
public:
    virtual ~TCpuidSource() = default;
    virtual bool Available() const = 0;
    virtual TCpuidRegisters Query(uint32_t leaf, uint32_t subLeaf) const = 0;
};

// The processor's own instruction.
const TCpuidSource& ProcessorCpuid();
// The processor has the instruction (every x86-64 one has).
bool HasCpuid();
void RunCpuid(uint32_t leaf, uint32_t subLeaf, uint32_t& eax, uint32_t& edx, uint32_t& ecx, uint32_t& ebx);

enum class TCpuVendor { cvUnknown, cvIntel, cvCyrix, cvAMD, cvTransmeta, cvVia };
using enum TCpuVendor;

// Bits of TCpuInfo::SSE.
constexpr uint32_t cpuSSE = 0x01;
constexpr uint32_t cpuSSE2 = 0x02;
constexpr uint32_t cpuSSE3 = 0x04;
constexpr uint32_t cpuSSSE3 = 0x08;
constexpr uint32_t cpuSSE41 = 0x10; // SSE4A on AMD
constexpr uint32_t cpuSSE42 = 0x20;
constexpr uint32_t cpuSSE5 = 0x40;  // AMD
constexpr uint32_t cpuAVX = 0x80;   // Intel

struct TCacheLevel {
    uint32_t Size = 0; // KiB
    uint32_t Ways = 0; // 0xFF: fully associative
    uint32_t LineSize = 0;
};

struct TCpuCaches {
    TCacheLevel Level1Data;
    TCacheLevel Level1Instruction;
    TCacheLevel Level2;
    TCacheLevel Level3;
    bool HasDescriptors = false; // leaf 2 was read
    uint8_t Descriptors[16] = {};
};

// Transmeta's own leaves 0x80860000 and up.
struct TTransmetaInfo {
    uint32_t HardwareRevision = 0;
    uint32_t SoftwareRevision = 0;
    uint32_t Frequency = 0; // MHz
    String Information;
};

struct TCpuInfo {
    bool HasInstruction = false;
    String VendorId; // leaf 0: EBX, EDX, ECX
    TCpuVendor Vendor = cvUnknown;
    String Manufacturer;
    String CpuName; // the brand string, or a name from the vendor's tables
    uint32_t CpuType = 0;
    uint32_t Family = 0;
    uint32_t ExtendedFamily = 0;
    uint32_t Model = 0;
    uint32_t ExtendedModel = 0;
    uint32_t Stepping = 0;
    uint32_t Features = 0;            // leaf 1 EDX
    uint32_t FeaturesEcx = 0;         // leaf 1 ECX
    uint32_t ExtendedFeatures = 0;    // leaf 0x80000001 EDX
    uint32_t ExtendedFeaturesEcx = 0; // leaf 0x80000001 ECX
    uint32_t BrandIndex = 0;
    bool MMX = false;
    uint32_t SSE = 0;
    bool Is64Bits = false;
    bool ExecuteDisable = false;
    bool AmdMmxExtensions = false;
    bool Has3DNow = false;
    bool Has3DNowExtensions = false;
    bool HyperThreading = false;
    uint32_t LogicalCores = 1;
    uint32_t PhysicalCores = 1;
    uint32_t PhysicalAddressBits = 0;
    uint32_t VirtualAddressBits = 0;
    uint32_t PowerManagement = 0; // AMD: leaf 0x80000007 EDX
    uint32_t CentaurFeatures = 0; // VIA: leaf 0xC0000001 EDX
    TTransmetaInfo Transmeta;
    TCpuCaches Caches;
};

TCpuInfo QueryCpuInfo(const TCpuidSource& source = ProcessorCpuid());
