#include "platform/ui/graphics/Picture.h"

#include "platform/rtl/Files.h"
#include "platform/rtl/ResourceStrings.h"
#include "platform/ui/graphics/Bitmap.h"
#include "platform/ui/graphics/GraphicStrings.h"
#include "platform/ui/graphics/Icon.h"

RTL_PUBLISHED_NONE(TPicture);

namespace {

// Graphic classes are checked when registered and when assigned.
std::unique_ptr<TGraphic> NewGraphic(TGraphicClass graphicClass) {
    return std::unique_ptr<TGraphic>(static_cast<TGraphic*>(graphicClass->Create().release()));
}

} // namespace

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::ForwardProgress(TGraphic& graphic) {
    graphic.OnProgress = [this](TObject* sender, TProgressStage stage, uint8_t percent, bool redraw,
                                const TRect& rect, const String& message) {
        if (OnProgress) OnProgress(sender, stage, percent, redraw, rect, message);
    };
}

void TPicture::Adopt(std::unique_ptr<TGraphic> graphic) {
    graphic_ = std::move(graphic);
    if (graphic_) {
        graphic_->OnChange = [this](TObject*) { Changed(); };
        ForwardProgress(*graphic_);
    }
    Changed();
}

void TPicture::SetGraphic(TGraphic* value) {
    if (value == graphic_.get()) return;
    std::unique_ptr<TGraphic> copy;
    if (value) {
        copy = NewGraphic(value->ClassType());
        copy->Assign(value);
    }
    Adopt(std::move(copy));
}

template <class T>
T* TPicture::ForceType() {
    if (auto* graphic = dynamic_cast<T*>(graphic_.get())) return graphic;
    Adopt(std::make_unique<T>());
    return static_cast<T*>(graphic_.get());
}

TBitmap* TPicture::Bitmap() { return ForceType<TBitmap>(); }
void TPicture::SetBitmap(TBitmap* value) { SetGraphic(value); }
TIcon* TPicture::Icon() { return ForceType<TIcon>(); }
void TPicture::SetIcon(TIcon* value) { SetGraphic(value); }

void TPicture::Assign(TPersistent* source) {
    if (!source) return SetGraphic(nullptr);
    if (auto* picture = dynamic_cast<TPicture*>(source)) return SetGraphic(picture->Graphic());
    if (auto* graphic = dynamic_cast<TGraphic*>(source)) return SetGraphic(graphic);
    TPersistent::Assign(source);
}

void TPicture::AssignTo(TPersistent* dest) {
    if (auto* graphic = dynamic_cast<TGraphic*>(dest); graphic && graphic_) return graphic->Assign(graphic_.get());
    TPersistent::AssignTo(dest);
}

void TPicture::LoadFromFile(const String& fileName) {
    const String extension = ExtractFileExt(fileName);
    const TGraphicClass graphicClass = GraphicClassOfExtension(extension);
    if (!graphicClass) {
        const String bare = extension.empty() ? extension : extension.substr(1);
        throw EInvalidGraphic(Format(LoadResString(SUnknownExtension), {bare}));
    }
    std::unique_ptr<TGraphic> graphic = NewGraphic(graphicClass);
    ForwardProgress(*graphic);
    graphic->LoadFromFile(fileName);
    Adopt(std::move(graphic));
}

void TPicture::SaveToFile(const String& fileName) {
    if (graphic_) graphic_->SaveToFile(fileName);
}

void TPicture::Changed() {
    if (OnChange) OnChange(this);
}
