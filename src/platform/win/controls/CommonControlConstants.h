#pragma once
// Styles, messages, notifications and records of the common controls:
// "tooltips_class32", "msctls_trackbar32", "msctls_updown32", "SysTabControl32",
// "msctls_statusbar32", "SysTreeView32", "SysHeader32", "SysListView32".

#include "platform/win/Constants.h"

// Notification codes every common control may send (NMHDR.code).
constexpr UINT NM_FIRST = 0u;
constexpr UINT NM_CLICK = NM_FIRST - 2;
constexpr UINT NM_DBLCLK = NM_FIRST - 3;
constexpr UINT NM_RETURN = NM_FIRST - 4;
constexpr UINT NM_RCLICK = NM_FIRST - 5;
constexpr UINT NM_SETFOCUS = NM_FIRST - 7;
constexpr UINT NM_KILLFOCUS = NM_FIRST - 8;

// --- Tool tips ------------------------------------------------------------------------

// --- Track bar ------------------------------------------------------------------------

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

// --- Status bar -----------------------------------------------------------------------

// --- Tree view ------------------------------------------------------------------------

// --- Header ---------------------------------------------------------------------------

// --- List view ------------------------------------------------------------------------
