#pragma once
// The drawing layer: device contexts over window surfaces, memory bitmaps and
// the screen; bitmaps, DIB sections and palettes; pens and brushes; raster
// operations; primitives, edges and frame controls; regions and clipping.
//
// Colours are COLORREF 0x00BBGGRR (the palette-relative bit 0x02000000 reads
// as RGB). 32-bit pixels hold blue, green, red and alpha from the lowest byte,
// alpha straight. Primitives, fills and blits from sources without alpha write
// alpha 0 into 32-bit targets; SRCCOPY between 32-bit bitmaps copies all four
// bytes. Only the raster operations listed with BitBlt are drawn; any other
// fails. Handles are safe from any thread for the objects that thread uses; a
// DC is used by one thread at a time, window DCs on their window's thread.

#include <cstddef>

#include "platform/win/gdi/GdiTypes.h"

// --- Device contexts ---------------------------------------------------------
// GetDC(0) and GetDC(GetDesktopWindow()) answer the screen DC: reading it
// gives this process's visible windows composed (transparent black elsewhere),
// writing goes to the screen overlay, which shows each pixel that differs from
// what lies beneath it.
HDC GetDC(HWND hwnd);
HDC GetWindowDC(HWND hwnd);
// Clip: a region in screen coordinates, used with DCX_INTERSECTRGN or
// DCX_EXCLUDERGN (the value 1 of WM_NCPAINT means the whole window).
HDC GetDCEx(HWND hwnd, HRGN clip, DWORD flags);
int ReleaseDC(HWND hwnd, HDC dc);
// Holds a 1x1 monochrome bitmap until another is selected.
HDC CreateCompatibleDC(HDC dc);
BOOL DeleteDC(HDC dc);
HWND WindowFromDC(HDC dc);
HGDIOBJ GetCurrentObject(HDC dc, UINT kind);
int GetDeviceCaps(HDC dc, int index);
// Returns the new level (1 for the first save), 0 on failure.
int SaveDC(HDC dc);
// Level > 0: that saved level; < 0: relative to the current one.
BOOL RestoreDC(HDC dc, int level);
BOOL GdiFlush();

// --- DC state ----------------------------------------------------------------
COLORREF SetTextColor(HDC dc, COLORREF color);
COLORREF GetTextColor(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF color);
COLORREF GetBkColor(HDC dc);
int SetBkMode(HDC dc, int mode);
int GetBkMode(HDC dc);
int SetROP2(HDC dc, int mode);
int SetStretchBltMode(HDC dc, int mode);
int GetStretchBltMode(HDC dc);
BOOL SetBrushOrgEx(HDC dc, int x, int y, POINT* previous);
BOOL GetBrushOrgEx(HDC dc, POINT* origin);
BOOL SetWindowOrgEx(HDC dc, int x, int y, POINT* previous);
BOOL GetWindowOrgEx(HDC dc, POINT* origin);
BOOL OffsetWindowOrgEx(HDC dc, int dx, int dy, POINT* previous);
BOOL SetViewportOrgEx(HDC dc, int x, int y, POINT* previous);
BOOL GetViewportOrgEx(HDC dc, POINT* origin);
BOOL OffsetViewportOrgEx(HDC dc, int dx, int dy, POINT* previous);
int SetMapMode(HDC dc, int mode);
BOOL LPtoDP(HDC dc, POINT* points, int count);
BOOL DPtoLP(HDC dc, POINT* points, int count);
BOOL MoveToEx(HDC dc, int x, int y, POINT* previous);
BOOL GetCurrentPositionEx(HDC dc, POINT* position);
int SetPolyFillMode(HDC dc, int mode);
HPALETTE SelectPalette(HDC dc, HPALETTE palette, BOOL background);
UINT RealizePalette(HDC dc);

// --- Objects -----------------------------------------------------------------
// A region is copied as the clip (answering its complexity); other kinds
// answer the previous object of their kind.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
// An object still selected somewhere is deleted when it is deselected.
BOOL DeleteObject(HGDIOBJ object);
int GetObjectW(HGDIOBJ object, int size, void* buffer);
DWORD GetObjectType(HGDIOBJ object);
// OBJ_DC or OBJ_MEMDC; 0 for other handles.
DWORD GetObjectType(HDC dc);
HGDIOBJ GetStockObject(int index);
// Live objects of a kind (OBJ_PEN, OBJ_BRUSH, OBJ_BITMAP, OBJ_PAL, OBJ_REGION,
// OBJ_DC, OBJ_MEMDC), stock objects not counted: for catching leaks.
size_t GdiLiveObjects(DWORD kind);

template <class Handle>
inline HGDIOBJ ToGdiObject(Handle handle) noexcept {
    return reinterpret_cast<HGDIOBJ>(handle);
}

// --- Bitmaps and palettes ----------------------------------------------------
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
// 1 or 32 bits per pixel, one plane; Bits (rows padded to 2 bytes, top down) may be null.
HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD offset);
// Info's header says the format wanted; with Bits null only the header (and
// the size of the image) is filled.
int GetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT usage);
int SetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, const void* bits, const BITMAPINFO* info, UINT usage);
UINT SetDIBColorTable(HDC dc, UINT start, UINT count, const RGBQUAD* colors);
UINT GetDIBColorTable(HDC dc, UINT start, UINT count, RGBQUAD* colors);
HPALETTE CreatePalette(const LOGPALETTE* palette);
UINT GetPaletteEntries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* entries);
// A named embedded bitmap of kind "BITMAP"; with no instance the system
// bitmaps (OBM_x).
HBITMAP LoadBitmapW(HINSTANCE instance, LPCWSTR name);
// White, silver, grey and black become the window, button face, button shadow
// and button text colours.
HBITMAP CreateMappedBitmap(HINSTANCE instance, INT_PTR id, UINT flags, void* colorMap, int mapSize);

// --- Pens and brushes --------------------------------------------------------
HPEN CreatePen(int style, int width, COLORREF color);
HBRUSH CreateSolidBrush(COLORREF color);
// 8x8 from the bitmap's top-left; a monochrome pattern paints 0 bits in the
// text colour and 1 bits in the background colour.
HBRUSH CreatePatternBrush(HBITMAP bitmap);
HBRUSH CreateBrushIndirect(const LOGBRUSH* brush);

// --- Primitives --------------------------------------------------------------
int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
int FrameRect(HDC dc, const RECT* rect, HBRUSH brush);
BOOL InvertRect(HDC dc, const RECT* rect);
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom);
BOOL RoundRect(HDC dc, int left, int top, int right, int bottom, int width, int height);
BOOL Ellipse(HDC dc, int left, int top, int right, int bottom);
BOOL Polygon(HDC dc, const POINT* points, int count);
BOOL Polyline(HDC dc, const POINT* points, int count);
// Draws from the current position up to, not including, (X, Y).
BOOL LineTo(HDC dc, int x, int y);
COLORREF SetPixel(HDC dc, int x, int y, COLORREF color);
BOOL SetPixelV(HDC dc, int x, int y, COLORREF color);
COLORREF GetPixel(HDC dc, int x, int y);
// Dotted and drawn by XOR: drawing it twice restores every pixel.
BOOL DrawFocusRect(HDC dc, const RECT* rect);
BOOL DrawEdge(HDC dc, RECT* rect, UINT edge, UINT flags);
BOOL DrawFrameControl(HDC dc, RECT* rect, UINT kind, UINT state);

// --- Blits -------------------------------------------------------------------
// SRCCOPY, SRCAND, SRCPAINT, NOTSRCCOPY, PATCOPY, DSTINVERT and 0xE20746 (the
// brush where the source is 1, the destination where it is 0); CAPTUREBLT is
// ignored. A monochrome source meets a colour target through the target's text
// (0 bits) and background (1 bits) colours; a colour source meets a monochrome
// target as 1 where it equals the source's background colour.
BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy, DWORD rop);
// Negative extents mirror; empty extents draw nothing.
BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy, int sourceWidth,
                int sourceHeight, DWORD rop);
BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop);
// Only MAKEROP4(0x00AA0029, SRCCOPY): the source where the mask is 0, the
// destination where it is 1.
BOOL MaskBlt(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy, HBITMAP mask, int mx, int my,
             DWORD rop);
BOOL ScrollDC(HDC dc, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN update, RECT* updateRect);

// --- Regions and clipping ----------------------------------------------------
HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN CreateRectRgnIndirect(const RECT* rect);
BOOL SetRectRgn(HRGN region, int left, int top, int right, int bottom);
int CombineRgn(HRGN dest, HRGN a, HRGN b, int mode);
int OffsetRgn(HRGN region, int dx, int dy);
int GetRgnBox(HRGN region, RECT* box);
BOOL PtInRegion(HRGN region, int x, int y);
BOOL RectInRegion(HRGN region, const RECT* rect);
BOOL EqualRgn(HRGN a, HRGN b);
BOOL FillRgn(HDC dc, HRGN region, HBRUSH brush);
// Regions are in device coordinates; rectangles in logical ones.
int SelectClipRgn(HDC dc, HRGN region);
int ExtSelectClipRgn(HDC dc, HRGN region, int mode);
int IntersectClipRect(HDC dc, int left, int top, int right, int bottom);
int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom);
int GetClipBox(HDC dc, RECT* box);
// 1 and a copy of the clip, 0 without one, -1 on failure.
int GetClipRgn(HDC dc, HRGN region);
BOOL RectVisible(HDC dc, const RECT* rect);
BOOL PtVisible(HDC dc, int x, int y);
