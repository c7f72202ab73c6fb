#include "platform/win/text/FontObject.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/win/gdi/Gdi.h"
#include "platform/win/text/Text.h"

namespace {

constexpr int kDefaultEmHeight = 12;

TFontRequest RequestOf(const LOGFONTW& lf) {
    TFontRequest request;
    request.face = String(lf.lfFaceName, std::find(lf.lfFaceName, lf.lfFaceName + LF_FACESIZE, u'\0'));
    constexpr LONG kLargest = 4096;
    if (lf.lfHeight < 0) request.emHeight = std::min(-lf.lfHeight, kLargest);
    else if (lf.lfHeight > 0) request.cellHeight = std::min(lf.lfHeight, kLargest);
    else request.emHeight = kDefaultEmHeight;
    request.weight = lf.lfWeight == FW_DONTCARE ? FW_NORMAL : lf.lfWeight;
    request.italic = lf.lfItalic != 0;
    request.antialiased = lf.lfQuality != NONANTIALIASED_QUALITY;
    return request;
}

LOGFONTW MakeLogFont(LONG height, LONG weight, std::u16string_view face) {
    LOGFONTW lf{};
    lf.lfHeight = height;
    lf.lfWeight = weight;
    lf.lfCharSet = DEFAULT_CHARSET;
    std::copy_n(face.data(), std::min<size_t>(face.size(), LF_FACESIZE - 1), lf.lfFaceName);
    return lf;
}

} // namespace

IFontFace& TFontObject::Face() const {
    const uint32_t now = FontEngineGeneration();
    if (generation_.load(std::memory_order_acquire) == now) return *face_.load(std::memory_order_relaxed);
    std::lock_guard lock(mutex_);
    if (generation_.load(std::memory_order_relaxed) != now) {
        faces_.push_back(ResolveFace(RequestOf(logFont)));
        face_.store(faces_.back().get(), std::memory_order_relaxed);
        generation_.store(now, std::memory_order_release);
    }
    return *face_.load(std::memory_order_relaxed);
}

double TFontObject::EscapementRadians() const noexcept {
    return (logFont.lfEscapement % 3600) * std::numbers::pi / 1800.0;
}

LOGFONTW InterfaceLogFont(LONG height, LONG weight) { return MakeLogFont(height, weight, u"Tahoma"); }

std::unique_ptr<TFontObject> NewStockFont(int index) {
    switch (index) {
    case DEFAULT_GUI_FONT: return std::make_unique<TFontObject>(InterfaceLogFont(-12, FW_NORMAL));
    case ANSI_VAR_FONT: return std::make_unique<TFontObject>(MakeLogFont(-12, FW_NORMAL, u"MS Sans Serif"));
    case SYSTEM_FONT: return std::make_unique<TFontObject>(MakeLogFont(16, FW_BOLD, u"System"));
    }
    return nullptr;
}

const TFontObject* FontOf(const TDc& dc) {
    if (const auto* font = FindObjectAs<TFontObject>(HGDIOBJ(dc.state.font), OBJ_FONT)) return font;
    return FindObjectAs<TFontObject>(GetStockObject(SYSTEM_FONT), OBJ_FONT);
}

HFONT CreateFontIndirectW(const LOGFONTW* logFont) {
    if (!logFont) return nullptr;
    return reinterpret_cast<HFONT>(AddObject(std::make_unique<TFontObject>(*logFont)));
}

HFONT CreateFontW(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                  DWORD quality, DWORD pitchAndFamily, LPCWSTR face) {
    LOGFONTW lf = MakeLogFont(height, weight, face ? std::u16string_view(face) : std::u16string_view());
    lf.lfWidth = width;
    lf.lfEscapement = escapement;
    lf.lfOrientation = orientation;
    lf.lfItalic = BYTE(italic);
    lf.lfUnderline = BYTE(underline);
    lf.lfStrikeOut = BYTE(strikeOut);
    lf.lfCharSet = BYTE(charSet);
    lf.lfOutPrecision = BYTE(outPrecision);
    lf.lfClipPrecision = BYTE(clipPrecision);
    lf.lfQuality = BYTE(quality);
    lf.lfPitchAndFamily = BYTE(pitchAndFamily);
    return CreateFontIndirectW(&lf);
}

BOOL GetTextMetricsW(HDC handle, TEXTMETRICW* tm) {
    const TDc* dc = DcOf(handle);
    if (!dc || !tm) return FALSE;
    const TFontObject* font = FontOf(*dc);
    const TFaceMetrics& m = font->Face().Metrics();
    const LOGFONTW& lf = font->logFont;
    *tm = TEXTMETRICW{};
    tm->tmHeight = m.height;
    tm->tmAscent = m.ascent;
    tm->tmDescent = m.descent;
    tm->tmInternalLeading = m.internalLeading;
    tm->tmExternalLeading = m.externalLeading;
    tm->tmAveCharWidth = m.aveCharWidth;
    tm->tmMaxCharWidth = m.maxCharWidth;
    tm->tmWeight = lf.lfWeight == FW_DONTCARE ? FW_NORMAL : lf.lfWeight;
    tm->tmDigitizedAspectX = tm->tmDigitizedAspectY = 96;
    tm->tmFirstChar = 0x20;
    tm->tmLastChar = 0xFFFF;
    tm->tmDefaultChar = 0x1F;
    tm->tmBreakChar = 0x20;
    tm->tmItalic = lf.lfItalic ? 1 : 0;
    tm->tmUnderlined = lf.lfUnderline ? 1 : 0;
    tm->tmStruckOut = lf.lfStrikeOut ? 1 : 0;
    tm->tmPitchAndFamily = BYTE((lf.lfPitchAndFamily & 0xF0) | (m.fixedPitch ? 0 : TMPF_FIXED_PITCH) |
                                (m.vector ? TMPF_VECTOR | TMPF_TRUETYPE : 0));
    tm->tmCharSet = lf.lfCharSet;
    return TRUE;
}

int GetTextFaceW(HDC handle, int count, LPWSTR face) {
    const TDc* dc = DcOf(handle);
    if (!dc) return 0;
    const String family = FontOf(*dc)->Face().Metrics().family;
    if (!face) return family.Length() + 1;
    if (count <= 0) return 0;
    const int copied = std::min(family.Length(), count - 1);
    std::copy_n(family.data(), copied, face);
    face[copied] = u'\0';
    return copied;
}
