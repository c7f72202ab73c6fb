// The drawing layer's hot paths against baselines measured in the same run:
//   FillRect of a 1920x1080 32-bit bitmap                      vs memset of it
//   BitBlt SRCCOPY 1920x1080 32-bit to 32-bit                  vs memcpy of it
//   one tree row: a 1920x20 bitmap filled, 40 one-pixel pattern-brush lines,
//   a focus rectangle and a BitBlt to a window                 vs memcpy of the row
//   MaskBlt 0xCCAA0029 of 16x16 images                         vs a per-pixel select loop
//   StretchBlt COLORONCOLOR 960x540 -> 1920x1080               vs memcpy of the output
// Each figure is the median of several rounds; the last lines are the ratios
// and the allocations per call of the fill and the copy.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

#include "AllocationCount.h"
#include "BenchTiming.h"
#include "BitmapCanvas.h"
#include "platform/win/User.h"
#include "platform/win/gdi/Bitmaps.h"
#include "platform/win/gdi/Gdi.h"

namespace {

constexpr int kRounds = 31;
constexpr int kWidth = 1920, kHeight = 1080;

double MedianMicroseconds(int repeat, const std::function<void()>& run) {
    return 1e6 * TTiming(kRounds).Repeat(repeat).MedianSeconds(run);
}

void Report(const char* name, double figure, const char* baseline, double reference) {
    std::printf("%-44s %10.1f us   %-28s %10.1f us\n", name, figure, baseline, reference);
}

} // namespace

int main() {
    const size_t frameBytes = size_t(kWidth) * kHeight * 4;
    std::vector<uint8_t> a(frameBytes, 1), b(frameBytes, 2);
    TBitmapCanvas frame(kWidth, kHeight), other(kWidth, kHeight);
    const HBRUSH brush = CreateSolidBrush(RGB(10, 20, 30));
    const RECT all{0, 0, kWidth, kHeight};

    const double memsetTime = MedianMicroseconds(5, [&] { std::memset(a.data(), 0x5A, frameBytes); });
    const double fillTime = MedianMicroseconds(5, [&] { FillRect(frame.dc, &all, brush); });
    const double memcpyTime = MedianMicroseconds(5, [&] { std::memcpy(b.data(), a.data(), frameBytes); });
    const double copyTime =
        MedianMicroseconds(5, [&] { BitBlt(other.dc, 0, 0, kWidth, kHeight, frame.dc, 0, 0, SRCCOPY); });
    const long fillAllocations = AllocationsPerCall([&] { FillRect(frame.dc, &all, brush); });
    const long copyAllocations =
        AllocationsPerCall([&] { BitBlt(other.dc, 0, 0, kWidth, kHeight, frame.dc, 0, 0, SRCCOPY); });

    // One tree row painted into its bitmap and copied to a window.
    WNDCLASSW wc{};
    wc.lpfnWndProc = &DefWindowProcW;
    wc.lpszClassName = u"GdiBench";
    RegisterClassW(&wc);
    const HWND window =
        CreateWindowExW(0, u"GdiBench", u"", WS_POPUP | WS_VISIBLE, 0, 0, kWidth, 1200, nullptr, nullptr, nullptr, nullptr);
    const HDC windowDc = GetDC(window);
    TBitmapCanvas row(kWidth, 20);
    const uint8_t dots[16] = {0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0};
    const HBITMAP dotBitmap = CreateBitmap(8, 8, 1, 1, dots);
    const HBRUSH dotBrush = CreatePatternBrush(dotBitmap);
    const RECT rowRect{0, 0, kWidth, 20};
    const RECT focus{200, 0, 900, 20};
    const size_t rowBytes = size_t(kWidth) * 20 * 4;
    const double rowCopyTime = MedianMicroseconds(50, [&] { std::memcpy(b.data(), a.data(), rowBytes); });
    const double rowTime = MedianMicroseconds(50, [&] {
        FillRect(row.dc, &rowRect, brush);
        SetBrushOrgEx(row.dc, 0, 1, nullptr);
        for (int i = 0; i < 20; ++i) {
            const RECT vertical{8 + i * 16, 0, 9 + i * 16, 20};
            FillRect(row.dc, &vertical, dotBrush);
            const RECT horizontal{9 + i * 16, 10, 16 + i * 16, 11};
            FillRect(row.dc, &horizontal, dotBrush);
        }
        DrawFocusRect(row.dc, &focus);
        BitBlt(windowDc, 0, 100, kWidth, 20, row.dc, 0, 0, SRCCOPY);
    });

    const double rowFillTime = MedianMicroseconds(50, [&] { FillRect(row.dc, &rowRect, brush); });
    const double rowLinesTime = MedianMicroseconds(50, [&] {
        for (int i = 0; i < 20; ++i) {
            const RECT vertical{8 + i * 16, 0, 9 + i * 16, 20};
            FillRect(row.dc, &vertical, dotBrush);
            const RECT horizontal{9 + i * 16, 10, 16 + i * 16, 11};
            FillRect(row.dc, &horizontal, dotBrush);
        }
    });
    const double rowFocusTime = MedianMicroseconds(50, [&] { DrawFocusRect(row.dc, &focus); });
    const double rowBlitTime =
        MedianMicroseconds(50, [&] { BitBlt(windowDc, 0, 100, kWidth, 20, row.dc, 0, 0, SRCCOPY); });

    // 16x16 transparent images.
    TBitmapCanvas image(16, 16), target(16, 16);
    std::vector<uint8_t> maskBits(32);
    for (size_t i = 0; i < maskBits.size(); ++i) maskBits[i] = uint8_t(i * 37);
    const HBITMAP mask = CreateBitmap(16, 16, 1, 1, maskBits.data());
    std::vector<uint32_t> source(256, 7), dest(256, 9);
    std::vector<uint8_t> select(256);
    for (int i = 0; i < 256; ++i) select[size_t(i)] = maskBits[size_t(i / 8)] >> (7 - i % 8) & 1;
    const double selectTime = MedianMicroseconds(2000, [&] {
        for (int i = 0; i < 256; ++i) dest[size_t(i)] = select[size_t(i)] ? dest[size_t(i)] : source[size_t(i)];
        asm volatile("" ::"r"(dest.data()) : "memory");
    });
    const double maskTime = MedianMicroseconds(2000, [&] {
        MaskBlt(target.dc, 0, 0, 16, 16, image.dc, 0, 0, mask, 0, 0, MAKEROP4(0x00AA0029, SRCCOPY));
    });

    TBitmapCanvas half(kWidth / 2, kHeight / 2);
    SetStretchBltMode(frame.dc, COLORONCOLOR);
    const double stretchTime = MedianMicroseconds(5, [&] {
        StretchBlt(frame.dc, 0, 0, kWidth, kHeight, half.dc, 0, 0, kWidth / 2, kHeight / 2, SRCCOPY);
    });

    Report("FillRect 1920x1080", fillTime, "memset", memsetTime);
    Report("BitBlt SRCCOPY 1920x1080", copyTime, "memcpy", memcpyTime);
    Report("tree row 1920x20", rowTime, "memcpy of the row", rowCopyTime);
    std::printf("  of which: fill %.1f us, 40 lines %.1f us, focus rectangle %.1f us, copy to the window %.1f us\n",
                rowFillTime, rowLinesTime, rowFocusTime, rowBlitTime);
    Report("MaskBlt 16x16", maskTime, "select loop", selectTime);
    Report("StretchBlt 960x540 -> 1920x1080", stretchTime, "memcpy of the output", memcpyTime);
    std::printf("allocations per FillRect: %ld, per BitBlt: %ld\n", fillAllocations, copyAllocations);
    std::printf("ratio FillRect / memset: %.2f (target <= 1.2)\n", fillTime / memsetTime);
    std::printf("ratio BitBlt / memcpy: %.2f (target <= 1.3)\n", copyTime / memcpyTime);
    std::printf("ratio tree row / memcpy of the row: %.2f (target <= 3)\n", rowTime / rowCopyTime);
    std::printf("ratio MaskBlt / select loop: %.2f (target <= 2)\n", maskTime / selectTime);
    std::printf("ratio StretchBlt / memcpy of the output: %.2f (target <= 3)\n", stretchTime / memcpyTime);

    ReleaseDC(window, windowDc);
    DestroyWindow(window);
    for (HGDIOBJ object : {ToGdiObject(brush), ToGdiObject(dotBrush), ToGdiObject(dotBitmap), ToGdiObject(mask)})
        DeleteObject(object);
    return 0;
}
