#include "engine/AVOptions.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/rtl/StringList.h"

namespace {

using TEntries = std::map<std::string, std::string>;

TEntries EntriesOf(const TAVDict& dict) {
    TEntries entries;
    const AVDictionaryEntry* entry = nullptr;
    while ((entry = avlib::av_dict_get(dict.Get(), "", entry, AV_DICT_IGNORE_SUFFIX)))
        entries[entry->key] = entry->value;
    return entries;
}

class AVOptions : public testing::Test {
protected:
    void SetUp() override { LoadAVLib(); }

    TEntries ForEncoder(const char* name) {
        const AVCodec* codec = avlib::avcodec_find_encoder_by_name(name);
        return EntriesOf(StreamCodecOptions(state_.CodecOptions(), codec->type, codec, true));
    }
    TEntries ForDecoder(const char* name) {
        const AVCodec* codec = avlib::avcodec_find_decoder_by_name(name);
        return EntriesOf(StreamCodecOptions(state_.CodecOptions(), codec->type, codec, false));
    }

    TAVOptionState state_;
};

TEST_F(AVOptions, NamesLandWhereFFmpegKnowsThem) {
    TStringList lines;
    lines.SetText("b=900000\npreload=300000\nvideo_size=320x240\nnosuch=1\nno equals sign\ng=12=13");
    state_.Apply(lines);
    EXPECT_EQ(EntriesOf(state_.CodecOptions()),
              (TEntries{{"b", "900000"}, {"video_size", "320x240"}, {"g", "12=13"}}));
    EXPECT_EQ(EntriesOf(state_.FormatOptions()), (TEntries{{"preload", "300000"}, {"video_size", "320x240"}}));
    state_.Reset();
    EXPECT_EQ(state_.CodecOptions().Count(), 0);
    EXPECT_EQ(state_.FormatOptions().Count(), 0);
}

TEST_F(AVOptions, FlagValuesAddUpOtherValuesReplace) {
    state_.SetDefault("flags", "+qscale");
    state_.SetDefault("flags", "+global_header");
    state_.SetDefault("g", "10");
    state_.SetDefault("g", "20");
    EXPECT_EQ(EntriesOf(state_.CodecOptions()), (TEntries{{"flags", "+qscale+global_header"}, {"g", "20"}}));
}

// The bit rate options of a VCD profile: with "b" reaching the audio encoder
// too, mp2 would be asked for the video rate and refuse to open.
TEST_F(AVOptions, VideoBitRateReachesVideoEncodersOnlyAndAudioRateAudioEncodersOnly) {
    state_.SetDefault("ab", "224000");
    state_.SetDefault("b", "1150000");
    state_.SetDefault("threads", "2");
    EXPECT_EQ(ForEncoder("mpeg1video"), (TEntries{{"b", "1150000"}, {"threads", "2"}}));
    EXPECT_EQ(ForEncoder("mp2"), (TEntries{{"b", "224000"}, {"threads", "2"}}));
    EXPECT_EQ(ForDecoder("mpeg1video"), (TEntries{{"threads", "2"}}));

    const AVCodec* mp2 = avlib::avcodec_find_encoder_by_name("mp2");
    AVCodecContext* encoder = avlib::avcodec_alloc_context3(mp2);
    encoder->sample_rate = 44100;
    encoder->sample_fmt = AV_SAMPLE_FMT_S16;
    avlib::av_channel_layout_default(&encoder->ch_layout, 2);
    TAVDict options = StreamCodecOptions(state_.CodecOptions(), AVMEDIA_TYPE_AUDIO, mp2, true);
    EXPECT_GE(avlib::avcodec_open2(encoder, mp2, options.Address()), 0);
    EXPECT_EQ(encoder->bit_rate, 224000);
    avlib::avcodec_free_context(&encoder);
}

TEST_F(AVOptions, StreamOptionsFollowMediaTypeDirectionAndPrivateOptions) {
    TStringList lines;
    lines.SetText("g=12\ndata_partitioning=1\nar=22050");
    state_.Apply(lines);
    EXPECT_EQ(ForEncoder("mpeg4"), (TEntries{{"g", "12"}, {"data_partitioning", "1"}}));
    EXPECT_EQ(ForEncoder("mjpeg"), (TEntries{{"g", "12"}}));
    EXPECT_EQ(ForEncoder("pcm_s16le"), (TEntries{{"ar", "22050"}}));
    EXPECT_EQ(ForDecoder("mpeg4"), TEntries{});
}

TEST_F(AVOptions, MediaLetterBeforeAnOptionNameNamesItForThatType) {
    TAVDict codecOptions;
    codecOptions.Set("vg", "5");
    codecOptions.Set("aar", "11025");
    const AVCodec* mpeg4 = avlib::avcodec_find_encoder_by_name("mpeg4");
    const AVCodec* pcm = avlib::avcodec_find_encoder_by_name("pcm_s16le");
    EXPECT_EQ(EntriesOf(StreamCodecOptions(codecOptions, AVMEDIA_TYPE_VIDEO, mpeg4, true)), (TEntries{{"g", "5"}}));
    EXPECT_EQ(EntriesOf(StreamCodecOptions(codecOptions, AVMEDIA_TYPE_AUDIO, pcm, true)), (TEntries{{"ar", "11025"}}));
}

} // namespace
