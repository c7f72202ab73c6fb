#pragma once
// Message numbers, styles, flags and codes of the window system, with their
// standard published values.
//
// Numbering plan of messages: 0x0000-0x03FF system; WM_USER (0x0400)-0x7FFF
// private to a window class; WM_APP (0x8000)-0xBFFF private to the program,
// of which 0xB000-0xBFFF belong to the component framework; 0xC000-0xFFFF
// registered by name (RegisterWindowMessageW). Nothing here takes a number
// from the program's ranges.

#include "platform/rtl/ErrorCodes.h" // GetLastError's codes are the run-time library's
#include "platform/win/Types.h"

// Messages.
constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_MOVE = 0x0003;
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_ACTIVATE = 0x0006;
constexpr UINT WM_SETFOCUS = 0x0007;
constexpr UINT WM_KILLFOCUS = 0x0008;
constexpr UINT WM_ENABLE = 0x000A;
constexpr UINT WM_SETREDRAW = 0x000B;
constexpr UINT WM_SETTEXT = 0x000C;
constexpr UINT WM_GETTEXT = 0x000D;
constexpr UINT WM_GETTEXTLENGTH = 0x000E;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUERYENDSESSION = 0x0011;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_ERASEBKGND = 0x0014;
constexpr UINT WM_SYSCOLORCHANGE = 0x0015;
constexpr UINT WM_ENDSESSION = 0x0016;
constexpr UINT WM_SHOWWINDOW = 0x0018;
constexpr UINT WM_SETTINGCHANGE = 0x001A;
constexpr UINT WM_WININICHANGE = WM_SETTINGCHANGE;
constexpr UINT WM_ACTIVATEAPP = 0x001C;
constexpr UINT WM_FONTCHANGE = 0x001D;
constexpr UINT WM_TIMECHANGE = 0x001E;
constexpr UINT WM_CANCELMODE = 0x001F;
constexpr UINT WM_SETCURSOR = 0x0020;
constexpr UINT WM_MOUSEACTIVATE = 0x0021;
constexpr UINT WM_CHILDACTIVATE = 0x0022;
constexpr UINT WM_GETMINMAXINFO = 0x0024;
constexpr UINT WM_NEXTDLGCTL = 0x0028;
constexpr UINT WM_DRAWITEM = 0x002B;
constexpr UINT WM_MEASUREITEM = 0x002C;
constexpr UINT WM_DELETEITEM = 0x002D;
constexpr UINT WM_VKEYTOITEM = 0x002E;
constexpr UINT WM_CHARTOITEM = 0x002F;
constexpr UINT WM_SETFONT = 0x0030;
constexpr UINT WM_GETFONT = 0x0031;
constexpr UINT WM_QUERYDRAGICON = 0x0037;
constexpr UINT WM_COMPAREITEM = 0x0039;
constexpr UINT WM_GETOBJECT = 0x003D;
constexpr UINT WM_WINDOWPOSCHANGING = 0x0046;
constexpr UINT WM_WINDOWPOSCHANGED = 0x0047;
constexpr UINT WM_COPYDATA = 0x004A;
constexpr UINT WM_CANCELJOURNAL = 0x004B;
constexpr UINT WM_NOTIFY = 0x004E;
constexpr UINT WM_INPUTLANGCHANGEREQUEST = 0x0050;
constexpr UINT WM_INPUTLANGCHANGE = 0x0051;
constexpr UINT WM_HELP = 0x0053;
constexpr UINT WM_NOTIFYFORMAT = 0x0055;
constexpr UINT WM_CONTEXTMENU = 0x007B;
constexpr UINT WM_STYLECHANGING = 0x007C;
constexpr UINT WM_STYLECHANGED = 0x007D;
constexpr UINT WM_DISPLAYCHANGE = 0x007E;
constexpr UINT WM_GETICON = 0x007F;
constexpr UINT WM_SETICON = 0x0080;
constexpr UINT WM_NCCREATE = 0x0081;
constexpr UINT WM_NCDESTROY = 0x0082;
constexpr UINT WM_NCCALCSIZE = 0x0083;
constexpr UINT WM_NCHITTEST = 0x0084;
constexpr UINT WM_NCPAINT = 0x0085;
constexpr UINT WM_NCACTIVATE = 0x0086;
constexpr UINT WM_GETDLGCODE = 0x0087;
constexpr UINT WM_SYNCPAINT = 0x0088;
constexpr UINT WM_NCMOUSEMOVE = 0x00A0;
constexpr UINT WM_NCLBUTTONDOWN = 0x00A1;
constexpr UINT WM_NCLBUTTONUP = 0x00A2;
constexpr UINT WM_NCLBUTTONDBLCLK = 0x00A3;
constexpr UINT WM_NCRBUTTONDOWN = 0x00A4;
constexpr UINT WM_NCRBUTTONUP = 0x00A5;
constexpr UINT WM_NCRBUTTONDBLCLK = 0x00A6;
constexpr UINT WM_NCMBUTTONDOWN = 0x00A7;
constexpr UINT WM_NCMBUTTONUP = 0x00A8;
constexpr UINT WM_NCMBUTTONDBLCLK = 0x00A9;
constexpr UINT WM_NCXBUTTONDOWN = 0x00AB;
constexpr UINT WM_NCXBUTTONUP = 0x00AC;
constexpr UINT WM_NCXBUTTONDBLCLK = 0x00AD;

constexpr UINT WM_KEYFIRST = 0x0100;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_DEADCHAR = 0x0103;
constexpr UINT WM_SYSKEYDOWN = 0x0104;
constexpr UINT WM_SYSKEYUP = 0x0105;
constexpr UINT WM_SYSCHAR = 0x0106;
constexpr UINT WM_SYSDEADCHAR = 0x0107;
constexpr UINT WM_UNICHAR = 0x0109;
constexpr UINT WM_KEYLAST = 0x0109;
constexpr UINT WM_IME_STARTCOMPOSITION = 0x010D;
constexpr UINT WM_IME_ENDCOMPOSITION = 0x010E;
constexpr UINT WM_IME_COMPOSITION = 0x010F;
constexpr UINT WM_IME_KEYLAST = 0x010F;
constexpr UINT WM_INITDIALOG = 0x0110;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_SYSCOMMAND = 0x0112;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_HSCROLL = 0x0114;
constexpr UINT WM_VSCROLL = 0x0115;
constexpr UINT WM_INITMENU = 0x0116;
constexpr UINT WM_INITMENUPOPUP = 0x0117;
constexpr UINT WM_MENUSELECT = 0x011F;
constexpr UINT WM_MENUCHAR = 0x0120;
constexpr UINT WM_ENTERIDLE = 0x0121;
constexpr UINT WM_MENURBUTTONUP = 0x0122;
constexpr UINT WM_UNINITMENUPOPUP = 0x0125;
constexpr UINT WM_MENUCOMMAND = 0x0126;
constexpr UINT WM_CHANGEUISTATE = 0x0127;
constexpr UINT WM_UPDATEUISTATE = 0x0128;
constexpr UINT WM_QUERYUISTATE = 0x0129;
constexpr UINT WM_CTLCOLORMSGBOX = 0x0132;
constexpr UINT WM_CTLCOLOREDIT = 0x0133;
constexpr UINT WM_CTLCOLORLISTBOX = 0x0134;
constexpr UINT WM_CTLCOLORBTN = 0x0135;
constexpr UINT WM_CTLCOLORDLG = 0x0136;
constexpr UINT WM_CTLCOLORSCROLLBAR = 0x0137;
constexpr UINT WM_CTLCOLORSTATIC = 0x0138;

constexpr UINT WM_MOUSEFIRST = 0x0200;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_RBUTTONDBLCLK = 0x0206;
constexpr UINT WM_MBUTTONDOWN = 0x0207;
constexpr UINT WM_MBUTTONUP = 0x0208;
constexpr UINT WM_MBUTTONDBLCLK = 0x0209;
constexpr UINT WM_MOUSEWHEEL = 0x020A;
constexpr UINT WM_XBUTTONDOWN = 0x020B;
constexpr UINT WM_XBUTTONUP = 0x020C;
constexpr UINT WM_XBUTTONDBLCLK = 0x020D;
constexpr UINT WM_MOUSEHWHEEL = 0x020E;
constexpr UINT WM_MOUSELAST = 0x020E;
constexpr UINT WM_PARENTNOTIFY = 0x0210;
constexpr UINT WM_ENTERMENULOOP = 0x0211;
constexpr UINT WM_EXITMENULOOP = 0x0212;
constexpr UINT WM_NEXTMENU = 0x0213;
constexpr UINT WM_SIZING = 0x0214;
constexpr UINT WM_CAPTURECHANGED = 0x0215;
constexpr UINT WM_MOVING = 0x0216;
constexpr UINT WM_DEVICECHANGE = 0x0219;
constexpr UINT WM_ENTERSIZEMOVE = 0x0231;
constexpr UINT WM_EXITSIZEMOVE = 0x0232;
constexpr UINT WM_DROPFILES = 0x0233;
constexpr UINT WM_IME_SETCONTEXT = 0x0281;
constexpr UINT WM_IME_NOTIFY = 0x0282;
constexpr UINT WM_IME_CONTROL = 0x0283;
constexpr UINT WM_IME_COMPOSITIONFULL = 0x0284;
constexpr UINT WM_IME_SELECT = 0x0285;
constexpr UINT WM_IME_CHAR = 0x0286;
constexpr UINT WM_IME_REQUEST = 0x0288;
constexpr UINT WM_IME_KEYDOWN = 0x0290;
constexpr UINT WM_IME_KEYUP = 0x0291;
constexpr UINT WM_NCMOUSEHOVER = 0x02A0;
constexpr UINT WM_MOUSEHOVER = 0x02A1;
constexpr UINT WM_NCMOUSELEAVE = 0x02A2;
constexpr UINT WM_MOUSELEAVE = 0x02A3;
constexpr UINT WM_DPICHANGED = 0x02E0;
constexpr UINT WM_CUT = 0x0300;
constexpr UINT WM_COPY = 0x0301;
constexpr UINT WM_PASTE = 0x0302;
constexpr UINT WM_CLEAR = 0x0303;
constexpr UINT WM_UNDO = 0x0304;
constexpr UINT WM_RENDERFORMAT = 0x0305;
constexpr UINT WM_RENDERALLFORMATS = 0x0306;
constexpr UINT WM_DESTROYCLIPBOARD = 0x0307;
constexpr UINT WM_QUERYNEWPALETTE = 0x030F;
constexpr UINT WM_PALETTECHANGED = 0x0311;
constexpr UINT WM_HOTKEY = 0x0312;
constexpr UINT WM_PRINT = 0x0317;
constexpr UINT WM_PRINTCLIENT = 0x0318;
constexpr UINT WM_APPCOMMAND = 0x0319;
constexpr UINT WM_THEMECHANGED = 0x031A;
constexpr UINT WM_CLIPBOARDUPDATE = 0x031D;
constexpr UINT WM_DWMCOMPOSITIONCHANGED = 0x031E;
constexpr UINT WM_USER = 0x0400;
constexpr UINT WM_APP = 0x8000;

// Window styles.
constexpr DWORD WS_OVERLAPPED = 0x00000000;
constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_MINIMIZE = 0x20000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_DISABLED = 0x08000000;
constexpr DWORD WS_CLIPSIBLINGS = 0x04000000;
constexpr DWORD WS_CLIPCHILDREN = 0x02000000;
constexpr DWORD WS_MAXIMIZE = 0x01000000;
constexpr DWORD WS_BORDER = 0x00800000;
constexpr DWORD WS_DLGFRAME = 0x00400000;
constexpr DWORD WS_CAPTION = WS_BORDER | WS_DLGFRAME;
constexpr DWORD WS_VSCROLL = 0x00200000;
constexpr DWORD WS_HSCROLL = 0x00100000;
constexpr DWORD WS_SYSMENU = 0x00080000;
constexpr DWORD WS_THICKFRAME = 0x00040000;
constexpr DWORD WS_GROUP = 0x00020000;
constexpr DWORD WS_TABSTOP = 0x00010000;
constexpr DWORD WS_MINIMIZEBOX = 0x00020000;
constexpr DWORD WS_MAXIMIZEBOX = 0x00010000;
constexpr DWORD WS_TILED = WS_OVERLAPPED;
constexpr DWORD WS_ICONIC = WS_MINIMIZE;
constexpr DWORD WS_SIZEBOX = WS_THICKFRAME;
constexpr DWORD WS_OVERLAPPEDWINDOW =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
constexpr DWORD WS_TILEDWINDOW = WS_OVERLAPPEDWINDOW;
constexpr DWORD WS_POPUPWINDOW = WS_POPUP | WS_BORDER | WS_SYSMENU;
constexpr DWORD WS_CHILDWINDOW = WS_CHILD;

constexpr DWORD WS_EX_DLGMODALFRAME = 0x00000001;
constexpr DWORD WS_EX_NOPARENTNOTIFY = 0x00000004;
constexpr DWORD WS_EX_TOPMOST = 0x00000008;
constexpr DWORD WS_EX_ACCEPTFILES = 0x00000010;
constexpr DWORD WS_EX_TRANSPARENT = 0x00000020;
constexpr DWORD WS_EX_MDICHILD = 0x00000040;
constexpr DWORD WS_EX_TOOLWINDOW = 0x00000080;
constexpr DWORD WS_EX_WINDOWEDGE = 0x00000100;
constexpr DWORD WS_EX_CLIENTEDGE = 0x00000200;
constexpr DWORD WS_EX_CONTEXTHELP = 0x00000400;
constexpr DWORD WS_EX_RIGHT = 0x00001000;
constexpr DWORD WS_EX_LEFT = 0x00000000;
constexpr DWORD WS_EX_RTLREADING = 0x00002000;
constexpr DWORD WS_EX_LTRREADING = 0x00000000;
constexpr DWORD WS_EX_LEFTSCROLLBAR = 0x00004000;
constexpr DWORD WS_EX_RIGHTSCROLLBAR = 0x00000000;
constexpr DWORD WS_EX_CONTROLPARENT = 0x00010000;
constexpr DWORD WS_EX_STATICEDGE = 0x00020000;
constexpr DWORD WS_EX_APPWINDOW = 0x00040000;
constexpr DWORD WS_EX_LAYERED = 0x00080000;
constexpr DWORD WS_EX_NOINHERITLAYOUT = 0x00100000;
constexpr DWORD WS_EX_LAYOUTRTL = 0x00400000;
constexpr DWORD WS_EX_COMPOSITED = 0x02000000;
constexpr DWORD WS_EX_NOACTIVATE = 0x08000000;
constexpr DWORD WS_EX_OVERLAPPEDWINDOW = WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE;
constexpr DWORD WS_EX_PALETTEWINDOW = WS_EX_WINDOWEDGE | WS_EX_TOOLWINDOW | WS_EX_TOPMOST;

// Class styles.
constexpr UINT CS_VREDRAW = 0x0001;
constexpr UINT CS_HREDRAW = 0x0002;
constexpr UINT CS_DBLCLKS = 0x0008;
constexpr UINT CS_OWNDC = 0x0020;
constexpr UINT CS_CLASSDC = 0x0040;
constexpr UINT CS_PARENTDC = 0x0080;
constexpr UINT CS_NOCLOSE = 0x0200;
constexpr UINT CS_SAVEBITS = 0x0800;
constexpr UINT CS_BYTEALIGNCLIENT = 0x1000;
constexpr UINT CS_BYTEALIGNWINDOW = 0x2000;
constexpr UINT CS_GLOBALCLASS = 0x4000;
constexpr UINT CS_DROPSHADOW = 0x00020000;

constexpr int CW_USEDEFAULT = int(0x80000000);

// SetWindowPos.
constexpr UINT SWP_NOSIZE = 0x0001;
constexpr UINT SWP_NOMOVE = 0x0002;
constexpr UINT SWP_NOZORDER = 0x0004;
constexpr UINT SWP_NOREDRAW = 0x0008;
constexpr UINT SWP_NOACTIVATE = 0x0010;
constexpr UINT SWP_FRAMECHANGED = 0x0020;
constexpr UINT SWP_SHOWWINDOW = 0x0040;
constexpr UINT SWP_HIDEWINDOW = 0x0080;
constexpr UINT SWP_NOCOPYBITS = 0x0100;
constexpr UINT SWP_NOOWNERZORDER = 0x0200;
constexpr UINT SWP_NOSENDCHANGING = 0x0400;
constexpr UINT SWP_DRAWFRAME = SWP_FRAMECHANGED;
constexpr UINT SWP_NOREPOSITION = SWP_NOOWNERZORDER;
constexpr UINT SWP_DEFERERASE = 0x2000;
constexpr UINT SWP_ASYNCWINDOWPOS = 0x4000;
// Added by the window system to WINDOWPOS.flags (never passed in): the client
// area kept its size, its position in the parent.
constexpr UINT SWP_NOCLIENTSIZE = 0x0800;
constexpr UINT SWP_NOCLIENTMOVE = 0x1000;

inline const HWND HWND_TOP = nullptr;
inline const HWND HWND_BOTTOM = reinterpret_cast<HWND>(intptr_t{1});
inline const HWND HWND_TOPMOST = reinterpret_cast<HWND>(intptr_t{-1});
inline const HWND HWND_NOTOPMOST = reinterpret_cast<HWND>(intptr_t{-2});
inline const HWND HWND_MESSAGE = reinterpret_cast<HWND>(intptr_t{-3});
inline const HWND HWND_DESKTOP = nullptr;
inline const HWND HWND_BROADCAST = reinterpret_cast<HWND>(intptr_t{0xFFFF});

// ShowWindow commands; WM_SHOWWINDOW reasons (lParam).
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_NORMAL = 1;
constexpr int SW_SHOWMINIMIZED = 2;
constexpr int SW_SHOWMAXIMIZED = 3;
constexpr int SW_MAXIMIZE = 3;
constexpr int SW_SHOWNOACTIVATE = 4;
constexpr int SW_SHOW = 5;
constexpr int SW_MINIMIZE = 6;
constexpr int SW_SHOWMINNOACTIVE = 7;
constexpr int SW_SHOWNA = 8;
constexpr int SW_RESTORE = 9;
constexpr int SW_SHOWDEFAULT = 10;
constexpr int SW_FORCEMINIMIZE = 11;
constexpr int SW_PARENTCLOSING = 1;
constexpr int SW_OTHERZOOM = 2;
constexpr int SW_PARENTOPENING = 3;
constexpr int SW_OTHERUNZOOM = 4;

// ScrollWindowEx.
constexpr UINT SW_SCROLLCHILDREN = 0x0001;
constexpr UINT SW_INVALIDATE = 0x0002;
constexpr UINT SW_ERASE = 0x0004;
constexpr UINT SW_SMOOTHSCROLL = 0x0010;

// Get/SetWindowPlacement.
constexpr UINT WPF_SETMINPOSITION = 0x0001;
constexpr UINT WPF_RESTORETOMAXIMIZED = 0x0002;
constexpr UINT WPF_ASYNCWINDOWPLACEMENT = 0x0004;

// RedrawWindow.
constexpr UINT RDW_INVALIDATE = 0x0001;
constexpr UINT RDW_INTERNALPAINT = 0x0002;
constexpr UINT RDW_ERASE = 0x0004;
constexpr UINT RDW_VALIDATE = 0x0008;
constexpr UINT RDW_NOINTERNALPAINT = 0x0010;
constexpr UINT RDW_NOERASE = 0x0020;
constexpr UINT RDW_NOCHILDREN = 0x0040;
constexpr UINT RDW_ALLCHILDREN = 0x0080;
constexpr UINT RDW_UPDATENOW = 0x0100;
constexpr UINT RDW_ERASENOW = 0x0200;
constexpr UINT RDW_FRAME = 0x0400;
constexpr UINT RDW_NOFRAME = 0x0800;

// Queue status bits (GetQueueStatus, MsgWaitForMultipleObjectsEx).
constexpr UINT QS_KEY = 0x0001;
constexpr UINT QS_MOUSEMOVE = 0x0002;
constexpr UINT QS_MOUSEBUTTON = 0x0004;
constexpr UINT QS_POSTMESSAGE = 0x0008;
constexpr UINT QS_TIMER = 0x0010;
constexpr UINT QS_PAINT = 0x0020;
constexpr UINT QS_SENDMESSAGE = 0x0040;
constexpr UINT QS_HOTKEY = 0x0080;
constexpr UINT QS_ALLPOSTMESSAGE = 0x0100;
constexpr UINT QS_RAWINPUT = 0x0400;
constexpr UINT QS_MOUSE = QS_MOUSEMOVE | QS_MOUSEBUTTON;
constexpr UINT QS_INPUT = QS_MOUSE | QS_KEY | QS_RAWINPUT;
constexpr UINT QS_ALLEVENTS = QS_INPUT | QS_POSTMESSAGE | QS_TIMER | QS_PAINT | QS_HOTKEY;
constexpr UINT QS_ALLINPUT = QS_ALLEVENTS | QS_SENDMESSAGE;

// PeekMessageW; the PM_QS_ flags restrict what is looked at.
constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;
constexpr UINT PM_NOYIELD = 0x0002;
constexpr UINT PM_QS_INPUT = QS_INPUT << 16;
constexpr UINT PM_QS_POSTMESSAGE = (QS_POSTMESSAGE | QS_HOTKEY | QS_TIMER) << 16;
constexpr UINT PM_QS_PAINT = QS_PAINT << 16;
constexpr UINT PM_QS_SENDMESSAGE = QS_SENDMESSAGE << 16;

// MsgWaitForMultipleObjectsEx.
constexpr DWORD MWMO_WAITALL = 0x0001;
constexpr DWORD MWMO_ALERTABLE = 0x0002;
constexpr DWORD MWMO_INPUTAVAILABLE = 0x0004;
constexpr DWORD WAIT_OBJECT_0 = 0x00000000;
constexpr DWORD WAIT_ABANDONED_0 = 0x00000080;
constexpr DWORD WAIT_IO_COMPLETION = 0x000000C0;
constexpr DWORD WAIT_TIMEOUT = 0x00000102;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;

// Timers.
constexpr UINT USER_TIMER_MINIMUM = 0x0000000A;
constexpr UINT USER_TIMER_MAXIMUM = 0x7FFFFFFF;

// Mouse key states in wParam; wheel and extra buttons.
constexpr UINT MK_LBUTTON = 0x0001;
constexpr UINT MK_RBUTTON = 0x0002;
constexpr UINT MK_SHIFT = 0x0004;
constexpr UINT MK_CONTROL = 0x0008;
constexpr UINT MK_MBUTTON = 0x0010;
constexpr UINT MK_XBUTTON1 = 0x0020;
constexpr UINT MK_XBUTTON2 = 0x0040;
constexpr int WHEEL_DELTA = 120;
// TrackMouseEvent.
constexpr DWORD TME_LEAVE = 0x00000002;
constexpr DWORD TME_CANCEL = 0x80000000;
constexpr UINT WHEEL_PAGESCROLL = 0xFFFFFFFF;
constexpr WORD XBUTTON1 = 0x0001;
constexpr WORD XBUTTON2 = 0x0002;

// WM_MOUSEACTIVATE answers.
constexpr int MA_ACTIVATE = 1;
constexpr int MA_ACTIVATEANDEAT = 2;
constexpr int MA_NOACTIVATE = 3;
constexpr int MA_NOACTIVATEANDEAT = 4;

// WM_NCHITTEST answers.
constexpr int HTERROR = -2;
constexpr int HTTRANSPARENT = -1;
constexpr int HTNOWHERE = 0;
constexpr int HTCLIENT = 1;
constexpr int HTCAPTION = 2;
constexpr int HTSYSMENU = 3;
constexpr int HTGROWBOX = 4;
constexpr int HTSIZE = HTGROWBOX;
constexpr int HTMENU = 5;
constexpr int HTHSCROLL = 6;
constexpr int HTVSCROLL = 7;
constexpr int HTMINBUTTON = 8;
constexpr int HTMAXBUTTON = 9;
constexpr int HTREDUCE = HTMINBUTTON;
constexpr int HTZOOM = HTMAXBUTTON;
constexpr int HTLEFT = 10;
constexpr int HTRIGHT = 11;
constexpr int HTTOP = 12;
constexpr int HTTOPLEFT = 13;
constexpr int HTTOPRIGHT = 14;
constexpr int HTBOTTOM = 15;
constexpr int HTBOTTOMLEFT = 16;
constexpr int HTBOTTOMRIGHT = 17;
constexpr int HTBORDER = 18;
constexpr int HTSIZEFIRST = HTLEFT;
constexpr int HTSIZELAST = HTBOTTOMRIGHT;
constexpr int HTOBJECT = 19;
constexpr int HTCLOSE = 20;
constexpr int HTHELP = 21;

// WM_SIZE kinds.
constexpr UINT SIZE_RESTORED = 0;
constexpr UINT SIZE_MINIMIZED = 1;
constexpr UINT SIZE_MAXIMIZED = 2;
constexpr UINT SIZE_MAXSHOW = 3;
constexpr UINT SIZE_MAXHIDE = 4;

// WM_SIZING edges.
constexpr UINT WMSZ_LEFT = 1;
constexpr UINT WMSZ_RIGHT = 2;
constexpr UINT WMSZ_TOP = 3;
constexpr UINT WMSZ_TOPLEFT = 4;
constexpr UINT WMSZ_TOPRIGHT = 5;
constexpr UINT WMSZ_BOTTOM = 6;
constexpr UINT WMSZ_BOTTOMLEFT = 7;
constexpr UINT WMSZ_BOTTOMRIGHT = 8;

// WM_NCCALCSIZE answers when wParam is TRUE.
constexpr UINT WVR_ALIGNTOP = 0x0010;
constexpr UINT WVR_ALIGNLEFT = 0x0020;
constexpr UINT WVR_ALIGNBOTTOM = 0x0040;
constexpr UINT WVR_ALIGNRIGHT = 0x0080;
constexpr UINT WVR_HREDRAW = 0x0100;
constexpr UINT WVR_VREDRAW = 0x0200;
constexpr UINT WVR_REDRAW = WVR_HREDRAW | WVR_VREDRAW;
constexpr UINT WVR_VALIDRECTS = 0x0400;

// WM_ACTIVATE states (low word of wParam; the high word is the minimized flag).
constexpr UINT WA_INACTIVE = 0;
constexpr UINT WA_ACTIVE = 1;
constexpr UINT WA_CLICKACTIVE = 2;

// Scroll bars: which bar, WM_HSCROLL / WM_VSCROLL codes, SCROLLINFO masks,
// EnableScrollBar arrows and the scroll-bar control's orientation style.
constexpr int SB_HORZ = 0;
constexpr int SB_VERT = 1;
constexpr int SB_CTL = 2;
constexpr int SB_BOTH = 3;
constexpr WORD SB_LINEUP = 0;
constexpr WORD SB_LINELEFT = 0;
constexpr WORD SB_LINEDOWN = 1;
constexpr WORD SB_LINERIGHT = 1;
constexpr WORD SB_PAGEUP = 2;
constexpr WORD SB_PAGELEFT = 2;
constexpr WORD SB_PAGEDOWN = 3;
constexpr WORD SB_PAGERIGHT = 3;
constexpr WORD SB_THUMBPOSITION = 4;
constexpr WORD SB_THUMBTRACK = 5;
constexpr WORD SB_TOP = 6;
constexpr WORD SB_LEFT = 6;
constexpr WORD SB_BOTTOM = 7;
constexpr WORD SB_RIGHT = 7;
constexpr WORD SB_ENDSCROLL = 8;
constexpr UINT SIF_RANGE = 0x0001;
constexpr UINT SIF_PAGE = 0x0002;
constexpr UINT SIF_POS = 0x0004;
constexpr UINT SIF_DISABLENOSCROLL = 0x0008;
constexpr UINT SIF_TRACKPOS = 0x0010;
constexpr UINT SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
constexpr UINT ESB_ENABLE_BOTH = 0x0000;
constexpr UINT ESB_DISABLE_LTUP = 0x0001;
constexpr UINT ESB_DISABLE_RTDN = 0x0002;
constexpr UINT ESB_DISABLE_LEFT = ESB_DISABLE_LTUP;
constexpr UINT ESB_DISABLE_UP = ESB_DISABLE_LTUP;
constexpr UINT ESB_DISABLE_RIGHT = ESB_DISABLE_RTDN;
constexpr UINT ESB_DISABLE_DOWN = ESB_DISABLE_RTDN;
constexpr UINT ESB_DISABLE_BOTH = 0x0003;
constexpr DWORD SBS_HORZ = 0x0000;
constexpr DWORD SBS_VERT = 0x0001;

// WM_PRINT flags (lParam).
constexpr LPARAM PRF_CHECKVISIBLE = 0x0001;
constexpr LPARAM PRF_NONCLIENT = 0x0002;
constexpr LPARAM PRF_CLIENT = 0x0004;
constexpr LPARAM PRF_ERASEBKGND = 0x0008;
constexpr LPARAM PRF_CHILDREN = 0x0010;
constexpr LPARAM PRF_OWNED = 0x0020;

// Monitors.
constexpr DWORD MONITOR_DEFAULTTONULL = 0;
constexpr DWORD MONITOR_DEFAULTTOPRIMARY = 1;
constexpr DWORD MONITOR_DEFAULTTONEAREST = 2;
constexpr DWORD MONITORINFOF_PRIMARY = 1;

// SetLayeredWindowAttributes.
constexpr DWORD LWA_COLORKEY = 0x0001;
constexpr DWORD LWA_ALPHA = 0x0002;

// WM_SETICON / WM_GETICON.
constexpr WPARAM ICON_SMALL = 0;
constexpr WPARAM ICON_BIG = 1;
constexpr WPARAM ICON_SMALL2 = 2;

// WM_CHANGEUISTATE / WM_UPDATEUISTATE.
constexpr WORD UIS_SET = 1;
constexpr WORD UIS_CLEAR = 2;
constexpr WORD UIS_INITIALIZE = 3;
constexpr WORD UISF_HIDEFOCUS = 0x1;
constexpr WORD UISF_HIDEACCEL = 0x2;
constexpr WORD UISF_ACTIVE = 0x4;

// Window words and class words.
constexpr int GWL_WNDPROC = -4;
constexpr int GWL_HINSTANCE = -6;
constexpr int GWL_HWNDPARENT = -8;
constexpr int GWL_ID = -12;
constexpr int GWL_STYLE = -16;
constexpr int GWL_EXSTYLE = -20;
constexpr int GWL_USERDATA = -21;
constexpr int GWLP_WNDPROC = -4;
constexpr int GWLP_HINSTANCE = -6;
constexpr int GWLP_HWNDPARENT = -8;
constexpr int GWLP_ID = -12;
constexpr int GWLP_USERDATA = -21;
constexpr int GCLP_MENUNAME = -8;
constexpr int GCLP_HBRBACKGROUND = -10;
constexpr int GCLP_HCURSOR = -12;
constexpr int GCLP_HICON = -14;
constexpr int GCLP_HMODULE = -16;
constexpr int GCL_CBWNDEXTRA = -18;
constexpr int GCL_CBCLSEXTRA = -20;
constexpr int GCLP_WNDPROC = -24;
constexpr int GCL_STYLE = -26;
constexpr int GCW_ATOM = -32;
constexpr int GCLP_HICONSM = -34;

// GetWindow, GetAncestor, ChildWindowFromPointEx.
constexpr UINT GW_HWNDFIRST = 0;
constexpr UINT GW_HWNDLAST = 1;
constexpr UINT GW_HWNDNEXT = 2;
constexpr UINT GW_HWNDPREV = 3;
constexpr UINT GW_OWNER = 4;
constexpr UINT GW_CHILD = 5;
constexpr UINT GW_ENABLEDPOPUP = 6;
constexpr UINT GA_PARENT = 1;
constexpr UINT GA_ROOT = 2;
constexpr UINT GA_ROOTOWNER = 3;
constexpr UINT CWP_ALL = 0x0000;
constexpr UINT CWP_SKIPINVISIBLE = 0x0001;
constexpr UINT CWP_SKIPDISABLED = 0x0002;
constexpr UINT CWP_SKIPTRANSPARENT = 0x0004;

// Virtual keys. Digits and letters are their ASCII codes ('0'-'9', 'A'-'Z').
constexpr UINT VK_LBUTTON = 0x01;
constexpr UINT VK_RBUTTON = 0x02;
constexpr UINT VK_CANCEL = 0x03;
constexpr UINT VK_MBUTTON = 0x04;
constexpr UINT VK_XBUTTON1 = 0x05;
constexpr UINT VK_XBUTTON2 = 0x06;
constexpr UINT VK_BACK = 0x08;
constexpr UINT VK_TAB = 0x09;
constexpr UINT VK_CLEAR = 0x0C;
constexpr UINT VK_RETURN = 0x0D;
constexpr UINT VK_SHIFT = 0x10;
constexpr UINT VK_CONTROL = 0x11;
constexpr UINT VK_MENU = 0x12;
constexpr UINT VK_PAUSE = 0x13;
constexpr UINT VK_CAPITAL = 0x14;
constexpr UINT VK_KANA = 0x15;
constexpr UINT VK_HANGUL = 0x15;
constexpr UINT VK_JUNJA = 0x17;
constexpr UINT VK_FINAL = 0x18;
constexpr UINT VK_HANJA = 0x19;
constexpr UINT VK_KANJI = 0x19;
constexpr UINT VK_ESCAPE = 0x1B;
constexpr UINT VK_CONVERT = 0x1C;
constexpr UINT VK_NONCONVERT = 0x1D;
constexpr UINT VK_ACCEPT = 0x1E;
constexpr UINT VK_MODECHANGE = 0x1F;
constexpr UINT VK_SPACE = 0x20;
constexpr UINT VK_PRIOR = 0x21;
constexpr UINT VK_NEXT = 0x22;
constexpr UINT VK_END = 0x23;
constexpr UINT VK_HOME = 0x24;
constexpr UINT VK_LEFT = 0x25;
constexpr UINT VK_UP = 0x26;
constexpr UINT VK_RIGHT = 0x27;
constexpr UINT VK_DOWN = 0x28;
constexpr UINT VK_SELECT = 0x29;
constexpr UINT VK_PRINT = 0x2A;
constexpr UINT VK_EXECUTE = 0x2B;
constexpr UINT VK_SNAPSHOT = 0x2C;
constexpr UINT VK_INSERT = 0x2D;
constexpr UINT VK_DELETE = 0x2E;
constexpr UINT VK_HELP = 0x2F;
constexpr UINT VK_LWIN = 0x5B;
constexpr UINT VK_RWIN = 0x5C;
constexpr UINT VK_APPS = 0x5D;
constexpr UINT VK_SLEEP = 0x5F;
constexpr UINT VK_NUMPAD0 = 0x60;
constexpr UINT VK_NUMPAD1 = 0x61;
constexpr UINT VK_NUMPAD2 = 0x62;
constexpr UINT VK_NUMPAD3 = 0x63;
constexpr UINT VK_NUMPAD4 = 0x64;
constexpr UINT VK_NUMPAD5 = 0x65;
constexpr UINT VK_NUMPAD6 = 0x66;
constexpr UINT VK_NUMPAD7 = 0x67;
constexpr UINT VK_NUMPAD8 = 0x68;
constexpr UINT VK_NUMPAD9 = 0x69;
constexpr UINT VK_MULTIPLY = 0x6A;
constexpr UINT VK_ADD = 0x6B;
constexpr UINT VK_SEPARATOR = 0x6C;
constexpr UINT VK_SUBTRACT = 0x6D;
constexpr UINT VK_DECIMAL = 0x6E;
constexpr UINT VK_DIVIDE = 0x6F;
constexpr UINT VK_F1 = 0x70;
constexpr UINT VK_F2 = 0x71;
constexpr UINT VK_F3 = 0x72;
constexpr UINT VK_F4 = 0x73;
constexpr UINT VK_F5 = 0x74;
constexpr UINT VK_F6 = 0x75;
constexpr UINT VK_F7 = 0x76;
constexpr UINT VK_F8 = 0x77;
constexpr UINT VK_F9 = 0x78;
constexpr UINT VK_F10 = 0x79;
constexpr UINT VK_F11 = 0x7A;
constexpr UINT VK_F12 = 0x7B;
constexpr UINT VK_F13 = 0x7C;
constexpr UINT VK_F14 = 0x7D;
constexpr UINT VK_F15 = 0x7E;
constexpr UINT VK_F16 = 0x7F;
constexpr UINT VK_F17 = 0x80;
constexpr UINT VK_F18 = 0x81;
constexpr UINT VK_F19 = 0x82;
constexpr UINT VK_F20 = 0x83;
constexpr UINT VK_F21 = 0x84;
constexpr UINT VK_F22 = 0x85;
constexpr UINT VK_F23 = 0x86;
constexpr UINT VK_F24 = 0x87;
constexpr UINT VK_NUMLOCK = 0x90;
constexpr UINT VK_SCROLL = 0x91;
constexpr UINT VK_LSHIFT = 0xA0;
constexpr UINT VK_RSHIFT = 0xA1;
constexpr UINT VK_LCONTROL = 0xA2;
constexpr UINT VK_RCONTROL = 0xA3;
constexpr UINT VK_LMENU = 0xA4;
constexpr UINT VK_RMENU = 0xA5;
constexpr UINT VK_BROWSER_BACK = 0xA6;
constexpr UINT VK_BROWSER_FORWARD = 0xA7;
constexpr UINT VK_VOLUME_MUTE = 0xAD;
constexpr UINT VK_VOLUME_DOWN = 0xAE;
constexpr UINT VK_VOLUME_UP = 0xAF;
constexpr UINT VK_MEDIA_NEXT_TRACK = 0xB0;
constexpr UINT VK_MEDIA_PREV_TRACK = 0xB1;
constexpr UINT VK_MEDIA_STOP = 0xB2;
constexpr UINT VK_MEDIA_PLAY_PAUSE = 0xB3;
constexpr UINT VK_OEM_1 = 0xBA;      // ;:
constexpr UINT VK_OEM_PLUS = 0xBB;   // =+
constexpr UINT VK_OEM_COMMA = 0xBC;  // ,<
constexpr UINT VK_OEM_MINUS = 0xBD;  // -_
constexpr UINT VK_OEM_PERIOD = 0xBE; // .>
constexpr UINT VK_OEM_2 = 0xBF;      // /?
constexpr UINT VK_OEM_3 = 0xC0;      // `~
constexpr UINT VK_OEM_4 = 0xDB;      // [{
constexpr UINT VK_OEM_5 = 0xDC;      // \|
constexpr UINT VK_OEM_6 = 0xDD;      // ]}
constexpr UINT VK_OEM_7 = 0xDE;      // '"
constexpr UINT VK_OEM_8 = 0xDF;
constexpr UINT VK_OEM_102 = 0xE2;
constexpr UINT VK_PROCESSKEY = 0xE5;
constexpr UINT VK_PACKET = 0xE7;

// Key message lParam: flags of its high word.
constexpr WORD KF_EXTENDED = 0x0100;
constexpr WORD KF_DLGMODE = 0x0800;
constexpr WORD KF_MENUMODE = 0x1000;
constexpr WORD KF_ALTDOWN = 0x2000;
constexpr WORD KF_REPEAT = 0x4000;
constexpr WORD KF_UP = 0x8000;

// MapVirtualKeyW.
constexpr UINT MAPVK_VK_TO_VSC = 0;
constexpr UINT MAPVK_VSC_TO_VK = 1;
constexpr UINT MAPVK_VK_TO_CHAR = 2;
constexpr UINT MAPVK_VSC_TO_VK_EX = 3;
constexpr UINT MAPVK_VK_TO_VSC_EX = 4;

// Owner-drawn item kinds (DRAWITEMSTRUCT.CtlType), actions and states.
constexpr UINT ODT_MENU = 1;
constexpr UINT ODT_LISTBOX = 2;
constexpr UINT ODT_COMBOBOX = 3;
constexpr UINT ODT_BUTTON = 4;
constexpr UINT ODT_STATIC = 5;
constexpr UINT ODA_DRAWENTIRE = 0x0001;
constexpr UINT ODA_SELECT = 0x0002;
constexpr UINT ODA_FOCUS = 0x0004;
constexpr UINT ODS_SELECTED = 0x0001;
constexpr UINT ODS_GRAYED = 0x0002;
constexpr UINT ODS_DISABLED = 0x0004;
constexpr UINT ODS_CHECKED = 0x0008;
constexpr UINT ODS_FOCUS = 0x0010;

// WM_GETDLGCODE answers.
constexpr UINT DLGC_WANTARROWS = 0x0001;
constexpr UINT DLGC_WANTTAB = 0x0002;
constexpr UINT DLGC_WANTALLKEYS = 0x0004;
constexpr UINT DLGC_WANTMESSAGE = 0x0004;
constexpr UINT DLGC_HASSETSEL = 0x0008;
constexpr UINT DLGC_DEFPUSHBUTTON = 0x0010;
constexpr UINT DLGC_UNDEFPUSHBUTTON = 0x0020;
constexpr UINT DLGC_RADIOBUTTON = 0x0040;
constexpr UINT DLGC_WANTCHARS = 0x0080;
constexpr UINT DLGC_STATIC = 0x0100;
constexpr UINT DLGC_BUTTON = 0x2000;

// Input method: composition string parts, composition window styles.
constexpr DWORD GCS_COMPREADSTR = 0x0001;
constexpr DWORD GCS_COMPREADATTR = 0x0002;
constexpr DWORD GCS_COMPREADCLAUSE = 0x0004;
constexpr DWORD GCS_COMPSTR = 0x0008;
constexpr DWORD GCS_COMPATTR = 0x0010;
constexpr DWORD GCS_COMPCLAUSE = 0x0020;
constexpr DWORD GCS_CURSORPOS = 0x0080;
constexpr DWORD GCS_DELTASTART = 0x0100;
constexpr DWORD GCS_RESULTREADSTR = 0x0200;
constexpr DWORD GCS_RESULTREADCLAUSE = 0x0400;
constexpr DWORD GCS_RESULTSTR = 0x0800;
constexpr DWORD GCS_RESULTCLAUSE = 0x1000;
constexpr DWORD CFS_DEFAULT = 0x0000;
constexpr DWORD CFS_RECT = 0x0001;
constexpr DWORD CFS_POINT = 0x0002;
constexpr DWORD CFS_FORCE_POSITION = 0x0020;
constexpr DWORD CFS_CANDIDATEPOS = 0x0040;
constexpr DWORD CFS_EXCLUDE = 0x0080;

// System commands (WM_SYSCOMMAND wParam; the low four bits are the system's).
constexpr UINT SC_SIZE = 0xF000;
constexpr UINT SC_SEPARATOR = 0xF00F;
constexpr UINT SC_MOVE = 0xF010;
constexpr UINT SC_MINIMIZE = 0xF020;
constexpr UINT SC_MAXIMIZE = 0xF030;
constexpr UINT SC_NEXTWINDOW = 0xF040;
constexpr UINT SC_PREVWINDOW = 0xF050;
constexpr UINT SC_CLOSE = 0xF060;
constexpr UINT SC_VSCROLL = 0xF070;
constexpr UINT SC_HSCROLL = 0xF080;
constexpr UINT SC_MOUSEMENU = 0xF090;
constexpr UINT SC_KEYMENU = 0xF100;
constexpr UINT SC_ARRANGE = 0xF110;
constexpr UINT SC_RESTORE = 0xF120;
constexpr UINT SC_TASKLIST = 0xF130;
constexpr UINT SC_SCREENSAVE = 0xF140;
constexpr UINT SC_HOTKEY = 0xF150;
constexpr UINT SC_DEFAULT = 0xF160;
constexpr UINT SC_MONITORPOWER = 0xF170;
constexpr UINT SC_CONTEXTHELP = 0xF180;
constexpr UINT SC_ICON = SC_MINIMIZE;
constexpr UINT SC_ZOOM = SC_MAXIMIZE;

// System metrics.
constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int SM_CXVSCROLL = 2;
constexpr int SM_CYHSCROLL = 3;
constexpr int SM_CYCAPTION = 4;
constexpr int SM_CXBORDER = 5;
constexpr int SM_CYBORDER = 6;
constexpr int SM_CXDLGFRAME = 7;
constexpr int SM_CXFIXEDFRAME = SM_CXDLGFRAME;
constexpr int SM_CYDLGFRAME = 8;
constexpr int SM_CYFIXEDFRAME = SM_CYDLGFRAME;
constexpr int SM_CYVTHUMB = 9;
constexpr int SM_CXHTHUMB = 10;
constexpr int SM_CXICON = 11;
constexpr int SM_CYICON = 12;
constexpr int SM_CXCURSOR = 13;
constexpr int SM_CYCURSOR = 14;
constexpr int SM_CYMENU = 15;
constexpr int SM_CXFULLSCREEN = 16;
constexpr int SM_CYFULLSCREEN = 17;
constexpr int SM_CYKANJIWINDOW = 18;
constexpr int SM_MOUSEPRESENT = 19;
constexpr int SM_CYVSCROLL = 20;
constexpr int SM_CXHSCROLL = 21;
constexpr int SM_DEBUG = 22;
constexpr int SM_SWAPBUTTON = 23;
constexpr int SM_CXMIN = 28;
constexpr int SM_CYMIN = 29;
constexpr int SM_CXSIZE = 30;
constexpr int SM_CYSIZE = 31;
constexpr int SM_CXFRAME = 32;
constexpr int SM_CXSIZEFRAME = SM_CXFRAME;
constexpr int SM_CYFRAME = 33;
constexpr int SM_CYSIZEFRAME = SM_CYFRAME;
constexpr int SM_CXMINTRACK = 34;
constexpr int SM_CYMINTRACK = 35;
constexpr int SM_CXDOUBLECLK = 36;
constexpr int SM_CYDOUBLECLK = 37;
constexpr int SM_CXICONSPACING = 38;
constexpr int SM_CYICONSPACING = 39;
constexpr int SM_MENUDROPALIGNMENT = 40;
constexpr int SM_DBCSENABLED = 42;
constexpr int SM_CMOUSEBUTTONS = 43;
constexpr int SM_SECURE = 44;
constexpr int SM_CXEDGE = 45;
constexpr int SM_CYEDGE = 46;
constexpr int SM_CXMINSPACING = 47;
constexpr int SM_CYMINSPACING = 48;
constexpr int SM_CXSMICON = 49;
constexpr int SM_CYSMICON = 50;
constexpr int SM_CYSMCAPTION = 51;
constexpr int SM_CXSMSIZE = 52;
constexpr int SM_CYSMSIZE = 53;
constexpr int SM_CXMENUSIZE = 54;
constexpr int SM_CYMENUSIZE = 55;
constexpr int SM_ARRANGE = 56;
constexpr int SM_CXMINIMIZED = 57;
constexpr int SM_CYMINIMIZED = 58;
constexpr int SM_CXMAXTRACK = 59;
constexpr int SM_CYMAXTRACK = 60;
constexpr int SM_CXMAXIMIZED = 61;
constexpr int SM_CYMAXIMIZED = 62;
constexpr int SM_NETWORK = 63;
constexpr int SM_CLEANBOOT = 67;
constexpr int SM_CXDRAG = 68;
constexpr int SM_CYDRAG = 69;
constexpr int SM_SHOWSOUNDS = 70;
constexpr int SM_CXMENUCHECK = 71;
constexpr int SM_CYMENUCHECK = 72;
constexpr int SM_SLOWMACHINE = 73;
constexpr int SM_MIDEASTENABLED = 74;
constexpr int SM_MOUSEWHEELPRESENT = 75;
constexpr int SM_XVIRTUALSCREEN = 76;
constexpr int SM_YVIRTUALSCREEN = 77;
constexpr int SM_CXVIRTUALSCREEN = 78;
constexpr int SM_CYVIRTUALSCREEN = 79;
constexpr int SM_CMONITORS = 80;
constexpr int SM_SAMEDISPLAYFORMAT = 81;
constexpr int SM_IMMENABLED = 82;
constexpr int SM_CXFOCUSBORDER = 83;
constexpr int SM_CYFOCUSBORDER = 84;
constexpr int SM_TABLETPC = 86;
constexpr int SM_MEDIACENTER = 87;
constexpr int SM_STARTER = 88;
constexpr int SM_SERVERR2 = 89;
constexpr int SM_MOUSEHORIZONTALWHEELPRESENT = 91;
constexpr int SM_CXPADDEDBORDER = 92;
constexpr int SM_REMOTESESSION = 0x1000;

// SystemParametersInfoW actions and flags.
constexpr UINT SPI_GETBEEP = 0x0001;
constexpr UINT SPI_GETMOUSE = 0x0003;
constexpr UINT SPI_GETBORDER = 0x0005;
constexpr UINT SPI_GETKEYBOARDSPEED = 0x000A;
constexpr UINT SPI_ICONHORIZONTALSPACING = 0x000D;
constexpr UINT SPI_GETSCREENSAVETIMEOUT = 0x000E;
constexpr UINT SPI_GETKEYBOARDDELAY = 0x0016;
constexpr UINT SPI_ICONVERTICALSPACING = 0x0018;
constexpr UINT SPI_GETICONTITLEWRAP = 0x0019;
constexpr UINT SPI_GETMENUDROPALIGNMENT = 0x001B;
constexpr UINT SPI_GETICONTITLELOGFONT = 0x001F;
constexpr UINT SPI_SETDRAGFULLWINDOWS = 0x0025;
constexpr UINT SPI_GETDRAGFULLWINDOWS = 0x0026;
constexpr UINT SPI_GETNONCLIENTMETRICS = 0x0029;
constexpr UINT SPI_SETNONCLIENTMETRICS = 0x002A;
constexpr UINT SPI_GETMINIMIZEDMETRICS = 0x002B;
constexpr UINT SPI_GETICONMETRICS = 0x002D;
constexpr UINT SPI_SETWORKAREA = 0x002F;
constexpr UINT SPI_GETWORKAREA = 0x0030;
constexpr UINT SPI_GETHIGHCONTRAST = 0x0042;
constexpr UINT SPI_GETKEYBOARDPREF = 0x0044;
constexpr UINT SPI_GETSCREENREADER = 0x0046;
constexpr UINT SPI_GETANIMATION = 0x0048;
constexpr UINT SPI_SETANIMATION = 0x0049;
constexpr UINT SPI_GETFONTSMOOTHING = 0x004A;
constexpr UINT SPI_GETMOUSEHOVERWIDTH = 0x0062;
constexpr UINT SPI_GETMOUSEHOVERHEIGHT = 0x0064;
constexpr UINT SPI_GETMOUSEHOVERTIME = 0x0066;
constexpr UINT SPI_GETWHEELSCROLLLINES = 0x0068;
constexpr UINT SPI_SETWHEELSCROLLLINES = 0x0069;
constexpr UINT SPI_GETMENUSHOWDELAY = 0x006A;
constexpr UINT SPI_GETWHEELSCROLLCHARS = 0x006C;
constexpr UINT SPI_GETSHOWIMEUI = 0x006E;
constexpr UINT SPI_GETMOUSESPEED = 0x0070;
constexpr UINT SPI_GETSCREENSAVERRUNNING = 0x0072;
constexpr UINT SPI_GETACTIVEWINDOWTRACKING = 0x1000;
constexpr UINT SPI_GETMENUANIMATION = 0x1002;
constexpr UINT SPI_GETCOMBOBOXANIMATION = 0x1004;
constexpr UINT SPI_GETLISTBOXSMOOTHSCROLLING = 0x1006;
constexpr UINT SPI_GETGRADIENTCAPTIONS = 0x1008;
constexpr UINT SPI_GETKEYBOARDCUES = 0x100A;
constexpr UINT SPI_GETMENUUNDERLINES = SPI_GETKEYBOARDCUES;
constexpr UINT SPI_GETHOTTRACKING = 0x100E;
constexpr UINT SPI_GETMENUFADE = 0x1012;
constexpr UINT SPI_GETSELECTIONFADE = 0x1014;
constexpr UINT SPI_GETTOOLTIPANIMATION = 0x1016;
constexpr UINT SPI_GETTOOLTIPFADE = 0x1018;
constexpr UINT SPI_GETCURSORSHADOW = 0x101A;
constexpr UINT SPI_GETUIEFFECTS = 0x103E;
constexpr UINT SPI_GETFOREGROUNDLOCKTIMEOUT = 0x2000;
constexpr UINT SPI_GETCARETWIDTH = 0x2006;
constexpr UINT SPI_GETFONTSMOOTHINGTYPE = 0x200A;
constexpr UINT SPI_GETFOCUSBORDERWIDTH = 0x200E;
constexpr UINT SPI_GETFOCUSBORDERHEIGHT = 0x2010;
constexpr UINT SPIF_UPDATEINIFILE = 0x0001;
constexpr UINT SPIF_SENDCHANGE = 0x0002;

// System colours (GetSysColor, GetSysColorBrush, (HBRUSH)(COLOR_x + 1)).
constexpr int COLOR_SCROLLBAR = 0;
constexpr int COLOR_BACKGROUND = 1;
constexpr int COLOR_DESKTOP = COLOR_BACKGROUND;
constexpr int COLOR_ACTIVECAPTION = 2;
constexpr int COLOR_INACTIVECAPTION = 3;
constexpr int COLOR_MENU = 4;
constexpr int COLOR_WINDOW = 5;
constexpr int COLOR_WINDOWFRAME = 6;
constexpr int COLOR_MENUTEXT = 7;
constexpr int COLOR_WINDOWTEXT = 8;
constexpr int COLOR_CAPTIONTEXT = 9;
constexpr int COLOR_ACTIVEBORDER = 10;
constexpr int COLOR_INACTIVEBORDER = 11;
constexpr int COLOR_APPWORKSPACE = 12;
constexpr int COLOR_HIGHLIGHT = 13;
constexpr int COLOR_HIGHLIGHTTEXT = 14;
constexpr int COLOR_BTNFACE = 15;
constexpr int COLOR_3DFACE = COLOR_BTNFACE;
constexpr int COLOR_BTNSHADOW = 16;
constexpr int COLOR_3DSHADOW = COLOR_BTNSHADOW;
constexpr int COLOR_GRAYTEXT = 17;
constexpr int COLOR_BTNTEXT = 18;
constexpr int COLOR_INACTIVECAPTIONTEXT = 19;
constexpr int COLOR_BTNHIGHLIGHT = 20;
constexpr int COLOR_BTNHILIGHT = COLOR_BTNHIGHLIGHT;
constexpr int COLOR_3DHIGHLIGHT = COLOR_BTNHIGHLIGHT;
constexpr int COLOR_3DHILIGHT = COLOR_BTNHIGHLIGHT;
constexpr int COLOR_3DDKSHADOW = 21;
constexpr int COLOR_3DLIGHT = 22;
constexpr int COLOR_INFOTEXT = 23;
constexpr int COLOR_INFOBK = 24;
constexpr int COLOR_HOTLIGHT = 26;
constexpr int COLOR_GRADIENTACTIVECAPTION = 27;
constexpr int COLOR_GRADIENTINACTIVECAPTION = 28;
constexpr int COLOR_MENUHILIGHT = 29;
constexpr int COLOR_MENUBAR = 30;

// Standard cursors (LoadCursorW(nullptr, IDC_x)).
inline const LPCWSTR IDC_ARROW = MAKEINTRESOURCEW(32512);
inline const LPCWSTR IDC_IBEAM = MAKEINTRESOURCEW(32513);
inline const LPCWSTR IDC_WAIT = MAKEINTRESOURCEW(32514);
inline const LPCWSTR IDC_CROSS = MAKEINTRESOURCEW(32515);
inline const LPCWSTR IDC_UPARROW = MAKEINTRESOURCEW(32516);
inline const LPCWSTR IDC_SIZE = MAKEINTRESOURCEW(32640);
inline const LPCWSTR IDC_ICON = MAKEINTRESOURCEW(32641);
inline const LPCWSTR IDC_SIZENWSE = MAKEINTRESOURCEW(32642);
inline const LPCWSTR IDC_SIZENESW = MAKEINTRESOURCEW(32643);
inline const LPCWSTR IDC_SIZEWE = MAKEINTRESOURCEW(32644);
inline const LPCWSTR IDC_SIZENS = MAKEINTRESOURCEW(32645);
inline const LPCWSTR IDC_SIZEALL = MAKEINTRESOURCEW(32646);
inline const LPCWSTR IDC_NO = MAKEINTRESOURCEW(32648);
inline const LPCWSTR IDC_HAND = MAKEINTRESOURCEW(32649);
inline const LPCWSTR IDC_APPSTARTING = MAKEINTRESOURCEW(32650);
inline const LPCWSTR IDC_HELP = MAKEINTRESOURCEW(32651);
// The drag-and-drop cursors (ids of this platform's own).
inline const LPCWSTR IDC_DRAGCOPY = MAKEINTRESOURCEW(32760);
inline const LPCWSTR IDC_DRAGMOVE = MAKEINTRESOURCEW(32761);
inline const LPCWSTR IDC_DRAGLINK = MAKEINTRESOURCEW(32762);

// Message boxes: styles and answers; MessageBeep types.
constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_OKCANCEL = 0x00000001;
constexpr UINT MB_ABORTRETRYIGNORE = 0x00000002;
constexpr UINT MB_YESNOCANCEL = 0x00000003;
constexpr UINT MB_YESNO = 0x00000004;
constexpr UINT MB_RETRYCANCEL = 0x00000005;
constexpr UINT MB_CANCELTRYCONTINUE = 0x00000006;
constexpr UINT MB_ICONHAND = 0x00000010;
constexpr UINT MB_ICONERROR = MB_ICONHAND;
constexpr UINT MB_ICONSTOP = MB_ICONHAND;
constexpr UINT MB_ICONQUESTION = 0x00000020;
constexpr UINT MB_ICONEXCLAMATION = 0x00000030;
constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
constexpr UINT MB_ICONASTERISK = 0x00000040;
constexpr UINT MB_ICONINFORMATION = MB_ICONASTERISK;
constexpr UINT MB_DEFBUTTON1 = 0x00000000;
constexpr UINT MB_DEFBUTTON2 = 0x00000100;
constexpr UINT MB_DEFBUTTON3 = 0x00000200;
constexpr UINT MB_DEFBUTTON4 = 0x00000300;
constexpr UINT MB_APPLMODAL = 0x00000000;
constexpr UINT MB_SYSTEMMODAL = 0x00001000;
constexpr UINT MB_TASKMODAL = 0x00002000;
constexpr UINT MB_HELP = 0x00004000;
constexpr UINT MB_SETFOREGROUND = 0x00010000;
constexpr UINT MB_TOPMOST = 0x00040000;
constexpr UINT MB_RIGHT = 0x00080000;
constexpr UINT MB_RTLREADING = 0x00100000;
constexpr UINT MB_TYPEMASK = 0x0000000F;
constexpr UINT MB_ICONMASK = 0x000000F0;
constexpr UINT MB_DEFMASK = 0x00000F00;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;
constexpr int IDCLOSE = 8;
constexpr int IDHELP = 9;
constexpr int IDTRYAGAIN = 10;
constexpr int IDCONTINUE = 11;

// Regions: complexity answers and combine modes.
constexpr int RGN_ERROR = 0;
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;
constexpr int COMPLEXREGION = 3;
constexpr int RGN_AND = 1;
constexpr int RGN_OR = 2;
constexpr int RGN_XOR = 3;
constexpr int RGN_DIFF = 4;
constexpr int RGN_COPY = 5;

// Menus: item flags of AppendMenuW and friends (MF_), item types (MFT_) and
// states (MFS_), MENUITEMINFOW's mask (MIIM_), MENUINFO's mask (MIM_),
// TrackPopupMenu's flags (TPM_) and WM_MENUCHAR's answers (MNC_).
constexpr UINT MF_INSERT = 0x00000000;
constexpr UINT MF_CHANGE = 0x00000080;
constexpr UINT MF_APPEND = 0x00000100;
constexpr UINT MF_DELETE = 0x00000200;
constexpr UINT MF_REMOVE = 0x00001000;
constexpr UINT MF_BYCOMMAND = 0x00000000;
constexpr UINT MF_BYPOSITION = 0x00000400;
constexpr UINT MF_SEPARATOR = 0x00000800;
constexpr UINT MF_ENABLED = 0x00000000;
constexpr UINT MF_GRAYED = 0x00000001;
constexpr UINT MF_DISABLED = 0x00000002;
constexpr UINT MF_UNCHECKED = 0x00000000;
constexpr UINT MF_CHECKED = 0x00000008;
constexpr UINT MF_USECHECKBITMAPS = 0x00000200;
constexpr UINT MF_STRING = 0x00000000;
constexpr UINT MF_BITMAP = 0x00000004;
constexpr UINT MF_OWNERDRAW = 0x00000100;
constexpr UINT MF_POPUP = 0x00000010;
constexpr UINT MF_MENUBARBREAK = 0x00000020;
constexpr UINT MF_MENUBREAK = 0x00000040;
constexpr UINT MF_UNHILITE = 0x00000000;
constexpr UINT MF_HILITE = 0x00000080;
constexpr UINT MF_DEFAULT = 0x00001000;
constexpr UINT MF_SYSMENU = 0x00002000;
constexpr UINT MF_HELP = 0x00004000;
constexpr UINT MF_RIGHTJUSTIFY = 0x00004000;
constexpr UINT MF_MOUSESELECT = 0x00008000;
constexpr UINT MF_END = 0x00000080;

constexpr UINT MFT_STRING = MF_STRING;
constexpr UINT MFT_BITMAP = MF_BITMAP;
constexpr UINT MFT_MENUBARBREAK = MF_MENUBARBREAK;
constexpr UINT MFT_MENUBREAK = MF_MENUBREAK;
constexpr UINT MFT_OWNERDRAW = MF_OWNERDRAW;
constexpr UINT MFT_RADIOCHECK = 0x00000200;
constexpr UINT MFT_SEPARATOR = MF_SEPARATOR;
constexpr UINT MFT_RIGHTORDER = 0x00002000;
constexpr UINT MFT_RIGHTJUSTIFY = MF_RIGHTJUSTIFY;

constexpr UINT MFS_GRAYED = 0x00000003;
constexpr UINT MFS_DISABLED = MFS_GRAYED;
constexpr UINT MFS_CHECKED = MF_CHECKED;
constexpr UINT MFS_HILITE = MF_HILITE;
constexpr UINT MFS_ENABLED = MF_ENABLED;
constexpr UINT MFS_UNCHECKED = MF_UNCHECKED;
constexpr UINT MFS_UNHILITE = MF_UNHILITE;
constexpr UINT MFS_DEFAULT = MF_DEFAULT;

constexpr UINT MIIM_STATE = 0x00000001;
constexpr UINT MIIM_ID = 0x00000002;
constexpr UINT MIIM_SUBMENU = 0x00000004;
constexpr UINT MIIM_CHECKMARKS = 0x00000008;
constexpr UINT MIIM_TYPE = 0x00000010;
constexpr UINT MIIM_DATA = 0x00000020;
constexpr UINT MIIM_STRING = 0x00000040;
constexpr UINT MIIM_BITMAP = 0x00000080;
constexpr UINT MIIM_FTYPE = 0x00000100;
// The platform's own: MENUITEMINFOW.iImage, the item's image in its menu's
// image list (MENUINFO.hImageList); -1 for none.
constexpr UINT MIIM_IMAGE = 0x00010000;

constexpr DWORD MIM_MAXHEIGHT = 0x00000001;
constexpr DWORD MIM_BACKGROUND = 0x00000002;
constexpr DWORD MIM_HELPID = 0x00000004;
constexpr DWORD MIM_MENUDATA = 0x00000008;
constexpr DWORD MIM_STYLE = 0x00000010;
constexpr DWORD MIM_APPLYTOSUBMENUS = 0x80000000;
// The platform's own: MENUINFO.hImageList, drawn beside the items' captions.
constexpr DWORD MIM_IMAGELIST = 0x00010000;

constexpr UINT TPM_LEFTBUTTON = 0x0000;
constexpr UINT TPM_RIGHTBUTTON = 0x0002;
constexpr UINT TPM_LEFTALIGN = 0x0000;
constexpr UINT TPM_CENTERALIGN = 0x0004;
constexpr UINT TPM_RIGHTALIGN = 0x0008;
constexpr UINT TPM_TOPALIGN = 0x0000;
constexpr UINT TPM_VCENTERALIGN = 0x0010;
constexpr UINT TPM_BOTTOMALIGN = 0x0020;
constexpr UINT TPM_HORIZONTAL = 0x0000;
constexpr UINT TPM_VERTICAL = 0x0040;
constexpr UINT TPM_NONOTIFY = 0x0080;
constexpr UINT TPM_RETURNCMD = 0x0100;
constexpr UINT TPM_RECURSE = 0x0001;
constexpr UINT TPM_NOANIMATION = 0x4000;

constexpr WORD MNC_IGNORE = 0;
constexpr WORD MNC_CLOSE = 1;
constexpr WORD MNC_EXECUTE = 2;
constexpr WORD MNC_SELECT = 3;

// WM_ENTERIDLE's wParam: what is idle.
constexpr WPARAM MSGF_DIALOGBOX = 0;
constexpr WPARAM MSGF_MENU = 2;

// WM_STYLECHANGING / WM_STYLECHANGED (lParam).
struct STYLESTRUCT {
    DWORD styleOld;
    DWORD styleNew;
};

// The length of the classic fixed path buffers, terminating NUL included.
constexpr int MAX_PATH = 260;
