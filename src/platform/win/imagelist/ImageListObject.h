#pragma once
// Image lists behind their handles. Internal.

#include <array>
#include <memory>
#include <vector>

#include "platform/win/icons/IconImage.h"
#include "platform/win/imagelist/ImageList.h"

struct TImageListObject {
    int width = 0, height = 0;
    UINT flags = 0;
    std::vector<TIconImage> images;
    COLORREF background = CLR_NONE;
    std::array<int, 15> overlays; // image indexes of overlays 1-15, -1 for none
    HBITMAP infoImage = nullptr, infoMask = nullptr; // ImageList_GetImageInfo's, built on demand
    bool infoStale = true;

    TImageListObject() { overlays.fill(-1); }
    ~TImageListObject();
    bool Masked() const noexcept { return flags & ILC_MASK; }
    bool KeepsAlpha() const noexcept { return (flags & 0xFE) == ILC_COLOR32; }
    bool Holds(int index) const noexcept { return index >= 0 && index < int(images.size()) && width > 0 && height > 0; }
    // Fits a picture of the list's size to the list: drops alpha where not
    // kept, clears the mask without ILC_MASK, masks alpha 0 when asked.
    void Adopt(TIconImage& image, bool maskFromAlpha) const;
    // A blank image of the list's size.
    TIconImage Blank() const;
};

HIMAGELIST AddImageList(std::unique_ptr<TImageListObject> list);
// Null for unknown and destroyed handles.
TImageListObject* FindImageList(HIMAGELIST list) noexcept;
// Draws image Index of the list as ImageList_DrawEx does; the list holds it.
bool DrawListImage(const TImageListObject& list, int index, HDC dc, int x, int y, int width, int height, COLORREF background,
                   COLORREF foreground, UINT style);
