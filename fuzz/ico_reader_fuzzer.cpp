// Feeds arbitrary bytes to the ICO/CUR reader; every entry it decodes is made
// into an icon, asked for its bitmaps, written as an ICO file and read back,
// which must give the same pixels and mask. Nothing may stay allocated.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "platform/win/gdi/Gdi.h"
#include "platform/win/icons/IcoFile.h"
#include "platform/win/icons/Icon.h"
#include "platform/win/icons/Icons.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

bool SamePicture(const TIconImage& a, const TIconImage& b) {
    return a.width == b.width && a.height == b.height && a.color == b.color && a.mask == b.mask && a.alpha == b.alpha;
}

// Through CreateIconIndirect and GetIconInfo.
void CheckIconRoundTrip(const TIconImage& image) {
    const HBITMAP color = ColorBitmapOf(image), mask = MaskBitmapOf(image);
    ICONINFO given{TRUE, 0, 0, mask, color};
    const HICON icon = CreateIconIndirect(&given);
    Require(icon != nullptr);
    Require(SamePicture(FindIcon(icon)->image, image));
    ICONINFO info{};
    Require(GetIconInfo(icon, &info));
    TIconImage back;
    Require(back.Reset(image.width, image.height) && ReadBitmapInto(info.hbmColor, info.hbmMask, 0, 0, back));
    back.DetectAlpha();
    Require(SamePicture(back, image));
    DeleteObject(ToGdiObject(info.hbmColor));
    DeleteObject(ToGdiObject(info.hbmMask));
    DeleteObject(ToGdiObject(color));
    DeleteObject(ToGdiObject(mask));
    Require(DestroyIcon(icon));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const size_t bitmaps = GdiLiveObjects(OBJ_BITMAP), icons = LiveIcons();
    TIcoDirectory directory;
    if (ReadIcoDirectory(std::span<const uint8_t>(data, size), directory)) {
        Require(BestIcoEntry(directory, 32, 32) < int(directory.entries.size()));
        for (const TIcoEntry& entry : directory.entries) {
            TIconImage image;
            if (!DecodeIcoEntry(entry, image)) continue;
            Require(image.color.size() == size_t(image.width) * size_t(image.height));
            Require(image.mask.size() == image.color.size());
            for (uint8_t bit : image.mask) Require(bit <= 1);
            if (int64_t(image.width) * image.height > 1 << 16) continue;
            CheckIconRoundTrip(image);
            const std::vector<uint8_t> file = WriteIcoFile(std::span(&image, 1));
            TIcoDirectory again;
            TIconImage reread;
            Require(ReadIcoDirectory(file, again) && again.entries.size() == 1 && DecodeIcoEntry(again.entries[0], reread));
            Require(SamePicture(reread, image));
        }
    }
    Require(GdiLiveObjects(OBJ_BITMAP) == bitmaps && LiveIcons() == icons);
    return 0;
}
