#include "engine/BuiltinProfiles.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "engine/AVConverter.h"
#include "engine/AVProfileList.h"
#include "engine/AVProfiles.h"
#include "platform/rtl/Conversions.h"
#include "platform/rtl/Files.h"

namespace {

// The shape of the table: what a user scanning it relies on.
class BuiltinProfiles : public testing::Test {
protected:
    void SetUp() override {
        LoadAVLib();
        AddBuiltinProfiles(list_);
    }

    template <class T>
    std::vector<T*> All() const {
        std::vector<T*> result;
        for (int i = 0; i < list_.Count(); ++i)
            if (auto* profile = dynamic_cast<T*>(list_.Items(i))) result.push_back(profile);
        return result;
    }

    static bool Names(const TAVProfile& profile, const String& text) {
        return Pos(text, profile.Description()) > 0;
    }

    TAVProfileList list_{nullptr};
};

TEST_F(BuiltinProfiles, EveryCategoryButTheUsersHoldsAtLeastThreeProfiles) {
    ASSERT_EQ(list_.Categories()->Count(), 21);
    std::map<String, int> counts;
    for (int i = 0; i < list_.Categories()->Count(); ++i) {
        EXPECT_EQ(list_.Categories()->Strings(i), String(ProfileCategoryNames[static_cast<size_t>(i)]));
        counts[list_.Categories()->Strings(i)] = 0;
    }
    ASSERT_EQ(counts.size(), 21u) << "category names repeat";
    for (TAVProfile* profile : All<TAVProfile>()) {
        ASSERT_TRUE(counts.contains(profile->Category())) << profile->Description().ToUtf8();
        ++counts[profile->Category()];
    }
    for (int i = 0; i + 1 < list_.Categories()->Count(); ++i)
        EXPECT_GE(counts[list_.Categories()->Strings(i)], 3) << list_.Categories()->Strings(i).ToUtf8();
    EXPECT_EQ(counts[ProfileCategoryNames.back()], 0);
}

TEST_F(BuiltinProfiles, DescriptionsAreUniqueAndNameTheSize) {
    std::set<String> seen;
    for (TAVProfile* profile : All<TAVProfile>()) {
        const std::string name = profile->Description().ToUtf8();
        EXPECT_TRUE(seen.insert(profile->Description()).second) << name;
        EXPECT_FALSE(profile->GetExtension().empty()) << name;
        if (dynamic_cast<TAVCustomVideoProfile*>(profile) || dynamic_cast<TAVTargetProfile*>(profile)) {
            TAVConverter converter(nullptr);
            profile->ApplyToConverter(converter);
            const TVideoOptions& video = *converter.ConvertOptions()->VideoOptions();
            const String size = video.FrameWidth() == 0
                                    ? String("原始尺寸")
                                    : IntToStr(video.FrameWidth()) + "x" + IntToStr(video.FrameHeight());
            EXPECT_TRUE(Names(*profile, size)) << name << " does not say " << size.ToUtf8();
        }
    }
}

TEST_F(BuiltinProfiles, DescriptionsNameTheCodec) {
    const std::map<TCustomVideoEncoder, std::vector<const char*>> video{
        {TCustomVideoEncoder::H263, {"H.263"}},        {TCustomVideoEncoder::H264, {"H.264"}},
        {TCustomVideoEncoder::MPEG4, {"MPEG-4"}},      {TCustomVideoEncoder::WMV2, {"WMV 8"}},
        {TCustomVideoEncoder::MPEG2VIDEO, {"MPEG-2"}}, {TCustomVideoEncoder::MSMPEGV3, {"MS-MPEG4"}},
        {TCustomVideoEncoder::RV20, {"RealVideo"}},    {TCustomVideoEncoder::XVID, {"Xvid"}},
        {TCustomVideoEncoder::FLV, {"Flash 视频", "Sorenson"}}};
    const std::map<TCustomAudioEncoder, const char*> audio{
        {TCustomAudioEncoder::AAC, "AAC"}, {TCustomAudioEncoder::WMAV2, "WMA"},
        {TCustomAudioEncoder::AC3, "AC3"}, {TCustomAudioEncoder::MP2, "MP2"},
        {TCustomAudioEncoder::MP3, "MP3"}, {TCustomAudioEncoder::PCM_S16LE, "PCM"},
        {TCustomAudioEncoder::RA1, "RealAudio"}};
    for (TAVCustomAudioProfile* profile : All<TAVCustomAudioProfile>()) {
        const std::string name = profile->Description().ToUtf8();
        if (auto* v = dynamic_cast<TAVCustomVideoProfile*>(profile)) {
            bool named = false;
            for (const char* token : video.at(v->VideoEncoder())) named = named || Names(*v, token);
            EXPECT_TRUE(named) << name;
            continue;
        }
        EXPECT_TRUE(Names(*profile, audio.at(profile->AudioEncoder()))) << name;
        const bool rate = Names(*profile, FloatToStr(profile->AudioBitrate()) + " kbps") ||
                          Names(*profile, IntToStr(profile->SampleRate()) + " Hz");
        EXPECT_TRUE(rate) << name;
    }
}

TEST_F(BuiltinProfiles, UseOnlyWhatDebiansFFmpegCanWrite) {
    for (TAVCustomAudioProfile* profile : All<TAVCustomAudioProfile>()) {
        const std::string name = profile->Description().ToUtf8();
        EXPECT_NE(profile->AudioEncoder(), TCustomAudioEncoder::AMR_NB) << name;
        EXPECT_NE(profile->Format(), TCustomAVFormat::F_WEBM) << name;
        if (profile->Format() == TCustomAVFormat::F_NONE) {
            const std::string file = ("x" + profile->GetExtension()).ToUtf8();
            EXPECT_NE(avlib::av_guess_format(nullptr, file.c_str(), nullptr), nullptr) << name;
        }
    }
}

TEST_F(BuiltinProfiles, VideoSizesSuitTheEncoderAndTheProfileEditor) {
    const std::set<TAVFrameSize> h263Sizes{fsSqcif, fsQcif, fsCif, fs4cif, fs16cif};
    for (TAVCustomVideoProfile* profile : All<TAVCustomVideoProfile>()) {
        const std::string name = profile->Description().ToUtf8();
        const bool original = profile->FrameWidth() == 0 && profile->FrameHeight() == 0;
        EXPECT_TRUE(original || profile->FrameSize() != fsOriginal) << name << ": not a row of the size table";
        if (profile->VideoEncoder() == TCustomVideoEncoder::H263) {
            EXPECT_TRUE(h263Sizes.contains(profile->FrameSize())) << name;
        }
        if (profile->VideoEncoder() == TCustomVideoEncoder::MPEG2VIDEO) {
            EXPECT_NE(profile->FrameRate(), TCustomFrameRate::rOriginal) << name;
        }
    }
}

TEST_F(BuiltinProfiles, TheFixedTargetsComeInPalAndNtsc) {
    std::set<std::pair<String, TAVTarget>> targets;
    for (TAVTargetProfile* profile : All<TAVTargetProfile>())
        targets.insert({profile->ClassName(), profile->Target()});
    std::set<std::pair<String, TAVTarget>> expected;
    for (const char* cls : {"TAVDvdProfile", "TAVSVcdProfile", "TAVVcdProfile", "TAVDvProfile", "TAVDv50Profile"})
        for (TAVTarget target : {TAVTarget::pal, TAVTarget::ntsc}) expected.insert({cls, target});
    EXPECT_EQ(targets, expected);
}

TEST_F(BuiltinProfiles, ImageSequencesNameNumberedFilesAndGifOneAnimatedFile) {
    const std::map<TAVImageType, AVCodecID> codecs{{TAVImageType::bitmap, AV_CODEC_ID_BMP},
                                                   {TAVImageType::jpeg, AV_CODEC_ID_MJPEG},
                                                   {TAVImageType::png, AV_CODEC_ID_PNG},
                                                   {TAVImageType::gif, AV_CODEC_ID_GIF},
                                                   {TAVImageType::tiff, AV_CODEC_ID_TIFF}};
    std::set<TAVImageType> types;
    for (TAVImageProfile* profile : All<TAVImageProfile>()) {
        const std::string name = profile->Description().ToUtf8();
        types.insert(profile->ImageType());
        const std::string file = ChangeFileExt("/out/clip.mkv", profile->GetExtension()).ToUtf8();
        const AVOutputFormat* format = avlib::av_guess_format(nullptr, file.c_str(), nullptr);
        ASSERT_NE(format, nullptr) << name;
        EXPECT_EQ(avlib::av_guess_codec(format, nullptr, file.c_str(), nullptr, AVMEDIA_TYPE_VIDEO),
                  codecs.at(profile->ImageType()))
            << name;
        const bool numbered = avlib::av_filename_number_test(file.c_str()) != 0;
        EXPECT_EQ(numbered, profile->ImageType() != TAVImageType::gif) << name;
        if (profile->ImageType() == TAVImageType::gif) {
            EXPECT_STREQ(format->name, "gif");
        }
    }
    EXPECT_EQ(types.size(), codecs.size());
}

TEST_F(BuiltinProfiles, OnlyDiscCamcorderAndImageProfilesAreFixed) {
    const std::set<String> fixedCategories{ProfileCategoryNames[static_cast<size_t>(TProfileCategory::pcDisc)],
                                           ProfileCategoryNames[static_cast<size_t>(TProfileCategory::pcDvCamcorder)],
                                           ProfileCategoryNames[static_cast<size_t>(TProfileCategory::pcImages)]};
    for (TAVProfile* profile : All<TAVProfile>()) {
        const bool custom = dynamic_cast<TAVCustomAudioProfile*>(profile) != nullptr;
        EXPECT_NE(custom, fixedCategories.contains(profile->Category())) << profile->Description().ToUtf8();
    }
}

} // namespace
