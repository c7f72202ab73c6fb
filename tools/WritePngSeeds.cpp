// Writes small PNG files (under 4 KiB) into the folder given on the command
// line: every colour type and depth, plain and interlaced, with palettes,
// transparency, background and gamma chunks; the seeds of png_decoder_fuzzer.

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "PngOracle.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    const std::pair<int, int> colorDepths[] = {{0, 1}, {0, 2}, {0, 4}, {0, 8}, {0, 16}, {2, 8}, {2, 16}, {3, 1},
                                               {3, 2}, {3, 4}, {3, 8}, {4, 8}, {4, 16}, {6, 8}, {6, 16}};
    int seed = 0;
    for (const auto& [colorType, depth] : colorDepths)
        for (const bool interlaced : {false, true}) {
            TPngSpec spec{.width = 9, .height = 7, .colorType = colorType, .depth = depth, .interlaced = interlaced,
                          .seed = uint32_t(++seed)};
            if (colorType == 3) spec.indexAlpha = {10, 200};
            if (colorType == 0 || colorType == 2) spec.transparentKey = TPngColor16{1, 2, 3, 1};
            if (colorType != 3) spec.background = TPngColor16{4, 5, 6, 1};
            if (interlaced) spec.gamma = 45455;
            const std::vector<uint8_t> file = WritePng(spec);
            std::ofstream(folder / (spec.Name() + ".png"), std::ios::binary)
                .write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
        }
    return 0;
}
