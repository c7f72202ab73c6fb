// The drag picture: one image-list image, optionally merged with a cursor
// image, shown by a topmost popup that lets clicks through.
#include <algorithm>

#include "platform/win/gdi/Gdi.h"
#include "platform/win/imagelist/ImageListObject.h"
#include "platform/win/paint/Surface.h"
#include "platform/win/toplevel/TopLevel.h"
#include "platform/win/window/Windows.h"

namespace {

constexpr const char16_t* kDragClass = u"OstrelDragImage";

struct TDrag {
    HIMAGELIST list = nullptr; // holds the picture as its only image
    TIconImage dragged;        // the image the drag began with
    POINT draggedHot{};
    POINT hot{};               // of the picture
    HWND lock = nullptr;
    POINT position{};          // relative to the lock window
    bool shown = false;
    HWND window = nullptr;
};
TDrag drag;

// The image with real alpha: masked pixels transparent, others opaque.
TIconImage WithAlpha(const TIconImage& image) {
    TIconImage out = image;
    if (!image.alpha)
        for (size_t i = 0; i < out.color.size(); ++i)
            out.color[i] = out.mask[i] ? 0 : out.color[i] | 0xFF000000u;
    out.alpha = true;
    for (size_t i = 0; i < out.color.size(); ++i) out.mask[i] = out.color[i] >> 24 == 0;
    return out;
}

// Image laid over Onto with its top-left at (X, Y), both with real alpha.
void Lay(TIconImage& onto, const TIconImage& image, int x, int y) {
    for (int iy = 0; iy < image.height; ++iy)
        for (int ix = 0; ix < image.width; ++ix) {
            const uint32_t s = image.Color(ix, iy), a = s >> 24;
            if (!a) continue;
            uint32_t& d = onto.Color(x + ix, y + iy);
            const uint32_t da = d >> 24, outA = a + (da * (255 - a) + 127) / 255;
            uint32_t out = outA << 24;
            for (int shift = 0; shift < 24; shift += 8) {
                const uint32_t sc = s >> shift & 0xFF, dc = d >> shift & 0xFF;
                out |= ((sc * a * 255 + dc * da * (255 - a) + outA * 255 / 2) / (outA * 255)) << shift;
            }
            d = out;
            onto.Mask(x + ix, y + iy) = 0;
        }
}

const TIconImage* Picture() {
    const TImageListObject* list = FindImageList(drag.list);
    return list && list->Holds(0) ? &list->images[0] : nullptr;
}

HWND DragWindow() {
    if (drag.window && IsWindow(drag.window)) return drag.window;
    WNDCLASSW wc{};
    wc.lpfnWndProc = &DefWindowProcW;
    wc.lpszClassName = kDragClass;
    RegisterClassW(&wc); // fails harmlessly when registered already
    drag.window = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_NOACTIVATE,
                                  kDragClass, u"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    if (drag.window) SetWindowPerPixelAlpha(drag.window, true);
    return drag.window;
}

// Shows the picture where the drag is, or hides it.
void Update() {
    const TIconImage* picture = Picture();
    if (!drag.shown || !picture) {
        if (drag.window && IsWindowVisible(drag.window)) ShowWindow(drag.window, SW_HIDE);
        return;
    }
    const HWND window = DragWindow();
    if (!window) return;
    POINT origin{};
    RECT lockRect{};
    if (drag.lock && GetWindowRect(drag.lock, &lockRect)) origin = POINT{lockRect.left, lockRect.top};
    const int x = origin.x + drag.position.x - drag.hot.x, y = origin.y + drag.position.y - drag.hot.y;
    SetWindowPos(window, HWND_TOPMOST, x, y, picture->width, picture->height, SWP_NOACTIVATE);
    if (TSurface* surface = WindowSurface(window);
        surface && surface->width == picture->width && surface->height == picture->height) {
        const TIconImage shown = WithAlpha(*picture);
        std::copy(shown.color.begin(), shown.color.end(), surface->pixels.begin());
        surface->dirty |= TRegion(RECT{0, 0, surface->width, surface->height});
    }
    if (!IsWindowVisible(window)) ShowWindow(window, SW_SHOWNA);
}

// Makes Picture the drag list's image with its hot spot.
bool SetPicture(TIconImage picture, POINT hot) {
    TImageListObject* list = FindImageList(drag.list);
    if (!list) return false;
    list->width = picture.width;
    list->height = picture.height;
    list->images.assign(1, std::move(picture));
    list->infoStale = true;
    drag.hot = hot;
    Update();
    return true;
}

} // namespace

BOOL ImageList_BeginDrag(HIMAGELIST handle, int index, int hotX, int hotY) {
    const TImageListObject* list = FindImageList(handle);
    if (!list || !list->Holds(index)) return FALSE;
    ImageList_EndDrag();
    drag.list = ImageList_Create(list->width, list->height, ILC_COLOR32 | ILC_MASK, 1, 0);
    drag.dragged = WithAlpha(list->images[size_t(index)]);
    drag.draggedHot = POINT{hotX, hotY};
    return SetPicture(drag.dragged, drag.draggedHot);
}

BOOL ImageList_SetDragCursorImage(HIMAGELIST handle, int index, int hotX, int hotY) {
    const TImageListObject* list = FindImageList(handle);
    if (!list || !list->Holds(index) || !drag.list) return FALSE;
    const TIconImage cursor = WithAlpha(list->images[size_t(index)]);
    const TIconImage& dragged = drag.dragged;
    // The cursor image's top-left relative to the dragged image's.
    const POINT at{drag.draggedHot.x - hotX, drag.draggedHot.y - hotY};
    const int left = std::min<int>(0, at.x), top = std::min<int>(0, at.y);
    const int right = std::max<int>(dragged.width, at.x + cursor.width);
    const int bottom = std::max<int>(dragged.height, at.y + cursor.height);
    TIconImage merged;
    if (!merged.Reset(right - left, bottom - top)) return FALSE;
    merged.alpha = true;
    Lay(merged, dragged, -left, -top);
    Lay(merged, cursor, at.x - left, at.y - top);
    return SetPicture(std::move(merged), POINT{drag.draggedHot.x - left, drag.draggedHot.y - top});
}

BOOL ImageList_DragEnter(HWND lock, int x, int y) {
    if (!drag.list) return FALSE;
    drag.lock = lock;
    drag.position = POINT{x, y};
    drag.shown = true;
    Update();
    return TRUE;
}

BOOL ImageList_DragMove(int x, int y) {
    if (!drag.list) return FALSE;
    drag.position = POINT{x, y};
    Update();
    return TRUE;
}

BOOL ImageList_DragLeave(HWND) {
    if (!drag.list) return FALSE;
    drag.shown = false;
    drag.lock = nullptr;
    Update();
    return TRUE;
}

BOOL ImageList_DragShowNolock(BOOL show) {
    if (!drag.list) return FALSE;
    drag.shown = show;
    Update();
    return TRUE;
}

void ImageList_EndDrag() {
    if (drag.window && IsWindow(drag.window)) DestroyWindow(drag.window);
    ImageList_Destroy(drag.list);
    drag = TDrag{};
}

HIMAGELIST ImageList_GetDragImage(POINT* position, POINT* hotSpot) {
    if (!drag.list) return nullptr;
    if (position) *position = drag.position;
    if (hotSpot) *hotSpot = drag.hot;
    return drag.list;
}
