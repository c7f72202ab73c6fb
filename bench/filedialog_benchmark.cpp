// Our file dialog on a folder of 20,000 entries, against reading the same
// folder with FindFirst/FindNext in the same run:
//   listing: reading, sorting and filling the report list     vs reading alone
//   re-filtering: another filter chosen, the list filled again vs reading alone
// Each figure is the median of several rounds; the last line is the ratio.

#include <cstdio>
#include <fstream>
#include <string>

#include "BenchFolder.h"
#include "BenchTiming.h"
#include "platform/rtl/Files.h"
#include "platform/ui/Application.h"
#include "platform/ui/dialogs/FileDialogForm.h"
#include "platform/win/User.h"

namespace {

constexpr int kEntries = 20000;

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

// Files of three kinds and some folders, with numbers that sort by value.
void MakeEntries(const std::filesystem::path& folder) {
    const char* kinds[] = {".mp4", ".MKV", ".txt"};
    for (int i = 0; i < kEntries; ++i) {
        const std::string name = (i % 2 ? "视频 " : "clip ") + std::to_string(i);
        if (i % 50 == 0) std::filesystem::create_directory(folder / name);
        else std::ofstream(folder / (name + kinds[i % 3]));
    }
}

int ReadWithFindFirst(const String& folder) {
    int count = 0;
    TSearchRec found;
    if (FindFirst(folder + u"/*", faAnyFile, found) == 0) {
        do ++count;
        while (FindNext(found) == 0);
    }
    FindClose(found);
    return count;
}

} // namespace

int main() {
    const std::filesystem::path path = NewBenchFolder("filedialog-bench");
    if (path.empty()) return 1;
    MakeEntries(path);
    const String folder = String::FromUtf8(path.string());

    TFileDialogSettings settings;
    settings.filters = ParseFileFilter(u"Video files|*.mp4;*.mkv|All files (*.*)|*.*");
    settings.folder = folder;
    auto* dialog = new TFileDialogForm(&Application(), settings);
    dialog->Show();
    Pump();

    const double reading = TTiming(5).MedianSeconds([&] { ReadWithFindFirst(folder); });
    const double listing = TTiming(5).MedianSeconds([&] { dialog->Navigate(folder); });
    int filter = 0;
    const double filtering = TTiming(5).MedianSeconds([&] { dialog->SetFilterIndex(filter ^= 1); });

    std::printf("entries: %d (FindFirst/FindNext count %d)\n", kEntries, ReadWithFindFirst(folder));
    std::printf("reading with FindFirst/FindNext: %.2f ms\n", reading * 1e3);
    std::printf("listing in the dialog:           %.2f ms\n", listing * 1e3);
    std::printf("re-filtering in the dialog:      %.2f ms\n", filtering * 1e3);
    std::printf("ratio listing/reading: %.2f, re-filtering/reading: %.2f\n", listing / reading, filtering / reading);
    delete dialog;
    std::filesystem::remove_all(path);
    return 0;
}
