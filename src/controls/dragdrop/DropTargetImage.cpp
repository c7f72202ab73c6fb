// The drag image over a drop target: through the shell's drag-image object
// when one can be made, else the image-list drag image a drag in this
// process shows, with a transparent cursor image merged in.

#include "controls/dragdrop/DropTarget.h"

#include "platform/win/User.h"
#include "platform/win/gdi/Gdi.h"

namespace {

constexpr int kDragCursorSize = 32;

} // namespace

void TCustomDropTarget::CreateDragCursorImage() {
    imageList_ = ImageList_Create(kDragCursorSize, kDragCursorSize, ILC_COLOR | ILC_MASK, 1, 1);
    const HDC screen = GetDC(nullptr);
    const HDC dc = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, kDragCursorSize, kDragCursorSize);
    const HGDIOBJ old = SelectObject(dc, ToGdiObject(bitmap));
    const RECT all{0, 0, kDragCursorSize, kDragCursorSize};
    FillRect(dc, &all, GetSysColorBrush(COLOR_WINDOW));
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    ImageList_AddMasked(imageList_, bitmap, GetSysColor(COLOR_WINDOW));
    DeleteObject(ToGdiObject(bitmap));
}

POINT TCustomDropTarget::WindowPoint(TPoint client) const {
    POINT p{client.X, client.Y};
    ClientToScreen(currentTarget_->Handle(), &p);
    RECT window{};
    GetWindowRect(currentTarget_->Handle(), &window);
    return POINT{p.x - window.left, p.y - window.top};
}

void TCustomDropTarget::SetShowImage(bool value) {
    showImage_ = value;
    if (dropTargetHelper_)
        dropTargetHelper_->Show(value);
    else if (dataObject_)
        ImageList_DragShowNolock(value);
}

void TCustomDropTarget::DragImageEnter(IDataObject* data, POINTL screen, DWORD effect) {
    dragImage_ = nullptr;
    if (!showImage_ || !currentTarget_) return;
    IDropTargetHelper* helper = nullptr;
    if (Succeeded(CoCreateInstance(CLSID_DragDropHelper, nullptr, CLSCTX_INPROC_SERVER, IDropTargetHelper::IID,
                                   reinterpret_cast<void**>(&helper))) &&
        helper) {
        dropTargetHelper_ = TIntfPtr<IDropTargetHelper>::Adopt(helper);
        POINT p{screen.x, screen.y};
        if (Failed(dropTargetHelper_->DragEnter(currentTarget_->Handle(), data, &p, effect))) dropTargetHelper_.Reset();
        return;
    }
    POINT hotSpot{};
    dragImage_ = ImageList_GetDragImage(nullptr, &hotSpot);
    if (!dragImage_) return;
    ImageList_SetDragCursorImage(imageList_, 0, hotSpot.x, hotSpot.y);
    const POINT at = WindowPoint(lastPoint_);
    ImageList_DragEnter(currentTarget_->Handle(), at.x, at.y);
}

void TCustomDropTarget::DragImageMove(POINTL screen, TPoint client, DWORD effect) {
    if (dropTargetHelper_) {
        POINT p{screen.x, screen.y};
        OleCheck(dropTargetHelper_->DragOver(&p, effect));
    } else if (dragImage_ && currentTarget_ && !(client == lastPoint_)) {
        const POINT at = WindowPoint(client);
        ImageList_DragMove(at.x, at.y);
    }
}

void TCustomDropTarget::DragImageLeave() {
    if (dropTargetHelper_)
        dropTargetHelper_->DragLeave();
    else if (dragImage_ && currentTarget_)
        ImageList_DragLeave(currentTarget_->Handle());
}

void TCustomDropTarget::DragImageDrop(IDataObject* data, POINTL screen, DWORD effect) {
    if (dropTargetHelper_) {
        POINT p{screen.x, screen.y};
        dropTargetHelper_->Drop(data, &p, effect);
    } else if (dragImage_ && currentTarget_) {
        ImageList_DragLeave(currentTarget_->Handle());
    }
}

void TCustomDropTarget::HideDragImage() {
    if (dropTargetHelper_)
        dropTargetHelper_->Show(FALSE);
    else if (dragImage_ && currentTarget_)
        ImageList_DragLeave(currentTarget_->Handle());
}

void TCustomDropTarget::ShowDragImageAgain() {
    if (dropTargetHelper_) {
        dropTargetHelper_->Show(TRUE);
    } else if (dragImage_ && currentTarget_) {
        const POINT at = WindowPoint(lastPoint_);
        ImageList_DragEnter(currentTarget_->Handle(), at.x, at.y);
    }
}
