// Writing the settings of a session: 200 values written one by one through the
// registry hive (each a locked re-read and an atomic rewrite of the file),
// against 200 atomic rewrites of a file as large as the finished hive. Both
// start without the file; each figure is the median of several rounds. The last
// line is the ratio of the two.
//
//   registry_write_benchmark [folder]     (default: a new folder under the temporary folder)

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchFolder.h"
#include "BenchTiming.h"
#include "platform/rtl/AtomicFile.h"
#include "platform/rtl/Registry.h"

namespace {

namespace fs = std::filesystem;

constexpr int kRounds = 7;
constexpr int kValues = 200;

bool WriteValues() {
    HKEY key = 0;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, u"Ostrel\\Bench", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr))
        return false;
    bool ok = true;
    for (int i = 0; i < kValues; ++i) {
        const String name = String("NormPos" + std::to_string(i));
        const std::u16string text = u"100,80,900,680";
        ok = ok && RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const uint8_t*>(text.c_str()),
                                  static_cast<DWORD>((text.size() + 1) * 2)) == ERROR_SUCCESS;
    }
    RegCloseKey(key);
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    const fs::path folder = argc > 1 ? fs::path(argv[1]) : NewBenchFolder("registry-write-benchmark");
    if (folder.empty()) return 1;
    ::setenv("OSTREL_HOME", folder.c_str(), 1);
    const fs::path hive = folder / "Registry" / "HKEY_CURRENT_USER.hive";
    const fs::path file = folder / "Reference.hive";

    bool ok = true;
    const double registry = 1e3 * TTiming(kRounds).Prepare([&] { fs::remove(hive); }).MedianSeconds([&] { ok = WriteValues() && ok; });
    const std::string bytes = FileContents(hive);
    const String fileName(file.string());
    const double reference = 1e3 * TTiming(kRounds).Prepare([&] { fs::remove(file); }).MedianSeconds([&] {
        for (int i = 0; i < kValues; ++i) WriteFileAtomically(fileName, bytes);
    });
    const bool same = FileContents(file) == bytes;
    if (argc <= 1) fs::remove_all(folder);
    if (!ok || !same) {
        std::fprintf(stderr, "the registry failed to write or the reference wrote other contents\n");
        return 1;
    }

    std::printf("%d atomic rewrites of a %zu-byte file: %.3f ms\n", kValues, bytes.size(), reference);
    std::printf("%d values written through the registry hive:  %.3f ms\n", kValues, registry);
    std::printf("ratio: %.2f\n", registry / reference);
    return 0;
}
