#include "support/utils/ScBlend.h"

#include "support/utils/SupportUnit.h"

#include <cpuid.h>

#include <algorithm>

namespace {

int Alpha(TColor32 c) { return static_cast<int>(c >> 24); }

int ClampWeight(int64_t w) { return static_cast<int>(std::clamp<int64_t>(w, 0, 255)); }

int MasterWeight(TColor32 f, int m) { return ClampWeight(int64_t(Alpha(f)) * m >> 8); }

// --- Plain versions: two channels at a time in 16-bit halves of a word ---

uint32_t Part(TColor32 c, uint32_t w) {
    const uint32_t lo = c & 0x00FF00FF, hi = c >> 8 & 0x00FF00FF;
    return ((hi * w + 0x00800080) & 0xFF00FF00) | ((lo * w + 0x00800080) >> 8 & 0x00FF00FF);
}

TColor32 Mix(TColor32 x, TColor32 y, int w) {
    return Part(x, static_cast<uint32_t>(w)) + Part(y, static_cast<uint32_t>(w) ^ 255);
}

TColor32 PlainCombine(TColor32 x, TColor32 y, int w) {
    if (w == 0) return y;
    if (w == 255) return x;
    return Mix(x, y, w);
}

void PlainCombineInPlace(TColor32 f, TColor32& b, int w) { b = PlainCombine(f, b, w); }
TColor32 PlainBlend(TColor32 f, TColor32 b) { return PlainCombine(f, b, Alpha(f)); }
void PlainBlendInPlace(TColor32 f, TColor32& b) { b = PlainBlend(f, b); }
TColor32 PlainBlendMaster(TColor32 f, TColor32 b, int m) { return PlainCombine(f, b, MasterWeight(f, m)); }
void PlainBlendMasterInPlace(TColor32 f, TColor32& b, int m) { b = PlainBlendMaster(f, b, m); }

void PlainBlendRow(const TColor32* source, TColor32* dest, int count) {
    for (int i = 0; i < count; ++i) {
        const int a = Alpha(source[i]);
        if (a == 0) continue;
        dest[i] = a == 255 ? source[i] : Mix(source[i], dest[i], a);
    }
}

void PlainBlendRowMaster(const TColor32* source, TColor32* dest, int count, int m) {
    for (int i = 0; i < count; ++i) PlainBlendMasterInPlace(source[i], dest[i], m);
}

// --- MMX versions: each channel a 16-bit lane with wrapping arithmetic ---

struct TLanes {
    uint16_t v[4];

    static TLanes Unpack(TColor32 c) { // punpcklbw with zero
        return {{uint16_t(c & 0xFF), uint16_t(c >> 8 & 0xFF), uint16_t(c >> 16 & 0xFF), uint16_t(c >> 24)}};
    }
    static TLanes Splat(int w) { return {{uint16_t(w), uint16_t(w), uint16_t(w), uint16_t(w)}}; }
    template <class Op>
    TLanes Each(const TLanes& o, Op op) const {
        TLanes r;
        for (int i = 0; i < 4; ++i) r.v[i] = static_cast<uint16_t>(op(v[i], o.v[i]));
        return r;
    }
    TLanes operator-(const TLanes& o) const { return Each(o, [](uint32_t a, uint32_t b) { return a - b; }); }  // psubw
    TLanes operator+(const TLanes& o) const { return Each(o, [](uint32_t a, uint32_t b) { return a + b; }); }  // paddw
    TLanes operator*(const TLanes& o) const { return Each(o, [](uint32_t a, uint32_t b) { return a * b; }); }  // pmullw
    TLanes operator<<(int n) const { return Each(*this, [n](uint32_t a, uint32_t) { return a << n; }); }       // psllw
    TLanes operator>>(int n) const { return Each(*this, [n](uint32_t a, uint32_t) { return a >> n; }); }       // psrlw
    TColor32 Pack() const { // packuswb: signed lanes saturated to 0..255
        TColor32 c = 0;
        for (int i = 0; i < 4; ++i) c |= TColor32(std::clamp<int>(int16_t(v[i]), 0, 255)) << (8 * i);
        return c;
    }
};

TColor32 MmxCombine(TColor32 x, TColor32 y, int w) {
    const TLanes lx = TLanes::Unpack(x), ly = TLanes::Unpack(y);
    return (((lx - ly) * TLanes::Splat(w) + (ly << 8) + TLanes::Splat(128)) >> 8).Pack();
}

void MmxCombineInPlace(TColor32 f, TColor32& b, int w) { b = MmxCombine(f, b, w); }
TColor32 MmxBlend(TColor32 f, TColor32 b) { return MmxCombine(f, b, Alpha(f)); }
void MmxBlendInPlace(TColor32 f, TColor32& b) { b = MmxBlend(f, b); }

TColor32 MmxBlendMaster(TColor32 f, TColor32 b, int m) {
    const int w = MasterWeight(f, m);
    return w == 0 ? b : MmxCombine(f, b, w);
}

void MmxBlendMasterInPlace(TColor32 f, TColor32& b, int m) { b = MmxBlendMaster(f, b, m); }

void MmxBlendRow(const TColor32* source, TColor32* dest, int count) {
    for (int i = 0; i < count; ++i) {
        const int a = Alpha(source[i]);
        if (a == 0) continue;
        dest[i] = a == 255 ? source[i] : MmxCombine(source[i], dest[i], a);
    }
}

void MmxBlendRowMaster(const TColor32* source, TColor32* dest, int count, int m) {
    for (int i = 0; i < count; ++i) {
        const int64_t p = int64_t(Alpha(source[i])) * m;
        if (p > 255) dest[i] = MmxCombine(source[i], dest[i], ClampWeight(p >> 8));
    }
}

bool mmxInUse = false;

} // namespace

TCombinePixel CombinePixel = PlainCombine;
TCombinePixelInPlace CombinePixelInPlace = PlainCombineInPlace;
TBlendPixel BlendPixel = PlainBlend;
TBlendPixelInPlace BlendPixelInPlace = PlainBlendInPlace;
TBlendPixelMaster BlendPixelMaster = PlainBlendMaster;
TBlendPixelMasterInPlace BlendPixelMasterInPlace = PlainBlendMasterInPlace;
TBlendRow BlendRow = PlainBlendRow;
TBlendRowMaster BlendRowMaster = PlainBlendRowMaster;

bool CpuHasMmx() {
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    return __get_cpuid(1, &eax, &ebx, &ecx, &edx) && (edx & bit_MMX) != 0;
}

void SelectBlendRoutines(bool useMmx) {
    mmxInUse = useMmx;
    CombinePixel = useMmx ? MmxCombine : PlainCombine;
    CombinePixelInPlace = useMmx ? MmxCombineInPlace : PlainCombineInPlace;
    BlendPixel = useMmx ? MmxBlend : PlainBlend;
    BlendPixelInPlace = useMmx ? MmxBlendInPlace : PlainBlendInPlace;
    BlendPixelMaster = useMmx ? MmxBlendMaster : PlainBlendMaster;
    BlendPixelMasterInPlace = useMmx ? MmxBlendMasterInPlace : PlainBlendMasterInPlace;
    BlendRow = useMmx ? MmxBlendRow : PlainBlendRow;
    BlendRowMaster = useMmx ? MmxBlendRowMaster : PlainBlendRowMaster;
}

bool MmxBlendingInUse() { return mmxInUse; }

void StartScBlend() { SelectBlendRoutines(CpuHasMmx()); }

void FinishScBlend() {}

extern const TSupportUnit ScBlendUnit{u"ScBlend", SC_UNIT_VERSION("src/support/utils/ScBlend.cpp"), {}, StartScBlend, FinishScBlend};
