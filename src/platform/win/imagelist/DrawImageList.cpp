// Drawing image-list images and making icons of them.
#include <algorithm>
#include <utility>

#include "platform/win/gdi/Gdi.h"
#include "platform/win/icons/Icon.h"
#include "platform/win/imagelist/ImageListObject.h"
#include "platform/win/system/SystemColors.h"

namespace {

constexpr uint32_t ColourBits(COLORREF color) noexcept {
    return (color & 0xFF) << 16 | (color & 0xFF00) | (color >> 16 & 0xFF);
}

TMaskedStyle StyleOf(COLORREF foreground, UINT style) {
    TMaskedStyle out;
    out.op = style & ILD_MASK ? TMaskedOp::Mask : style & ILD_IMAGE ? TMaskedOp::Image : TMaskedOp::Normal;
    out.blendQuarters = style & ILD_BLEND50 ? 2 : style & ILD_BLEND25 ? 1 : 0;
    out.blendBeneath = foreground == CLR_NONE;
    out.blendTo = ColourBits(foreground == CLR_DEFAULT ? GetSysColor(COLOR_HIGHLIGHT) : foreground);
    return out;
}

} // namespace

bool DrawListImage(const TImageListObject& list, int index, HDC dc, int x, int y, int width, int height, COLORREF background,
                   COLORREF foreground, UINT style) {
    if (!list.Holds(index) || width < 0 || height < 0) return false;
    if (!width || width > list.width) width = list.width;
    if (!height || height > list.height) height = list.height;
    const RECT dest{x, y, x + width, y + height}, from{0, 0, width, height};
    if (background == CLR_DEFAULT) background = list.background;
    const bool fill = list.Masked() && background != CLR_NONE && !(style & (ILD_TRANSPARENT | ILD_MASK | ILD_IMAGE));
    if (fill) {
        const HBRUSH brush = CreateSolidBrush(background & 0xFFFFFF);
        const bool filled = FillRect(dc, &dest, brush);
        DeleteObject(ToGdiObject(brush));
        if (!filled) return false;
    }
    const TMaskedStyle masked = StyleOf(foreground, style);
    if (!DrawIconImage(dc, dest, list.images[size_t(index)], from, masked)) return false;
    const UINT overlay = (style & ILD_OVERLAYMASK) >> 8;
    if (overlay && list.Holds(list.overlays[overlay - 1]))
        DrawIconImage(dc, dest, list.images[size_t(list.overlays[overlay - 1])], from, masked);
    return true;
}

BOOL ImageList_DrawEx(HIMAGELIST handle, int index, HDC dc, int x, int y, int width, int height, COLORREF background,
                      COLORREF foreground, UINT style) {
    const TImageListObject* list = FindImageList(handle);
    return list && DrawListImage(*list, index, dc, x, y, width, height, background, foreground, style);
}

BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style) {
    return ImageList_DrawEx(list, index, dc, x, y, 0, 0, CLR_DEFAULT, CLR_DEFAULT, style);
}

BOOL DrawDisabledListImage(HIMAGELIST handle, int index, HDC dc, int x, int y) {
    const TImageListObject* list = FindImageList(handle);
    if (!list || !list->Holds(index)) return FALSE;
    const TIconImage& image = list->images[size_t(index)];
    TIconImage shape = image;
    shape.alpha = false;
    for (size_t i = 0; i < shape.color.size(); ++i) {
        const uint32_t pixel = image.color[i];
        const bool covers = image.alpha ? (pixel >> 24) >= 0x80 : !list->Masked() || !image.mask[i];
        const int luminance = int((pixel >> 16 & 0xFF) * 30 + (pixel >> 8 & 0xFF) * 59 + (pixel & 0xFF) * 11) / 100;
        shape.mask[i] = !(covers && luminance < 0xC0);
    }
    const RECT from{0, 0, shape.width, shape.height};
    for (const auto& [offset, color] : {std::pair{1, COLOR_BTNHIGHLIGHT}, std::pair{0, COLOR_BTNSHADOW}}) {
        std::fill(shape.color.begin(), shape.color.end(), ColourBits(GetSysColor(color)));
        const RECT dest{x + offset, y + offset, x + offset + shape.width, y + offset + shape.height};
        if (!DrawIconImage(dc, dest, shape, from, TMaskedStyle{})) return FALSE;
    }
    return TRUE;
}

HICON ImageList_GetIcon(HIMAGELIST handle, int index, UINT style) {
    const TImageListObject* list = FindImageList(handle);
    if (!list || !list->Holds(index)) return nullptr;
    auto icon = std::make_unique<TIconObject>();
    icon->image = list->images[size_t(index)];
    icon->hotSpot = POINT{list->width / 2, list->height / 2};
    TIconImage& image = icon->image;
    const bool fill = list->background != CLR_NONE && !(style & ILD_TRANSPARENT);
    // Transparent pixels are black so that the icon's mask rule keeps what lies beneath.
    for (size_t i = 0; i < image.color.size() && !image.alpha; ++i) {
        if (!image.mask[i]) continue;
        image.color[i] = fill ? ColourBits(list->background) : 0;
        image.mask[i] = !fill;
    }
    return AddIcon(std::move(icon));
}
