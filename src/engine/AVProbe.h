#pragma once
// Opens a media source and reports what it holds: whether it has video and
// audio, their decoders, picture size, frame rate, sample rate, channels, bit
// rates, start time and duration, and a thumbnail of the first video stream
// at a chosen time, fitted into a box.

#include <cstdint>

#include "engine/AVLib.h"
#include "engine/BGRAImage.h"
#include "platform/rtl/Persistent.h"

class TAVProbe : public TPersistent {
public:
    // Loads the FFmpeg libraries (raises when they cannot be loaded).
    TAVProbe();
    ~TAVProbe() override;
    TAVProbe(const TAVProbe&) = delete;
    TAVProbe& operator=(const TAVProbe&) = delete;

    // A file path or "stream:" URL.
    const String& FileName() const noexcept { return fileName_; }
    void SetFileName(const String& value) { fileName_ = value; }
    // Forced demuxer; blank probes.
    const String& InputFormat() const noexcept { return inputFormat_; }
    void SetInputFormat(const String& value) { inputFormat_ = value; }

    bool Active() const noexcept { return context_ != nullptr; }
    // True opens the source (raises "Error Opening File!", "Can not find
    // stream information", "Unsupported codec(id=%d) for input stream %d" or
    // "Error while opening codec for input stream %d", leaving it closed);
    // false closes it.
    void SetActive(bool value);

    // Of the first video stream.
    bool HasVideo() const noexcept { return hasVideo_; }
    const String& VideoCodec() const noexcept { return videoCodec_; }
    int VideoWidth() const noexcept { return videoWidth_; }
    int VideoHeight() const noexcept { return videoHeight_; }
    int VideoBitrate() const noexcept { return videoBitrate_; }
    double FrameRate() const noexcept { return frameRate_; }
    // Of the first audio stream.
    bool HasAudio() const noexcept { return hasAudio_; }
    const String& AudioCodec() const noexcept { return audioCodec_; }
    int SampleRate() const noexcept { return sampleRate_; }
    int Channels() const noexcept { return channels_; }
    // Rate * channels * bits per sample for codecs with a fixed sample size, else the codec's bit rate.
    int AudioBitrate() const noexcept { return audioBitrate_; }
    // Container start time, microseconds; kept when the container has none.
    int64_t StartTime() const noexcept { return startTime_; }
    // Container duration, seconds; kept when the container has none.
    double Duration() const noexcept { return duration_; }
    // Microseconds: StartTime plus the container's duration, or StartTime when it has none.
    int64_t EndTime() const noexcept { return endTime_; }

    // The box the thumbnail fills; a side of 0 means no thumbnail.
    int ThumbnailWidth() const noexcept { return thumbnailWidth_; }
    void SetThumbnailWidth(int value) { thumbnailWidth_ = value; }
    int ThumbnailHeight() const noexcept { return thumbnailHeight_; }
    void SetThumbnailHeight(int value) { thumbnailHeight_ = value; }
    // Time of the thumbnail after StartTime, microseconds.
    int64_t ThumbnailOffset() const noexcept { return thumbnailOffset_; }
    void SetThumbnailOffset(int64_t value) { thumbnailOffset_ = value; }
    // The box, black, with the picture fitted inside and centred; empty when
    // there is none.
    const TBGRAImage& Thumbnail() const noexcept { return thumbnail_; }

private:
    void Open();
    void Close() noexcept;
    void Examine(int index);
    void MakeThumbnail(int videoIndex);
    // The first picture at the thumbnail time, decoded into Frame; false when none comes.
    bool DecodePicture(AVCodecContext* decoder, int videoIndex, AVFrame* frame);

    String fileName_;
    String inputFormat_;
    AVFormatContext* context_ = nullptr;

    bool hasVideo_ = false;
    String videoCodec_;
    int videoWidth_ = 0;
    int videoHeight_ = 0;
    int videoBitrate_ = 0;
    double frameRate_ = 0;
    bool hasAudio_ = false;
    String audioCodec_;
    int sampleRate_ = 0;
    int channels_ = 0;
    int audioBitrate_ = 0;
    int64_t startTime_ = 0;
    double duration_ = 0;
    int64_t endTime_ = 0;

    int thumbnailWidth_ = 0;
    int thumbnailHeight_ = 0;
    int64_t thumbnailOffset_ = 0;
    TBGRAImage thumbnail_;
};
