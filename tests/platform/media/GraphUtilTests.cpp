#include <gtest/gtest.h>

#include "platform/media/GraphUtil.h"
#include "platform/media/MediaFormats.h"

namespace {

TEST(GraphUtilTest, CheckDirectShowResultPassesSuccessAndRaisesFailure) {
    EXPECT_EQ(CheckDirectShowResult(S_FALSE), 1);
    EXPECT_EQ(CheckDirectShowResult(VFW_S_NO_MORE_ITEMS), VFW_S_NO_MORE_ITEMS);
    try {
        CheckDirectShowResult(VFW_E_NO_ACCEPTABLE_TYPES);
        FAIL() << "no exception";
    } catch (const EDirectShowException& e) {
        EXPECT_EQ(e.ErrorCode(), VFW_E_NO_ACCEPTABLE_TYPES);
        EXPECT_EQ(e.Message(), DirectShowErrorText(VFW_E_NO_ACCEPTABLE_TYPES) + u" ($80040207).");
    }
}

TEST(GraphUtilTest, ErrorTextsAreDistinctAndShort) {
    const HRESULT codes[] = {VFW_E_ALREADY_CONNECTED, VFW_E_NOT_STOPPED, VFW_E_CANNOT_RENDER, VFW_E_NOT_COMMITTED,
                             VFW_E_WRONG_STATE, VFW_S_STATE_INTERMEDIATE, E_FAIL};
    for (HRESULT a : codes) {
        EXPECT_LE(DirectShowErrorText(a).Length(), 255);
        for (HRESULT b : codes) {
            if (a == b) continue;
            EXPECT_NE(DirectShowErrorText(a), DirectShowErrorText(b));
        }
    }
}

TEST(GraphUtilTest, AMessageWithAPercentSignSurvives) {
    EXPECT_EQ(DirectShowErrorMessage(u"100% of %s %d", E_FAIL), u"100% of %s %d ($80004005).");
}

TEST(GraphUtilTest, ReferenceTimeToMilliseconds) { EXPECT_EQ(RefTimeToMilliseconds(25'000'000), 2500); }

TEST(GraphUtilTest, BitmapSizesPadRowsToFourBytes) {
    struct {
        int bits, width, height;
        DWORD size;
    } const cases[] = {{32, 3, 2, 24}, {12, 2, 2, 8}, {12, 640, 480, 460800}, {32, 3, -2, 24}};
    for (const auto& c : cases) {
        BITMAPINFOHEADER header{};
        header.biBitCount = static_cast<WORD>(c.bits);
        header.biWidth = c.width;
        header.biHeight = c.height;
        EXPECT_EQ(GetBitmapSize(header), c.size) << c.bits << " " << c.width;
    }
}

TEST(GraphUtilTest, BitmapSubtypes) {
    struct THeaderWithMasks {
        BITMAPINFOHEADER header;
        DWORD masks[3];
    };
    struct {
        WORD bits;
        DWORD compression;
        DWORD masks[3];
        TGUID subtype;
    } const cases[] = {
        {1, BI_RGB, {}, MEDIASUBTYPE_RGB1},
        {4, BI_RGB, {}, MEDIASUBTYPE_RGB4},
        {8, BI_RGB, {}, MEDIASUBTYPE_RGB8},
        {16, BI_RGB, {}, MEDIASUBTYPE_RGB555},
        {16, BI_BITFIELDS, {0x7C00, 0x03E0, 0x001F}, MEDIASUBTYPE_RGB555},
        {16, BI_BITFIELDS, {0xF800, 0x07E0, 0x001F}, MEDIASUBTYPE_RGB565},
        {16, BI_BITFIELDS, {0xF000, 0x0F00, 0x00F0}, GUID_NULL},
        {24, BI_RGB, {}, MEDIASUBTYPE_RGB24},
        {32, BI_RGB, {}, MEDIASUBTYPE_RGB32},
        {32, BI_BITFIELDS, {}, MEDIASUBTYPE_RGB32},
        {7, BI_RGB, {}, GUID_NULL},
        {12, kFourCC_YV12, {}, MEDIASUBTYPE_YV12},
    };
    for (const auto& c : cases) {
        THeaderWithMasks h{};
        h.header.biBitCount = c.bits;
        h.header.biCompression = c.compression;
        std::copy(std::begin(c.masks), std::end(c.masks), h.masks);
        EXPECT_EQ(GetBitmapSubtype(&h.header), c.subtype) << c.bits << " " << c.compression;
    }
    EXPECT_EQ(MEDIASUBTYPE_YV12, TGUID::Parse("{32315659-0000-0010-8000-00AA00389B71}"));
}

TEST(GraphUtilTest, ATypeWithoutFormatBlockTakesNoTaskMemory) {
    AM_MEDIA_TYPE source;
    InitMediaType(source);
    source.majortype = MEDIATYPE_Audio;
    AM_MEDIA_TYPE copy;
    InitMediaType(copy);
    CopyMediaType(copy, source);
    EXPECT_EQ(copy.pbFormat, nullptr);
    EXPECT_EQ(copy.cbFormat, 0u);
    EXPECT_EQ(copy.majortype, MEDIATYPE_Audio);
    FreeMediaType(copy);
}

TEST(GraphUtilTest, VolumeAndBalanceMappings) {
    EXPECT_EQ(LinearVolumeToAttenuation(0), -10000);
    EXPECT_EQ(LinearVolumeToAttenuation(10000), 0);
    EXPECT_EQ(LinearBalanceToAttenuation(0), 0);
    const long right = LinearBalanceToAttenuation(5000), left = LinearBalanceToAttenuation(-5000);
    EXPECT_GT(right, 0);
    EXPECT_EQ(left, -right);
    EXPECT_EQ(LinearBalanceToAttenuation(10000), 10000);
}

TEST(GraphUtilTest, FormatRecordsKeepTheirSizes) {
    const TMediaType video = VideoInfoType(MEDIASUBTYPE_YV12, 640, 480, 400000);
    EXPECT_EQ(video->cbFormat, 1128u);
    EXPECT_EQ(video->lSampleSize, 460800u);
    const TMediaType audio = PcmAudioType(2, 44100);
    EXPECT_EQ(audio->cbFormat, 18u);
    EXPECT_EQ(WaveFormatOf(audio.get())->nAvgBytesPerSec, 176400u);
}

} // namespace
