// Feeds arbitrary bytes to the BMP reader; what it accepts is drawn onto a
// 32-bit bitmap, written as a 32-bit file and read back, which must give the
// same pixels. Nothing may stay allocated.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "platform/win/gdi/Bitmaps.h"
#include "platform/win/gdi/Gdi.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

// The bitmap's pixels as 32-bit top-down rows, drawn through a memory DC.
std::vector<uint32_t> Pixels(HBITMAP bitmap, int width, int height) {
    void* bits = nullptr;
    BITMAPINFO info{};
    info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    const HBITMAP canvas = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    Require(canvas != nullptr);
    const HDC source = CreateCompatibleDC(nullptr), dest = CreateCompatibleDC(nullptr);
    const HGDIOBJ oldSource = SelectObject(source, ToGdiObject(bitmap));
    const HGDIOBJ oldDest = SelectObject(dest, ToGdiObject(canvas));
    Require(BitBlt(dest, 0, 0, width, height, source, 0, 0, SRCCOPY));
    const auto* pixels = static_cast<const uint32_t*>(bits);
    std::vector<uint32_t> out(pixels, pixels + size_t(width) * size_t(height));
    for (uint32_t& p : out) p &= 0xFFFFFF;
    SelectObject(source, oldSource);
    SelectObject(dest, oldDest);
    DeleteDC(source);
    DeleteDC(dest);
    DeleteObject(ToGdiObject(canvas));
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const size_t bitmaps = GdiLiveObjects(OBJ_BITMAP);
    if (const HBITMAP bitmap = ReadBmp(std::span<const uint8_t>(data, size))) {
        BITMAP bm{};
        Require(GetObjectW(ToGdiObject(bitmap), sizeof bm, &bm) == int(sizeof bm));
        // Only small pictures are drawn; large ones were read and are freed.
        if (int64_t(bm.bmWidth) * bm.bmHeight <= 1 << 20) {
            const std::vector<uint32_t> pixels = Pixels(bitmap, bm.bmWidth, bm.bmHeight);
            const std::vector<uint8_t> file = WriteBmp(bitmap, 32);
            const HBITMAP again = ReadBmp(file);
            Require(again != nullptr);
            Require(Pixels(again, bm.bmWidth, bm.bmHeight) == pixels);
            DeleteObject(ToGdiObject(again));
        }
        DeleteObject(ToGdiObject(bitmap));
    }
    Require(GdiLiveObjects(OBJ_BITMAP) == bitmaps);
    return 0;
}
