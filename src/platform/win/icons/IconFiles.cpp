// Icons from ICO and CUR files and back.
#include "platform/win/icons/IconFiles.h"

std::unique_ptr<TIconObject> IconOfDirectory(const TIcoDirectory& directory, int width, int height) {
    const int index = BestIcoEntry(directory, width, height);
    if (index < 0) return nullptr;
    const TIcoEntry& entry = directory.entries[size_t(index)];
    TIconImage image;
    if (!DecodeIcoEntry(entry, image)) return nullptr;
    auto icon = std::make_unique<TIconObject>();
    icon->isIcon = !directory.cursor;
    icon->hotSpot = directory.cursor ? POINT{LONG(int64_t(entry.hotSpot.x) * width / image.width),
                                             LONG(int64_t(entry.hotSpot.y) * height / image.height)}
                                     : POINT{width / 2, height / 2};
    icon->image = Stretched(image, width, height);
    if (icon->image.Empty()) return nullptr;
    return icon;
}

HICON ReadIconFile(std::span<const uint8_t> file, int width, int height) {
    TIcoDirectory directory;
    if (!ReadIcoDirectory(file, directory) || directory.cursor || directory.entries.empty() || width < 0 ||
        height < 0)
        return nullptr;
    if (!width || !height) {
        width = directory.entries[0].width;
        height = directory.entries[0].height;
    }
    auto icon = IconOfDirectory(directory, width, height);
    return icon ? AddIcon(std::move(icon)) : nullptr;
}

std::vector<uint8_t> WriteIconFile(HICON handle) {
    const TIconObject* icon = FindIcon(handle);
    if (!icon) return {};
    return WriteIcoFile(std::span(&icon->image, 1));
}
