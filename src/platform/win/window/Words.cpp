#include <cstring>

#include "platform/win/core/Procedures.h"
#include "platform/win/core/Tree.h"
#include "platform/win/message/Messages.h"
#include "platform/win/paint/Surface.h"
#include "platform/win/window/Classes.h"
#include "platform/win/window/Windows.h"

namespace {

bool ExtraFits(const TWindow* w, int index, size_t size) {
    return index >= 0 && size_t(index) + size <= w->extra.size();
}

// WM_STYLECHANGING may adjust the new value; WM_STYLECHANGED reports it.
LONG_PTR ChangeStyle(TWindow* w, int index, DWORD value) {
    DWORD& field = index == GWL_STYLE ? w->style : w->exStyle;
    STYLESTRUCT change{field, value};
    const HWND hwnd = w->handle;
    Deliver(w, WM_STYLECHANGING, WPARAM(index), LPARAM(&change));
    if (!LocalWindow(hwnd)) return 0;
    const DWORD old = field;
    field = change.styleNew;
    change.styleOld = old;
    // A window that stops being layered loses its attributes.
    if (index == GWL_EXSTYLE && (old & ~field & WS_EX_LAYERED)) {
        w->alpha = 255;
        w->layeredSet = false;
    }
    PresentTopLevelState(hwnd);
    Deliver(w, WM_STYLECHANGED, WPARAM(index), LPARAM(&change));
    return LONG_PTR(old);
}

} // namespace

LONG_PTR GetWindowLongPtrW(HWND hwnd, int index) {
    TWindow* w = WindowOrError(hwnd);
    if (!w) return 0;
    switch (index) {
    case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(w->proc);
    case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(w->instance);
    case GWLP_HWNDPARENT:
        if (w->IsChild()) return IsRoot(w->parent) ? 0 : reinterpret_cast<LONG_PTR>(w->parent->handle);
        return w->owner ? reinterpret_cast<LONG_PTR>(w->owner->handle) : 0;
    case GWLP_ID: return w->id;
    case GWLP_USERDATA: return w->userData;
    case GWL_STYLE: return LONG_PTR(LONG(w->style));
    case GWL_EXSTYLE: return LONG_PTR(LONG(w->exStyle));
    default:
        if (ExtraFits(w, index, sizeof(LONG_PTR))) {
            LONG_PTR value;
            std::memcpy(&value, w->extra.data() + index, sizeof value);
            return value;
        }
        SetError(ERROR_INVALID_INDEX);
        return 0;
    }
}

LONG_PTR SetWindowLongPtrW(HWND hwnd, int index, LONG_PTR value) {
    TWindow* w = WindowOrError(hwnd);
    if (!w) return 0;
    TWindowHold hold(w);
    switch (index) {
    case GWLP_WNDPROC: {
        const WNDPROC proc = reinterpret_cast<WNDPROC>(value);
        if (!proc) {
            SetError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        const WNDPROC old = w->proc;
        RetainProcedure(proc);
        w->proc = proc;
        ReleaseProcedure(old);
        return reinterpret_cast<LONG_PTR>(old);
    }
    case GWLP_HINSTANCE: {
        const LONG_PTR old = reinterpret_cast<LONG_PTR>(w->instance);
        w->instance = reinterpret_cast<HINSTANCE>(value);
        return old;
    }
    case GWLP_HWNDPARENT: {
        const LONG_PTR old = GetWindowLongPtrW(hwnd, GWLP_HWNDPARENT);
        if (w->IsChild()) {
            SetError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        TWindow* owner = value ? WindowOrError(reinterpret_cast<HWND>(value)) : nullptr;
        if (value && !owner) return 0;
        owner = owner ? RootWindow(owner) : nullptr;
        if (owner == w) {
            SetError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        w->owner = owner;
        PresentTopLevelState(hwnd);
        return old;
    }
    case GWLP_ID: {
        const LONG_PTR old = w->id;
        w->id = value;
        return old;
    }
    case GWLP_USERDATA: {
        const LONG_PTR old = w->userData;
        w->userData = value;
        return old;
    }
    case GWL_STYLE:
    case GWL_EXSTYLE: return ChangeStyle(w, index, DWORD(value));
    default:
        if (ExtraFits(w, index, sizeof(LONG_PTR))) {
            LONG_PTR old;
            std::memcpy(&old, w->extra.data() + index, sizeof old);
            std::memcpy(w->extra.data() + index, &value, sizeof value);
            return old;
        }
        SetError(ERROR_INVALID_INDEX);
        return 0;
    }
}

namespace {

bool PointerSized(int index) {
    return index == GWLP_WNDPROC || index == GWLP_HINSTANCE || index == GWLP_HWNDPARENT;
}

} // namespace

LONG GetWindowLongW(HWND hwnd, int index) {
    if (PointerSized(index)) {
        SetError(ERROR_INVALID_INDEX);
        return 0;
    }
    if (index >= 0) {
        TWindow* w = WindowOrError(hwnd);
        if (!w) return 0;
        if (!ExtraFits(w, index, sizeof(LONG))) {
            SetError(ERROR_INVALID_INDEX);
            return 0;
        }
        LONG value;
        std::memcpy(&value, w->extra.data() + index, sizeof value);
        return value;
    }
    return LONG(GetWindowLongPtrW(hwnd, index));
}

LONG SetWindowLongW(HWND hwnd, int index, LONG value) {
    if (PointerSized(index)) {
        SetError(ERROR_INVALID_INDEX);
        return 0;
    }
    if (index >= 0) {
        TWindow* w = WindowOrError(hwnd);
        if (!w) return 0;
        if (!ExtraFits(w, index, sizeof(LONG))) {
            SetError(ERROR_INVALID_INDEX);
            return 0;
        }
        LONG old;
        std::memcpy(&old, w->extra.data() + index, sizeof old);
        std::memcpy(w->extra.data() + index, &value, sizeof value);
        return old;
    }
    if (index == GWL_STYLE || index == GWL_EXSTYLE) return LONG(SetWindowLongPtrW(hwnd, index, LONG_PTR(DWORD(value))));
    return LONG(SetWindowLongPtrW(hwnd, index, value));
}

BOOL SetWindowTextW(HWND hwnd, LPCWSTR text) {
    return BOOL(SendMessageW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : u"")));
}

int GetWindowTextW(HWND hwnd, LPWSTR buffer, int maxCount) {
    if (!buffer || maxCount <= 0) return 0;
    buffer[0] = 0;
    return int(SendMessageW(hwnd, WM_GETTEXT, WPARAM(maxCount), reinterpret_cast<LPARAM>(buffer)));
}

int GetWindowTextLengthW(HWND hwnd) { return int(SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0)); }
