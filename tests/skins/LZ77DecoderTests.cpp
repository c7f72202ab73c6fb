// The LZ77 decoder over zlib: piecewise inflation with the flush mode it was
// given, the reset before each call when asked, and corrupt data reported in
// ZLibResult.

#include <gtest/gtest.h>

#include "skins/LZ77Decoder.h"

namespace {

std::vector<uint8_t> Compressed(const std::vector<uint8_t>& raw) {
    uLongf size = compressBound(uLong(raw.size()));
    std::vector<uint8_t> packed(size);
    compress2(packed.data(), &size, raw.data(), uLong(raw.size()), 6);
    packed.resize(size);
    return packed;
}

std::vector<uint8_t> Counting(size_t size, uint8_t first) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = uint8_t(first + i * 7 + i / 13);
    return bytes;
}

// Inflates Packed into a buffer of Room bytes with one Decode call.
struct TDecodeResult {
    std::vector<uint8_t> output;
    int result;
    size_t consumed;
};

TDecodeResult DecodeOnce(TLZ77Decoder& decoder, const std::vector<uint8_t>& packed, size_t room) {
    std::vector<uint8_t> output(room);
    const uint8_t* source = packed.data();
    uint8_t* dest = output.data();
    decoder.Decode(source, dest, int32_t(packed.size()), int32_t(room));
    EXPECT_EQ(size_t(source - packed.data()) + decoder.AvailableInput(), packed.size());
    EXPECT_EQ(size_t(dest - output.data()) + decoder.AvailableOutput(), room);
    output.resize(size_t(dest - output.data()));
    return {output, decoder.ZLibResult(), size_t(source - packed.data())};
}

TEST(LZ77Decoder, InflatesPieceByPieceAdvancingBothPointers) {
    const std::vector<uint8_t> raw = Counting(3000, 1), packed = Compressed(raw);
    TLZ77Decoder decoder(Z_PARTIAL_FLUSH, false);
    decoder.DecodeInit();
    std::vector<uint8_t> output(raw.size());
    const uint8_t* source = packed.data();
    uint8_t* dest = output.data();
    // Seven input bytes and 100 output bytes at a time.
    while (decoder.ZLibResult() == Z_OK && dest < output.data() + output.size()) {
        const auto input = int32_t(std::min<ptrdiff_t>(7, packed.data() + packed.size() - source));
        const auto room = int32_t(std::min<ptrdiff_t>(100, output.data() + output.size() - dest));
        decoder.Decode(source, dest, input, room);
    }
    EXPECT_EQ(decoder.ZLibResult(), Z_STREAM_END);
    EXPECT_EQ(output, raw);
    EXPECT_EQ(source, packed.data() + packed.size());
    decoder.DecodeEnd();
}

TEST(LZ77Decoder, FlushModeReachesInflate) {
    const std::vector<uint8_t> raw = Counting(500, 3), packed = Compressed(raw);
    // Too little room: a partial flush carries on, a finishing call reports the full buffer.
    for (const auto& [mode, expected] : {std::pair{Z_PARTIAL_FLUSH, Z_OK}, std::pair{Z_FINISH, Z_BUF_ERROR}}) {
        TLZ77Decoder decoder(mode, false);
        decoder.DecodeInit();
        const TDecodeResult r = DecodeOnce(decoder, packed, 100);
        EXPECT_EQ(r.result, expected) << mode;
        EXPECT_EQ(r.output, std::vector<uint8_t>(raw.begin(), raw.begin() + 100)) << mode;
        decoder.DecodeEnd();
    }
}

TEST(LZ77Decoder, AutoResetStartsEveryCallOnANewStream) {
    const std::vector<uint8_t> first = Counting(200, 5), second = Counting(300, 9);
    const std::vector<uint8_t> packedFirst = Compressed(first), packedSecond = Compressed(second);
    TLZ77Decoder resetting(Z_PARTIAL_FLUSH, true);
    resetting.DecodeInit();
    EXPECT_EQ(DecodeOnce(resetting, packedFirst, 1000).output, first);
    const TDecodeResult again = DecodeOnce(resetting, packedSecond, 1000);
    EXPECT_EQ(again.result, Z_STREAM_END);
    EXPECT_EQ(again.output, second);
    resetting.DecodeEnd();

    // Without the reset the first stream has ended and the second yields nothing.
    TLZ77Decoder continuing(Z_PARTIAL_FLUSH, false);
    continuing.DecodeInit();
    EXPECT_EQ(DecodeOnce(continuing, packedFirst, 1000).result, Z_STREAM_END);
    const TDecodeResult stuck = DecodeOnce(continuing, packedSecond, 1000);
    EXPECT_EQ(stuck.result, Z_STREAM_END);
    EXPECT_TRUE(stuck.output.empty());
    continuing.DecodeEnd();
}

TEST(LZ77Decoder, CorruptDataSetsTheResultAndTheStreamStillEnds) {
    std::vector<uint8_t> packed = Compressed(Counting(400, 2));
    packed[0] ^= 0x0F; // an unknown compression method in the zlib header
    TLZ77Decoder decoder(Z_PARTIAL_FLUSH, false);
    decoder.DecodeInit();
    EXPECT_EQ(DecodeOnce(decoder, packed, 1000).result, Z_DATA_ERROR);
    EXPECT_NO_THROW(decoder.DecodeEnd());
    EXPECT_NO_THROW(decoder.DecodeEnd()); // a second end is no error
    static_assert(std::is_base_of_v<EInvalidGraphic, EGraphicCompression>);
}

} // namespace
