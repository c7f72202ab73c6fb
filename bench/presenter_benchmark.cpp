// The Qt presenter's hot paths on the offscreen platform, against baselines
// measured in the same run:
//   flushing a full 1920x1080 dirty surface to the backing store  vs a memcpy of the surface
//   flushing the one-row strip a scroll step leaves               (absolute, and vs the memcpy)
//   a Qt mouse move dispatched as WM_MOUSEMOVE                    vs Qt delivering the move alone
//   waking the GUI thread idle in Qt's wait by a worker's post    vs a TEvent wake between the threads
// The last lines are the ratios.

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include <QTest>
#include <QWindow>

#include "platform/rtl/SyncObjs.h"
#include "platform/win/User.h"
#include "platform/win/backend/qt/QtPresenter.h"
#include "platform/win/backend/qttest/OffscreenDesktop.h"

namespace {

constexpr int kWidth = 1920, kHeight = 1080;

LRESULT Plain(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        ValidateRect(hwnd, nullptr);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND ShowPopup(RECT r) {
    static const bool registered = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = &Plain;
        wc.lpszClassName = u"PresenterBench";
        return RegisterClassExW(&wc) != 0;
    }();
    (void)registered;
    const HWND hwnd = CreateWindowExW(0, u"PresenterBench", u"", WS_POPUP, r.left, r.top, r.right - r.left,
                                      r.bottom - r.top, nullptr, nullptr, nullptr, nullptr);
    ShowWindow(hwnd, SW_SHOW);
    SettleDesktop();
    return hwnd;
}

void SurfaceMemcpy(benchmark::State& state) {
    std::vector<uint32_t> from(size_t(kWidth) * kHeight, 0x00336699), to(from.size());
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size() * sizeof(uint32_t));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(SurfaceMemcpy);

void Flush(benchmark::State& state, RECT dirty) {
    const HWND hwnd = ShowPopup(RECT{0, 0, kWidth, kHeight});
    TSurface& surface = *WindowSurface(hwnd);
    const std::shared_ptr<IPresenter> presenter = Presenter();
    for (auto _ : state) {
        presenter->Present(hwnd, surface, std::span(&dirty, 1));
        benchmark::ClobberMemory();
    }
    DestroyWindow(hwnd);
}

void FlushFullSurface(benchmark::State& state) { Flush(state, RECT{0, 0, kWidth, kHeight}); }
BENCHMARK(FlushFullSurface);

void FlushOneRowStrip(benchmark::State& state) { Flush(state, RECT{0, kHeight - 1, kWidth, kHeight}); }
BENCHMARK(FlushOneRowStrip);

// Moves between two points, so that every move is one.
QPoint Alternate(int i) { return i & 1 ? QPoint(20, 30) : QPoint(21, 31); }

void QtDeliversMouseMove(benchmark::State& state) {
    QWindow window;
    window.setGeometry(0, 0, 200, 200);
    window.show();
    SettleDesktop();
    int i = 0;
    for (auto _ : state) QTest::mouseMove(&window, Alternate(++i));
}
BENCHMARK(QtDeliversMouseMove);

void QtMouseMoveDispatched(benchmark::State& state) {
    const HWND hwnd = ShowPopup(RECT{0, 0, 200, 200});
    QWindow* window = InstalledQtPresenter()->WindowOf(hwnd);
    int i = 0;
    MSG msg;
    for (auto _ : state) {
        QTest::mouseMove(window, Alternate(++i));
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    DestroyWindow(hwnd);
}
BENCHMARK(QtMouseMoveDispatched);

void EventWake(benchmark::State& state) {
    TEvent go(false), woken(false);
    std::atomic<bool> stop = false;
    std::thread worker([&] {
        for (;;) {
            go.WaitFor();
            if (stop) return;
            woken.SetEvent();
        }
    });
    for (auto _ : state) {
        go.SetEvent();
        woken.WaitFor();
    }
    stop = true;
    go.SetEvent();
    worker.join();
}
BENCHMARK(EventWake)->UseRealTime();

void PostWakesQtWait(benchmark::State& state) {
    const HWND hwnd = ShowPopup(RECT{0, 0, 50, 50});
    TEvent go(false);
    std::atomic<bool> stop = false;
    std::thread worker([&] {
        for (;;) {
            go.WaitFor();
            if (stop) return;
            PostMessageW(hwnd, WM_USER, 0, 0);
        }
    });
    MSG msg;
    for (auto _ : state) {
        go.SetEvent();
        GetMessageW(&msg, hwnd, WM_USER, WM_USER);
    }
    stop = true;
    go.SetEvent();
    worker.join();
    DestroyWindow(hwnd);
}
BENCHMARK(PostWakesQtWait)->UseRealTime();

class TCollector : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) times[run.benchmark_name()] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times; // nanoseconds
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    TCollector collector;
    {
        TOffscreenDesktop desktop({{"Screen", QRect(0, 0, kWidth, kHeight)}});
        benchmark::RunSpecifiedBenchmarks(&collector);
    }
    auto& t = collector.times;
    const auto has = [&](std::initializer_list<const char*> names) {
        for (const char* name : names)
            if (!t.count(name)) return false;
        return true;
    };
    if (has({"FlushOneRowStrip"}))
        std::printf("%-52s %7.4f ms  (goal: at most 0.1 ms)\n", "one-row strip flush", t["FlushOneRowStrip"] / 1e6);
    if (has({"QtMouseMoveDispatched", "QtDeliversMouseMove"}))
        std::printf("%-52s %7.2f us  (goal: at most 5 us)\n", "mouse move: dispatched WM_MOUSEMOVE beyond Qt's delivery",
                    (t["QtMouseMoveDispatched"] - t["QtDeliversMouseMove"]) / 1e3);
    const auto ratio = [&](const char* what, const char* subject, const char* baseline, const char* goal) {
        if (!has({subject, baseline})) return;
        std::printf("%-52s %7.2fx  %s\n", what, t[subject] / t[baseline], goal);
    };
    ratio("full 1920x1080 flush / memcpy of the surface", "FlushFullSurface", "SurfaceMemcpy", "(goal: at most 2x)");
    ratio("one-row strip flush / memcpy of the surface", "FlushOneRowStrip", "SurfaceMemcpy", "");
    ratio("Qt mouse move to dispatched WM_MOUSEMOVE / Qt's delivery", "QtMouseMoveDispatched", "QtDeliversMouseMove", "");
    ratio("post waking Qt's wait / TEvent wake", "PostWakesQtWait/real_time", "EventWake/real_time", "(goal: at most 2x)");
    benchmark::Shutdown();
    return 0;
}
