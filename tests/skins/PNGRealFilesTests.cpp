// Every PNG file under /usr/share (icon themes, Qt's and the documentation's
// images), none made by this project: decoded by us, by libpng through the
// documented mapping and, for 8-bit truecolour and indexed files without
// gamma, by Qt's QImage.

#include <gtest/gtest.h>

#include <QImage>

#include <filesystem>
#include <fstream>
#include <map>

#include "PngOracle.h"
#include "platform/rtl/Streams.h"
#include "platform/ui/graphics/Graphic.h"
#include "skins/PNGGraphic.h"

namespace {

std::vector<uint8_t> ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Our pixel at (x, y) as 0xAARRGGBB: straight alpha, key-coloured pixels clear.
uint32_t ArgbAt(TPNGGraphic& graphic, const TPngRaw& raw, const std::vector<RGBQUAD>& colors, int x, int y) {
    const uint8_t* row = graphic.ScanLine(y);
    const int bpp = BitsOfPixelFormat(graphic.PixelFormat());
    uint32_t argb;
    if (bpp >= 24) {
        const uint8_t* p = row + size_t(x) * size_t(bpp / 8);
        argb = uint32_t(bpp == 32 ? p[3] : 255) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
    } else {
        const size_t bit = size_t(x) * size_t(bpp);
        const uint32_t index = (row[bit / 8] >> (8 - bpp - bit % 8)) & ((1u << bpp) - 1);
        const RGBQUAD c = index < colors.size() ? colors[index] : RGBQUAD{};
        const std::vector<uint8_t>& alpha = graphic.Transparency();
        const uint32_t sourceIndex = raw.depth == 2 ? index / 5 : index;
        const uint32_t a = alpha.empty() ? 255 : alpha[sourceIndex];
        argb = a << 24 | uint32_t(c.rgbRed) << 16 | uint32_t(c.rgbGreen) << 8 | c.rgbBlue;
    }
    const auto key = uint32_t(graphic.TransparentColor()); // 0x00BBGGRR
    const uint32_t keyRgb = (key & 0xFF) << 16 | (key & 0xFF00) | (key >> 16 & 0xFF);
    if (graphic.Transparent() && (argb & 0xFFFFFF) == keyRgb) argb &= 0xFFFFFF;
    return argb;
}

// Straight ARGB pixels agree, and fully transparent ones agree whatever their colour.
std::string CompareWithQImage(TPNGGraphic& graphic, const TPngRaw& raw, const std::vector<uint8_t>& file) {
    QImage image;
    if (!image.loadFromData(file.data(), int(file.size()), "PNG")) return "QImage rejects the file";
    image = image.convertToFormat(QImage::Format_ARGB32);
    const std::vector<RGBQUAD> colors =
        graphic.PixelFormat() <= pf8bit ? ColorTableOfPalette(graphic.Palette(), BitsOfPixelFormat(graphic.PixelFormat()))
                                        : std::vector<RGBQUAD>{};
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const uint32_t ours = ArgbAt(graphic, raw, colors, x, y), theirs = line[x];
            if (ours != theirs && !(ours >> 24 == 0 && theirs >> 24 == 0))
                return "QImage pixel (" + std::to_string(x) + ", " + std::to_string(y) + ")";
        }
    }
    return {};
}

TEST(PNGRealFiles, EveryPngUnderUsrShareDecodesLikeLibpngAndQImage) {
    std::map<std::string, int> kinds;
    int files = 0, qimageChecked = 0;
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(
             "/usr/share", std::filesystem::directory_options::skip_permission_denied, ec);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        if (ec || !it->is_regular_file(ec) || it->path().extension() != ".png") continue;
        const std::vector<uint8_t> file = ReadWholeFile(it->path());
        ++files;
        std::string error;
        const std::optional<TPngRaw> raw = ReadPngRaw(file, &error);
        TPNGGraphic graphic;
        TBytesStream stream(file);
        if (!raw) {
            // What libpng rejects must fail with one of the documented errors.
            bool documented = false;
            try {
                graphic.LoadFromStream(stream);
            } catch (const EInvalidGraphic&) {
                documented = true;
            } catch (const EReadError&) {
                documented = true;
            }
            EXPECT_TRUE(documented) << it->path() << " (libpng: " << error << ")";
            continue;
        }
        ++kinds["type " + std::to_string(raw->colorType) + " depth " + std::to_string(raw->depth) +
                (raw->interlaced ? " interlaced" : "")];
        try {
            graphic.LoadFromStream(stream);
        } catch (const std::exception& e) {
            ADD_FAILURE() << it->path() << ": " << e.what();
            continue;
        }
        const std::string difference = CompareBitmap(graphic, ExpectedBitmap(*raw));
        EXPECT_EQ(difference, "") << it->path();
        if (difference.empty() && raw->depth == 8 && (raw->colorType == 2 || raw->colorType == 6 || raw->colorType == 3) &&
            !raw->gamma) {
            ++qimageChecked;
            EXPECT_EQ(CompareWithQImage(graphic, *raw, file), "") << it->path();
        }
    }
    for (const auto& [kind, count] : kinds) std::cout << kind << ": " << count << " files\n";
    std::cout << files << " files, " << qimageChecked << " also compared with QImage\n";
    EXPECT_GE(files, 1000) << "the icon themes are missing";
}

} // namespace
