#pragma once
// The record of one conversion task: its source, its target, the chosen
// profile and category, the option set, and what the conversion learned.

#include <cstdint>
#include <memory>

#include "engine/ConvertOptions.h"
#include "platform/rtl/Persistent.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/TypeInfo.h"

enum class TAVTaskStatus { stRunning, stPaused, stError, stFinished, stWaiting };
using enum TAVTaskStatus;
RTL_ENUM(TAVTaskStatus, stRunning, stPaused, stError, stFinished, stWaiting);

enum class TAVSourceType { stFile, stDvd };
using enum TAVSourceType;
RTL_ENUM(TAVSourceType, stFile, stDvd);

class TConversionSettings : public TPersistent {
    RTL_CLASS(TConversionSettings, TPersistent);

public:
    void Assign(TPersistent* source) override;

    // File paths, or one "stream:<id>" line; the conversion reads line 0.
    TStrings* SourceFiles() const { return sourceFiles_.get(); }
    void SetSourceFiles(TStrings* value) { sourceFiles_->Assign(value); }
    TAVSourceType SourceType() const { return sourceType_; }
    void SetSourceType(TAVSourceType value) { sourceType_ = value; }
    const String& DvdDriver() const { return dvdDriver_; }
    void SetDvdDriver(const String& value) { dvdDriver_ = value; }
    int DvdTitle() const { return dvdTitle_; }
    void SetDvdTitle(int value) { dvdTitle_ = value; }
    int DvdChapter() const { return dvdChapter_; }
    void SetDvdChapter(int value) { dvdChapter_ = value; }
    int DvdThrough() const { return dvdThrough_; }
    void SetDvdThrough(int value) { dvdThrough_ = value; }
    int DvdAngle() const { return dvdAngle_; }
    void SetDvdAngle(int value) { dvdAngle_ = value; }
    const String& DvdVolume() const { return dvdVolume_; }
    void SetDvdVolume(const String& value) { dvdVolume_ = value; }
    // Stored trimmed.
    const String& TargetFolder() const { return targetFolder_; }
    void SetTargetFolder(const String& value);
    // The output path, or the target extension while TargetFolder is set. Stored trimmed.
    const String& TargetFile() const { return targetFile_; }
    void SetTargetFile(const String& value);
    // Description of the chosen profile.
    const String& Profile() const { return profile_; }
    void SetProfile(const String& value) { profile_ = value; }
    int CategoryId() const { return categoryId_; }
    void SetCategoryId(int value) { categoryId_ = value; }
    TAVConvertOptions* ConvertOptions() const { return convertOptions_.get(); }
    void SetConvertOptions(TAVConvertOptions* value) { convertOptions_->Assign(value); }
    // Seconds.
    double Duration() const { return duration_; }
    void SetDuration(double value) { duration_ = value; }
    // Bytes.
    int64_t SourceFileSize() const { return sourceFileSize_; }
    void SetSourceFileSize(int64_t value) { sourceFileSize_ = value; }

private:
    std::unique_ptr<TStringList> sourceFiles_ = std::make_unique<TStringList>();
    TAVSourceType sourceType_ = stFile;
    String dvdDriver_;
    int dvdTitle_ = 0;
    int dvdChapter_ = 0;
    int dvdThrough_ = 0;
    int dvdAngle_ = 0;
    String dvdVolume_;
    String targetFolder_;
    String targetFile_;
    String profile_;
    int categoryId_ = 0;
    std::unique_ptr<TAVConvertOptions> convertOptions_ = std::make_unique<TAVConvertOptions>();
    double duration_ = 0;
    int64_t sourceFileSize_ = 0;
};
