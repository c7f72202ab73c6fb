#pragma once
// Image lists of the framework: a component over an image list of the window
// system (made when first needed), with its images drawn by index on a canvas.
//
// Every change (images added, replaced, moved or removed, a new size, which
// clears the list, a new handle or drawing property) calls Change, which tells
// each registered change link and then OnChange; between BeginUpdate and
// EndUpdate the changes of the batch are told once, at the outermost EndUpdate.
// A list freed while links are registered sets their Sender to null; holders
// of a list that is not their own watch it through TImageListReference.

#include <vector>

#include "platform/rtl/Component.h"
#include "platform/rtl/Geometry.h"
#include "platform/rtl/Stream.h"
#include "platform/ui/Colors.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/Drag.h"
#include "platform/ui/Events.h"
#include "platform/win/imagelist/ImageList.h"

class TBitmap;
class TCanvas;
class TCustomImageList;
class TIcon;

enum class TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };
using enum TDrawingStyle;
RTL_ENUM(TDrawingStyle, dsFocus, dsSelected, dsNormal, dsTransparent);

enum class TImageType { itImage, itMask };
using enum TImageType;
RTL_ENUM(TImageType, itImage, itMask);

// Where ResourceLoad reads from: an embedded BITMAP resource (a strip).
enum class TResType { rtBitmap, rtCursor, rtIcon };
using enum TResType;
RTL_ENUM(TResType, rtBitmap, rtCursor, rtIcon);

// Overlay numbers 0-14, given to Overlay and DrawOverlay.
using TOverlay = int;

// A listener of one image list: Sender is the list it is registered with
// (null once that list is freed).
class TChangeLink : public TObject {
    RTL_CLASS(TChangeLink, TObject);

public:
    TChangeLink() = default;
    // Unregisters from its list.
    ~TChangeLink() override;
    TChangeLink(const TChangeLink&) = delete;
    TChangeLink& operator=(const TChangeLink&) = delete;

    TCustomImageList* Sender() const noexcept { return sender_; }
    void SetSender(TCustomImageList* value) noexcept { sender_ = value; }
    // Calls OnChange with the list.
    virtual void Change();

    TNotifyEvent OnChange;

private:
    TCustomImageList* sender_ = nullptr;
};

class TCustomImageList : public TComponent {
    RTL_CLASS(TCustomImageList, TComponent);

public:
    explicit TCustomImageList(TComponent* owner);
    TCustomImageList(TComponent* owner, int width, int height);
    ~TCustomImageList() override;

    // Another image list: its properties and copies of its images.
    void Assign(TPersistent* source) override;

    // --- Properties ---
    int Width() const noexcept { return width_; }
    // A new size removes every image.
    void SetWidth(int value) { SetSize(value, height_); }
    int Height() const noexcept { return height_; }
    void SetHeight(int value) { SetSize(width_, value); }
    void SetSize(int width, int height);
    int Count() const;
    // Whether images keep a mask; changing it keeps the images.
    bool Masked() const noexcept { return masked_; }
    void SetMasked(bool value);
    TImageType ImageType() const noexcept { return imageType_; }
    void SetImageType(TImageType value);
    TDrawingStyle DrawingStyle() const noexcept { return drawingStyle_; }
    void SetDrawingStyle(TDrawingStyle value);
    // Filled behind masked images drawn dsNormal; clNone for none.
    TColor BkColor() const noexcept { return bkColor_; }
    void SetBkColor(TColor value);
    // Mixed into images drawn dsFocus or dsSelected; clNone: what lies beneath,
    // clDefault: the highlight colour.
    TColor BlendColor() const noexcept { return blendColor_; }
    void SetBlendColor(TColor value);
    // How many images the list grows by.
    int AllocBy() const noexcept { return allocBy_; }
    void SetAllocBy(int value) { allocBy_ = value; }
    // True: the handle belongs to someone else and is not destroyed with the list.
    bool ShareImages() const noexcept { return shareImages_; }
    void SetShareImages(bool value) { shareImages_ = value; }
    // Made on first use. Setting adopts another list (its size with it);
    // null destroys the one held unless shared.
    HIMAGELIST Handle();
    void SetHandle(HIMAGELIST value);
    bool HandleAllocated() const noexcept { return handle_ != nullptr; }

    // --- Images --- (indexes out of range are refused: false or -1)
    // An image strip split at Width, with its mask (null: by alpha or opaque).
    // Answers the first new index.
    int Add(TBitmap* image, TBitmap* mask);
    // Pixels of MaskColor become transparent; clDefault takes the strip's bottom-left pixel.
    int AddMasked(TBitmap* image, TColor maskColor);
    // The icon stretched to the list's size.
    int AddIcon(TIcon* image);
    // Copies of every image of Value, fitted to this list's size.
    void AddImages(TCustomImageList* value);
    void Insert(int index, TBitmap* image, TBitmap* mask);
    void InsertMasked(int index, TBitmap* image, TColor maskColor);
    void InsertIcon(int index, TIcon* image);
    void Replace(int index, TBitmap* image, TBitmap* mask);
    void ReplaceMasked(int index, TBitmap* newImage, TColor maskColor);
    void ReplaceIcon(int index, TIcon* image);
    void Delete(int index);
    void Clear();
    // The image at CurIndex moves to NewIndex, the ones between shift by one.
    void Move(int curIndex, int newIndex);
    // Clears the list and adds the strip of the BITMAP resource Name, keyed on
    // MaskColor (clNone: by alpha or opaque). False when there is no such
    // resource or it is not a bitmap.
    bool ResourceLoad(TResType resType, const String& name, TColor maskColor);

    // --- Drawing ---
    // Enabled false draws the embossed look of the mask: clBtnHighlight
    // offset by (1, 1) under clBtnShadow.
    void Draw(TCanvas* canvas, int x, int y, int index, bool enabled = true);
    void Draw(TCanvas* canvas, int x, int y, int index, TDrawingStyle style, TImageType type, bool enabled = true);
    // Image Index names overlay Overlay (0-14).
    bool Overlay(int imageIndex, TOverlay overlay);
    void DrawOverlay(TCanvas* canvas, int x, int y, int imageIndex, TOverlay overlay, bool enabled = true);
    void DrawOverlay(TCanvas* canvas, int x, int y, int imageIndex, TOverlay overlay, TDrawingStyle style,
                     TImageType type, bool enabled = true);
    // Image Index drawn (with the background colour) into Image sized to the list.
    bool GetBitmap(int index, TBitmap* image);
    void GetIcon(int index, TIcon* image);
    void GetIcon(int index, TIcon* image, TDrawingStyle style, TImageType type);
    // The list's own bitmaps of all images one below the other; valid until the next change.
    HBITMAP GetImageBitmap();
    HBITMAP GetMaskBitmap();
    virtual TPoint GetHotSpot() { return TPoint{0, 0}; }

    // --- Change notification ---
    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();
    void RegisterChanges(TChangeLink* value);
    void UnRegisterChanges(TChangeLink* value);

    TNotifyEvent OnChange;

protected:
    // Tells the links and OnChange, or marks the batch changed.
    virtual void Change();
    // Draws image Index with ILD_x Style; the canvas has its DC.
    virtual void DoDraw(int index, TCanvas* canvas, int x, int y, UINT style, bool enabled = true);
    // The images as a stream's "Bitmap" data: a 32-bit BMP strip, and a
    // 1-bit BMP strip of the masks for masked lists.
    void DefineProperties(TFiler* filer) override;
    virtual void ReadData(TStream& stream);
    virtual void WriteData(TStream& stream);

private:
    HIMAGELIST NewHandle() const;
    // Recreates the handle with the current flags, keeping the images.
    void Recreate();
    void CheckIndex(int index) const;
    // The images (or their masks) side by side, one strip.
    void GetStrip(TBitmap& strip, bool mask);
    void DrawDisabled(int index, TCanvas* canvas, int x, int y, UINT style);
    UINT StyleOf(TDrawingStyle style, TImageType type) const;

    HIMAGELIST handle_ = nullptr;
    int width_ = 16, height_ = 16;
    bool masked_ = true;
    TImageType imageType_ = itImage;
    TDrawingStyle drawingStyle_ = dsNormal;
    TColor bkColor_ = clNone;
    TColor blendColor_ = clNone;
    int allocBy_ = 4;
    bool shareImages_ = false;
    int updateCount_ = 0;
    bool changed_ = false;
    std::vector<TChangeLink*> links_;
};

// An image list that can be the drag picture: one drag at a time, shown by
// the window system's drag image over the lock window (or the screen).
// Also the picture a control's drag shows under the pointer (IDragImages).
class TDragImageList : public TCustomImageList, public IDragImages {
    RTL_CLASS(TDragImageList, TCustomImageList);

public:
    using TCustomImageList::TCustomImageList;
    ~TDragImageList() override;

    // Starts dragging the drag image (SetDragImage's, else image 0) and shows
    // it at (X, Y) of Window; false without an image.
    bool BeginDrag(HWND window, int x, int y) override;
    // Shows the picture over Window (null: the screen) at (X, Y), moving it from another window.
    bool DragLock(HWND window, int x, int y);
    bool DragMove(int x, int y) override;
    void DragUnlock();
    bool EndDrag() override;
    void HideDragImage() override;
    void ShowDragImage() override;
    // The image dragged and its point under the pointer; changes a drag in progress.
    bool SetDragImage(int index, int hotSpotX, int hotSpotY);
    TPoint GetHotSpot() override { return dragHotSpot_; }
    TPoint DragHotspot() const noexcept { return dragHotSpot_; }
    void SetDragHotspot(TPoint value) { dragHotSpot_ = value; }
    // The cursor shown while dragging.
    TCursor DragCursor() const noexcept { return dragCursor_; }
    void SetDragCursor(TCursor value);
    bool Dragging() const noexcept override { return dragging_; }

private:
    // Gives the drag picture image DragIndex with its hot spot.
    bool StartPicture();

    int dragIndex_ = 0;
    TPoint dragHotSpot_{0, 0};
    TCursor dragCursor_ = crNone;
    bool dragging_ = false;
    HWND lockWindow_ = nullptr; // null: the screen
    bool locked_ = false;
    TPoint position_{0, 0};
};

class TImageList : public TDragImageList {
    RTL_CLASS(TImageList, TDragImageList);

public:
    using TDragImageList::TDragImageList;
};

// Unit start-up and shut-down: the texts and the creatable image-list class.
void InitializeImageLists();
void FinalizeImageLists();
