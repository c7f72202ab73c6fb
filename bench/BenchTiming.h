#pragma once
// Timing shared by the benchmarks: the median of timed rounds.

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

class TTiming {
public:
    explicit TTiming(int rounds) : rounds_(rounds) {}
    // Calls of the run per round; the time is per call.
    TTiming& Repeat(int calls) { repeat_ = calls; return *this; }
    // Runs untimed before each round.
    TTiming& Prepare(std::function<void()> prepare) { prepare_ = std::move(prepare); return *this; }
    // Leaves out the untimed first round.
    TTiming& NoWarmUp() { warmUp_ = false; return *this; }

    double MedianSeconds(const std::function<void()>& run) const {
        std::vector<double> times;
        for (int round = warmUp_ ? -1 : 0; round < rounds_; ++round) {
            if (prepare_) prepare_();
            const auto start = std::chrono::steady_clock::now();
            for (int i = 0; i < repeat_; ++i) run();
            const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
            if (round >= 0) times.push_back(elapsed.count() / repeat_);
        }
        std::sort(times.begin(), times.end());
        return times[times.size() / 2];
    }

private:
    int rounds_;
    int repeat_ = 1;
    bool warmUp_ = true;
    std::function<void()> prepare_;
};

inline std::string FileContents(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
