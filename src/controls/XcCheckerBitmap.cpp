#include "controls/XcCheckerBitmap.h"

#include "platform/ui/Brush.h"
#include "platform/ui/Canvas.h"

namespace {
constexpr int kXcCheckerSize = 8;
constexpr COLORREF kXcPaletteRelative = 0x02000000;
} // namespace

std::unique_ptr<TBitmap> CreateCheckerBitmap(TColor colour1, TColor colour2) {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetSize(kXcCheckerSize, kXcCheckerSize);
    TCanvas* canvas = bitmap->Canvas();
    canvas->Brush()->SetColor(colour1);
    canvas->FillRect({0, 0, kXcCheckerSize, kXcCheckerSize});
    for (int y = 0; y < kXcCheckerSize; ++y)
        for (int x = y % 2; x < kXcCheckerSize; x += 2) canvas->SetPixel(x, y, colour2);
    return bitmap;
}

COLORREF PaletteColor(TColor color) {
    return ColorToRGB(color) | kXcPaletteRelative;
}
