// Files written by libpng in every colour type and depth, interlaced or not,
// with each row filter and compression level and the chunks that change
// colours: each must decode to the bitmap the documented mapping makes of the
// samples libpng reads back.

#include <gtest/gtest.h>

#include "PngOracle.h"
#include "platform/rtl/Streams.h"
#include "skins/PNGGraphic.h"

namespace {

struct TColorDepth {
    int colorType, depth;
};
constexpr TColorDepth kAllColorDepths[] = {{0, 1}, {0, 2}, {0, 4}, {0, 8}, {0, 16}, {2, 8}, {2, 16}, {3, 1},
                                           {3, 2}, {3, 4}, {3, 8}, {4, 8}, {4, 16}, {6, 8}, {6, 16}};

// Decodes the file and names what differs from libpng's samples under the mapping.
std::string DecodeAndCompare(const std::vector<uint8_t>& file) {
    const std::optional<TPngRaw> raw = ReadPngRaw(file);
    if (!raw) return "libpng rejects the file";
    TPNGGraphic graphic;
    TBytesStream stream(file);
    graphic.LoadFromStream(stream);
    std::string difference = CompareBitmap(graphic, ExpectedBitmap(*raw));
    const TImageProperties& p = graphic.ImageProperties();
    if (difference.empty() && (p.Width != raw->width || p.Height != raw->height || p.BitsPerSample != raw->depth ||
                               p.Interlaced != raw->interlaced || p.Compression != ctLZ77 ||
                               p.Options.Contains(ioUseGamma) != raw->gamma.has_value()))
        difference = "image properties differ";
    return difference;
}

TEST(PNGConformance, EveryColourTypeDepthSizeFilterAndLevel) {
    const std::pair<int, int> sizes[] = {{1, 1}, {1, 9}, {9, 1}, {7, 5}, {32, 32}, {33, 17}};
    int files = 0;
    for (const TColorDepth& cd : kAllColorDepths)
        for (const bool interlaced : {false, true})
            for (const auto& [width, height] : sizes)
                for (int filter = -1; filter <= 4; ++filter)
                    for (const int level : {0, 9}) {
                        TPngSpec spec{.width = width, .height = height, .colorType = cd.colorType, .depth = cd.depth,
                                      .interlaced = interlaced, .filter = filter, .level = level,
                                      .seed = uint32_t(++files)};
                        EXPECT_EQ(DecodeAndCompare(WritePng(spec)), "") << spec.Name();
                    }
}

TEST(PNGConformance, ColourChangingAndAncillaryChunks) {
    std::vector<TPngSpec> specs;
    auto add = [&](TPngSpec spec) {
        spec.width = 7, spec.height = 5, spec.seed = uint32_t(specs.size() + 7);
        specs.push_back(spec);
    };
    for (const int depth : {1, 2, 4, 8}) {
        add({.colorType = 3, .depth = depth, .paletteSize = 1});
        add({.colorType = 3, .depth = depth, .indexAlpha = {0, 128}});
        add({.colorType = 3, .depth = depth, .indexAlpha = std::vector<uint8_t>(size_t(1) << depth, 77)});
        add({.colorType = 3, .depth = depth, .background = TPngColor16{.index = 1}});
        add({.colorType = 3, .depth = depth, .paletteSize = 1, .background = TPngColor16{.index = 1}});
    }
    for (const int depth : {1, 2, 4, 8, 16}) {
        add({.colorType = 0, .depth = depth, .transparentKey = TPngColor16{.grey = 1}});
        add({.colorType = 0, .depth = depth, .background = TPngColor16{.grey = uint16_t((1u << depth) - 2)}});
    }
    for (const int depth : {8, 16}) {
        add({.colorType = 2, .depth = depth, .transparentKey = TPngColor16{300, 2, 65535}});
        add({.colorType = 2, .depth = depth, .background = TPngColor16{0x1234, 0x8000, 0xFFFF}});
        add({.colorType = 4, .depth = depth, .background = TPngColor16{.grey = 0x80}});
        add({.colorType = 6, .depth = depth, .background = TPngColor16{1, 2, 3}});
    }
    for (const TColorDepth& cd : kAllColorDepths) {
        for (const uint32_t gamma : {45455u, 100000u, 220000u})
            add({.colorType = cd.colorType, .depth = cd.depth,
                 .background = cd.colorType == 3 ? std::nullopt : std::optional(TPngColor16{1, 1, 1, 1}),
                 .gamma = gamma});
        add({.colorType = cd.colorType, .depth = cd.depth, .ancillaryChunks = true});
    }
    for (const TPngSpec& spec : specs) EXPECT_EQ(DecodeAndCompare(WritePng(spec)), "") << spec.Name();
}

} // namespace
