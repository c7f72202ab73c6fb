// Drags that start in this process: a modal loop holding the mouse capture
// that asks the source whether to go on, finds the registered target under
// the pointer, and shows the effect the target chose. Targets are this
// process's registered windows; drags never leave the program.

#include "platform/win/User.h"
#include "platform/win/dataxfer/DropRegistry.h"

namespace {

constexpr const char16_t* kTrackerClass = u"DragDropTracker";

HWND CreateTracker() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &DefWindowProcW;
    wc.lpszClassName = kTrackerClass;
    RegisterClassW(&wc); // fails harmlessly when registered already
    return CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kTrackerClass, u"", WS_POPUP, 0, 0, 0, 0, nullptr,
                           nullptr, nullptr, nullptr);
}

DWORD CurrentKeyState() {
    constexpr struct {
        int vk;
        DWORD bit;
    } kKeys[] = {{VK_LBUTTON, MK_LBUTTON}, {VK_RBUTTON, MK_RBUTTON}, {VK_MBUTTON, MK_MBUTTON},
                 {VK_SHIFT, MK_SHIFT},     {VK_CONTROL, MK_CONTROL}, {VK_MENU, MK_ALT}};
    DWORD state = 0;
    for (const auto& key : kKeys)
        if (GetKeyState(key.vk) < 0) state |= key.bit;
    return state;
}

HCURSOR CursorFor(DWORD effect) {
    if (effect & DROPEFFECT_MOVE) return LoadCursorW(nullptr, IDC_DRAGMOVE);
    if (effect & DROPEFFECT_COPY) return LoadCursorW(nullptr, IDC_DRAGCOPY);
    if (effect & DROPEFFECT_LINK) return LoadCursorW(nullptr, IDC_DRAGLINK);
    return LoadCursorW(nullptr, IDC_NO);
}

class TDragLoop {
public:
    TDragLoop(IDataObject* data, IDropSource* source, DWORD allowed) : data_(data), source_(source), allowed_(allowed) {}

    HRESULT Run(DWORD& effect) {
        const HWND tracker = CreateTracker();
        if (!tracker) return E_OUTOFMEMORY;
        GetCursorPos(&point_);
        keyState_ = CurrentKeyState();
        if (Ask(false)) Track();
        TModalLoopOptions options;
        options.capture = tracker;
        options.filter = [this](MSG& msg) { return Take(msg); };
        if (!finished_) RunModalLoop([this] { return finished_; }, options);
        // The capture was lost or the program is quitting: the drag is cancelled.
        if (!finished_) Finish(DRAGDROP_S_CANCEL);
        DestroyWindow(tracker);
        effect = result_ == DRAGDROP_S_DROP ? effect_ : DROPEFFECT_NONE;
        return result_;
    }

private:
    // Mouse and key input steers the drag and goes nowhere else.
    bool Take(const MSG& msg) {
        const bool mouse = msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST;
        const bool key = msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST;
        if (!mouse && !key) return false;
        keyState_ = CurrentKeyState();
        if (mouse) point_ = msg.pt;
        const bool escape = (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) && msg.wParam == VK_ESCAPE;
        if (Ask(escape) && (msg.message == WM_MOUSEMOVE || key)) Track();
        return true;
    }

    // Whether the drag goes on; ends it as the source says otherwise.
    bool Ask(bool escape) {
        const HRESULT answer = source_->QueryContinueDrag(escape ? TRUE : FALSE, keyState_);
        if (answer == S_OK) return true;
        Finish(answer);
        return false;
    }

    // Follows the pointer: leaves the old target, enters a new one or moves
    // over the same, then shows the effect.
    void Track() {
        HWND window = nullptr;
        TIntfPtr<IDropTarget> under = FindDropTarget(WindowFromPoint(point_), &window);
        const POINTL at{point_.x, point_.y};
        if (window != targetWindow_) {
            Leave();
            if (under) {
                DWORD effect = allowed_;
                if (Succeeded(under->DragEnter(data_, keyState_, at, effect))) {
                    target_ = under;
                    targetWindow_ = window;
                    effect_ = effect & allowed_;
                }
            }
        } else if (target_) {
            DWORD effect = allowed_;
            effect_ = Succeeded(target_->DragOver(keyState_, at, effect)) ? effect & allowed_ : DROPEFFECT_NONE;
        }
        if (!target_) effect_ = DROPEFFECT_NONE;
        if (source_->GiveFeedback(effect_) == DRAGDROP_S_USEDEFAULTCURSORS) SetCursor(CursorFor(effect_));
    }

    void Leave() {
        if (target_) target_->DragLeave();
        target_.Reset();
        targetWindow_ = nullptr;
        effect_ = DROPEFFECT_NONE;
    }

    void Finish(HRESULT answer) {
        finished_ = true;
        result_ = Failed(answer) ? answer : answer == DRAGDROP_S_DROP ? DRAGDROP_S_DROP : DRAGDROP_S_CANCEL;
        if (result_ != DRAGDROP_S_DROP || !target_ || effect_ == DROPEFFECT_NONE) {
            Leave();
            return;
        }
        DWORD effect = effect_;
        const HRESULT dropped = target_->Drop(data_, keyState_, POINTL{point_.x, point_.y}, effect);
        effect_ = Succeeded(dropped) ? effect & allowed_ : DROPEFFECT_NONE;
        target_.Reset();
        targetWindow_ = nullptr;
    }

    IDataObject* data_;
    IDropSource* source_;
    DWORD allowed_;
    POINT point_{};
    DWORD keyState_ = 0;
    TIntfPtr<IDropTarget> target_;
    HWND targetWindow_ = nullptr;
    DWORD effect_ = DROPEFFECT_NONE;
    bool finished_ = false;
    HRESULT result_ = DRAGDROP_S_CANCEL;
};

} // namespace

HRESULT DoDragDrop(IDataObject* data, IDropSource* source, DWORD allowedEffects, DWORD* effect) {
    if (!data || !source || !effect) return E_INVALIDARG;
    *effect = DROPEFFECT_NONE;
    return TDragLoop(data, source, allowedEffects).Run(*effect);
}
