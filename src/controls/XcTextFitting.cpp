#include "controls/XcTextFitting.h"

#include <algorithm>

#include "platform/ui/Canvas.h"
#include "platform/ui/WinGeometry.h"
#include "platform/win/text/Text.h"

namespace {

constexpr std::u16string_view kFittingEllipsis = u"...";
// DT_MODIFYSTRING writes back at most the text's length plus this many units
// (the ellipsis and a null).
constexpr size_t kModifyStringRoom = 4;

} // namespace

std::vector<size_t> CharacterBoundaries(std::u16string_view text) {
    std::vector<size_t> boundaries;
    boundaries.reserve(text.size() + 1);
    for (size_t at = 0; at < text.size(); ++at)
        if (!(IsLowSurrogate(text[at]) && at > 0 && IsHighSurrogate(text[at - 1]))) boundaries.push_back(at);
    boundaries.push_back(text.size());
    return boundaries;
}

String CompactPathToWidth(const String& path, TCanvas* canvas, int width) {
    std::u16string buffer(path.size() + kModifyStringRoom, u'\0');
    std::copy(path.begin(), path.end(), buffer.begin());
    RECT rect{0, 0, width, canvas->TextHeight(u"Wq")};
    const UINT format = DT_PATH_ELLIPSIS | DT_MODIFYSTRING | DT_NOPREFIX | DT_CALCRECT | DT_SINGLELINE;
    if (DrawTextW(canvas->Handle(), buffer.data(), path.Length(), &rect, format) == 0) return path;
    return String(buffer.c_str());
}

String EllipsizeToWidth(const String& text, TCanvas* canvas, int width) {
    const std::vector<size_t> boundaries = CharacterBoundaries(text);
    const int characters = static_cast<int>(boundaries.size()) - 1;
    String result = text;
    for (int dropped = 1; dropped <= characters && canvas->TextWidth(result) > width;) {
        ++dropped;
        const int kept = std::max(0, characters - dropped);
        result = text.substr(0, boundaries[static_cast<size_t>(kept)]) + String(kFittingEllipsis);
    }
    return result;
}

int CanvasDrawText(TCanvas* canvas, const String& text, int count, TRect& rect, UINT flags) {
    RECT r = ToRECT(rect);
    const int height = DrawTextW(canvas->Handle(), text.c_str(), count, &r, flags & ~DT_MODIFYSTRING);
    rect = ToTRect(r);
    return height;
}
