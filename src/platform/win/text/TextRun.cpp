#include "platform/win/text/TextRun.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/win/gdi/Blit.h"
#include "platform/win/text/Text.h"

namespace {

thread_local std::vector<int> pens;
thread_local std::vector<uint8_t> runMask, turnedMask, cellMask, turnedCell;
thread_local std::vector<uint32_t> pixelRow;

// Coverage over a rectangle; the rectangle's pixels are rows of Width.
struct TMask {
    RECT box{};
    const uint8_t* coverage = nullptr;
    int Width() const noexcept { return box.right - box.left; }
};

RECT Union(const RECT& a, const RECT& b) noexcept {
    if (a.left >= a.right || a.top >= a.bottom) return b;
    if (b.left >= b.right || b.top >= b.bottom) return a;
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

RECT Intersect(const RECT& a, const RECT& b) noexcept {
    return RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
}

void FillSpan(std::vector<uint8_t>& mask, const RECT& box, int u0, int u1, int v0, int v1) {
    const int width = box.right - box.left;
    for (int v = std::max<int>(v0, box.top); v < std::min<int>(v1, box.bottom); ++v)
        for (int u = std::max<int>(u0, box.left); u < std::min<int>(u1, box.right); ++u)
            mask[size_t(v - box.top) * width + size_t(u - box.left)] = 255;
}

// Rotation about the reference point: device offset = (u cos + v sin, -u sin + v cos).
struct TTurn {
    double cos = 1, sin = 0;
    bool None() const noexcept { return cos == 1 && sin == 0; }
};

TTurn TurnOf(const TFontObject& font) {
    const LONG tenths = ((font.logFont.lfEscapement % 3600) + 3600) % 3600;
    switch (tenths) {
    case 0: return TTurn{1, 0};
    case 900: return TTurn{0, 1};
    case 1800: return TTurn{-1, 0};
    case 2700: return TTurn{0, -1};
    }
    const double radians = font.EscapementRadians();
    return TTurn{std::cos(radians), std::sin(radians)};
}

// The mask turned into device offsets from the reference point, sampled at pixel centres.
TMask Turn(const TMask& mask, const TTurn& turn, std::vector<uint8_t>& out) {
    if (turn.None()) return mask;
    const RECT& b = mask.box;
    double left = 1e9, top = 1e9, right = -1e9, bottom = -1e9;
    for (const POINT& c : {POINT{b.left, b.top}, POINT{b.right, b.top}, POINT{b.left, b.bottom}, POINT{b.right, b.bottom}}) {
        const double x = c.x * turn.cos + c.y * turn.sin, y = -c.x * turn.sin + c.y * turn.cos;
        left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = std::max(bottom, y);
    }
    const RECT box{LONG(std::floor(left)), LONG(std::floor(top)), LONG(std::ceil(right)), LONG(std::ceil(bottom))};
    const int width = box.right - box.left, height = box.bottom - box.top;
    out.assign(size_t(width) * size_t(height), 0);
    for (int y = 0; y < height; ++y) {
        const double dy = box.top + y + 0.5;
        for (int x = 0; x < width; ++x) {
            const double dx = box.left + x + 0.5;
            const int u = int(std::floor(dx * turn.cos - dy * turn.sin)) - b.left;
            const int v = int(std::floor(dx * turn.sin + dy * turn.cos)) - b.top;
            if (u >= 0 && v >= 0 && u < mask.Width() && v < b.bottom - b.top)
                out[size_t(y) * width + x] = mask.coverage[size_t(v) * mask.Width() + u];
        }
    }
    return TMask{box, out.data()};
}

// Blends Color into the target by the mask placed at Origin (device), within Limit (device).
void Composite(TDrawTarget& target, const TMask& mask, POINT origin, const RECT& limit, uint32_t color, bool mono) {
    const RECT placed{mask.box.left + origin.x, mask.box.top + origin.y, mask.box.right + origin.x,
                      mask.box.bottom + origin.y};
    const RECT area = Intersect(placed, limit);
    if (area.left >= area.right || area.top >= area.bottom) return;
    const TRaster& raster = target.raster;
    const int width = mask.Width();
    ForEachClipped(target, area, [&](const RECT& r) {
        const int n = r.right - r.left;
        if (pixelRow.size() < size_t(n)) pixelRow.resize(size_t(n));
        uint32_t* row = pixelRow.data();
        for (int y = r.top; y < r.bottom; ++y) {
            const uint8_t* coverage = mask.coverage + size_t(y - target.offset.y - placed.top) * width +
                                      size_t(r.left - target.offset.x - placed.left);
            ReadRow(raster, r.left, y, n, row);
            for (int i = 0; i < n; ++i) {
                const uint32_t c = coverage[i];
                if (c == 0) continue;
                if (c == 255 || mono) {
                    if (c >= 128) row[i] = color;
                    continue;
                }
                const uint32_t d = row[i];
                uint32_t out = 0;
                for (int shift = 0; shift < 24; shift += 8) {
                    // d (255 - c) + t c over 255, rounded, without a division.
                    const uint32_t mix = (d >> shift & 0xFF) * (255 - c) + (color >> shift & 0xFF) * c + 128;
                    out |= ((mix + (mix >> 8)) >> 8) << shift;
                }
                row[i] = out;
            }
            WriteRow(raster, r.left, y, n, row);
        }
    });
}

} // namespace

bool PaintRun(TDc& dc, const TFontObject& font, POINT reference, UINT align, const TRun& run, const RECT* clip,
              bool opaqueCell) {
    IFontFace& face = font.Face();
    const TFaceMetrics& m = face.Metrics();
    const std::u16string_view text = run.text;

    pens.assign(text.size() + 1, 0);
    int width = 0;
    for (size_t i = 0; i < text.size();) {
        size_t units;
        const char32_t ch = CodePointAt(text, i, units);
        pens[i] = width;
        if (run.dx) {
            for (size_t k = 0; k < units; ++k) width += run.dx[i + k];
        } else {
            width += face.Advance(ch);
        }
        i += units;
    }
    pens[text.size()] = width;

    // The run in its own frame: u along the baseline, v down, the reference point at (0, 0).
    const int u0 = (align & TA_CENTER) == TA_CENTER ? -width / 2 : (align & TA_RIGHT) ? -width : 0;
    const int baseline = (align & TA_BASELINE) == TA_BASELINE ? 0 : (align & TA_BOTTOM) ? -m.descent : m.ascent;
    const RECT cell{u0, baseline - m.ascent, u0 + width, baseline + m.descent};
    const bool underline = font.logFont.lfUnderline || !run.underlines.empty();
    const int underlineTop = baseline + m.underlinePosition, strikeTop = baseline - m.strikeOutPosition;

    RECT box = cell;
    for (size_t i = 0; i < text.size();) {
        size_t units;
        const char32_t ch = CodePointAt(text, i, units);
        if (ch >= 0x20) {
            const TGlyphMask g = face.Glyph(ch);
            if (g.width > 0 && g.height > 0)
                box = Union(box, RECT{u0 + pens[i] + g.left, baseline + g.top, u0 + pens[i] + g.left + g.width,
                                      baseline + g.top + g.height});
        }
        i += units;
    }
    if (underline) box.bottom = std::max<LONG>(box.bottom, underlineTop + m.lineThickness);
    const int boxWidth = box.right - box.left, boxHeight = box.bottom - box.top;
    if (boxWidth <= 0 || boxHeight <= 0) return true;
    runMask.assign(size_t(boxWidth) * size_t(boxHeight), 0);
    for (size_t i = 0; i < text.size();) {
        size_t units;
        const char32_t ch = CodePointAt(text, i, units);
        const TGlyphMask g = ch >= 0x20 ? face.Glyph(ch) : TGlyphMask{};
        const int left = u0 + pens[i] + g.left - box.left, top = baseline + g.top - box.top;
        for (int y = 0; y < g.height; ++y) {
            uint8_t* out = runMask.data() + size_t(top + y) * boxWidth + left;
            const uint8_t* in = g.coverage + size_t(y) * g.width;
            for (int x = 0; x < g.width; ++x) out[x] = std::max(out[x], in[x]);
        }
        i += units;
    }
    if (font.logFont.lfUnderline) FillSpan(runMask, box, u0, u0 + width, underlineTop, underlineTop + m.lineThickness);
    for (const TSpan& span : run.underlines)
        FillSpan(runMask, box, u0 + span.from, u0 + span.to, underlineTop, underlineTop + m.lineThickness);
    if (font.logFont.lfStrikeOut) FillSpan(runMask, box, u0, u0 + width, strikeTop, strikeTop + m.lineThickness);

    const POINT origin = dc.ToDevice(reference);
    RECT limit{INT32_MIN / 2, INT32_MIN / 2, INT32_MAX / 2, INT32_MAX / 2};
    if (clip) {
        const RECT c = dc.ToDevice(*clip);
        limit = RECT{std::min(c.left, c.right), std::min(c.top, c.bottom), std::max(c.left, c.right),
                     std::max(c.top, c.bottom)};
    }
    const TTurn turn = TurnOf(font);
    const TMask glyphs = Turn(TMask{box, runMask.data()}, turn, turnedMask);
    TMask background;
    if (opaqueCell && width > 0) {
        cellMask.assign(size_t(width) * size_t(m.height), 255);
        background = Turn(TMask{cell, cellMask.data()}, turn, turnedCell);
    }
    const RECT reach = Union(RECT{glyphs.box.left + origin.x, glyphs.box.top + origin.y, glyphs.box.right + origin.x,
                                  glyphs.box.bottom + origin.y},
                             RECT{background.box.left + origin.x, background.box.top + origin.y,
                                  background.box.right + origin.x, background.box.bottom + origin.y});
    TDrawTarget target;
    if (!BeginDraw(dc, Intersect(reach, limit), target)) return false;
    const bool mono = IsMonochromeDc(dc);
    if (background.coverage)
        Composite(target, background, origin, limit, SolidPattern(dc, dc.state.background).color, mono);
    Composite(target, glyphs, origin, limit, SolidPattern(dc, dc.state.text).color, mono);
    EndDraw(target);
    return true;
}
