#pragma once
// What a tree keeps between paints: the row bitmap every row is drawn into
// (one 32-bit DIB section, regrown only when a row is wider or higher than
// any before), the four button bitmaps and the tree-line pattern brush, the
// line-image buffer of the row walk, and the painting inputs that input and
// drag code set (hot button, drop mode, rubber band).

#include <memory>

#include "platform/rtl/Geometry.h"
#include "platform/ui/Canvas.h"
#include "platform/win/gdi/GdiTypes.h"
#include "treeview/TreePaintTypes.h"

// A 32-bit top-down DIB section selected into a memory DC, with a canvas on it.
class TRowBitmap {
public:
    TRowBitmap() = default;
    ~TRowBitmap();
    TRowBitmap(const TRowBitmap&) = delete;
    TRowBitmap& operator=(const TRowBitmap&) = delete;

    // At least Width x Height; the pixels are not cleared.
    void Reserve(int width, int height);
    HDC Dc() const noexcept { return dc_; }
    TCanvas* Canvas() noexcept { return &canvas_; }
    int Width() const noexcept { return width_; }
    int Height() const noexcept { return height_; }

private:
    void Release();
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    TCanvas canvas_;
};

// A GDI object owned by the tree, deleted when replaced or at the end.
template <class H>
class TOwnedGdiObject {
public:
    TOwnedGdiObject() = default;
    ~TOwnedGdiObject() { Reset(nullptr); }
    TOwnedGdiObject(const TOwnedGdiObject&) = delete;
    TOwnedGdiObject& operator=(const TOwnedGdiObject&) = delete;
    H Get() const noexcept { return handle_; }
    void Reset(H handle);

private:
    H handle_ = nullptr;
};

struct TTreePaintState {
    TRowBitmap row;
    // Collapsed, expanded, hot collapsed, hot expanded.
    TOwnedGdiObject<HBITMAP> buttons[4];
    TOwnedGdiObject<HBITMAP> linePattern;
    TOwnedGdiObject<HBRUSH> lineBrush;
    int buttonWidth = 9;
    int buttonHeight = 9;
    // The button's place in the cell of the row being painted.
    int buttonX = 0;
    int buttonY = 0;
    // What the buttons and the line brush were built from; a change rebuilds them at the next paint.
    struct TBuildKey {
        int buttonStyle = -1, fillMode = -1, lineStyle = -1;
        TColor treeLineColor = clNone, color = clNone, fontColor = clNone;
        friend bool operator==(const TBuildKey&, const TBuildKey&) = default;
    } builtFrom;
    TLineImage lineImage;
    bool hotButton = false;
    TDropMode dropMode = dmNowhere;
    TRect drawSelectionRect;
};
