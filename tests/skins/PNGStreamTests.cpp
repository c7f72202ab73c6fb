// Malformed, hostile and unusual streams written chunk by chunk (zlib's
// compress2 and our CRC): each error's class and exact text, the streams that
// must still decode, and the progress a load reports.

#include <gtest/gtest.h>

#include <malloc.h>
#include <zlib.h>

#include <functional>

#include "platform/rtl/Streams.h"
#include "platform/ui/UiErrors.h"
#include "skins/Crc32.h"
#include "skins/PNGGraphic.h"

namespace {

struct TTestChunk {
    std::string type;
    std::vector<uint8_t> body;
    bool badCrc = false;
    int64_t declaredLength = -1; // -1: the body's size
};

void PutBigEndian(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(value >> shift));
}

std::vector<uint8_t> PngOf(const std::vector<TTestChunk>& chunks) {
    std::vector<uint8_t> out{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    for (const TTestChunk& c : chunks) {
        PutBigEndian(out, c.declaredLength >= 0 ? uint32_t(c.declaredLength) : uint32_t(c.body.size()));
        std::vector<uint8_t> typed(c.type.begin(), c.type.end());
        typed.insert(typed.end(), c.body.begin(), c.body.end());
        out.insert(out.end(), typed.begin(), typed.end());
        PutBigEndian(out, Crc32(typed.data(), typed.size()) ^ (c.badCrc ? 1u : 0u));
    }
    return out;
}

std::vector<uint8_t> Ihdr(uint32_t width, uint32_t height, uint8_t depth, uint8_t colorType, uint8_t compression = 0,
                          uint8_t interlace = 0) {
    std::vector<uint8_t> body;
    PutBigEndian(body, width);
    PutBigEndian(body, height);
    body.insert(body.end(), {depth, colorType, compression, 0, interlace});
    return body;
}

std::vector<uint8_t> Deflate(const std::vector<uint8_t>& raw) {
    uLongf size = compressBound(uLong(raw.size()));
    std::vector<uint8_t> packed(size);
    compress2(packed.data(), &size, raw.data(), uLong(raw.size()), 9);
    packed.resize(size);
    return packed;
}

// A 2 x 2 8-bit grey image: rows 10 20 and 30 40, unfiltered.
const std::vector<uint8_t> kGreyRows{0, 10, 20, 0, 30, 40};
const TTestChunk kGreyHeader{"IHDR", Ihdr(2, 2, 8, 0)};
const TTestChunk kEnd{"IEND", {}};
TTestChunk GreyData() { return {"IDAT", Deflate(kGreyRows)}; }

std::vector<uint8_t> Resized(std::vector<uint8_t> bytes, size_t size) {
    bytes.resize(size);
    return bytes;
}

std::vector<uint8_t> GreyPngWith(std::vector<TTestChunk> beforeData) {
    std::vector<TTestChunk> chunks{kGreyHeader};
    chunks.insert(chunks.end(), beforeData.begin(), beforeData.end());
    chunks.push_back(GreyData());
    chunks.push_back(kEnd);
    return PngOf(chunks);
}

void Load(TPNGGraphic& graphic, const std::vector<uint8_t>& file, int64_t offset = 0) {
    std::vector<uint8_t> bytes(size_t(offset), 0xAB);
    bytes.insert(bytes.end(), file.begin(), file.end());
    TBytesStream stream(bytes);
    stream.SetPosition(offset);
    graphic.LoadFromStream(stream);
}

std::vector<uint8_t> GreyPixels(TPNGGraphic& graphic) {
    std::vector<uint8_t> pixels;
    for (int y = 0; y < graphic.Height(); ++y)
        for (int x = 0; x < graphic.Width(); ++x) pixels.push_back(graphic.ScanLine(y)[x]);
    return pixels;
}

enum class TFailure { invalidGraphic, readError };

struct TFailingCase {
    const char* name;
    std::vector<uint8_t> file;
    TFailure kind;
    const char16_t* text;
};

TEST(PNGStream, MalformedStreamsFailWithTheirClassAndText) {
    const char16_t* invalid = u"Cannot load image. Invalid or unexpected PNG image format.";
    const char16_t* crc = u"Cannot load image. CRC error found in PNG file.";
    std::vector<uint8_t> badSignature = GreyPngWith({});
    badSignature[1] = 'Q';
    std::vector<uint8_t> corrupt = Deflate(kGreyRows);
    corrupt[2] ^= 0xFF;
    const std::vector<uint8_t> shortRows{0, 10, 20, 0};
    std::vector<uint8_t> truncated = GreyPngWith({});
    truncated.resize(truncated.size() - 20);
    const std::vector<TFailingCase> cases{
        {"bad signature", badSignature, TFailure::invalidGraphic, invalid},
        {"first chunk not IHDR", PngOf({{"gAMA", {0, 0, 0xB1, 0x8F}}, kGreyHeader, GreyData(), kEnd}),
         TFailure::invalidGraphic, invalid},
        {"width 0", PngOf({{"IHDR", Ihdr(0, 2, 8, 0)}, GreyData(), kEnd}), TFailure::invalidGraphic, invalid},
        {"width 2^31", PngOf({{"IHDR", Ihdr(0x80000000u, 2, 8, 0)}, GreyData(), kEnd}), TFailure::invalidGraphic, invalid},
        {"IHDR of 12 bytes", PngOf({{"IHDR", Resized(Ihdr(2, 2, 8, 0), 12)}, kEnd}),
         TFailure::invalidGraphic, invalid},
        {"IHDR of 14 bytes", PngOf({{"IHDR", Resized(Ihdr(2, 2, 8, 0), 14)}, kEnd}),
         TFailure::invalidGraphic, invalid},
        {"a 4 GiB chunk", PngOf({kGreyHeader, {"teXt", {1, 2, 3}, false, 0xFFFFFFF0}}), TFailure::invalidGraphic, invalid},
        {"compression method 1", PngOf({{"IHDR", Ihdr(2, 2, 8, 0, 1)}, GreyData(), kEnd}), TFailure::invalidGraphic,
         u"Cannot load image. The compression scheme is not supported for PNG files."},
        {"PLTE of 10 bytes", GreyPngWith({{"PLTE", std::vector<uint8_t>(10)}}), TFailure::invalidGraphic,
         u"Cannot load image. Palette in PNG file is invalid."},
        {"unknown critical chunk", GreyPngWith({{"ABCD", {1}}}), TFailure::invalidGraphic,
         u"Cannot load PNG image. Unexpected but critical chunk detected."},
        {"CRC of IHDR", PngOf({{"IHDR", Ihdr(2, 2, 8, 0), true}, GreyData(), kEnd}), TFailure::invalidGraphic, crc},
        {"CRC of PLTE", PngOf({{"IHDR", Ihdr(2, 2, 8, 3)}, {"PLTE", std::vector<uint8_t>(6), true}, GreyData(), kEnd}),
         TFailure::invalidGraphic, crc},
        {"CRC of gAMA", GreyPngWith({{"gAMA", {0, 0, 0xB1, 0x8F}, true}}), TFailure::invalidGraphic, crc},
        {"CRC of bKGD", GreyPngWith({{"bKGD", {0, 1}, true}}), TFailure::invalidGraphic, crc},
        {"CRC of tRNS", GreyPngWith({{"tRNS", {0, 1}, true}}), TFailure::invalidGraphic, crc},
        {"CRC of IDAT", PngOf({kGreyHeader, {"IDAT", Deflate(kGreyRows), true}, kEnd}), TFailure::invalidGraphic, crc},
        {"corrupt deflate stream", PngOf({kGreyHeader, {"IDAT", corrupt}, kEnd}), TFailure::invalidGraphic,
         u"Cannot load image. Compression error found in PNG file."},
        {"zlib stream ending inside a row", PngOf({kGreyHeader, {"IDAT", Deflate(shortRows)}, kEnd}),
         TFailure::invalidGraphic, u"Cannot load image. Extra compressed data found in PNG file."},
        {"indexed at 16 bits", PngOf({{"IHDR", Ihdr(2, 2, 16, 3)}, GreyData(), kEnd}), TFailure::invalidGraphic,
         u"Invalid color format in PNG file."},
        {"stream ending inside a chunk", truncated, TFailure::readError, u"Stream read error"},
    };
    for (const TFailingCase& c : cases) {
        TPNGGraphic graphic;
        try {
            Load(graphic, c.file);
            ADD_FAILURE() << c.name << ": no error";
        } catch (const EInvalidGraphic& e) {
            EXPECT_EQ(c.kind, TFailure::invalidGraphic) << c.name;
            EXPECT_EQ(e.Message(), String(c.text)) << c.name;
        } catch (const EReadError& e) {
            EXPECT_EQ(c.kind, TFailure::readError) << c.name;
            EXPECT_EQ(e.Message(), String(c.text)) << c.name;
        }
    }
}

struct TDecodingCase {
    const char* name;
    std::vector<uint8_t> file;
    std::vector<uint8_t> pixels; // grey indexes, rows top down
    int64_t offset = 0;
};

std::vector<TTestChunk> OneByteDataChunks() {
    std::vector<TTestChunk> chunks{kGreyHeader};
    for (uint8_t byte : Deflate(kGreyRows)) {
        chunks.push_back({"IDAT", {byte}});
        chunks.push_back({"IDAT", {}});
    }
    chunks.push_back(kEnd);
    return chunks;
}

TEST(PNGStream, UnusualStreamsDecode) {
    const std::vector<uint8_t> pixels{10, 20, 30, 40};
    const std::vector<TDecodingCase> cases{
        {"lower and mixed case", PngOf({kGreyHeader, {"Idat", Deflate(kGreyRows)}, {"iend", {}}}), pixels},
        {"unknown ancillary chunk with a wrong CRC", GreyPngWith({{"prVt", {1, 2}, true}}), pixels},
        {"filter types 5 and 255 read as None", PngOf({kGreyHeader, {"IDAT", Deflate({5, 10, 20, 255, 30, 40})}, kEnd}),
         pixels},
        {"one-byte IDAT chunks with empty ones between", PngOf(OneByteDataChunks()), pixels},
        {"further IDAT after the last row", PngOf({kGreyHeader, GreyData(), {"IDAT", {1, 2, 3}}, kEnd}), pixels},
        {"gAMA of 2, bKGD and tRNS of 1 byte", GreyPngWith({{"gAMA", {1, 2}}, {"bKGD", {1}}, {"tRNS", {1}}}), pixels},
        {"PNG at offset 1000", GreyPngWith({}), pixels, 1000},
        {"image data ending early", PngOf({kGreyHeader, {"IDAT", Resized(Deflate(kGreyRows), 5)}, kEnd}),
         {}},
    };
    for (const TDecodingCase& c : cases) {
        TPNGGraphic graphic;
        try {
            Load(graphic, c.file, c.offset);
        } catch (const Exception& e) {
            ADD_FAILURE() << c.name << ": " << e.what();
            continue;
        }
        if (!c.pixels.empty()) EXPECT_EQ(GreyPixels(graphic), c.pixels) << c.name;
        else EXPECT_EQ(graphic.Width(), 2) << c.name;
    }
}

TEST(PNGStream, DataEndingEarlyLeavesTheBackgroundInTheRowsNotDecoded) {
    // Two rows of a 3 x 3 truecolour image over a red background.
    std::vector<uint8_t> rows;
    for (int y = 0; y < 2; ++y) rows.insert(rows.end(), {0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    TPNGGraphic graphic;
    Load(graphic, PngOf({{"IHDR", Ihdr(3, 3, 8, 2)}, {"bKGD", {0, 255, 0, 0, 0, 0}}, {"IDAT", Deflate(rows)}, kEnd}));
    EXPECT_EQ(graphic.ScanLine(1)[0], 3); // blue of the second row's first pixel
    for (int x = 0; x < 3; ++x) {
        const uint8_t* p = graphic.ScanLine(2) + 3 * x;
        EXPECT_EQ((std::vector<int>{p[0], p[1], p[2]}), (std::vector<int>{0, 0, 255})) << x;
    }
}

TEST(PNGStream, IndexedImagesWithShortOrLongChunks) {
    // A 2-entry palette for a 2-bit image: indexes spread x 5, the entries not supplied black.
    TPNGGraphic graphic;
    Load(graphic, PngOf({{"IHDR", Ihdr(4, 1, 2, 3)}, {"PLTE", {255, 0, 0, 0, 255, 0}},
                         {"tRNS", std::vector<uint8_t>(300, 9)}, {"IDAT", Deflate({0, 0b00011011})}, kEnd}));
    EXPECT_EQ(graphic.PixelFormat(), pf4bit);
    EXPECT_EQ(graphic.ScanLine(0)[0], 0x05);
    EXPECT_EQ(graphic.ScanLine(0)[1], 0xAF);
    const std::vector<RGBQUAD> colors = ColorTableOfPalette(graphic.Palette(), 4);
    ASSERT_EQ(colors.size(), 16u);
    EXPECT_EQ(colors[5].rgbGreen, 255);
    EXPECT_EQ(colors[10].rgbGreen + colors[10].rgbRed + colors[15].rgbRed, 0);
    EXPECT_EQ(graphic.Transparency(), std::vector<uint8_t>(256, 9));

    TPNGGraphic withoutPalette;
    Load(withoutPalette, PngOf({{"IHDR", Ihdr(2, 1, 8, 3)}, {"tRNS", {1, 2, 3}}, {"IDAT", Deflate({0, 7, 200})}, kEnd}));
    EXPECT_EQ(withoutPalette.ScanLine(0)[1], 200);
    EXPECT_EQ(ColorTableOfPalette(withoutPalette.Palette(), 8)[200].rgbRed, DefaultColorTable(8)[200].rgbRed);
    std::vector<uint8_t> alpha(256, 255);
    alpha[0] = 1, alpha[1] = 2, alpha[2] = 3;
    EXPECT_EQ(withoutPalette.Transparency(), alpha);
}

TEST(PNGStream, InterlacedSlivers) {
    // 1 pixel wide (passes 1, 3, 5, 7) and 1 pixel high (passes 1, 2, 4, 6).
    const std::vector<uint8_t> column{0, 1, 0, 5, 0, 3, 0, 7, 0, 2, 0, 4, 0, 6, 0, 8};
    TPNGGraphic tall;
    Load(tall, PngOf({{"IHDR", Ihdr(1, 8, 8, 0, 0, 1)}, {"IDAT", Deflate(column)}, kEnd}));
    EXPECT_EQ(GreyPixels(tall), (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8}));
    const std::vector<uint8_t> line{0, 1, 0, 5, 0, 3, 7, 0, 2, 4, 6, 8};
    TPNGGraphic wide;
    Load(wide, PngOf({{"IHDR", Ihdr(8, 1, 8, 0, 0, 1)}, {"IDAT", Deflate(line)}, kEnd}));
    EXPECT_EQ(GreyPixels(wide), (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST(PNGStream, SecondLoadForgetsTheFirst) {
    TPNGGraphic graphic;
    Load(graphic, PngOf({{"IHDR", Ihdr(2, 2, 8, 2)}, {"gAMA", {0, 0, 0xB1, 0x8F}}, {"tRNS", {0, 1, 0, 2, 0, 3}},
                         {"IDAT", Deflate(std::vector<uint8_t>(14, 0))}, kEnd}));
    Load(graphic, GreyPngWith({}));
    EXPECT_EQ(GreyPixels(graphic), (std::vector<uint8_t>{10, 20, 30, 40}));
    EXPECT_FALSE(graphic.Transparent());
    EXPECT_FALSE(graphic.ImageProperties().Options.Contains(ioUseGamma));
    EXPECT_EQ(ColorTableOfPalette(graphic.Palette(), 8)[128].rgbRed, 128); // the grey ramp without gamma
}

TEST(PNGStream, ReadImageProperties) {
    TPNGGraphic graphic;
    TBytesStream good(GreyPngWith({{"gAMA", {0, 0, 0xB1, 0x8F}}}));
    EXPECT_TRUE(graphic.ReadImageProperties(good));
    EXPECT_EQ(graphic.ImageProperties().Width, 2u);
    EXPECT_FLOAT_EQ(graphic.ImageProperties().FileGamma, 0.45455f);
    TBytesStream notPng(std::vector<uint8_t>{1, 2, 3});
    EXPECT_FALSE(graphic.ReadImageProperties(notPng));
}

TEST(PNGStream, ProgressReportsEachStageAndRow) {
    struct TEvent {
        TProgressStage stage;
        TRect rect;
        String text;
    };
    for (const bool fail : {false, true}) {
        std::vector<TEvent> events;
        TPNGGraphic graphic;
        graphic.OnProgress = [&](TObject*, TProgressStage stage, uint8_t, bool, const TRect& rect, const String& text) {
            events.push_back({stage, rect, text});
        };
        const std::vector<uint8_t> file =
            fail ? PngOf({kGreyHeader, {"IDAT", Deflate(kGreyRows), true}, kEnd}) : GreyPngWith({});
        try {
            Load(graphic, file);
        } catch (const EInvalidGraphic&) {
        }
        ASSERT_GE(events.size(), 4u);
        EXPECT_EQ(events[0].stage, psStarting);
        EXPECT_EQ(events[0].text, String(u"Preparing..."));
        EXPECT_EQ(events[1].stage, psEnding);
        EXPECT_EQ(events[2].stage, psStarting);
        EXPECT_EQ(events[2].text, String(u"Transfering..."));
        EXPECT_EQ(events.back().stage, psEnding);
        if (!fail) {
            ASSERT_EQ(events.size(), 6u);
            EXPECT_EQ(events[3].rect, (TRect{0, 0, 2, 1}));
            EXPECT_EQ(events[4].rect, (TRect{0, 1, 2, 2}));
        }
    }
}

size_t HeapInUse() { return mallinfo2().uordblks + mallinfo2().hblkhd; }

TEST(PNGStream, HostileHeadersStayWithinTheBitmapAndAMebibyte) {
    // 4000 x 4000 truecolour with 10 bytes of image data: the bitmap and little else.
    std::vector<uint8_t> data = Deflate(std::vector<uint8_t>(100, 0));
    data.resize(10);
    const std::vector<uint8_t> file = PngOf({{"IHDR", Ihdr(4000, 4000, 8, 2)}, {"IDAT", data}, kEnd});
    TPNGGraphic graphic;
    const size_t before = HeapInUse();
    size_t peak = before;
    graphic.OnProgress = [&](TObject*, TProgressStage, uint8_t, bool, const TRect&, const String&) {
        peak = std::max(peak, HeapInUse());
    };
    try {
        Load(graphic, file);
    } catch (const EInvalidGraphic&) {
    }
    const size_t bitmapBytes = size_t(4000) * 12000;
    EXPECT_LT(peak - before, bitmapBytes + (1u << 20));
    // A chunk declaring 2^31 - 1 bytes of a 60-byte stream ends in the read error, not an allocation.
    const size_t start = HeapInUse();
    TPNGGraphic liar;
    EXPECT_THROW(Load(liar, PngOf({kGreyHeader, {"gAMA", {1, 2, 3, 4}, false, 0x7FFFFFFF}})), EReadError);
    EXPECT_LT(HeapInUse() - std::min(HeapInUse(), start), size_t(1) << 20);
}

} // namespace
