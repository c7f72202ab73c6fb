#include "platform/ui/Pen.h"

RTL_PUBLISHED(TPen, c) {
    c.Property("Color", &TPen::Color, &TPen::SetColor).OfType(TColorTypeInfo()).Default(clBlack);
    c.Property("Mode", &TPen::Mode, &TPen::SetMode).Default(pmCopy);
    c.Property("Style", &TPen::Style, &TPen::SetStyle).Default(psSolid);
    c.Property("Width", &TPen::Width, &TPen::SetWidth).Default(1);
}

int PenModeToRop2(TPenMode mode) {
    static constexpr int kRop2[] = {R2_BLACK,       R2_WHITE,      R2_NOP,         R2_NOT,     R2_COPYPEN,
                                    R2_NOTCOPYPEN,  R2_MERGEPENNOT, R2_MASKPENNOT, R2_MERGENOTPEN,
                                    R2_MASKNOTPEN,  R2_MERGEPEN,   R2_NOTMERGEPEN, R2_MASKPEN, R2_NOTMASKPEN,
                                    R2_XORPEN,      R2_NOTXORPEN};
    return kRop2[static_cast<int>(mode)];
}

void TPen::Assign(TPersistent* source) {
    auto* other = dynamic_cast<TPen*>(source);
    if (!other) return TGraphicsObject::Assign(source);
    if (other == this) return;
    color_ = other->color_;
    width_ = other->width_;
    style_ = other->style_;
    mode_ = other->mode_;
    HandleChanged();
}

HPEN TPen::Handle() const {
    if (!handle_) {
        const bool dashed = style_ >= psDash && style_ <= psDashDotDot;
        const int style = dashed ? int(PS_SOLID) : static_cast<int>(style_);
        handle_.Reset(CreatePen(style, width_, ColorToRGB(color_)));
    }
    return handle_.Get();
}

void TPen::SetHandle(HPEN value) {
    if (value == handle_.Get()) return;
    LOGPEN lp{};
    if (value && GetObjectW(ToGdiObject(value), sizeof lp, &lp)) {
        color_ = TColor(lp.lopnColor);
        width_ = lp.lopnWidth.x;
        style_ = static_cast<TPenStyle>(lp.lopnStyle & PS_STYLE_MASK);
    }
    handle_.Reset(value);
    Changed();
}

void TPen::HandleChanged() {
    handle_.Reset();
    Changed();
}

void TPen::SetColor(TColor value) {
    if (value == color_) return;
    color_ = value;
    HandleChanged();
}

void TPen::SetWidth(int value) {
    if (value < 0 || value == width_) return;
    width_ = value;
    HandleChanged();
}

void TPen::SetStyle(TPenStyle value) {
    if (value == style_) return;
    style_ = value;
    HandleChanged();
}

void TPen::SetMode(TPenMode value) {
    if (value == mode_) return;
    mode_ = value;
    Changed();
}
