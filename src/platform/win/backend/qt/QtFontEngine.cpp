#include "platform/win/backend/qt/QtFontEngine.h"

#include <fontconfig/fontconfig.h>

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

#include <array>
#include <atomic>
#include <cmath>
#include <map>
#include <mutex>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "platform/win/text/FontEngine.h"

namespace {

QString ToQt(const String& s) { return QString::fromUtf16(s.data(), s.Length()); }
String FromQt(const QString& s) { return String(reinterpret_cast<const char16_t*>(s.utf16()), size_t(s.size())); }

// The family fontconfig picks for Chinese interface text.
QString MatchInterfaceFamily() {
    QString family;
    if (FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("sans-serif:lang=zh-cn"))) {
        FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result;
        if (FcPattern* match = FcFontMatch(nullptr, pattern, &result)) {
            FcChar8* name = nullptr;
            if (FcPatternGetString(match, FC_FAMILY, 0, &name) == FcResultMatch)
                family = QString::fromUtf8(reinterpret_cast<const char*>(name));
            FcPatternDestroy(match);
        }
        FcPatternDestroy(pattern);
    }
    return family.isEmpty() ? QFontDatabase::systemFont(QFontDatabase::GeneralFont).family() : family;
}

// The names the program's forms use for the interface font.
bool IsInterfaceAlias(const String& name) {
    for (const char16_t* alias : {u"", u"MS Sans Serif", u"Microsoft Sans Serif", u"Tahoma", u"宋体", u"SimSun"})
        if (SameText(name, alias)) return true;
    return false;
}

struct TCachedGlyph {
    int left = 0, top = 0, width = 0, height = 0;
    std::vector<uint8_t> coverage;
};

class TQtFace : public IFontFace {
public:
    TQtFace(const QString& family, const TFontRequest& request)
        : font_(family), metricsOf_(font_), antialiased_(request.antialiased) {
        font_.setWeight(request.weight >= 600 ? QFont::Bold : QFont::Weight(std::clamp(request.weight / 10 * 10, 100, 900)));
        font_.setItalic(request.italic);
        font_.setStyleStrategy(request.antialiased ? QFont::PreferAntialias : QFont::NoAntialias);
        font_.setHintingPreference(QFont::PreferFullHinting);
        int em = request.emHeight;
        if (request.cellHeight > 0) {
            constexpr int kProbe = 100;
            font_.setPixelSize(kProbe);
            const QFontMetricsF probe(font_);
            const double cell = probe.ascent() + probe.descent();
            em = cell > 0 ? std::max(1, int(std::lround(request.cellHeight * kProbe / cell))) : request.cellHeight;
        }
        font_.setPixelSize(std::max(1, em));
        metricsOf_ = QFontMetrics(font_);
        const QFontMetrics& fm = metricsOf_;
        metrics_.ascent = fm.ascent();
        metrics_.descent = fm.descent();
        metrics_.height = metrics_.ascent + metrics_.descent;
        metrics_.internalLeading = std::max(0, metrics_.height - em);
        metrics_.externalLeading = std::max(0, fm.leading());
        metrics_.aveCharWidth = fm.averageCharWidth();
        metrics_.maxCharWidth = fm.maxWidth();
        metrics_.underlinePosition = std::max(1, fm.underlinePos());
        metrics_.strikeOutPosition = fm.strikeOutPos();
        metrics_.lineThickness = std::max(1, fm.lineWidth());
        const QFontInfo info(font_);
        metrics_.fixedPitch = info.fixedPitch();
        metrics_.family = FromQt(info.family());
    }

    const TFaceMetrics& Metrics() const noexcept override { return metrics_; }

    ~TQtFace() override {
        for (auto& page : pages_) delete page.load();
    }

    // Seen characters of the basic plane are read without a lock.
    int Advance(char32_t ch) override {
        if (ch < 0x10000) {
            if (const TPage* page = pages_[ch >> 8].load(std::memory_order_acquire)) {
                const int advance = (*page)[ch & 0xFF].load(std::memory_order_relaxed);
                if (advance >= 0) return advance;
            }
        }
        std::lock_guard lock(mutex_);
        if (ch < 0x10000) {
            TPage* page = pages_[ch >> 8].load(std::memory_order_relaxed);
            if (!page) {
                page = new TPage;
                for (auto& advance : *page) advance.store(-1, std::memory_order_relaxed);
                pages_[ch >> 8].store(page, std::memory_order_release);
            }
            const int advance = Measure(ch);
            (*page)[ch & 0xFF].store(advance, std::memory_order_relaxed);
            return advance;
        }
        const auto found = astral_.find(ch);
        if (found != astral_.end()) return found->second;
        return astral_[ch] = Measure(ch);
    }

    TGlyphMask Glyph(char32_t ch) override {
        std::lock_guard lock(mutex_);
        auto found = glyphs_.find(ch);
        if (found == glyphs_.end()) found = glyphs_.emplace(ch, Render(ch)).first;
        const TCachedGlyph& g = found->second;
        if (g.coverage.empty()) return TGlyphMask{};
        return TGlyphMask{g.left, g.top, g.width, g.height, g.coverage.data()};
    }

private:
    int Measure(char32_t ch) const { return metricsOf_.horizontalAdvance(QString::fromUcs4(&ch, 1)); }

    TCachedGlyph Render(char32_t ch) const {
        const QString text = QString::fromUcs4(&ch, 1);
        const QRect bounds = metricsOf_.boundingRect(text);
        if (bounds.isEmpty()) return TCachedGlyph{};
        constexpr int kPad = 2;
        TCachedGlyph glyph{bounds.left() - kPad, bounds.top() - kPad, bounds.width() + 2 * kPad,
                           bounds.height() + 2 * kPad, {}};
        QImage image(glyph.width, glyph.height, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::TextAntialiasing, antialiased_);
            painter.setFont(font_);
            painter.setPen(Qt::white);
            painter.drawText(QPoint(-glyph.left, -glyph.top), text);
        }
        glyph.coverage.resize(size_t(glyph.width) * size_t(glyph.height));
        bool ink = false;
        for (int y = 0; y < glyph.height; ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = 0; x < glyph.width; ++x) {
                const uint8_t alpha = uint8_t(qAlpha(row[x]));
                glyph.coverage[size_t(y) * glyph.width + x] = alpha;
                ink |= alpha != 0;
            }
        }
        if (!ink) return TCachedGlyph{};
        return glyph;
    }

    QFont font_;
    QFontMetrics metricsOf_;
    bool antialiased_;
    TFaceMetrics metrics_;
    std::mutex mutex_;
    using TPage = std::array<std::atomic<int>, 256>;
    std::array<std::atomic<TPage*>, 256> pages_{};
    std::unordered_map<char32_t, int> astral_;
    std::unordered_map<char32_t, TCachedGlyph> glyphs_;
};

class TQtFontEngine : public IFontEngine {
public:
    std::shared_ptr<IFontFace> Resolve(const TFontRequest& request) override {
        std::lock_guard lock(mutex_);
        const QString family = FamilyFor(request.face);
        auto key = std::make_tuple(family, request.emHeight, request.cellHeight, request.weight, request.italic,
                                   request.antialiased);
        auto& face = faces_[key];
        if (!face) face = std::make_shared<TQtFace>(family, request);
        return face;
    }

    String InterfaceFamily() override {
        std::lock_guard lock(mutex_);
        return FromQt(Interface());
    }

private:
    const QString& Interface() {
        if (interface_.isEmpty()) interface_ = MatchInterfaceFamily();
        return interface_;
    }

    QString FamilyFor(const String& name) {
        if (IsInterfaceAlias(name)) return Interface();
        const QString family = ToQt(name);
        return QFontDatabase::hasFamily(family) ? family : Interface();
    }

    std::mutex mutex_;
    QString interface_;
    std::map<std::tuple<QString, int, int, int, bool, bool>, std::shared_ptr<IFontFace>> faces_;
};

} // namespace

void InstallQtFontEngine() { SetFontEngine(std::make_shared<TQtFontEngine>()); }
