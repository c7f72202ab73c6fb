// The drag operations of image lists, over the window system's one drag picture.
#include "platform/ui/Screen.h"
#include "platform/ui/graphics/ImageList.h"
#include "platform/win/input/Input.h"

RTL_PUBLISHED_NONE(TDragImageList);

TDragImageList::~TDragImageList() { EndDrag(); }

bool TDragImageList::StartPicture() {
    return HandleAllocated() && ImageList_BeginDrag(Handle(), dragIndex_, dragHotSpot_.X, dragHotSpot_.Y);
}

bool TDragImageList::SetDragImage(int index, int hotSpotX, int hotSpotY) {
    if (index < 0 || index >= Count()) return false;
    dragIndex_ = index;
    dragHotSpot_ = TPoint{hotSpotX, hotSpotY};
    if (!dragging_) return true;
    // The window system keeps one picture: it is made again and shown where the old one was.
    const bool locked = locked_;
    locked_ = false;
    if (!StartPicture()) return false;
    return !locked || DragLock(lockWindow_, position_.X, position_.Y);
}

bool TDragImageList::BeginDrag(HWND window, int x, int y) {
    if (dragging_) EndDrag();
    if (!StartPicture()) return false;
    dragging_ = true;
    if (!DragLock(window, x, y)) {
        EndDrag();
        return false;
    }
    if (dragCursor_ != crNone) SetCursor(Screen().Cursors(dragCursor_));
    return true;
}

bool TDragImageList::DragLock(HWND window, int x, int y) {
    if (!dragging_) return false;
    if (locked_ && window != lockWindow_) DragUnlock();
    position_ = TPoint{x, y};
    if (!ImageList_DragEnter(window, x, y)) return false;
    lockWindow_ = window;
    locked_ = true;
    return true;
}

bool TDragImageList::DragMove(int x, int y) {
    if (!dragging_) return false;
    position_ = TPoint{x, y};
    return ImageList_DragMove(x, y);
}

void TDragImageList::DragUnlock() {
    if (!locked_) return;
    ImageList_DragLeave(lockWindow_);
    lockWindow_ = nullptr;
    locked_ = false;
}

bool TDragImageList::EndDrag() {
    if (!dragging_) return false;
    DragUnlock();
    ImageList_EndDrag();
    dragging_ = false;
    return true;
}

void TDragImageList::HideDragImage() {
    if (dragging_) ImageList_DragShowNolock(FALSE);
}

void TDragImageList::ShowDragImage() {
    if (dragging_) ImageList_DragShowNolock(TRUE);
}

void TDragImageList::SetDragCursor(TCursor value) {
    if (value == dragCursor_) return;
    dragCursor_ = value;
    if (dragging_ && value != crNone) SetCursor(Screen().Cursors(value));
}
