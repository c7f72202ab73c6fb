#pragma once
// Icons and cursors: a colour image (32 bits with straight alpha, or fewer
// bits), a monochrome mask whose 1 bits keep what lies beneath, a hot spot and
// the icon flag. An icon whose colour has any non-zero alpha draws by that
// alpha; any other draws by the mask rule (beneath AND mask) XOR colour.
//
// Icons and cursors are one kind of object: an HCURSOR is an HICON. The
// standard cursors (LoadCursorW(nullptr, IDC_x)) are markers the presenter
// maps to the desktop's own shapes. Icons loaded with LoadIconW, LoadCursorW
// or LoadImageW(LR_SHARED) are shared: DestroyIcon leaves them alone.
//
// Resources: "ICON" and "CURSOR" hold whole ICO and CUR files, "BITMAP" BMP
// files; a resource named by number N is the resource "#N". With no instance,
// IDI_x names the platform's own icons.

#include <cstdint>
#include <vector>

#include "platform/win/gdi/GdiTypes.h"

struct ICONINFO {
    BOOL fIcon;
    DWORD xHotspot;
    DWORD yHotspot;
    HBITMAP hbmMask;
    HBITMAP hbmColor;
};

// Stock icons (LoadIconW(nullptr, IDI_x)).
inline const LPCWSTR IDI_APPLICATION = MAKEINTRESOURCEW(32512);
inline const LPCWSTR IDI_HAND = MAKEINTRESOURCEW(32513);
inline const LPCWSTR IDI_QUESTION = MAKEINTRESOURCEW(32514);
inline const LPCWSTR IDI_EXCLAMATION = MAKEINTRESOURCEW(32515);
inline const LPCWSTR IDI_ASTERISK = MAKEINTRESOURCEW(32516);
inline const LPCWSTR IDI_ERROR = IDI_HAND;
inline const LPCWSTR IDI_WARNING = IDI_EXCLAMATION;
inline const LPCWSTR IDI_INFORMATION = IDI_ASTERISK;

// LoadImageW.
constexpr UINT IMAGE_BITMAP = 0;
constexpr UINT IMAGE_ICON = 1;
constexpr UINT IMAGE_CURSOR = 2;
constexpr UINT LR_DEFAULTCOLOR = 0x00000000;
constexpr UINT LR_DEFAULTSIZE = 0x00000040;
constexpr UINT LR_CREATEDIBSECTION = 0x00002000;
constexpr UINT LR_SHARED = 0x00008000;

// DrawIconEx.
constexpr UINT DI_MASK = 0x0001;
constexpr UINT DI_IMAGE = 0x0002;
constexpr UINT DI_NORMAL = 0x0003;
constexpr UINT DI_COMPAT = 0x0004;
constexpr UINT DI_DEFAULTSIZE = 0x0008;

// The bitmaps are copied: the caller keeps and frees its own. Without a
// colour bitmap the mask is twice the height: the AND rows over the XOR rows.
HICON CreateIconIndirect(const ICONINFO* info);
// Fresh copies the caller frees: the colour as a 32-bit top-down DIB section
// (null for a monochrome icon) and the mask as a monochrome bitmap.
BOOL GetIconInfo(HICON icon, ICONINFO* info);
HICON CopyIcon(HICON icon);
BOOL DestroyIcon(HICON icon);
BOOL DestroyCursor(HCURSOR cursor);

// Width and height 0: the icon's own size (the system icon size with
// DI_DEFAULTSIZE); other sizes stretch. DI_MASK or DI_IMAGE alone copies that
// part. A flicker-free brush fills the rectangle before the icon is drawn.
BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int width, int height, UINT step, HBRUSH flickerFreeBrush,
                UINT flags);
// DrawIconEx with DI_NORMAL | DI_DEFAULTSIZE.
BOOL DrawIcon(HDC dc, int x, int y, HICON icon);

// The system icon size (SM_CXICON).
HICON LoadIconW(HINSTANCE instance, LPCWSTR name);
// Width and height 0: the system size with LR_DEFAULTSIZE, else the size of
// the resource's first image; the entry nearest in size (then deepest in
// colour) is taken and stretched when its size differs.
HANDLE LoadImageW(HINSTANCE instance, LPCWSTR name, UINT type, int width, int height, UINT flags);

// For the presenter: an image cursor's pixels, 0xAARRGGBB with straight
// alpha (pixels a mask-drawn cursor would invert come out black), and its hot
// spot. False for standard cursor markers and unknown handles.
bool CursorPixels(HCURSOR cursor, int& width, int& height, std::vector<uint32_t>& pixels, POINT& hotSpot);
