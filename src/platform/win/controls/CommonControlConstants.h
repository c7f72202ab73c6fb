#pragma once
// Styles, messages, notifications and records of the common controls:
// "tooltips_class32", "msctls_trackbar32", "msctls_updown32", "SysTabControl32",
// "msctls_statusbar32", "SysTreeView32", "SysHeader32", "SysListView32",
// "ToolbarWindow32".

#include "platform/win/Constants.h"
#include "platform/win/Types.h"

// Notification codes every common control may send (NMHDR.code).
constexpr UINT NM_FIRST = 0u;
constexpr UINT NM_CLICK = NM_FIRST - 2;
constexpr UINT NM_DBLCLK = NM_FIRST - 3;
constexpr UINT NM_RETURN = NM_FIRST - 4;
constexpr UINT NM_RCLICK = NM_FIRST - 5;
constexpr UINT NM_SETFOCUS = NM_FIRST - 7;
constexpr UINT NM_KILLFOCUS = NM_FIRST - 8;

// NM_CLICK of a toolbar: the item's id and data, the point in client coordinates.
struct NMMOUSE {
    NMHDR hdr;
    DWORD_PTR dwItemSpec;
    DWORD_PTR dwItemData;
    POINT pt;
    LPARAM dwHitInfo;
};

// Styles the bars along a parent's edge share (status bar, toolbar).
constexpr DWORD CCS_TOP = 0x0001;
constexpr DWORD CCS_NOMOVEY = 0x0002;
constexpr DWORD CCS_BOTTOM = 0x0003;
constexpr DWORD CCS_NORESIZE = 0x0004;     // keeps the size it was given
constexpr DWORD CCS_NOPARENTALIGN = 0x0008;
constexpr DWORD CCS_ADJUSTABLE = 0x0020;
constexpr DWORD CCS_NODIVIDER = 0x0040;    // no divider line along the top
constexpr DWORD CCS_VERT = 0x0080;

// --- Tool tips ------------------------------------------------------------------------

constexpr DWORD TTS_ALWAYSTIP = 0x01;
constexpr DWORD TTS_NOPREFIX = 0x02;

// TOOLINFOW.uFlags
constexpr UINT TTF_IDISHWND = 0x0001;  // uId is the tool's window, its client area the tool
constexpr UINT TTF_CENTERTIP = 0x0002;
constexpr UINT TTF_SUBCLASS = 0x0010;  // the tool's mouse messages reach the tip without relaying
constexpr UINT TTF_TRACK = 0x0020;     // shown and placed by TTM_TRACKACTIVATE/TTM_TRACKPOSITION
constexpr UINT TTF_ABSOLUTE = 0x0080;  // the tracking position is the tip's corner, not a point beside it

constexpr UINT TTM_ACTIVATE = WM_USER + 1;
constexpr UINT TTM_RELAYEVENT = WM_USER + 7;
constexpr UINT TTM_GETTOOLCOUNT = WM_USER + 13;
constexpr UINT TTM_TRACKACTIVATE = WM_USER + 17;
constexpr UINT TTM_TRACKPOSITION = WM_USER + 18;
constexpr UINT TTM_SETMAXTIPWIDTH = WM_USER + 24;
constexpr UINT TTM_POP = WM_USER + 28;
constexpr UINT TTM_ADDTOOLW = WM_USER + 50;
constexpr UINT TTM_DELTOOLW = WM_USER + 51;
constexpr UINT TTM_GETTEXTW = WM_USER + 56;
constexpr UINT TTM_UPDATETIPTEXTW = WM_USER + 57;

constexpr UINT TTN_FIRST = 0u - 520u;
constexpr UINT TTN_SHOW = TTN_FIRST - 1;
constexpr UINT TTN_POP = TTN_FIRST - 2;
constexpr UINT TTN_GETDISPINFOW = TTN_FIRST - 10;

// A tool's text asked from its window by TTN_GETDISPINFOW each time the tip shows.
inline const LPWSTR LPSTR_TEXTCALLBACKW = reinterpret_cast<LPWSTR>(intptr_t(-1));

struct TOOLINFOW {
    UINT cbSize;
    UINT uFlags;
    HWND hwnd;    // the window that owns the tool and answers its notifications
    UINT_PTR uId; // the tool's id, or its window with TTF_IDISHWND
    RECT rect;    // in hwnd's client coordinates
    HINSTANCE hinst;
    LPWSTR lpszText; // text, LPSTR_TEXTCALLBACKW or null
    LPARAM lParam;
    void* lpReserved;
};

// TTN_GETDISPINFOW: the answer is lpszText, or text written into szText
// (at most 80 code units with its terminator).
struct NMTTDISPINFOW {
    NMHDR hdr;
    LPWSTR lpszText;
    WCHAR szText[80];
    HINSTANCE hinst;
    UINT uFlags;
    LPARAM lParam;
};

// --- Track bar ------------------------------------------------------------------------

constexpr DWORD TBS_HORZ = 0x0000;
constexpr DWORD TBS_AUTOTICKS = 0x0001;
constexpr DWORD TBS_VERT = 0x0002;
constexpr DWORD TBS_TOP = 0x0004; // ticks above a horizontal bar
constexpr DWORD TBS_LEFT = 0x0004; // ticks left of a vertical bar
constexpr DWORD TBS_BOTTOM = 0x0000;
constexpr DWORD TBS_RIGHT = 0x0000;
constexpr DWORD TBS_BOTH = 0x0008;
constexpr DWORD TBS_NOTICKS = 0x0010;
constexpr DWORD TBS_ENABLESELRANGE = 0x0020;
constexpr DWORD TBS_FIXEDLENGTH = 0x0040;
constexpr DWORD TBS_NOTHUMB = 0x0080;
constexpr DWORD TBS_TOOLTIPS = 0x0100;

constexpr UINT TBM_GETPOS = WM_USER;
constexpr UINT TBM_GETRANGEMIN = WM_USER + 1;
constexpr UINT TBM_GETRANGEMAX = WM_USER + 2;
constexpr UINT TBM_GETTIC = WM_USER + 3;
constexpr UINT TBM_SETTIC = WM_USER + 4;
constexpr UINT TBM_SETPOS = WM_USER + 5;
constexpr UINT TBM_SETRANGE = WM_USER + 6;
constexpr UINT TBM_SETRANGEMIN = WM_USER + 7;
constexpr UINT TBM_SETRANGEMAX = WM_USER + 8;
constexpr UINT TBM_CLEARTICS = WM_USER + 9;
constexpr UINT TBM_SETSEL = WM_USER + 10;
constexpr UINT TBM_SETSELSTART = WM_USER + 11;
constexpr UINT TBM_SETSELEND = WM_USER + 12;
constexpr UINT TBM_GETTICPOS = WM_USER + 15;
constexpr UINT TBM_GETNUMTICS = WM_USER + 16;
constexpr UINT TBM_GETSELSTART = WM_USER + 17;
constexpr UINT TBM_GETSELEND = WM_USER + 18;
constexpr UINT TBM_CLEARSEL = WM_USER + 19;
constexpr UINT TBM_SETTICFREQ = WM_USER + 20;
constexpr UINT TBM_SETPAGESIZE = WM_USER + 21;
constexpr UINT TBM_GETPAGESIZE = WM_USER + 22;
constexpr UINT TBM_SETLINESIZE = WM_USER + 23;
constexpr UINT TBM_GETLINESIZE = WM_USER + 24;
constexpr UINT TBM_GETTHUMBRECT = WM_USER + 25;
constexpr UINT TBM_GETCHANNELRECT = WM_USER + 26;
constexpr UINT TBM_SETTHUMBLENGTH = WM_USER + 27;
constexpr UINT TBM_GETTHUMBLENGTH = WM_USER + 28;
constexpr UINT TBM_SETTOOLTIPS = WM_USER + 29;
constexpr UINT TBM_GETTOOLTIPS = WM_USER + 30;
constexpr UINT TBM_SETTIPSIDE = WM_USER + 31;

// TBM_SETTIPSIDE: where the tracking tip shows beside the thumb.
constexpr WPARAM TBTS_TOP = 0;
constexpr WPARAM TBTS_LEFT = 1;
constexpr WPARAM TBTS_BOTTOM = 2;
constexpr WPARAM TBTS_RIGHT = 3;

// WM_HSCROLL/WM_VSCROLL codes a track bar sends.
constexpr WORD TB_LINEUP = 0;
constexpr WORD TB_LINEDOWN = 1;
constexpr WORD TB_PAGEUP = 2;
constexpr WORD TB_PAGEDOWN = 3;
constexpr WORD TB_THUMBPOSITION = 4;
constexpr WORD TB_THUMBTRACK = 5;
constexpr WORD TB_TOP = 6;
constexpr WORD TB_BOTTOM = 7;
constexpr WORD TB_ENDTRACK = 8;

// --- Up-down --------------------------------------------------------------------------

constexpr DWORD UDS_WRAP = 0x0001;        // stepping past one end goes to the other
constexpr DWORD UDS_SETBUDDYINT = 0x0002; // the buddy's text shows the position
constexpr DWORD UDS_ALIGNRIGHT = 0x0004;  // sits at the buddy's right edge
constexpr DWORD UDS_ALIGNLEFT = 0x0008;
constexpr DWORD UDS_AUTOBUDDY = 0x0010;   // the previous sibling becomes the buddy
constexpr DWORD UDS_ARROWKEYS = 0x0020;   // Up/Down (Left/Right) in the buddy step
constexpr DWORD UDS_HORZ = 0x0040;        // arrows left and right
constexpr DWORD UDS_NOTHOUSANDS = 0x0080;

constexpr UINT UDM_SETBUDDY = WM_USER + 105;
constexpr UINT UDM_GETBUDDY = WM_USER + 106;
constexpr UINT UDM_SETRANGE32 = WM_USER + 111; // wParam low, lParam high
constexpr UINT UDM_GETRANGE32 = WM_USER + 112; // wParam int* low, lParam int* high
constexpr UINT UDM_SETPOS32 = WM_USER + 113;   // answers the previous position
constexpr UINT UDM_GETPOS32 = WM_USER + 114;   // lParam BOOL*: the buddy's text was no number

constexpr UINT UDN_FIRST = 0u - 721;
// Sent before the position moves; a non-zero answer keeps it.
constexpr UINT UDN_DELTAPOS = UDN_FIRST - 1;

struct NMUPDOWN {
    NMHDR hdr;
    int iPos;   // the position now
    int iDelta; // the proposed step: positive towards the upper end
};

// --- Tab control ----------------------------------------------------------------------

// Styles: plain tabs on top are the only look drawn.
constexpr DWORD TCS_TABS = 0x0000;
constexpr DWORD TCS_FOCUSNEVER = 0x8000;

constexpr UINT TCM_FIRST = 0x1300;
constexpr UINT TCM_GETIMAGELIST = TCM_FIRST + 2;
constexpr UINT TCM_SETIMAGELIST = TCM_FIRST + 3;
constexpr UINT TCM_GETITEMCOUNT = TCM_FIRST + 4;
constexpr UINT TCM_DELETEITEM = TCM_FIRST + 8;
constexpr UINT TCM_DELETEALLITEMS = TCM_FIRST + 9;
constexpr UINT TCM_GETITEMRECT = TCM_FIRST + 10;
constexpr UINT TCM_GETCURSEL = TCM_FIRST + 11;
constexpr UINT TCM_SETCURSEL = TCM_FIRST + 12;
constexpr UINT TCM_HITTEST = TCM_FIRST + 13;
constexpr UINT TCM_ADJUSTRECT = TCM_FIRST + 40;
constexpr UINT TCM_GETROWCOUNT = TCM_FIRST + 44;
constexpr UINT TCM_GETITEMW = TCM_FIRST + 60;
constexpr UINT TCM_SETITEMW = TCM_FIRST + 61;
constexpr UINT TCM_INSERTITEMW = TCM_FIRST + 62;

constexpr UINT TCN_FIRST = 0u - 550u;
constexpr UINT TCN_KEYDOWN = TCN_FIRST - 0;
constexpr UINT TCN_SELCHANGE = TCN_FIRST - 1;
// Answering TRUE keeps the current tab.
constexpr UINT TCN_SELCHANGING = TCN_FIRST - 2;

// TCITEMW.mask
constexpr UINT TCIF_TEXT = 0x0001;
constexpr UINT TCIF_IMAGE = 0x0002;
constexpr UINT TCIF_PARAM = 0x0008;
constexpr UINT TCIF_STATE = 0x0010;

// TCITEMW.dwState
constexpr DWORD TCIS_BUTTONPRESSED = 0x0001;
constexpr DWORD TCIS_HIGHLIGHTED = 0x0002;

// TCHITTESTINFO.flags
constexpr UINT TCHT_NOWHERE = 0x0001;
constexpr UINT TCHT_ONITEMICON = 0x0002;
constexpr UINT TCHT_ONITEMLABEL = 0x0004;
constexpr UINT TCHT_ONITEM = TCHT_ONITEMICON | TCHT_ONITEMLABEL;

// A tab: TCM_GETITEMW copies at most cchTextMax units (with the terminator) into pszText.
struct TCITEMW {
    UINT mask;
    DWORD dwState;
    DWORD dwStateMask;
    LPWSTR pszText;
    int cchTextMax;
    int iImage;
    LPARAM lParam;
};

struct TCHITTESTINFO {
    POINT pt;
    UINT flags;
};

// --- Status bar -----------------------------------------------------------------------
constexpr DWORD SBARS_SIZEGRIP = 0x0100;
constexpr UINT SB_SETPARTS = 0x0404;
constexpr UINT SB_GETPARTS = 0x0406;
constexpr UINT SB_SETMINHEIGHT = 0x0408;
constexpr UINT SB_SIMPLE = 0x0409;
constexpr UINT SB_GETRECT = 0x040A;
constexpr UINT SB_SETTEXTW = 0x040B;
constexpr UINT SB_GETTEXTLENGTHW = 0x040C;
constexpr UINT SB_GETTEXTW = 0x040D;
constexpr UINT SB_ISSIMPLE = 0x040E;
// The part index of the simple-mode text.
constexpr UINT SB_SIMPLEID = 0xFF;
// Drawing types: the high byte of SB_SETTEXTW's part word.
constexpr UINT SBT_NOBORDERS = 0x0100;
constexpr UINT SBT_POPOUT = 0x0200;
constexpr UINT SBT_OWNERDRAW = 0x1000;

// --- Tree view ------------------------------------------------------------------------

struct TREEITEM__;
using HTREEITEM = TREEITEM__*;

constexpr DWORD TVS_HASBUTTONS = 0x0001;
constexpr DWORD TVS_HASLINES = 0x0002;
constexpr DWORD TVS_LINESATROOT = 0x0004;
constexpr DWORD TVS_DISABLEDRAGDROP = 0x0010;
constexpr DWORD TVS_SHOWSELALWAYS = 0x0020;
constexpr DWORD TVS_TRACKSELECT = 0x0200;
constexpr DWORD TVS_FULLROWSELECT = 0x1000;

constexpr UINT TV_FIRST = 0x1100;
constexpr UINT TVM_DELETEITEM = TV_FIRST + 1;
constexpr UINT TVM_EXPAND = TV_FIRST + 2;
constexpr UINT TVM_GETITEMRECT = TV_FIRST + 4;
constexpr UINT TVM_GETCOUNT = TV_FIRST + 5;
constexpr UINT TVM_GETINDENT = TV_FIRST + 6;
constexpr UINT TVM_SETINDENT = TV_FIRST + 7;
constexpr UINT TVM_GETIMAGELIST = TV_FIRST + 8;
constexpr UINT TVM_SETIMAGELIST = TV_FIRST + 9;
constexpr UINT TVM_GETNEXTITEM = TV_FIRST + 10;
constexpr UINT TVM_SELECTITEM = TV_FIRST + 11;
constexpr UINT TVM_GETVISIBLECOUNT = TV_FIRST + 16;
constexpr UINT TVM_HITTEST = TV_FIRST + 17;
constexpr UINT TVM_SORTCHILDREN = TV_FIRST + 19;
constexpr UINT TVM_ENSUREVISIBLE = TV_FIRST + 20;
constexpr UINT TVM_INSERTITEMW = TV_FIRST + 50;
constexpr UINT TVM_GETITEMW = TV_FIRST + 62;
constexpr UINT TVM_SETITEMW = TV_FIRST + 63;

// Where TVM_INSERTITEMW puts an item (TVINSERTSTRUCTW.hParent / hInsertAfter).
inline const HTREEITEM TVI_ROOT = reinterpret_cast<HTREEITEM>(-0x10000);
inline const HTREEITEM TVI_FIRST = reinterpret_cast<HTREEITEM>(-0x0FFFF);
inline const HTREEITEM TVI_LAST = reinterpret_cast<HTREEITEM>(-0x0FFFE);
inline const HTREEITEM TVI_SORT = reinterpret_cast<HTREEITEM>(-0x0FFFD);

constexpr UINT TVE_COLLAPSE = 0x0001;
constexpr UINT TVE_EXPAND = 0x0002;
constexpr UINT TVE_TOGGLE = 0x0003;

constexpr UINT TVGN_ROOT = 0x0000;
constexpr UINT TVGN_NEXT = 0x0001;
constexpr UINT TVGN_PREVIOUS = 0x0002;
constexpr UINT TVGN_PARENT = 0x0003;
constexpr UINT TVGN_CHILD = 0x0004;
constexpr UINT TVGN_FIRSTVISIBLE = 0x0005;
constexpr UINT TVGN_NEXTVISIBLE = 0x0006;
constexpr UINT TVGN_PREVIOUSVISIBLE = 0x0007;
constexpr UINT TVGN_DROPHILITE = 0x0008;
constexpr UINT TVGN_CARET = 0x0009;

constexpr WPARAM TVSIL_NORMAL = 0;
constexpr WPARAM TVSIL_STATE = 2;

constexpr UINT TVIF_TEXT = 0x0001;
constexpr UINT TVIF_IMAGE = 0x0002;
constexpr UINT TVIF_PARAM = 0x0004;
constexpr UINT TVIF_STATE = 0x0008;
constexpr UINT TVIF_HANDLE = 0x0010;
constexpr UINT TVIF_SELECTEDIMAGE = 0x0020;
constexpr UINT TVIF_CHILDREN = 0x0040;

constexpr UINT TVIS_SELECTED = 0x0002;
constexpr UINT TVIS_DROPHILITED = 0x0008;
constexpr UINT TVIS_BOLD = 0x0010;
constexpr UINT TVIS_EXPANDED = 0x0020;

// The parent supplies the value through TVN_GETDISPINFOW.
constexpr int I_IMAGECALLBACK = -1;
constexpr int I_CHILDRENCALLBACK = -1;

// TVM_HITTEST answers (TVHITTESTINFO.flags).
constexpr UINT TVHT_NOWHERE = 0x0001;
constexpr UINT TVHT_ONITEMICON = 0x0002;
constexpr UINT TVHT_ONITEMLABEL = 0x0004;
constexpr UINT TVHT_ONITEMINDENT = 0x0008;
constexpr UINT TVHT_ONITEMBUTTON = 0x0010;
constexpr UINT TVHT_ONITEMRIGHT = 0x0020;
constexpr UINT TVHT_ONITEM = TVHT_ONITEMICON | TVHT_ONITEMLABEL;
constexpr UINT TVHT_ABOVE = 0x0100;
constexpr UINT TVHT_BELOW = 0x0200;
constexpr UINT TVHT_TORIGHT = 0x0400;
constexpr UINT TVHT_TOLEFT = 0x0800;

// NMTREEVIEWW.action of the selection notifications: what caused the change.
constexpr UINT TVC_UNKNOWN = 0x0000;
constexpr UINT TVC_BYMOUSE = 0x0001;
constexpr UINT TVC_BYKEYBOARD = 0x0002;

constexpr UINT TVN_FIRST = 0u - 400u;
constexpr UINT TVN_KEYDOWN = TVN_FIRST - 12;
constexpr UINT TVN_SELCHANGINGW = TVN_FIRST - 50;
constexpr UINT TVN_SELCHANGEDW = TVN_FIRST - 51;
constexpr UINT TVN_GETDISPINFOW = TVN_FIRST - 52;
constexpr UINT TVN_ITEMEXPANDINGW = TVN_FIRST - 54;
constexpr UINT TVN_ITEMEXPANDEDW = TVN_FIRST - 55;
constexpr UINT TVN_DELETEITEMW = TVN_FIRST - 58;

struct TVITEMW {
    UINT mask = 0;
    HTREEITEM hItem = nullptr;
    UINT state = 0;
    UINT stateMask = 0;
    char16_t* pszText = nullptr;
    int cchTextMax = 0;
    int iImage = 0;
    int iSelectedImage = 0;
    int cChildren = 0;
    LPARAM lParam = 0;
};

struct TVINSERTSTRUCTW {
    HTREEITEM hParent;
    HTREEITEM hInsertAfter;
    TVITEMW item;
};

struct TVHITTESTINFO {
    POINT pt{};
    UINT flags = 0;
    HTREEITEM hItem = nullptr;
};

struct NMTREEVIEWW {
    NMHDR hdr;
    UINT action; // TVC_ for selections, TVE_ for expansions
    TVITEMW itemOld;
    TVITEMW itemNew;
    POINT ptDrag;
};

struct NMTVDISPINFOW {
    NMHDR hdr;
    TVITEMW item;
};

struct NMTVKEYDOWN {
    NMHDR hdr;
    WORD wVKey;
    UINT flags;
};

// --- Header ---------------------------------------------------------------------------

constexpr DWORD HDS_HORZ = 0x0000;
constexpr DWORD HDS_BUTTONS = 0x0002;
constexpr DWORD HDS_HIDDEN = 0x0008;
constexpr DWORD HDS_FULLDRAG = 0x0080;

constexpr UINT HDM_FIRST = 0x1200;
constexpr UINT HDM_GETITEMCOUNT = HDM_FIRST + 0;
constexpr UINT HDM_DELETEITEM = HDM_FIRST + 2;
constexpr UINT HDM_LAYOUT = HDM_FIRST + 5;
constexpr UINT HDM_HITTEST = HDM_FIRST + 6;
constexpr UINT HDM_GETITEMRECT = HDM_FIRST + 7;
constexpr UINT HDM_SETIMAGELIST = HDM_FIRST + 8;
constexpr UINT HDM_GETIMAGELIST = HDM_FIRST + 9;
constexpr UINT HDM_INSERTITEMW = HDM_FIRST + 10;
constexpr UINT HDM_GETITEMW = HDM_FIRST + 11;
constexpr UINT HDM_SETITEMW = HDM_FIRST + 12;

constexpr UINT HDI_WIDTH = 0x0001;
constexpr UINT HDI_TEXT = 0x0002;
constexpr UINT HDI_FORMAT = 0x0004;
constexpr UINT HDI_LPARAM = 0x0008;
constexpr UINT HDI_BITMAP = 0x0010;
constexpr UINT HDI_IMAGE = 0x0020;
constexpr UINT HDI_ORDER = 0x0080;

constexpr int HDF_LEFT = 0x0000;
constexpr int HDF_RIGHT = 0x0001;
constexpr int HDF_CENTER = 0x0002;
constexpr int HDF_JUSTIFYMASK = 0x0003;
constexpr int HDF_SORTDOWN = 0x0200;
constexpr int HDF_SORTUP = 0x0400;
constexpr int HDF_IMAGE = 0x0800;
constexpr int HDF_BITMAP = 0x2000;
constexpr int HDF_STRING = 0x4000;
constexpr int HDF_OWNERDRAW = 0x8000;

constexpr UINT HHT_NOWHERE = 0x0001;
constexpr UINT HHT_ONHEADER = 0x0002;
constexpr UINT HHT_ONDIVIDER = 0x0004;
constexpr UINT HHT_ONDIVOPEN = 0x0008;

constexpr UINT HDN_FIRST = 0u - 300u;
constexpr UINT HDN_ITEMCHANGINGW = HDN_FIRST - 20;
constexpr UINT HDN_ITEMCHANGEDW = HDN_FIRST - 21;
constexpr UINT HDN_ITEMCLICKW = HDN_FIRST - 22;
constexpr UINT HDN_DIVIDERDBLCLICKW = HDN_FIRST - 25;
constexpr UINT HDN_BEGINTRACKW = HDN_FIRST - 26;
constexpr UINT HDN_ENDTRACKW = HDN_FIRST - 27;
constexpr UINT HDN_TRACKW = HDN_FIRST - 28;

// WM_DRAWITEM's CtlType for an owner-drawn header item.
constexpr UINT ODT_HEADER = 100;

struct HDITEMW {
    UINT mask;
    int cxy;
    LPWSTR pszText;
    HBITMAP hbm;
    int cchTextMax;
    int fmt;
    LPARAM lParam;
    int iImage;
    int iOrder;
};

// HDM_LAYOUT: the header takes its place at the top of *prc, answers its
// window position and leaves the rest in *prc.
struct HDLAYOUT {
    RECT* prc;
    WINDOWPOS* pwpos;
};

struct HDHITTESTINFO {
    POINT pt;
    UINT flags;
    int iItem;
};

// HDN_ notifications; pitem carries the item's new values where the code has any.
struct NMHEADERW {
    NMHDR hdr;
    int iItem;
    int iButton;
    HDITEMW* pitem;
};

// --- List view ------------------------------------------------------------------------

constexpr DWORD LVS_ICON = 0x0000;
constexpr DWORD LVS_REPORT = 0x0001;
constexpr DWORD LVS_SMALLICON = 0x0002;
constexpr DWORD LVS_LIST = 0x0003;
constexpr DWORD LVS_TYPEMASK = 0x0003;
constexpr DWORD LVS_SINGLESEL = 0x0004;
constexpr DWORD LVS_SHOWSELALWAYS = 0x0008;
constexpr DWORD LVS_NOCOLUMNHEADER = 0x4000;
constexpr DWORD LVS_NOSORTHEADER = 0x8000;

constexpr DWORD LVS_EX_FULLROWSELECT = 0x0020;

constexpr UINT LVM_FIRST = 0x1000;
constexpr UINT LVM_GETIMAGELIST = LVM_FIRST + 2;
constexpr UINT LVM_SETIMAGELIST = LVM_FIRST + 3;
constexpr UINT LVM_GETITEMCOUNT = LVM_FIRST + 4;
constexpr UINT LVM_DELETEITEM = LVM_FIRST + 8;
constexpr UINT LVM_DELETEALLITEMS = LVM_FIRST + 9;
constexpr UINT LVM_GETNEXTITEM = LVM_FIRST + 12;
constexpr UINT LVM_GETITEMRECT = LVM_FIRST + 14;
constexpr UINT LVM_HITTEST = LVM_FIRST + 18;
constexpr UINT LVM_ENSUREVISIBLE = LVM_FIRST + 19;
constexpr UINT LVM_SCROLL = LVM_FIRST + 20;
constexpr UINT LVM_DELETECOLUMN = LVM_FIRST + 28;
constexpr UINT LVM_GETCOLUMNWIDTH = LVM_FIRST + 29;
constexpr UINT LVM_SETCOLUMNWIDTH = LVM_FIRST + 30;
constexpr UINT LVM_GETHEADER = LVM_FIRST + 31;
constexpr UINT LVM_GETTOPINDEX = LVM_FIRST + 39;
constexpr UINT LVM_GETCOUNTPERPAGE = LVM_FIRST + 40;
constexpr UINT LVM_SETITEMSTATE = LVM_FIRST + 43;
constexpr UINT LVM_GETITEMSTATE = LVM_FIRST + 44;
constexpr UINT LVM_SORTITEMS = LVM_FIRST + 48;
constexpr UINT LVM_SORTITEMSEX = LVM_FIRST + 81;
constexpr UINT LVM_SETEXTENDEDLISTVIEWSTYLE = LVM_FIRST + 54;
constexpr UINT LVM_GETEXTENDEDLISTVIEWSTYLE = LVM_FIRST + 55;
constexpr UINT LVM_GETITEMW = LVM_FIRST + 75;
constexpr UINT LVM_SETITEMW = LVM_FIRST + 76;
constexpr UINT LVM_INSERTITEMW = LVM_FIRST + 77;
constexpr UINT LVM_GETCOLUMNW = LVM_FIRST + 95;
constexpr UINT LVM_SETCOLUMNW = LVM_FIRST + 96;
constexpr UINT LVM_INSERTCOLUMNW = LVM_FIRST + 97;
constexpr UINT LVM_GETITEMTEXTW = LVM_FIRST + 115;
constexpr UINT LVM_SETITEMTEXTW = LVM_FIRST + 116;
constexpr UINT LVM_GETVIEW = LVM_FIRST + 143;

constexpr DWORD LV_VIEW_ICON = 0;
constexpr DWORD LV_VIEW_DETAILS = 1;
constexpr DWORD LV_VIEW_SMALLICON = 2;
constexpr DWORD LV_VIEW_LIST = 3;

constexpr int LVSIL_NORMAL = 0;
constexpr int LVSIL_SMALL = 1;

constexpr UINT LVIF_TEXT = 0x0001;
constexpr UINT LVIF_IMAGE = 0x0002;
constexpr UINT LVIF_PARAM = 0x0004;
constexpr UINT LVIF_STATE = 0x0008;

constexpr UINT LVIS_FOCUSED = 0x0001;
constexpr UINT LVIS_SELECTED = 0x0002;

constexpr UINT LVNI_ALL = 0x0000;
constexpr UINT LVNI_FOCUSED = 0x0001;
constexpr UINT LVNI_SELECTED = 0x0002;

constexpr int LVIR_BOUNDS = 0;
constexpr int LVIR_ICON = 1;
constexpr int LVIR_LABEL = 2;
constexpr int LVIR_SELECTBOUNDS = 3;

constexpr UINT LVHT_NOWHERE = 0x0001;
constexpr UINT LVHT_ONITEMICON = 0x0002;
constexpr UINT LVHT_ONITEMLABEL = 0x0004;
constexpr UINT LVHT_ONITEM = 0x000E;
constexpr UINT LVHT_ABOVE = 0x0008;
constexpr UINT LVHT_BELOW = 0x0010;
constexpr UINT LVHT_TORIGHT = 0x0020;

constexpr UINT LVCF_FMT = 0x0001;
constexpr UINT LVCF_WIDTH = 0x0002;
constexpr UINT LVCF_TEXT = 0x0004;
constexpr UINT LVCF_SUBITEM = 0x0008;

constexpr int LVCFMT_LEFT = 0x0000;
constexpr int LVCFMT_RIGHT = 0x0001;
constexpr int LVCFMT_CENTER = 0x0002;
constexpr int LVCFMT_JUSTIFYMASK = 0x0003;

constexpr int LVSCW_AUTOSIZE = -1;
constexpr int LVSCW_AUTOSIZE_USEHEADER = -2;

constexpr UINT LVN_FIRST = 0u - 100u;
constexpr UINT LVN_ITEMCHANGED = LVN_FIRST - 1;
constexpr UINT LVN_COLUMNCLICK = LVN_FIRST - 8;
constexpr UINT LVN_KEYDOWN = LVN_FIRST - 55;

struct LVITEMW {
    UINT mask;
    int iItem;
    int iSubItem;
    UINT state;
    UINT stateMask;
    LPWSTR pszText;
    int cchTextMax;
    int iImage;
    LPARAM lParam;
    int iIndent;
};

struct LVCOLUMNW {
    UINT mask;
    int fmt;
    int cx;
    LPWSTR pszText;
    int cchTextMax;
    int iSubItem;
    int iImage;
    int iOrder;
};

struct LVHITTESTINFO {
    POINT pt;
    UINT flags;
    int iItem;
    int iSubItem;
};

// LVN_ITEMCHANGED and LVN_COLUMNCLICK (iItem -1, iSubItem the column).
struct NMLISTVIEW {
    NMHDR hdr;
    int iItem;
    int iSubItem;
    UINT uNewState;
    UINT uOldState;
    UINT uChanged;
    POINT ptAction;
    LPARAM lParam;
};

// NM_CLICK, NM_DBLCLK and NM_RCLICK of a list view.
struct NMITEMACTIVATE {
    NMHDR hdr;
    int iItem;
    int iSubItem;
    UINT uNewState;
    UINT uOldState;
    UINT uChanged;
    POINT ptAction;
    LPARAM lParam;
    UINT uKeyFlags;
};

struct NMLVKEYDOWN {
    NMHDR hdr;
    WORD wVKey;
    UINT flags;
};

// LVM_SORTITEMS: negative, zero or positive for the two items' lParams;
// LVM_SORTITEMSEX: the same for the two items' indexes before the sort.
using PFNLVCOMPARE = int (*)(LPARAM, LPARAM, LPARAM);

// --- Toolbar --------------------------------------------------------------------------

// Window styles.
constexpr DWORD TBSTYLE_TOOLTIPS = 0x0100;  // the bar makes its own tool tip window
constexpr DWORD TBSTYLE_WRAPABLE = 0x0200;  // buttons wrap into further rows
constexpr DWORD TBSTYLE_ALTDRAG = 0x0400;
constexpr DWORD TBSTYLE_FLAT = 0x0800;      // edges only when hot or pressed
constexpr DWORD TBSTYLE_LIST = 0x1000;      // captions right of the images
constexpr DWORD TBSTYLE_CUSTOMERASE = 0x2000;
constexpr DWORD TBSTYLE_REGISTERDROP = 0x4000;
constexpr DWORD TBSTYLE_TRANSPARENT = 0x8000;

// Extended styles (TB_SETEXTENDEDSTYLE).
constexpr DWORD TBSTYLE_EX_DRAWDDARROWS = 0x0001; // drop-down buttons get an arrow part of their own
constexpr DWORD TBSTYLE_EX_MIXEDBUTTONS = 0x0008;
constexpr DWORD TBSTYLE_EX_HIDECLIPPEDBUTTONS = 0x0010;

// Button styles (TBBUTTON.fsStyle).
constexpr BYTE BTNS_BUTTON = 0x00;
constexpr BYTE BTNS_SEP = 0x01;
constexpr BYTE BTNS_CHECK = 0x02;
constexpr BYTE BTNS_GROUP = 0x04;
constexpr BYTE BTNS_CHECKGROUP = BTNS_GROUP | BTNS_CHECK;
constexpr BYTE BTNS_DROPDOWN = 0x08;
constexpr BYTE BTNS_AUTOSIZE = 0x10;      // as wide as its image and caption, not the bar's button width
constexpr BYTE BTNS_NOPREFIX = 0x20;
constexpr BYTE BTNS_SHOWTEXT = 0x40;
constexpr BYTE BTNS_WHOLEDROPDOWN = 0x80; // the arrow inside; a press anywhere drops down
// The older names of the same bits.
constexpr BYTE TBSTYLE_BUTTON = BTNS_BUTTON;
constexpr BYTE TBSTYLE_SEP = BTNS_SEP;
constexpr BYTE TBSTYLE_CHECK = BTNS_CHECK;
constexpr BYTE TBSTYLE_GROUP = BTNS_GROUP;
constexpr BYTE TBSTYLE_CHECKGROUP = BTNS_CHECKGROUP;
constexpr BYTE TBSTYLE_DROPDOWN = BTNS_DROPDOWN;
constexpr BYTE TBSTYLE_AUTOSIZE = BTNS_AUTOSIZE;
constexpr BYTE TBSTYLE_NOPREFIX = BTNS_NOPREFIX;

// Button states (TBBUTTON.fsState).
constexpr BYTE TBSTATE_CHECKED = 0x01;
constexpr BYTE TBSTATE_PRESSED = 0x02;
constexpr BYTE TBSTATE_ENABLED = 0x04;
constexpr BYTE TBSTATE_HIDDEN = 0x08;
constexpr BYTE TBSTATE_INDETERMINATE = 0x10;
constexpr BYTE TBSTATE_WRAP = 0x20;       // the next button starts a new row
constexpr BYTE TBSTATE_ELLIPSES = 0x40;
constexpr BYTE TBSTATE_MARKED = 0x80;

// A button without an image.
constexpr int I_IMAGENONE = -2;

constexpr UINT TB_ENABLEBUTTON = WM_USER + 1;     // wParam id, LOWORD(lParam) enable
constexpr UINT TB_CHECKBUTTON = WM_USER + 2;      // wParam id, LOWORD(lParam) check
constexpr UINT TB_PRESSBUTTON = WM_USER + 3;
constexpr UINT TB_HIDEBUTTON = WM_USER + 4;       // wParam id, LOWORD(lParam) hide
constexpr UINT TB_INDETERMINATE = WM_USER + 5;
constexpr UINT TB_ISBUTTONENABLED = WM_USER + 9;
constexpr UINT TB_ISBUTTONCHECKED = WM_USER + 10;
constexpr UINT TB_ISBUTTONPRESSED = WM_USER + 11;
constexpr UINT TB_ISBUTTONHIDDEN = WM_USER + 12;
constexpr UINT TB_SETSTATE = WM_USER + 17;        // wParam id, LOWORD(lParam) the TBSTATE_ bits
constexpr UINT TB_GETSTATE = WM_USER + 18;        // wParam id; -1 for an unknown id
constexpr UINT TB_DELETEBUTTON = WM_USER + 22;    // wParam index
constexpr UINT TB_GETBUTTON = WM_USER + 23;       // wParam index, lParam TBBUTTON*
constexpr UINT TB_BUTTONCOUNT = WM_USER + 24;
constexpr UINT TB_COMMANDTOINDEX = WM_USER + 25;  // wParam id; -1 for an unknown id
constexpr UINT TB_GETITEMRECT = WM_USER + 29;     // wParam index, lParam RECT*
constexpr UINT TB_BUTTONSTRUCTSIZE = WM_USER + 30;
constexpr UINT TB_SETBUTTONSIZE = WM_USER + 31;   // lParam MAKELONG(width, height)
constexpr UINT TB_SETBITMAPSIZE = WM_USER + 32;   // lParam MAKELONG(width, height)
constexpr UINT TB_AUTOSIZE = WM_USER + 33;
constexpr UINT TB_GETTOOLTIPS = WM_USER + 35;
constexpr UINT TB_SETTOOLTIPS = WM_USER + 36;
constexpr UINT TB_GETROWS = WM_USER + 40;
constexpr UINT TB_SETINDENT = WM_USER + 47;       // wParam pixels before the first button of each row
constexpr UINT TB_SETIMAGELIST = WM_USER + 48;    // lParam HIMAGELIST; answers the previous list
constexpr UINT TB_GETIMAGELIST = WM_USER + 49;
constexpr UINT TB_GETRECT = WM_USER + 51;         // wParam id, lParam RECT*
constexpr UINT TB_SETHOTIMAGELIST = WM_USER + 52;
constexpr UINT TB_GETHOTIMAGELIST = WM_USER + 53;
constexpr UINT TB_SETDISABLEDIMAGELIST = WM_USER + 54;
constexpr UINT TB_GETDISABLEDIMAGELIST = WM_USER + 55;
constexpr UINT TB_SETSTYLE = WM_USER + 56;
constexpr UINT TB_GETSTYLE = WM_USER + 57;
constexpr UINT TB_GETBUTTONSIZE = WM_USER + 58;   // MAKELONG(width, height)
constexpr UINT TB_SETMAXTEXTROWS = WM_USER + 60;  // wParam rows; 0 hides the captions
constexpr UINT TB_GETTEXTROWS = WM_USER + 61;
constexpr UINT TB_GETBUTTONINFOW = WM_USER + 63;  // wParam id (index with TBIF_BYINDEX), lParam TBBUTTONINFOW*
constexpr UINT TB_SETBUTTONINFOW = WM_USER + 64;
constexpr UINT TB_INSERTBUTTONW = WM_USER + 67;   // wParam index, lParam TBBUTTON*
constexpr UINT TB_ADDBUTTONSW = WM_USER + 68;     // wParam count, lParam TBBUTTON[]
// lParam POINT* in client coordinates; answers the button's index there, on a
// separator -1 - its index, elsewhere -1 - the number of buttons.
constexpr UINT TB_HITTEST = WM_USER + 69;
constexpr UINT TB_GETHOTITEM = WM_USER + 71;
constexpr UINT TB_SETHOTITEM = WM_USER + 72;
// wParam id, lParam the buffer; answers the caption's length (-1 for an unknown
// id). The message carries no size: a buffer must hold the length a null
// buffer answers plus the terminator.
constexpr UINT TB_GETBUTTONTEXTW = WM_USER + 75;
constexpr UINT TB_ADDSTRINGW = WM_USER + 77;      // wParam 0, lParam strings each ending in a null, a null last
constexpr UINT TB_GETMAXSIZE = WM_USER + 83;      // lParam SIZE*
constexpr UINT TB_SETEXTENDEDSTYLE = WM_USER + 84; // lParam TBSTYLE_EX_ bits; answers the previous ones
constexpr UINT TB_GETEXTENDEDSTYLE = WM_USER + 85;

constexpr UINT TBN_FIRST = 0u - 700u;
constexpr UINT TBN_DROPDOWN = TBN_FIRST - 10;       // NMTOOLBARW: iItem the id, rcButton the button
constexpr UINT TBN_DELETINGBUTTON = TBN_FIRST - 15; // NMTOOLBARW: iItem the id, tbButton the button

// TBN_DROPDOWN's answers.
constexpr LRESULT TBDDRET_DEFAULT = 0;
constexpr LRESULT TBDDRET_NODEFAULT = 1;
constexpr LRESULT TBDDRET_TREATPRESSED = 2;

// TBBUTTONINFOW.dwMask
constexpr DWORD TBIF_IMAGE = 0x0001;
constexpr DWORD TBIF_TEXT = 0x0002;
constexpr DWORD TBIF_STATE = 0x0004;
constexpr DWORD TBIF_STYLE = 0x0008;
constexpr DWORD TBIF_LPARAM = 0x0010;
constexpr DWORD TBIF_COMMAND = 0x0020;
constexpr DWORD TBIF_SIZE = 0x0040;
constexpr DWORD TBIF_BYINDEX = 0x80000000; // wParam is an index, not an id

struct TBBUTTON {
    int iBitmap;       // the image index, or I_IMAGENONE
    int idCommand;
    BYTE fsState;
    BYTE fsStyle;
    BYTE bReserved[sizeof(void*) - 2];
    DWORD_PTR dwData;
    INT_PTR iString;   // the caption (LPCWSTR), or below 0x10000 an index of TB_ADDSTRINGW's strings, or -1
};

struct TBBUTTONINFOW {
    UINT cbSize;
    DWORD dwMask;
    int idCommand;
    int iImage;
    BYTE fsState;
    BYTE fsStyle;
    WORD cx;
    DWORD_PTR lParam;
    LPWSTR pszText;
    int cchText;       // TB_GETBUTTONINFOW writes at most this many units with the terminator
};

struct NMTOOLBARW {
    NMHDR hdr;
    int iItem;         // the button's id
    TBBUTTON tbButton;
    int cchText;
    LPWSTR pszText;
    RECT rcButton;     // the button in the toolbar's client coordinates
};
