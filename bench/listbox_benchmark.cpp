// A list box of 100,000 items against baselines measured in the same run:
//   one scroll step by a line and by a page, with the repaint   vs one FillRect of the client area
//   adding 100,000 items inside Items.BeginUpdate/EndUpdate     vs adding 10,000 (per item: linear is 1)
//   adding 10,000 items in no order to a sorted list            (binary search for each place)
// Each figure is the median of several rounds; the last line is the ratio.

#include <cstdio>
#include <string>

#include "BenchTiming.h"
#include "platform/ui/Application.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Screen.h"
#include "platform/ui/stdctrls/ListBox.h"
#include "platform/win/User.h"

namespace {

constexpr int kItems = 100000;

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

// Seconds per item to fill List with Count items in one update bracket.
double FillSeconds(TListBox* list, int count, bool shuffled) {
    return TTiming(5).Prepare([&] { list->Clear(); }).MedianSeconds([&] {
        list->Items()->Updating([&] {
            for (int i = 0; i < count; ++i) {
                const int key = shuffled ? int((uint32_t(i) * 2654435761u) % uint32_t(count)) : i;
                list->Items()->Add(u"视频文件 " + String(std::to_string(key)) + u".mp4");
            }
        });
    }) / count;
}

} // namespace

int main() {
    auto* form = new TForm(&Application());
    form->SetBounds(0, 0, 400, 600);
    auto* list = new TListBox(form);
    list->SetBounds(10, 10, 300, 500);
    list->SetParent(form);
    form->Show();
    Pump();

    const double perItemSmall = FillSeconds(list, kItems / 10, false);
    const double perItemLarge = FillSeconds(list, kItems, false);
    list->SetSorted(true);
    const double perItemSorted = FillSeconds(list, kItems / 10, true);
    list->SetSorted(false);
    FillSeconds(list, kItems, false);
    list->SetTopIndex(kItems / 2);
    UpdateWindow(list->Handle());

    const HWND w = list->Handle();
    bool down = false;
    auto step = [&](WORD forward, WORD back) {
        down = !down;
        SendMessageW(w, WM_VSCROLL, down ? forward : back, 0);
        UpdateWindow(w);
    };
    const double lineTime = 1e6 * TTiming(31).Repeat(200).MedianSeconds([&] { step(SB_LINEDOWN, SB_LINEUP); });
    const double pageTime = 1e6 * TTiming(31).Repeat(200).MedianSeconds([&] { step(SB_PAGEDOWN, SB_PAGEUP); });

    RECT client{};
    GetClientRect(w, &client);
    const HDC dc = GetDC(w);
    const HBRUSH brush = GetSysColorBrush(COLOR_WINDOW);
    const double fillTime = 1e6 * TTiming(31).Repeat(200).MedianSeconds([&] { FillRect(dc, &client, brush); });
    ReleaseDC(w, dc);

    std::printf("adding %d items in an update bracket  %8.3f us per item (%d items: %.3f us per item)\n", kItems,
                1e6 * perItemLarge, kItems / 10, 1e6 * perItemSmall);
    std::printf("adding %d items to a sorted list       %8.3f us per item\n", kItems / 10, 1e6 * perItemSorted);
    std::printf("scroll by a line with the repaint     %8.1f us\n", lineTime);
    std::printf("scroll by a page with the repaint     %8.1f us\n", pageTime);
    std::printf("one FillRect of the client area       %8.1f us\n", fillTime);
    std::printf("ratio per item 100,000 / 10,000: %.2f (linear: about 1)\n", perItemLarge / perItemSmall);
    std::printf("ratio scroll by a page / FillRect: %.2f   by a line / FillRect: %.2f\n", pageTime / fillTime,
                lineTime / fillTime);
    delete form;
    FreeApplication();
    FreeScreen();
    return 0;
}
