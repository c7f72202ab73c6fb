#pragma once
// Dragging controls onto controls.
//
// TControl::BeginDrag makes a drag object (OnStartDrag may give its own)
// and hands the pointer to a hidden window of the drag, which takes every
// mouse message until the drag ends. Each move past the threshold asks the
// window under the pointer for the target (CM_DRAG dmFindTarget); a new
// target gets dmDragEnter after the old one's dmDragLeave, and every move
// asks the target with dmDragMove whether it accepts. The cursor shows the
// drag object's choice: crDrag (the control's DragCursor) while accepted,
// crNoDrop otherwise.
//
// Releasing a button ends the drag: the target gets dmDragLeave and then
// dmDragDrop when it accepted, dmDragCancel when it refused. Escape, a
// capture taken away (WM_CANCELMODE) or EndDrag(false) cancel the same way.
// The dragged control then hears DragCanceled (unless dropped) and
// OnEndDrag with the target and the point in its client coordinates (null
// and 0, 0 when not dropped).
//
// A drag object may show an image beside the pointer (GetDragImages). The
// image shows over places with no control of ours and over targets whose
// ControlStyle has csDisplayDragImage; over other targets it is taken away.

#include <memory>

#include "platform/rtl/Geometry.h"
#include "platform/ui/Control.h"

// The image a drag shows beside the pointer: the drag operations of an image
// list. Positions are in the coordinates of the window given to BeginDrag
// (the drag gives the desktop's: screen coordinates).
class IDragImages {
public:
    virtual ~IDragImages() = default;
    // Shows the image with its hot spot at (X, Y).
    virtual bool BeginDrag(HWND window, int x, int y) = 0;
    virtual bool DragMove(int x, int y) = 0;
    // Takes the image away.
    virtual bool EndDrag() = 0;
    // Hides and shows the image again while it drags, e.g. around painting under it.
    virtual void HideDragImage() = 0;
    virtual void ShowDragImage() = 0;
    virtual bool Dragging() const = 0;
};

class TDragObject : public TObject {
    RTL_CLASS(TDragObject, TObject);

public:
    TDragObject() = default;

    // The pointer, in screen coordinates.
    TPoint DragPos() const noexcept { return dragPos_; }
    // The control under the pointer, its window, and the pointer in its client coordinates.
    TControl* DragTarget() const noexcept { return dragTarget_; }
    HWND DragHandle() const noexcept { return dragHandle_; }
    TPoint DragTargetPos() const noexcept { return dragTargetPos_; }

    virtual IDragImages* GetDragImages() { return nullptr; }
    // crDrag while the target accepts, crNoDrop otherwise.
    virtual TCursor GetDragCursor(bool accepted, int x, int y);
    void HideDragImage();
    void ShowDragImage();
    // The drag ended; Target is null unless it was dropped there.
    virtual void Finished(TObject* /*target*/, int /*x*/, int /*y*/, bool /*accepted*/) {}

private:
    friend class TDragSession;
    TPoint dragPos_;
    TControl* dragTarget_ = nullptr;
    HWND dragHandle_ = nullptr;
    TPoint dragTargetPos_;
};

// A drag object standing for a control: its end reaches the control.
class TBaseDragControlObject : public TDragObject {
    RTL_CLASS(TBaseDragControlObject, TDragObject);

public:
    explicit TBaseDragControlObject(TControl* control) : control_(control) {}
    TControl* Control() const noexcept { return control_; }
    // DragCanceled on the control unless accepted, then EndDrag.
    void Finished(TObject* target, int x, int y, bool accepted) override;

protected:
    // The control's OnEndDrag.
    virtual void EndDrag(TObject* target, int x, int y);

private:
    TControl* control_;
};

// What the framework drags when OnStartDrag gives nothing: the control's
// DragCursor and drag images.
class TDragControlObject : public TBaseDragControlObject {
    RTL_CLASS(TDragControlObject, TBaseDragControlObject);

public:
    using TBaseDragControlObject::TBaseDragControlObject;
    TCursor GetDragCursor(bool accepted, int x, int y) override;
    IDragImages* GetDragImages() override;
};

// Cancels the drag that runs, if any.
void CancelDrag();
// A control going away: a drag of it ends at once without telling anyone
// (its image, the control's, is left to it); a drag over it forgets it as
// the target.
void DragControlDestroyed(TControl* control);
