#include "support/utils/ScCpuInfo.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "support/utils/ScCacheDescriptors.h"

namespace {

// CPUID answers recorded from a processor; leaves not recorded answer zeros.
class TRecordedCpuid : public TCpuidSource {
public:
    bool Available() const override { return available; }
    TCpuidRegisters Query(uint32_t leaf, uint32_t) const override {
        const auto it = leaves.find(leaf);
        return it == leaves.end() ? TCpuidRegisters{} : it->second;
    }

    void Vendor(uint32_t maxLeaf, const char (&id)[13]) {
        uint32_t words[3];
        std::memcpy(words, id, 12);
        leaves[0] = {maxLeaf, words[0], words[2], words[1]};
    }
    void Brand(const std::string& text) {
        char bytes[48] = {};
        std::memcpy(bytes, text.data(), std::min<size_t>(text.size(), 47));
        for (uint32_t i = 0; i < 3; ++i) {
            TCpuidRegisters& r = leaves[0x80000002 + i];
            std::memcpy(&r.Eax, bytes + 16 * i, 4);
            std::memcpy(&r.Ebx, bytes + 16 * i + 4, 4);
            std::memcpy(&r.Ecx, bytes + 16 * i + 8, 4);
            std::memcpy(&r.Edx, bytes + 16 * i + 12, 4);
        }
    }

    bool available = true;
    std::map<uint32_t, TCpuidRegisters> leaves;
};

void ExpectLevel(const TCacheLevel& level, uint32_t size, uint32_t ways, uint32_t line, const char* what) {
    EXPECT_EQ(level.Size, size) << what;
    EXPECT_EQ(level.Ways, ways) << what;
    EXPECT_EQ(level.LineSize, line) << what;
}

// A Core 2 Duo E6600.
TRecordedCpuid IntelCore2() {
    TRecordedCpuid cpu;
    cpu.Vendor(0x0A, "GenuineIntel");
    cpu.leaves[1] = {0x000006F6, 0x00020800, 0x0000E3BD, 0xBFEBFBFF};
    cpu.leaves[2] = {0x05B0B101, 0x005657F0, 0x00000000, 0x2CB43049};
    cpu.leaves[4] = {0x04000121, 0x01C0003F, 0x0000003F, 0x00000001};
    cpu.leaves[0x80000000] = {0x80000008, 0, 0, 0};
    cpu.leaves[0x80000001] = {0, 0, 0x00000001, 0x20100000};
    cpu.Brand("Intel(R) Core(TM)2 CPU          6600  @ 2.40GHz");
    cpu.leaves[0x80000006] = {0, 0, 0x10008040, 0};
    cpu.leaves[0x80000008] = {0x00003024, 0, 0, 0};
    return cpu;
}

TEST(CpuInfo, IntelWithBrandStringAndCacheDescriptors) {
    const TCpuInfo info = QueryCpuInfo(IntelCore2());
    EXPECT_TRUE(info.HasInstruction);
    EXPECT_EQ(info.VendorId, u"GenuineIntel");
    EXPECT_EQ(info.Vendor, cvIntel);
    EXPECT_EQ(info.Manufacturer, u"Intel");
    EXPECT_EQ(info.CpuName, u"Intel(R) Core(TM)2 CPU          6600  @ 2.40GHz");
    EXPECT_EQ(info.Family, 6u);
    EXPECT_EQ(info.Model, 15u);
    EXPECT_EQ(info.Stepping, 6u);
    EXPECT_EQ(info.Features, 0xBFEBFBFFu);
    EXPECT_TRUE(info.MMX);
    EXPECT_EQ(info.SSE, cpuSSE | cpuSSE2 | cpuSSE3 | cpuSSSE3);
    EXPECT_TRUE(info.Is64Bits);
    EXPECT_TRUE(info.ExecuteDisable);
    EXPECT_FALSE(info.Has3DNow);
    EXPECT_TRUE(info.HyperThreading);
    EXPECT_EQ(info.LogicalCores, 2u);
    EXPECT_EQ(info.PhysicalCores, 2u);
    EXPECT_EQ(info.PhysicalAddressBits, 36u);
    EXPECT_EQ(info.VirtualAddressBits, 48u);
    ASSERT_TRUE(info.Caches.HasDescriptors);
    EXPECT_EQ(info.Caches.Descriptors[12], 0x49);
    EXPECT_EQ(info.Caches.Descriptors[15], 0x2C);
    ExpectLevel(info.Caches.Level1Data, 32, 8, 64, "0x2C");
    ExpectLevel(info.Caches.Level1Instruction, 32, 8, 64, "0x30");
    ExpectLevel(info.Caches.Level2, 4096, 16, 64, "leaf 0x80000006, not added to by 0x49");
    ExpectLevel(info.Caches.Level3, 0, 0, 0, "none");
}

TEST(CpuInfo, IntelLevel2ComesFromTheDescriptorsOnlyWithoutTheExtendedCacheLeaf) {
    TRecordedCpuid cpu = IntelCore2();
    cpu.leaves[0x80000006] = {0, 0, 0x08006040, 0};
    ExpectLevel(QueryCpuInfo(cpu).Caches.Level2, 2048, 8, 64, "the leaf wins");
    cpu.leaves[0x80000000].Eax = 0x80000004;
    ExpectLevel(QueryCpuInfo(cpu).Caches.Level2, 4096, 16, 64, "0x49");
    // A register with bit 31 set holds no descriptors.
    cpu.leaves[2].Ecx = 0x800000E4;
    ExpectLevel(QueryCpuInfo(cpu).Caches.Level3, 0, 0, 0, "ignored 0xE4");
    cpu.leaves[2].Ecx = 0x000000E4;
    ExpectLevel(QueryCpuInfo(cpu).Caches.Level3, 8192, 16, 64, "0xE4");
}

TEST(CpuInfo, AmdWithExtendedLeaves) {
    TRecordedCpuid cpu; // a Phenom II X4 940
    cpu.Vendor(0x05, "AuthenticAMD");
    cpu.leaves[1] = {0x00100F42, 0x00040800, 0x00802009, 0x178BFBFF};
    cpu.leaves[0x80000000] = {0x8000001B, 0, 0, 0};
    cpu.leaves[0x80000001] = {0x00100F42, 0x10000000, 0x000037FF, 0xEFD3FBFF};
    cpu.Brand("  AMD Phenom(tm) II X4 940 Processor  ");
    cpu.leaves[0x80000005] = {0xFF30FF10, 0xFF30FF20, 0x40020140, 0x40020140};
    cpu.leaves[0x80000006] = {0x20800000, 0x42004200, 0x02008140, 0x0030B140};
    cpu.leaves[0x80000007] = {0, 0, 0, 0x000001F9};
    cpu.leaves[0x80000008] = {0x00003030, 0, 0x00000003, 0};
    const TCpuInfo info = QueryCpuInfo(cpu);
    EXPECT_EQ(info.Vendor, cvAMD);
    EXPECT_EQ(info.Manufacturer, u"AMD");
    EXPECT_EQ(info.CpuName, u"AMD Phenom(tm) II X4 940 Processor");
    EXPECT_EQ(info.Family, 15u);
    EXPECT_EQ(info.ExtendedFamily, 1u);
    EXPECT_EQ(info.Model, 4u);
    EXPECT_EQ(info.Stepping, 2u);
    EXPECT_TRUE(info.MMX);
    EXPECT_EQ(info.SSE, cpuSSE | cpuSSE2 | cpuSSE3 | cpuSSE41);
    EXPECT_TRUE(info.AmdMmxExtensions);
    EXPECT_TRUE(info.Has3DNow);
    EXPECT_TRUE(info.Has3DNowExtensions);
    EXPECT_TRUE(info.Is64Bits);
    EXPECT_TRUE(info.ExecuteDisable);
    EXPECT_EQ(info.LogicalCores, 4u);
    EXPECT_EQ(info.PhysicalCores, 4u);
    EXPECT_EQ(info.PowerManagement, 0x1F9u);
    ExpectLevel(info.Caches.Level1Data, 64, 2, 64, "L1 data");
    ExpectLevel(info.Caches.Level1Instruction, 64, 2, 64, "L1 instruction");
    ExpectLevel(info.Caches.Level2, 512, 16, 64, "L2");
    ExpectLevel(info.Caches.Level3, 6144, 48, 64, "L3");
}

TEST(CpuInfo, AnUnknownVendorGetsOnlyTheCommonDecoding) {
    TRecordedCpuid cpu;
    cpu.Vendor(0x01, "OstrelVendor");
    cpu.leaves[1] = {0x00000F12, 0, 0, 1u << 23};
    cpu.leaves[0x80000000] = {0x80000004, 0, 0, 0};
    cpu.Brand("A brand that is not read");
    const TCpuInfo info = QueryCpuInfo(cpu);
    EXPECT_EQ(info.Vendor, cvUnknown);
    EXPECT_EQ(info.VendorId, u"OstrelVendor");
    EXPECT_EQ(info.Manufacturer, u"Unknown");
    EXPECT_EQ(info.CpuName, u"Unknown");
    EXPECT_EQ(info.Family, 15u);
    EXPECT_EQ(info.Model, 1u);
    EXPECT_EQ(info.Stepping, 2u);
    EXPECT_TRUE(info.MMX);
    EXPECT_FALSE(info.Caches.HasDescriptors);
}

TEST(CpuInfo, WithoutTheInstruction) {
    TRecordedCpuid cpu;
    cpu.available = false;
    const TCpuInfo info = QueryCpuInfo(cpu);
    EXPECT_FALSE(info.HasInstruction);
    EXPECT_EQ(info.Family, 4u);
    EXPECT_EQ(info.Manufacturer, u"Unknown");
    EXPECT_EQ(info.CpuName, u"Unknown");
    EXPECT_EQ(info.PhysicalCores, 1u);
    EXPECT_EQ(info.LogicalCores, 1u);
}

TEST(CpuInfo, ProcessorsWithoutABrandStringAreNamedFromTheVendorsTables) {
    struct TCase {
        const char* vendor;
        uint32_t signature;      // leaf 1 EAX
        uint32_t brandIndex;     // leaf 1 EBX
        uint8_t descriptor;      // in leaf 2
        const char16_t* name;
    };
    const TCase cases[] = {
        {"GenuineIntel", 0x0480, 0, 0, u"Intel DX4 Processor"},
        {"GenuineIntel", 0x0490, 0, 0, u"Intel 486 Processor"},
        {"GenuineIntel", 0x0543, 0, 0, u"Pentium"},
        {"GenuineIntel", 0x0610, 0, 0, u"Pentium Pro"},
        {"GenuineIntel", 0x0650, 0, 0x40, u"Celeron"},
        {"GenuineIntel", 0x0650, 0, 0x43, u"Pentium II"},
        {"GenuineIntel", 0x0650, 0, 0x45, u"Pentium II Xeon"},
        {"GenuineIntel", 0x0672, 0, 0x44, u"Pentium III Xeon"},
        {"GenuineIntel", 0x0683, 1, 0, u"Celeron"},
        {"GenuineIntel", 0x0683, 2, 0, u"Pentium III"},
        {"GenuineIntel", 0x0683, 3, 0, u"Pentium III Xeon"},
        {"GenuineIntel", 0x06C0, 0, 0, u"P6 (Model 12)"},
        {"GenuineIntel", 0x0F24, 8, 0, u"Pentium 4"},
        {"GenuineIntel", 0x0F24, 14, 0, u"Xeon"},
        {"GenuineIntel", 0x0700, 0, 0, u"P7"},
        {"AuthenticAMD", 0x0400, 0, 0, u"Am486(R) or Am5x86"},
        {"AuthenticAMD", 0x0520, 0, 0, u"AMD-K5 (Model 2)"},
        {"AuthenticAMD", 0x0580, 0, 0, u"AMD-K6\u00ae-2 (Model 8)"},
        {"AuthenticAMD", 0x0630, 0, 0, u"AMD Duron\u2122 (Model 3)"},
        {"AuthenticAMD", 0x0660, 0, 0, u"AMD Athlon\u2122 XP (Model 6)"},
        {"AuthenticAMD", 0x0650, 0, 0, u"Unknown AMD (Model 5)"},
        {"AuthenticAMD", 0x0700, 0, 0, u"Unknown AMD Chip"},
        {"CyrixInstead", 0x0520, 0, 0, u"Cyrix 6x86"},
        {"CyrixInstead", 0x0440, 0, 0, u"Cyrix MediaGX"},
        {"CyrixInstead", 0x0300, 0, 0, u"3x86"},
        {"CentaurHauls", 0x0690, 0, 0, u"C3"},
        {"GenuineTMx86", 0x0543, 0, 0, u"Crusoe"},
    };
    for (const TCase& c : cases) {
        TRecordedCpuid cpu;
        char id[13] = {};
        std::memcpy(id, c.vendor, 12);
        cpu.Vendor(2, reinterpret_cast<const char(&)[13]>(id));
        cpu.leaves[1] = {c.signature, c.brandIndex, 0, 0};
        cpu.leaves[2] = {0x00000001, 0, 0, c.descriptor};
        EXPECT_EQ(QueryCpuInfo(cpu).CpuName, c.name) << c.vendor << ' ' << std::hex << c.signature;
    }
}

TEST(CpuInfo, TheLeavesOfViaAndTransmeta) {
    TRecordedCpuid via;
    via.Vendor(1, "CentaurHauls");
    via.leaves[0xC0000000] = {0xC0000001, 0, 0, 0};
    via.leaves[0xC0000001] = {0, 0, 0, 0x000003C0};
    EXPECT_EQ(QueryCpuInfo(via).CentaurFeatures, 0x3C0u);

    TRecordedCpuid crusoe;
    crusoe.Vendor(1, "GenuineTMx86");
    crusoe.leaves[0x80860000] = {0x80860007, 0, 0, 0};
    crusoe.leaves[0x80860001] = {0, 0x01020304, 0x04030201, 0};
    const char text[] = "20000805 23:30 level0 code morphing software";
    for (uint32_t i = 0; i < 4; ++i) {
        TCpuidRegisters& r = crusoe.leaves[0x80860003 + i];
        char bytes[16] = {};
        std::memcpy(bytes, text + 16 * i, std::min<size_t>(16, sizeof text > 16 * i ? sizeof text - 16 * i : 0));
        std::memcpy(&r, bytes, 16);
    }
    crusoe.leaves[0x80860007] = {600, 0, 0, 0};
    const TCpuInfo info = QueryCpuInfo(crusoe);
    EXPECT_EQ(info.Transmeta.HardwareRevision, 0x01020304u);
    EXPECT_EQ(info.Transmeta.SoftwareRevision, 0x04030201u);
    EXPECT_EQ(info.Transmeta.Frequency, 600u);
    EXPECT_EQ(info.Transmeta.Information, u"20000805 23:30 level0 code morphing software");
}

TEST(CpuInfo, TheRealProcessorReportsMmx) {
#if defined(__x86_64__)
    ASSERT_TRUE(HasCpuid());
    const TCpuInfo info = QueryCpuInfo();
    EXPECT_TRUE(info.Features & (1u << 23));
    EXPECT_TRUE(info.MMX);
    EXPECT_FALSE(info.VendorId.IsEmpty());
    uint32_t eax, edx, ecx, ebx;
    RunCpuid(1, 0, eax, edx, ecx, ebx);
    EXPECT_EQ(edx, info.Features);
#else
    GTEST_SKIP() << "no CPUID on this architecture";
#endif
}

TEST(CacheDescriptors, TellingRowsOfThePublishedList) {
    const auto rows = CacheDescriptors();
    EXPECT_TRUE(std::is_sorted(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.Descriptor <= b.Descriptor; }))
        << "ascending and unique";
    struct TCase {
        uint8_t descriptor;
        TCacheDescriptorKind kind;
        uint32_t size, ways, line;
    };
    const TCase cases[] = {
        {0x06, cdLevel1Instruction, 8, 4, 32}, {0x2C, cdLevel1Data, 32, 8, 64}, {0x49, cdLevel2, 4096, 16, 64},
        {0xE4, cdLevel3, 8192, 16, 64},        {0x70, cdTraceCache, 12, 8, 0},  {0xB4, cdDataTlb, 4, 4, 0},
    };
    for (const TCase& c : cases) {
        const TCacheDescriptor* row = FindCacheDescriptor(c.descriptor);
        ASSERT_NE(row, nullptr) << int(c.descriptor);
        EXPECT_EQ(row->Kind, c.kind) << int(c.descriptor);
        EXPECT_EQ(row->Size, c.size) << int(c.descriptor);
        EXPECT_EQ(row->Ways, c.ways) << int(c.descriptor);
        EXPECT_EQ(row->LineSize, c.line) << int(c.descriptor);
        EXPECT_EQ(row->Text.Identifier, 0xF100 + c.descriptor);
    }
    EXPECT_EQ(LoadResString(FindCacheDescriptor(0x00)->Text), u"Null descriptor");
    EXPECT_EQ(LoadResString(FindCacheDescriptor(0xFF)->Text),
              u"CPUID leaf 2 does not report cache descriptor information, use CPUID leaf 4 to query cache parameters");
    EXPECT_EQ(FindCacheDescriptor(0x07), nullptr);
    EXPECT_EQ(FindCacheDescriptor(0xFD), nullptr);
}

} // namespace
