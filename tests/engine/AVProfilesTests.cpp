#include "engine/AVProfiles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <functional>
#include <memory>

#include "PublishedProps.h"
#include "TestMedia.h"
#include "engine/AVConverter.h"
#include "platform/rtl/ClassInfo.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/SyncObjs.h"
#include "platform/rtl/Threads.h"
#include "platform/rtl/UnitRegistry.h"

namespace {

constexpr int32_t None = NoDefault;

TEST(AVProfiles, PublishedDeclarations) {
    struct TDecl {
        const char* name;
        TTypeKind kind;
        int32_t def;
    };
    const auto expect = [](TClass cls, const std::vector<TDecl>& own) {
        // After TComponent's Name and Tag, and TAVProfile's three.
        std::vector<TDecl> all{{"Description", tkUString, None}, {"Extension", tkUString, None},
                               {"Category", tkUString, None}};
        all.insert(all.end(), own.begin(), own.end());
        const auto props = cls->Properties();
        ASSERT_EQ(props.size(), all.size() + 2) << cls->ClassName().ToUtf8();
        for (size_t i = 0; i < all.size(); ++i) {
            const TPropInfo* prop = props[i + 2];
            EXPECT_EQ(prop->Name(), String(all[i].name)) << cls->ClassName().ToUtf8();
            EXPECT_EQ(prop->Kind(), all[i].kind) << all[i].name;
            EXPECT_EQ(prop->Default(), all[i].def) << all[i].name;
        }
    };
    std::vector<TDecl> audio{{"SampleRate", tkInteger, None},      {"AudioEncoder", tkEnumeration, None},
                             {"AudioChannels", tkEnumeration, None}, {"AudioBitrate", tkFloat, None},
                             {"Format", tkEnumeration, None},      {"Options", tkClass, None}};
    expect(TAVCustomAudioProfile::StaticClass(), audio);
    std::vector<TDecl> video(audio);
    video.insert(video.end(), {{"FrameWidth", tkInteger, None},
                               {"FrameHeight", tkInteger, None},
                               {"VideoEncoder", tkEnumeration, None},
                               {"FrameRate", tkEnumeration, None},
                               {"VideoBitrate", tkInteger, None},
                               {"Pass", tkInteger, 1},
                               {"FrameAspectRatio", tkEnumeration, None},
                               {"FrameSize", tkEnumeration, None}});
    expect(TAVCustomVideoProfile::StaticClass(), video);
    EXPECT_FALSE(TAVCustomVideoProfile::StaticClass()->FindProperty("FrameSize")->HasWriter());
    expect(TAVVcdProfile::StaticClass(), {{"Target", tkEnumeration, 0}});
    expect(TAVDv50Profile::StaticClass(), {{"Target", tkEnumeration, 0}});
    expect(TAVImageProfile::StaticClass(), {{"ImageType", tkEnumeration, 0}});
    expect(TAVX264Profile::StaticClass(), {{"preset", tkEnumeration, None}});
}

TEST(AVProfiles, StreamableClassesAreCreatedByNameButNotTheX264Preset) {
    InitializeUnits();
    TComponent owner(nullptr);
    for (const char* name : {"TAVVcdProfile", "TAVSVcdProfile", "TAVDvdProfile", "TAVDvProfile", "TAVDv50Profile",
                             "TAVImageProfile", "TAVCustomAudioProfile", "TAVCustomVideoProfile"})
        EXPECT_EQ(FindClass(name)->CreateComponent(&owner)->ClassName(), String(name));
    EXPECT_EQ(GetClass("TAVX264Profile"), nullptr);
    FinalizeUnits();
    EXPECT_EQ(GetClass("TAVVcdProfile"), nullptr);
}

TEST(AVProfiles, ConstructorValues) {
    TAVVcdProfile vcd(nullptr);
    EXPECT_EQ(vcd.Description(), "VCD");
    EXPECT_EQ(vcd.GetExtension(), ".mpg");
    EXPECT_EQ(vcd.Target(), TAVTarget::pal);
    EXPECT_EQ(TAVDvdProfile(nullptr).GetExtension(), ".vob");
    EXPECT_EQ(TAVDv50Profile(nullptr).Description(), "DV50");
    EXPECT_EQ(TAVImageProfile(nullptr).Description(), "Image Sequence Profile");
    TAVX264Profile x264(nullptr);
    EXPECT_EQ(x264.Preset(), TPreset::medium);
    EXPECT_EQ(x264.GetExtension(), ".mp4");
    TAVCustomVideoProfile video(nullptr);
    EXPECT_EQ(video.Pass(), 0);
    EXPECT_EQ(video.Options()->Count(), 0);
    EXPECT_EQ(video.Index(), -1);
}

// --- Applying ---

std::unique_ptr<TAVCustomVideoProfile> VideoProfile(TCustomVideoEncoder encoder, int width, int height) {
    auto profile = std::make_unique<TAVCustomVideoProfile>(nullptr);
    profile->SetVideoEncoder(encoder);
    profile->SetFrameWidth(width);
    profile->SetFrameHeight(height);
    return profile;
}

template <class T>
std::unique_ptr<TAVProfile> Target(TAVTarget target) {
    auto profile = std::make_unique<T>(nullptr);
    profile->SetTarget(target);
    return profile;
}

void SetRate(TAVConvertOptions& o, int num, int den) {
    o.VideoOptions()->FrameRate()->SetNum(num);
    o.VideoOptions()->FrameRate()->SetDen(den);
}

// A profile applied to a converter whose options Prepare set up must leave
// the options as Prepare and then Expect would.
struct TApplyCase {
    const char* what;
    std::function<std::unique_ptr<TAVProfile>()> make;
    std::function<void(TAVConvertOptions&)> expect;
    std::function<void(TAVConvertOptions&)> prepare = [](TAVConvertOptions&) {};
};

std::ostream& operator<<(std::ostream& os, const TApplyCase& c) { return os << c.what; }

class ProfileApplies : public testing::TestWithParam<TApplyCase> {};

TEST_P(ProfileApplies, ExactlyItsOptions) {
    TAVConverter converter(nullptr);
    GetParam().prepare(*converter.ConvertOptions());
    TAVConvertOptions expected;
    GetParam().prepare(expected);
    GetParam().expect(expected);

    EXPECT_TRUE(GetParam().make()->ApplyToConverter(converter));

    TAVConvertOptions& actual = *converter.ConvertOptions();
    for (const String& path : LeafPaths(&expected))
        EXPECT_EQ(PropText(&actual, path), PropText(&expected, path)) << path.ToUtf8();
    EXPECT_EQ(actual.VideoOptions()->PixelFormat(), expected.VideoOptions()->PixelFormat());
}

void Vcd(TAVConvertOptions& o) {
    o.VideoOptions()->SetVideoCodecName("mpeg1video");
    o.VideoOptions()->SetPixelFormat(AV_PIX_FMT_YUV420P);
    o.AudioOptions()->SetAudioCodecName("mp2");
    o.SetOutputFormat("vcd");
    o.VideoOptions()->SetFrameWidth(352);
    o.VideoOptions()->SetBitrate(1150000);
    o.AudioOptions()->SetBitrate(224000);
    o.AudioOptions()->SetAudioSampleRate(44100);
    o.AudioOptions()->SetAudioChannels(2);
    o.MuxerOptions()->SetMuxPreload(0.44f);
}

void Svcd(TAVConvertOptions& o) {
    o.VideoOptions()->SetVideoCodecName("mpeg2video");
    o.VideoOptions()->SetPixelFormat(AV_PIX_FMT_YUV420P);
    o.AudioOptions()->SetAudioCodecName("mp2");
    o.SetOutputFormat("svcd");
    o.VideoOptions()->SetFrameWidth(480);
    o.VideoOptions()->SetBitrate(2040000);
    o.AudioOptions()->SetBitrate(224000);
    o.AudioOptions()->SetAudioSampleRate(44100);
}

void Dvd(TAVConvertOptions& o) {
    o.VideoOptions()->SetVideoCodecName("mpeg2video");
    o.VideoOptions()->SetPixelFormat(AV_PIX_FMT_YUV420P);
    o.AudioOptions()->SetAudioCodecName("ac3");
    o.SetOutputFormat("dvd");
    o.VideoOptions()->SetFrameWidth(720);
    o.VideoOptions()->SetBitrate(6000000);
    o.AudioOptions()->SetBitrate(448000);
    o.AudioOptions()->SetAudioSampleRate(48000);
}

void Dv(TAVConvertOptions& o, int height, AVPixelFormat format) {
    o.SetOutputFormat("dv");
    o.VideoOptions()->SetFrameWidth(720);
    o.VideoOptions()->SetFrameHeight(height);
    o.VideoOptions()->SetPixelFormat(format);
    o.AudioOptions()->SetAudioSampleRate(48000);
    o.AudioOptions()->SetAudioChannels(2);
}

INSTANTIATE_TEST_SUITE_P(
    AVProfiles, ProfileApplies,
    testing::Values(
        TApplyCase{"VCD PAL", [] { return Target<TAVVcdProfile>(TAVTarget::pal); },
                   [](TAVConvertOptions& o) {
                       Vcd(o);
                       o.VideoOptions()->SetFrameHeight(288);
                       SetRate(o, 25, 1);
                       o.CodecOptions()->SetCommaText(
                           "g=15,maxrate=1150000,minrate=1150000,bufsize=327680,packetsize=2324,muxrate=1411200");
                   }},
        TApplyCase{"VCD NTSC", [] { return Target<TAVVcdProfile>(TAVTarget::ntsc); },
                   [](TAVConvertOptions& o) {
                       Vcd(o);
                       o.VideoOptions()->SetFrameHeight(240);
                       SetRate(o, 30000, 1001);
                       o.CodecOptions()->SetCommaText(
                           "g=18,maxrate=1150000,minrate=1150000,bufsize=327680,packetsize=2324,muxrate=1411200");
                   }},
        TApplyCase{"SVCD NTSC replaces an option in place and appends the group size",
                   [] { return Target<TAVSVcdProfile>(TAVTarget::ntsc); },
                   [](TAVConvertOptions& o) {
                       Svcd(o);
                       o.VideoOptions()->SetFrameHeight(480);
                       SetRate(o, 30000, 1001);
                       o.CodecOptions()->SetCommaText(
                           "bufsize=1835008,g=18,maxrate=2516000,minrate=0,scan_offset=1,packetsize=2324");
                   },
                   [](TAVConvertOptions& o) { o.CodecOptions()->Add("bufsize=1"); }},
        TApplyCase{"DVD PAL", [] { return Target<TAVDvdProfile>(TAVTarget::pal); },
                   [](TAVConvertOptions& o) {
                       Dvd(o);
                       o.VideoOptions()->SetFrameHeight(576);
                       SetRate(o, 25, 1);
                       o.CodecOptions()->SetCommaText(
                           "g=15,maxrate=9000000,minrate=0,bufsize=1835008,packetsize=2048,muxrate=10080000");
                   }},
        TApplyCase{"DVD film", [] { return Target<TAVDvdProfile>(TAVTarget::film); },
                   [](TAVConvertOptions& o) {
                       Dvd(o);
                       o.VideoOptions()->SetFrameHeight(480);
                       SetRate(o, 24000, 1001);
                       o.CodecOptions()->SetCommaText(
                           "g=18,maxrate=9000000,minrate=0,bufsize=1835008,packetsize=2048,muxrate=10080000");
                   }},
        TApplyCase{"DV PAL", [] { return Target<TAVDvProfile>(TAVTarget::pal); },
                   [](TAVConvertOptions& o) {
                       Dv(o, 576, AV_PIX_FMT_YUV420P);
                       SetRate(o, 25, 1);
                   }},
        TApplyCase{"DV NTSC", [] { return Target<TAVDvProfile>(TAVTarget::ntsc); },
                   [](TAVConvertOptions& o) {
                       Dv(o, 480, AV_PIX_FMT_YUV411P);
                       SetRate(o, 30000, 1001);
                   }},
        TApplyCase{"DV50 is DV with 4:2:2 pictures", [] { return Target<TAVDv50Profile>(TAVTarget::ntsc); },
                   [](TAVConvertOptions& o) {
                       Dv(o, 480, AV_PIX_FMT_YUV422P);
                       SetRate(o, 30000, 1001);
                   }},
        TApplyCase{"image sequence", [] { return std::make_unique<TAVImageProfile>(nullptr); },
                   [](TAVConvertOptions& o) { o.SetThreadCount(1); },
                   [](TAVConvertOptions& o) { o.SetThreadCount(4); }},
        TApplyCase{"x264 preset",
                   [] {
                       auto profile = std::make_unique<TAVX264Profile>(nullptr);
                       profile->SetPreset(TPreset::veryslow);
                       return profile;
                   },
                   [](TAVConvertOptions& o) { o.CodecOptions()->SetCommaText("preset=veryslow"); }},
        TApplyCase{"custom audio",
                   [] {
                       auto profile = std::make_unique<TAVCustomAudioProfile>(nullptr);
                       profile->SetAudioEncoder(TCustomAudioEncoder::MP3);
                       profile->SetFormat(TCustomAVFormat::F_MKV);
                       profile->SetAudioBitrate(12.2);
                       profile->SetSampleRate(22050);
                       profile->SetAudioChannels(TCustomAudioChannels::mono1);
                       profile->Options()->SetCommaText("cutoff=15000,no-name-line,b=1");
                       return profile;
                   },
                   [](TAVConvertOptions& o) {
                       o.VideoOptions()->SetVideoDisable(true);
                       o.SubtitleOptions()->SetSubtitleDisable(true);
                       o.AudioOptions()->SetAudioCodecName("libmp3lame");
                       o.SetOutputFormat("matroska");
                       o.AudioOptions()->SetBitrate(12200);
                       o.AudioOptions()->SetAudioSampleRate(22050);
                       o.AudioOptions()->SetAudioChannels(1);
                       o.CodecOptions()->SetCommaText("b=1,cutoff=15000");
                   },
                   [](TAVConvertOptions& o) { o.CodecOptions()->SetCommaText("b=5"); }},
        TApplyCase{"custom audio without a format keeps the chosen one; AAC is FFmpeg's own",
                   [] {
                       auto profile = std::make_unique<TAVCustomAudioProfile>(nullptr);
                       profile->SetAudioChannels(TCustomAudioChannels::stereo2);
                       return profile;
                   },
                   [](TAVConvertOptions& o) {
                       o.VideoOptions()->SetVideoDisable(true);
                       o.SubtitleOptions()->SetSubtitleDisable(true);
                       o.AudioOptions()->SetAudioCodecName("aac");
                       o.AudioOptions()->SetAudioChannels(2);
                   },
                   [](TAVConvertOptions& o) { o.SetOutputFormat("mp4"); }},
        TApplyCase{"custom audio on copied audio only disables video and subtitles",
                   [] {
                       auto profile = std::make_unique<TAVCustomAudioProfile>(nullptr);
                       profile->SetAudioEncoder(TCustomAudioEncoder::MP3);
                       profile->SetFormat(TCustomAVFormat::F_AVI);
                       profile->SetAudioBitrate(128);
                       profile->Options()->Add("cutoff=1");
                       return profile;
                   },
                   [](TAVConvertOptions& o) {
                       o.VideoOptions()->SetVideoDisable(true);
                       o.SubtitleOptions()->SetSubtitleDisable(true);
                   },
                   [](TAVConvertOptions& o) { o.AudioOptions()->SetAudioStreamCopy(true); }},
        TApplyCase{"H.264 adds the x264 defaults and keeps one pass",
                   [] {
                       auto profile = VideoProfile(TCustomVideoEncoder::H264, 1280, 720);
                       profile->SetVideoBitrate(2500);
                       profile->SetFrameRate(TCustomFrameRate::r2997);
                       profile->SetFrameAspectRatio(TAVAspectRatio::AR4_3);
                       profile->Options()->SetCommaText("level=30");
                       return profile;
                   },
                   [](TAVConvertOptions& o) {
                       o.SubtitleOptions()->SetSubtitleDisable(true);
                       o.AudioOptions()->SetAudioCodecName("aac");
                       o.AudioOptions()->SetAudioChannels(1);
                       o.VideoOptions()->SetVideoCodecName("libx264");
                       o.VideoOptions()->SetPixelFormat(AV_PIX_FMT_YUV420P);
                       o.CodecOptions()->SetCommaText("level=41,preset=faster,mbd=rd");
                       o.VideoOptions()->SetFrameWidth(1280);
                       o.VideoOptions()->SetFrameHeight(720);
                       o.VideoOptions()->SetBitrate(2500000);
                       o.VideoOptions()->SetFrameAspectRatio(4.0f / 3.0f);
                       SetRate(o, 30000, 1001);
                   },
                   [](TAVConvertOptions& o) { o.SetThreadCount(4); }},
        TApplyCase{"H.263 takes one thread; no size keeps the chosen one",
                   [] {
                       auto profile = VideoProfile(TCustomVideoEncoder::H263, 0, 0);
                       profile->SetPass(1);
                       return profile;
                   },
                   [](TAVConvertOptions& o) {
                       o.SubtitleOptions()->SetSubtitleDisable(true);
                       o.AudioOptions()->SetAudioCodecName("aac");
                       o.AudioOptions()->SetAudioChannels(1);
                       o.VideoOptions()->SetVideoDisable(false);
                       o.VideoOptions()->SetVideoCodecName("h263");
                       o.VideoOptions()->SetPixelFormat(AV_PIX_FMT_YUV420P);
                       o.VideoOptions()->SetPass(1);
                       o.SetThreadCount(1);
                   },
                   [](TAVConvertOptions& o) {
                       o.SetThreadCount(4);
                       o.VideoOptions()->SetFrameWidth(640);
                       o.VideoOptions()->SetFrameHeight(480);
                       o.VideoOptions()->SetVideoDisable(true);
                   }},
        TApplyCase{"a huge video rate is clamped, not overflowed",
                   [] {
                       auto profile = VideoProfile(TCustomVideoEncoder::XVID, 0, 0);
                       profile->SetVideoBitrate(INT_MAX);
                       profile->SetAudioBitrate(-5);
                       return profile;
                   },
                   [](TAVConvertOptions& o) {
                       o.SubtitleOptions()->SetSubtitleDisable(true);
                       o.AudioOptions()->SetAudioCodecName("aac");
                       o.AudioOptions()->SetAudioChannels(1);
                       o.VideoOptions()->SetVideoCodecName("libxvid");
                       o.VideoOptions()->SetPixelFormat(AV_PIX_FMT_YUV420P);
                       o.VideoOptions()->SetBitrate(INT_MAX);
                   }}));

TEST(AVProfiles, ThreadCountIsOneForTheEncodersThatNeedIt) {
    for (int e = 0; e < static_cast<int>(kValueCount<TCustomVideoEncoder::FLV>); ++e) {
        const auto encoder = static_cast<TCustomVideoEncoder>(e);
        TAVConverter converter(nullptr);
        converter.ConvertOptions()->SetThreadCount(8);
        VideoProfile(encoder, 0, 0)->ApplyToConverter(converter);
        const bool single = encoder == TCustomVideoEncoder::H263 || encoder == TCustomVideoEncoder::WMV2 ||
                            encoder == TCustomVideoEncoder::RV20 || encoder == TCustomVideoEncoder::FLV;
        EXPECT_EQ(converter.ConvertOptions()->ThreadCount(), single ? 1 : 8) << EnumName(encoder).ToUtf8();
    }
}

TEST(AVProfiles, TargetsAppendTheirGroupSizeOnEveryApplication) {
    TAVConverter converter(nullptr);
    auto dvd = Target<TAVDvdProfile>(TAVTarget::ntsc);
    dvd->ApplyToConverter(converter);
    dvd->ApplyToConverter(converter);
    EXPECT_EQ(converter.ConvertOptions()->CodecOptions()->IndexOf("g=18"), 0);
    EXPECT_EQ(converter.ConvertOptions()->CodecOptions()->Count(), 7);
}

// Every encoder and container a profile can name exists in the FFmpeg we run
// on, except AMR-NB, which Debian's FFmpeg does not have.
TEST(AVProfiles, NamedEncodersAndMuxersExist) {
    TAVConverter converter(nullptr);
    for (int e = 0; e < static_cast<int>(kValueCount<TCustomVideoEncoder::FLV>); ++e) {
        VideoProfile(static_cast<TCustomVideoEncoder>(e), 0, 0)->ApplyToConverter(converter);
        const AVCodec* codec =
            avlib::avcodec_find_encoder_by_name(converter.ConvertOptions()->VideoOptions()->VideoCodecName().c_str());
        ASSERT_NE(codec, nullptr) << e;
        EXPECT_EQ(codec->type, AVMEDIA_TYPE_VIDEO);
    }
    for (int e = 0; e < static_cast<int>(kValueCount<TCustomAudioEncoder::AMR_NB>); ++e) {
        TAVCustomAudioProfile profile(nullptr);
        profile.SetAudioEncoder(static_cast<TCustomAudioEncoder>(e));
        profile.ApplyToConverter(converter);
        const std::string name = converter.ConvertOptions()->AudioOptions()->AudioCodecName().ToUtf8();
        if (profile.AudioEncoder() == TCustomAudioEncoder::AMR_NB) {
            EXPECT_EQ(name, "libopencore_amrnb");
            continue;
        }
        const AVCodec* codec = avlib::avcodec_find_encoder_by_name(name.c_str());
        ASSERT_NE(codec, nullptr) << name;
        EXPECT_EQ(codec->type, AVMEDIA_TYPE_AUDIO);
    }
    for (int f = 1; f < static_cast<int>(kValueCount<TCustomAVFormat::F_MKV>); ++f) {
        TAVCustomAudioProfile profile(nullptr);
        profile.SetFormat(static_cast<TCustomAVFormat>(f));
        profile.ApplyToConverter(converter);
        const std::string name = converter.ConvertOptions()->OutputFormat().ToUtf8();
        EXPECT_NE(avlib::av_guess_format(name.c_str(), nullptr, nullptr), nullptr) << name;
    }
}

// Debian's FFmpeg has no AMR-NB encoder: a user profile asking for it fails
// when the conversion opens, and the error names the encoder.
TEST(AVProfiles, AmrNbProfileFailsClearlyWhenTheConversionOpens) {
    LoadAVLib();
    if (avlib::avcodec_find_encoder_by_name("libopencore_amrnb")) GTEST_SKIP() << "this FFmpeg has AMR-NB";
    const String folder = TestFolder();
    WriteTestMedia(folder + "in.nut", {AudioTrack(1)});
    TAVCustomAudioProfile profile(nullptr);
    profile.SetAudioEncoder(TCustomAudioEncoder::AMR_NB);
    profile.SetFormat(TCustomAVFormat::F_3GP);
    profile.SetSampleRate(8000);
    String message, log;
    TEvent failed;
    TAVConverter converter(nullptr); // freed first: waits for its worker
    profile.ApplyToConverter(converter);
    converter.InputFiles()->Add(folder + "in.nut");
    converter.OutputFiles()->Add(folder + "out.3gp");
    converter.OnError = [&](TObject*, const String& m, const String& l, bool& handled) {
        message = m;
        log = l;
        handled = true;
        failed.SetEvent();
    };
    converter.StartConversion(nullptr);
    ASSERT_EQ(failed.WaitFor(30000), wrSignaled);
    EXPECT_EQ(message, "Unknown Codec Name");
    EXPECT_EQ(log, "Encoder libopencore_amrnb is not available\n");
}

// WebM takes none of the encoders a profile can name: a user profile asking
// for it fails when the header is written, and the log line says why.
TEST(AVProfiles, WebmProfileFailsClearly) {
    LoadAVLib();
    const String folder = TestFolder();
    WriteTestMedia(folder + "in.nut", {VideoTrack(64, 48), AudioTrack(1)});
    TAVCustomVideoProfile profile(nullptr);
    profile.SetVideoEncoder(TCustomVideoEncoder::H264);
    profile.SetFormat(TCustomAVFormat::F_WEBM);
    String message, log;
    bool completed = false;
    TAVConverter converter(nullptr);
    profile.ApplyToConverter(converter);
    converter.InputFiles()->Add(folder + "in.nut");
    converter.OutputFiles()->Add(folder + "out.webm");
    // Both come on the main thread: a failed transcode still completes.
    converter.OnError = [&](TObject*, const String& m, const String& l, bool& handled) {
        message = m;
        log = l;
        handled = true;
    };
    converter.OnComplete = [&](TObject*) { completed = true; };
    converter.StartConversion(nullptr);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!completed && std::chrono::steady_clock::now() < deadline) CheckSynchronize(10);
    ASSERT_TRUE(completed);
    EXPECT_TRUE(converter.Failed());
    EXPECT_EQ(message, "Could not write header for output file  (incorrect codec parameters ?)");
    EXPECT_NE(Pos("WebM", log), 0) << log.ToUtf8();
}

// --- Display values ---

TEST(AVProfiles, FrameSizeIsTheFirstTableRowOfTheSize) {
    auto profile = VideoProfile(TCustomVideoEncoder::H264, 852, 480);
    EXPECT_EQ(profile->FrameSize(), fsWvga);
    profile->SetFrameWidth(1366);
    profile->SetFrameHeight(768);
    EXPECT_EQ(profile->FrameSize(), fsWxga);
    profile->SetFrameWidth(1920);
    profile->SetFrameHeight(1080);
    EXPECT_EQ(profile->FrameSize(), fsHd1080);
    profile->SetFrameWidth(1080);
    EXPECT_EQ(profile->FrameSize(), fsOriginal);
    EXPECT_EQ(GetPropValue(profile.get(), "FrameSize").AsString(), "fsOriginal");
    EXPECT_STREQ(FrameSizeTable[static_cast<size_t>(fsVga)].name, "vga(640x480)");
}

TEST(AVProfiles, DisplayNamesAndFrameRateValue) {
    auto profile = VideoProfile(TCustomVideoEncoder::MSMPEGV3, 0, 0);
    profile->SetAudioEncoder(TCustomAudioEncoder::PCM_S16LE);
    EXPECT_EQ(profile->VideoEncoderName(), "MSMPEGV3");
    EXPECT_EQ(profile->AudioEncoderName(), "PCM_S16LE");
    EXPECT_EQ(profile->FrameRateValue(), 0);
    profile->SetFrameRate(TCustomFrameRate::r2397);
    EXPECT_DOUBLE_EQ(profile->FrameRateValue(), 23.97);
    profile->SetFrameRate(TCustomFrameRate::r1499);
    EXPECT_DOUBLE_EQ(profile->FrameRateValue(), 14.99);
}

// --- INI keys ---

std::vector<String> SectionKeys(const TCustomIniFile& ini) {
    TStringList keys;
    ini.ReadSection(kProfileSection, keys);
    std::vector<String> result;
    for (int i = 0; i < keys.Count(); ++i) result.push_back(keys[i]);
    return result;
}

TEST(AVProfiles, VideoProfileWritesItsKeysWithTheIndex) {
    auto profile = VideoProfile(TCustomVideoEncoder::FLV, 640, 480);
    profile->SetDescription("Flash");
    profile->SetAudioBitrate(96.5);
    profile->Options()->SetCommaText("a=1,\"b=two words\"");
    TMemIniFile ini("");
    profile->WriteToIni(ini, 3);

    const std::vector<String> expected{"Description3",  "Extension3",   "Category3",    "IsVideo3",
                                       "SampleRate3",   "AudioEncoder3", "AudioChannels3", "AudioBitrate3",
                                       "Format3",       "Options3",     "FrameWidth3",  "FrameHeight3",
                                       "VideoEncoder3", "FrameRate3",   "VideoBitrate3"};
    EXPECT_EQ(SectionKeys(ini), expected);
    EXPECT_TRUE(ini.ReadBool(kProfileSection, "IsVideo3", false));
    EXPECT_EQ(ini.ReadInteger(kProfileSection, "FrameWidth3", 0), 640);
    EXPECT_EQ(ini.ReadInteger(kProfileSection, "VideoEncoder3", -1), static_cast<int>(TCustomVideoEncoder::FLV));
    EXPECT_EQ(ini.ReadString(kProfileSection, "AudioBitrate3", ""), "96.5");

    TAVCustomAudioProfile audio(nullptr);
    TMemIniFile audioIni("");
    audio.WriteToIni(audioIni, 0);
    EXPECT_EQ(SectionKeys(audioIni).size(), 10u);
    EXPECT_FALSE(audioIni.ReadBool(kProfileSection, "IsVideo0", true));
}

TEST(AVProfiles, ReadingBackRestoresTheStoredValues) {
    auto written = VideoProfile(TCustomVideoEncoder::XVID, 1366, 768);
    written->SetDescription("名字, 带逗号");
    written->SetExtension(".avi");
    written->SetCategory("常用视频");
    written->SetSampleRate(32000);
    written->SetAudioEncoder(TCustomAudioEncoder::RA1);
    written->SetAudioChannels(TCustomAudioChannels::stereo2);
    written->SetAudioBitrate(12.2);
    written->SetFormat(TCustomAVFormat::F_MKV);
    written->Options()->SetCommaText("x=1,\"y=a b\"");
    written->SetFrameRate(TCustomFrameRate::r30);
    written->SetVideoBitrate(35000);
    TMemIniFile ini("");
    written->WriteToIni(ini, 7);

    TAVCustomVideoProfile read(nullptr);
    read.ReadFromIni(ini, 7);
    for (const char* name : {"Description", "Extension", "Category", "SampleRate", "AudioEncoder", "AudioChannels",
                             "AudioBitrate", "Format", "Options", "FrameWidth", "FrameHeight", "VideoEncoder",
                             "FrameRate", "VideoBitrate"})
        EXPECT_EQ(PropText(&read, name), PropText(written.get(), name)) << name;
}

TEST(AVProfiles, MissingKeysAndUnknownOrdinalsKeepTheCurrentValues) {
    auto profile = VideoProfile(TCustomVideoEncoder::MPEG4, 320, 240);
    profile->SetDescription("kept");
    profile->SetExtension(".mp4");
    profile->SetAudioEncoder(TCustomAudioEncoder::MP3);
    profile->SetFormat(TCustomAVFormat::F_AVI);
    profile->SetAudioBitrate(128);
    profile->Options()->Add("q=1");
    TMemIniFile ini("");
    TStringList lines;
    lines.SetText("[Profile]\nFrameWidth0=640\nCategory0=网络视频\nAudioEncoder0=8\nFormat0=-1\n"
                  "VideoEncoder0=x\nAudioBitrate0=lots\nDescription1=other index\n");
    ini.SetStrings(lines);

    profile->ReadFromIni(ini, 0);
    EXPECT_EQ(profile->FrameWidth(), 640);
    EXPECT_EQ(profile->Category(), "网络视频");
    EXPECT_EQ(profile->FrameHeight(), 240);
    EXPECT_EQ(profile->Description(), "kept");
    EXPECT_EQ(profile->GetExtension(), ".mp4");
    EXPECT_EQ(profile->AudioEncoder(), TCustomAudioEncoder::MP3);
    EXPECT_EQ(profile->Format(), TCustomAVFormat::F_AVI);
    EXPECT_EQ(profile->VideoEncoder(), TCustomVideoEncoder::MPEG4);
    EXPECT_EQ(profile->AudioBitrate(), 128);
    EXPECT_EQ(profile->Options()->CommaText(), "q=1");
}

} // namespace
