// The caption-button symbols, drawn from shapes in a unit square (y down) and
// sampled 4x4 per pixel.
#include <array>
#include <cmath>
#include <map>
#include <mutex>
#include <vector>

#include "platform/win/text/BuiltinFaces.h"

namespace {

bool InRect(double x, double y, double l, double t, double r, double b) { return x >= l && x < r && y >= t && y < b; }

// A window outline with a thicker top edge (the caption).
bool WindowFrame(double x, double y, double l, double t, double r, double b) {
    constexpr double kEdge = 0.07, kCaption = 0.15;
    return InRect(x, y, l, t, r, b) && !InRect(x, y, l + kEdge, t + kCaption, r - kEdge, b - kEdge);
}

bool InTriangle(double x, double y, double ax, double ay, double bx, double by, double cx, double cy) {
    const auto side = [&](double px, double py, double qx, double qy) {
        return (qx - px) * (y - py) - (qy - py) * (x - px);
    };
    const double d1 = side(ax, ay, bx, by), d2 = side(bx, by, cx, cy), d3 = side(cx, cy, ax, ay);
    return !((d1 < 0 || d2 < 0 || d3 < 0) && (d1 > 0 || d2 > 0 || d3 > 0));
}

bool Inside(char32_t ch, double x, double y) {
    switch (ch) {
    case U'1': return WindowFrame(x, y, 0.2, 0.2, 0.8, 0.8);
    case U'2': {
        constexpr double l = 0.18, t = 0.4, r = 0.66, b = 0.84;
        return InRect(x, y, l, t, r, b) ? WindowFrame(x, y, l, t, r, b) : WindowFrame(x, y, 0.36, 0.18, 0.84, 0.62);
    }
    case U'3': return InTriangle(x, y, 0.62, 0.22, 0.62, 0.78, 0.34, 0.5);
    case U'4': return InTriangle(x, y, 0.38, 0.22, 0.38, 0.78, 0.66, 0.5);
    case U'u': return InTriangle(x, y, 0.22, 0.36, 0.78, 0.36, 0.5, 0.64);
    case U'r': {
        constexpr double kHalfWidth = 0.08;
        if (!InRect(x, y, 0.22, 0.22, 0.78, 0.78)) return false;
        return std::abs(x - y) / std::sqrt(2.0) <= kHalfWidth || std::abs(x + y - 1) / std::sqrt(2.0) <= kHalfWidth;
    }
    }
    return false;
}

constexpr std::array<char32_t, 6> kSymbols = {U'1', U'2', U'3', U'4', U'r', U'u'};

class TSymbolFace : public IFontFace {
public:
    explicit TSymbolFace(int em) : em_(em) {
        metrics_.height = em;
        metrics_.ascent = em;
        metrics_.aveCharWidth = em;
        metrics_.maxCharWidth = em;
        metrics_.fixedPitch = true;
        metrics_.family = kSymbolFaceName;
        for (size_t i = 0; i < kSymbols.size(); ++i) masks_[i] = Rasterize(kSymbols[i]);
    }

    const TFaceMetrics& Metrics() const noexcept override { return metrics_; }
    int Advance(char32_t) override { return em_; }

    TGlyphMask Glyph(char32_t ch) override {
        for (size_t i = 0; i < kSymbols.size(); ++i)
            if (kSymbols[i] == ch) return TGlyphMask{0, -em_, em_, em_, masks_[i].data()};
        return TGlyphMask{};
    }

private:
    std::vector<uint8_t> Rasterize(char32_t ch) const {
        constexpr int kSamples = 4;
        std::vector<uint8_t> mask(size_t(em_) * em_);
        for (int py = 0; py < em_; ++py)
            for (int px = 0; px < em_; ++px) {
                int hits = 0;
                for (int sy = 0; sy < kSamples; ++sy)
                    for (int sx = 0; sx < kSamples; ++sx)
                        hits += Inside(ch, (px + (sx + 0.5) / kSamples) / em_, (py + (sy + 0.5) / kSamples) / em_);
                mask[size_t(py) * em_ + px] = uint8_t(hits * 255 / (kSamples * kSamples));
            }
        return mask;
    }

    int em_;
    TFaceMetrics metrics_;
    std::array<std::vector<uint8_t>, kSymbols.size()> masks_;
};

} // namespace

std::shared_ptr<IFontFace> SymbolFace(int emHeight) {
    static std::mutex mutex;
    static std::map<int, std::shared_ptr<IFontFace>> faces;
    std::lock_guard lock(mutex);
    auto& face = faces[emHeight];
    if (!face) face = std::make_shared<TSymbolFace>(emHeight);
    return face;
}
