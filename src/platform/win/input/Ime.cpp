#include <algorithm>
#include <cstring>

#include "platform/win/core/Tree.h"
#include "platform/win/input/Input.h"
#include "platform/win/paint/Surface.h"

namespace {

// The thread's one input context, as a marker value.
HIMC ContextOf(const TQueue& queue) { return reinterpret_cast<HIMC>(uintptr_t{0x10000} + queue.threadId); }

bool IsOwnContext(HIMC context) { return context && context == ContextOf(CurrentQueue()); }

LONG CopyBytes(const String& text, LPVOID buffer, DWORD length) {
    const DWORD bytes = DWORD(text.size() * sizeof(WCHAR));
    if (length == 0 || !buffer) return LONG(bytes);
    const DWORD copied = std::min(bytes, length) / sizeof(WCHAR) * sizeof(WCHAR);
    std::memcpy(buffer, text.data(), copied);
    return LONG(copied);
}

} // namespace

HIMC ImmGetContext(HWND hwnd) {
    TWindow* w = WindowOrError(hwnd);
    if (!w || w->imeDisabled) return nullptr;
    return ContextOf(*w->queue);
}

BOOL ImmReleaseContext(HWND, HIMC context) { return IsOwnContext(context); }

LONG ImmGetCompositionStringW(HIMC context, DWORD index, LPVOID buffer, DWORD length) {
    if (!IsOwnContext(context)) return 0;
    const TImeState& ime = CurrentQueue().ime;
    switch (index) {
    case GCS_COMPSTR: return CopyBytes(ime.composition, buffer, length);
    case GCS_RESULTSTR: return CopyBytes(ime.result, buffer, length);
    case GCS_CURSORPOS: return ime.cursor;
    default: return 0;
    }
}

BOOL ImmSetCompositionWindow(HIMC context, const COMPOSITIONFORM* form) {
    if (!IsOwnContext(context) || !form) return FALSE;
    TImeState& ime = CurrentQueue().ime;
    ime.formStyle = form->dwStyle;
    ime.formPoint = form->ptCurrentPos;
    ime.formRect = form->rcArea;
    Presenter()->TextInputChanged();
    return TRUE;
}

HIMC ImmAssociateContext(HWND hwnd, HIMC context) {
    TWindow* w = WindowOrError(hwnd);
    if (!w) return nullptr;
    const HIMC old = w->imeDisabled ? nullptr : ContextOf(*w->queue);
    if (w->imeDisabled != !context) {
        w->imeDisabled = !context;
        Presenter()->TextInputChanged();
    }
    return old;
}

bool ImeAcceptsText() {
    TWindow* focus = LocalWindow(CurrentQueue().focus);
    return focus && !focus->imeDisabled && (Deliver(focus, WM_GETDLGCODE, 0, 0) & DLGC_WANTCHARS);
}

RECT ImeCursorRect() {
    TQueue& queue = CurrentQueue();
    const TImeState& ime = queue.ime;
    const TCaretState& caret = queue.caret;
    TWindow* focus = LocalWindow(queue.focus);
    if (!focus) return RECT{};
    const POINT origin = ClientOrigin(focus);
    const int height = caret.owner ? caret.height : 0;
    if (ime.formStyle & CFS_RECT)
        return RECT{origin.x + ime.formRect.left, origin.y + ime.formRect.top, origin.x + ime.formRect.right,
                    origin.y + ime.formRect.bottom};
    if (ime.formStyle & CFS_POINT)
        return RECT{origin.x + ime.formPoint.x, origin.y + ime.formPoint.y, origin.x + ime.formPoint.x,
                    origin.y + ime.formPoint.y + height};
    if (TWindow* owner = LocalWindow(caret.owner)) {
        const POINT at = ClientOrigin(owner);
        return RECT{at.x + caret.pos.x, at.y + caret.pos.y, at.x + caret.pos.x + caret.width,
                    at.y + caret.pos.y + caret.height};
    }
    return ScreenRect(focus);
}
