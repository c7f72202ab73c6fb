#include <vector>

#include "platform/win/text/BuiltinFaces.h"
#include "platform/win/text/CharClasses.h"

namespace {

constexpr int kAscent = 12, kDescent = 4;
constexpr int kNarrowAdvance = 8, kWideAdvance = 16;

bool DrawsNothing(char32_t ch) noexcept {
    return ch < 0x20 || (ch >= 0x7F && ch < 0xA0) || ch == 0xA0 || IsBreakingSpace(ch) || ch == 0xFEFF ||
           (ch >= 0x200B && ch <= 0x200F);
}

class TTestFace : public IFontFace {
public:
    TTestFace() : narrow_(Box(kNarrowAdvance)), wide_(Box(kWideAdvance)) {
        metrics_.height = kAscent + kDescent;
        metrics_.ascent = kAscent;
        metrics_.descent = kDescent;
        metrics_.aveCharWidth = kNarrowAdvance;
        metrics_.maxCharWidth = kWideAdvance;
        metrics_.underlinePosition = 1;
        metrics_.strikeOutPosition = 4;
        metrics_.family = kTestFaceName;
    }

    const TFaceMetrics& Metrics() const noexcept override { return metrics_; }

    int Advance(char32_t ch) override {
        if (ch < 0x20 || (ch >= 0x7F && ch < 0xA0) || ch == 0xFEFF || (ch >= 0x200B && ch <= 0x200F)) return 0;
        return IsEastAsianWide(ch) ? kWideAdvance : kNarrowAdvance;
    }

    TGlyphMask Glyph(char32_t ch) override {
        if (DrawsNothing(ch)) return TGlyphMask{};
        const int advance = Advance(ch);
        return TGlyphMask{1, -kAscent + 1, advance - 2, kAscent + kDescent - 2,
                          (advance == kWideAdvance ? wide_ : narrow_).data()};
    }

private:
    static std::vector<uint8_t> Box(int advance) {
        return std::vector<uint8_t>(size_t(advance - 2) * (kAscent + kDescent - 2), 255);
    }

    TFaceMetrics metrics_;
    std::vector<uint8_t> narrow_, wide_;
};

} // namespace

std::shared_ptr<IFontFace> TestFace() {
    static const auto face = std::make_shared<TTestFace>();
    return face;
}
