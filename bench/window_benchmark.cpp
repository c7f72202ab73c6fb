// The window system's hot paths against baselines measured in the same run:
//   same-thread SendMessageW          vs a std::function call
//   post + peek + dispatch (1,000)    vs a vector queue of std::function calls
//   cross-thread SendMessageW         vs a TEvent ping-pong between two threads
//   ScrollWindowEx by one row of a 1920x1080 client plus painting the strip
//                                     vs a memmove of the surface
// The last lines are the ratios (and allocations per posted message).

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "AllocationCount.h"
#include "platform/rtl/SyncObjs.h"
#include "platform/win/User.h"

namespace {

LRESULT Trivial(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER) return LRESULT(wParam);
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND MakeWindow(DWORD style, int width, int height) {
    static const bool registered = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = &Trivial;
        wc.lpszClassName = u"Bench";
        return RegisterClassExW(&wc) != 0;
    }();
    (void)registered;
    return CreateWindowExW(0, u"Bench", u"", style, 0, 0, width, height, nullptr, nullptr, nullptr, nullptr);
}

void FunctionCall(benchmark::State& state) {
    std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)> call = &Trivial;
    benchmark::DoNotOptimize(call);
    WPARAM i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(call(nullptr, WM_USER, ++i, 0));
}
BENCHMARK(FunctionCall);

void SendSameThread(benchmark::State& state) {
    const HWND w = MakeWindow(WS_POPUP, 10, 10);
    WPARAM i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(SendMessageW(w, WM_USER, ++i, 0));
    DestroyWindow(w);
}
BENCHMARK(SendSameThread);

constexpr int kQueued = 1000;

void VectorQueue(benchmark::State& state) {
    std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)> call = &Trivial;
    std::vector<MSG> queue;
    queue.reserve(kQueued);
    for (auto _ : state) {
        for (int i = 0; i < kQueued; ++i) queue.push_back(MSG{nullptr, WM_USER, WPARAM(i), 0, 0, {}});
        for (const MSG& m : queue) benchmark::DoNotOptimize(call(m.hwnd, m.message, m.wParam, m.lParam));
        queue.clear();
    }
    state.SetItemsProcessed(state.iterations() * kQueued);
}
BENCHMARK(VectorQueue);

void PostPeekDispatch(benchmark::State& state) {
    const HWND w = MakeWindow(WS_POPUP, 10, 10);
    MSG msg;
    const auto round = [&] {
        for (int i = 0; i < kQueued; ++i) PostMessageW(w, WM_USER, WPARAM(i), 0);
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    };
    round(); // the queue reaches its working size
    const long before = AllocationsSoFar();
    for (auto _ : state) round();
    state.counters["allocations"] = double(AllocationsSoFar() - before);
    state.SetItemsProcessed(state.iterations() * kQueued);
    DestroyWindow(w);
}
BENCHMARK(PostPeekDispatch);

void EventPingPong(benchmark::State& state) {
    TEvent ping(false), pong(false);
    std::atomic<bool> stop = false;
    std::thread partner([&] {
        for (;;) {
            ping.WaitFor();
            if (stop) return;
            pong.SetEvent();
        }
    });
    for (auto _ : state) {
        ping.SetEvent();
        pong.WaitFor();
    }
    stop = true;
    ping.SetEvent();
    partner.join();
}
BENCHMARK(EventPingPong)->UseRealTime();

void SendAcrossThreads(benchmark::State& state) {
    std::atomic<HWND> target = nullptr;
    std::thread owner([&] {
        target = MakeWindow(WS_POPUP, 10, 10);
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0)) DispatchMessageW(&msg);
        DestroyWindow(target);
    });
    while (!target) std::this_thread::yield();
    WPARAM i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(SendMessageW(target, WM_USER, ++i, 0));
    PostMessageW(target, WM_QUIT, 0, 0);
    owner.join();
}
BENCHMARK(SendAcrossThreads)->UseRealTime();

constexpr int kWidth = 1920, kHeight = 1080;

void SurfaceMemmove(benchmark::State& state) {
    std::vector<uint32_t> pixels(size_t(kWidth) * kHeight, 1);
    for (auto _ : state) {
        std::memmove(pixels.data(), pixels.data() + kWidth, (pixels.size() - kWidth) * sizeof(uint32_t));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(SurfaceMemmove);

void ScrollAndPaintStrip(benchmark::State& state) {
    const HWND w = MakeWindow(WS_POPUP | WS_VISIBLE, kWidth, kHeight);
    RunUntilIdle();
    for (auto _ : state) {
        ScrollWindowEx(w, 0, -1, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE);
        PAINTSTRUCT ps;
        BeginPaint(w, &ps);
        EndPaint(w, &ps);
        benchmark::ClobberMemory();
    }
    DestroyWindow(w);
}
BENCHMARK(ScrollAndPaintStrip);

// Keeps each benchmark's time per iteration (per item where items are counted).
class TCollector : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            const double perRun = run.GetAdjustedRealTime();
            const auto items = run.counters.find("items_per_second");
            times[run.benchmark_name()] =
                items != run.counters.end() ? 1e9 / double(items->second) : perRun;
            const auto allocated = run.counters.find("allocations");
            if (allocated != run.counters.end()) allocationsPerMessage = allocated->second / (double(run.iterations) * kQueued);
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
    double allocationsPerMessage = 0;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    TCollector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    auto& t = collector.times;
    const auto ratio = [&](const char* what, const char* subject, const char* baseline, const char* goal) {
        if (!t.count(subject) || !t.count(baseline)) return;
        std::printf("%-52s %7.2fx  %s\n", what, t[subject] / t[baseline], goal);
    };
    ratio("same-thread send / std::function call", "SendSameThread", "FunctionCall", "(goal: at most 5x)");
    ratio("post+peek+dispatch / vector queue, per message", "PostPeekDispatch", "VectorQueue",
          "(goal: at most 250 ns a message)");
    if (t.count("PostPeekDispatch"))
        std::printf("%-52s %7.1f ns, %.3f allocations\n", "post+peek+dispatch per message", t["PostPeekDispatch"],
                    collector.allocationsPerMessage);
    ratio("cross-thread send / TEvent ping-pong", "SendAcrossThreads/real_time", "EventPingPong/real_time",
          "(goal: at most 2x)");
    ratio("scroll one row and paint the strip / memmove", "ScrollAndPaintStrip", "SurfaceMemmove",
          "(goal: at most 1.5x)");
    benchmark::Shutdown();
    return 0;
}
