// Every built-in profile converts a wide HD source with 5.1 sound, a small
// 4:3 one with mono sound and one of odd size sampled 4:4:4, and its output
// has the codecs, picture size, frame rate, sampling and container the
// profile promises: what devices and discs play, 4:2:0 at even sizes unless
// the format asks for another sampling. One case per profile: a profile
// added to the built-in table is covered without further work.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "TestMedia.h"
#include "engine/AVConverter.h"
#include "engine/AVProfileList.h"
#include "engine/AVProfiles.h"
#include "engine/BuiltinProfiles.h"
#include "platform/rtl/DataFolder.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/Threads.h"

namespace {

using namespace std::chrono_literals;

// One second at ten pictures a second: long enough for rate changes and
// encoder delays to show (every check allows a tenth of a second), short
// enough for the whole table under the sanitizers.
constexpr int kSourceTenths = 10;
constexpr int kSourceRate = 10;
constexpr double kSourceSeconds = kSourceTenths / 10.0;
constexpr int kSourcePictures = kSourceRate * kSourceTenths / 10;

struct TSource {
    const char* name;
    int width;
    int height;
    int channels;
    int sampleRate;
    const char* codec = "mpeg4";
    AVPixelFormat pixelFormat = AV_PIX_FMT_NONE;
};

constexpr TSource kSources[] = {{"wide.mkv", 1280, 720, 6, 48000},
                                {"small.mkv", 320, 240, 1, 8000},
                                {"odd444.mkv", 641, 359, 2, 44100, "ffv1", AV_PIX_FMT_YUV444P}};

const TAVProfileList& Builtins() {
    static const auto list = [] {
        auto made = std::make_unique<TAVProfileList>(nullptr);
        AddBuiltinProfiles(*made);
        return made;
    }();
    return *list;
}

// Categories in case names, by ordinal.
constexpr const char* kCategoryTags[] = {
    "CommonVideo", "HdVideo",        "IPhone",       "IPad",          "IPodAppleTv", "AndroidPhone",
    "AndroidTablet", "FeaturePhone", "Psp",          "PlayStation",   "Xbox",        "Nintendo",
    "PortablePlayer", "Tv",          "WebVideo",     "Disc",          "DvCamcorder", "Audio",
    "Ringtone",      "Images",       "User"};
static_assert(std::size(kCategoryTags) == ProfileCategoryNames.size());

// The category's tag and the ASCII words of the description: "iPhone 高清
// (H.264, 1280x720)" of the iPhone category is "IPhone_iPhone_H264_1280x720".
std::string CaseName(const TAVProfile& profile) {
    std::string name = "Uncategorised";
    for (size_t i = 0; i < ProfileCategoryNames.size(); ++i)
        if (profile.Category() == String(ProfileCategoryNames[i])) name = kCategoryTags[i];
    bool separated = true;
    for (const char c : profile.Description().ToUtf8()) {
        if (std::isalnum(static_cast<unsigned char>(c))) {
            if (separated) name += '_';
            name += c;
            separated = false;
        } else if (c != '.' && c != '-') {
            separated = true;
        }
    }
    return name;
}

// Unique names, by list index.
std::vector<std::string> CaseNames() {
    std::vector<std::string> names;
    std::set<std::string> taken;
    for (int i = 0; i < Builtins().Count(); ++i) {
        const std::string base = CaseName(*Builtins().Items(i));
        std::string name = base;
        for (int n = 2; !taken.insert(name).second; ++n) name = base + "_" + std::to_string(n);
        names.push_back(name);
    }
    return names;
}

// Converts Source into Output as the application does: a fresh converter with
// the profile applied. The error and its log line; empty on success.
std::string Convert(const TAVProfile& profile, const String& source, const String& output) {
    std::string error;
    std::atomic<bool> ended = false;
    TAVConverter converter(nullptr);
    profile.ApplyToConverter(converter);
    converter.InputFiles()->Add(source);
    converter.OutputFiles()->Add(output);
    // A run that fails while opening ends without OnComplete.
    converter.OnError = [&](TObject*, const String& message, const String& log, bool& handled) {
        error = (message + ": " + log).ToUtf8();
        handled = true;
        ended = true;
    };
    converter.OnComplete = [&](TObject*) { ended = true; };
    converter.StartConversion(nullptr);
    const auto deadline = std::chrono::steady_clock::now() + 120s;
    while (!ended) {
        if (std::chrono::steady_clock::now() > deadline) return "timed out";
        CheckSynchronize(10);
    }
    return error;
}

// The codec of an encoder name; where the name is empty, the muxer's default for File.
AVCodecID CodecOf(const std::string& encoder, const AVOutputFormat* muxer, const std::string& file,
                  AVMediaType type) {
    if (encoder.empty()) return avlib::av_guess_codec(muxer, nullptr, file.c_str(), nullptr, type);
    const AVCodec* codec = avlib::avcodec_find_encoder_by_name(encoder.c_str());
    return codec ? codec->id : AV_CODEC_ID_NONE;
}

// What a profile promises of its output, read from the options it gives a converter.
struct TPromise {
    std::string muxer; // empty: none fits
    bool sequence = false; // numbered pictures, one file each
    AVCodecID videoCodec = AV_CODEC_ID_NONE; // none: no video
    int width = 0; // 0: the source's
    int height = 0;
    double rate = 0; // 0: the source's
    // The profile's, else what devices and discs play; empty for pictures: the encoder's choice.
    std::string pixelFormat;
    AVCodecID audioCodec = AV_CODEC_ID_NONE; // none: no sound
    int sampleRate = 0; // 0: any
    int channels = 0;

    TPromise(const TAVProfile& profile, const String& output) {
        TAVConverter converter(nullptr);
        profile.ApplyToConverter(converter);
        const TAVConvertOptions& options = *converter.ConvertOptions();
        const std::string file = output.ToUtf8();
        const AVOutputFormat* format =
            options.OutputFormat().empty()
                ? avlib::av_guess_format(nullptr, file.c_str(), nullptr)
                : avlib::av_guess_format(options.OutputFormat().ToUtf8().c_str(), nullptr, nullptr);
        if (!format) return;
        muxer = format->name;
        sequence = avlib::av_filename_number_test(file.c_str()) != 0;
        if (const TVideoOptions& video = *options.VideoOptions(); !video.VideoDisable()) {
            videoCodec = CodecOf(video.VideoCodecName(), format, file, AVMEDIA_TYPE_VIDEO);
            width = video.FrameWidth();
            height = video.FrameHeight();
            if (const TRational& r = *video.FrameRate(); r.num()) rate = static_cast<double>(r.num()) / r.den();
            if (video.PixelFormat() >= 0)
                pixelFormat = avlib::av_get_pix_fmt_name(static_cast<AVPixelFormat>(video.PixelFormat()));
            else if (!dynamic_cast<const TAVImageProfile*>(&profile))
                pixelFormat = "yuv420p";
        }
        // Pictures have no sound.
        const TAudioOptions& audio = *options.AudioOptions();
        if (!dynamic_cast<const TAVImageProfile*>(&profile) && !audio.AudioDisable()) {
            audioCodec = CodecOf(audio.AudioCodecName().ToUtf8(), format, file, AVMEDIA_TYPE_AUDIO);
            sampleRate = audio.AudioSampleRate();
            channels = audio.AudioChannels();
        }
    }
};

// How a muxer's files read back where that differs from the muxer's name alone.
struct TContainer {
    const char* muxer;
    const char* demuxer;
    // The major brand of ISO media files, with and without video.
    const char* brand = "";
    const char* soundOnlyBrand = "";
    // The sound travels inside the pictures and ends with them.
    bool soundInPictures = false;
    // Program streams: the size of every pack, the sector size of the disc.
    size_t packSize = 0;
};

constexpr const char* kIsoMedia = "mov,mp4,m4a,3gp,3g2,mj2";
constexpr TContainer kContainers[] = {{"mp4", kIsoMedia, "isom", "isom"},
                                      {"mov", kIsoMedia, "qt  ", "qt  "},
                                      {"3gp", kIsoMedia, "3gp4", "3gp4"},
                                      {"3g2", kIsoMedia, "3g2a", "3g2a"},
                                      {"psp", kIsoMedia, "MSNV", "MSNV"},
                                      {"ipod", kIsoMedia, "M4V ", "M4A "},
                                      {"matroska", "matroska,webm"},
                                      {"vob", "mpeg", "", "", false, 2048},
                                      {"dvd", "mpeg", "", "", false, 2048},
                                      {"vcd", "mpeg", "", "", false, 2324},
                                      {"svcd", "mpeg", "", "", false, 2324},
                                      {"mp2", "mp3"},
                                      {"dv", "dv", "", "", true}};

TContainer ContainerOf(const TPromise& promise) {
    for (const TContainer& container : kContainers)
        if (promise.muxer == container.muxer) return container;
    return {promise.muxer.c_str(), promise.muxer.c_str()};
}

// Whether File is a sequence of packs of Size bytes, each starting with a pack header.
bool IsPacked(const String& file, size_t size) {
    const std::vector<uint8_t> bytes = ReadFileBytes(file);
    if (bytes.empty() || bytes.size() % size != 0) return false;
    for (size_t at = 0; at < bytes.size(); at += size)
        if (bytes[at] != 0 || bytes[at + 1] != 0 || bytes[at + 2] != 1 || bytes[at + 3] != 0xBA) return false;
    return true;
}

void ExpectContainer(const String& file, const TTestMediaInfo& info, const TPromise& promise) {
    const TContainer container = ContainerOf(promise);
    EXPECT_EQ(info.format, container.demuxer) << promise.muxer;
    EXPECT_EQ(info.brand, promise.videoCodec != AV_CODEC_ID_NONE ? container.brand : container.soundOnlyBrand)
        << promise.muxer;
    if (container.packSize) {
        EXPECT_TRUE(IsPacked(file, container.packSize)) << promise.muxer << ": packs of " << container.packSize;
    }
}

void ExpectVideo(const TTestStreamInfo* video, const TPromise& promise, int width, int height) {
    ASSERT_NE(video, nullptr);
    const double rate = promise.rate ? promise.rate : kSourceRate;
    EXPECT_EQ(video->codec, avlib::avcodec_get_name(promise.videoCodec));
    EXPECT_EQ(video->width, width);
    EXPECT_EQ(video->height, height);
    if (!promise.pixelFormat.empty()) {
        EXPECT_EQ(video->pixelFormat, promise.pixelFormat);
    }
    EXPECT_NEAR(video->frameRate, rate, 0.01);
    // Pictures for the whole source, give or take one source picture: the
    // last one is not stretched when the rate changes.
    EXPECT_NEAR(video->packets / rate, kSourceSeconds, 1.0 / kSourceRate) << video->packets << " pictures";
}

void ExpectAudio(const TTestStreamInfo* audio, const TPromise& promise, double sourceSeconds) {
    ASSERT_NE(audio, nullptr);
    EXPECT_EQ(audio->codec, avlib::avcodec_get_name(promise.audioCodec));
    if (promise.sampleRate) {
        EXPECT_EQ(audio->sampleRate, promise.sampleRate);
    }
    if (promise.channels) {
        EXPECT_EQ(audio->channels, promise.channels);
    }
    // Give or take the encoder's delay and padding.
    EXPECT_NEAR(audio->decoded, sourceSeconds, 0.1);
}

// The numbered pictures of Pattern that exist, from 1 on.
std::vector<String> Pictures(const String& pattern) {
    std::vector<String> pictures;
    std::array<char, 4096> name{};
    for (;;) {
        std::snprintf(name.data(), name.size(), pattern.ToUtf8().c_str(), static_cast<int>(pictures.size()) + 1);
        if (!FileExists(String(name.data()))) return pictures;
        pictures.emplace_back(name.data());
    }
}

// Each picture of a sequence is a file of the promised codec and size. Which
// demuxer opens one is not checked: a picture read whole by the first probe
// is named by its content ("jpeg_pipe"), a larger one by its file extension
// ("image2").
void ExpectPictures(const String& pattern, const TPromise& promise, int width, int height) {
    const std::vector<String> pictures = Pictures(pattern);
    EXPECT_EQ(pictures.size(), static_cast<size_t>(kSourcePictures)) << "one per source picture";
    for (const String& picture : pictures) {
        SCOPED_TRACE(picture.ToUtf8());
        const TTestMediaInfo info = ReadTestMedia(picture);
        ASSERT_EQ(info.streams.size(), 1u);
        EXPECT_EQ(info.streams[0].codec, avlib::avcodec_get_name(promise.videoCodec));
        EXPECT_EQ(info.streams[0].width, width);
        EXPECT_EQ(info.streams[0].height, height);
    }
}

// The sources are made once per test program.
class EveryBuiltinProfile : public testing::TestWithParam<int> {
protected:
    static void SetUpTestSuite() {
        sourceFolder_ = IncludeTrailingPathDelimiter(DataFolder()) + "ProfileSources/";
        ForceDirectories(sourceFolder_);
        for (size_t i = 0; i < std::size(kSources); ++i) {
            const TSource& source = kSources[i];
            TTestTrack video = VideoTrack(source.width, source.height, source.codec, kSourceRate);
            video.pixelFormat = source.pixelFormat;
            WriteTestMedia(sourceFolder_ + source.name,
                           {video, AudioTrack(source.channels, "pcm_s16le", source.sampleRate)}, kSourceTenths);
            sourceSound_[i] = ReadTestMedia(sourceFolder_ + source.name).Find(AVMEDIA_TYPE_AUDIO)->decoded;
        }
    }

    static String sourceFolder_;
    // Seconds of sound in each source: whole blocks of samples, a little more than kSourceSeconds.
    static std::array<double, std::size(kSources)> sourceSound_;
};

String EveryBuiltinProfile::sourceFolder_;
std::array<double, std::size(kSources)> EveryBuiltinProfile::sourceSound_;

TEST_P(EveryBuiltinProfile, ConvertsToWhatItPromises) {
    const TAVProfile& profile = *Builtins().Items(GetParam());
    SCOPED_TRACE(profile.Description().ToUtf8());
    for (size_t i = 0; i < std::size(kSources); ++i) {
        const TSource& source = kSources[i];
        SCOPED_TRACE(source.name);
        const String output = ChangeFileExt(TestFolder() + source.name, profile.GetExtension());
        const TPromise promise(profile, output);
        ASSERT_FALSE(promise.muxer.empty()) << "no container for " << output.ToUtf8();
        ASSERT_EQ(Convert(profile, sourceFolder_ + source.name, output), "");
        if (promise.sequence) {
            ExpectPictures(output, promise, promise.width ? promise.width : source.width,
                           promise.height ? promise.height : source.height);
            continue;
        }
        // The source's size, made even for subsampled chroma.
        const int even = promise.pixelFormat.empty() ? ~0 : ~1;
        const int width = promise.width ? promise.width : source.width & even;
        const int height = promise.height ? promise.height : source.height & even;
        const TTestMediaInfo info = ReadTestMedia(output);
        ExpectContainer(output, info, promise);
        const TTestStreamInfo* video = info.Find(AVMEDIA_TYPE_VIDEO);
        if (promise.videoCodec == AV_CODEC_ID_NONE) {
            EXPECT_EQ(video, nullptr);
        } else {
            ExpectVideo(video, promise, width, height);
        }
        const TTestStreamInfo* audio = info.Find(AVMEDIA_TYPE_AUDIO);
        if (promise.audioCodec == AV_CODEC_ID_NONE) {
            EXPECT_EQ(audio, nullptr);
        } else {
            double sound = sourceSound_[i];
            if (ContainerOf(promise).soundInPictures && video) sound = std::min(sound, video->end - video->start);
            ExpectAudio(audio, promise, sound);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(ProfileConversion, EveryBuiltinProfile, testing::Range(0, Builtins().Count()),
                         [](const testing::TestParamInfo<int>& info) {
                             static const std::vector<std::string> names = CaseNames();
                             return names[static_cast<size_t>(info.param)];
                         });

} // namespace
