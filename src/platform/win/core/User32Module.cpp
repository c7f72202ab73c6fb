// The entries this layer implements, answered by name as those of "user32"
// (and "imm32" for the input method).

#include "platform/rtl/SystemModules.h"
#include "platform/win/User.h"

namespace {

#define ENTRY(name) TSystemEntry{#name, SystemEntryAddress(&name)}

[[maybe_unused]] const bool registered = [] {
    RegisterSystemModule(
        u"user32",
        {ENTRY(RegisterClassW), ENTRY(RegisterClassExW), ENTRY(UnregisterClassW), ENTRY(GetClassInfoW),
         ENTRY(GetClassInfoExW), ENTRY(GetClassNameW), ENTRY(GetClassLongPtrW), ENTRY(SetClassLongPtrW),
         ENTRY(CreateWindowExW), ENTRY(DestroyWindow), ENTRY(IsWindow), ENTRY(GetDesktopWindow),
         ENTRY(CallWindowProcW), ENTRY(DefWindowProcW), ENTRY(GetWindowLongPtrW), ENTRY(SetWindowLongPtrW),
         ENTRY(GetWindowLongW), ENTRY(SetWindowLongW), ENTRY(SetWindowTextW), ENTRY(GetWindowTextW),
         ENTRY(GetWindowTextLengthW), ENTRY(GetDlgItem), ENTRY(GetDlgCtrlID), ENTRY(GetParent), ENTRY(SetParent),
         ENTRY(GetAncestor), ENTRY(GetWindow), ENTRY(GetTopWindow), ENTRY(IsChild), ENTRY(EnumChildWindows),
         ENTRY(EnumThreadWindows), ENTRY(EnumWindows), ENTRY(WindowFromPoint), ENTRY(ChildWindowFromPoint),
         ENTRY(ChildWindowFromPointEx), ENTRY(GetWindowRect), ENTRY(GetClientRect), ENTRY(ClientToScreen),
         ENTRY(ScreenToClient), ENTRY(MapWindowPoints), ENTRY(SetWindowPos), ENTRY(MoveWindow), ENTRY(ShowWindow),
         ENTRY(IsWindowVisible), ENTRY(IsIconic), ENTRY(IsZoomed), ENTRY(GetWindowPlacement),
         ENTRY(SetWindowPlacement), ENTRY(PostMessageW), ENTRY(PostThreadMessageW), ENTRY(PostQuitMessage),
         ENTRY(RegisterWindowMessageW), ENTRY(SendMessageW), ENTRY(InSendMessage), ENTRY(GetMessageW),
         ENTRY(PeekMessageW), ENTRY(DispatchMessageW), ENTRY(TranslateMessage), ENTRY(WaitMessage),
         ENTRY(MsgWaitForMultipleObjectsEx), ENTRY(GetQueueStatus), ENTRY(GetMessagePos), ENTRY(GetMessageTime),
         ENTRY(SetTimer), ENTRY(KillTimer), ENTRY(SetActiveWindow), ENTRY(GetActiveWindow),
         ENTRY(SetForegroundWindow), ENTRY(GetForegroundWindow), ENTRY(SetFocus), ENTRY(GetFocus),
         ENTRY(EnableWindow), ENTRY(IsWindowEnabled), ENTRY(SetCapture), ENTRY(ReleaseCapture), ENTRY(GetCapture),
         ENTRY(GetCursorPos), ENTRY(SetCursorPos), ENTRY(LoadCursorW), ENTRY(SetCursor), ENTRY(GetCursor),
         ENTRY(ShowCursor), ENTRY(GetKeyState), ENTRY(GetAsyncKeyState), ENTRY(GetKeyboardState),
         ENTRY(SetKeyboardState), ENTRY(CreateCaret), ENTRY(DestroyCaret), ENTRY(ShowCaret), ENTRY(HideCaret),
         ENTRY(SetCaretPos), ENTRY(GetCaretPos), ENTRY(GetCaretBlinkTime), ENTRY(SetCaretBlinkTime),
         ENTRY(InvalidateRect), ENTRY(InvalidateRgn), ENTRY(ValidateRect), ENTRY(ValidateRgn),
         ENTRY(GetUpdateRect), ENTRY(GetUpdateRgn), ENTRY(UpdateWindow), ENTRY(RedrawWindow),
         ENTRY(LockWindowUpdate), ENTRY(BeginPaint), ENTRY(EndPaint), ENTRY(ScrollWindowEx), ENTRY(ScrollWindow),
         ENTRY(ToAscii), ENTRY(ToUnicode), ENTRY(MapVirtualKeyW), ENTRY(SetScrollInfo), ENTRY(GetScrollInfo),
         ENTRY(SetScrollPos), ENTRY(GetScrollPos), ENTRY(SetScrollRange), ENTRY(GetScrollRange),
         ENTRY(ShowScrollBar), ENTRY(EnableScrollBar), ENTRY(SetWindowRgn), ENTRY(GetWindowRgn),
         ENTRY(SetLayeredWindowAttributes), ENTRY(GetLayeredWindowAttributes), ENTRY(MonitorFromPoint),
         ENTRY(MonitorFromRect), ENTRY(MonitorFromWindow), ENTRY(GetMonitorInfoW), ENTRY(EnumDisplayMonitors),
         ENTRY(CreateMenu), ENTRY(CreatePopupMenu), ENTRY(DestroyMenu), ENTRY(IsMenu), ENTRY(AppendMenuW),
         ENTRY(InsertMenuW), ENTRY(InsertMenuItemW), ENTRY(SetMenuItemInfoW), ENTRY(GetMenuItemInfoW),
         ENTRY(DeleteMenu), ENTRY(RemoveMenu), ENTRY(GetMenuItemCount), ENTRY(GetMenuItemID), ENTRY(GetSubMenu),
         ENTRY(GetMenuState), ENTRY(GetMenuStringW), ENTRY(EnableMenuItem), ENTRY(CheckMenuItem),
         ENTRY(SetMenuInfo), ENTRY(GetMenuInfo), ENTRY(SetMenu), ENTRY(GetMenu), ENTRY(DrawMenuBar),
         ENTRY(GetMenuItemRect), ENTRY(TrackPopupMenu), ENTRY(TrackPopupMenuEx), ENTRY(EndMenu),
         ENTRY(GetSystemMenu), ENTRY(LoadMenuW)});
    RegisterSystemModule(u"imm32", {ENTRY(ImmGetContext), ENTRY(ImmReleaseContext), ENTRY(ImmGetCompositionStringW),
                                    ENTRY(ImmSetCompositionWindow), ENTRY(ImmAssociateContext)});
    return true;
}();

#undef ENTRY

} // namespace

// Referenced from the window system's start so this file is always linked.
void LinkUser32Module() {}
