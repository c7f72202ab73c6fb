// DrawTextW: lays the text out and draws or measures its lines.
#include <algorithm>
#include <string>
#include <vector>

#include "platform/win/text/Text.h"
#include "platform/win/text/TextLayout.h"
#include "platform/win/text/TextRun.h"

namespace {

thread_local std::vector<int> advances;
thread_local std::vector<TSpan> underlines;

void DrawLine(TDc& dc, const TFontObject& font, const TLayout& layout, const TLine& line, POINT at, const RECT* clip) {
    advances.assign(line.text.size(), 0);
    underlines.clear();
    size_t next = 0;
    Walk(layout, line.text, [&](size_t i, size_t, int before, int after) {
        advances[i] = after - before;
        while (next < line.prefixed.size() && line.prefixed[next] <= i) {
            if (line.prefixed[next] == i) underlines.push_back(TSpan{before, after});
            ++next;
        }
    });
    const TRun run{line.text, advances.data(), underlines};
    PaintRun(dc, font, at, TA_LEFT | TA_TOP, run, clip, dc.state.bkMode == OPAQUE);
}

void WriteBack(LPWSTR buffer, size_t count, const std::u16string& text) {
    const size_t capacity = count + 4; // the documented room: four units beyond the text
    const size_t n = std::min(text.size(), capacity - 1);
    std::copy_n(text.data(), n, buffer);
    buffer[n] = u'\0';
}

} // namespace

int DrawTextW(HDC handle, LPWSTR text, int count, RECT* rect, UINT format) {
    TDc* dc = DcOf(handle);
    if (!dc || !text || !rect) return 0;
    const std::u16string_view source = count < 0 ? std::u16string_view(text) : std::u16string_view(text, size_t(count));
    if (source.empty()) {
        if (format & DT_CALCRECT) rect->right = rect->left, rect->bottom = rect->top;
        return 0;
    }
    const TFontObject& font = *FontOf(*dc);
    IFontFace& face = font.Face();
    const TFaceMetrics& m = face.Metrics();
    const TLayout layout{face, format, format & DT_EXPANDTABS ? 8 * m.aveCharWidth : 0,
                         int(rect->right - rect->left)};
    std::vector<TLine> lines = LayOutText(layout, source);

    if ((format & DT_MODIFYSTRING) && lines.size() == 1 && lines.front().shortened)
        WriteBack(text, source.size(), lines.front().text);

    const int lineHeight = m.height + (format & DT_EXTERNALLEADING ? m.externalLeading : 0);
    if (format & DT_CALCRECT) {
        int widest = 0;
        for (const TLine& line : lines) widest = std::max(widest, line.width);
        rect->right = rect->left + widest;
        rect->bottom = rect->top + lineHeight * int(lines.size());
        return lineHeight * int(lines.size());
    }

    const int height = rect->bottom - rect->top;
    if ((format & DT_EDITCONTROL) && lineHeight * int(lines.size()) > height)
        lines.resize(size_t(std::max(1, height / std::max(1, lineHeight))));
    int top = rect->top;
    if (format & DT_SINGLELINE) {
        if (format & DT_BOTTOM) top = rect->bottom - lineHeight;
        else if (format & DT_VCENTER) top = rect->top + (height - lineHeight) / 2;
    }
    const RECT* clip = format & DT_NOCLIP ? nullptr : rect;
    int y = top;
    for (const TLine& line : lines) {
        int x = rect->left;
        if (format & DT_RIGHT) x = rect->right - line.width;
        else if (format & DT_CENTER) x = rect->left + (layout.limit - line.width) / 2;
        DrawLine(*dc, font, layout, line, POINT{x, y}, clip);
        y += lineHeight;
    }
    return y - rect->top;
}
