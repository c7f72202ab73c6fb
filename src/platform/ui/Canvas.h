#pragma once
// TCanvas: drawing on a device context with a font, a pen and a brush.
//
// The canvas selects each of its objects into the DC only when a drawing
// call needs it, and again after the object changed (which also remakes the
// object's handle). A canvas without a DC asks CreateHandle for one (a
// control's canvas gets its control's) and raises EInvalidOperation
// "Canvas does not allow drawing" when none comes. Setting the handle to
// null, Refresh and destruction select the DC's stock objects again, so the
// DC never holds a freed object. Drawing calls announce themselves through
// OnChanging before and OnChange after.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Geometry.h"
#include "platform/rtl/ResourceStrings.h"
#include "platform/rtl/Set.h"
#include "platform/ui/Brush.h"
#include "platform/ui/Font.h"
#include "platform/ui/Pen.h"

class TGraphic;

inline constexpr TResStringRec SNoCanvasHandle{0xE000, u"Canvas does not allow drawing"};

// Raster operations of CopyRect (the blits the drawing layer draws).
using TCopyMode = int32_t;
constexpr TCopyMode cmSrcCopy = TCopyMode(SRCCOPY);
constexpr TCopyMode cmSrcAnd = TCopyMode(SRCAND);
constexpr TCopyMode cmSrcPaint = TCopyMode(SRCPAINT);
constexpr TCopyMode cmNotSrcCopy = TCopyMode(NOTSRCCOPY);
constexpr TCopyMode cmPatCopy = TCopyMode(PATCOPY);
constexpr TCopyMode cmDstInvert = TCopyMode(DSTINVERT);

enum class TCanvasStates { csHandleValid, csFontValid, csPenValid, csBrushValid };
using enum TCanvasStates;
RTL_ENUM(TCanvasStates, csHandleValid, csFontValid, csPenValid, csBrushValid);
using TCanvasState = TSet<TCanvasStates>;

class TCanvas : public TPersistent {
    RTL_CLASS(TCanvas, TPersistent);

public:
    TCanvas();
    ~TCanvas() override;
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    // The DC drawn on; the canvas does not own it.
    HDC Handle();
    void SetHandle(HDC value);
    bool HandleAllocated() const noexcept { return handle_ != nullptr; }

    TFont* Font() const noexcept { return font_.get(); }
    void SetFont(TFont* value) { font_->Assign(value); }
    TPen* Pen() const noexcept { return pen_.get(); }
    void SetPen(TPen* value) { pen_->Assign(value); }
    TBrush* Brush() const noexcept { return brush_.get(); }
    void SetBrush(TBrush* value) { brush_->Assign(value); }

    TCopyMode CopyMode() const noexcept { return copyMode_; }
    void SetCopyMode(TCopyMode value) { copyMode_ = value; }
    // ETO_x options every TextOut and TextRect adds.
    int TextFlags() const noexcept { return textFlags_; }
    void SetTextFlags(int value) { textFlags_ = value; }
    TPoint PenPos();
    void SetPenPos(TPoint value) { MoveTo(value.X, value.Y); }
    // The bounds of what the DC may draw on, in logical coordinates.
    TRect ClipRect();
    TCanvasState State() const noexcept { return state_; }

    // Other threads drawing on the same canvas take turns through these.
    void Lock();
    bool TryLock();
    void Unlock();
    int LockCount() const noexcept { return lockCount_.load(); }

    // Primitives: fills and frames with the brush; outlines with the pen.
    void FillRect(const TRect& rect);
    void FrameRect(const TRect& rect);
    void DrawFocusRect(const TRect& rect);
    void Rectangle(int x1, int y1, int x2, int y2);
    void Rectangle(const TRect& rect) { Rectangle(rect.Left, rect.Top, rect.Right, rect.Bottom); }
    void RoundRect(int x1, int y1, int x2, int y2, int cornerWidth, int cornerHeight);
    void Ellipse(int x1, int y1, int x2, int y2);
    void Ellipse(const TRect& rect) { Ellipse(rect.Left, rect.Top, rect.Right, rect.Bottom); }
    void Polygon(std::span<const TPoint> points);
    void Polyline(std::span<const TPoint> points);
    void MoveTo(int x, int y);
    // Draws up to, not including, (X, Y), which becomes the pen position.
    void LineTo(int x, int y);
    TColor Pixel(int x, int y);
    void SetPixel(int x, int y, TColor color);

    // Text in the font's colour from (X, Y), the top-left of its first cell,
    // on the brush's colour unless the brush is clear; the pen position moves
    // to the end of the text.
    void TextOut(int x, int y, const String& text);
    // Like TextOut but clipped to Rect, which an opaque brush fills first.
    void TextRect(const TRect& rect, int x, int y, const String& text);
    // DrawTextW with the DT_x format inside Rect; DT_CALCRECT writes the
    // measured bounds back to Rect and DT_MODIFYSTRING the shortened text.
    void TextRect(TRect& rect, String& text, UINT format);
    TSize TextExtent(const String& text);
    int TextWidth(const String& text) { return TextExtent(text).cx; }
    int TextHeight(const String& text) { return TextExtent(text).cy; }

    // A graphic at its own size with its top-left corner at (X, Y), or
    // stretched into Rect; nothing for null or empty graphics.
    void Draw(int x, int y, TGraphic* graphic);
    void StretchDraw(const TRect& rect, TGraphic* graphic);

    // Copies Source's rectangle from Canvas into Dest (stretching) through CopyMode.
    void CopyRect(const TRect& dest, TCanvas* canvas, const TRect& source);

    // Forgets the selected objects; the next drawing call selects them again.
    void Refresh();

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    virtual void Changed();
    virtual void Changing();
    // Gives the canvas a DC when drawing needs one; nothing here.
    virtual void CreateHandle() {}
    // Makes sure the DC exists and has the objects named selected.
    void RequiredState(TCanvasState required);

private:
    void SelectFont();
    void SelectPen();
    void SelectBrush();
    void DeselectHandles();
    void ObjectChanged(TCanvasStates selection);

    HDC handle_ = nullptr;
    TCanvasState state_;
    std::unique_ptr<TFont> font_;
    std::unique_ptr<TPen> pen_;
    std::unique_ptr<TBrush> brush_;
    TCopyMode copyMode_ = cmSrcCopy;
    int textFlags_ = 0;
    std::recursive_mutex lock_;
    std::atomic<int> lockCount_{0};
};
