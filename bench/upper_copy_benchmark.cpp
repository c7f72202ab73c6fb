// Upper-casing 1 MiB of mixed Latin, Cyrillic, Greek and Chinese text: the
// table-based UpperCopy against the per-character CharUpper of the run-time
// library. Prints the best time of each, then the speed-up of the table;
// exits with 1 when the table is the slower.

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "support/utils/ScCharTables.h"
#include "support/utils/ScStrings.h"

namespace {

String SampleText() {
    const char16_t* words[] = {u"Conversion ", u"профиль ", u"视频转换 ", u"Straße ", u"ΑΛΦΑ βήτα ", u"mp4/H.264, ",
                               u"输出文件夹 ", u"Größe=1920x1080 "};
    String text;
    constexpr size_t kChars = 1024 * 1024 / sizeof(char16_t);
    for (size_t i = 0; text.size() < kChars; ++i) text += words[i % std::size(words)];
    text.resize(kChars);
    return text;
}

template <class Fn>
double BestMilliseconds(Fn fn) {
    double best = 1e300;
    for (int run = 0; run < 15; ++run) {
        const auto start = std::chrono::steady_clock::now();
        fn();
        const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

} // namespace

int main() {
    const String text = SampleText();
    String byTable, byChar;
    StartScCharTables();
    const double table = BestMilliseconds([&] { byTable = UpperCopy(text); });
    const double perChar = BestMilliseconds([&] {
        byChar = text;
        for (char16_t& c : byChar) c = CharUpper(c);
    });
    if (byTable != byChar) {
        std::printf("results differ\n");
        return 2;
    }
    std::printf("UpperCopy (tables)       %8.3f ms per MiB\n", table);
    std::printf("CharUpper per character  %8.3f ms per MiB\n", perChar);
    std::printf("ratio CharUpper/UpperCopy %.2f\n", perChar / table);
    return table <= perChar ? 0 : 1;
}
