// Translation costs: a resource string loaded by identifier while the
// translator runs without a catalogue, against a plain copy of the same text;
// and a lookup in a catalogue of 10,000 entries, against std::map with the
// same keys. Each figure is the median of several rounds in nanoseconds per
// operation; the last two lines are the ratios.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/rtl/ResourceStrings.h"
#include "support/translation/ScMoFile.h"
#include "support/utils/SupportUnit.h"

extern const TSupportUnit ScTranslatorUnit;

namespace {

constexpr int kRounds = 9;

double MedianNanoseconds(int operations, const std::function<void()>& run) {
    std::vector<double> times;
    for (int round = 0; round <= kRounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        run();
        const std::chrono::duration<double, std::nano> elapsed = std::chrono::steady_clock::now() - start;
        if (round > 0) times.push_back(elapsed.count() / operations);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// The MO layout: header, sorted originals table, translations table, strings.
std::vector<uint8_t> Catalogue(const std::map<std::string, std::string>& entries) {
    std::vector<uint8_t> bytes;
    auto put = [&](uint32_t value, size_t at) {
        for (int k = 0; k < 4; ++k) bytes[at + k] = uint8_t(value >> 8 * k);
    };
    const uint32_t n = uint32_t(entries.size()), originals = 28, translations = originals + 8 * n;
    bytes.resize(translations + 8 * n);
    put(0x950412DE, 0);
    put(n, 8);
    put(originals, 12);
    put(translations, 16);
    uint32_t i = 0;
    for (const auto& [key, value] : entries) {
        for (auto [text, table] : {std::pair{&key, originals}, std::pair{&value, translations}}) {
            put(uint32_t(text->size()), table + 8 * i);
            put(uint32_t(bytes.size()), table + 8 * i + 4);
            bytes.insert(bytes.end(), text->begin(), text->end());
            bytes.push_back(0);
        }
        ++i;
    }
    return bytes;
}

constexpr TResStringRec SBenchText{0xF05F, u"Conversion finished"};

} // namespace

int main() {
    ScTranslatorUnit.Start();
    RegisterResStrings({&SBenchText});
    constexpr int loads = 100000;
    size_t sink = 0;
    const String text = SBenchText.Default;
    const double loaded = MedianNanoseconds(loads, [&] {
        for (int i = 0; i < loads; ++i) sink += LoadStr(SBenchText.Identifier).size();
    });
    const double copied = MedianNanoseconds(loads, [&] {
        for (int i = 0; i < loads; ++i) sink += String(text).size();
    });
    UnregisterResStrings({&SBenchText});
    ScTranslatorUnit.Finish();

    std::map<std::string, std::string> entries;
    for (int i = 0; i < 10000; ++i) entries["Message number " + std::to_string(i * 7919 % 100003)] = "Meldung " + std::to_string(i);
    const TMoFile file(Catalogue(entries), u"bench.mo");
    std::vector<std::string> keys;
    for (const auto& [key, value] : entries) keys.push_back(key);
    std::reverse(keys.begin(), keys.end());
    const double moLookup = MedianNanoseconds(int(keys.size()), [&] {
        for (const std::string& key : keys) sink += file.Lookup(key)->size();
    });
    const double mapLookup = MedianNanoseconds(int(keys.size()), [&] {
        for (const std::string& key : keys) sink += entries.find(key)->second.size();
    });

    std::printf("resource string by identifier, no catalogue: %.1f ns\n", loaded);
    std::printf("plain string copy:                           %.1f ns\n", copied);
    std::printf("catalogue lookup, 10000 entries:             %.1f ns\n", moLookup);
    std::printf("std::map lookup, same keys:                  %.1f ns\n", mapLookup);
    std::printf("resource string load / plain copy: %.2f\n", loaded / copied);
    std::printf("catalogue lookup / std::map lookup: %.2f\n", moLookup / mapLookup);
    return sink == 0;
}
