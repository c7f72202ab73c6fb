#include "platform/ui/graphics/Bitmap.h"

#include <algorithm>
#include <cstring>

#include "platform/rtl/ResourceStrings.h"
#include "platform/rtl/Resources.h"
#include "platform/ui/Canvas.h"
#include "platform/ui/UiErrors.h"
#include "platform/ui/graphics/BitmapCanvas.h"
#include "platform/ui/graphics/GraphicStrings.h"
#include "platform/ui/graphics/MemoryDc.h"
#include "platform/win/gdi/Bitmaps.h"

RTL_PUBLISHED_NONE(TBitmap);

namespace {

// The drawing layer makes no bitmap of more bytes than this.
constexpr int64_t kMaxImageBytes = int64_t{1} << 31;

[[noreturn]] void OutOfResources() { throw EOutOfResources(LoadResString(SOutOfResources)); }

void FillWhite(HBITMAP bitmap, int width, int height) {
    const TMemoryDc memory(bitmap);
    const RECT all{0, 0, width, height};
    FillRect(memory.dc, &all, reinterpret_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

void Blit(HBITMAP dest, HBITMAP source, int width, int height) {
    const TMemoryDc to(dest), from(source);
    BitBlt(to.dc, 0, 0, width, height, from.dc, 0, 0, SRCCOPY);
}

} // namespace

TBitmap::TBitmap() = default;

TBitmap::~TBitmap() {
    canvas_.reset();
    FreeMask();
    if (handle_) DeleteObject(ToGdiObject(handle_));
    if (palette_) DeleteObject(ToGdiObject(palette_));
}

std::vector<RGBQUAD> TBitmap::ColorTableFor(int bitsPerPixel) const {
    if (palette_) return ColorTableOfPalette(palette_, bitsPerPixel);
    if (!colors_.empty() && BitsOfPixelFormat(format_) == bitsPerPixel) return colors_;
    return DefaultColorTable(bitsPerPixel);
}

TBitmap::TImage TBitmap::NewImage(int width, int height, TPixelFormat format, bool deviceMono) const {
    TImage image;
    image.width = width;
    image.height = height;
    image.format = format;
    image.deviceMono = deviceMono;
    const int bpp = format == pfDevice ? 32 : BitsOfPixelFormat(format);
    const int64_t bytes = DibImageBytes(width, height, bpp);
    if (bytes < 0 || bytes > kMaxImageBytes) OutOfResources();
    if (bytes == 0) return image;
    if (format == pfDevice || deviceMono) {
        image.handle = CreateBitmap(width, height, 1, UINT(bpp), nullptr);
    } else {
        if (bpp <= 8) image.colors = ColorTableFor(bpp);
        image.handle = NewDibSection(width, height, bpp, image.colors);
        DIBSECTION section{};
        if (image.handle && GetObjectW(ToGdiObject(image.handle), sizeof section, &section)) {
            image.bits = static_cast<uint8_t*>(section.dsBm.bmBits);
            image.stride = section.dsBm.bmWidthBytes;
        }
    }
    if (!image.handle) OutOfResources();
    return image;
}

void TBitmap::Replace(TImage image) {
    if (canvas_) canvas_->FreeContext();
    FreeMask();
    if (handle_) DeleteObject(ToGdiObject(handle_));
    handle_ = image.handle;
    bits_ = image.bits;
    stride_ = image.stride;
    width_ = image.width;
    height_ = image.height;
    format_ = image.format;
    deviceMono_ = image.deviceMono;
    colors_ = std::move(image.colors);
    dormant_.clear();
}

void TBitmap::Adopt(HBITMAP handle) {
    DIBSECTION section{};
    const int size = GetObjectW(ToGdiObject(handle), sizeof section, &section);
    if (!size) return;
    const BITMAP& info = section.dsBm;
    TImage image;
    image.width = info.bmWidth;
    image.height = info.bmHeight;
    image.handle = handle;
    if (size < int(sizeof section)) {
        image.format = info.bmBitsPixel == 1 ? pf1bit : pfDevice;
        image.deviceMono = info.bmBitsPixel == 1;
        return Replace(std::move(image));
    }
    image.format = PixelFormatOfBits(info.bmBitsPixel);
    image.bits = static_cast<uint8_t*>(info.bmBits);
    image.stride = info.bmWidthBytes;
    if (info.bmBitsPixel <= 8) {
        const TMemoryDc memory(handle);
        image.colors.resize(section.dsBmih.biClrUsed ? section.dsBmih.biClrUsed : 1u << info.bmBitsPixel);
        image.colors.resize(GetDIBColorTable(memory.dc, 0, UINT(image.colors.size()), image.colors.data()));
    }
    if (section.dsBmih.biHeight < 0) {
        // Rows stored top down: the copy stores them bottom up.
        TImage flipped = image;
        flipped.handle = NewDibSection(image.width, image.height, info.bmBitsPixel, image.colors);
        DIBSECTION flippedSection{};
        GetObjectW(ToGdiObject(flipped.handle), sizeof flippedSection, &flippedSection);
        flipped.bits = static_cast<uint8_t*>(flippedSection.dsBm.bmBits);
        for (int y = 0; y < image.height; ++y)
            std::memcpy(flipped.Row(y), image.bits + size_t(y) * size_t(image.stride), size_t(image.stride));
        DeleteObject(ToGdiObject(handle));
        image = std::move(flipped);
    }
    Replace(std::move(image));
}

HBITMAP TBitmap::HandleNeeded() {
    if (handle_ || Empty()) return handle_;
    if (!dormant_.empty()) {
        const TPixelFormat format = format_;
        const bool deviceMono = deviceMono_;
        const std::vector<uint8_t> file = std::move(dormant_);
        Adopt(ReadBmp(file));
        if (format == pfDevice || deviceMono) Convert(format, deviceMono);
        return handle_;
    }
    TImage image = NewImage(width_, height_, format_, deviceMono_);
    FillWhite(image.handle, width_, height_);
    Replace(std::move(image));
    return handle_;
}

HBITMAP TBitmap::Handle() { return HandleNeeded(); }

void TBitmap::SetHandle(HBITMAP value) {
    if (value == handle_) return;
    if (palette_) DeleteObject(ToGdiObject(palette_));
    palette_ = nullptr;
    if (value) Adopt(value);
    else Replace(NewImage(0, 0, format_, deviceMono_));
    Changed();
}

HBITMAP TBitmap::ReleaseHandle() {
    const HBITMAP handle = HandleNeeded();
    if (canvas_) canvas_->FreeContext();
    FreeMask();
    handle_ = nullptr;
    bits_ = nullptr;
    return handle;
}

void TBitmap::SetSize(int width, int height) {
    if (width == width_ && height == height_) return;
    TImage image = NewImage(width, height, format_, deviceMono_);
    if (image.handle) {
        FillWhite(image.handle, width, height);
        if (HandleNeeded()) {
            const int w = std::min(width, width_), h = std::min(height, height_);
            if (bits_) {
                CopyRows(image, w, h);
            } else {
                if (canvas_) canvas_->FreeContext(); // a bitmap is selected in one DC at a time
                Blit(image.handle, handle_, w, h);
            }
        }
    }
    Replace(std::move(image));
    Changed();
}

void TBitmap::CopyRows(const TImage& dest, int width, int height) const {
    const size_t bits = size_t(width) * size_t(BitsOfPixelFormat(format_));
    const size_t whole = bits / 8;
    // The bits of the last pixels when they end inside a byte; the rest of that byte stays.
    const auto keep = uint8_t(0xFF >> (bits % 8));
    for (int y = 0; y < height; ++y) {
        const uint8_t* from = bits_ + size_t(height_ - 1 - y) * size_t(stride_);
        uint8_t* to = dest.Row(y);
        std::memcpy(to, from, whole);
        if (bits % 8) to[whole] = uint8_t((from[whole] & ~keep) | (to[whole] & keep));
    }
}

void TBitmap::Convert(TPixelFormat format, bool deviceMono) {
    const int bpp = BitsOfPixelFormat(format);
    // A palette of more colours than the new depth holds gives way to the standard table.
    if (palette_ && bpp && bpp <= 8 && ColorTableOfPalette(palette_, 8).size() > (size_t(1) << bpp)) {
        DeleteObject(ToGdiObject(palette_));
        palette_ = nullptr;
    }
    HandleNeeded();
    TImage image = NewImage(width_, height_, format, deviceMono);
    if (image.handle) {
        if (bits_) {
            const TDibInfo info(width_, height_, BitsOfPixelFormat(format_), colors_);
            SetDIBits(nullptr, image.handle, 0, UINT(height_), bits_, info.Info(), DIB_RGB_COLORS);
        } else {
            TDibInfo info(width_, height_, 32, {});
            std::vector<uint8_t> pixels(size_t(DibImageBytes(width_, height_, 32)));
            GetDIBits(nullptr, handle_, 0, UINT(height_), pixels.data(), info.Info(), DIB_RGB_COLORS);
            SetDIBits(nullptr, image.handle, 0, UINT(height_), pixels.data(), info.Info(), DIB_RGB_COLORS);
        }
    }
    Replace(std::move(image));
}

void TBitmap::SetPixelFormat(TPixelFormat value) {
    if (value == pf15bit || value == pf16bit || value == pfCustom)
        throw EInvalidGraphic(LoadResString(SInvalidPixelFormat));
    if (value == format_ && !deviceMono_) return;
    Convert(value, false);
    Changed();
}

void TBitmap::SetHandleType(TBitmapHandleType value) {
    if (value == HandleType()) return;
    if (value == bmDIB) Convert(format_ == pfDevice ? pf32bit : pf1bit, false);
    else Convert(format_ == pf1bit ? pf1bit : pfDevice, format_ == pf1bit);
    Changed();
}

void TBitmap::SetMonochrome(bool value) {
    if (value ? deviceMono_ : !Monochrome()) return;
    Convert(value ? pf1bit : pfDevice, value);
    Changed();
}

HPALETTE TBitmap::Palette() const {
    if (!palette_ && !colors_.empty()) palette_ = PaletteOfColorTable(colors_);
    return palette_;
}

void TBitmap::SetPalette(HPALETTE value) {
    if (value == palette_) return;
    if (palette_) DeleteObject(ToGdiObject(palette_));
    palette_ = value;
    const int bpp = BitsOfPixelFormat(format_);
    if (value && bpp && bpp <= 8 && HandleNeeded()) {
        // The same indexes over the new colour table.
        TImage image = NewImage(width_, height_, format_, false);
        std::memcpy(image.bits, bits_, size_t(stride_) * size_t(height_));
        Replace(std::move(image));
    }
    Changed();
}

uint8_t* TBitmap::ScanLine(int row) {
    if (Empty() || row < 0 || row >= height_) throw EInvalidGraphicOperation(LoadResString(SScanLine));
    if (HandleType() == bmDDB) SetHandleType(bmDIB);
    HandleNeeded();
    return bits_ + size_t(height_ - 1 - row) * size_t(stride_);
}

TCanvas* TBitmap::Canvas() {
    if (!canvas_) {
        canvas_ = std::make_unique<TBitmapCanvas>(*this);
        canvas_->OnChange = [this](TObject*) { Changed(); };
    }
    return canvas_.get();
}

void TBitmap::Dormant() {
    if (!handle_) return;
    dormant_ = WriteBmp(handle_, format_ == pfDevice ? 32 : BitsOfPixelFormat(format_));
    if (canvas_) canvas_->FreeContext();
    FreeMask();
    DeleteObject(ToGdiObject(handle_));
    handle_ = nullptr;
    bits_ = nullptr;
}

void TBitmap::Assign(TPersistent* source) {
    if (source == this) return;
    if (!source) {
        Replace(NewImage(0, 0, format_, deviceMono_));
        return Changed();
    }
    if (auto* other = dynamic_cast<TBitmap*>(source)) {
        other->HandleNeeded();
        if (palette_) DeleteObject(ToGdiObject(palette_));
        const HPALETTE otherPalette = other->Palette();
        palette_ = otherPalette ? PaletteOfColorTable(ColorTableOfPalette(otherPalette, 8)) : nullptr;
        TImage image = NewImage(other->width_, other->height_, other->format_, other->deviceMono_);
        if (image.bits) {
            std::memcpy(image.bits, other->bits_, size_t(image.stride) * size_t(image.height));
        } else if (image.handle) {
            if (other->canvas_) other->canvas_->FreeContext();
            Blit(image.handle, other->handle_, image.width, image.height);
        }
        Replace(std::move(image));
        transparentColor_ = other->transparentColor_;
        transparentMode_ = other->transparentMode_;
        TGraphic::SetTransparent(other->Transparent());
        return Changed();
    }
    if (auto* graphic = dynamic_cast<TGraphic*>(source)) {
        SetSize(graphic->Width(), graphic->Height());
        if (Empty()) return;
        const TRect all{0, 0, width_, height_};
        Canvas()->Brush()->SetColor(clWhite);
        Canvas()->Brush()->SetStyle(bsSolid);
        Canvas()->FillRect(all);
        Canvas()->StretchDraw(all, graphic);
        return;
    }
    TGraphic::Assign(source);
}

void TBitmap::LoadFromStream(TStream& stream) {
    BITMAPFILEHEADER header{};
    std::vector<uint8_t> file(sizeof header);
    if (stream.Read(file.data(), int64_t(file.size())) != int64_t(file.size()))
        throw EInvalidGraphic(LoadResString(SInvalidBitmap));
    std::memcpy(&header, file.data(), sizeof header);
    const int64_t rest = stream.Size() - stream.Position();
    // The file's own size, unless it says less than a header (some writers leave it 0).
    const int64_t declared = int64_t(header.bfSize) - int64_t(sizeof header);
    const int64_t wanted = declared >= int64_t(sizeof(BITMAPINFOHEADER)) ? std::min(declared, rest) : rest;
    file.resize(size_t(int64_t(file.size()) + std::max<int64_t>(wanted, 0)));
    stream.ReadBuffer(file.data() + sizeof header, int64_t(file.size() - sizeof header));
    const HBITMAP handle = ReadBmp(file);
    if (!handle) throw EInvalidGraphic(LoadResString(SInvalidBitmap));
    if (palette_) DeleteObject(ToGdiObject(palette_));
    palette_ = nullptr;
    Adopt(handle);
    Changed();
}

void TBitmap::SaveToStream(TStream& stream) {
    if (!HandleNeeded()) return;
    const std::vector<uint8_t> file = WriteBmp(handle_, format_ == pfDevice ? 32 : BitsOfPixelFormat(format_));
    if (file.empty()) throw EInvalidGraphicOperation(LoadResString(SInvalidBitmap));
    stream.WriteBuffer(file.data(), int64_t(file.size()));
}

void TBitmap::LoadFromResourceName(HINSTANCE, const String& name) {
    TResourceStream stream(name, u"BITMAP");
    LoadFromStream(stream);
}

void TBitmap::Changed() {
    FreeMask();
    TGraphic::Changed();
}
