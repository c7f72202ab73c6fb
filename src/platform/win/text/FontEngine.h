#pragma once
// Where fonts come from. A face answers integer metrics, advances and glyph
// coverage for one size and style; everything above it (runs, alignment,
// rotation, layout, compositing) is the text layer's own code.
//
// Two faces are built in and need nothing else: the test face (fixed metrics,
// every glyph a box) and a "Marlett" symbol face drawn from our own shapes.
// Every other name goes to the installed engine (the Qt backend); without
// one, every name answers the test face.

#include <cstdint>
#include <memory>

#include "platform/rtl/String.h"
#include "platform/win/Types.h"

// The built-in deterministic face: ascent 12, descent 4, no leading; advance
// 8, or 16 for East Asian wide and full-width characters; every visible glyph
// a solid box inset by one pixel, never antialiased.
inline constexpr char16_t kTestFaceName[] = u"Ostrel Test Box";
inline constexpr char16_t kSymbolFaceName[] = u"Marlett";

struct TFaceMetrics {
    int height = 0; // ascent + descent
    int ascent = 0, descent = 0;
    int internalLeading = 0, externalLeading = 0;
    int aveCharWidth = 0, maxCharWidth = 0;
    int underlinePosition = 1;  // below the baseline, pixels
    int strikeOutPosition = 3;  // above the baseline, pixels
    int lineThickness = 1;
    bool fixedPitch = false;
    bool vector = true;         // an outline face (TMPF_VECTOR | TMPF_TRUETYPE)
    String family;              // as GetTextFaceW answers it
};

// A glyph's coverage (0..255) relative to the pen on the baseline: the mask's
// top-left pixel lies at (left, top), top negative above the baseline.
struct TGlyphMask {
    int left = 0, top = 0, width = 0, height = 0;
    const uint8_t* coverage = nullptr; // width * height, rows top down
};

class IFontFace {
public:
    virtual ~IFontFace() = default;
    virtual const TFaceMetrics& Metrics() const noexcept = 0;
    // The advance of a character, falling back per character to another face
    // when this one lacks it. Cached: no allocation once a character was seen.
    virtual int Advance(char32_t ch) = 0;
    // The glyph of a character, empty for one that draws nothing. The mask
    // lives as long as the face.
    virtual TGlyphMask Glyph(char32_t ch) = 0;
};

struct TFontRequest {
    String face;         // as given; empty for the interface family
    int emHeight = 12;   // pixels, > 0 (lfHeight < 0)
    int cellHeight = 0;  // pixels; when > 0 the em height is chosen so ascent + descent fit it
    int weight = 400;
    bool italic = false;
    bool antialiased = true;
};

class IFontEngine {
public:
    virtual ~IFontEngine() = default;
    // Never null: an unknown family answers the interface family.
    virtual std::shared_ptr<IFontFace> Resolve(const TFontRequest& request) = 0;
    virtual String InterfaceFamily() = 0;
};

void SetFontEngine(std::shared_ptr<IFontEngine> engine);
std::shared_ptr<IFontEngine> FontEngine();
// Changes whenever an engine is installed or removed; fonts re-resolve then.
uint32_t FontEngineGeneration() noexcept;

// The built-in faces and the engine's, by the request's name.
std::shared_ptr<IFontFace> ResolveFace(const TFontRequest& request);
