// The framework bitmap's pixel paths against memcpy of the same bytes,
// measured in the same run:
//   PixelFormat pf24bit -> pf32bit of a 1920x1080 picture   vs memcpy of the 32-bit frame
//   PixelFormat pf32bit -> pf24bit                          vs memcpy of the 24-bit frame
//   PixelFormat pf8bit  -> pf32bit                          vs memcpy of the 32-bit frame
//   a ScanLine walk copying every row out (ScanLine per row) vs memcpy of the 32-bit frame
//   the same walk stepping by the difference of two rows    vs memcpy of the 32-bit frame
// Each figure is the median of several rounds; the last line lists the ratios.

#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "BenchTiming.h"
#include "platform/ui/graphics/Bitmap.h"

namespace {

constexpr int kRounds = 15;
constexpr int kWidth = 1920, kHeight = 1080;

double MedianMicroseconds(const std::function<void()>& run, std::function<void()> prepare = {}) {
    TTiming timing(kRounds);
    if (prepare) timing.Prepare(std::move(prepare));
    return 1e6 * timing.MedianSeconds(run);
}

// A picture in Format whose bytes vary along each row.
std::unique_ptr<TBitmap> Picture(TPixelFormat format) {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixelFormat(format);
    bitmap->SetSize(kWidth, kHeight);
    const size_t rowBytes = size_t(kWidth) * size_t(BitsOfPixelFormat(format)) / 8;
    for (int y = 0; y < kHeight; ++y) {
        uint8_t* row = bitmap->ScanLine(y);
        for (size_t i = 0; i < rowBytes; ++i) row[i] = uint8_t(i * 7 + size_t(y));
    }
    return bitmap;
}

struct TFigure {
    const char* name;
    double time, baseline;
};

} // namespace

int main() {
    const size_t frame32 = size_t(kWidth) * kHeight * 4, frame24 = size_t(kWidth) * kHeight * 3;
    std::vector<uint8_t> a(frame32, 1), b(frame32, 2);
    const double memcpy32 = MedianMicroseconds([&] { std::memcpy(b.data(), a.data(), frame32); });
    const double memcpy24 = MedianMicroseconds([&] { std::memcpy(b.data(), a.data(), frame24); });

    std::unique_ptr<TBitmap> bitmap;
    auto conversion = [&](TPixelFormat from, TPixelFormat to) {
        return MedianMicroseconds([&] { bitmap->SetPixelFormat(to); }, [&] { bitmap = Picture(from); });
    };
    const TFigure figures[] = {
        {"pf24bit -> pf32bit", conversion(pf24bit, pf32bit), memcpy32},
        {"pf32bit -> pf24bit", conversion(pf32bit, pf24bit), memcpy24},
        {"pf8bit -> pf32bit", conversion(pf8bit, pf32bit), memcpy32},
        {"ScanLine per row", [&] {
             bitmap = Picture(pf32bit);
             const size_t rowBytes = size_t(kWidth) * 4;
             return MedianMicroseconds([&] {
                 for (int y = 0; y < kHeight; ++y) std::memcpy(&b[size_t(y) * rowBytes], bitmap->ScanLine(y), rowBytes);
             });
         }(), memcpy32},
        {"ScanLine stepped", [&] {
             bitmap = Picture(pf32bit);
             const size_t rowBytes = size_t(kWidth) * 4;
             return MedianMicroseconds([&] {
                 const uint8_t* row = bitmap->ScanLine(0);
                 const ptrdiff_t step = bitmap->ScanLine(1) - row;
                 for (int y = 0; y < kHeight; ++y, row += step) std::memcpy(&b[size_t(y) * rowBytes], row, rowBytes);
             });
         }(), memcpy32},
    };
    for (const TFigure& f : figures)
        std::printf("%-22s %10.1f us   memcpy of the same bytes %10.1f us\n", f.name, f.time, f.baseline);
    std::printf("ratios to memcpy:");
    for (const TFigure& f : figures) std::printf("  %s %.2f", f.name, f.time / f.baseline);
    std::printf("\n");
    return 0;
}
