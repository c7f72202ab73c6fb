// Icons from ICO and CUR files and back.
#include "platform/win/icons/IconFiles.h"

#include <algorithm>

std::unique_ptr<TIconObject> IconOfDirectory(const TIcoDirectory& directory, int width, int height) {
    const int index = BestIcoEntry(directory, width, height);
    if (index < 0) return nullptr;
    const TIcoEntry& entry = directory.entries[size_t(index)];
    TIconImage image;
    if (!DecodeIcoEntry(entry, image)) return nullptr;
    auto icon = std::make_unique<TIconObject>();
    icon->image = Stretched(image, width, height);
    if (icon->image.Empty()) return nullptr;
    icon->isIcon = !directory.cursor;
    // A cursor's hot spot scales with it; one the file puts outside the picture
    // goes to the nearest pixel.
    const auto scaled = [](LONG at, int size, int from) {
        return LONG(std::clamp<int64_t>(int64_t(at) * size / from, 0, size - 1));
    };
    icon->hotSpot = directory.cursor ? POINT{scaled(entry.hotSpot.x, width, image.width),
                                             scaled(entry.hotSpot.y, height, image.height)}
                                     : POINT{width / 2, height / 2};
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
