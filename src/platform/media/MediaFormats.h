#pragma once
// The media types the graph's sources and renderers speak: VIDEOINFO video
// (YV12 or RGB32, rows top-down) and 16-bit PCM audio.

#include "platform/media/MediaTypeRecords.h"

// A VIDEOINFO type of Width x Height for MEDIASUBTYPE_YV12 or MEDIASUBTYPE_RGB32,
// with AvgTimePerFrame.
TMediaType VideoInfoType(const TGUID& subtype, int width, int height, REFERENCE_TIME frameTime);
// A 16-bit PCM WAVEFORMATEX type.
TMediaType PcmAudioType(int channels, int samplesPerSecond);

// The format block as VIDEOINFO or WAVEFORMATEX; null when the type is not such.
const VIDEOINFO* VideoInfoOf(const AM_MEDIA_TYPE& type) noexcept;
const WAVEFORMATEX* WaveFormatOf(const AM_MEDIA_TYPE& type) noexcept;
