// Writing and measuring text.
#include <algorithm>
#include <string_view>

#include "platform/win/gdi/Blit.h"
#include "platform/win/text/Text.h"
#include "platform/win/text/TextRun.h"

namespace {

std::u16string_view TextOf(LPCWSTR text, int count) {
    if (!text) return {};
    return count < 0 ? std::u16string_view(text) : std::u16string_view(text, size_t(count));
}

} // namespace

UINT SetTextAlign(HDC handle, UINT align) {
    TDc* dc = DcOf(handle);
    if (!dc) return GDI_ERROR;
    const UINT previous = dc->state.textAlign;
    dc->state.textAlign = align;
    return previous;
}

UINT GetTextAlign(HDC handle) {
    const TDc* dc = DcOf(handle);
    return dc ? dc->state.textAlign : GDI_ERROR;
}

BOOL ExtTextOutW(HDC handle, int x, int y, UINT options, const RECT* rect, LPCWSTR text, UINT count, const INT* dx) {
    TDc* dc = DcOf(handle);
    if (!dc || (count > 0 && !text)) return FALSE;
    if ((options & ETO_OPAQUE) && rect) {
        RECT area = dc->ToDevice(*rect);
        if (area.left < area.right && area.top < area.bottom &&
            !FillDevice(*dc, area, SolidPattern(*dc, dc->state.background), TRop::PatCopy))
            return FALSE;
    }
    if (count == 0) return TRUE;
    const TRun run{std::u16string_view(text, count), dx, {}};
    const RECT* clip = (options & ETO_CLIPPED) && rect ? rect : nullptr;
    const bool opaqueCell = dc->state.bkMode == OPAQUE && !(options & ETO_OPAQUE && rect);
    return PaintRun(*dc, *FontOf(*dc), POINT{x, y}, dc->state.textAlign, run, clip, opaqueCell);
}

BOOL TextOutW(HDC dc, int x, int y, LPCWSTR text, int count) {
    return count >= 0 && ExtTextOutW(dc, x, y, 0, nullptr, text, UINT(count), nullptr);
}

BOOL GetTextExtentPoint32W(HDC dc, LPCWSTR text, int count, SIZE* size) {
    return GetTextExtentExPointW(dc, text, count, 0, nullptr, nullptr, size);
}

BOOL GetTextExtentExPointW(HDC handle, LPCWSTR text, int count, int maxExtent, INT* fit, INT* dx, SIZE* size) {
    const TDc* dc = DcOf(handle);
    if (!dc || count < 0 || (count > 0 && !text)) return FALSE;
    IFontFace& face = FontOf(*dc)->Face();
    int extent = 0, fitting = 0;
    ForEachAdvance(face, TextOf(text, count), [&](size_t index, size_t units, int advance) {
        extent += advance;
        if (extent <= maxExtent && fitting == int(index)) fitting = int(index + units);
        if (dx)
            for (size_t k = 0; k < units; ++k) dx[index + k] = extent;
    });
    if (fit) *fit = fitting;
    if (size) *size = SIZE{extent, face.Metrics().height};
    return TRUE;
}
