#pragma once
// TPen: colour, width, style and mix mode of lines, and the HPEN made from
// them. The drawing layer draws solid lines only, so the dashed styles make
// solid pens; of the modes only pmCopy is drawn (a canvas keeps copying for
// the others).

#include "platform/rtl/TypeInfo.h"
#include "platform/ui/Colors.h"
#include "platform/ui/GraphicsObject.h"

enum class TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
using enum TPenStyle;
RTL_ENUM(TPenStyle, psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame);

enum class TPenMode {
    pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
    pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};
using enum TPenMode;
RTL_ENUM(TPenMode, pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot, pmMergeNotPen,
         pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor);

// The raster operation (R2_x) of a mode.
int PenModeToRop2(TPenMode mode);

class TPen : public TGraphicsObject {
    RTL_CLASS(TPen, TGraphicsObject);

public:
    TPen() = default;
    void Assign(TPersistent* source) override;

    // Made on first use. Setting a handle hands it over to the pen, which
    // takes its colour, width and style from it and deletes it when it
    // makes another.
    HPEN Handle() const;
    void SetHandle(HPEN value);
    bool HandleAllocated() const noexcept { return bool(handle_); }

    TColor Color() const noexcept { return color_; }
    void SetColor(TColor value);
    int Width() const noexcept { return width_; }
    void SetWidth(int value);
    TPenStyle Style() const noexcept { return style_; }
    void SetStyle(TPenStyle value);
    // Not part of the handle: the canvas sets it when it selects the pen.
    TPenMode Mode() const noexcept { return mode_; }
    void SetMode(TPenMode value);

private:
    void HandleChanged();

    TColor color_ = clBlack;
    int width_ = 1;
    TPenStyle style_ = psSolid;
    TPenMode mode_ = pmCopy;
    mutable TOwnedGdiHandle<HPEN> handle_;
};
