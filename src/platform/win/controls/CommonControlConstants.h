#pragma once
// Styles, messages, notifications and records of the common controls:
// "tooltips_class32", "msctls_trackbar32", "msctls_updown32", "SysTabControl32",
// "msctls_statusbar32", "SysTreeView32", "SysHeader32", "SysListView32".

#include "platform/win/Types.h"

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

// --- Tab control ----------------------------------------------------------------------

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

// --- Header ---------------------------------------------------------------------------

// --- List view ------------------------------------------------------------------------
