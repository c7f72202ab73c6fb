#include "engine/ConvertOptions.h"

#include <array>

#include "engine/AVUtils.h"
#include "platform/rtl/ClassInfo.h"
#include "platform/rtl/UnitRegistry.h"

static_assert(static_cast<int>(sfU8) - 1 == AV_SAMPLE_FMT_U8 && static_cast<int>(sfDbl) - 1 == AV_SAMPLE_FMT_DBL &&
              static_cast<int>(sfU8P) - 1 == AV_SAMPLE_FMT_U8P && static_cast<int>(sfDblP) - 1 == AV_SAMPLE_FMT_DBLP &&
              static_cast<int>(sfS64) - 1 == AV_SAMPLE_FMT_S64 && static_cast<int>(sfS64P) - 1 == AV_SAMPLE_FMT_S64P,
              "sample formats out of step with FFmpeg");

// --- TRational ---

RTL_PUBLISHED(TRational, c) {
    c.Property("num", &TRational::num, &TRational::SetNum).Default(25);
    c.Property("den", &TRational::den, &TRational::SetDen).Default(1);
}

void TRational::Assign(TPersistent* source) {
    auto* other = dynamic_cast<TRational*>(source);
    if (!other) return TPersistent::Assign(source);
    SetNum(other->num());
    SetDen(other->den());
}

// --- TAudioOptions ---

RTL_PUBLISHED(TAudioOptions, c) {
    using T = TAudioOptions;
    c.Property("AudioChannels", &T::AudioChannels, &T::SetAudioChannels);
    c.Property("AudioSampleRate", &T::AudioSampleRate, &T::SetAudioSampleRate);
    c.Property("AudioVolume", &T::AudioVolume, &T::SetAudioVolume);
    c.Property("AudioSyncMethod", &T::AudioSyncMethod, &T::SetAudioSyncMethod);
    c.Property("AudioDisable", &T::AudioDisable, &T::SetAudioDisable);
    c.Property("AudioSampleFmt", &T::AudioSampleFmt, &T::SetAudioSampleFmt);
    c.Property("AudioStreamCopy", &T::AudioStreamCopy, &T::SetAudioStreamCopy);
    c.Property("AudioCodecName", &T::AudioCodecName, &T::SetAudioCodecName);
    c.Property("AudioCodecTag", &T::AudioCodecTag, &T::SetAudioCodecTag);
    c.Property("AudioLanguage", &T::AudioLanguage, &T::SetAudioLanguage);
    c.Property("AudioQScale", &T::AudioQScale, &T::SetAudioQScale);
    c.Property("AudioDriftThreshold", &T::AudioDriftThreshold, &T::SetAudioDriftThreshold);
    c.Property("Bitrate", &T::Bitrate, &T::SetBitrate);
    c.Property("MaxFrames", &T::MaxFrames, &T::SetMaxFrames);
}

void TAudioOptions::SetAudioSampleFmt(TAVAudioSampleFormat value) {
    if (value != sfAuto) audioSampleFmt_ = value;
}

void TAudioOptions::Assign(TPersistent* source) {
    auto* other = dynamic_cast<TAudioOptions*>(source);
    if (!other) return TPersistent::Assign(source);
    SetAudioChannels(other->AudioChannels());
    SetAudioSampleRate(other->AudioSampleRate());
    SetAudioVolume(other->AudioVolume());
    SetAudioSyncMethod(other->AudioSyncMethod());
    SetAudioDisable(other->AudioDisable());
    SetAudioSampleFmt(other->AudioSampleFmt());
    SetAudioStreamCopy(other->AudioStreamCopy());
    SetAudioCodecName(other->AudioCodecName());
    SetAudioCodecTag(other->AudioCodecTag());
    SetAudioLanguage(other->AudioLanguage());
    SetAudioQScale(other->AudioQScale());
    SetAudioDriftThreshold(other->AudioDriftThreshold());
    SetBitrate(other->Bitrate());
    SetMaxFrames(other->MaxFrames());
}

// --- TVideoOptions ---

RTL_PUBLISHED(TVideoOptions, c) {
    using T = TVideoOptions;
    c.Property("FrameWidth", &T::FrameWidth, &T::SetFrameWidth);
    c.Property("FrameHeight", &T::FrameHeight, &T::SetFrameHeight);
    c.Property("VideoCodecName", &T::VideoCodecName, &T::SetVideoCodecName);
    c.Property("VideoDisable", &T::VideoDisable, &T::SetVideoDisable);
    c.Property("VideoStreamCopy", &T::VideoStreamCopy, &T::SetVideoStreamCopy);
    c.Property("VideoCodecTag", &T::VideoCodecTag, &T::SetVideoCodecTag);
    c.Property("VideoLanguage", &T::VideoLanguage, &T::SetVideoLanguage);
    c.Property("IntraOnly", &T::IntraOnly, &T::SetIntraOnly);
    c.Property("VideoQscale", &T::VideoQscale, &T::SetVideoQscale);
    c.Property("VideoRcOverrideString", &T::VideoRcOverrideString, &T::SetVideoRcOverrideString);
    c.Property("IntraDcPrecision", &T::IntraDcPrecision, &T::SetIntraDcPrecision).Default(8);
    c.Property("VideoSyncMethod", &T::VideoSyncMethod, &T::SetVideoSyncMethod).Default(-1);
    c.Property("TopFieldFirst", &T::TopFieldFirst, &T::SetTopFieldFirst);
    c.Property("ForceFPS", &T::ForceFPS, &T::SetForceFPS);
    c.Property("FrameRate", &T::FrameRate, &T::SetFrameRate);
    c.Property("InputFrameRate", &T::InputFrameRate, &T::SetInputFrameRate);
    c.Property("FrameAspectRatio", &T::FrameAspectRatio, &T::SetFrameAspectRatio);
    c.Property("MeThreshold", &T::MeThreshold, &T::SetMeThreshold);
    c.Property("Deinterlace", &T::Deinterlace, &T::SetDeinterlace);
    c.Property("Pass", &T::Pass, &T::SetPass);
    c.Property("MaxFrames", &T::MaxFrames, &T::SetMaxFrames);
    c.Property("Bitrate", &T::Bitrate, &T::SetBitrate);
    c.Property("ForceKeyFrames", &T::ForceKeyFrames, &T::SetForceKeyFrames);
}

void TVideoOptions::SetVideoSyncMethod(int value) {
    if (value != -1 && value != 0 && value != 1 && value != 2 && value != 255)
        throw Exception("Invalid Video Sync Method");
    videoSyncMethod_ = value;
}

void TVideoOptions::SetTopFieldFirst(int value) {
    if (value < -1 || value > 1) throw Exception("Invalid TopFieldFirst Value!");
    topFieldFirst_ = value;
}

void TVideoOptions::SetPass(int value) {
    if (value < 0 || value > 3) {
        ShowAVError("pass number can be only 0, 1 , 2 or 3");
        return;
    }
    pass_ = value;
}

void TVideoOptions::Assign(TPersistent* source) {
    auto* other = dynamic_cast<TVideoOptions*>(source);
    if (!other) return TPersistent::Assign(source);
    SetFrameWidth(other->FrameWidth());
    SetFrameHeight(other->FrameHeight());
    SetVideoCodecName(other->VideoCodecName());
    SetVideoDisable(other->VideoDisable());
    SetVideoStreamCopy(other->VideoStreamCopy());
    SetVideoCodecTag(other->VideoCodecTag());
    SetVideoLanguage(other->VideoLanguage());
    SetIntraOnly(other->IntraOnly());
    SetVideoQscale(other->VideoQscale());
    SetVideoRcOverrideString(other->VideoRcOverrideString());
    SetIntraDcPrecision(other->IntraDcPrecision());
    SetVideoSyncMethod(other->VideoSyncMethod());
    SetTopFieldFirst(other->TopFieldFirst());
    SetFrameRate(other->FrameRate());
    SetInputFrameRate(other->InputFrameRate());
    SetFrameAspectRatio(other->FrameAspectRatio());
    SetMeThreshold(other->MeThreshold());
    SetDeinterlace(other->Deinterlace());
    SetPass(other->Pass());
    SetMaxFrames(other->MaxFrames());
    SetBitrate(other->Bitrate());
    SetForceKeyFrames(other->ForceKeyFrames());
    SetPixelFormat(other->PixelFormat());
}

// --- TSubtitleOptions ---

RTL_PUBLISHED(TSubtitleOptions, c) {
    using T = TSubtitleOptions;
    c.Property("SubtitleLanguage", &T::SubtitleLanguage, &T::SetSubtitleLanguage);
    c.Property("SubtitleCodecName", &T::SubtitleCodecName, &T::SetSubtitleCodecName);
    c.Property("SubtitleDisable", &T::SubtitleDisable, &T::SetSubtitleDisable);
    c.Property("SubtitleCodecTag", &T::SubtitleCodecTag, &T::SetSubtitleCodecTag);
}

void TSubtitleOptions::Assign(TPersistent* source) {
    auto* other = dynamic_cast<TSubtitleOptions*>(source);
    if (!other) return TPersistent::Assign(source);
    SetSubtitleLanguage(other->SubtitleLanguage());
    SetSubtitleCodecName(other->SubtitleCodecName());
    SetSubtitleDisable(other->SubtitleDisable());
    SetSubtitleCodecTag(other->SubtitleCodecTag());
}

// --- TMuxerOptions ---

RTL_PUBLISHED(TMuxerOptions, c) {
    using T = TMuxerOptions;
    c.Property("MuxPreload", &T::MuxPreload, &T::SetMuxPreload);
    c.Property("AudioBitstreamFilters", &T::AudioBitstreamFilters, &T::SetAudioBitstreamFilters);
    c.Property("SubtitleBitstreamFilters", &T::SubtitleBitstreamFilters, &T::SetSubtitleBitstreamFilters);
    c.Property("VideoBitstreamFilters", &T::VideoBitstreamFilters, &T::SetVideoBitstreamFilters);
}

void TMuxerOptions::Assign(TPersistent* source) {
    auto* other = dynamic_cast<TMuxerOptions*>(source);
    if (!other) return TPersistent::Assign(source);
    SetMuxPreload(other->MuxPreload());
    SetAudioBitstreamFilters(other->AudioBitstreamFilters());
    SetSubtitleBitstreamFilters(other->SubtitleBitstreamFilters());
    SetVideoBitstreamFilters(other->VideoBitstreamFilters());
}

// --- TFilterOptions ---

RTL_PUBLISHED(TFilterOptions, c) {
    using T = TFilterOptions;
    c.Property("VideoFilters", &T::VideoFilters, &T::SetVideoFilters);
    c.Property("AudioFilters", &T::AudioFilters, &T::SetAudioFilters);
    c.Property("ComplexFilters", &T::ComplexFilters);
    c.Property("VideoBitstreamFilters", &T::VideoBitstreamFilters, &T::SetVideoBitstreamFilters);
    c.Property("AudioBitstreamFilters", &T::AudioBitstreamFilters, &T::SetAudioBitstreamFilters);
}

void TFilterOptions::Assign(TPersistent* source) {
    auto* other = dynamic_cast<TFilterOptions*>(source);
    if (!other) return TPersistent::Assign(source);
    SetVideoFilters(other->VideoFilters());
    SetAudioFilters(other->AudioFilters());
    complexFilters_->Assign(other->ComplexFilters());
    SetVideoBitstreamFilters(other->VideoBitstreamFilters());
    SetAudioBitstreamFilters(other->AudioBitstreamFilters());
}

// --- TAVConvertOptions ---

RTL_PUBLISHED(TAVConvertOptions, c) {
    using T = TAVConvertOptions;
    c.Property("LimitFileSize", &T::LimitFileSize, &T::SetLimitFileSize);
    c.Property("AudioOptions", &T::AudioOptions, &T::SetAudioOptions);
    c.Property("SubtitleOptions", &T::SubtitleOptions, &T::SetSubtitleOptions);
    c.Property("VideoOptions", &T::VideoOptions, &T::SetVideoOptions);
    c.Property("MuxerOptions", &T::MuxerOptions, &T::SetMuxerOptions);
    c.Property("FilterOptions", &T::FilterOptions, &T::SetFilterOptions);
    c.Property("MetaData", &T::MetaData, &T::SetMetaData);
    c.Property("CodecOptions", &T::CodecOptions, &T::SetCodecOptions);
    c.Property("OutputFormat", &T::OutputFormat, &T::SetOutputFormat);
    c.Property("InputFormats", &T::InputFormats, &T::SetInputFormats);
    c.Property("StartTime", &T::StartTime, &T::SetStartTime);
    c.Property("RecordingTime", &T::RecordingTime, &T::SetRecordingTime);
    c.Property("ThreadCount", &T::ThreadCount, &T::SetThreadCount).Default(1);
    c.Property("StreamMaps", &T::StreamMaps, &T::SetStreamMaps);
}

void TAVConvertOptions::Assign(TPersistent* source) {
    auto* other = dynamic_cast<TAVConvertOptions*>(source);
    if (!other) return TPersistent::Assign(source);
    SetAudioOptions(other->AudioOptions());
    SetSubtitleOptions(other->SubtitleOptions());
    SetVideoOptions(other->VideoOptions());
    SetMuxerOptions(other->MuxerOptions());
    SetFilterOptions(other->FilterOptions());
    SetMetaData(other->MetaData());
    SetCodecOptions(other->CodecOptions());
    SetInputFormats(other->InputFormats());
    SetOutputFormat(other->OutputFormat());
    SetStartTime(other->StartTime());
    SetRecordingTime(other->RecordingTime());
    SetThreadCount(other->ThreadCount());
    SetStreamMaps(other->StreamMaps());
}

void TAVConvertOptions::SetCodecOption(const String& name, const String& value) {
    const int index = codecOptions_->IndexOfName(name);
    if (index < 0)
        codecOptions_->Add(name + u'=' + value);
    else
        codecOptions_->SetStrings(index, codecOptions_->Names(index) + u'=' + value);
}

namespace {
std::array<TClass, 7> OptionClasses() {
    return {TRational::StaticClass(),        TAudioOptions::StaticClass(), TVideoOptions::StaticClass(),
            TSubtitleOptions::StaticClass(), TMuxerOptions::StaticClass(), TFilterOptions::StaticClass(),
            TAVConvertOptions::StaticClass()};
}

const bool convertOptionsRegistered = (RegisterUnit(
                                 "ConvertOptions",
                                 [] {
                                     for (TClass cls : OptionClasses()) RegisterClass(cls);
                                 },
                                 [] {
                                     for (TClass cls : OptionClasses()) UnRegisterClass(cls);
                                 }),
                             true);
} // namespace
