#pragma once
// The framework's messages: TMessage, the typed views over it that handlers
// read, the controls' notifications (CM_) and the messages a parent reflects
// back to the control of a child window (CN_).
//
// 0xB000 (application activation), 0xB03A and 0xB04C are kept free for the
// window-skinning code; 0xB021, 0xB201, 0xB208 and 0xB7D0 belong to controls
// built on the framework.

#include <cstdint>

#include "platform/rtl/Geometry.h"
#include "platform/win/Constants.h"
#include "platform/win/Types.h"

struct TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
};

constexpr UINT CM_BASE = 0xB000;
// Sent to a form when it becomes the active one.
constexpr UINT CM_ACTIVATE = CM_BASE + 0x00;
constexpr UINT CM_DEACTIVATE = CM_BASE + 0x01;
constexpr UINT CM_GOTFOCUS = CM_BASE + 0x02;
constexpr UINT CM_LOSTFOCUS = CM_BASE + 0x03;
constexpr UINT CM_CANCELMODE = CM_BASE + 0x04;
constexpr UINT CM_DIALOGKEY = CM_BASE + 0x05;
constexpr UINT CM_DIALOGCHAR = CM_BASE + 0x06;
constexpr UINT CM_FOCUSCHANGED = CM_BASE + 0x07;
constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 0x08;
constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 0x09;
constexpr UINT CM_HITTEST = CM_BASE + 0x0A;
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 0x0B;
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 0x0C;
constexpr UINT CM_COLORCHANGED = CM_BASE + 0x0D;
constexpr UINT CM_FONTCHANGED = CM_BASE + 0x0E;
constexpr UINT CM_CURSORCHANGED = CM_BASE + 0x0F;
constexpr UINT CM_CTL3DCHANGED = CM_BASE + 0x10;
constexpr UINT CM_PARENTCTL3DCHANGED = CM_BASE + 0x11;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 0x12;
constexpr UINT CM_MOUSEENTER = CM_BASE + 0x13;
constexpr UINT CM_MOUSELEAVE = CM_BASE + 0x14;
constexpr UINT CM_MENUCHANGED = CM_BASE + 0x15;
constexpr UINT CM_APPKEYDOWN = CM_BASE + 0x16;
constexpr UINT CM_APPSYSCOMMAND = CM_BASE + 0x17;
constexpr UINT CM_BUTTONPRESSED = CM_BASE + 0x18;
constexpr UINT CM_SHOWINGCHANGED = CM_BASE + 0x19;
constexpr UINT CM_ENTER = CM_BASE + 0x1A;
constexpr UINT CM_EXIT = CM_BASE + 0x1B;
constexpr UINT CM_ICONCHANGED = CM_BASE + 0x1D;
constexpr UINT CM_WANTSPECIALKEY = CM_BASE + 0x1E;
constexpr UINT CM_INVOKEHELP = CM_BASE + 0x1F;
constexpr UINT CM_RELEASE = CM_BASE + 0x22;
constexpr UINT CM_SHOWHINTCHANGED = CM_BASE + 0x23;
constexpr UINT CM_PARENTSHOWHINTCHANGED = CM_BASE + 0x24;
constexpr UINT CM_SYSCOLORCHANGE = CM_BASE + 0x25;
constexpr UINT CM_TABSTOPCHANGED = CM_BASE + 0x29;
constexpr UINT CM_CONTROLLISTCHANGE = CM_BASE + 0x2C;
constexpr UINT CM_CHILDKEY = CM_BASE + 0x2E;
constexpr UINT CM_DRAG = CM_BASE + 0x2F;
constexpr UINT CM_HINTSHOW = CM_BASE + 0x30;
constexpr UINT CM_RECREATEWND = CM_BASE + 0x33;
constexpr UINT CM_INVALIDATE = CM_BASE + 0x34;
constexpr UINT CM_CONTROLCHANGE = CM_BASE + 0x36;
constexpr UINT CM_CHANGED = CM_BASE + 0x37;
constexpr UINT CM_BORDERCHANGED = CM_BASE + 0x3B;
constexpr UINT CM_BIDIMODECHANGED = CM_BASE + 0x3C;
constexpr UINT CM_PARENTBIDIMODECHANGED = CM_BASE + 0x3D;
constexpr UINT CM_HINTSHOWPAUSE = CM_BASE + 0x41;
constexpr UINT CM_MOUSEWHEEL = CM_BASE + 0x43;
constexpr UINT CM_ISSHORTCUT = CM_BASE + 0x44;
constexpr UINT CM_DENYSUBCLASSING = CM_BASE + 0x4D;
constexpr UINT CM_MOUSEACTIVATE = CM_BASE + 0x4E;

// A child window's message reflected to its own control: CN_BASE + message.
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_CHARTOITEM = CN_BASE + WM_CHARTOITEM;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_COMPAREITEM = CN_BASE + WM_COMPAREITEM;
constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
constexpr UINT CN_CTLCOLORDLG = CN_BASE + WM_CTLCOLORDLG;
constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
constexpr UINT CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX;
constexpr UINT CN_CTLCOLORMSGBOX = CN_BASE + WM_CTLCOLORMSGBOX;
constexpr UINT CN_CTLCOLORSCROLLBAR = CN_BASE + WM_CTLCOLORSCROLLBAR;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;
constexpr UINT CN_DELETEITEM = CN_BASE + WM_DELETEITEM;
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
constexpr UINT CN_HSCROLL = CN_BASE + WM_HSCROLL;
constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
constexpr UINT CN_PARENTNOTIFY = CN_BASE + WM_PARENTNOTIFY;
constexpr UINT CN_VKEYTOITEM = CN_BASE + WM_VKEYTOITEM;
constexpr UINT CN_VSCROLL = CN_BASE + WM_VSCROLL;
constexpr UINT CN_KEYDOWN = CN_BASE + WM_KEYDOWN;
constexpr UINT CN_KEYUP = CN_BASE + WM_KEYUP;
constexpr UINT CN_CHAR = CN_BASE + WM_CHAR;
constexpr UINT CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN;
constexpr UINT CN_SYSKEYUP = CN_BASE + WM_SYSKEYUP;
constexpr UINT CN_SYSCHAR = CN_BASE + WM_SYSCHAR;
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;

// Typed views: read and write a TMessage the way its message lays it out.
class TMessageView {
public:
    explicit TMessageView(TMessage& message) noexcept : m_(message) {}
    UINT Msg() const noexcept { return m_.Msg; }
    LRESULT Result() const noexcept { return m_.Result; }
    void SetResult(LRESULT value) noexcept { m_.Result = value; }
    TMessage& Message() const noexcept { return m_; }

protected:
    TMessage& m_;
};

// WM_KEYDOWN, WM_KEYUP, WM_CHAR and their CN_ and CM_DIALOG forms.
class TWMKey : public TMessageView {
public:
    using TMessageView::TMessageView;
    WORD CharCode() const noexcept { return WORD(m_.WParam); }
    void SetCharCode(WORD value) noexcept { m_.WParam = value; }
    LPARAM KeyData() const noexcept { return m_.LParam; }
};
using TCMDialogKey = TWMKey;
using TCMDialogChar = TWMKey;
using TCMWantSpecialKey = TWMKey;

// Button and move messages: keys in wParam, the client point in lParam.
class TWMMouse : public TMessageView {
public:
    using TMessageView::TMessageView;
    WPARAM Keys() const noexcept { return m_.WParam; }
    int XPos() const noexcept { return int16_t(LOWORD(m_.LParam)); }
    int YPos() const noexcept { return int16_t(HIWORD(m_.LParam)); }
    TPoint Pos() const noexcept { return {XPos(), YPos()}; }
};

// CM_MOUSEWHEEL and WM_MOUSEWHEEL: shift state and delta in wParam, the screen point in lParam.
class TCMMouseWheel : public TMessageView {
public:
    using TMessageView::TMessageView;
    WORD Keys() const noexcept { return LOWORD(m_.WParam); }
    int WheelDelta() const noexcept { return int16_t(HIWORD(m_.WParam)); }
    TPoint Pos() const noexcept { return {int16_t(LOWORD(m_.LParam)), int16_t(HIWORD(m_.LParam))}; }
};

class TWMCommand : public TMessageView {
public:
    using TMessageView::TMessageView;
    WORD ItemID() const noexcept { return LOWORD(m_.WParam); }
    WORD NotifyCode() const noexcept { return HIWORD(m_.WParam); }
    HWND Ctl() const noexcept { return reinterpret_cast<HWND>(m_.LParam); }
};

class TWMNotify : public TMessageView {
public:
    using TMessageView::TMessageView;
    int IDCtrl() const noexcept { return int(m_.WParam); }
    NMHDR* NMHdr() const noexcept { return reinterpret_cast<NMHDR*>(m_.LParam); }
};

class TWMSetCursor : public TMessageView {
public:
    using TMessageView::TMessageView;
    HWND CursorWnd() const noexcept { return reinterpret_cast<HWND>(m_.WParam); }
    int HitTest() const noexcept { return int16_t(LOWORD(m_.LParam)); }
    WORD MouseMsg() const noexcept { return HIWORD(m_.LParam); }
};

class TWMContextMenu : public TMessageView {
public:
    using TMessageView::TMessageView;
    HWND Wnd() const noexcept { return reinterpret_cast<HWND>(m_.WParam); }
    // (-1, -1) when the menu was asked for from the keyboard.
    TPoint Pos() const noexcept { return {int16_t(LOWORD(m_.LParam)), int16_t(HIWORD(m_.LParam))}; }
};

// CM_HITTEST: the client point in lParam; answer non-zero when the point hits.
class TCMHitTest : public TMessageView {
public:
    using TMessageView::TMessageView;
    TPoint Pos() const noexcept { return {int16_t(LOWORD(m_.LParam)), int16_t(HIWORD(m_.LParam))}; }
};

class TControl;
struct THintInfo;

// CM_MOUSEENTER, CM_MOUSELEAVE, CM_CONTROLCHANGE, CM_CONTROLLISTCHANGE and
// CM_FOCUSCHANGED carry a control in lParam.
inline TControl* MessageControl(const TMessage& message) noexcept {
    return reinterpret_cast<TControl*>(message.LParam);
}

// CM_HINTSHOW: the hint info in lParam; answer non-zero to refuse the hint.
inline THintInfo* MessageHintInfo(const TMessage& message) noexcept {
    return reinterpret_cast<THintInfo*>(message.LParam);
}
