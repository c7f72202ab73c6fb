#include "platform/ui/graphics/PictureFormats.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "platform/rtl/ResourceStrings.h"
#include "platform/ui/graphics/Graphic.h"
#include "platform/ui/graphics/GraphicStrings.h"

namespace {

struct TFileFormat {
    String extension;
    String description;
    TGraphicClass graphicClass;
};

struct TFileFormats {
    std::mutex lock;
    std::vector<TFileFormat> formats;
};

TFileFormats& Formats() {
    static TFileFormats formats;
    return formats;
}

String WithoutDot(const String& extension) {
    return !extension.empty() && extension[0] == u'.' ? extension.substr(1) : extension;
}

std::vector<TFileFormat> FormatsOf(TGraphicClass graphicClass) {
    std::lock_guard guard(Formats().lock);
    std::vector<TFileFormat> result;
    for (const TFileFormat& format : Formats().formats)
        if (format.graphicClass->InheritsFrom(graphicClass)) result.push_back(format);
    return result;
}

} // namespace

void RegisterFileFormat(const String& extension, const String& description, TGraphicClass graphicClass) {
    if (!graphicClass || !graphicClass->InheritsFrom(TGraphic::StaticClass()))
        throw EInvalidOperation(
            Format(LoadResString(SNotGraphicClass), {graphicClass ? graphicClass->ClassName() : String(u"nil")}));
    std::lock_guard guard(Formats().lock);
    Formats().formats.push_back(TFileFormat{LowerCase(WithoutDot(extension)), description, graphicClass});
}

void UnregisterGraphicClass(TGraphicClass graphicClass) {
    std::lock_guard guard(Formats().lock);
    std::erase_if(Formats().formats,
                  [&](const TFileFormat& format) { return format.graphicClass->InheritsFrom(graphicClass); });
}

TGraphicClass GraphicClassOfExtension(const String& extension) {
    const String wanted = LowerCase(WithoutDot(extension));
    std::lock_guard guard(Formats().lock);
    const auto& formats = Formats().formats;
    const auto found = std::find_if(formats.rbegin(), formats.rend(),
                                    [&](const TFileFormat& format) { return format.extension == wanted; });
    return found == formats.rend() ? nullptr : found->graphicClass;
}

String GraphicFilter(TGraphicClass graphicClass) {
    const std::vector<TFileFormat> formats = FormatsOf(graphicClass);
    const String masks = GraphicFileMask(graphicClass);
    String filter = LoadResString(SDefaultFilter) + u" (" + masks + u")|" + masks;
    for (const TFileFormat& format : formats)
        filter += u"|" + format.description + u" (*." + format.extension + u")|*." + format.extension;
    return filter;
}

String GraphicExtension(TGraphicClass graphicClass) {
    const std::vector<TFileFormat> formats = FormatsOf(graphicClass);
    return formats.empty() ? String() : formats.front().extension;
}

String GraphicFileMask(TGraphicClass graphicClass) {
    String masks;
    for (const TFileFormat& format : FormatsOf(graphicClass)) {
        if (!masks.empty()) masks += u";";
        masks += u"*." + format.extension;
    }
    return masks;
}
