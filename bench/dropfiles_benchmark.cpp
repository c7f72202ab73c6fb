// A desktop drop of many files: a text/uri-list of local files becomes a
// CF_HDROP block, read back name by name through DragQueryFileW. Timed at
// 10,000 and 20,000 files to show the work grows linearly, and against
// copying the same bytes (the URI list and the block). Prints the ratio of the
// conversion to the copy last.

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "BenchTiming.h"
#include "platform/win/dataxfer/DropFiles.h"
#include "platform/win/dataxfer/Media.h"
#include "platform/win/dataxfer/UriList.h"

namespace {

std::string UriList(int files) {
    std::string list = "# dropped files\r\n";
    char line[128];
    for (int i = 0; i < files; ++i) {
        std::snprintf(line, sizeof line, "file:///home/user/%%E8%%A7%%86%%E9%%A2%%91/clip%%20%05d.mp4\r\n", i);
        list += line;
    }
    return list;
}

// Converts and reads back; the number of characters read.
size_t ConvertAndRead(const std::string& list) {
    HDROP drop = CreateDropFilesHandle(LocalFilesFromUriList(list, "box"));
    size_t characters = 0;
    std::u16string name;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        name.resize(DragQueryFileW(drop, i, nullptr, 0) + 1);
        characters += DragQueryFileW(drop, i, name.data(), UINT(name.size()));
    }
    DragFinish(drop);
    return characters;
}

} // namespace

int main() {
    const TTiming timing(7);
    double perFile[2] = {};
    double convert = 0, copy = 0;
    int round = 0;
    for (int files : {10000, 20000}) {
        const std::string list = UriList(files);
        const std::vector<uint8_t> block = WriteDropFiles(LocalFilesFromUriList(list, "box"));
        size_t read = 0;
        const double seconds = timing.MedianSeconds([&] { read = ConvertAndRead(list); });
        if (read != size_t(files) * 28) {
            std::printf("read %zu characters, expected %zu\n", read, size_t(files) * 28);
            return 2;
        }
        const double copied = timing.MedianSeconds([&] {
            std::string listCopy = list;
            std::vector<uint8_t> blockCopy = block;
            if (listCopy.empty() || blockCopy.empty()) std::abort();
        });
        std::printf("%6d files: convert and read %8.3f ms, copy the bytes %8.3f ms\n", files, seconds * 1e3,
                    copied * 1e3);
        perFile[round++] = seconds / files;
        if (files == 10000) {
            convert = seconds;
            copy = copied;
        }
    }
    std::printf("time per file, 20,000 against 10,000 files: %.2f\n", perFile[1] / perFile[0]);
    std::printf("ratio convert-and-read/copy at 10,000 files: %.1f\n", convert / copy);
    return 0;
}
