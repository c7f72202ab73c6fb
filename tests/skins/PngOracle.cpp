#include "PngOracle.h"

#include <png.h>
#include <zlib.h>

#include <cmath>
#include <cstring>
#include <map>
#include <random>
#include <stdexcept>

#include "skins/Crc32.h"
#include "skins/PNGGraphic.h"

namespace {

void SilentWarning(png_structp, png_const_charp) {}
void ThrowError(png_structp, png_const_charp message) { throw std::runtime_error(message); }

void AppendBytes(png_structp png, png_bytep data, png_size_t size) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + size);
}
void NoFlush(png_structp) {}

struct TMemoryReader {
    const std::vector<uint8_t>* file;
    size_t position = 0;
};
void ReadBytes(png_structp png, png_bytep data, png_size_t size) {
    auto* reader = static_cast<TMemoryReader*>(png_get_io_ptr(png));
    if (reader->position + size > reader->file->size()) png_error(png, "read past the end");
    std::memcpy(data, reader->file->data() + reader->position, size);
    reader->position += size;
}

int ChannelsOf(int colorType) {
    static const std::map<int, int> channels{{0, 1}, {2, 3}, {3, 1}, {4, 2}, {6, 4}};
    return channels.at(colorType);
}

png_color_16 Color16(const TPngColor16& c) {
    png_color_16 out{};
    out.index = c.index, out.red = c.red, out.green = c.green, out.blue = c.blue, out.gray = c.grey;
    return out;
}

uint32_t BigEndian32At(const uint8_t* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }
uint32_t BigEndian16At(const uint8_t* p) { return uint32_t(p[0]) << 8 | p[1]; }

// The chunk with its CRC, for chunks libpng does not write as wanted.
std::vector<uint8_t> RawChunk(const char* type, const std::vector<uint8_t>& body) {
    std::vector<uint8_t> chunk{uint8_t(body.size() >> 24), uint8_t(body.size() >> 16), uint8_t(body.size() >> 8),
                               uint8_t(body.size())};
    chunk.insert(chunk.end(), type, type + 4);
    chunk.insert(chunk.end(), body.begin(), body.end());
    const uint32_t crc = Crc32(chunk.data() + 4, chunk.size() - 4);
    for (int shift = 24; shift >= 0; shift -= 8) chunk.push_back(uint8_t(crc >> shift));
    return chunk;
}

// An iCCP chunk whose profile is not one: the decoder skips it, libpng warns and drops it.
std::vector<uint8_t> ProfileChunk() {
    std::vector<uint8_t> body{'t', 'e', 's', 't', 0, 0};
    std::vector<uint8_t> profile(200, 0);
    uLongf size = compressBound(uLong(profile.size()));
    std::vector<uint8_t> packed(size);
    compress2(packed.data(), &size, profile.data(), uLong(profile.size()), 9);
    body.insert(body.end(), packed.begin(), packed.begin() + long(size));
    return RawChunk("iCCP", body);
}

} // namespace

std::string TPngSpec::Name() const {
    std::string name = "type" + std::to_string(colorType) + "_d" + std::to_string(depth) + "_" + std::to_string(width) +
                       "x" + std::to_string(height) + (interlaced ? "_adam7" : "") + "_f" + std::to_string(filter) +
                       "_l" + std::to_string(level);
    if (paletteSize >= 0) name += "_plte" + std::to_string(paletteSize);
    if (!indexAlpha.empty()) name += "_trns" + std::to_string(indexAlpha.size());
    if (transparentKey) name += "_key";
    if (background) name += "_bkgd";
    if (gamma) name += "_gama" + std::to_string(*gamma);
    if (ancillaryChunks) name += "_ancillary";
    return name;
}

std::vector<uint8_t> WritePng(const TPngSpec& spec) {
    std::vector<uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, ThrowError, SilentWarning);
    png_infop info = png_create_info_struct(png);
    std::mt19937 random(spec.seed);
    const size_t rowBytes = (size_t(spec.width) * ChannelsOf(spec.colorType) * spec.depth + 7) / 8;
    std::vector<std::vector<uint8_t>> rows(size_t(spec.height), std::vector<uint8_t>(rowBytes));
    const int entries = spec.paletteSize < 0 ? 1 << spec.depth : spec.paletteSize;
    for (size_t y = 0; y < rows.size(); ++y) {
        auto& row = rows[y];
        for (size_t i = 0; i < row.size(); ++i)
            row[i] = spec.smooth ? uint8_t((i / 4 + y) / 8 + random() % 4) : uint8_t(random());
        if (spec.colorType == 3 && spec.depth == 8 && entries > 0 && spec.paletteSize < 0)
            for (auto& byte : row) byte = uint8_t(byte % entries);
    }
    std::vector<png_bytep> rowPointers;
    for (auto& row : rows) rowPointers.push_back(row.data());
    std::vector<png_color> palette(size_t(std::max(entries, 0)));
    for (auto& c : palette) c = png_color{uint8_t(random()), uint8_t(random()), uint8_t(random())};
    try {
        png_set_write_fn(png, &out, AppendBytes, NoFlush);
        png_set_benign_errors(png, 1); // a short palette is written on purpose
        png_set_IHDR(png, info, png_uint_32(spec.width), png_uint_32(spec.height), spec.depth, spec.colorType,
                     spec.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
        png_set_compression_level(png, spec.level);
        png_set_filter(png, 0, spec.filter < 0 ? PNG_ALL_FILTERS : PNG_FILTER_NONE << spec.filter);
        if (spec.gamma) png_set_gAMA_fixed(png, info, png_fixed_point(*spec.gamma));
        if (spec.colorType == 3 && entries > 0) png_set_PLTE(png, info, palette.data(), entries);
        png_color_16 key{};
        if (!spec.indexAlpha.empty() || spec.transparentKey) {
            if (spec.transparentKey) key = Color16(*spec.transparentKey);
            png_set_tRNS(png, info, spec.indexAlpha.empty() ? nullptr : spec.indexAlpha.data(),
                         int(spec.indexAlpha.size()), spec.transparentKey ? &key : nullptr);
        }
        png_color_16 background{};
        if (spec.background) {
            background = Color16(*spec.background);
            png_set_bKGD(png, info, &background);
        }
        png_text texts[3]{};
        png_time time{2024, 5, 6, 7, 8, 9};
        png_color_8 significant{5, 5, 5, 5, 1};
        if (spec.ancillaryChunks) {
            const char* kinds[3] = {"tEXt", "zTXt", "iTXt"};
            const int compression[3] = {PNG_TEXT_COMPRESSION_NONE, PNG_TEXT_COMPRESSION_zTXt, PNG_ITXT_COMPRESSION_NONE};
            for (int i = 0; i < 3; ++i) {
                texts[i].compression = compression[i];
                texts[i].key = const_cast<char*>("Comment");
                texts[i].text = const_cast<char*>(kinds[i]);
                texts[i].lang = const_cast<char*>("en");
                texts[i].lang_key = const_cast<char*>("Comment");
            }
            png_set_text(png, info, texts, 3);
            png_set_tIME(png, info, &time);
            png_set_pHYs(png, info, 2835, 2835, PNG_RESOLUTION_METER);
            png_set_sBIT(png, info, &significant);
            png_set_cHRM_fixed(png, info, 31270, 32900, 64000, 33000, 30000, 60000, 15000, 6000);
            png_set_sRGB(png, info, PNG_sRGB_INTENT_PERCEPTUAL);
        }
        png_set_rows(png, info, rowPointers.data());
        png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    } catch (...) {
        png_destroy_write_struct(&png, &info);
        throw;
    }
    png_destroy_write_struct(&png, &info);
    if (spec.ancillaryChunks) {
        const std::vector<uint8_t> profile = ProfileChunk();
        out.insert(out.begin() + 33, profile.begin(), profile.end()); // after the signature and IHDR
    }
    return out;
}

std::optional<TPngRaw> ReadPngRaw(const std::vector<uint8_t>& file, std::string* error) {
    TPngRaw raw;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, ThrowError, SilentWarning);
    png_infop info = png_create_info_struct(png);
    TMemoryReader reader{&file};
    try {
        png_set_read_fn(png, &reader, ReadBytes);
        png_set_benign_errors(png, 1);
        png_set_user_limits(png, 0x7FFFFFFF, 0x7FFFFFFF);
        png_read_info(png, info);
        raw.width = png_get_image_width(png, info);
        raw.height = png_get_image_height(png, info);
        raw.colorType = png_get_color_type(png, info);
        raw.depth = png_get_bit_depth(png, info);
        raw.interlaced = png_get_interlace_type(png, info) != PNG_INTERLACE_NONE;
        png_set_interlace_handling(png);
        png_read_update_info(png, info);
        raw.rows.assign(raw.height, std::vector<uint8_t>(png_get_rowbytes(png, info)));
        std::vector<png_bytep> pointers;
        for (auto& row : raw.rows) pointers.push_back(row.data());
        png_read_image(png, pointers.data());
    } catch (const std::exception& e) {
        if (error) *error = e.what();
        png_destroy_read_struct(&png, &info, nullptr);
        return std::nullopt;
    }
    png_destroy_read_struct(&png, &info, nullptr);

    // The chunks that decide colours, as they stand before the image data.
    for (size_t at = 8; at + 12 <= file.size();) {
        const uint32_t length = BigEndian32At(file.data() + at);
        const std::string type(reinterpret_cast<const char*>(file.data() + at + 4), 4);
        if (type == "IDAT" || type == "IEND" || at + 12 + length > file.size()) break;
        const std::vector<uint8_t> body(file.begin() + long(at + 8), file.begin() + long(at + 8 + length));
        if (type == "PLTE") raw.palette = body;
        else if (type == "gAMA" && body.size() >= 4) raw.gamma = BigEndian32At(body.data());
        else if (type == "tRNS" && raw.colorType == 3) raw.indexAlpha = body;
        else if (type == "tRNS" && raw.colorType == 0 && body.size() >= 2) raw.transparentKey = TPngColor16{.grey = uint16_t(BigEndian16At(body.data()))};
        else if (type == "tRNS" && raw.colorType == 2 && body.size() >= 6)
            raw.transparentKey = TPngColor16{uint16_t(BigEndian16At(body.data())), uint16_t(BigEndian16At(body.data() + 2)),
                                             uint16_t(BigEndian16At(body.data() + 4))};
        else if (type == "bKGD") {
            if ((raw.colorType == 2 || raw.colorType == 6) && body.size() >= 6)
                raw.background = TPngColor16{uint16_t(BigEndian16At(body.data())), uint16_t(BigEndian16At(body.data() + 2)),
                                             uint16_t(BigEndian16At(body.data() + 4))};
            else if ((raw.colorType == 0 || raw.colorType == 4) && body.size() >= 2)
                raw.background = TPngColor16{.grey = uint16_t(BigEndian16At(body.data()))};
            else if (raw.colorType == 3 && body.size() >= 1)
                raw.background = TPngColor16{.index = body[0]};
        }
        at += 12 + length;
    }
    return raw;
}

std::vector<uint8_t> ExpectedGammaTable(uint32_t value) {
    const double g = 1.0 / (double(float(value) / 100000.0f) * double(2.2f));
    std::vector<uint8_t> table(256);
    for (int i = 0; i < 256; ++i) table[size_t(i)] = uint8_t(std::nearbyint(std::pow(i / 255.0, g) * 255));
    return table;
}

namespace {

// Samples of Bits bits packed most significant bit first.
uint32_t PackedSample(const std::vector<uint8_t>& row, size_t index, int bits) {
    if (bits == 16) return BigEndian16At(row.data() + 2 * index);
    if (bits == 8) return row[index];
    const size_t bit = index * size_t(bits);
    return (row[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
}

void PutPacked(std::vector<uint8_t>& row, size_t index, int bits, uint32_t value) {
    const size_t bit = index * size_t(bits);
    row[bit / 8] |= uint8_t(value << (8 - bits - bit % 8));
}

TColor RGBOf(uint32_t r, uint32_t g, uint32_t b) { return TColor(r | g << 8 | b << 16); }

} // namespace

TExpectedBitmap ExpectedBitmap(const TPngRaw& raw) {
    TExpectedBitmap out;
    const int d = raw.depth, type = raw.colorType;
    std::vector<uint8_t> gamma(256);
    for (int i = 0; i < 256; ++i) gamma[size_t(i)] = uint8_t(i);
    if (raw.gamma) gamma = ExpectedGammaTable(*raw.gamma);
    auto to8 = [d](uint32_t v) { return d == 16 ? v * 255 / 65535 : v; };
    // Greys and indexes: 2 bits go into a 4-bit field x 5, 16 bits become 8.
    const int fieldBits = type == 4 || d == 16 ? 8 : d == 2 ? 4 : d;
    const int bpp = type == 2 ? 24 : type == 6 ? 32 : fieldBits;
    out.format = PixelFormatOfBits(bpp);
    const int channels = ChannelsOf(type);
    std::vector<RGBQUAD> ramp;
    const int rampSize = 1 << fieldBits, step = 255 / (rampSize - 1);
    for (int i = 0; i < rampSize; ++i) {
        const uint8_t v = gamma[size_t(i * step)];
        ramp.push_back(RGBQUAD{v, v, v, 0});
    }
    auto rampColor = [&](uint32_t sample) {
        const uint32_t level = d == 16 ? sample * 255 / 65535
                                       : std::min(sample, (1u << d) - 1) * ((1u << fieldBits) - 1) / ((1u << d) - 1);
        const RGBQUAD q = ramp[level];
        return RGBOf(q.rgbRed, q.rgbGreen, q.rgbBlue);
    };
    if (type == 0 || type == 4) out.colors = ramp;
    std::vector<RGBQUAD> plte;
    if (type == 3) {
        if (raw.palette) {
            const size_t count = std::min<size_t>(raw.palette->size() / 3, 256);
            for (size_t i = 0; i < count; ++i) {
                const uint8_t* c = raw.palette->data() + 3 * i;
                plte.push_back(RGBQUAD{gamma[c[2]], gamma[c[1]], gamma[c[0]], 0});
            }
            std::vector<RGBQUAD> table = plte;
            if (d == 2) {
                table.assign(16, RGBQUAD{});
                for (size_t j = 0; j < 16; ++j)
                    if (j / 5 < plte.size()) table[j] = plte[j / 5];
            }
            if (table.size() > size_t(1) << bpp) table.resize(size_t(1) << bpp);
            out.colors = table.empty() ? DefaultColorTable(bpp) : table;
        } else {
            out.colors = DefaultColorTable(bpp);
        }
    }
    const size_t rowBytes = (size_t(raw.width) * size_t(bpp) + 7) / 8;
    for (const auto& row : raw.rows) {
        std::vector<uint8_t> pixels(rowBytes, 0);
        for (size_t x = 0; x < raw.width; ++x) {
            if (type == 0 || type == 3 || type == 4) {
                const uint32_t v = PackedSample(row, x * size_t(channels), d);
                const uint32_t index = d == 16 ? v * 255 / 65535 : d == 2 ? v * 5 : v;
                PutPacked(pixels, x, bpp, index);
            } else {
                uint8_t* p = pixels.data() + x * size_t(bpp / 8);
                const size_t first = x * size_t(channels);
                for (int k = 0; k < 3; ++k) p[2 - k] = gamma[to8(PackedSample(row, first + size_t(k), d))];
                if (type == 6) p[3] = uint8_t(to8(PackedSample(row, first + 3, d)));
            }
        }
        out.rows.push_back(std::move(pixels));
    }
    if (raw.indexAlpha) {
        out.transparency.assign(256, 255);
        std::copy_n(raw.indexAlpha->begin(), std::min<size_t>(raw.indexAlpha->size(), 256), out.transparency.begin());
    }
    if (raw.transparentKey) {
        out.transparent = true;
        const TPngColor16& k = *raw.transparentKey;
        if (type == 0) {
            const uint32_t g = to8(k.grey) & 0xFF;
            out.transparentColor = d < 8 ? rampColor(k.grey) : RGBOf(g, g, g);
        } else {
            out.transparentColor = RGBOf(to8(k.red) & 0xFF, to8(k.green) & 0xFF, to8(k.blue) & 0xFF);
        }
    }
    if (raw.background) {
        const TPngColor16& b = *raw.background;
        if (type == 2 || type == 6) {
            out.background = RGBOf(to8(b.red) & 0xFF, to8(b.green) & 0xFF, to8(b.blue) & 0xFF);
        } else if (type == 0 || type == 4) {
            out.background = rampColor(b.grey);
        } else {
            out.background = 0;
            if (b.index < plte.size() && b.index < (1u << d)) {
                const RGBQUAD q = plte[b.index];
                out.background = RGBOf(q.rgbRed, q.rgbGreen, q.rgbBlue);
            }
        }
    }
    return out;
}

std::string CompareBitmap(TPNGGraphic& bitmap, const TExpectedBitmap& expected) {
    if (bitmap.PixelFormat() != expected.format)
        return "pixel format " + std::to_string(int(bitmap.PixelFormat())) + " != " + std::to_string(int(expected.format));
    const int bpp = BitsOfPixelFormat(expected.format);
    if (bpp <= 8) {
        const std::vector<RGBQUAD> colors = ColorTableOfPalette(bitmap.Palette(), bpp);
        if (colors.size() != expected.colors.size())
            return "colour table of " + std::to_string(colors.size()) + " != " + std::to_string(expected.colors.size());
        for (size_t i = 0; i < colors.size(); ++i) {
            const RGBQUAD a = colors[i], b = expected.colors[i];
            if (a.rgbRed != b.rgbRed || a.rgbGreen != b.rgbGreen || a.rgbBlue != b.rgbBlue)
                return "colour " + std::to_string(i) + " differs";
        }
    }
    if (size_t(bitmap.Height()) != expected.rows.size()) return "height differs";
    for (size_t y = 0; y < expected.rows.size(); ++y) {
        const std::vector<uint8_t>& want = expected.rows[y];
        const uint8_t* have = bitmap.ScanLine(int(y));
        const size_t bits = size_t(bitmap.Width()) * size_t(bpp);
        for (size_t i = 0; i < want.size(); ++i) {
            const uint8_t mask = i + 1 == want.size() && bits % 8 ? uint8_t(0xFF << (8 - bits % 8)) : 0xFF;
            if ((have[i] & mask) != want[i])
                return "row " + std::to_string(y) + " byte " + std::to_string(i) + ": " + std::to_string(have[i] & mask) +
                       " != " + std::to_string(want[i]);
        }
    }
    if (bitmap.Transparent() != expected.transparent) return "Transparent differs";
    if (expected.transparent && bitmap.TransparentColor() != expected.transparentColor)
        return "transparent colour " + std::to_string(bitmap.TransparentColor()) + " != " +
               std::to_string(expected.transparentColor);
    if (bitmap.BackgroundColor() != expected.background)
        return "background " + std::to_string(bitmap.BackgroundColor()) + " != " + std::to_string(expected.background);
    if (bitmap.Transparency() != expected.transparency) return "transparency table differs";
    return {};
}
