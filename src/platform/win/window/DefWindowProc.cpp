#include "platform/win/core/Tree.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/input/Input.h"
#include "platform/win/message/Messages.h"
#include "platform/win/nc/Frame.h"
#include "platform/win/nc/NonClient.h"
#include "platform/win/paint/Paint.h"
#include "platform/win/paint/PaintInternal.h"
#include "platform/win/paint/Surface.h"
#include "platform/win/system/MessageBeep.h"
#include "platform/win/system/SystemColors.h"
#include "platform/win/toplevel/Defaults.h"
#include "platform/win/window/Classes.h"
#include "platform/win/window/Windows.h"

namespace {

// The parent of a child window, for messages the default passes upwards.
HWND ParentOf(const TWindow* w) { return w->IsChild() && w->parent && !IsRoot(w->parent) ? w->parent->handle : nullptr; }

HWND TopOf(TWindow* w) { return RootWindow(w)->handle; }

LRESULT ContextMenuAtClientPoint(HWND hwnd, LPARAM lParam) {
    POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ClientToScreen(hwnd, &pt);
    SendMessageW(hwnd, WM_CONTEXTMENU, WPARAM(hwnd), MAKELPARAM(WORD(pt.x), WORD(pt.y)));
    return 0;
}

bool Pressed(int vk) { return GetKeyState(vk) < 0; }

void SendWindowPosMessages(TWindow* w, const WINDOWPOS* pos) {
    const HWND hwnd = w->handle;
    if (!(pos->flags & SWP_NOCLIENTMOVE))
        Deliver(w, WM_MOVE, 0, MAKELPARAM(WORD(w->rect.left + w->client.left), WORD(w->rect.top + w->client.top)));
    if (!(pos->flags & SWP_NOCLIENTSIZE) && LocalWindow(hwnd)) {
        const WPARAM kind = w->style & WS_MINIMIZE ? SIZE_MINIMIZED : w->style & WS_MAXIMIZE ? SIZE_MAXIMIZED : SIZE_RESTORED;
        const int width = kind == SIZE_MINIMIZED ? 0 : w->ClientWidth();
        const int height = kind == SIZE_MINIMIZED ? 0 : w->ClientHeight();
        Deliver(w, WM_SIZE, kind, MAKELPARAM(WORD(width), WORD(height)));
    }
}

LRESULT SetCursorDefault(TWindow* w, WPARAM wParam, LPARAM lParam) {
    if (const HWND parent = ParentOf(w))
        if (SendMessageW(parent, WM_SETCURSOR, wParam, lParam)) return TRUE;
    const SHORT hit = SHORT(LOWORD(lParam));
    const UINT mouse = HIWORD(lParam);
    if (hit == HTERROR && (mouse == WM_LBUTTONDOWN || mouse == WM_RBUTTONDOWN || mouse == WM_MBUTTONDOWN))
        MessageBeep(0);
    if (hit == HTCLIENT) {
        if (w->cls && w->cls->cursor) SetCursor(w->cls->cursor);
        return TRUE;
    }
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    return FALSE;
}

// A window without WS_EX_NOACTIVATE at the top.
LRESULT MouseActivateDefault(TWindow* w, WPARAM wParam, LPARAM lParam) {
    if (const HWND parent = ParentOf(w))
        if (const LRESULT answer = SendMessageW(parent, WM_MOUSEACTIVATE, wParam, lParam)) return answer;
    return RootWindow(w)->exStyle & WS_EX_NOACTIVATE ? MA_NOACTIVATE : MA_ACTIVATE;
}

// Controls that show editable content get the window colours, the rest the face's.
LRESULT ControlColorDefault(UINT message, HDC dc) {
    const bool content = message == WM_CTLCOLOREDIT || message == WM_CTLCOLORLISTBOX;
    const int background = content ? COLOR_WINDOW : COLOR_BTNFACE;
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(background));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(background));
}

} // namespace

LRESULT DefWindowProcW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    TWindow* w = LocalWindow(hwnd);
    if (!w) return 0;
    switch (message) {
    case WM_NCCREATE: {
        const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        if (cs && cs->lpszName && !IS_INTRESOURCE(cs->lpszName)) w->text = cs->lpszName;
        return TRUE;
    }
    case WM_NCCALCSIZE: return DefaultNcCalcSize(w, wParam, lParam);
    case WM_NCHITTEST: return DefaultHitTest(w, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    case WM_NCPAINT: DefaultNcPaint(w, wParam); return 0;
    case WM_PRINT: return DefaultPrint(w, reinterpret_cast<HDC>(wParam), lParam);
    case WM_NCLBUTTONDOWN: DefaultNcLeftButtonDown(w, wParam, lParam); return 0;
    case WM_SETICON: return DefaultSetIcon(w, wParam, reinterpret_cast<HICON>(lParam));
    case WM_GETICON: return reinterpret_cast<LRESULT>(DefaultGetIcon(w, wParam));
    case WM_WINDOWPOSCHANGING: KeepTrackLimits(w, *reinterpret_cast<WINDOWPOS*>(lParam)); return 0;
    case WM_SETTEXT:
        w->text = lParam ? String(reinterpret_cast<LPCWSTR>(lParam)) : String();
        PresentTopLevelState(hwnd);
        return TRUE;
    case WM_GETTEXT: return CopyWindowText(w->text, reinterpret_cast<LPWSTR>(lParam), int(wParam));
    case WM_GETTEXTLENGTH: return w->text.Length();
    case WM_CLOSE: DestroyWindow(hwnd); return 0;
    case WM_SYSCOMMAND: DefaultSysCommand(w, wParam, lParam); return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND: return EraseWithClassBrush(w, reinterpret_cast<HDC>(wParam));
    case WM_SETREDRAW: w->redrawOff = !wParam; return 0;
    case WM_WINDOWPOSCHANGED: SendWindowPosMessages(w, reinterpret_cast<const WINDOWPOS*>(lParam)); return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE && !HIWORD(wParam)) SetFocus(hwnd);
        return 0;
    case WM_NCACTIVATE: return TRUE;
    case WM_MOUSEACTIVATE: return MouseActivateDefault(w, wParam, lParam);
    case WM_SETCURSOR: return SetCursorDefault(w, wParam, lParam);
    case WM_CONTEXTMENU:
        if (const HWND parent = ParentOf(w)) SendMessageW(parent, WM_CONTEXTMENU, wParam, lParam);
        return 0;
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
        if (const HWND parent = ParentOf(w)) return SendMessageW(parent, message, wParam, lParam);
        return 0;
    case WM_RBUTTONUP: return ContextMenuAtClientPoint(hwnd, lParam);
    case WM_NCRBUTTONUP: SendMessageW(hwnd, WM_CONTEXTMENU, WPARAM(hwnd), lParam); return 0;
    case WM_KEYUP:
        if (wParam == VK_APPS) SendMessageW(hwnd, WM_CONTEXTMENU, WPARAM(hwnd), -1);
        return 0;
    case WM_SYSKEYDOWN:
        if (wParam == VK_F4 && (lParam & (1 << 29)))
            SendMessageW(TopOf(w), WM_SYSCOMMAND, SC_CLOSE, 0);
        else if (wParam == VK_F10 && Pressed(VK_SHIFT))
            SendMessageW(hwnd, WM_CONTEXTMENU, WPARAM(hwnd), -1);
        return 0;
    case WM_SYSKEYUP:
        if ((wParam == VK_F10 && !Pressed(VK_SHIFT)) ||
            ((wParam == VK_MENU || wParam == VK_LMENU || wParam == VK_RMENU) && w->queue->altAlone))
            SendMessageW(TopOf(w), WM_SYSCOMMAND, SC_KEYMENU, 0);
        return 0;
    case WM_SYSCHAR:
        if (lParam & (1 << 29)) SendMessageW(TopOf(w), WM_SYSCOMMAND, SC_KEYMENU, LPARAM(wParam));
        return 0;
    case WM_IME_COMPOSITION:
        if (lParam & GCS_RESULTSTR) {
            const String result = w->queue->ime.result;
            for (char16_t unit : result) {
                if (!LocalWindow(hwnd)) break;
                Deliver(w, WM_IME_CHAR, unit, 1);
            }
        }
        return 0;
    case WM_IME_CHAR: PostMessageW(hwnd, WM_CHAR, wParam, lParam); return 0;
    case WM_CANCELMODE:
        if (GetCapture() == hwnd) ReleaseCapture();
        return 0;
    case WM_QUERYENDSESSION: return TRUE;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: return ControlColorDefault(message, reinterpret_cast<HDC>(wParam));
    default: return 0;
    }
}
