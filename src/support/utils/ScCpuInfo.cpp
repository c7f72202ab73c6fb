#include "support/utils/ScCpuInfo.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

#include <algorithm>
#include <cstring>

#include "platform/rtl/Format.h"
#include "support/utils/ScCacheDescriptors.h"
#include "support/utils/SupportUnit.h"

extern const TSupportUnit ScCpuInfoUnit{u"ScCpuInfo", SC_UNIT_VERSION("src/support/utils/ScCpuInfo.cpp"), CacheDescriptorTexts};

namespace {

class TProcessorCpuid final : public TCpuidSource {
public:
    bool Available() const override {
#if defined(__x86_64__) || defined(__i386__)
        return __get_cpuid_max(0, nullptr) != 0;
#else
        return false;
#endif
    }
    TCpuidRegisters Query(uint32_t leaf, uint32_t subLeaf) const override {
        TCpuidRegisters r;
#if defined(__x86_64__) || defined(__i386__)
        __cpuid_count(leaf, subLeaf, r.Eax, r.Ebx, r.Ecx, r.Edx);
#else
        (void)leaf;
        (void)subLeaf;
#endif
        return r;
    }
};

bool Bit(uint32_t word, int bit) { return (word >> bit) & 1; }

// The bytes of the registers as text, up to the first NUL.
String RegisterText(std::initializer_list<uint32_t> registers) {
    std::string text;
    for (uint32_t r : registers)
        for (int shift = 0; shift < 32; shift += 8) text += static_cast<char>(r >> shift);
    return String(text.substr(0, text.find('\0')));
}

// The associativity field of the extended cache leaves.
uint32_t WaysOf(uint32_t field) {
    constexpr uint32_t ways[16] = {0, 1, 2, 3, 4, 6, 8, 0, 16, 0, 32, 48, 64, 96, 128, 0xFF};
    return ways[field & 15];
}

class TDecoder {
public:
    TDecoder(const TCpuidSource& source, TCpuInfo& info) : source_(source), info_(info) {}

    void Run() {
        info_.HasInstruction = source_.Available();
        if (!info_.HasInstruction) {
            info_.Family = 4;
            info_.Manufacturer = info_.CpuName = u"Unknown";
            return;
        }
        const TCpuidRegisters leaf0 = source_.Query(0, 0);
        maxLeaf_ = leaf0.Eax;
        info_.VendorId = RegisterText({leaf0.Ebx, leaf0.Edx, leaf0.Ecx});
        const struct {
            const char16_t* id;
            TCpuVendor vendor;
            const char16_t* manufacturer;
        } vendors[] = {{u"GenuineIntel", cvIntel, u"Intel"},   {u"AuthenticAMD", cvAMD, u"AMD"},
                       {u"CyrixInstead", cvCyrix, u"Cyrix"},   {u"CentaurHauls", cvVia, u"Via"},
                       {u"GenuineTMx86", cvTransmeta, u"Transmeta"}};
        info_.Manufacturer = u"Unknown";
        for (const auto& v : vendors)
            if (info_.VendorId == v.id) {
                info_.Vendor = v.vendor;
                info_.Manufacturer = v.manufacturer;
            }
        DecodeLeaf1();
        if (info_.Vendor == cvUnknown) {
            info_.CpuName = u"Unknown";
            return;
        }
        maxExtended_ = source_.Query(0x80000000, 0).Eax;
        if (maxExtended_ < 0x80000000) maxExtended_ = 0;
        if (HasExtended(0x80000001)) {
            const TCpuidRegisters r = source_.Query(0x80000001, 0);
            info_.ExtendedFeatures = r.Edx;
            info_.ExtendedFeaturesEcx = r.Ecx;
        }
        if (HasExtended(0x80000004)) info_.CpuName = LeavesText(0x80000002, 0x80000004);
        switch (info_.Vendor) {
        case cvIntel: DecodeIntel(); break;
        case cvAMD: DecodeAmd(); break;
        case cvCyrix: DecodeExtendedCaches(); break;
        case cvVia: DecodeVia(); break;
        case cvTransmeta: DecodeTransmeta(); break;
        case cvUnknown: break;
        }
        if (info_.CpuName.IsEmpty()) info_.CpuName = TableName();
    }

private:
    TCpuidRegisters Q(uint32_t leaf) const { return source_.Query(leaf, 0); }
    // EAX, EBX, ECX, EDX of the leaves First to Last as one text, trimmed.
    String LeavesText(uint32_t first, uint32_t last) const {
        String text;
        for (uint32_t leaf = first; leaf <= last; ++leaf) {
            const TCpuidRegisters r = Q(leaf);
            text += RegisterText({r.Eax, r.Ebx, r.Ecx, r.Edx});
            if (text.size() < 16 * (leaf - first + 1)) break;
        }
        return Trim(text);
    }
    bool HasExtended(uint32_t leaf) const { return maxExtended_ >= leaf; }

    void DecodeLeaf1() {
        if (maxLeaf_ < 1) return;
        const TCpuidRegisters r = Q(1);
        info_.Stepping = r.Eax & 0xF;
        info_.Model = (r.Eax >> 4) & 0xF;
        info_.Family = (r.Eax >> 8) & 0xF;
        info_.CpuType = (r.Eax >> 12) & 0x3;
        info_.ExtendedModel = (r.Eax >> 16) & 0xF;
        info_.ExtendedFamily = (r.Eax >> 20) & 0xFF;
        info_.Features = r.Edx;
        info_.FeaturesEcx = r.Ecx;
        info_.BrandIndex = r.Ebx & 0xFF;
        info_.MMX = Bit(r.Edx, 23);
        const std::pair<bool, uint32_t> sse[] = {{Bit(r.Edx, 25), cpuSSE},   {Bit(r.Edx, 26), cpuSSE2},
                                                 {Bit(r.Ecx, 0), cpuSSE3},   {Bit(r.Ecx, 9), cpuSSSE3},
                                                 {Bit(r.Ecx, 19), cpuSSE41}, {Bit(r.Ecx, 20), cpuSSE42}};
        for (const auto& [present, flag] : sse)
            if (present) info_.SSE |= flag;
        if (Bit(r.Edx, 28)) {
            info_.HyperThreading = true;
            info_.LogicalCores = std::max<uint32_t>(1, (r.Ebx >> 16) & 0xFF);
        }
        if (maxLeaf_ >= 2) {
            const TCpuidRegisters d = Q(2);
            const uint32_t words[] = {d.Eax, d.Ebx, d.Ecx, d.Edx};
            std::memcpy(info_.Caches.Descriptors, words, sizeof words);
            info_.Caches.HasDescriptors = true;
        }
    }

    void DecodeIntel() {
        if (Bit(info_.FeaturesEcx, 28)) info_.SSE |= cpuAVX;
        if (maxLeaf_ > 3) info_.PhysicalCores = (source_.Query(4, 0).Eax >> 26) + 1;
        info_.Is64Bits = Bit(info_.ExtendedFeatures, 29);
        info_.ExecuteDisable = Bit(info_.ExtendedFeatures, 20);
        if (HasExtended(0x80000006)) info_.Caches.Level2 = Level2Of(Q(0x80000006).Ecx);
        if (HasExtended(0x80000008)) AddressSizes();
        if (info_.Caches.HasDescriptors) ApplyDescriptors(info_.Caches.Level2.Size == 0);
    }

    void DecodeAmd() {
        const uint32_t edx = info_.ExtendedFeatures, ecx = info_.ExtendedFeaturesEcx;
        info_.AmdMmxExtensions = Bit(edx, 22);
        info_.Has3DNow = Bit(edx, 31);
        info_.Has3DNowExtensions = Bit(edx, 30);
        info_.Is64Bits = Bit(edx, 29);
        info_.ExecuteDisable = Bit(edx, 20);
        if (Bit(ecx, 6)) info_.SSE |= cpuSSE41;
        if (Bit(ecx, 11)) info_.SSE |= cpuSSE5;
        DecodeExtendedCaches();
        if (HasExtended(0x80000007)) info_.PowerManagement = Q(0x80000007).Edx;
        if (HasExtended(0x80000008)) {
            AddressSizes();
            info_.PhysicalCores = (Q(0x80000008).Ecx & 0xFF) + 1;
        }
    }

    void DecodeVia() {
        DecodeExtendedCaches();
        const uint32_t maxCentaur = Q(0xC0000000).Eax;
        if (maxCentaur >= 0xC0000001 && maxCentaur < 0xC0010000) info_.CentaurFeatures = Q(0xC0000001).Edx;
    }

    void DecodeTransmeta() {
        DecodeExtendedCaches();
        const uint32_t maxTransmeta = Q(0x80860000).Eax;
        if (maxTransmeta < 0x80860001 || maxTransmeta >= 0x80870000) return;
        info_.Transmeta.HardwareRevision = Q(0x80860001).Ebx;
        info_.Transmeta.SoftwareRevision = Q(0x80860001).Ecx;
        if (maxTransmeta >= 0x80860006) info_.Transmeta.Information = LeavesText(0x80860003, 0x80860006);
        if (maxTransmeta >= 0x80860007) info_.Transmeta.Frequency = Q(0x80860007).Eax;
    }

    // The caches of the extended leaves 0x80000005 and 0x80000006.
    void DecodeExtendedCaches() {
        TCpuCaches& caches = info_.Caches;
        if (HasExtended(0x80000005)) {
            const TCpuidRegisters r = Q(0x80000005);
            caches.Level1Data = {r.Ecx >> 24, (r.Ecx >> 16) & 0xFF, r.Ecx & 0xFF};
            caches.Level1Instruction = {r.Edx >> 24, (r.Edx >> 16) & 0xFF, r.Edx & 0xFF};
        }
        if (HasExtended(0x80000006)) {
            const TCpuidRegisters r = Q(0x80000006);
            caches.Level2 = Level2Of(r.Ecx);
            caches.Level3 = {(r.Edx >> 18) * 512, WaysOf(r.Edx >> 12), r.Edx & 0xFF};
        }
    }

    static TCacheLevel Level2Of(uint32_t ecx) { return {ecx >> 16, WaysOf(ecx >> 12), ecx & 0xFF}; }

    void AddressSizes() {
        const uint32_t eax = Q(0x80000008).Eax;
        info_.PhysicalAddressBits = eax & 0xFF;
        info_.VirtualAddressBits = (eax >> 8) & 0xFF;
    }

    // Leaf 2's descriptor bytes: the first is the count of calls, and a
    // register with bit 31 set holds none.
    void ApplyDescriptors(bool level2FromDescriptors) {
        TCpuCaches& caches = info_.Caches;
        for (int i = 1; i < 16; ++i) {
            if (caches.Descriptors[i / 4 * 4 + 3] & 0x80) continue;
            const TCacheDescriptor* row = FindCacheDescriptor(caches.Descriptors[i]);
            if (!row || caches.Descriptors[i] == 0) continue;
            TCacheLevel* level = nullptr;
            switch (row->Kind) {
            case cdLevel1Instruction: level = &caches.Level1Instruction; break;
            case cdLevel1Data: level = &caches.Level1Data; break;
            case cdLevel2: level = level2FromDescriptors ? &caches.Level2 : nullptr; break;
            case cdLevel3: level = &caches.Level3; break;
            default: break;
            }
            if (!level) continue;
            level->Size += row->Size;
            level->Ways = row->Ways;
            level->LineSize = row->LineSize;
        }
    }

    String TableName() const {
        const uint32_t family = info_.Family, model = info_.Model;
        switch (info_.Vendor) {
        case cvIntel: return IntelName(family, model);
        case cvAMD: return AmdName(family, model);
        case cvCyrix:
            if (family == 4 && model == 4) return u"Cyrix MediaGX";
            if (family == 5 && model == 2) return u"Cyrix 6x86";
            if (family == 5 && model == 4) return u"Cyrix GXm";
            if (family == 6 && model == 0) return u"6x86MX";
            return Format(u"%dx86", {family});
        case cvVia: return u"C3";
        case cvTransmeta: return u"Crusoe";
        case cvUnknown: break;
        }
        return u"Unknown";
    }

    String IntelName(uint32_t family, uint32_t model) const {
        const uint32_t level2 = info_.Caches.Level2.Size, brand = info_.BrandIndex;
        switch (family) {
        case 4:
            switch (model) {
            case 1: return u"Intel 486DX Processor";
            case 2: return u"Intel 486SX Processor";
            case 3: return u"Intel DX2 Processor";
            case 5: return u"Intel SX2 Processor";
            case 7: return u"Write-Back Enhanced Intel DX2 Processor";
            case 8: return u"Intel DX4 Processor";
            default: return u"Intel 486 Processor";
            }
        case 5: return u"Pentium";
        case 6:
            switch (model) {
            case 1: return u"Pentium Pro";
            case 3: return u"Pentium II";
            case 5: return level2 == 0 ? u"Celeron" : level2 >= 1024 ? u"Pentium II Xeon" : u"Pentium II";
            case 6: return u"Celeron";
            case 7: return level2 >= 1024 ? u"Pentium III Xeon" : u"Pentium III";
            case 8:
            case 11: return brand == 1 ? u"Celeron" : brand == 3 ? u"Pentium III Xeon" : u"Pentium III";
            case 10: return u"Pentium III Xeon";
            default: return Format(u"P6 (Model %d)", {model});
            }
        case 15: return brand == 1 ? u"Celeron" : brand == 14 ? u"Xeon" : u"Pentium 4";
        default: return Format(u"P%d", {family});
        }
    }

    static String AmdName(uint32_t family, uint32_t model) {
        switch (family) {
        case 4: return u"Am486(R) or Am5x86";
        case 5:
            switch (model) {
            case 0:
            case 1:
            case 2:
            case 3: return Format(u"AMD-K5 (Model %d)", {model});
            case 6:
            case 7: return Format(u"AMD-K6\u00ae (Model %d)", {model});
            case 8: return u"AMD-K6\u00ae-2 (Model 8)";
            case 9: return u"AMD-K6\u00ae-III (Model 9)";
            default: break;
            }
            break;
        case 6:
            switch (model) {
            case 1:
            case 2:
            case 4: return Format(u"AMD Athlon\u2122 (Model %d)", {model});
            case 3:
            case 7: return Format(u"AMD Duron\u2122 (Model %d)", {model});
            case 6:
            case 8:
            case 10: return Format(u"AMD Athlon\u2122 XP (Model %d)", {model});
            default: break;
            }
            break;
        case 8: break;
        default: return u"Unknown AMD Chip";
        }
        return Format(u"Unknown AMD (Model %d)", {model});
    }

    const TCpuidSource& source_;
    TCpuInfo& info_;
    uint32_t maxLeaf_ = 0;
    uint32_t maxExtended_ = 0;
};

} // namespace

const TCpuidSource& ProcessorCpuid() {
    static const TProcessorCpuid source;
    return source;
}

bool HasCpuid() { return ProcessorCpuid().Available(); }

void RunCpuid(uint32_t leaf, uint32_t subLeaf, uint32_t& eax, uint32_t& edx, uint32_t& ecx, uint32_t& ebx) {
    const TCpuidRegisters r = ProcessorCpuid().Query(leaf, subLeaf);
    eax = r.Eax;
    edx = r.Edx;
    ecx = r.Ecx;
    ebx = r.Ebx;
}

TCpuInfo QueryCpuInfo(const TCpuidSource& source) {
    TCpuInfo info;
    TDecoder(source, info).Run();
    return info;
}
