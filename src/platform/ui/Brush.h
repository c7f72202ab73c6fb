#pragma once
// TBrush: colour and style of fills, or a pattern bitmap, and the HBRUSH
// made from them. The drawing layer has no hatched brushes, so the hatch
// styles fill solid.
//
// Bitmap is, for now, the HBITMAP of the pattern (8x8 from its top-left),
// owned by the caller and read when the handle is made; it becomes the
// framework's bitmap class when that class exists.

#include "platform/rtl/TypeInfo.h"
#include "platform/ui/Colors.h"
#include "platform/ui/GraphicsObject.h"

enum class TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };
using enum TBrushStyle;
RTL_ENUM(TBrushStyle, bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross);

class TBrush : public TGraphicsObject {
    RTL_CLASS(TBrush, TGraphicsObject);

public:
    TBrush() = default;
    void Assign(TPersistent* source) override;

    // Made on first use: the pattern when Bitmap is set, else by Style and
    // Color. Setting a handle hands it over to the brush, which takes its
    // colour, style and pattern from it and deletes it when it makes another.
    HBRUSH Handle() const;
    void SetHandle(HBRUSH value);
    bool HandleAllocated() const noexcept { return bool(handle_); }

    // Setting a colour makes a clear brush solid.
    TColor Color() const noexcept { return color_; }
    void SetColor(TColor value);
    TBrushStyle Style() const noexcept { return style_; }
    void SetStyle(TBrushStyle value);
    HBITMAP Bitmap() const noexcept { return bitmap_; }
    void SetBitmap(HBITMAP value);

private:
    void HandleChanged();

    TColor color_ = clWhite;
    TBrushStyle style_ = bsSolid;
    HBITMAP bitmap_ = nullptr;
    mutable TOwnedGdiHandle<HBRUSH> handle_;
};
