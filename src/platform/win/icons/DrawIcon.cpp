#include "platform/win/gdi/Gdi.h"
#include "platform/win/icons/Icon.h"
#include "platform/win/icons/Icons.h"
#include "platform/win/system/SystemMetrics.h"

BOOL DrawIconEx(HDC dc, int x, int y, HICON handle, int width, int height, UINT, HBRUSH flickerFreeBrush, UINT flags) {
    const TIconObject* icon = FindIcon(handle);
    const UINT parts = flags & DI_NORMAL;
    if (!icon || !parts) return FALSE;
    const TIconImage& image = icon->image;
    const bool systemSize = flags & DI_DEFAULTSIZE;
    if (!width) width = systemSize ? GetSystemMetrics(icon->isIcon ? SM_CXICON : SM_CXCURSOR) : image.width;
    if (!height) height = systemSize ? GetSystemMetrics(icon->isIcon ? SM_CYICON : SM_CYCURSOR) : image.height;
    const RECT dest{x, y, x + width, y + height};
    if (flickerFreeBrush && !FillRect(dc, &dest, flickerFreeBrush)) return FALSE;
    TMaskedStyle style;
    style.op = parts == DI_MASK ? TMaskedOp::Mask : parts == DI_IMAGE ? TMaskedOp::Image : TMaskedOp::Normal;
    style.xorColor = true;
    return DrawIconImage(dc, dest, image, RECT{0, 0, image.width, image.height}, style);
}

BOOL DrawIcon(HDC dc, int x, int y, HICON icon) { return DrawIconEx(dc, x, y, icon, 0, 0, 0, nullptr, DI_NORMAL | DI_DEFAULTSIZE); }
