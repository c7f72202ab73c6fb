#pragma once
// Mixing of 32-bit colours (four 8-bit channels, alpha in bits 24 to 31, all
// four mixed alike), through routine variables that point at one of two
// versions: plain integer arithmetic on channel pairs, or the arithmetic of the
// processor's MMX unit (each channel a 16-bit lane) written in plain C++.
// SelectBlendRoutines chooses by the processor's MMX feature bit at start-up;
// tests choose either.
//
// Weights run from 0 (the second colour) to 255 (the first). A master alpha M
// scales a pixel's own alpha to (alpha * M) shr 8; any M outside 0..256 is
// clamped into a weight of 0..255.

#include <cstdint>

using TColor32 = uint32_t;

using TCombinePixel = TColor32 (*)(TColor32 x, TColor32 y, int w);
using TCombinePixelInPlace = void (*)(TColor32 f, TColor32& b, int w);
using TBlendPixel = TColor32 (*)(TColor32 f, TColor32 b);
using TBlendPixelInPlace = void (*)(TColor32 f, TColor32& b);
using TBlendPixelMaster = TColor32 (*)(TColor32 f, TColor32 b, int m);
using TBlendPixelMasterInPlace = void (*)(TColor32 f, TColor32& b, int m);
using TBlendRow = void (*)(const TColor32* source, TColor32* dest, int count);
using TBlendRowMaster = void (*)(const TColor32* source, TColor32* dest, int count, int m);

// X over Y with weight W (0 to 255).
extern TCombinePixel CombinePixel;
extern TCombinePixelInPlace CombinePixelInPlace;
// F over B with F's alpha as weight.
extern TBlendPixel BlendPixel;
extern TBlendPixelInPlace BlendPixelInPlace;
extern TBlendPixelMaster BlendPixelMaster;
extern TBlendPixelMasterInPlace BlendPixelMasterInPlace;
// Count source pixels over the destination pixels in place; Count <= 0 does nothing.
extern TBlendRow BlendRow;
extern TBlendRowMaster BlendRowMaster;

// Whether the processor reports MMX (CPUID leaf 1, EDX bit 23).
bool CpuHasMmx();
// Points the routine variables at the MMX or the plain versions.
void SelectBlendRoutines(bool useMmx);
bool MmxBlendingInUse();

void StartScBlend();
void FinishScBlend();
