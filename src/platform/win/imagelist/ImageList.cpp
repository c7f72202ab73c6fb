// Image lists: making them and changing their images.
#include <algorithm>
#include <mutex>

#include "platform/win/gdi/Gdi.h"
#include "platform/win/gdi/Objects.h"
#include "platform/win/icons/Icon.h"
#include "platform/win/imagelist/ImageListObject.h"

namespace {

constexpr uintptr_t kImageListTag = uintptr_t{1} << 27;

struct TImageListTable {
    std::mutex lock;
    TTaggedTable<TImageListObject, HIMAGELIST, kImageListTag> table;
};

TImageListTable& Lists() {
    static auto* table = new TImageListTable;
    return *table;
}

// The images of a bitmap strip, each read with its part of the mask; a
// Key other than CLR_NONE masks its colour instead.
bool ReadStrip(const TImageListObject& list, HBITMAP bitmap, HBITMAP mask, COLORREF key, std::vector<TIconImage>& out) {
    BITMAP bm{};
    if (list.width <= 0 || list.height <= 0) return false;
    if (!GetObjectW(ToGdiObject(bitmap), sizeof bm, &bm) || bm.bmWidth < list.width) return false;
    const uint32_t keyPixel = (key & 0xFF) << 16 | (key & 0xFF00) | (key >> 16 & 0xFF);
    for (int x = 0; x + list.width <= bm.bmWidth; x += list.width) {
        TIconImage image;
        if (!image.Reset(list.width, list.height) || !ReadBitmapInto(bitmap, mask, x, 0, image)) return false;
        if (key != CLR_NONE)
            for (size_t i = 0; i < image.color.size(); ++i)
                if ((image.color[i] & 0xFFFFFF) == keyPixel) image.color[i] = 0, image.mask[i] = 1;
        list.Adopt(image, !mask && key == CLR_NONE);
        out.push_back(std::move(image));
    }
    return true;
}

int Append(HIMAGELIST handle, HBITMAP bitmap, HBITMAP mask, COLORREF key) {
    TImageListObject* list = FindImageList(handle);
    std::vector<TIconImage> added;
    if (!list || !ReadStrip(*list, bitmap, mask, key, added)) return -1;
    const int first = int(list->images.size());
    for (TIconImage& image : added) list->images.push_back(std::move(image));
    list->infoStale = true;
    return first;
}

} // namespace

TImageListObject::~TImageListObject() {
    DeleteObject(ToGdiObject(infoImage));
    DeleteObject(ToGdiObject(infoMask));
}

void TImageListObject::Adopt(TIconImage& image, bool maskFromAlpha) const {
    if (!KeepsAlpha())
        for (uint32_t& pixel : image.color) pixel &= 0xFFFFFF;
    image.DetectAlpha();
    if (!Masked()) std::fill(image.mask.begin(), image.mask.end(), 0);
    else if (maskFromAlpha && image.alpha)
        for (size_t i = 0; i < image.color.size(); ++i) image.mask[i] = image.color[i] >> 24 == 0;
}

TIconImage TImageListObject::Blank() const {
    TIconImage image;
    image.Reset(width, height);
    if (!Masked()) std::fill(image.mask.begin(), image.mask.end(), 0);
    return image;
}

HIMAGELIST AddImageList(std::unique_ptr<TImageListObject> list) {
    TImageListTable& lists = Lists();
    std::lock_guard guard(lists.lock);
    return lists.table.Add(list.release());
}

TImageListObject* FindImageList(HIMAGELIST list) noexcept { return Lists().table.Find(list); }

HIMAGELIST ImageList_Create(int width, int height, UINT flags, int initial, int) {
    if (width < 0 || height < 0) return nullptr;
    auto list = std::make_unique<TImageListObject>();
    list->width = width;
    list->height = height;
    list->flags = flags;
    list->images.reserve(size_t(std::clamp(initial, 0, 1024)));
    return AddImageList(std::move(list));
}

BOOL ImageList_Destroy(HIMAGELIST handle) {
    TImageListTable& lists = Lists();
    TImageListObject* list = nullptr;
    {
        std::lock_guard guard(lists.lock);
        list = lists.table.Find(handle);
        if (!list) return FALSE;
        lists.table.Remove(handle);
    }
    delete list;
    return TRUE;
}

int ImageList_GetImageCount(HIMAGELIST handle) {
    const TImageListObject* list = FindImageList(handle);
    return list ? int(list->images.size()) : 0;
}

BOOL ImageList_SetImageCount(HIMAGELIST handle, UINT count) {
    TImageListObject* list = FindImageList(handle);
    if (!list || (count && (list->width <= 0 || list->height <= 0))) return FALSE;
    list->images.resize(count, list->Blank());
    list->infoStale = true;
    return TRUE;
}

int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask) { return Append(list, image, mask, CLR_NONE); }

int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF key) {
    return Append(list, image, nullptr, key & 0xFFFFFF);
}

int ImageList_ReplaceIcon(HIMAGELIST handle, int index, HICON iconHandle) {
    TImageListObject* list = FindImageList(handle);
    const TIconObject* icon = FindIcon(iconHandle);
    if (!list || !icon || list->width <= 0 || list->height <= 0 || (index != -1 && !list->Holds(index))) return -1;
    TIconImage image = Stretched(icon->image, list->width, list->height);
    if (image.Empty()) return -1;
    list->Adopt(image, false);
    list->infoStale = true;
    if (index == -1) {
        list->images.push_back(std::move(image));
        return int(list->images.size()) - 1;
    }
    list->images[size_t(index)] = std::move(image);
    return index;
}

BOOL ImageList_Replace(HIMAGELIST handle, int index, HBITMAP bitmap, HBITMAP mask) {
    TImageListObject* list = FindImageList(handle);
    std::vector<TIconImage> read;
    if (!list || !list->Holds(index) || !ReadStrip(*list, bitmap, mask, CLR_NONE, read)) return FALSE;
    list->images[size_t(index)] = std::move(read.front());
    list->infoStale = true;
    return TRUE;
}

BOOL ImageList_Remove(HIMAGELIST handle, int index) {
    TImageListObject* list = FindImageList(handle);
    if (!list || (index != -1 && !list->Holds(index))) return FALSE;
    if (index == -1) list->images.clear();
    else list->images.erase(list->images.begin() + index);
    list->infoStale = true;
    return TRUE;
}

BOOL ImageList_Copy(HIMAGELIST dest, int destIndex, HIMAGELIST source, int sourceIndex, UINT flags) {
    TImageListObject* list = FindImageList(dest);
    if (!list || dest != source || !list->Holds(destIndex) || !list->Holds(sourceIndex)) return FALSE;
    TIconImage& to = list->images[size_t(destIndex)];
    TIconImage& from = list->images[size_t(sourceIndex)];
    if (flags & ILCF_SWAP) std::swap(to, from);
    else if (&to != &from) to = from;
    list->infoStale = true;
    return TRUE;
}

BOOL ImageList_GetIconSize(HIMAGELIST handle, int* width, int* height) {
    const TImageListObject* list = FindImageList(handle);
    if (!list || !width || !height) return FALSE;
    *width = list->width;
    *height = list->height;
    return TRUE;
}

BOOL ImageList_SetIconSize(HIMAGELIST handle, int width, int height) {
    TImageListObject* list = FindImageList(handle);
    if (!list || width < 0 || height < 0) return FALSE;
    list->width = width;
    list->height = height;
    list->images.clear();
    list->infoStale = true;
    return TRUE;
}

COLORREF ImageList_SetBkColor(HIMAGELIST handle, COLORREF color) {
    TImageListObject* list = FindImageList(handle);
    if (!list) return CLR_NONE;
    const COLORREF old = list->background;
    list->background = color;
    return old;
}

COLORREF ImageList_GetBkColor(HIMAGELIST handle) {
    const TImageListObject* list = FindImageList(handle);
    return list ? list->background : CLR_NONE;
}

BOOL ImageList_SetOverlayImage(HIMAGELIST handle, int image, int overlay) {
    TImageListObject* list = FindImageList(handle);
    if (!list || overlay < 1 || overlay > 15 || (image != -1 && !list->Holds(image))) return FALSE;
    list->overlays[size_t(overlay - 1)] = image;
    return TRUE;
}

BOOL ImageList_GetImageInfo(HIMAGELIST handle, int index, IMAGEINFO* info) {
    TImageListObject* list = FindImageList(handle);
    if (!list || !info || !list->Holds(index)) return FALSE;
    if (list->infoStale) {
        TIconImage all;
        if (!all.Reset(list->width, list->height * int(list->images.size()))) return FALSE;
        for (size_t i = 0; i < list->images.size(); ++i) {
            const TIconImage& image = list->images[i];
            std::copy(image.color.begin(), image.color.end(), all.color.begin() + ptrdiff_t(i * image.color.size()));
            std::copy(image.mask.begin(), image.mask.end(), all.mask.begin() + ptrdiff_t(i * image.mask.size()));
        }
        DeleteObject(ToGdiObject(list->infoImage));
        DeleteObject(ToGdiObject(list->infoMask));
        list->infoImage = ColorBitmapOf(all);
        list->infoMask = list->Masked() ? MaskBitmapOf(all) : nullptr;
        list->infoStale = false;
    }
    *info = IMAGEINFO{list->infoImage, list->infoMask, 0, 0,
                      RECT{0, index * list->height, list->width, (index + 1) * list->height}};
    return TRUE;
}
