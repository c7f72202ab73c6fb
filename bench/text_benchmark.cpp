// Text with a real face against baselines measured in the same run:
//   GetTextExtentPoint32W of a 30-character mixed Chinese/Latin cell text
//                              vs a lookup-and-sum of advances cached here in
//                              a hash map by code point (and, for reference,
//                              in a flat table by UTF-16 unit)
//   DrawTextW(DT_CALCRECT | DT_WORDBREAK) of a 200-character Chinese paragraph
//   into 300 pixels            vs GetTextExtentPoint32W of the paragraph
//   DrawTextW(DT_END_ELLIPSIS) of a 100-character line into 300 pixels
//                              vs the same call measuring only (DT_CALCRECT)
//   60 rows x 5 cells of text into a 1920x1080 bitmap
//                              vs FillRect of the bitmap
// Each figure is the median of several rounds; the last lines are the
// allocations per measuring call and the ratios.

#include <QGuiApplication>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "AllocationCount.h"
#include "BenchTiming.h"
#include "BitmapCanvas.h"
#include "platform/win/backend/qt/QtFontEngine.h"
#include "platform/win/gdi/Bitmaps.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/text/Text.h"

namespace {

constexpr int kRounds = 31;

double MedianMicroseconds(int repeat, const std::function<void()>& run) {
    return 1e6 * TTiming(kRounds).Repeat(repeat).MedianSeconds(run);
}

void Report(const char* name, double figure, const char* baseline, double reference) {
    std::printf("%-44s %10.2f us   %-32s %10.2f us\n", name, figure, baseline, reference);
}

std::u16string Repeat(std::u16string_view piece, size_t length) {
    std::u16string text;
    while (text.size() < length) text += piece;
    text.resize(length);
    return text;
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    InstallQtFontEngine();
    TBitmapCanvas frame(1920, 1080);
    SelectObject(frame.dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(frame.dc, TRANSPARENT);

    // A cell text of the task list, and the advances a caller could cache for it.
    const std::u16string cell = u"转换完成 video_clip_2024.mp4 到 MP4";
    const std::u16string cell30 = Repeat(cell, 30);
    std::array<int, 65536> cached{};
    for (char16_t c : cell30) {
        SIZE size;
        GetTextExtentPoint32W(frame.dc, &c, 1, &size);
        cached[c] = size.cx;
    }
    std::unordered_map<char32_t, int> cachedByCodePoint;
    for (char16_t c : cell30) cachedByCodePoint[c] = cached[c];
    volatile int sink = 0;
    const double sumTime = MedianMicroseconds(20000, [&] {
        int width = 0;
        for (char16_t c : cell30) width += cachedByCodePoint.find(c)->second;
        sink = width;
    });
    const double flatSumTime = MedianMicroseconds(20000, [&] {
        int width = 0;
        for (char16_t c : cell30) width += cached[c];
        sink = width;
    });
    SIZE size;
    const double extentTime =
        MedianMicroseconds(20000, [&] { GetTextExtentPoint32W(frame.dc, cell30.data(), int(cell30.size()), &size); });
    const long extentAllocations =
        AllocationsPerCall([&] { GetTextExtentPoint32W(frame.dc, cell30.data(), int(cell30.size()), &size); });

    const std::u16string paragraph =
        Repeat(u"视频转换器把文件转换成需要的格式，完成后可以打开输出目录查看结果。", 200);
    const double paragraphMeasureTime = MedianMicroseconds(
        2000, [&] { GetTextExtentPoint32W(frame.dc, paragraph.data(), int(paragraph.size()), &size); });
    const double wrapTime = MedianMicroseconds(2000, [&] {
        RECT r{0, 0, 300, 0};
        DrawTextW(frame.dc, paragraph.data(), int(paragraph.size()), &r, DT_CALCRECT | DT_WORDBREAK);
    });

    const std::u16string line = Repeat(u"输出文件 output file name ", 100);
    const UINT ellipsis = DT_END_ELLIPSIS | DT_SINGLELINE | DT_NOPREFIX;
    const double lineMeasureTime = MedianMicroseconds(200, [&] {
        RECT r{0, 100, 300, 120};
        DrawTextW(frame.dc, line.data(), int(line.size()), &r, ellipsis | DT_CALCRECT);
    });
    const double ellipsisTime = MedianMicroseconds(200, [&] {
        RECT r{0, 100, 300, 120};
        DrawTextW(frame.dc, line.data(), int(line.size()), &r, ellipsis);
    });

    const HBRUSH white = reinterpret_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    const RECT all{0, 0, 1920, 1080};
    const double fillTime = MedianMicroseconds(5, [&] { FillRect(frame.dc, &all, white); });
    const std::u16string texts[5] = {u"任务 12", u"转换完成 video_clip_2024.mp4", u"MP4 - H.264 / AAC", u"00:03:25",
                                     u"/home/user/Conversion/clip.mp4"};
    const double tableTime = MedianMicroseconds(5, [&] {
        for (int row = 0; row < 60; ++row)
            for (int column = 0; column < 5; ++column) {
                RECT r{column * 384 + 2, row * 18, column * 384 + 382, row * 18 + 18};
                const std::u16string& text = texts[column];
                DrawTextW(frame.dc, text.data(), int(text.size()), &r,
                          DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
            }
    });

    Report("GetTextExtentPoint32W, 30 characters", extentTime, "sum of advances in a hash map", sumTime);
    Report("", extentTime, "sum of advances in a flat table", flatSumTime);
    Report("DrawTextW wrap 200 characters into 300 px", wrapTime, "GetTextExtentPoint32W of it", paragraphMeasureTime);
    Report("DrawTextW end ellipsis, 100 characters", ellipsisTime, "the same measuring only", lineMeasureTime);
    Report("60 x 5 cells into 1920x1080", tableTime, "FillRect of the bitmap", fillTime);
    std::printf("allocations per GetTextExtentPoint32W: %ld\n", extentAllocations);
    std::printf("wrapping 200 characters: %.2f us (target <= 20 us); 60 x 5 cells: %.0f us (target <= 8000 us)\n",
                wrapTime, tableTime);
    std::printf("ratio GetTextExtentPoint32W / sum of advances in a flat table: %.2f\n", extentTime / flatSumTime);
    std::printf("ratio GetTextExtentPoint32W / sum of advances in a hash map: %.2f (target <= 3)\n", extentTime / sumTime);
    std::printf("ratio DrawTextW wrap / measuring the paragraph: %.2f\n", wrapTime / paragraphMeasureTime);
    std::printf("ratio DrawTextW end ellipsis / measuring the line: %.2f (target <= 2)\n", ellipsisTime / lineMeasureTime);
    std::printf("ratio 60 x 5 cells / FillRect of the bitmap: %.2f\n", tableTime / fillTime);
    return sink == -1;
}
