// Feeds arbitrary bytes as an ICO or CUR file to what makes icons and cursors
// of them: ReadIconFile at the file's own size and at the sizes the program
// asks for, and a cursor's directory at the cursor sizes. Every icon made has
// the size asked for and a hot spot inside it, draws, and writes an ICO file
// that reads back to the same picture. Nothing may stay allocated.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <utility>
#include <vector>

#include "platform/win/gdi/Gdi.h"
#include "platform/win/icons/IconFiles.h"
#include "platform/win/icons/Icons.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

// What the program asks icons and cursors for; 0 x 0 is the file's own size.
constexpr std::pair<int, int> kSizes[] = {{0, 0}, {16, 16}, {32, 32}, {48, 48}, {20, 13}};

void Draw(HICON icon, int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 64, -64, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    const HBITMAP canvas = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HDC dc = CreateCompatibleDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, ToGdiObject(canvas));
    Require(DrawIconEx(dc, 1, 1, icon, width, height, 0, nullptr, DI_NORMAL));
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(ToGdiObject(canvas));
}

// The icon's own picture as the ICO file it writes gives it back.
void CheckWrittenFile(HICON handle) {
    const TIconObject* icon = FindIcon(handle);
    Require(icon != nullptr);
    const HICON again = ReadIconFile(WriteIconFile(handle), 0, 0);
    Require(again != nullptr);
    const TIconImage& a = icon->image;
    const TIconImage& b = FindIcon(again)->image;
    Require(a.width == b.width && a.height == b.height && a.color == b.color && a.mask == b.mask);
    Require(DestroyIcon(again));
}

void CheckIcons(std::span<const uint8_t> file) {
    for (const auto& [width, height] : kSizes) {
        const HICON icon = ReadIconFile(file, width, height);
        if (!icon) continue;
        const TIconImage& image = FindIcon(icon)->image;
        Require(image.width > 0 && image.height > 0 && (!width || (image.width == width && image.height == height)));
        Draw(icon, 0, 0);
        Draw(icon, 24, 24);
        CheckWrittenFile(icon);
        Require(DestroyIcon(icon));
    }
}

void CheckCursors(std::span<const uint8_t> file) {
    TIcoDirectory directory;
    if (!ReadIcoDirectory(file, directory) || !directory.cursor) return;
    for (const auto& [width, height] : kSizes) {
        if (!width) continue;
        std::unique_ptr<TIconObject> cursor = IconOfDirectory(directory, width, height);
        if (!cursor) continue;
        Require(!cursor->isIcon && cursor->image.width == width && cursor->image.height == height);
        Require(cursor->hotSpot.x >= 0 && cursor->hotSpot.x < width && cursor->hotSpot.y >= 0 &&
                cursor->hotSpot.y < height);
        const HICON handle = AddIcon(std::move(cursor));
        Draw(handle, 0, 0);
        Require(DestroyIcon(handle));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const size_t bitmaps = GdiLiveObjects(OBJ_BITMAP), icons = LiveIcons();
    const std::span<const uint8_t> file(data, size);
    CheckIcons(file);
    CheckCursors(file);
    Require(GdiLiveObjects(OBJ_BITMAP) == bitmaps && LiveIcons() == icons);
    return 0;
}
