#include "engine/ConversionSettings.h"

#include <gtest/gtest.h>

#include "PublishedProps.h"
#include "platform/rtl/ClassInfo.h"
#include "platform/rtl/UnitRegistry.h"

namespace {

constexpr int32_t kNoDefault = NoDefault;

TEST(ConversionSettings, PublishedDeclarations) {
    ExpectDeclarations(TConversionSettings::StaticClass(),
                       {{"SourceFiles", tkClass, kNoDefault},    {"SourceType", tkEnumeration, kNoDefault},
                        {"DvdDriver", tkUString, kNoDefault},    {"DvdTitle", tkInteger, kNoDefault},
                        {"DvdChapter", tkInteger, kNoDefault},   {"DvdThrough", tkInteger, kNoDefault},
                        {"DvdAngle", tkInteger, kNoDefault},     {"DvdVolume", tkUString, kNoDefault},
                        {"TargetFolder", tkUString, kNoDefault}, {"TargetFile", tkUString, kNoDefault},
                        {"Profile", tkUString, kNoDefault},      {"CategoryId", tkInteger, kNoDefault},
                        {"ConvertOptions", tkClass, kNoDefault}, {"Duration", tkFloat, kNoDefault},
                        {"SourceFileSize", tkInt64, kNoDefault}});
    EXPECT_EQ(GetPropInfo(TConversionSettings::StaticClass(), "Duration")->PropType()->FloatType, ftDouble);
    const std::pair<const TTypeInfo*, const char*> enums[] = {
        {TypeInfo<TAVTaskStatus>(), "stRunning,stPaused,stError,stFinished,stWaiting"},
        {TypeInfo<TAVSourceType>(), "stFile,stDvd"}};
    for (const auto& [type, names] : enums) {
        String joined;
        for (const String& name : type->Names) joined += (joined.empty() ? String() : String(",")) + name;
        EXPECT_EQ(joined, String(names));
    }
}

TEST(ConversionSettings, FreshValues) {
    TConversionSettings settings;
    for (const char* path : {"SourceFiles", "DvdDriver", "DvdVolume", "TargetFolder", "TargetFile", "Profile"})
        EXPECT_EQ(PropText(&settings, path), String()) << path;
    for (const char* path : {"DvdTitle", "DvdChapter", "DvdThrough", "DvdAngle", "CategoryId", "Duration",
                             "SourceFileSize"})
        EXPECT_EQ(PropText(&settings, path), String("0")) << path;
    EXPECT_EQ(settings.SourceType(), stFile);
    TAVConvertOptions fresh;
    for (const String& path : LeafPaths(&fresh))
        EXPECT_EQ(PropText(&settings, "ConvertOptions." + path), PropText(&fresh, path)) << path.ToUtf8();
}

TEST(ConversionSettings, TargetsAreStoredTrimmed) {
    TConversionSettings settings;
    settings.SetTargetFile("  /home/u/Conversion/a b.mp4 ");
    SetStrProp(&settings, "TargetFolder", "\t/home/u/Conversion  ");
    EXPECT_EQ(settings.TargetFile(), String("/home/u/Conversion/a b.mp4"));
    EXPECT_EQ(settings.TargetFolder(), String("/home/u/Conversion"));
    settings.SetProfile(" kept ");
    EXPECT_EQ(settings.Profile(), String(" kept "));
}

TEST(ConversionSettings, AssignMakesAnIndependentCopy) {
    TConversionSettings source;
    FillDistinct(&source, {{"ConvertOptions.VideoOptions.TopFieldFirst", 0},
                            {"ConvertOptions.VideoOptions.VideoSyncMethod", 2},
                            {"ConvertOptions.VideoOptions.Pass", 1}});
    TConversionSettings copy;
    copy.ConvertOptions()->SetLimitFileSize(5000);
    copy.Assign(&source);

    TConversionSettings fresh;
    for (const String& path : LeafPaths(&source)) {
        const bool copied = path != "ConvertOptions.LimitFileSize" && path != "ConvertOptions.VideoOptions.ForceFPS";
        ASSERT_NE(PropText(&source, path), PropText(&fresh, path)) << "not filled: " << path.ToUtf8();
        EXPECT_EQ(PropText(&copy, path) == PropText(&source, path), copied) << path.ToUtf8();
    }
    EXPECT_EQ(copy.ConvertOptions()->LimitFileSize(), 5000);

    const String sourceFiles = source.SourceFiles()->Text();
    copy.SourceFiles()->Add("/tmp/other.avi");
    copy.ConvertOptions()->AudioOptions()->SetBitrate(1);
    copy.ConvertOptions()->MetaData()->Clear();
    EXPECT_EQ(source.SourceFiles()->Text(), sourceFiles);
    EXPECT_NE(source.ConvertOptions()->AudioOptions()->Bitrate(), 1);
    EXPECT_EQ(source.ConvertOptions()->MetaData()->Count(), 1);

    TAVConvertOptions options;
    EXPECT_THROW(copy.Assign(&options), EConvertError);
}

TEST(ConversionSettings, CreatedByName) {
    InitializeUnits();
    std::unique_ptr<TObject> obj = FindClass("TConversionSettings")->Create();
    EXPECT_NE(dynamic_cast<TConversionSettings*>(obj.get()), nullptr);
    EXPECT_NE(GetClass("TAVConvertOptions"), nullptr);
    FinalizeUnits();
    EXPECT_EQ(GetClass("TConversionSettings"), nullptr);
}

} // namespace
