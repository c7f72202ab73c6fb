#pragma once
// The option set of one conversion. Published properties are what form
// streaming and the XML persistence write, in declaration order; string-list
// and sub-object setters copy into the owned objects.
// Times are in microseconds, bit rates in bits per second.

#include <cstdint>
#include <limits>
#include <memory>
#include <string>

#include "platform/rtl/Persistent.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/TypeInfo.h"

// sfAuto keeps the decoder's format; otherwise ordinal - 1 is FFmpeg's sample format number.
enum class TAVAudioSampleFormat {
    sfAuto, sfU8, sfS16, sfS32, sfFlt, sfDbl, sfU8P, sfS16P, sfS32P, sfFltP, sfDblP, sfS64, sfS64P
};
using enum TAVAudioSampleFormat;
RTL_ENUM(TAVAudioSampleFormat, sfAuto, sfU8, sfS16, sfS32, sfFlt, sfDbl, sfU8P, sfS16P, sfS32P, sfFltP, sfDblP,
         sfS64, sfS64P);

class TRational : public TPersistent {
    RTL_CLASS(TRational, TPersistent);

public:
    void Assign(TPersistent* source) override;

    int num() const { return num_; }
    void SetNum(int value) { num_ = value; }
    int den() const { return den_; }
    void SetDen(int value) { den_ = value; }

private:
    int num_ = 0;
    int den_ = 0;
};

class TAudioOptions : public TPersistent {
    RTL_CLASS(TAudioOptions, TPersistent);

public:
    void Assign(TPersistent* source) override;

    int AudioChannels() const { return audioChannels_; }
    void SetAudioChannels(int value) { audioChannels_ = value; }
    int AudioSampleRate() const { return audioSampleRate_; }
    void SetAudioSampleRate(int value) { audioSampleRate_ = value; }
    int AudioVolume() const { return audioVolume_; }
    void SetAudioVolume(int value) { audioVolume_ = value; }
    int AudioSyncMethod() const { return audioSyncMethod_; }
    void SetAudioSyncMethod(int value) { audioSyncMethod_ = value; }
    bool AudioDisable() const { return audioDisable_; }
    void SetAudioDisable(bool value) { audioDisable_ = value; }
    TAVAudioSampleFormat AudioSampleFmt() const { return audioSampleFmt_; }
    // sfAuto never replaces a chosen format.
    void SetAudioSampleFmt(TAVAudioSampleFormat value);
    bool AudioStreamCopy() const { return audioStreamCopy_; }
    void SetAudioStreamCopy(bool value) { audioStreamCopy_ = value; }
    const String& AudioCodecName() const { return audioCodecName_; }
    void SetAudioCodecName(const String& value) { audioCodecName_ = value; }
    int AudioCodecTag() const { return audioCodecTag_; }
    void SetAudioCodecTag(int value) { audioCodecTag_ = value; }
    const String& AudioLanguage() const { return audioLanguage_; }
    void SetAudioLanguage(const String& value) { audioLanguage_ = value; }
    float AudioQScale() const { return audioQScale_; }
    void SetAudioQScale(float value) { audioQScale_ = value; }
    float AudioDriftThreshold() const { return audioDriftThreshold_; }
    void SetAudioDriftThreshold(float value) { audioDriftThreshold_ = value; }
    int Bitrate() const { return bitrate_; }
    void SetBitrate(int value) { bitrate_ = value; }
    int64_t MaxFrames() const { return maxFrames_; }
    void SetMaxFrames(int64_t value) { maxFrames_ = value; }

private:
    int audioChannels_ = 0;
    int audioSampleRate_ = 0;
    int audioVolume_ = 256;
    int audioSyncMethod_ = 0;
    bool audioDisable_ = false;
    TAVAudioSampleFormat audioSampleFmt_ = sfAuto;
    bool audioStreamCopy_ = false;
    String audioCodecName_;
    int audioCodecTag_ = 0;
    String audioLanguage_;
    float audioQScale_ = -99999.0f;
    float audioDriftThreshold_ = 0.1f;
    int bitrate_ = 0;
    int64_t maxFrames_ = std::numeric_limits<int64_t>::max();
};

class TVideoOptions : public TPersistent {
    RTL_CLASS(TVideoOptions, TPersistent);

public:
    void Assign(TPersistent* source) override;

    int FrameWidth() const { return frameWidth_; }
    void SetFrameWidth(int value) { frameWidth_ = value; }
    int FrameHeight() const { return frameHeight_; }
    void SetFrameHeight(int value) { frameHeight_ = value; }
    // UTF-8.
    const std::string& VideoCodecName() const { return videoCodecName_; }
    void SetVideoCodecName(const std::string& value) { videoCodecName_ = value; }
    bool VideoDisable() const { return videoDisable_; }
    void SetVideoDisable(bool value) { videoDisable_ = value; }
    bool VideoStreamCopy() const { return videoStreamCopy_; }
    void SetVideoStreamCopy(bool value) { videoStreamCopy_ = value; }
    int VideoCodecTag() const { return videoCodecTag_; }
    void SetVideoCodecTag(int value) { videoCodecTag_ = value; }
    const String& VideoLanguage() const { return videoLanguage_; }
    void SetVideoLanguage(const String& value) { videoLanguage_ = value; }
    bool IntraOnly() const { return intraOnly_; }
    void SetIntraOnly(bool value) { intraOnly_ = value; }
    float VideoQscale() const { return videoQscale_; }
    void SetVideoQscale(float value) { videoQscale_ = value; }
    const String& VideoRcOverrideString() const { return videoRcOverrideString_; }
    void SetVideoRcOverrideString(const String& value) { videoRcOverrideString_ = value; }
    int IntraDcPrecision() const { return intraDcPrecision_; }
    void SetIntraDcPrecision(int value) { intraDcPrecision_ = value; }
    // -1 automatic, 0 passthrough, 1 constant rate, 2 variable rate, 255 drop timestamps.
    int VideoSyncMethod() const { return videoSyncMethod_; }
    void SetVideoSyncMethod(int value);
    // -1 as decoded, 0 or 1 forced field order.
    int TopFieldFirst() const { return topFieldFirst_; }
    void SetTopFieldFirst(int value);
    bool ForceFPS() const { return forceFPS_; }
    void SetForceFPS(bool value) { forceFPS_ = value; }
    TRational* FrameRate() const { return frameRate_.get(); }
    void SetFrameRate(TRational* value) { frameRate_->Assign(value); }
    TRational* InputFrameRate() const { return inputFrameRate_.get(); }
    void SetInputFrameRate(TRational* value) { inputFrameRate_->Assign(value); }
    float FrameAspectRatio() const { return frameAspectRatio_; }
    void SetFrameAspectRatio(float value) { frameAspectRatio_ = value; }
    int MeThreshold() const { return meThreshold_; }
    void SetMeThreshold(int value) { meThreshold_ = value; }
    bool Deinterlace() const { return deinterlace_; }
    void SetDeinterlace(bool value) { deinterlace_ = value; }
    // 1 first pass (writes statistics), 2 second pass (reads them), 3 both. Other
    // values are reported to the user and ignored.
    int Pass() const { return pass_; }
    void SetPass(int value);
    int MaxFrames() const { return maxFrames_; }
    void SetMaxFrames(int value) { maxFrames_ = value; }
    int Bitrate() const { return bitrate_; }
    void SetBitrate(int value) { bitrate_ = value; }
    TStrings* ForceKeyFrames() const { return forceKeyFrames_.get(); }
    void SetForceKeyFrames(TStrings* value) { forceKeyFrames_->Assign(value); }

    // FFmpeg pixel format number; -1 keeps the decoder's. Not published.
    int PixelFormat() const { return pixelFormat_; }
    void SetPixelFormat(int value) { pixelFormat_ = value; }

private:
    int frameWidth_ = 0;
    int frameHeight_ = 0;
    std::string videoCodecName_;
    bool videoDisable_ = false;
    bool videoStreamCopy_ = false;
    int videoCodecTag_ = 0;
    String videoLanguage_;
    bool intraOnly_ = false;
    float videoQscale_ = 0.0f;
    String videoRcOverrideString_;
    int intraDcPrecision_ = 8;
    int videoSyncMethod_ = -1;
    int topFieldFirst_ = -1;
    bool forceFPS_ = false;
    std::unique_ptr<TRational> frameRate_ = std::make_unique<TRational>();
    std::unique_ptr<TRational> inputFrameRate_ = std::make_unique<TRational>();
    float frameAspectRatio_ = 0.0f;
    int meThreshold_ = 0;
    bool deinterlace_ = false;
    int pass_ = 0;
    int maxFrames_ = std::numeric_limits<int>::max();
    int bitrate_ = 0;
    std::unique_ptr<TStringList> forceKeyFrames_ = std::make_unique<TStringList>();
    int pixelFormat_ = -1;
};

class TSubtitleOptions : public TPersistent {
    RTL_CLASS(TSubtitleOptions, TPersistent);

public:
    void Assign(TPersistent* source) override;

    const String& SubtitleLanguage() const { return subtitleLanguage_; }
    void SetSubtitleLanguage(const String& value) { subtitleLanguage_ = value; }
    // UTF-8.
    const std::string& SubtitleCodecName() const { return subtitleCodecName_; }
    void SetSubtitleCodecName(const std::string& value) { subtitleCodecName_ = value; }
    bool SubtitleDisable() const { return subtitleDisable_; }
    void SetSubtitleDisable(bool value) { subtitleDisable_ = value; }
    int SubtitleCodecTag() const { return subtitleCodecTag_; }
    void SetSubtitleCodecTag(int value) { subtitleCodecTag_ = value; }

private:
    String subtitleLanguage_;
    std::string subtitleCodecName_;
    bool subtitleDisable_ = false;
    int subtitleCodecTag_ = 0;
};

class TMuxerOptions : public TPersistent {
    RTL_CLASS(TMuxerOptions, TPersistent);

public:
    void Assign(TPersistent* source) override;

    // Seconds.
    float MuxPreload() const { return muxPreload_; }
    void SetMuxPreload(float value) { muxPreload_ = value; }
    TStrings* AudioBitstreamFilters() const { return audioBitstreamFilters_.get(); }
    void SetAudioBitstreamFilters(TStrings* value) { audioBitstreamFilters_->Assign(value); }
    TStrings* SubtitleBitstreamFilters() const { return subtitleBitstreamFilters_.get(); }
    void SetSubtitleBitstreamFilters(TStrings* value) { subtitleBitstreamFilters_->Assign(value); }
    TStrings* VideoBitstreamFilters() const { return videoBitstreamFilters_.get(); }
    void SetVideoBitstreamFilters(TStrings* value) { videoBitstreamFilters_->Assign(value); }

private:
    float muxPreload_ = 0.5f;
    std::unique_ptr<TStringList> audioBitstreamFilters_ = std::make_unique<TStringList>();
    std::unique_ptr<TStringList> subtitleBitstreamFilters_ = std::make_unique<TStringList>();
    std::unique_ptr<TStringList> videoBitstreamFilters_ = std::make_unique<TStringList>();
};

class TFilterOptions : public TPersistent {
    RTL_CLASS(TFilterOptions, TPersistent);

public:
    void Assign(TPersistent* source) override;

    // Empty means "null".
    const String& VideoFilters() const { return videoFilters_; }
    void SetVideoFilters(const String& value) { videoFilters_ = value; }
    // Empty means "anull".
    const String& AudioFilters() const { return audioFilters_; }
    void SetAudioFilters(const String& value) { audioFilters_ = value; }
    // One filter-graph description per line.
    TStrings* ComplexFilters() const { return complexFilters_.get(); }
    // Comma-separated bitstream filter names.
    const String& VideoBitstreamFilters() const { return videoBitstreamFilters_; }
    void SetVideoBitstreamFilters(const String& value) { videoBitstreamFilters_ = value; }
    const String& AudioBitstreamFilters() const { return audioBitstreamFilters_; }
    void SetAudioBitstreamFilters(const String& value) { audioBitstreamFilters_ = value; }

private:
    String videoFilters_;
    String audioFilters_;
    std::unique_ptr<TStringList> complexFilters_ = std::make_unique<TStringList>();
    String videoBitstreamFilters_;
    String audioBitstreamFilters_;
};

class TAVConvertOptions : public TPersistent {
    RTL_CLASS(TAVConvertOptions, TPersistent);

public:
    // Copies everything but LimitFileSize.
    void Assign(TPersistent* source) override;
    // Sets the value of the line named Name (ignoring case) in CodecOptions, in
    // place; appends "Name=Value" when there is none.
    void SetCodecOption(const String& name, const String& value);

    // Bytes.
    int64_t LimitFileSize() const { return limitFileSize_; }
    void SetLimitFileSize(int64_t value) { limitFileSize_ = value; }
    TAudioOptions* AudioOptions() const { return audioOptions_.get(); }
    void SetAudioOptions(TAudioOptions* value) { audioOptions_->Assign(value); }
    TSubtitleOptions* SubtitleOptions() const { return subtitleOptions_.get(); }
    void SetSubtitleOptions(TSubtitleOptions* value) { subtitleOptions_->Assign(value); }
    TVideoOptions* VideoOptions() const { return videoOptions_.get(); }
    void SetVideoOptions(TVideoOptions* value) { videoOptions_->Assign(value); }
    TMuxerOptions* MuxerOptions() const { return muxerOptions_.get(); }
    void SetMuxerOptions(TMuxerOptions* value) { muxerOptions_->Assign(value); }
    TFilterOptions* FilterOptions() const { return filterOptions_.get(); }
    void SetFilterOptions(TFilterOptions* value) { filterOptions_->Assign(value); }
    // name=value lines.
    TStrings* MetaData() const { return metaData_.get(); }
    void SetMetaData(TStrings* value) { metaData_->Assign(value); }
    TStrings* CodecOptions() const { return codecOptions_.get(); }
    void SetCodecOptions(TStrings* value) { codecOptions_->Assign(value); }
    // Muxer short name; empty chooses by the output file name.
    const String& OutputFormat() const { return outputFormat_; }
    void SetOutputFormat(const String& value) { outputFormat_ = value; }
    // Line i forces the demuxer of input i; missing or blank probes.
    TStrings* InputFormats() const { return inputFormats_.get(); }
    void SetInputFormats(TStrings* value) { inputFormats_->Assign(value); }
    int64_t StartTime() const { return startTime_; }
    void SetStartTime(int64_t value) { startTime_ = value; }
    int64_t RecordingTime() const { return recordingTime_; }
    void SetRecordingTime(int64_t value) { recordingTime_ = value; }
    int ThreadCount() const { return threadCount_; }
    void SetThreadCount(int value) { threadCount_ = value; }
    // "file index[:stream specifier]" per line; empty selects automatically.
    TStrings* StreamMaps() const { return streamMaps_.get(); }
    void SetStreamMaps(TStrings* value) { streamMaps_->Assign(value); }

private:
    int64_t limitFileSize_ = std::numeric_limits<int64_t>::max();
    std::unique_ptr<TAudioOptions> audioOptions_ = std::make_unique<TAudioOptions>();
    std::unique_ptr<TSubtitleOptions> subtitleOptions_ = std::make_unique<TSubtitleOptions>();
    std::unique_ptr<TVideoOptions> videoOptions_ = std::make_unique<TVideoOptions>();
    std::unique_ptr<TMuxerOptions> muxerOptions_ = std::make_unique<TMuxerOptions>();
    std::unique_ptr<TFilterOptions> filterOptions_ = std::make_unique<TFilterOptions>();
    std::unique_ptr<TStringList> metaData_ = std::make_unique<TStringList>();
    std::unique_ptr<TStringList> codecOptions_ = std::make_unique<TStringList>();
    String outputFormat_;
    std::unique_ptr<TStringList> inputFormats_ = std::make_unique<TStringList>();
    int64_t startTime_ = 0;
    int64_t recordingTime_ = std::numeric_limits<int64_t>::max();
    int threadCount_ = 1;
    std::unique_ptr<TStringList> streamMaps_ = std::make_unique<TStringList>();
};
