#include "platform/ui/graphics/Icon.h"

#include <vector>

#include "platform/rtl/ResourceStrings.h"
#include "platform/ui/Canvas.h"
#include "platform/ui/graphics/GraphicStrings.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/icons/IconFiles.h"
#include "platform/win/icons/Icons.h"

RTL_PUBLISHED_NONE(TIcon);

TIcon::~TIcon() {
    if (handle_) DestroyIcon(handle_);
}

void TIcon::Take(HICON handle) {
    if (handle_) DestroyIcon(handle_);
    handle_ = handle;
    ICONINFO info{};
    if (handle && GetIconInfo(handle, &info)) {
        BITMAP mask{};
        GetObjectW(ToGdiObject(info.hbmMask), sizeof mask, &mask);
        width_ = mask.bmWidth;
        height_ = info.hbmColor ? mask.bmHeight : mask.bmHeight / 2;
        if (info.hbmColor) DeleteObject(ToGdiObject(info.hbmColor));
        DeleteObject(ToGdiObject(info.hbmMask));
    } else {
        width_ = height_ = 0;
    }
    Changed();
}

void TIcon::SetSize(int width, int height) {
    if (width == width_ && height == height_) return;
    if (handle_) throw EInvalidGraphicOperation(LoadResString(SChangeIconSize));
    width_ = width;
    height_ = height;
}

void TIcon::SetHandle(HICON value) {
    if (value != handle_) Take(value);
}

HICON TIcon::ReleaseHandle() {
    const HICON handle = handle_;
    handle_ = nullptr;
    width_ = height_ = 0;
    return handle;
}

void TIcon::Assign(TPersistent* source) {
    if (!source) return SetHandle(nullptr);
    if (auto* icon = dynamic_cast<TIcon*>(source)) {
        if (icon != this) Take(icon->handle_ ? CopyIcon(icon->handle_) : nullptr);
        return;
    }
    TGraphic::Assign(source);
}

void TIcon::Draw(TCanvas* canvas, const TRect& rect) {
    if (!handle_) return;
    DrawIconEx(canvas->Handle(), rect.Left, rect.Top, handle_, rect.Width(), rect.Height(), 0, nullptr, DI_NORMAL);
}

void TIcon::LoadFromStream(TStream& stream) {
    std::vector<uint8_t> file(size_t(stream.Size() - stream.Position()));
    stream.ReadBuffer(file.data(), int64_t(file.size()));
    const HICON handle = ReadIconFile(file, handle_ ? 0 : width_, handle_ ? 0 : height_);
    if (!handle) throw EInvalidGraphic(LoadResString(SInvalidIcon));
    Take(handle);
}

void TIcon::SaveToStream(TStream& stream) {
    if (!handle_) return;
    const std::vector<uint8_t> file = WriteIconFile(handle_);
    stream.WriteBuffer(file.data(), int64_t(file.size()));
}
