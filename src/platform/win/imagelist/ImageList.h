#pragma once
// Image lists: images of one size with an optional mask each, drawn by
// index, and the drag picture made from one of them.
//
// Images keep the straight alpha they are given in lists of ILC_COLOR32; an
// image there with any non-zero alpha draws by it, any other through its mask
// (1 keeps what lies beneath). Lists of fewer bits drop alpha. Without
// ILC_MASK images are opaque. Calls with an unknown list, a list of zero
// size, an index out of range or an empty list fail (FALSE, -1, null) and draw
// nothing.

#include "platform/win/gdi/GdiTypes.h"

struct IMAGEINFO {
    HBITMAP hbmImage;
    HBITMAP hbmMask;
    int Unused1;
    int Unused2;
    RECT rcImage;
};

constexpr COLORREF CLR_NONE = 0xFFFFFFFF;
constexpr COLORREF CLR_DEFAULT = 0xFF000000;

// ImageList_Create.
constexpr UINT ILC_MASK = 0x0001;
constexpr UINT ILC_COLOR = 0x0000;
constexpr UINT ILC_COLORDDB = 0x00FE;
constexpr UINT ILC_COLOR4 = 0x0004;
constexpr UINT ILC_COLOR8 = 0x0008;
constexpr UINT ILC_COLOR16 = 0x0010;
constexpr UINT ILC_COLOR24 = 0x0018;
constexpr UINT ILC_COLOR32 = 0x0020;

// ImageList_Draw and ImageList_DrawEx.
constexpr UINT ILD_NORMAL = 0x0000;
constexpr UINT ILD_TRANSPARENT = 0x0001;
constexpr UINT ILD_BLEND25 = 0x0002;
constexpr UINT ILD_FOCUS = ILD_BLEND25;
constexpr UINT ILD_BLEND50 = 0x0004;
constexpr UINT ILD_SELECTED = ILD_BLEND50;
constexpr UINT ILD_BLEND = ILD_BLEND50;
constexpr UINT ILD_MASK = 0x0010;
constexpr UINT ILD_IMAGE = 0x0020;
constexpr UINT ILD_OVERLAYMASK = 0x0F00;
constexpr UINT INDEXTOOVERLAYMASK(UINT overlay) noexcept { return overlay << 8; }

// Width and height 0 or more; Initial and Grow are hints.
HIMAGELIST ImageList_Create(int width, int height, UINT flags, int initial, int grow);
BOOL ImageList_Destroy(HIMAGELIST list);
int ImageList_GetImageCount(HIMAGELIST list);
// Added images are blank: transparent with a mask, black without.
BOOL ImageList_SetImageCount(HIMAGELIST list, UINT count);
// A bitmap wider than the images adds one image per image width, left to
// right. The mask: non-black keeps what lies beneath; without one, 32-bit
// images with alpha are masked where their alpha is 0. Answers the first new
// index, -1 on failure.
int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask);
// Pixels of the key colour become transparent and black.
int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF key);
// Index -1 appends. The icon is stretched to the images' size.
int ImageList_ReplaceIcon(HIMAGELIST list, int index, HICON icon);
inline int ImageList_AddIcon(HIMAGELIST list, HICON icon) { return ImageList_ReplaceIcon(list, -1, icon); }
BOOL ImageList_Replace(HIMAGELIST list, int index, HBITMAP image, HBITMAP mask);
// Index -1 removes every image.
BOOL ImageList_Remove(HIMAGELIST list, int index);
inline BOOL ImageList_RemoveAll(HIMAGELIST list) { return ImageList_Remove(list, -1); }
// ImageList_Copy within one list: ILCF_MOVE copies image Source over image
// Dest, ILCF_SWAP exchanges them.
constexpr UINT ILCF_MOVE = 0x0000;
constexpr UINT ILCF_SWAP = 0x0001;
BOOL ImageList_Copy(HIMAGELIST dest, int destIndex, HIMAGELIST source, int sourceIndex, UINT flags);
BOOL ImageList_GetIconSize(HIMAGELIST list, int* width, int* height);
// Removes every image.
BOOL ImageList_SetIconSize(HIMAGELIST list, int width, int height);
// CLR_NONE (the start) or a colour ILD_NORMAL fills behind masked images.
COLORREF ImageList_SetBkColor(HIMAGELIST list, COLORREF color);
COLORREF ImageList_GetBkColor(HIMAGELIST list);
// Overlay 1-15 names Image for INDEXTOOVERLAYMASK(overlay).
BOOL ImageList_SetOverlayImage(HIMAGELIST list, int image, int overlay);

// DrawEx: Width and Height 0 draw the whole image, smaller ones its top-left
// part. Background: CLR_DEFAULT the list's colour, CLR_NONE none; it fills
// behind masked images unless ILD_TRANSPARENT. Foreground, for ILD_BLEND25
// and ILD_BLEND50 (mixing 25 % or 50 % of it in): CLR_DEFAULT the highlight
// colour, CLR_NONE what lies beneath. ILD_MASK draws the mask (black where
// the image is), ILD_IMAGE the image without its mask. An overlay is drawn
// over the image in the same style.
BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style);
BOOL ImageList_DrawEx(HIMAGELIST list, int index, HDC dc, int x, int y, int width, int height, COLORREF background,
                      COLORREF foreground, UINT style);
// The disabled look of an image: its shape (the pixels that cover what lies
// beneath and are not light) embossed, in the highlight colour one pixel
// right of and below (X, Y), then in the shadow colour at (X, Y).
BOOL DrawDisabledListImage(HIMAGELIST list, int index, HDC dc, int x, int y);
// A new icon of the image (ILD_NORMAL fills the list's background colour
// behind it, ILD_TRANSPARENT does not); the caller destroys it.
HICON ImageList_GetIcon(HIMAGELIST list, int index, UINT style);
// The list's own bitmaps, valid until the list next changes: the images one
// below the other, 32 bits, and their mask (null without ILC_MASK).
BOOL ImageList_GetImageInfo(HIMAGELIST list, int index, IMAGEINFO* info);

// --- Drag images ---------------------------------------------------------------
// One drag picture at a time, shown by a topmost popup that lets clicks
// through and follows ImageList_DragMove. Points are relative to the top-left
// of the lock window's window rectangle (the screen without one). The hot
// spot is the point of the picture that lies at the point given.

// Copies the image into the drag image list.
BOOL ImageList_BeginDrag(HIMAGELIST list, int index, int hotX, int hotY);
// Locks the window and shows the picture at the point.
BOOL ImageList_DragEnter(HWND lock, int x, int y);
BOOL ImageList_DragMove(int x, int y);
// Hides the picture and unlocks the window.
BOOL ImageList_DragLeave(HWND lock);
BOOL ImageList_DragShowNolock(BOOL show);
void ImageList_EndDrag();
// Merges the image with the drag picture so that its point (HotX, HotY) lies
// at the drag hot spot; the merged picture's hot spot stays under the pointer.
BOOL ImageList_SetDragCursorImage(HIMAGELIST list, int index, int hotX, int hotY);
// The drag image list with the position and hot spot, null without a drag.
HIMAGELIST ImageList_GetDragImage(POINT* position, POINT* hotSpot);
