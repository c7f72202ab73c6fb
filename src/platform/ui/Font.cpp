#include "platform/ui/Font.h"

#include <algorithm>

#include "platform/rtl/Conversions.h"
#include "platform/win/text/Text.h"

RTL_PUBLISHED(TFont, c) {
    c.Property("Charset", &TFont::Charset, &TFont::SetCharset);
    c.Property("Color", &TFont::Color, &TFont::SetColor).OfType(TColorTypeInfo());
    c.Property("Height", &TFont::Height, &TFont::SetHeight);
    c.Property("Name", &TFont::Name, &TFont::SetName);
    c.Property("Pitch", &TFont::Pitch, &TFont::SetPitch).Default(fpDefault);
    c.Property("Size", &TFont::Size, &TFont::SetSize).Stored(false);
    c.Property("Style", &TFont::Style, &TFont::SetStyle).Default(TFontStyles{});
}

namespace {

LOGFONTW DefaultGuiLogFont() {
    LOGFONTW lf{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    return lf;
}

String FaceName(const LOGFONTW& lf) {
    return String(lf.lfFaceName, std::find(lf.lfFaceName, lf.lfFaceName + LF_FACESIZE, u'\0'));
}

BYTE PitchBits(TFontPitch pitch) {
    switch (pitch) {
    case fpVariable: return VARIABLE_PITCH;
    case fpFixed: return FIXED_PITCH;
    case fpDefault: break;
    }
    return DEFAULT_PITCH;
}

TFontPitch PitchOf(BYTE pitchAndFamily) {
    switch (pitchAndFamily & 0x0F) {
    case VARIABLE_PITCH: return fpVariable;
    case FIXED_PITCH: return fpFixed;
    }
    return fpDefault;
}

} // namespace

TFont::TFont() {
    static const LOGFONTW gui = DefaultGuiLogFont();
    name_ = FaceName(gui);
    height_ = gui.lfHeight;
    charset_ = gui.lfCharSet;
}

void TFont::Assign(TPersistent* source) {
    auto* other = dynamic_cast<TFont*>(source);
    if (!other) return TGraphicsObject::Assign(source);
    if (other == this) return;
    name_ = other->name_;
    height_ = other->height_;
    style_ = other->style_;
    color_ = other->color_;
    charset_ = other->charset_;
    pitch_ = other->pitch_;
    pixelsPerInch_ = other->pixelsPerInch_;
    DescriptionChanged();
}

LOGFONTW TFont::Describe() const {
    LOGFONTW lf{};
    lf.lfHeight = height_;
    lf.lfWeight = style_.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = style_.Contains(fsItalic);
    lf.lfUnderline = style_.Contains(fsUnderline);
    lf.lfStrikeOut = style_.Contains(fsStrikeOut);
    lf.lfCharSet = charset_;
    lf.lfPitchAndFamily = PitchBits(pitch_);
    std::copy_n(name_.data(), std::min<size_t>(name_.size(), LF_FACESIZE - 1), lf.lfFaceName);
    return lf;
}

HFONT TFont::Handle() const {
    if (!handle_) {
        const LOGFONTW lf = Describe();
        handle_.Reset(CreateFontIndirectW(&lf));
    }
    return handle_.Get();
}

void TFont::SetHandle(HFONT value) {
    if (value == handle_.Get()) return;
    LOGFONTW lf{};
    if (value && GetObjectW(ToGdiObject(value), sizeof lf, &lf)) {
        name_ = FaceName(lf);
        height_ = lf.lfHeight;
        style_ = {};
        if (lf.lfWeight >= FW_SEMIBOLD) style_.Include(fsBold);
        if (lf.lfItalic) style_.Include(fsItalic);
        if (lf.lfUnderline) style_.Include(fsUnderline);
        if (lf.lfStrikeOut) style_.Include(fsStrikeOut);
        charset_ = lf.lfCharSet;
        pitch_ = PitchOf(lf.lfPitchAndFamily);
    }
    handle_.Reset(value);
    Changed();
}

void TFont::DescriptionChanged() {
    handle_.Reset();
    Changed();
}

void TFont::SetName(const String& value) {
    if (value.empty() || value == name_) return;
    name_ = value;
    DescriptionChanged();
}

void TFont::SetHeight(int value) {
    if (value == height_) return;
    height_ = value;
    DescriptionChanged();
}

int TFont::Size() const { return -MulDiv(height_, 72, pixelsPerInch_); }

void TFont::SetSize(int value) { SetHeight(-MulDiv(value, pixelsPerInch_, 72)); }

void TFont::SetStyle(TFontStyles value) {
    if (value == style_) return;
    style_ = value;
    DescriptionChanged();
}

void TFont::SetColor(TColor value) {
    if (value == color_) return;
    color_ = value;
    Changed();
}

void TFont::SetCharset(TFontCharset value) {
    if (value == charset_) return;
    charset_ = value;
    DescriptionChanged();
}

void TFont::SetPitch(TFontPitch value) {
    if (value == pitch_) return;
    pitch_ = value;
    DescriptionChanged();
}
