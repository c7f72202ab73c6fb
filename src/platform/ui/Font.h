#pragma once
// TFont: a font description (name, size, style, colour, character set,
// pitch) and the HFONT made from it. A new font is the interface font the
// system describes as its default GUI font (9 pt at 96 pixels per inch).
// Size is in points and Height in pixels (negative: the em height), tied by
// PixelsPerInch; Color is not part of the handle.

#include <cstdint>

#include "platform/rtl/Set.h"
#include "platform/rtl/TypeInfo.h"
#include "platform/ui/Colors.h"
#include "platform/ui/GraphicsObject.h"
#include "platform/win/text/TextTypes.h"

enum class TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using enum TFontStyle;
RTL_ENUM(TFontStyle, fsBold, fsItalic, fsUnderline, fsStrikeOut);
using TFontStyles = TSet<TFontStyle>;

enum class TFontPitch { fpDefault, fpVariable, fpFixed };
using enum TFontPitch;
RTL_ENUM(TFontPitch, fpDefault, fpVariable, fpFixed);

using TFontCharset = uint8_t;

class TFont : public TGraphicsObject {
    RTL_CLASS(TFont, TGraphicsObject);

public:
    TFont();
    void Assign(TPersistent* source) override;

    // Made on first use from the description. Setting a handle hands it
    // over to the font, which takes its description from it (keeping Color)
    // and deletes it when it makes another.
    HFONT Handle() const;
    void SetHandle(HFONT value);
    bool HandleAllocated() const noexcept { return bool(handle_); }

    const String& Name() const noexcept { return name_; }
    void SetName(const String& value);
    int Height() const noexcept { return height_; }
    void SetHeight(int value);
    int Size() const;
    void SetSize(int value);
    TFontStyles Style() const noexcept { return style_; }
    void SetStyle(TFontStyles value);
    TColor Color() const noexcept { return color_; }
    void SetColor(TColor value);
    TFontCharset Charset() const noexcept { return charset_; }
    void SetCharset(TFontCharset value);
    TFontPitch Pitch() const noexcept { return pitch_; }
    void SetPitch(TFontPitch value);
    // 96; Size converts through it.
    int PixelsPerInch() const noexcept { return pixelsPerInch_; }
    void SetPixelsPerInch(int value) { pixelsPerInch_ = value; }

private:
    LOGFONTW Describe() const;
    // Drops the handle (its description changed) and tells the owner.
    void DescriptionChanged();

    String name_;
    int height_ = 0;
    TFontStyles style_;
    TColor color_ = clWindowText;
    TFontCharset charset_ = DEFAULT_CHARSET;
    TFontPitch pitch_ = fpDefault;
    int pixelsPerInch_ = 96;
    mutable TOwnedGdiHandle<HFONT> handle_;
};
