#pragma once
// TBitmap: a picture in a bitmap of the drawing layer, either a DIB section
// in one of the pixel formats (rows bottom up: row 0 lies at the highest
// address, callers step between rows by the difference of two ScanLine
// pointers) or a device bitmap (pfDevice, and monochrome bitmaps).
//
// Sizes are checked in 64 bits: a bitmap that cannot be made raises
// EOutOfResources and the bitmap stays as it was. Changing the size keeps the
// pixels that remain and makes the new ones white; changing the pixel format
// converts the pixels (to pf32bit with alpha 0; indexes past a short colour
// table read as black). Paletted bitmaps take their colour table from Palette,
// or from the standard table of their depth.
//
// A transparent bitmap draws without the pixels of its transparent colour:
// the bottom-left pixel's colour (tmAuto) or the colour set (tmFixed).

#include <memory>
#include <vector>

#include "platform/ui/Colors.h"
#include "platform/ui/graphics/Graphic.h"
#include "platform/ui/graphics/PixelFormats.h"

enum class TBitmapHandleType { bmDIB, bmDDB };
using enum TBitmapHandleType;
RTL_ENUM(TBitmapHandleType, bmDIB, bmDDB);

enum class TTransparentMode { tmAuto, tmFixed };
using enum TTransparentMode;
RTL_ENUM(TTransparentMode, tmAuto, tmFixed);

class TBitmapCanvas;

class TBitmap : public TGraphic {
    RTL_CLASS(TBitmap, TGraphic);

public:
    TBitmap();
    ~TBitmap() override;
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    // A bitmap (its pixels, format, palette and transparency), another
    // graphic (drawn onto white at its size) or null (empties the bitmap).
    void Assign(TPersistent* source) override;

    bool Empty() const override { return width_ == 0 || height_ == 0; }
    int Width() const override { return width_; }
    void SetWidth(int value) override { SetSize(value, height_); }
    int Height() const override { return height_; }
    void SetHeight(int value) override { SetSize(width_, value); }
    void SetSize(int width, int height) override;

    TPixelFormat PixelFormat() const noexcept { return format_; }
    // Raises EInvalidGraphic "Invalid pixel format" for pf15bit, pf16bit and pfCustom.
    void SetPixelFormat(TPixelFormat value);
    TBitmapHandleType HandleType() const noexcept { return format_ == pfDevice || deviceMono_ ? bmDDB : bmDIB; }
    // A DIB of a device bitmap is pf32bit (pf1bit when monochrome); a device
    // bitmap of a DIB is pfDevice (monochrome when pf1bit).
    void SetHandleType(TBitmapHandleType value);
    bool Monochrome() const noexcept { return format_ == pf1bit; }
    // True makes a monochrome device bitmap, false a pfDevice one.
    void SetMonochrome(bool value);

    // Made from the colour table when asked; owned by the bitmap. Setting
    // hands the palette over to the bitmap, whose colour table becomes its
    // entries (as many as the depth holds).
    HPALETTE Palette() const override;
    void SetPalette(HPALETTE value) override;

    // Null while empty. Setting hands a bitmap over (a top-down DIB is turned
    // bottom up); ReleaseHandle hands it back, leaving white pixels of the same size.
    HBITMAP Handle();
    void SetHandle(HBITMAP value);
    HBITMAP ReleaseHandle();
    bool HandleAllocated() const noexcept { return handle_ != nullptr; }
    // A monochrome device bitmap, white where the pixels have the transparent
    // colour; owned by the bitmap and remade after changes.
    HBITMAP MaskHandle();
    // Turns the bitmap into its mask for Color: a monochrome device bitmap.
    void Mask(TColor transparentColor);

    // Row Y of the pixels, made a DIB first. Raises EInvalidGraphicOperation
    // "Scan line index out of range" for rows outside the bitmap.
    uint8_t* ScanLine(int row);

    // A memory DC with the bitmap selected; drawing on it changes the bitmap.
    TCanvas* Canvas();

    TColor TransparentColor();
    // clDefault returns to tmAuto; any other colour fixes it (tmFixed).
    void SetTransparentColor(TColor value);
    TTransparentMode TransparentMode() const noexcept { return transparentMode_; }
    void SetTransparentMode(TTransparentMode value);

    // Keeps the pixels as a BMP image in memory and frees the handle, which
    // the next use makes again.
    void Dormant();
    // The pixels live either in the handle or, while dormant, in memory, and
    // both are needed: nothing else is kept to free.
    void FreeImage() {}

    void Draw(TCanvas* canvas, const TRect& rect) override;
    // A BMP file (1, 4, 8, 24 and 32 bits; bit fields become pf32bit). Raises
    // EInvalidGraphic "Bitmap image is not valid" for anything else. Decoders
    // of other formats override it.
    void LoadFromStream(TStream& stream) override;
    // A BMP file in the bitmap's depth (pfDevice: 32 bits).
    void SaveToStream(TStream& stream) override;
    // The embedded resource Name of kind "BITMAP" (a BMP file); raises
    // EResNotFound when there is none. The instance is not used.
    void LoadFromResourceName(HINSTANCE instance, const String& name);

protected:
    void Changed() override;

private:
    friend class TBitmapCanvas;
    // A handle with what the bitmap knows of it.
    struct TImage {
        HBITMAP handle = nullptr;
        uint8_t* bits = nullptr; // a DIB's pixels
        int stride = 0;
        int width = 0, height = 0;
        TPixelFormat format = pfDevice;
        bool deviceMono = false;
        std::vector<RGBQUAD> colors; // a paletted DIB's colour table

        // Row Y of a DIB, bottom up.
        uint8_t* Row(int y) const noexcept { return bits + size_t(height - 1 - y) * size_t(stride); }
    };

    HBITMAP HandleNeeded();
    TImage NewImage(int width, int height, TPixelFormat format, bool deviceMono) const;
    void Replace(TImage image);
    // The top-left Width x Height pixels of this DIB into Dest, a DIB of the same format.
    void CopyRows(const TImage& dest, int width, int height) const;
    // Keeps the handle (a DIB is made bottom up); nothing when it is no bitmap.
    void Adopt(HBITMAP handle);
    // The pixels converted into a bitmap of another format or handle type.
    void Convert(TPixelFormat format, bool deviceMono);
    std::vector<RGBQUAD> ColorTableFor(int bitsPerPixel) const;
    void FreeMask();
    void DrawTransparent(HDC dest, const TRect& rect);

    HBITMAP handle_ = nullptr;
    uint8_t* bits_ = nullptr; // a DIB's pixels
    int stride_ = 0;
    int width_ = 0, height_ = 0;
    TPixelFormat format_ = pfDevice;
    bool deviceMono_ = false;
    std::vector<RGBQUAD> colors_; // a paletted DIB's colour table
    mutable HPALETTE palette_ = nullptr;
    HBITMAP mask_ = nullptr;
    std::vector<uint8_t> dormant_;
    TColor transparentColor_ = clDefault;
    TTransparentMode transparentMode_ = tmAuto;
    std::unique_ptr<TBitmapCanvas> canvas_;
};
