// Saving the custom profiles: 50 profiles of 15 keys and their count (751 keys)
// written one by one through TIniFile, against one atomic write of the same
// file content. Both start without the file; each figure is the median of
// several rounds. The last line is the ratio of the two.
//
//   ini_write_benchmark [folder]     (default: a new folder under the temporary folder)

#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "BenchFolder.h"
#include "BenchTiming.h"
#include "platform/rtl/AtomicFile.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/StringList.h"

namespace {

namespace fs = std::filesystem;

constexpr int kRounds = 11;

std::vector<std::pair<String, String>> ProfileKeys() {
    const char* names[] = {"Description", "Extension",  "Category",    "IsVideo",      "SampleRate",
                           "AudioEncoder", "AudioChannels", "AudioBitrate", "Format",   "Options",
                           "FrameWidth",  "FrameHeight", "VideoEncoder", "FrameRate", "VideoBitrate"};
    std::vector<std::pair<String, String>> keys;
    for (int i = 0; i < 50; ++i)
        for (const char* name : names)
            keys.emplace_back(String(name + std::to_string(i)), String(u"自定义 " + String(std::to_string(i * 31))));
    keys.emplace_back(String("ProfileCount"), String("50"));
    return keys;
}

} // namespace

int main(int argc, char** argv) {
    const fs::path folder = argc > 1 ? fs::path(argv[1]) : NewBenchFolder("ini-write-benchmark");
    if (folder.empty()) return 1;
    const fs::path file = folder / "Profiles.ini";
    const String fileName(file.string());
    const auto keys = ProfileKeys();

    TMemIniFile expected("");
    for (const auto& [key, value] : keys) expected.WriteString("Profile", key, value);
    TStringList lines;
    expected.GetStrings(lines);
    const std::string bytes = lines.Text().ToUtf8();

    const auto removeFile = [&] { fs::remove(file); };
    const double reference = 1e3 * TTiming(kRounds).Prepare(removeFile).MedianSeconds([&] { WriteFileAtomically(fileName, bytes); });
    const double ini = 1e3 * TTiming(kRounds).Prepare(removeFile).MedianSeconds([&] {
        TIniFile profiles(fileName);
        for (const auto& [key, value] : keys) profiles.WriteString("Profile", key, value);
    });
    const bool same = FileContents(file) == bytes;
    if (argc <= 1) fs::remove_all(folder);
    if (!same) {
        std::fprintf(stderr, "TIniFile wrote other contents than the reference\n");
        return 1;
    }

    std::printf("one atomic write of the file (%zu keys, %zu bytes): %.3f ms\n", keys.size(), bytes.size(), reference);
    std::printf("%zu keys written through TIniFile:                 %.3f ms\n", keys.size(), ini);
    std::printf("ratio: %.2f\n", ini / reference);
    return 0;
}
