#include "platform/ui/Drag.h"

#include <cstdlib>

#include "platform/rtl/Exceptions.h"
#include "platform/ui/ControlStrings.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Mouse.h"
#include "platform/ui/Screen.h"
#include "platform/ui/UtilityWindow.h"
#include "platform/ui/WinControl.h"
#include "platform/ui/WinGeometry.h"
#include "platform/win/User.h"

RTL_PUBLISHED_NONE(TDragObject);
RTL_PUBLISHED_NONE(TBaseDragControlObject);
RTL_PUBLISHED_NONE(TDragControlObject);

// One drag from BeginDrag to the end of its OnEndDrag. The running one is
// `current`; its handlers keep it alive while they run, since each message
// may end it.
class TDragSession : public std::enable_shared_from_this<TDragSession> {
public:
    TDragSession(TControl* control, TDragObject* object, std::unique_ptr<TDragObject> owned, int threshold);

    static void Start(std::shared_ptr<TDragSession> session, bool immediate);
    // Ends the drag; the target takes the drop when Drop and it accepts.
    void Finish(bool drop);
    // Ends the drag at once, telling nobody: its control goes away.
    void Abandon();
    void TargetDestroyed(TControl* control);

    TControl* Control() const noexcept { return control_; }
    bool MadeByFramework(const TDragObject* object) const noexcept { return object == owned_.get(); }

private:
    std::optional<LRESULT> CaptureMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void MoveTo(TPoint pos);
    // The control under Pos as its window answers, and that window.
    TControl* FindTarget(TPoint pos, HWND& window);
    // Sends Message about the current target to its window; true when it accepts.
    bool AskTarget(TDragMessage message);
    void ShowImage(TControl* target, TPoint pos);
    // Gives the pointer and the cursor back.
    void Release();

    TControl* control_;
    TDragObject* object_;
    std::unique_ptr<TDragObject> owned_;
    IDragImages* images_;
    TPoint startPos_;
    int threshold_;
    // The pointer went past the threshold: targets are being asked.
    bool moving_ = false;
    bool finished_ = false;
    HWND capture_ = nullptr;
    HCURSOR savedCursor_ = nullptr;
};

namespace {

std::shared_ptr<TDragSession> current;

TPoint CursorPos() {
    POINT p{};
    GetCursorPos(&p);
    return ToTPoint(p);
}

} // namespace

// --- The drag ------------------------------------------------------------------------

TDragSession::TDragSession(TControl* control, TDragObject* object, std::unique_ptr<TDragObject> owned,
                           int threshold)
    : control_(control), object_(object), owned_(std::move(owned)), images_(object->GetDragImages()),
      startPos_(CursorPos()), threshold_(threshold) {}

void TDragSession::Start(std::shared_ptr<TDragSession> session, bool immediate) {
    session->capture_ = AllocateHWnd([self = session.get()](UINT message, WPARAM wParam, LPARAM lParam) {
        return self->CaptureMessage(message, wParam, lParam);
    });
    current = session;
    session->object_->dragPos_ = session->startPos_;
    session->savedCursor_ = GetCursor();
    SetCapture(session->capture_);
    if (!immediate) return;
    session->moving_ = true;
    try {
        session->MoveTo(session->startPos_);
    } catch (...) {
        session->Finish(false);
        throw;
    }
}

std::optional<LRESULT> TDragSession::CaptureMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (finished_) return std::nullopt;
    const std::shared_ptr<TDragSession> keep = shared_from_this();
    try {
        switch (message) {
        case WM_MOUSEMOVE: {
            POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ClientToScreen(capture_, &p);
            MoveTo(ToTPoint(p));
            return 0;
        }
        case WM_LBUTTONUP:
        case WM_RBUTTONUP: Finish(true); return 0;
        case WM_CAPTURECHANGED:
            if (HWND(lParam) != capture_) Finish(false);
            return 0;
        // Keys reach the window holding the pointer first (IsKeyMessage).
        case CN_KEYDOWN:
        case CN_KEYUP:
            if (wParam == VK_ESCAPE) {
                Finish(false);
                return 1;
            }
            // Ctrl may change what the target makes of the drag: ask again.
            if (wParam == VK_CONTROL && moving_) MoveTo(object_->dragPos_);
            return 0;
        default: return std::nullopt;
        }
    } catch (...) {
        Finish(false);
        throw;
    }
}

void TDragSession::MoveTo(TPoint pos) {
    if (!moving_ && std::abs(pos.X - startPos_.X) < threshold_ && std::abs(pos.Y - startPos_.Y) < threshold_) return;
    moving_ = true;
    HWND window = nullptr;
    TControl* target = FindTarget(pos, window);
    if (target != object_->dragTarget_) {
        AskTarget(dmDragLeave);
        if (finished_) return;
        object_->dragTarget_ = target;
        object_->dragHandle_ = window;
        object_->dragPos_ = pos;
        AskTarget(dmDragEnter);
        if (finished_) return;
    }
    object_->dragPos_ = pos;
    if (target) object_->dragTargetPos_ = target->ScreenToClient(pos);
    const bool accepted = AskTarget(dmDragMove);
    if (finished_) return;
    const TCursor cursor = object_->GetDragCursor(accepted, pos.X, pos.Y);
    ShowImage(target, pos);
    SetCursor(Screen().Cursors(cursor));
}

TControl* TDragSession::FindTarget(TPoint pos, HWND& window) {
    window = WindowFromPoint(ToPOINT(pos));
    while (window && !FindControl(window)) window = GetParent(window);
    if (!window) return nullptr;
    TDragRec rec{pos, object_, nullptr};
    return reinterpret_cast<TControl*>(SendMessageW(window, CM_DRAG, WPARAM(dmFindTarget), LPARAM(&rec)));
}

bool TDragSession::AskTarget(TDragMessage message) {
    if (!object_->dragTarget_) return false;
    TDragRec rec{object_->dragPos_, object_, object_->dragTarget_};
    return SendMessageW(object_->dragHandle_, CM_DRAG, WPARAM(message), LPARAM(&rec)) != 0;
}

void TDragSession::ShowImage(TControl* target, TPoint pos) {
    if (!images_) return;
    if (target && !target->ControlStyle().Contains(csDisplayDragImage)) {
        if (images_->Dragging()) images_->EndDrag();
    } else if (images_->Dragging()) {
        images_->DragMove(pos.X, pos.Y);
    } else {
        images_->BeginDrag(GetDesktopWindow(), pos.X, pos.Y);
    }
}

void TDragSession::Release() {
    finished_ = true;
    const HWND capture = std::exchange(capture_, nullptr);
    if (GetCapture() == capture) ReleaseCapture();
    DeallocateHWnd(capture);
    SetCursor(savedCursor_);
}

void TDragSession::Finish(bool drop) {
    if (finished_) return;
    const std::shared_ptr<TDragSession> keep = shared_from_this();
    if (images_ && images_->Dragging()) images_->EndDrag();
    Release();
    struct TEnded {
        ~TEnded() { current.reset(); }
    } ended;
    // Each handler may free the target (TargetDestroyed forgets it) or the dragged control (Abandon).
    const bool accepted = moving_ && AskTarget(dmDragLeave) && drop;
    TPoint targetPos;
    if (accepted && object_->dragTarget_) targetPos = object_->dragTarget_->ScreenToClient(object_->dragPos_);
    AskTarget(accepted ? dmDragDrop : dmDragCancel);
    if (control_) object_->Finished(accepted ? object_->dragTarget_ : nullptr, targetPos.X, targetPos.Y, accepted);
}

void TDragSession::Abandon() {
    control_ = nullptr;
    if (!finished_) Release();
    current.reset();
}

void TDragSession::TargetDestroyed(TControl* control) {
    if (object_->dragTarget_ != control) return;
    object_->dragTarget_ = nullptr;
    object_->dragHandle_ = nullptr;
}

void CancelDrag() {
    if (const std::shared_ptr<TDragSession> session = current) session->Finish(false);
}

void DragControlDestroyed(TControl* control) {
    const std::shared_ptr<TDragSession> session = current;
    if (!session) return;
    if (session->Control() == control)
        session->Abandon();
    else
        session->TargetDestroyed(control);
}

// --- Drag objects ------------------------------------------------------------------

TCursor TDragObject::GetDragCursor(bool accepted, int, int) { return accepted ? crDrag : crNoDrop; }

void TDragObject::HideDragImage() {
    if (IDragImages* images = GetDragImages()) images->HideDragImage();
}

void TDragObject::ShowDragImage() {
    if (IDragImages* images = GetDragImages()) images->ShowDragImage();
}

void TBaseDragControlObject::Finished(TObject* target, int x, int y, bool accepted) {
    if (!accepted) control_->DragCanceled();
    EndDrag(target, x, y);
}

void TBaseDragControlObject::EndDrag(TObject* target, int x, int y) { control_->DoEndDrag(target, x, y); }

TCursor TDragControlObject::GetDragCursor(bool accepted, int, int) {
    return accepted ? Control()->DragCursor() : crNoDrop;
}

IDragImages* TDragControlObject::GetDragImages() { return Control()->GetDragImages(); }

// --- TControl's side -----------------------------------------------------------------

void TControl::BeginDrag(bool immediate, int threshold) {
    if (dragKind_ != dkDrag) return;
    if (dynamic_cast<TCustomForm*>(this)) throw EInvalidOperation(LoadResString(SCannotDragForm));
    if (current) return;
    // The press that led here is over for the control: it lets go of the pointer.
    if (controlState_.Contains(csLButtonDown)) {
        const TPoint p = ScreenToClient(CursorPos());
        Perform(WM_LBUTTONUP, 0, MAKELPARAM(WORD(p.X), WORD(p.Y)));
    }
    TDragObject* object = nullptr;
    DoStartDrag(object);
    std::unique_ptr<TDragObject> owned;
    if (!object) {
        owned = std::make_unique<TDragControlObject>(this);
        object = owned.get();
    }
    TDragSession::Start(std::make_shared<TDragSession>(this, object, std::move(owned),
                                                       threshold < 0 ? Mouse().DragThreshold() : threshold),
                        immediate);
}

void TControl::BeginAutoDrag() { BeginDrag(Mouse().DragImmediate(), Mouse().DragThreshold()); }

void TControl::EndDrag(bool drop) {
    if (Dragging()) current->Finish(drop);
}

bool TControl::Dragging() const { return current && current->Control() == this; }

void TControl::DoStartDrag(TDragObject*& dragObject) {
    if (OnStartDrag) OnStartDrag(this, dragObject);
}

void TControl::DragOver(TObject* source, int x, int y, TDragState state, bool& accept) {
    accept = false;
    if (!OnDragOver) return;
    accept = true;
    OnDragOver(this, source, x, y, state, accept);
}

void TControl::DragDrop(TObject* source, int x, int y) {
    if (OnDragDrop) OnDragDrop(this, source, x, y);
}

void TControl::DoEndDrag(TObject* target, int x, int y) {
    if (OnEndDrag) OnEndDrag(this, target, x, y);
}

void TControl::CMDrag(TMessage& m) {
    const TCMDrag drag(m);
    TDragRec* rec = drag.DragRec();
    switch (drag.DragMessage()) {
    case dmFindTarget: {
        TControl* found = nullptr;
        if (auto* windowed = dynamic_cast<TWinControl*>(this))
            found = windowed->ControlAtPos(ScreenToClient(rec->Pos), false);
        m.Result = LRESULT(found ? found : this);
        return;
    }
    case dmDragCancel: return;
    default:
        if (rec->Target) rec->Target->DoDragMsg(m);
        return;
    }
}

void TControl::DoDragMsg(TMessage& m) {
    const TCMDrag drag(m);
    const TDragRec* rec = drag.DragRec();
    // The framework's own drag object stands for the control it drags.
    TObject* source = rec->Source;
    if (current && current->MadeByFramework(rec->Source)) source = current->Control();
    const TPoint p = ScreenToClient(rec->Pos);
    switch (drag.DragMessage()) {
    case dmDragEnter:
    case dmDragLeave:
    case dmDragMove: {
        static_assert(int(dmDragEnter) == int(dsDragEnter) && int(dmDragLeave) == int(dsDragLeave) &&
                      int(dmDragMove) == int(dsDragMove));
        bool accept = false;
        DragOver(source, p.X, p.Y, TDragState(int(drag.DragMessage())), accept);
        m.Result = accept;
        return;
    }
    case dmDragDrop: DragDrop(source, p.X, p.Y); return;
    default: return;
    }
}
