#pragma once
// A line of text as it is measured and drawn: pen positions from the face's
// advances (or given ones), glyph coverage gathered along the baseline,
// turned by the font's escapement and composited into the DC in the text
// colour. Internal.

#include <span>
#include <string_view>

#include "platform/win/gdi/DeviceContext.h"
#include "platform/win/text/CharClasses.h"
#include "platform/win/text/FontObject.h"

// Calls Visit(index, units, advance) for each code point of Text.
template <class F>
void ForEachAdvance(IFontFace& face, std::u16string_view text, F&& visit) {
    for (size_t i = 0; i < text.size();) {
        size_t units;
        const char32_t ch = CodePointAt(text, i, units);
        visit(i, units, face.Advance(ch));
        i += units;
    }
}

inline int TextWidth(IFontFace& face, std::u16string_view text) {
    int width = 0;
    ForEachAdvance(face, text, [&](size_t, size_t, int advance) { width += advance; });
    return width;
}

// Pixels along the baseline, from the run's start.
struct TSpan {
    int from = 0, to = 0;
};

struct TRun {
    std::u16string_view text;
    const int* dx = nullptr;       // the advance after each unit, else the face's
    std::span<const TSpan> underlines; // besides the font's own underline
};

// Draws Run at the logical reference point under the alignment (TA_x). Clip,
// when given, is a logical rectangle that limits the drawing too; with
// OpaqueCell the run's cell is filled with the background colour first.
bool PaintRun(TDc& dc, const TFontObject& font, POINT reference, UINT align, const TRun& run, const RECT* clip,
              bool opaqueCell);
