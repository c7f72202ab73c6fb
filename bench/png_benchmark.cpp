// PNG decoding against libpng and Qt's QImage on the same bytes:
//   real files: every PNG under /usr/share, read into memory first, decoded
//     into a TPNGGraphic, by libpng into a preallocated BGRA buffer and by
//     QImage::loadFromData;
//   written files: 1920x1080 truecolour + alpha (adaptive filters, level 6),
//     1920x1080 16-bit truecolour, 1024x768 8-bit indexed and 1024x768 Adam7
//     truecolour + alpha, against libpng into a preallocated buffer;
//   CRC-32 over 64 MiB against zlib's crc32.
// Ratios are ours over theirs (below 1.5 is the target); the last line is the
// ratio over all real files against libpng.

#include <png.h>
#include <zlib.h>

#include <QImage>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "../tests/skins/PngOracle.h"
#include "BenchTiming.h"
#include "platform/rtl/Streams.h"
#include "skins/Crc32.h"
#include "skins/PNGGraphic.h"

namespace {

using TFile = std::vector<uint8_t>;

struct TLibpngReader {
    const TFile* file;
    size_t position = 0;
};

void ReadFromMemory(png_structp png, png_bytep data, png_size_t size) {
    auto* reader = static_cast<TLibpngReader*>(png_get_io_ptr(png));
    if (reader->position + size > reader->file->size()) png_error(png, "short");
    std::memcpy(data, reader->file->data() + reader->position, size);
    reader->position += size;
}
void QuietWarning(png_structp, png_const_charp) {}
void ThrowOnError(png_structp, png_const_charp message) { throw std::runtime_error(message); }

// libpng's decode into Buffer (grown once to the largest image) as BGRA bytes.
void DecodeWithLibpng(const TFile& file, std::vector<uint8_t>& buffer, std::vector<png_bytep>& rows) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, ThrowOnError, QuietWarning);
    png_infop info = png_create_info_struct(png);
    TLibpngReader reader{&file};
    try {
        png_set_read_fn(png, &reader, ReadFromMemory);
        png_read_info(png, info);
        png_set_bgr(png);
        png_set_expand(png);
        png_set_strip_16(png);
        png_set_gray_to_rgb(png);
        png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
        png_set_interlace_handling(png);
        png_read_update_info(png, info);
        const size_t height = png_get_image_height(png, info), rowBytes = png_get_rowbytes(png, info);
        if (buffer.size() < height * rowBytes) buffer.resize(height * rowBytes);
        rows.resize(height);
        for (size_t y = 0; y < height; ++y) rows[y] = buffer.data() + y * rowBytes;
        png_read_image(png, rows.data());
    } catch (const std::exception&) {
    }
    png_destroy_read_struct(&png, &info, nullptr);
}

void DecodeWithUs(const TFile& file) {
    TBytesStream stream(file);
    TPNGGraphic graphic;
    try {
        graphic.LoadFromStream(stream);
    } catch (const Exception&) {
    }
}

std::vector<TFile> RealFiles() {
    std::vector<TFile> files;
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(
             "/usr/share", std::filesystem::directory_options::skip_permission_denied, ec);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        if (ec || !it->is_regular_file(ec) || it->path().extension() != ".png") continue;
        std::ifstream in(it->path(), std::ios::binary);
        files.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return files;
}

void Report(const char* what, double ours, double theirs, const char* whom) {
    std::printf("%-44s ours %8.3f ms  %s %8.3f ms  ratio %.2f\n", what, ours * 1e3, whom, theirs * 1e3, ours / theirs);
}

} // namespace

int main() {
    std::vector<uint8_t> buffer;
    std::vector<png_bytep> rows;

    const TPngSpec written[] = {
        {.width = 1920, .height = 1080, .colorType = 6, .depth = 8, .level = 6, .smooth = true},
        {.width = 1920, .height = 1080, .colorType = 2, .depth = 16, .level = 6, .smooth = true},
        {.width = 1024, .height = 768, .colorType = 3, .depth = 8, .level = 6, .smooth = true},
        {.width = 1024, .height = 768, .colorType = 6, .depth = 8, .interlaced = true, .level = 6, .smooth = true},
    };
    for (const TPngSpec& spec : written) {
        const TFile file = WritePng(spec);
        const double ours = TTiming(9).MedianSeconds([&] { DecodeWithUs(file); });
        const double theirs = TTiming(9).MedianSeconds([&] { DecodeWithLibpng(file, buffer, rows); });
        Report(spec.Name().c_str(), ours, theirs, "libpng");
    }

    std::vector<uint8_t> block(64u << 20);
    for (size_t i = 0; i < block.size(); ++i) block[i] = uint8_t(i * 2654435761u >> 13);
    volatile uint32_t sink = 0;
    const double ourCrc = TTiming(5).MedianSeconds([&] { sink = sink + Crc32(block.data(), block.size()); });
    const double zlibCrc =
        TTiming(5).MedianSeconds([&] { sink = sink + uint32_t(crc32(0, block.data(), uInt(block.size()))); });
    Report("CRC-32 over 64 MiB", ourCrc, zlibCrc, "zlib");

    const std::vector<TFile> files = RealFiles();
    const double ours = TTiming(3).MedianSeconds([&] {
        for (const TFile& file : files) DecodeWithUs(file);
    });
    const double qt = TTiming(3).MedianSeconds([&] {
        for (const TFile& file : files) {
            QImage image;
            image.loadFromData(file.data(), int(file.size()), "PNG");
        }
    });
    const double libpng = TTiming(3).MedianSeconds([&] {
        for (const TFile& file : files) DecodeWithLibpng(file, buffer, rows);
    });
    std::printf("real files: %zu\n", files.size());
    Report("all real files", ours, qt, "QImage");
    Report("all real files", ours, libpng, "libpng");
    std::printf("ratio to libpng over the real files: %.2f\n", ours / libpng);
    return 0;
}
