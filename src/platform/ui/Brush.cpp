#include "platform/ui/Brush.h"

RTL_PUBLISHED(TBrush, c) {
    c.Property("Color", &TBrush::Color, &TBrush::SetColor).OfType(TColorTypeInfo()).Default(clWhite);
    c.Property("Style", &TBrush::Style, &TBrush::SetStyle).Default(bsSolid);
}

void TBrush::Assign(TPersistent* source) {
    auto* other = dynamic_cast<TBrush*>(source);
    if (!other) return TGraphicsObject::Assign(source);
    if (other == this) return;
    color_ = other->color_;
    style_ = other->style_;
    bitmap_ = other->bitmap_;
    HandleChanged();
}

HBRUSH TBrush::Handle() const {
    if (!handle_) {
        LOGBRUSH lb{};
        if (bitmap_) {
            lb.lbStyle = BS_PATTERN;
            lb.lbHatch = reinterpret_cast<ULONG_PTR>(bitmap_);
        } else {
            lb.lbStyle = style_ == bsClear ? BS_NULL : BS_SOLID;
            lb.lbColor = ColorToRGB(color_);
        }
        handle_.Reset(CreateBrushIndirect(&lb));
    }
    return handle_.Get();
}

void TBrush::SetHandle(HBRUSH value) {
    if (value == handle_.Get()) return;
    LOGBRUSH lb{};
    if (value && GetObjectW(ToGdiObject(value), sizeof lb, &lb)) {
        bitmap_ = lb.lbStyle == BS_PATTERN ? reinterpret_cast<HBITMAP>(lb.lbHatch) : nullptr;
        style_ = lb.lbStyle == BS_NULL ? bsClear : bsSolid;
        if (lb.lbStyle == BS_SOLID) color_ = TColor(lb.lbColor);
    }
    handle_.Reset(value);
    Changed();
}

void TBrush::HandleChanged() {
    handle_.Reset();
    Changed();
}

void TBrush::SetColor(TColor value) {
    if (value == color_ && style_ != bsClear) return;
    color_ = value;
    if (style_ == bsClear) style_ = bsSolid;
    HandleChanged();
}

void TBrush::SetStyle(TBrushStyle value) {
    if (value == style_) return;
    style_ = value;
    HandleChanged();
}

void TBrush::SetBitmap(HBITMAP value) {
    if (value == bitmap_) return;
    bitmap_ = value;
    HandleChanged();
}
