#include "engine/ConversionRun.h"

#include <gtest/gtest.h>

#include "TestMedia.h"
#include "engine/AVUtils.h"
#include "engine/ConvertOptions.h"
#include "engine/StreamProtocol.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/Streams.h"

namespace {

// Opening phases run straight on a run record, as the converter's worker runs them.
class ConverterOpening : public testing::Test {
protected:
    void SetUp() override {
        LoadAVLib();
        folder_ = TestFolder();
    }

    // Opens the inputs and outputs; Duration receives the last input's duration.
    void Open(const std::vector<String>& inputs, const std::vector<String>& outputs) {
        for (const String& input : inputs) inputs_.Add(input);
        for (const String& output : outputs) outputs_.Add(output);
        OpenConversion(run_, options_, inputs_, outputs_, remembered_, [this](double d) { duration_ = d; });
    }

    // The message of the exception Open raises.
    String OpenFailure(const std::vector<String>& inputs, const std::vector<String>& outputs) {
        try {
            Open(inputs, outputs);
        } catch (const Exception& e) {
            return e.Message();
        }
        return "no exception";
    }

    // Codec parameters of the input stream that output stream Index takes.
    const AVCodecParameters& SourceOf(int index) const {
        return *run_.inputStreams[run_.outputStreams[index]->sourceIndex]->stream->codecpar;
    }

    String folder_;
    TAVConvertOptions options_;
    TStringList inputs_;
    TStringList outputs_;
    TOutputParameters remembered_;
    TConversionRun run_;
    double duration_ = -1;
};

TEST_F(ConverterOpening, AutomaticChoiceTakesTheLargestPictureAndTheMostChannels) {
    const String source = folder_ + "several.mkv";
    WriteTestMedia(source, {AudioTrack(2), VideoTrack(320, 240), AudioTrack(6), VideoTrack(1280, 720),
                            VideoTrack(1280, 720, "mjpeg")});
    Open({source}, {folder_ + "out.nut"});

    ASSERT_EQ(run_.outputStreams.size(), 2u);
    const TOutputStream& video = *run_.outputStreams[0];
    EXPECT_EQ(video.encoderContext->codec_type, AVMEDIA_TYPE_VIDEO);
    EXPECT_EQ(SourceOf(0).width, 1280);
    EXPECT_EQ(SourceOf(0).codec_id, AV_CODEC_ID_MPEG4); // the first of equal sizes
    EXPECT_EQ(video.filterText, "null");
    EXPECT_EQ(run_.outputStreams[1]->encoderContext->codec_type, AVMEDIA_TYPE_AUDIO);
    EXPECT_EQ(SourceOf(1).ch_layout.nb_channels, 6);
    EXPECT_EQ(run_.outputStreams[1]->filterText, "anull");

    // Only the chosen streams are read.
    int reading = 0;
    for (const auto& ist : run_.inputStreams) {
        EXPECT_EQ(ist->discard, ist->stream->discard == AVDISCARD_ALL);
        reading += !ist->discard;
    }
    EXPECT_EQ(reading, 2);
    EXPECT_NEAR(duration_, 0.3, 0.15);
}

TEST_F(ConverterOpening, DisabledTypesAreLeftOut) {
    const String source = folder_ + "av.nut";
    WriteTestMedia(source, {VideoTrack(64, 48), AudioTrack(1)});
    options_.VideoOptions()->SetVideoDisable(true);
    Open({source}, {folder_ + "out.nut"});
    ASSERT_EQ(run_.outputStreams.size(), 1u);
    EXPECT_EQ(SourceOf(0).codec_type, AVMEDIA_TYPE_AUDIO);
}

TEST_F(ConverterOpening, StreamMapsSelectBySpecifierAndAsManyAsThereAreLines) {
    const String source = folder_ + "several.nut";
    WriteTestMedia(source, {VideoTrack(64, 48), VideoTrack(96, 64), AudioTrack(1), AudioTrack(2)});
    options_.StreamMaps()->SetText("0:v\n0x0:a");
    Open({source}, {folder_ + "out.nut"});
    // "0:v" made two maps, "0x0:a" two more; two lines use the first two.
    ASSERT_EQ(run_.streamMaps.size(), 4u);
    ASSERT_EQ(run_.outputStreams.size(), 2u);
    EXPECT_EQ(SourceOf(0).width, 64);
    EXPECT_EQ(SourceOf(1).width, 96);
}

TEST_F(ConverterOpening, StreamMapNamingAMissingInputFails) {
    const String source = folder_ + "one.nut";
    WriteTestMedia(source, {VideoTrack(64, 48)});
    options_.StreamMaps()->SetText("1");
    EXPECT_EQ(OpenFailure({source}, {folder_ + "out.nut"}), "Invalid input file index:1");
}

TEST_F(ConverterOpening, OutputFoldersAreCreatedAndPreloadIsInMicroseconds) {
    const String source = folder_ + "in.nut";
    WriteTestMedia(source, {VideoTrack(64, 48)});
    options_.MuxerOptions()->SetMuxPreload(0.5f);
    options_.MetaData()->SetText("title=Probe\ncomment=a=b");
    const String output = folder_ + "deep/er/out.mpg";
    Open({source}, {output});
    EXPECT_TRUE(FileExists(output));
    const TOutputFile& file = *run_.outputFiles[0];
    ASSERT_NE(file.muxerOptions.Find("preload"), nullptr);
    EXPECT_STREQ(file.muxerOptions.Find("preload"), "500000");
    EXPECT_EQ(file.context->max_delay, 700000);
    EXPECT_STREQ(avlib::av_dict_get(file.context->metadata, "comment", nullptr, 0)->value, "a=b");
}

TEST_F(ConverterOpening, NoPreloadWhenItIsZero) {
    const String source = folder_ + "in.nut";
    WriteTestMedia(source, {VideoTrack(64, 48)});
    options_.MuxerOptions()->SetMuxPreload(0);
    Open({source}, {folder_ + "out.mpg"});
    EXPECT_EQ(run_.outputFiles[0]->muxerOptions.Find("preload"), nullptr);
}

TEST_F(ConverterOpening, ImageSequenceNamesNeedANumber) {
    const String source = folder_ + "in.nut";
    WriteTestMedia(source, {VideoTrack(64, 48)});
    EXPECT_EQ(OpenFailure({source}, {folder_ + "still.jpg"}), "unexpected error");

    TConversionRun numbered;
    TStringList inputs, outputs;
    inputs.Add(source);
    outputs.Add(folder_ + "frame%03d.jpg");
    OpenConversion(numbered, options_, inputs, outputs, remembered_, [](double) {});
    EXPECT_EQ(numbered.outputStreams.size(), 1u);

    // Told to overwrite one file, the muxer needs no number.
    TConversionRun single;
    outputs.SetText(folder_ + "snapshot.jpg");
    options_.CodecOptions()->SetText("update=1");
    OpenConversion(single, options_, inputs, outputs, remembered_, [](double) {});
    EXPECT_EQ(single.outputStreams.size(), 1u);
}

TEST_F(ConverterOpening, UnknownForcedDemuxerFailsAndABlankLineProbes) {
    const String source = folder_ + "in.nut";
    WriteTestMedia(source, {VideoTrack(64, 48)});
    options_.InputFormats()->SetText("nosuchdemuxer");
    EXPECT_EQ(OpenFailure({source}, {folder_ + "out.nut"}), "Unknow input format nosuchdemuxer");

    TConversionRun probed;
    TStringList inputs, outputs;
    inputs.Add(source);
    options_.InputFormats()->SetText(" ");
    OpenConversion(probed, options_, inputs, outputs, remembered_, [](double) {});
    ASSERT_EQ(probed.inputFiles.size(), 1u);
    EXPECT_STREQ(probed.inputFiles[0]->context->iformat->name, "nut");
}

TEST_F(ConverterOpening, MissingInputNamesTheFile) {
    const String missing = folder_ + "missing.avi";
    EXPECT_EQ(OpenFailure({missing}, {}), "Input file " + missing + " does not exist or cannot be read");
}

TEST_F(ConverterOpening, StreamInputsSeekToTheStartMark) {
    auto stream = std::make_shared<TBytesStream>(MakeWav(MakePcm(8000 * 2), 8000));
    const int id = RegisterStream(stream);
    options_.SetStartTime(500000);
    Open({StreamURL(id) + ".wav"}, {});
    ASSERT_EQ(run_.inputFiles.size(), 1u);
    EXPECT_EQ(run_.inputFiles[0]->tsOffset, -500000);
    EXPECT_EQ(run_.inputStreams[0]->decoderContext->ch_layout.order, AV_CHANNEL_ORDER_NATIVE);
    EXPECT_DOUBLE_EQ(duration_, 2.0);
}

TEST_F(ConverterOpening, StreamCopyTakesNoEncoderSettings) {
    const String source = folder_ + "in.nut";
    WriteTestMedia(source, {VideoTrack(64, 48), AudioTrack(1)});
    options_.VideoOptions()->SetFrameAspectRatio(16.0f / 9);
    options_.VideoOptions()->SetIntraOnly(true);
    options_.AudioOptions()->SetAudioStreamCopy(true);
    options_.AudioOptions()->SetAudioCodecTag(0x55);
    options_.AudioOptions()->SetAudioQScale(3);
    Open({source}, {folder_ + "encoded.nut"});
    const TOutputStream& video = *run_.outputStreams[0];
    EXPECT_FALSE(video.streamCopy);
    EXPECT_FLOAT_EQ(video.aspectRatio, 16.0f / 9);
    EXPECT_EQ(video.encoderContext->gop_size, 0);
    const TOutputStream& audio = *run_.outputStreams[1];
    EXPECT_TRUE(audio.streamCopy);
    EXPECT_EQ(audio.encoder, nullptr);
    EXPECT_EQ(audio.encoderContext->codec_tag, 0x55u);
    EXPECT_FALSE(audio.encoderContext->flags & AV_CODEC_FLAG_QSCALE);

    TConversionRun copied;
    TStringList inputs, outputs;
    inputs.Add(source);
    outputs.Add(folder_ + "copied.nut");
    options_.VideoOptions()->SetVideoStreamCopy(true);
    OpenConversion(copied, options_, inputs, outputs, remembered_, [](double) {});
    EXPECT_TRUE(copied.outputStreams[0]->streamCopy);
    EXPECT_FLOAT_EQ(copied.outputStreams[0]->aspectRatio, 0);
    EXPECT_NE(copied.outputStreams[0]->encoderContext->gop_size, 0);
}

TEST_F(ConverterOpening, EncoderSettingsComeFromTheOptions) {
    const String source = folder_ + "in.nut";
    WriteTestMedia(source, {VideoTrack(64, 48), AudioTrack(1)});
    TVideoOptions& video = *options_.VideoOptions();
    video.SetVideoCodecName("mpeg2video");
    video.SetFrameWidth(320);
    video.SetFrameHeight(240);
    video.SetVideoQscale(2.5f);
    video.SetPass(1);
    video.SetIntraDcPrecision(9);
    video.FrameRate()->SetNum(25);
    video.FrameRate()->SetDen(1);
    video.SetPixelFormat(AV_PIX_FMT_YUV422P);
    options_.FilterOptions()->SetVideoFilters("hflip");
    options_.FilterOptions()->SetVideoBitstreamFilters("dump_extra");
    TAudioOptions& audio = *options_.AudioOptions();
    audio.SetAudioCodecName("mp2");
    audio.SetAudioChannels(2);
    audio.SetAudioSampleRate(44100);
    audio.SetAudioSampleFmt(sfS16);
    Open({source}, {folder_ + "out.mpg"});

    const TOutputStream& v = *run_.outputStreams[0];
    EXPECT_STREQ(v.encoder->name, "mpeg2video");
    EXPECT_EQ(v.encoderContext->width, 320);
    EXPECT_EQ(v.encoderContext->height, 240);
    EXPECT_EQ(v.encoderContext->pix_fmt, AV_PIX_FMT_YUV422P);
    EXPECT_EQ(v.encoderContext->global_quality, 295);
    EXPECT_TRUE(v.encoderContext->flags & AV_CODEC_FLAG_QSCALE);
    EXPECT_TRUE(v.encoderContext->flags & AV_CODEC_FLAG_PASS1);
    EXPECT_FALSE(v.encoderContext->flags & AV_CODEC_FLAG_PASS2);
    EXPECT_EQ(v.encoderContext->intra_dc_precision, 1);
    EXPECT_EQ(v.forcedFrameRate.num, 25);
    EXPECT_EQ(v.filterText, "hflip");
    EXPECT_NE(v.bitstreamFilters, nullptr);
    const TOutputStream& a = *run_.outputStreams[1];
    EXPECT_STREQ(a.encoder->name, "mp2");
    EXPECT_EQ(a.encoderContext->ch_layout.nb_channels, 2);
    EXPECT_EQ(a.encoderContext->sample_rate, 44100);
    EXPECT_EQ(a.encoderContext->sample_fmt, AV_SAMPLE_FMT_S16);
    EXPECT_EQ(remembered_.frameWidth, 320);
}

struct TOutputFailure {
    const char* what;
    void (*set)(TAVConvertOptions&);
    const char* message; // "{out}" stands for the output's name
};

std::ostream& operator<<(std::ostream& os, const TOutputFailure& failure) { return os << failure.what; }

class OutputFailures : public testing::TestWithParam<TOutputFailure> {};

TEST_P(OutputFailures, Message) {
    LoadAVLib();
    const String folder = TestFolder();
    WriteTestMedia(folder + "in.nut", {VideoTrack(64, 48), AudioTrack(1)});
    TAVConvertOptions options;
    GetParam().set(options);
    TConversionRun run;
    TStringList inputs, outputs;
    TOutputParameters remembered;
    inputs.Add(folder + "in.nut");
    outputs.Add(folder + "out.nut");
    try {
        OpenConversion(run, options, inputs, outputs, remembered, [](double) {});
        FAIL() << "no exception";
    } catch (const Exception& e) {
        String expected = GetParam().message;
        if (const auto at = expected.find(u"{out}"); at != String::npos) expected.replace(at, 5, outputs.Strings(0));
        EXPECT_EQ(e.Message(), expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    ConverterOpening, OutputFailures,
    testing::Values(
        TOutputFailure{"unknown encoder", [](TAVConvertOptions& o) { o.VideoOptions()->SetVideoCodecName("nosuch"); },
                       "Unknown Codec Name"},
        TOutputFailure{"audio encoder for video",
                       [](TAVConvertOptions& o) { o.VideoOptions()->SetVideoCodecName("mp2"); },
                       "Invalid codec type"},
        TOutputFailure{"unknown bitstream filter",
                       [](TAVConvertOptions& o) { o.FilterOptions()->SetAudioBitstreamFilters("nosuchbsf"); },
                       "Unknown bitstream filter"},
        TOutputFailure{"unknown forced muxer", [](TAVConvertOptions& o) { o.SetOutputFormat("nosuchmuxer"); },
                       "Unable to find a suitable output format for {out}"},
        TOutputFailure{"complex graph naming a missing input",
                       [](TAVConvertOptions& o) { o.FilterOptions()->ComplexFilters()->Add("[1:v]null"); },
                       "Invalid file index in filtergraph description"},
        TOutputFailure{"complex graph naming a missing stream",
                       [](TAVConvertOptions& o) { o.FilterOptions()->ComplexFilters()->Add("[0:v:1]null"); },
                       "Steram specifier in filtergraph description"},
        TOutputFailure{"complex graph taking a used stream unlabelled",
                       [](TAVConvertOptions& o) { o.FilterOptions()->ComplexFilters()->Add("[0:v]null;null"); },
                       "cannot find a matching stream for unlabeled input pad on filter"},
        TOutputFailure{"complex graph output copied",
                       [](TAVConvertOptions& o) {
                           o.FilterOptions()->ComplexFilters()->Add("[0:v]null");
                           o.VideoOptions()->SetVideoStreamCopy(true);
                       },
                       "Stream copy requested for output stream"},
        TOutputFailure{"complex graph that does not parse",
                       [](TAVConvertOptions& o) { o.FilterOptions()->ComplexFilters()->Add("[0:v]nosuchfilter"); },
                       "Error configuring filters."}));

TEST_F(ConverterOpening, NegativeFrameSizeIsReportedAndTheOpeningGoesOn) {
    const String source = folder_ + "in.nut";
    WriteTestMedia(source, {VideoTrack(64, 48)});
    std::vector<String> shown;
    SetAVErrorHandler([&](const String& text) { shown.push_back(text); });
    options_.VideoOptions()->SetFrameWidth(-2);
    Open({source}, {folder_ + "out.nut"});
    SetAVErrorHandler(nullptr);
    EXPECT_EQ(shown, std::vector<String>{"crop dimensions are outside the range of the original image."});
    EXPECT_EQ(run_.outputFiles.size(), 1u);
}

// Inputs are opened before the option lines are applied, and the option state
// is reset after each output: the lines reach the first output's encoders only.
TEST_F(ConverterOpening, CodecOptionsReachTheFirstOutputsEncodersOnly) {
    const String source = folder_ + "in.nut";
    WriteTestMedia(source, {VideoTrack(64, 48), AudioTrack(1)});
    options_.CodecOptions()->SetText("g=7\nnosuch=1");
    options_.VideoOptions()->SetBitrate(1150000);
    options_.AudioOptions()->SetBitrate(224000);
    options_.SetThreadCount(2);
    Open({source}, {folder_ + "first.nut", folder_ + "second.nut"});

    EXPECT_EQ(run_.inputStreams[0]->decoderOptions.Count(), 0);
    ASSERT_EQ(run_.outputStreams.size(), 4u);
    const TAVDict& video = run_.outputStreams[0]->encoderOptions;
    EXPECT_STREQ(video.Find("g"), "7");
    EXPECT_STREQ(video.Find("b"), "1150000");
    EXPECT_STREQ(video.Find("threads"), "2");
    const TAVDict& audio = run_.outputStreams[1]->encoderOptions;
    EXPECT_STREQ(audio.Find("b"), "224000");
    EXPECT_EQ(audio.Find("g"), nullptr);
    EXPECT_EQ(run_.outputStreams[2]->encoderOptions.Count(), 0);
    EXPECT_EQ(run_.outputStreams[3]->encoderOptions.Count(), 0);
    // The converter's own options stay in the option set.
    EXPECT_EQ(options_.CodecOptions()->Values("ab"), "224000");
    EXPECT_EQ(options_.CodecOptions()->Values("threads"), "2");
}

} // namespace
