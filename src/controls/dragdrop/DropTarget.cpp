#include "controls/dragdrop/DropTarget.h"

#include <algorithm>

#include "controls/dragdrop/DataFormatMap.h"
#include "controls/dragdrop/DropTargetTransfer.h"
#include "controls/dragdrop/FeedbackFormats.h"
#include "platform/rtl/ClassInfo.h"
#include "platform/rtl/Clock.h"
#include "platform/ui/Timer.h"
#include "platform/win/User.h"

RTL_PUBLISHED_NONE(TCustomDropTarget);
RTL_PUBLISHED_NONE(TCustomDropMultiTarget);
RTL_PUBLISHED_NONE(TWinControlProxy);

namespace {

DWORD EffectsOf(TDragTypes types) {
    return (types.Contains(dtCopy) ? DROPEFFECT_COPY : 0) | (types.Contains(dtMove) ? DROPEFFECT_MOVE : 0) |
           (types.Contains(dtLink) ? DROPEFFECT_LINK : 0);
}

// The effect the keys ask for among Allowed, else the first allowed.
DWORD KeyRuleEffect(TShiftState shift, DWORD allowed) {
    const bool shiftKey = shift.Contains(ssShift), ctrlKey = shift.Contains(ssCtrl);
    const DWORD wanted = shiftKey && ctrlKey ? DROPEFFECT_LINK : ctrlKey ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
    if (allowed & wanted) return wanted;
    for (const DWORD effect : {DROPEFFECT_COPY, DROPEFFECT_MOVE, DROPEFFECT_LINK})
        if (allowed & effect) return effect;
    return DROPEFFECT_NONE;
}

bool PointIn(const TRect& r, TPoint p) { return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom; }

// Whether Container is Control or holds it, at any depth.
bool Contains(TWinControl* container, TWinControl* control) {
    for (TWinControl* c = control; c; c = c->Parent())
        if (c == container) return true;
    return false;
}

} // namespace

TCustomDropTarget::TCustomDropTarget(TComponent* owner) : TImplements(owner), scrollTimer_(new TTimer(this)) {
    scrollTimer_->SetEnabled(false);
    scrollTimer_->SetOnTimer([this](TObject*) { ScrollStep(); });
    CreateDragCursorImage();
}

TCustomDropTarget::~TCustomDropTarget() {
    dataObject_.Reset();
    dropTargetHelper_.Reset();
    Unregister();
    ImageList_Destroy(imageList_);
}

TShiftState TCustomDropTarget::KeyStateToShiftState(DWORD keyState) noexcept {
    TShiftState shift;
    if (keyState & MK_SHIFT) shift.Include(ssShift);
    if (keyState & MK_CONTROL) shift.Include(ssCtrl);
    if (keyState & MK_LBUTTON) shift.Include(ssLeft);
    if (keyState & MK_RBUTTON) shift.Include(ssRight);
    if (keyState & MK_MBUTTON) shift.Include(ssMiddle);
    if (keyState & MK_ALT) shift.Include(ssAlt);
    return shift;
}

void TCustomDropTarget::GetCompatibleClipboardFormats(TClass dataFormatClass, TClipboardFormats& formats) {
    TDataFormatMap::Instance().GetClipboardFormats(dataFormatClass, formats, ddtTarget);
}

void TCustomDropTarget::Register(TWinControl* target) {
    if (std::find(targets_.begin(), targets_.end(), target) != targets_.end()) return;
    if (!MultiTarget && !ComponentState().Contains(csLoading)) Unregister();
    if (!target) return;
    auto container = std::find_if(targets_.rbegin(), targets_.rend(),
                                  [&](TWinControl* registered) { return Contains(registered, target); });
    targets_.insert(container.base(), target);
    target->FreeNotification(this);
    if (AutoRegister) {
        auto* proxy = new TWinControlProxy(this);
        proxy->SetParent(target);
    } else {
        OleCheck(RegisterDragDrop(target->Handle(), this));
    }
}

void TCustomDropTarget::Unregister(TWinControl* target) {
    if (!target) {
        while (!targets_.empty()) Unregister(targets_.back());
        return;
    }
    const auto it = std::find(targets_.begin(), targets_.end(), target);
    if (it == targets_.end()) return;
    if (target == currentTarget_) currentTarget_ = nullptr;
    targets_.erase(it);
    if (AutoRegister) {
        for (int i = target->ControlCount() - 1; i >= 0; --i) {
            auto* proxy = dynamic_cast<TWinControlProxy*>(target->Controls(i));
            if (proxy && proxy->Owner() == this) {
                proxy->SetParent(nullptr);
                delete proxy;
                break;
            }
        }
    } else if (target->HandleAllocated()) {
        RevokeDragDrop(target->Handle());
    }
}

void TCustomDropTarget::SetTarget(TWinControl* value) {
    if (value == currentTarget_) return;
    if (MultiTarget && !ComponentState().Contains(csLoading)) Unregister();
    Register(value);
}

void TCustomDropTarget::Notification(TComponent* component, TOperation operation) {
    TDragDropComponent::Notification(component, operation);
    if (operation != opRemove) return;
    const auto it = std::find(targets_.begin(), targets_.end(), component);
    if (it == targets_.end()) return;
    if (*it == currentTarget_) EndDragOverFreedTarget();
    targets_.erase(it); // its window, and the proxy with it, goes with the control
}

// The drag ends without a handler: nothing may reach the control being freed.
// A transfer under way keeps its data until it ends.
void TCustomDropTarget::EndDragOverFreedTarget() {
    currentTarget_ = nullptr;
    StopScrollTimer();
    dropTargetHelper_.Reset();
    if (asyncTransfer_) return;
    ClearFormats();
    ReleaseDataObject();
}

TWinControl* TCustomDropTarget::FindTarget(POINT screenPoint) const {
    for (TWinControl* c = FindControl(WindowFromPoint(screenPoint)); c; c = c->Parent())
        if (std::find(targets_.begin(), targets_.end(), c) != targets_.end()) return c;
    return nullptr;
}

TPoint TCustomDropTarget::ClientPoint(POINTL screen) const {
    if (!currentTarget_) return TPoint{screen.x, screen.y};
    return currentTarget_->ScreenToClient(TPoint{screen.x, screen.y});
}

DWORD TCustomDropTarget::ChooseDropEffect(TShiftState shift, TPoint point, DWORD effect) {
    const DWORD allowed = effect & EffectsOf(DragTypes);
    DWORD result = OnGetDropEffect ? allowed : KeyRuleEffect(shift, allowed);
    if (AutoScroll && (horizontalBar_ || verticalBar_)) {
        if (PointIn(noScrollZone_, point))
            result &= ~DROPEFFECT_SCROLL;
        else
            result |= DROPEFFECT_SCROLL;
    }
    if (OnGetDropEffect) OnGetDropEffect(this, shift, point, result);
    return result;
}

void TCustomDropTarget::HandleEnter(TShiftState shift, TPoint point, DWORD& effect) {
    if (OnEnter) OnEnter(this, shift, point, effect);
}
void TCustomDropTarget::HandleDragOver(TShiftState shift, TPoint point, DWORD& effect) {
    if (OnDragOver) OnDragOver(this, shift, point, effect);
}
void TCustomDropTarget::HandleLeave() {
    if (OnLeave) OnLeave(this);
}

void TCustomDropTarget::HandleDrop(TShiftState shift, TPoint point, DWORD& effect) {
    if (OnDrop) OnDrop(this, shift, point, effect);
    if (effect == DROPEFFECT_NONE || !dataObject_) return;
    const DWORD reported = OptimizedMove && effect == DROPEFFECT_MOVE ? DROPEFFECT_COPY : effect;
    if (WriteFeedbackValue<TPerformedDropEffectClipboardFormat>(*dataObject_, reported)) effect = reported;
}

bool TCustomDropTarget::FetchData(DWORD effect) {
    ClearFormats();
    return StartAsyncTransfer(effect) || ReadFormats();
}

bool TCustomDropTarget::StartAsyncTransfer(DWORD effect) {
    TIntfPtr<IAsyncOperation> operation;
    BOOL async = FALSE;
    if (!AllowAsyncTransfer || !dataObject_ || !Supports(dataObject_, operation) ||
        operation->GetAsyncMode(&async) != S_OK || !async || Failed(operation->StartOperation(nullptr)))
        return false;
    try {
        if (OnStartAsyncTransfer) OnStartAsyncTransfer(this);
        asyncTransfer_ = true;
        (new TDropTargetTransferThread(*this, effect, operation))->Start();
        return true;
    } catch (...) {
        asyncTransfer_ = false;
        operation->EndOperation(E_UNEXPECTED, nullptr, DROPEFFECT_NONE);
        return false;
    }
}

void TCustomDropTarget::ReleaseDataObject() {
    if (!asyncTransfer_) dataObject_.Reset();
}

void TCustomDropTarget::TransferData(DWORD& effect) {
    ReadFormats();
    HandleDrop(TShiftState{}, TPoint{}, effect);
}

void TCustomDropTarget::EndAsyncTransfer() {
    asyncTransfer_ = false;
    ClearFormats();
    dataObject_.Reset();
    currentTarget_ = nullptr;
    if (OnEndAsyncTransfer) OnEndAsyncTransfer(this);
}

DWORD TCustomDropTarget::ReadPreferredDropEffect() {
    return dataObject_ ? ::ReadPreferredDropEffect(*dataObject_) : DROPEFFECT_NONE;
}

HRESULT TCustomDropTarget::DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD& effect) {
    try {
        ClearFormats();
        dataObject_ = data;
        currentTarget_ = FindTarget(POINT{point.x, point.y});
        if (currentTarget_) {
            lastPoint_ = ClientPoint(point);
        } else {
            SetShowImage(false);
            AutoScroll = false;
        }
        mouseSpeed_.Restart(POINT{point.x, point.y}, GetTickCount());
        if (Enabled && dataObject_ && HasValidFormats(*dataObject_)) {
            SetUpAutoScroll();
            if (GetDataOnEnter && !FetchData(effect)) {
                ReleaseDataObject();
                effect = DROPEFFECT_NONE;
                return DV_E_CLIPFORMAT;
            }
            const TShiftState shift = KeyStateToShiftState(keyState);
            effect = ChooseDropEffect(shift, lastPoint_, effect);
            HandleEnter(shift, lastPoint_, effect);
            if ((effect & ~DROPEFFECT_SCROLL) == 0) ReleaseDataObject();
        } else {
            ReleaseDataObject();
            effect = DROPEFFECT_NONE;
        }
        DragImageEnter(data, point, effect);
        return S_OK;
    } catch (...) {
        ReleaseDataObject();
        effect = DROPEFFECT_NONE;
        return E_UNEXPECTED;
    }
}

HRESULT TCustomDropTarget::DragOver(DWORD keyState, POINTL point, DWORD& effect) {
    try {
        if (!currentTarget_) {
            effect = DROPEFFECT_NONE;
            return E_UNEXPECTED;
        }
        const TPoint client = ClientPoint(point);
        const TShiftState shift = KeyStateToShiftState(keyState);
        effect = ChooseDropEffect(shift, client, effect);
        HRESULT result = DV_E_CLIPFORMAT;
        if (dataObject_) {
            HandleDragOver(shift, client, effect);
            result = S_OK;
        }
        ControlScrollTimer(effect, point);
        DragImageMove(point, client, effect);
        lastPoint_ = client;
        return result;
    } catch (...) {
        ReleaseDataObject();
        effect = DROPEFFECT_NONE;
        return E_UNEXPECTED;
    }
}

HRESULT TCustomDropTarget::DragLeave() {
    try {
        ClearFormats();
        StopScrollTimer();
        ReleaseDataObject();
        DragImageLeave();
        try {
            HandleLeave();
        } catch (...) {
            currentTarget_ = nullptr;
            dropTargetHelper_.Reset();
            throw;
        }
        currentTarget_ = nullptr;
        dropTargetHelper_.Reset();
        return S_OK;
    } catch (...) {
        ReleaseDataObject();
        return E_UNEXPECTED;
    }
}

HRESULT TCustomDropTarget::Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD& effect) {
    HRESULT result = S_OK;
    StopScrollTimer();
    try {
        if (dataObject_) {
            const TShiftState shift = KeyStateToShiftState(keyState);
            const TPoint client = ClientPoint(point);
            effect = ChooseDropEffect(shift, client, effect);
            if (!GetDataOnEnter && !FetchData(effect))
                effect = DROPEFFECT_NONE;
            else if (!asyncTransfer_)
                HandleDrop(shift, client, effect);
        } else {
            effect = DROPEFFECT_NONE;
            result = E_UNEXPECTED;
        }
    } catch (...) {
        effect = DROPEFFECT_NONE;
        result = E_UNEXPECTED;
    }
    try {
        DragImageDrop(data, point, effect);
        if (!asyncTransfer_) ClearFormats();
    } catch (...) {
        result = E_UNEXPECTED;
    }
    if (!asyncTransfer_) {
        ReleaseDataObject();
        currentTarget_ = nullptr;
    }
    dropTargetHelper_.Reset();
    return result;
}

DWORD TCustomDropTarget::PasteFromClipboard() {
    ClearFormats();
    currentTarget_ = nullptr;
    TIntfPtr<IDataObject> clipboard;
    OleCheck(OleGetClipboard(clipboard));
    dataObject_ = clipboard;
    DWORD effect = DROPEFFECT_NONE;
    try {
        effect = ReadPreferredDropEffect();
        effect = FetchData(effect) ? effect : DROPEFFECT_NONE;
        HandleDrop(TShiftState{}, TPoint{}, effect);
        if (effect != DROPEFFECT_NONE) WriteFeedbackValue<TPasteSucceededClipboardFormat>(*dataObject_, effect);
    } catch (...) {
        ReleaseDataObject();
        throw;
    }
    ReleaseDataObject();
    return effect;
}

bool TCustomDropTarget::CanPasteFromClipboard() {
    TIntfPtr<IDataObject> clipboard;
    OleCheck(OleGetClipboard(clipboard));
    return HasValidFormats(*clipboard);
}

TCustomDropMultiTarget::TCustomDropMultiTarget(TComponent* owner) : TCustomDropTarget(owner) {
    CreateDataFormats();
    DragTypes = TDragTypes{dtCopy, dtLink};
}

TCustomDropMultiTarget::~TCustomDropMultiTarget() {
    while (DataFormats()->Count() > 0) delete (*DataFormats())[DataFormats()->Count() - 1];
}

void TCustomDropMultiTarget::HandleAcceptFormat(TCustomDataFormat& format, bool& accept) {
    if (OnAcceptFormat) OnAcceptFormat(this, format, accept);
}

bool TCustomDropMultiTarget::HasValidFormats(IDataObject& data) {
    TIntfPtr<IEnumFORMATETC> formats;
    if (data.EnumFormatEtc(DATADIR_GET, formats) != S_OK || !formats || formats->Reset() != S_OK) return false;
    FORMATETC offered;
    while (formats->Next(1, &offered, nullptr) == S_OK) {
        for (int i = 0; i < DataFormats()->Count(); ++i) {
            TCustomDataFormat& format = *(*DataFormats())[i];
            if (!format.AcceptFormat(offered) || !format.HasValidFormats(data)) continue;
            bool accept = true;
            HandleAcceptFormat(format, accept);
            if (accept) return true;
        }
    }
    return false;
}

bool TCustomDropMultiTarget::ReadFormats() {
    bool result = false;
    for (int i = 0; i < DataFormats()->Count(); ++i) {
        TCustomDataFormat& format = *(*DataFormats())[i];
        if (!format.HasValidFormats(*DataObject())) continue;
        bool accept = true;
        HandleAcceptFormat(format, accept);
        if (accept && format.GetData(*DataObject())) result = true;
    }
    return result;
}

void TCustomDropMultiTarget::ClearFormats() {
    if (AsyncTransfer()) throw Exception(u"Can't clear data while async data transfer is in progress");
    for (int i = 0; i < DataFormats()->Count(); ++i) (*DataFormats())[i]->Clear();
}

TWinControlProxy::TWinControlProxy(TCustomDropTarget* owner) : TWinControl(owner), dropTarget_(owner) {}

void TWinControlProxy::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ExStyle |= WS_EX_TRANSPARENT;
}

void TWinControlProxy::CreateWnd() {
    TWinControl::CreateWnd();
    OleCheck(RegisterDragDrop(Parent()->Handle(), dropTarget_));
    SetVisible(false);
    SetWidth(0);
}

void TWinControlProxy::DestroyWnd() {
    if (Parent() && Parent()->HandleAllocated()) RevokeDragDrop(Parent()->Handle());
    SetVisible(true);
    TWinControl::DestroyWnd();
}
