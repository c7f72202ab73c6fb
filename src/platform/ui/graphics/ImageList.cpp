#include "platform/ui/graphics/ImageList.h"

#include <algorithm>

#include "platform/rtl/Filer.h"
#include "platform/rtl/Resources.h"
#include "platform/rtl/Streams.h"
#include "platform/ui/Canvas.h"
#include "platform/ui/graphics/Bitmap.h"
#include "platform/ui/graphics/Icon.h"
#include "platform/ui/graphics/ImageListStrings.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/icons/Icons.h"

RTL_PUBLISHED_NONE(TChangeLink);

RTL_PUBLISHED(TCustomImageList, c) {
    c.Property("AllocBy", &TCustomImageList::AllocBy, &TCustomImageList::SetAllocBy).Default(4);
    c.Property("BlendColor", &TCustomImageList::BlendColor, &TCustomImageList::SetBlendColor)
        .OfType(TColorTypeInfo())
        .Default(clNone);
    c.Property("BkColor", &TCustomImageList::BkColor, &TCustomImageList::SetBkColor)
        .OfType(TColorTypeInfo())
        .Default(clNone);
    c.Property("DrawingStyle", &TCustomImageList::DrawingStyle, &TCustomImageList::SetDrawingStyle).Default(dsNormal);
    c.Property("Height", &TCustomImageList::Height, &TCustomImageList::SetHeight).Default(16);
    c.Property("ImageType", &TCustomImageList::ImageType, &TCustomImageList::SetImageType).Default(itImage);
    c.Property("Masked", &TCustomImageList::Masked, &TCustomImageList::SetMasked).Default(true);
    c.Property("ShareImages", &TCustomImageList::ShareImages, &TCustomImageList::SetShareImages).Default(false);
    c.Property("Width", &TCustomImageList::Width, &TCustomImageList::SetWidth).Default(16);
    c.Property("OnChange", &TCustomImageList::OnChange);
}

RTL_PUBLISHED_NONE(TImageList);

namespace {

// ColorRef of a colour property: clNone and clDefault keep their meaning.
COLORREF ListColor(TColor color) {
    if (color == clNone) return CLR_NONE;
    if (color == clDefault) return CLR_DEFAULT;
    return ColorToRGB(color);
}

// The images of a strip, the hex digits of a stream property.
String ToHex(TMemoryStream& stream) {
    static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
    String text;
    text.reserve(size_t(stream.Size()) * 2);
    const auto* bytes = static_cast<const uint8_t*>(stream.Memory());
    for (int64_t i = 0; i < stream.Size(); ++i) {
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 15];
    }
    return text;
}

void FromHex(const String& text, TMemoryStream& stream) {
    auto digit = [](char16_t c) -> int {
        if (c >= u'0' && c <= u'9') return c - u'0';
        if (c >= u'A' && c <= u'F') return c - u'A' + 10;
        if (c >= u'a' && c <= u'f') return c - u'a' + 10;
        return -1;
    };
    if (text.size() % 2) throw EReadError(LoadResString(SImageReadFail));
    for (size_t i = 0; i < text.size(); i += 2) {
        const int high = digit(text[i]), low = digit(text[i + 1]);
        if (high < 0 || low < 0) throw EReadError(LoadResString(SImageReadFail));
        const uint8_t byte = uint8_t(high << 4 | low);
        stream.Write(&byte, 1);
    }
    stream.SetPosition(0);
}

// Copies of every image of From appended to To (stretched to its size).
void CopyImages(HIMAGELIST from, HIMAGELIST to) {
    const int count = ImageList_GetImageCount(from);
    for (int i = 0; i < count; ++i) {
        const HICON icon = ImageList_GetIcon(from, i, ILD_TRANSPARENT);
        ImageList_AddIcon(to, icon);
        DestroyIcon(icon);
    }
}

} // namespace

// --- TChangeLink ----------------------------------------------------------------

TChangeLink::~TChangeLink() {
    if (sender_) sender_->UnRegisterChanges(this);
}

void TChangeLink::Change() {
    if (OnChange) OnChange(sender_);
}

// --- TCustomImageList -----------------------------------------------------------

TCustomImageList::TCustomImageList(TComponent* owner) : TComponent(owner) {}

TCustomImageList::TCustomImageList(TComponent* owner, int width, int height) : TComponent(owner) {
    SetSize(width, height);
}

TCustomImageList::~TCustomImageList() {
    for (TChangeLink* link : links_) link->SetSender(nullptr);
    links_.clear();
    if (!shareImages_) ImageList_Destroy(handle_);
}

void TCustomImageList::Assign(TPersistent* source) {
    auto* other = dynamic_cast<TCustomImageList*>(source);
    if (!other) return TComponent::Assign(source);
    BeginUpdate();
    SetSize(other->Width(), other->Height());
    masked_ = other->Masked();
    imageType_ = other->ImageType();
    drawingStyle_ = other->DrawingStyle();
    bkColor_ = other->BkColor();
    blendColor_ = other->BlendColor();
    allocBy_ = other->AllocBy();
    Recreate();
    if (other->HandleAllocated()) CopyImages(other->Handle(), Handle());
    Change();
    EndUpdate();
}

HIMAGELIST TCustomImageList::NewHandle() const {
    const HIMAGELIST list = ImageList_Create(width_, height_, ILC_COLOR32 | (masked_ ? ILC_MASK : 0), allocBy_, allocBy_);
    ImageList_SetBkColor(list, ListColor(bkColor_));
    return list;
}

HIMAGELIST TCustomImageList::Handle() {
    if (!handle_) handle_ = NewHandle();
    return handle_;
}

void TCustomImageList::SetHandle(HIMAGELIST value) {
    if (value == handle_) return;
    if (!shareImages_) ImageList_Destroy(handle_);
    handle_ = value;
    if (handle_) {
        ImageList_GetIconSize(handle_, &width_, &height_);
        bkColor_ = ImageList_GetBkColor(handle_) == CLR_NONE ? clNone : TColor(ImageList_GetBkColor(handle_));
    }
    Change();
}

void TCustomImageList::Recreate() {
    if (!handle_) return;
    const HIMAGELIST fresh = NewHandle();
    CopyImages(handle_, fresh);
    if (!shareImages_) ImageList_Destroy(handle_);
    handle_ = fresh;
}

void TCustomImageList::SetSize(int width, int height) {
    if (width < 0 || height < 0) throw EInvalidOperation(LoadResString(SInvalidImageSize));
    if (width == width_ && height == height_) return;
    width_ = width;
    height_ = height;
    if (handle_) ImageList_SetIconSize(handle_, width, height);
    Change();
}

int TCustomImageList::Count() const { return handle_ ? ImageList_GetImageCount(handle_) : 0; }

void TCustomImageList::SetMasked(bool value) {
    if (value == masked_) return;
    masked_ = value;
    Recreate();
    Change();
}

void TCustomImageList::SetImageType(TImageType value) {
    if (value == imageType_) return;
    imageType_ = value;
    Change();
}

void TCustomImageList::SetDrawingStyle(TDrawingStyle value) {
    if (value == drawingStyle_) return;
    drawingStyle_ = value;
    Change();
}

void TCustomImageList::SetBkColor(TColor value) {
    if (value == bkColor_) return;
    bkColor_ = value;
    if (handle_) ImageList_SetBkColor(handle_, ListColor(value));
    Change();
}

void TCustomImageList::SetBlendColor(TColor value) {
    if (value == blendColor_) return;
    blendColor_ = value;
    Change();
}

void TCustomImageList::CheckIndex(int index) const {
    if (index < 0 || index >= Count()) throw EInvalidOperation(LoadResString(SImageIndexError));
}

int TCustomImageList::Add(TBitmap* image, TBitmap* mask) {
    if (!image) return -1;
    const int index = ImageList_Add(Handle(), image->Handle(), mask ? mask->Handle() : nullptr);
    if (index >= 0) Change();
    return index;
}

int TCustomImageList::AddMasked(TBitmap* image, TColor maskColor) {
    if (!image || image->Empty()) return -1;
    if (maskColor == clNone) return Add(image, nullptr);
    const TColor key = maskColor == clDefault ? image->Canvas()->Pixel(0, image->Height() - 1) : maskColor;
    const int index = ImageList_AddMasked(Handle(), image->Handle(), ColorToRGB(key));
    if (index >= 0) Change();
    return index;
}

int TCustomImageList::AddIcon(TIcon* image) {
    if (!image || image->Empty()) return -1;
    const int index = ImageList_AddIcon(Handle(), image->Handle());
    if (index >= 0) Change();
    return index;
}

void TCustomImageList::AddImages(TCustomImageList* value) {
    if (!value || !value->HandleAllocated() || value->Count() == 0) return;
    CopyImages(value->Handle(), Handle());
    Change();
}

void TCustomImageList::Insert(int index, TBitmap* image, TBitmap* mask) {
    if (index < 0 || index > Count()) throw EInvalidOperation(LoadResString(SImageIndexError));
    BeginUpdate();
    const int added = Add(image, mask);
    if (added >= 0) Move(added, index);
    EndUpdate();
}

void TCustomImageList::InsertMasked(int index, TBitmap* image, TColor maskColor) {
    if (index < 0 || index > Count()) throw EInvalidOperation(LoadResString(SImageIndexError));
    BeginUpdate();
    const int added = AddMasked(image, maskColor);
    if (added >= 0) Move(added, index);
    EndUpdate();
}

void TCustomImageList::InsertIcon(int index, TIcon* image) {
    if (index < 0 || index > Count()) throw EInvalidOperation(LoadResString(SImageIndexError));
    BeginUpdate();
    const int added = AddIcon(image);
    if (added >= 0) Move(added, index);
    EndUpdate();
}

void TCustomImageList::Replace(int index, TBitmap* image, TBitmap* mask) {
    CheckIndex(index);
    if (!image || !ImageList_Replace(handle_, index, image->Handle(), mask ? mask->Handle() : nullptr))
        throw EInvalidOperation(LoadResString(SReplaceImage));
    Change();
}

void TCustomImageList::ReplaceMasked(int index, TBitmap* newImage, TColor maskColor) {
    CheckIndex(index);
    if (!newImage || newImage->Empty()) throw EInvalidOperation(LoadResString(SReplaceImage));
    // Keyed through a list of one image, which gives the image its mask.
    TCustomImageList keyed(nullptr, width_, height_);
    keyed.SetMasked(masked_);
    if (keyed.AddMasked(newImage, maskColor) < 0) throw EInvalidOperation(LoadResString(SReplaceImage));
    const HICON icon = ImageList_GetIcon(keyed.Handle(), 0, ILD_TRANSPARENT);
    const bool replaced = ImageList_ReplaceIcon(handle_, index, icon) == index;
    DestroyIcon(icon);
    if (!replaced) throw EInvalidOperation(LoadResString(SReplaceImage));
    Change();
}

void TCustomImageList::ReplaceIcon(int index, TIcon* image) {
    CheckIndex(index);
    if (!image || ImageList_ReplaceIcon(handle_, index, image->Handle()) != index)
        throw EInvalidOperation(LoadResString(SReplaceImage));
    Change();
}

void TCustomImageList::Delete(int index) {
    CheckIndex(index);
    ImageList_Remove(handle_, index);
    Change();
}

void TCustomImageList::Clear() {
    if (!handle_ || Count() == 0) return;
    ImageList_RemoveAll(handle_);
    Change();
}

void TCustomImageList::Move(int curIndex, int newIndex) {
    if (curIndex == newIndex) return;
    CheckIndex(curIndex);
    CheckIndex(newIndex);
    const int step = newIndex > curIndex ? 1 : -1;
    for (int i = curIndex; i != newIndex; i += step) ImageList_Copy(handle_, i, handle_, i + step, ILCF_SWAP);
    Change();
}

bool TCustomImageList::ResourceLoad(TResType resType, const String& name, TColor maskColor) {
    if (resType != rtBitmap || !FindResource(name, u"BITMAP")) return false;
    TBitmap strip;
    try {
        strip.LoadFromResourceName(nullptr, name);
    } catch (const EInvalidGraphic&) {
        return false;
    }
    BeginUpdate();
    Clear();
    const bool added = AddMasked(&strip, maskColor) >= 0;
    EndUpdate();
    return added;
}

UINT TCustomImageList::StyleOf(TDrawingStyle style, TImageType type) const {
    static constexpr UINT kStyles[] = {ILD_FOCUS, ILD_SELECTED, ILD_NORMAL, ILD_TRANSPARENT};
    return kStyles[int(style)] | (type == itMask ? ILD_MASK : 0);
}

void TCustomImageList::Draw(TCanvas* canvas, int x, int y, int index, bool enabled) {
    Draw(canvas, x, y, index, drawingStyle_, imageType_, enabled);
}

void TCustomImageList::Draw(TCanvas* canvas, int x, int y, int index, TDrawingStyle style, TImageType type,
                            bool enabled) {
    if (handle_ && canvas) DoDraw(index, canvas, x, y, StyleOf(style, type), enabled);
}

bool TCustomImageList::Overlay(int imageIndex, TOverlay overlay) {
    return handle_ && overlay >= 0 && overlay <= 14 && ImageList_SetOverlayImage(handle_, imageIndex, overlay + 1);
}

void TCustomImageList::DrawOverlay(TCanvas* canvas, int x, int y, int imageIndex, TOverlay overlay, bool enabled) {
    DrawOverlay(canvas, x, y, imageIndex, overlay, drawingStyle_, imageType_, enabled);
}

void TCustomImageList::DrawOverlay(TCanvas* canvas, int x, int y, int imageIndex, TOverlay overlay,
                                   TDrawingStyle style, TImageType type, bool enabled) {
    if (!handle_ || !canvas || overlay < 0 || overlay > 14) return;
    DoDraw(imageIndex, canvas, x, y, StyleOf(style, type) | INDEXTOOVERLAYMASK(UINT(overlay + 1)), enabled);
}

void TCustomImageList::DoDraw(int index, TCanvas* canvas, int x, int y, UINT style, bool enabled) {
    if (!enabled) return DrawDisabled(index, canvas, x, y, style);
    ImageList_DrawEx(handle_, index, canvas->Handle(), x, y, 0, 0, ListColor(bkColor_), ListColor(blendColor_), style);
}

void TCustomImageList::DrawDisabled(int index, TCanvas* canvas, int x, int y, UINT style) {
    // White where the image is, black elsewhere: the brush shows through it.
    TBitmap shape;
    shape.SetPixelFormat(pf32bit);
    shape.SetSize(width_, height_);
    TCanvas* shapeCanvas = shape.Canvas();
    shapeCanvas->Brush()->SetColor(clWhite);
    shapeCanvas->FillRect(TRect{0, 0, width_, height_});
    if (!ImageList_DrawEx(handle_, index, shapeCanvas->Handle(), 0, 0, 0, 0, CLR_NONE, CLR_NONE,
                          ILD_MASK | (style & ILD_OVERLAYMASK)))
        return;
    PatBlt(shapeCanvas->Handle(), 0, 0, width_, height_, DSTINVERT);

    constexpr TCopyMode kBrushWhereWhite = 0x00E20746;
    TBrush savedBrush;
    savedBrush.Assign(canvas->Brush());
    const TCopyMode savedMode = canvas->CopyMode();
    canvas->SetCopyMode(kBrushWhereWhite);
    const TRect source{0, 0, width_, height_};
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(clBtnHighlight);
    canvas->CopyRect(TRect{x + 1, y + 1, x + 1 + width_, y + 1 + height_}, shapeCanvas, source);
    canvas->Brush()->SetColor(clBtnShadow);
    canvas->CopyRect(TRect{x, y, x + width_, y + height_}, shapeCanvas, source);
    canvas->SetCopyMode(savedMode);
    canvas->SetBrush(&savedBrush);
}

bool TCustomImageList::GetBitmap(int index, TBitmap* image) {
    if (!image || !handle_ || index < 0 || index >= Count()) return false;
    image->SetSize(width_, height_);
    return ImageList_Draw(handle_, index, image->Canvas()->Handle(), 0, 0, ILD_NORMAL);
}

void TCustomImageList::GetIcon(int index, TIcon* image) { GetIcon(index, image, drawingStyle_, imageType_); }

void TCustomImageList::GetIcon(int index, TIcon* image, TDrawingStyle style, TImageType type) {
    if (image && handle_) image->SetHandle(ImageList_GetIcon(handle_, index, StyleOf(style, type)));
}

HBITMAP TCustomImageList::GetImageBitmap() {
    IMAGEINFO info{};
    return handle_ && ImageList_GetImageInfo(handle_, 0, &info) ? info.hbmImage : nullptr;
}

HBITMAP TCustomImageList::GetMaskBitmap() {
    IMAGEINFO info{};
    return handle_ && ImageList_GetImageInfo(handle_, 0, &info) ? info.hbmMask : nullptr;
}

void TCustomImageList::EndUpdate() {
    if (updateCount_ == 0 || --updateCount_ > 0 || !changed_) return;
    changed_ = false;
    Change();
}

void TCustomImageList::RegisterChanges(TChangeLink* value) {
    if (!value || std::find(links_.begin(), links_.end(), value) != links_.end()) return;
    if (value->Sender() && value->Sender() != this) value->Sender()->UnRegisterChanges(value);
    value->SetSender(this);
    links_.push_back(value);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* value) {
    if (std::erase(links_, value)) value->SetSender(nullptr);
}

void TCustomImageList::Change() {
    if (updateCount_ > 0) {
        changed_ = true;
        return;
    }
    // A link may unregister itself (or others) while told.
    const std::vector<TChangeLink*> links = links_;
    for (TChangeLink* link : links)
        if (std::find(links_.begin(), links_.end(), link) != links_.end()) link->Change();
    if (OnChange) OnChange(this);
}

// --- Stream data ----------------------------------------------------------------

void TCustomImageList::DefineProperties(TFiler* filer) {
    TComponent::DefineProperties(filer);
    filer->DefineProperty(
        u"Bitmap",
        [this](TReader& reader) {
            TMemoryStream data;
            FromHex(reader.ReadString(), data);
            ReadData(data);
        },
        [this](TWriter& writer) {
            TMemoryStream data;
            WriteData(data);
            writer.WriteString(ToHex(data));
        },
        Count() > 0);
}

void TCustomImageList::GetStrip(TBitmap& strip, bool mask) {
    IMAGEINFO info{};
    const int count = Count();
    if (mask) strip.SetMonochrome(true);
    else strip.SetPixelFormat(pf32bit);
    strip.SetSize(width_ * count, height_);
    if (!count || !ImageList_GetImageInfo(handle_, 0, &info)) return;
    const HDC from = CreateCompatibleDC(nullptr);
    const HGDIOBJ old = SelectObject(from, ToGdiObject(mask ? info.hbmMask : info.hbmImage));
    for (int i = 0; i < count; ++i)
        BitBlt(strip.Canvas()->Handle(), i * width_, 0, width_, height_, from, 0, i * height_, SRCCOPY);
    SelectObject(from, old);
    DeleteDC(from);
}

void TCustomImageList::WriteData(TStream& stream) {
    TBitmap strip;
    GetStrip(strip, false);
    strip.SaveToStream(stream);
    if (!masked_) return;
    GetStrip(strip, true);
    strip.SaveToStream(stream);
}

void TCustomImageList::ReadData(TStream& stream) {
    TBitmap image, mask;
    try {
        image.LoadFromStream(stream);
        if (masked_) mask.LoadFromStream(stream);
    } catch (const EInvalidGraphic&) {
        throw EReadError(LoadResString(SImageReadFail));
    }
    BeginUpdate();
    Clear();
    if (!image.Empty()) Add(&image, masked_ ? &mask : nullptr);
    EndUpdate();
}

void InitializeImageLists() {
    RegisterResStrings(kImageListStrings);
    RegisterClass(TImageList::StaticClass());
}

void FinalizeImageLists() {
    UnRegisterClass(TImageList::StaticClass());
    UnregisterResStrings(kImageListStrings);
}
