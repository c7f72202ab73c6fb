#pragma once
// Basic types, handles, records and parameter-packing helpers of the window
// system. Constants live in Constants.h.

#include <cstdint>

// Scalars. WCHAR is UTF-16 (as String), never the 32-bit wchar_t of Linux.
using BYTE = uint8_t;
using WORD = uint16_t;
using SHORT = int16_t;
using DWORD = uint32_t;
using UINT = uint32_t;
using INT = int32_t;
using LONG = int32_t;
using ULONG = uint32_t;
using BOOL = int32_t;
using ATOM = WORD;
using COLORREF = DWORD;
using UINT_PTR = uintptr_t;
using INT_PTR = intptr_t;
using LONG_PTR = intptr_t;
using ULONG_PTR = uintptr_t;
using DWORD_PTR = uintptr_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using WCHAR = char16_t;
using LPWSTR = WCHAR*;
using LPCWSTR = const WCHAR*;
using LPVOID = void*;
using HANDLE = void*;

#ifndef TRUE
constexpr BOOL TRUE = 1;
#endif
#ifndef FALSE
constexpr BOOL FALSE = 0;
#endif

// Handles. Each kind is a distinct pointer type to an incomplete struct, so
// kinds never convert into one another, 0 (nullptr) means none, and handles
// compare and hash like pointers. A handle is never an address but a number
// (see MakeHandle); small values such as (HBRUSH)(COLOR_WINDOW + 1) or
// (HBITMAP)1 are markers the callee recognises.
struct HWND__;
struct HINSTANCE__;
struct HMENU__;
struct HCURSOR__;
struct HICON__;
struct HBRUSH__;
struct HRGN__;
struct HDC__;
struct HBITMAP__;
struct HFONT__;
struct HPEN__;
struct HGDIOBJ__;
struct HMONITOR__;
struct HIMC__;
struct HIMAGELIST__;
using HWND = HWND__*;
using HINSTANCE = HINSTANCE__*;
using HMODULE = HINSTANCE;
using HMENU = HMENU__*;
using HCURSOR = HCURSOR__*;
using HICON = HICON__*;
using HBRUSH = HBRUSH__*;
using HRGN = HRGN__*;
using HDC = HDC__*;
using HBITMAP = HBITMAP__*;
using HFONT = HFONT__*;
using HPEN = HPEN__*;
using HGDIOBJ = HGDIOBJ__*;
using HMONITOR = HMONITOR__*;
using HIMC = HIMC__*;
using HIMAGELIST = HIMAGELIST__*;

// The value of a handle made by a table of objects: bits 0-31 hold the slot
// index, bits 32-62 a generation (1 .. 0x7FFFFFFF) that the table changes
// whenever the slot is reused, so a stale handle is told apart from the slot's
// new owner. An encoded handle is therefore never 0, never below 2^32 (the
// marker values) and never negative (HWND_TOPMOST, HWND_NOTOPMOST, HWND_MESSAGE).
constexpr uint32_t kMaxHandleGeneration = 0x7FFFFFFF;

template <class Handle>
inline Handle MakeHandle(uint32_t index, uint32_t generation) noexcept {
    return reinterpret_cast<Handle>(uintptr_t{generation} << 32 | index);
}
template <class Handle>
inline uint32_t HandleIndex(Handle handle) noexcept {
    return uint32_t(reinterpret_cast<uintptr_t>(handle));
}
// 0 for a value that is not an encoded handle (null, a marker, a negative special).
template <class Handle>
inline uint32_t HandleGeneration(Handle handle) noexcept {
    const uintptr_t generation = reinterpret_cast<uintptr_t>(handle) >> 32;
    return generation <= kMaxHandleGeneration ? uint32_t(generation) : 0;
}

// Procedures. A WNDPROC is a plain function pointer, so procedures compare by
// value and a subclassing chain can test "is this still the one I installed".
// An object instance (MakeObjectInstance) binds a C++ callable to one of a
// fixed pool of distinct trampoline functions, so it is a real WNDPROC too.
using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
using TIMERPROC = void (*)(HWND, UINT, UINT_PTR, DWORD);
using WNDENUMPROC = BOOL (*)(HWND, LPARAM);
// An entry point as GetProcAddress answers it; callers cast it to its real type
// (the compiler accepts casts from void (*)() without a warning).
using FARPROC = void (*)();

// Records. Integer fields are 32 bits wide as in the published layouts, so
// records with a length field (WINDOWPLACEMENT: 44) keep their sizes.
struct POINT {
    LONG x, y;
    friend bool operator==(const POINT&, const POINT&) = default;
};
struct SIZE {
    LONG cx, cy;
    friend bool operator==(const SIZE&, const SIZE&) = default;
};
struct RECT {
    LONG left, top, right, bottom;
    friend bool operator==(const RECT&, const RECT&) = default;
};
struct POINTS {
    SHORT x, y;
};

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};

// WM_NOTIFY's lParam starts with this header.
struct NMHDR {
    HWND hwndFrom;
    UINT_PTR idFrom;
    UINT code;
};

// Owner-drawn items: WM_DRAWITEM, WM_MEASUREITEM, WM_DELETEITEM and
// WM_COMPAREITEM carry one of these in lParam.
struct DRAWITEMSTRUCT {
    UINT CtlType;
    UINT CtlID;
    UINT itemID;
    UINT itemAction;
    UINT itemState;
    HWND hwndItem;
    HDC hDC;
    RECT rcItem;
    ULONG_PTR itemData;
};

struct MEASUREITEMSTRUCT {
    UINT CtlType;
    UINT CtlID;
    UINT itemID;
    UINT itemWidth;
    UINT itemHeight;
    ULONG_PTR itemData;
};

struct DELETEITEMSTRUCT {
    UINT CtlType;
    UINT CtlID;
    UINT itemID;
    HWND hwndItem;
    ULONG_PTR itemData;
};

struct COMPAREITEMSTRUCT {
    UINT CtlType;
    UINT CtlID;
    HWND hwndItem;
    UINT itemID1;
    ULONG_PTR itemData1;
    UINT itemID2;
    ULONG_PTR itemData2;
    DWORD dwLocaleId;
};

struct WINDOWPOS {
    HWND hwnd;
    HWND hwndInsertAfter;
    int x, y, cx, cy;
    UINT flags;
};

struct CREATESTRUCTW {
    LPVOID lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy, cx, y, x;
    LONG style;
    LPCWSTR lpszName;
    LPCWSTR lpszClass;
    DWORD dwExStyle;
};

struct MINMAXINFO {
    POINT ptReserved;
    POINT ptMaxSize;
    POINT ptMaxPosition;
    POINT ptMinTrackSize;
    POINT ptMaxTrackSize;
};

struct NCCALCSIZE_PARAMS {
    RECT rgrc[3];
    WINDOWPOS* lppos;
};

struct WINDOWPLACEMENT {
    UINT length;
    UINT flags;
    UINT showCmd;
    POINT ptMinPosition;
    POINT ptMaxPosition;
    RECT rcNormalPosition;
};

struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
};

struct WNDCLASSW {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCWSTR lpszMenuName;
    LPCWSTR lpszClassName;
};

struct WNDCLASSEXW {
    UINT cbSize;
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCWSTR lpszMenuName;
    LPCWSTR lpszClassName;
    HICON hIconSm;
};

// TrackMouseEvent's request.
struct TRACKMOUSEEVENT {
    DWORD cbSize;
    DWORD dwFlags;
    HWND hwndTrack;
    DWORD dwHoverTime;
};

struct SCROLLINFO {
    UINT cbSize;
    UINT fMask;
    int nMin;
    int nMax;
    UINT nPage;
    int nPos;
    int nTrackPos;
};

constexpr int CCHDEVICENAME = 32;

// cbSize tells the two apart: 40 or 104.
struct MONITORINFO {
    DWORD cbSize;
    RECT rcMonitor;
    RECT rcWork;
    DWORD dwFlags;
};
struct MONITORINFOEXW : MONITORINFO {
    WCHAR szDevice[CCHDEVICENAME];
};
using MONITORENUMPROC = BOOL (*)(HMONITOR, HDC, RECT*, LPARAM);

struct COMPOSITIONFORM {
    DWORD dwStyle;
    POINT ptCurrentPos;
    RECT rcArea;
};

struct LOGFONTW {
    LONG lfHeight;
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    WCHAR lfFaceName[32];
};

// cbSize is 504, or 500 for the older record without iPaddedBorderWidth.
struct NONCLIENTMETRICSW {
    UINT cbSize;
    int iBorderWidth;
    int iScrollWidth;
    int iScrollHeight;
    int iCaptionWidth;
    int iCaptionHeight;
    LOGFONTW lfCaptionFont;
    int iSmCaptionWidth;
    int iSmCaptionHeight;
    LOGFONTW lfSmCaptionFont;
    int iMenuWidth;
    int iMenuHeight;
    LOGFONTW lfMenuFont;
    LOGFONTW lfStatusFont;
    LOGFONTW lfMessageFont;
    int iPaddedBorderWidth;
};

// Menus. MENUITEMINFOW.iImage and MENUINFO.hImageList are the platform's own
// (MIIM_IMAGE, MIM_IMAGELIST): menu items draw images of an image list.

struct MENUITEMINFOW {
    UINT cbSize;
    UINT fMask;
    UINT fType;
    UINT fState;
    UINT wID;
    HMENU hSubMenu;
    HBITMAP hbmpChecked;
    HBITMAP hbmpUnchecked;
    ULONG_PTR dwItemData;
    LPWSTR dwTypeData;
    UINT cch;
    HBITMAP hbmpItem;
    int iImage;
};

struct MENUINFO {
    DWORD cbSize;
    DWORD fMask;
    DWORD dwStyle;
    UINT cyMax;
    HBRUSH hbrBack;
    DWORD dwContextHelpID;
    ULONG_PTR dwMenuData;
    HIMAGELIST hImageList;
};

// TrackPopupMenuEx: a screen rectangle the menu must not cover.
struct TPMPARAMS {
    UINT cbSize;
    RECT rcExclude;
};

// Packing of message parameters. The X and Y of a point in an LPARAM are
// signed 16-bit values (positions left of or above a window are negative).
constexpr WORD LOWORD(uintptr_t value) noexcept { return WORD(value & 0xFFFF); }
constexpr WORD HIWORD(uintptr_t value) noexcept { return WORD(value >> 16 & 0xFFFF); }
constexpr BYTE LOBYTE(uintptr_t value) noexcept { return BYTE(value & 0xFF); }
constexpr BYTE HIBYTE(uintptr_t value) noexcept { return BYTE(value >> 8 & 0xFF); }
constexpr WORD MAKEWORD(BYTE low, BYTE high) noexcept { return WORD(low | high << 8); }
constexpr DWORD MAKELONG(WORD low, WORD high) noexcept { return DWORD(low) | DWORD(high) << 16; }
constexpr LPARAM MAKELPARAM(WORD low, WORD high) noexcept { return LPARAM(MAKELONG(low, high)); }
constexpr WPARAM MAKEWPARAM(WORD low, WORD high) noexcept { return WPARAM(MAKELONG(low, high)); }
constexpr LRESULT MAKELRESULT(WORD low, WORD high) noexcept { return LRESULT(MAKELONG(low, high)); }
constexpr int GET_X_LPARAM(LPARAM lParam) noexcept { return SHORT(LOWORD(lParam)); }
constexpr int GET_Y_LPARAM(LPARAM lParam) noexcept { return SHORT(HIWORD(lParam)); }
// The point a mouse message carries in its lParam.
constexpr POINT PointOf(LPARAM lParam) noexcept { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }
constexpr SHORT GET_WHEEL_DELTA_WPARAM(WPARAM wParam) noexcept { return SHORT(HIWORD(wParam)); }
constexpr WORD GET_KEYSTATE_WPARAM(WPARAM wParam) noexcept { return LOWORD(wParam); }
constexpr WORD GET_XBUTTON_WPARAM(WPARAM wParam) noexcept { return HIWORD(wParam); }

constexpr COLORREF RGB(BYTE red, BYTE green, BYTE blue) noexcept {
    return COLORREF(red) | COLORREF(green) << 8 | COLORREF(blue) << 16;
}
constexpr BYTE GetRValue(COLORREF color) noexcept { return BYTE(color); }
constexpr BYTE GetGValue(COLORREF color) noexcept { return BYTE(color >> 8); }
constexpr BYTE GetBValue(COLORREF color) noexcept { return BYTE(color >> 16); }

// Resource and class names given as 16-bit numbers instead of strings.
inline LPWSTR MAKEINTRESOURCEW(WORD id) noexcept { return reinterpret_cast<LPWSTR>(uintptr_t{id}); }
inline LPWSTR MAKEINTATOM(ATOM atom) noexcept { return MAKEINTRESOURCEW(atom); }
inline bool IS_INTRESOURCE(LPCWSTR name) noexcept { return reinterpret_cast<uintptr_t>(name) >> 16 == 0; }
