#include "engine/ConversionSettings.h"

#include "platform/rtl/ClassInfo.h"
#include "platform/rtl/UnitRegistry.h"

RTL_PUBLISHED(TConversionSettings, c) {
    using T = TConversionSettings;
    c.Property("SourceFiles", &T::SourceFiles, &T::SetSourceFiles);
    c.Property("SourceType", &T::SourceType, &T::SetSourceType);
    c.Property("DvdDriver", &T::DvdDriver, &T::SetDvdDriver);
    c.Property("DvdTitle", &T::DvdTitle, &T::SetDvdTitle);
    c.Property("DvdChapter", &T::DvdChapter, &T::SetDvdChapter);
    c.Property("DvdThrough", &T::DvdThrough, &T::SetDvdThrough);
    c.Property("DvdAngle", &T::DvdAngle, &T::SetDvdAngle);
    c.Property("DvdVolume", &T::DvdVolume, &T::SetDvdVolume);
    c.Property("TargetFolder", &T::TargetFolder, &T::SetTargetFolder);
    c.Property("TargetFile", &T::TargetFile, &T::SetTargetFile);
    c.Property("Profile", &T::Profile, &T::SetProfile);
    c.Property("CategoryId", &T::CategoryId, &T::SetCategoryId);
    c.Property("ConvertOptions", &T::ConvertOptions, &T::SetConvertOptions);
    c.Property("Duration", &T::Duration, &T::SetDuration);
    c.Property("SourceFileSize", &T::SourceFileSize, &T::SetSourceFileSize);
}

void TConversionSettings::SetTargetFolder(const String& value) { targetFolder_ = Trim(value); }

void TConversionSettings::SetTargetFile(const String& value) { targetFile_ = Trim(value); }

void TConversionSettings::Assign(TPersistent* source) {
    auto* other = dynamic_cast<TConversionSettings*>(source);
    if (!other) return TPersistent::Assign(source);
    SetSourceFiles(other->SourceFiles());
    SetSourceType(other->SourceType());
    SetDvdDriver(other->DvdDriver());
    SetDvdTitle(other->DvdTitle());
    SetDvdChapter(other->DvdChapter());
    SetDvdThrough(other->DvdThrough());
    SetDvdAngle(other->DvdAngle());
    SetDvdVolume(other->DvdVolume());
    SetTargetFolder(other->TargetFolder());
    SetTargetFile(other->TargetFile());
    SetProfile(other->Profile());
    SetCategoryId(other->CategoryId());
    SetConvertOptions(other->ConvertOptions());
    SetDuration(other->Duration());
    SetSourceFileSize(other->SourceFileSize());
}

namespace {
const bool conversionSettingsRegistered = (RegisterUnit(
                                 "ConversionSettings",
                                 [] { RegisterClass(TConversionSettings::StaticClass()); },
                                 [] { UnRegisterClass(TConversionSettings::StaticClass()); }, {"ConvertOptions"}),
                             true);
} // namespace
