// A report list view (three columns) against baselines measured in the same run:
//   one scroll step by a line and by a page, with the repaint   vs one FillRect of the client area
//   the same steps with 100,000 items                          vs 10,000 items (flat: about 1)
//   AlphaSort of 100,000 items named in Chinese and Latin      vs 10,000, each per n log n (about 1)
// Each figure is the median of several rounds; the last line is the ratio.

#include <cmath>
#include <cstdio>
#include <string>

#include "BenchTiming.h"
#include "platform/ui/Application.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Screen.h"
#include "platform/ui/comctrls/ListView.h"
#include "platform/win/User.h"
#include "platform/win/controls/CommonControlConstants.h"

namespace {

constexpr int kItems = 100000;

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

// A caption for the item at Place of a list of Count, Chinese and Latin by turns, in no order.
String Caption(int place, int count) {
    const int key = int((uint32_t(place) * 2654435761u) % uint32_t(count));
    return (key % 2 ? String(u"视频文件 ") : String(u"Movie ")) + String(std::to_string(key));
}

TListView* MakeView(TForm* form, int count, int left) {
    auto* view = new TListView(form);
    view->SetBounds(left, 10, 420, 500);
    view->SetRowSelect(true);
    for (const auto& [caption, width] : {std::pair{u"名称", 200}, {u"Size", 80}, {u"类型", 100}}) {
        TListColumn* column = view->Columns()->Add();
        column->SetCaption(caption);
        column->SetWidth(width);
    }
    view->SetParent(form);
    view->Items()->BeginUpdate();
    for (int i = 0; i < count; ++i) {
        TListItem* item = view->Items()->Add();
        item->SetCaption(Caption(i, count));
        item->SubItems()->Add(String(std::to_string(i * 37 % 9000)) + u" KB");
        item->SubItems()->Add(i % 3 ? u"MP4 视频" : u"AVI");
    }
    view->Items()->EndUpdate();
    Pump();
    return view;
}

// Gives the items captions in no order again, outside the timing.
void Scramble(TListView* view) {
    const int count = view->Items()->Count();
    view->Items()->BeginUpdate();
    for (int i = 0; i < count; ++i) view->Items()->Item(i)->SetCaption(Caption(i, count));
    view->Items()->EndUpdate();
}

struct TScrollTimes {
    double line = 0;
    double page = 0;
};

// Microseconds per step down and back up from the middle, through the paint cycle.
TScrollTimes ScrollTimes(TListView* view) {
    const HWND w = view->Handle();
    SendMessageW(w, LVM_ENSUREVISIBLE, WPARAM(view->Items()->Count() / 2), FALSE);
    UpdateWindow(w);
    bool down = false;
    auto step = [&](WORD forward, WORD back) {
        down = !down;
        SendMessageW(w, WM_VSCROLL, down ? forward : back, 0);
        UpdateWindow(w);
    };
    TScrollTimes times;
    times.line = 1e6 * TTiming(31).Repeat(200).MedianSeconds([&] { step(SB_LINEDOWN, SB_LINEUP); });
    times.page = 1e6 * TTiming(31).Repeat(200).MedianSeconds([&] { step(SB_PAGEDOWN, SB_PAGEUP); });
    return times;
}

// Seconds per n log2 n of one AlphaSort of the view's items.
double SortSecondsPerNLogN(TListView* view) {
    const double n = view->Items()->Count();
    return TTiming(5).Prepare([&] { Scramble(view); }).MedianSeconds([&] { view->AlphaSort(); }) /
           (n * std::log2(n));
}

} // namespace

int main() {
    auto* form = new TForm(&Application());
    form->SetBounds(0, 0, 880, 540);
    form->Show();
    TListView* small = MakeView(form, kItems / 10, 10);
    TListView* large = MakeView(form, kItems, 440);

    const TScrollTimes smallScroll = ScrollTimes(small);
    const TScrollTimes largeScroll = ScrollTimes(large);
    const double smallSort = SortSecondsPerNLogN(small);
    const double largeSort = SortSecondsPerNLogN(large);

    const HWND w = large->Handle();
    RECT client{};
    GetClientRect(w, &client);
    const HDC dc = GetDC(w);
    const HBRUSH brush = GetSysColorBrush(COLOR_WINDOW);
    const double fillTime = 1e6 * TTiming(31).Repeat(200).MedianSeconds([&] { FillRect(dc, &client, brush); });
    ReleaseDC(w, dc);

    std::printf("scroll by a line with the repaint, %d items   %8.1f us (%d items: %.1f us)\n", kItems,
                largeScroll.line, kItems / 10, smallScroll.line);
    std::printf("scroll by a page with the repaint, %d items   %8.1f us (%d items: %.1f us)\n", kItems,
                largeScroll.page, kItems / 10, smallScroll.page);
    std::printf("one FillRect of the client area                %8.1f us\n", fillTime);
    std::printf("AlphaSort of %d items                        %8.1f ms (%.3f ns per n log n)\n", kItems,
                1e3 * largeSort * kItems * std::log2(double(kItems)), 1e9 * largeSort);
    std::printf("AlphaSort of %d items                         %8.1f ms (%.3f ns per n log n)\n", kItems / 10,
                1e3 * smallSort * (kItems / 10) * std::log2(double(kItems / 10)), 1e9 * smallSort);
    std::printf("ratio scroll 100,000 / 10,000 items: line %.2f, page %.2f (flat: about 1)\n",
                largeScroll.line / smallScroll.line, largeScroll.page / smallScroll.page);
    std::printf("ratio AlphaSort per n log n, 100,000 / 10,000 items: %.2f (n log n: about 1)\n",
                largeSort / smallSort);
    std::printf("ratio scroll by a page / FillRect: %.2f   by a line / FillRect: %.2f\n",
                largeScroll.page / fillTime, largeScroll.line / fillTime);
    delete form;
    FreeApplication();
    FreeScreen();
    return 0;
}
