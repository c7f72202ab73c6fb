#pragma once
// The cache and TLB descriptors that CPUID leaf 2 reports, as Intel publishes
// them. Each row's description is a resource string numbered 0xF100 plus its
// descriptor byte.

#include <array>
#include <cstdint>
#include <span>

#include "platform/rtl/ResourceStrings.h"

enum class TCacheDescriptorKind {
    cdInstructionTlb,
    cdDataTlb,
    cdLevel1Instruction,
    cdLevel1Data,
    cdLevel2,
    cdSharedLevel2Tlb,
    cdLevel3,
    cdTraceCache,
    cdOther,
};
using enum TCacheDescriptorKind;

constexpr uint16_t FullyAssociative = 0xFF;

struct TCacheDescriptor {
    uint8_t Descriptor;
    TCacheDescriptorKind Kind;
    uint32_t Size;        // KiB; TLB rows: the page size in KiB; trace caches: K-µops
    uint16_t Ways;        // FullyAssociative, or 0 when not stated
    uint16_t LineSize;    // bytes
    uint16_t TlbEntries;
    TResStringRec Text;
};

inline constexpr size_t CacheDescriptorCount = 113;
// Ascending by descriptor byte.
std::span<const TCacheDescriptor> CacheDescriptors();
// The texts of the rows, in the same order.
extern const std::array<const TResStringRec*, CacheDescriptorCount> CacheDescriptorTexts;
// Null for a byte no row describes.
const TCacheDescriptor* FindCacheDescriptor(uint8_t descriptor);
