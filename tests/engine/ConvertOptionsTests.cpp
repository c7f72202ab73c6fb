#include "engine/ConvertOptions.h"

#include <gtest/gtest.h>

#include "PublishedProps.h"
#include "engine/AVUtils.h"
#include "platform/rtl/ClassInfo.h"
#include "platform/rtl/UnitRegistry.h"

namespace {

constexpr int32_t None = NoDefault;

TEST(ConvertOptions, PublishedDeclarations) {
    ExpectDeclarations(TRational::StaticClass(), {{"num", tkInteger, 25}, {"den", tkInteger, 1}});
    ExpectDeclarations(TAudioOptions::StaticClass(),
                       {{"AudioChannels", tkInteger, None},      {"AudioSampleRate", tkInteger, None},
                        {"AudioVolume", tkInteger, None},        {"AudioSyncMethod", tkInteger, None},
                        {"AudioDisable", tkEnumeration, None},   {"AudioSampleFmt", tkEnumeration, None},
                        {"AudioStreamCopy", tkEnumeration, None}, {"AudioCodecName", tkUString, None},
                        {"AudioCodecTag", tkInteger, None},      {"AudioLanguage", tkUString, None},
                        {"AudioQScale", tkFloat, None},          {"AudioDriftThreshold", tkFloat, None},
                        {"Bitrate", tkInteger, None},            {"MaxFrames", tkInt64, None}});
    ExpectDeclarations(TVideoOptions::StaticClass(),
                       {{"FrameWidth", tkInteger, None},         {"FrameHeight", tkInteger, None},
                        {"VideoCodecName", tkLString, None},     {"VideoDisable", tkEnumeration, None},
                        {"VideoStreamCopy", tkEnumeration, None}, {"VideoCodecTag", tkInteger, None},
                        {"VideoLanguage", tkUString, None},      {"IntraOnly", tkEnumeration, None},
                        {"VideoQscale", tkFloat, None},          {"VideoRcOverrideString", tkUString, None},
                        {"IntraDcPrecision", tkInteger, 8},      {"VideoSyncMethod", tkInteger, -1},
                        {"TopFieldFirst", tkInteger, None},      {"ForceFPS", tkEnumeration, None},
                        {"FrameRate", tkClass, None},            {"InputFrameRate", tkClass, None},
                        {"FrameAspectRatio", tkFloat, None},     {"MeThreshold", tkInteger, None},
                        {"Deinterlace", tkEnumeration, None},    {"Pass", tkInteger, None},
                        {"MaxFrames", tkInteger, None},          {"Bitrate", tkInteger, None},
                        {"ForceKeyFrames", tkClass, None}});
    ExpectDeclarations(TSubtitleOptions::StaticClass(),
                       {{"SubtitleLanguage", tkUString, None}, {"SubtitleCodecName", tkLString, None},
                        {"SubtitleDisable", tkEnumeration, None}, {"SubtitleCodecTag", tkInteger, None}});
    ExpectDeclarations(TMuxerOptions::StaticClass(),
                       {{"MuxPreload", tkFloat, None}, {"AudioBitstreamFilters", tkClass, None},
                        {"SubtitleBitstreamFilters", tkClass, None}, {"VideoBitstreamFilters", tkClass, None}});
    ExpectDeclarations(TFilterOptions::StaticClass(),
                       {{"VideoFilters", tkUString, None}, {"AudioFilters", tkUString, None},
                        {"ComplexFilters", tkClass, None}, {"VideoBitstreamFilters", tkUString, None},
                        {"AudioBitstreamFilters", tkUString, None}});
    ExpectDeclarations(TAVConvertOptions::StaticClass(),
                       {{"LimitFileSize", tkInt64, None},  {"AudioOptions", tkClass, None},
                        {"SubtitleOptions", tkClass, None}, {"VideoOptions", tkClass, None},
                        {"MuxerOptions", tkClass, None},   {"FilterOptions", tkClass, None},
                        {"MetaData", tkClass, None},       {"CodecOptions", tkClass, None},
                        {"OutputFormat", tkUString, None}, {"InputFormats", tkClass, None},
                        {"StartTime", tkInt64, None},      {"RecordingTime", tkInt64, None},
                        {"ThreadCount", tkInteger, 1},     {"StreamMaps", tkClass, None}});
    for (TClass cls : {TAudioOptions::StaticClass(), TVideoOptions::StaticClass(), TMuxerOptions::StaticClass()})
        for (const TPropInfo* prop : cls->Properties())
            if (prop->Kind() == tkFloat) {
                EXPECT_EQ(prop->PropType()->FloatType, ftSingle) << prop->Name().ToUtf8();
            }
    EXPECT_FALSE(TFilterOptions::StaticClass()->FindProperty("ComplexFilters")->HasWriter());
    EXPECT_EQ(TAVConvertOptions::StaticClass()->FindProperty("VideoOptions")->PropType()->ClassType,
              TVideoOptions::StaticClass());
}

TEST(ConvertOptions, SampleFormatNamesFollowFFmpeg) {
    const TTypeInfo* type = TypeInfo<TAVAudioSampleFormat>();
    EXPECT_EQ(GetEnumName(type, 0), String("sfAuto"));
    // FFmpeg's number is the ordinal - 1.
    const std::pair<TAVAudioSampleFormat, AVSampleFormat> pairs[] = {
        {sfU8, AV_SAMPLE_FMT_U8},     {sfS16, AV_SAMPLE_FMT_S16},   {sfS32, AV_SAMPLE_FMT_S32},
        {sfFlt, AV_SAMPLE_FMT_FLT},   {sfDbl, AV_SAMPLE_FMT_DBL},   {sfU8P, AV_SAMPLE_FMT_U8P},
        {sfS16P, AV_SAMPLE_FMT_S16P}, {sfS32P, AV_SAMPLE_FMT_S32P}, {sfFltP, AV_SAMPLE_FMT_FLTP},
        {sfDblP, AV_SAMPLE_FMT_DBLP}, {sfS64, AV_SAMPLE_FMT_S64},   {sfS64P, AV_SAMPLE_FMT_S64P}};
    for (auto [format, av] : pairs) EXPECT_EQ(static_cast<int>(format) - 1, static_cast<int>(av)) << EnumName(format).ToUtf8();
    EXPECT_EQ(type->MaxValue, AV_SAMPLE_FMT_NB);
}

TEST(ConvertOptions, FreshValues) {
    TAVConvertOptions options;
    const std::pair<const char*, const char*> expected[] = {
        {"LimitFileSize", "9223372036854775807"},
        {"AudioOptions.AudioChannels", "0"},
        {"AudioOptions.AudioSampleRate", "0"},
        {"AudioOptions.AudioVolume", "256"},
        {"AudioOptions.AudioSyncMethod", "0"},
        {"AudioOptions.AudioDisable", "False"},
        {"AudioOptions.AudioSampleFmt", "sfAuto"},
        {"AudioOptions.AudioStreamCopy", "False"},
        {"AudioOptions.AudioCodecName", ""},
        {"AudioOptions.AudioCodecTag", "0"},
        {"AudioOptions.AudioQScale", "-99999"},
        {"AudioOptions.Bitrate", "0"},
        {"AudioOptions.MaxFrames", "9223372036854775807"},
        {"SubtitleOptions.SubtitleCodecName", ""},
        {"SubtitleOptions.SubtitleDisable", "False"},
        {"SubtitleOptions.SubtitleCodecTag", "0"},
        {"VideoOptions.FrameWidth", "0"},
        {"VideoOptions.FrameHeight", "0"},
        {"VideoOptions.VideoCodecName", ""},
        {"VideoOptions.IntraOnly", "False"},
        {"VideoOptions.VideoQscale", "0"},
        {"VideoOptions.IntraDcPrecision", "8"},
        {"VideoOptions.VideoSyncMethod", "-1"},
        {"VideoOptions.TopFieldFirst", "-1"},
        {"VideoOptions.FrameRate.num", "0"},
        {"VideoOptions.FrameRate.den", "0"},
        {"VideoOptions.InputFrameRate.num", "0"},
        {"VideoOptions.InputFrameRate.den", "0"},
        {"VideoOptions.FrameAspectRatio", "0"},
        {"VideoOptions.MeThreshold", "0"},
        {"VideoOptions.Deinterlace", "False"},
        {"VideoOptions.Pass", "0"},
        {"VideoOptions.MaxFrames", "2147483647"},
        {"VideoOptions.Bitrate", "0"},
        {"MuxerOptions.MuxPreload", "0.5"},
        {"FilterOptions.VideoFilters", ""},
        {"FilterOptions.AudioFilters", ""},
        {"OutputFormat", ""},
        {"StartTime", "0"},
        {"RecordingTime", "9223372036854775807"},
        {"ThreadCount", "1"},
    };
    for (const auto& [path, text] : expected) EXPECT_EQ(PropText(&options, path), String(text)) << path;
    EXPECT_FLOAT_EQ(options.AudioOptions()->AudioDriftThreshold(), 0.1f);
    EXPECT_EQ(options.VideoOptions()->PixelFormat(), -1);
    for (const String& path : LeafPaths(&options))
        if (PropAt(&options, path)->Kind() == tkClass) {
            EXPECT_EQ(PropText(&options, path), String()) << path.ToUtf8();
        }
}

// Every published value but the ones Assign leaves alone.
bool CopiedByAssign(const String& path) { return path != "LimitFileSize" && path != "VideoOptions.ForceFPS"; }

TEST(ConvertOptions, AssignCopiesEverything) {
    TAVConvertOptions source;
    FillDistinct(&source, {{"VideoOptions.TopFieldFirst", 1}, {"VideoOptions.VideoSyncMethod", 255}, {"VideoOptions.Pass", 3}});
    source.VideoOptions()->SetPixelFormat(12);
    TAVConvertOptions target;
    target.SetLimitFileSize(1000);
    target.Assign(&source);

    TAVConvertOptions fresh;
    for (const String& path : LeafPaths(&source)) {
        const String fromSource = PropText(&source, path);
        ASSERT_NE(fromSource, PropText(&fresh, path)) << "not filled: " << path.ToUtf8();
        if (CopiedByAssign(path))
            EXPECT_EQ(PropText(&target, path), fromSource) << path.ToUtf8();
        else
            EXPECT_NE(PropText(&target, path), fromSource) << path.ToUtf8();
    }
    EXPECT_EQ(target.LimitFileSize(), 1000);
    EXPECT_EQ(target.VideoOptions()->PixelFormat(), 12);
}

TEST(ConvertOptions, AssignedCopyIsIndependent) {
    TAVConvertOptions source;
    source.CodecOptions()->Add("b=1000");
    source.VideoOptions()->FrameRate()->SetNum(30);
    TAVConvertOptions copy;
    copy.Assign(&source);
    copy.CodecOptions()->Add("ab=64");
    copy.VideoOptions()->FrameRate()->SetNum(25);
    copy.FilterOptions()->ComplexFilters()->Add("[0:v]null");
    EXPECT_EQ(source.CodecOptions()->Count(), 1);
    EXPECT_EQ(source.VideoOptions()->FrameRate()->num(), 30);
    EXPECT_EQ(source.FilterOptions()->ComplexFilters()->Count(), 0);
    // Setters copy into the owned objects rather than taking the given one.
    TRational rate;
    rate.SetNum(24000);
    rate.SetDen(1001);
    TRational* owned = copy.VideoOptions()->FrameRate();
    SetObjectProp(copy.VideoOptions(), "FrameRate", &rate);
    EXPECT_EQ(copy.VideoOptions()->FrameRate(), owned);
    EXPECT_EQ(owned->num(), 24000);
    EXPECT_EQ(owned->den(), 1001);
}

TEST(ConvertOptions, AutomaticSampleFormatNeverReplacesAChosenOne) {
    TAudioOptions target;
    target.SetAudioSampleFmt(sfS16);
    TAudioOptions source;
    target.Assign(&source);
    EXPECT_EQ(target.AudioSampleFmt(), sfS16);
    target.SetAudioSampleFmt(sfAuto);
    EXPECT_EQ(target.AudioSampleFmt(), sfS16);
    source.SetAudioSampleFmt(sfFltP);
    target.Assign(&source);
    EXPECT_EQ(target.AudioSampleFmt(), sfFltP);
}

TEST(ConvertOptions, AssignRefusesForeignClasses) {
    TAudioOptions audio;
    TVideoOptions video;
    EXPECT_THROW(video.Assign(&audio), EConvertError);
    TAVConvertOptions options;
    EXPECT_THROW(options.Assign(&audio), EConvertError);
}

TEST(ConvertOptions, VideoSettersRejectOutOfRangeValues) {
    struct Case {
        const char* prop;
        int value;
        const char* error; // null: accepted
    };
    const Case cases[] = {
        {"TopFieldFirst", -1, nullptr},
        {"TopFieldFirst", 0, nullptr},
        {"TopFieldFirst", 1, nullptr},
        {"TopFieldFirst", 2, "Invalid TopFieldFirst Value!"},
        {"TopFieldFirst", -2, "Invalid TopFieldFirst Value!"},
        {"VideoSyncMethod", -1, nullptr},
        {"VideoSyncMethod", 2, nullptr},
        {"VideoSyncMethod", 255, nullptr},
        {"VideoSyncMethod", 3, "Invalid Video Sync Method"},
        {"VideoSyncMethod", -2, "Invalid Video Sync Method"},
        {"VideoSyncMethod", 254, "Invalid Video Sync Method"},
        {"VideoSyncMethod", 256, "Invalid Video Sync Method"},
        {"Pass", 0, nullptr},
        {"Pass", 3, nullptr},
        {"Pass", 4, nullptr},
        {"Pass", -1, nullptr},
        {"Pass", 5, nullptr},
    };
    std::vector<String> shown;
    SetAVErrorHandler([&](const String& text) { shown.push_back(text); });
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.prop << " = " << c.value);
        TVideoOptions video;
        const int64_t before = GetOrdProp(&video, c.prop);
        shown.clear();
        const bool passBox = String(c.prop) == "Pass" && (c.value < 0 || c.value > 3);
        if (c.error) {
            try {
                SetOrdProp(&video, c.prop, c.value);
                ADD_FAILURE() << "accepted";
            } catch (const Exception& e) {
                EXPECT_EQ(e.Message(), String(c.error));
            }
        } else
            EXPECT_NO_THROW(SetOrdProp(&video, c.prop, c.value));
        const bool rejected = c.error || passBox;
        EXPECT_EQ(GetOrdProp(&video, c.prop), rejected ? before : c.value);
        EXPECT_EQ(shown, passBox ? std::vector<String>{"pass number can be only 0, 1 , 2 or 3"} : std::vector<String>{});
    }
    SetAVErrorHandler(nullptr);
}

TEST(ConvertOptions, SetCodecOptionReplacesInPlace) {
    TAVConvertOptions options;
    options.CodecOptions()->Add("b=1000");
    options.SetCodecOption("threads", "4");
    options.SetCodecOption("threads", "4");
    options.CodecOptions()->Add("ab=64");
    EXPECT_EQ(options.CodecOptions()->CommaText(), String("b=1000,threads=4,ab=64"));
    options.SetCodecOption("threads", "2");
    options.SetCodecOption("b", "2000");
    EXPECT_EQ(options.CodecOptions()->CommaText(), String("b=2000,threads=2,ab=64"));
}

TEST(ConvertOptions, ClassesAreCreatedByName) {
    InitializeUnits();
    for (const char* name : {"TRational", "TAudioOptions", "TVideoOptions", "TSubtitleOptions", "TMuxerOptions",
                             "TFilterOptions", "TAVConvertOptions"}) {
        std::unique_ptr<TObject> obj = FindClass(name)->Create();
        EXPECT_EQ(obj->ClassName(), String(name));
    }
    FinalizeUnits();
    EXPECT_EQ(GetClass("TAVConvertOptions"), nullptr);
}

} // namespace
