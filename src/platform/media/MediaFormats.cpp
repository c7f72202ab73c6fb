#include "platform/media/MediaFormats.h"

TMediaType VideoInfoType(const TGUID& subtype, int width, int height, REFERENCE_TIME frameTime) {
    const bool yv12 = subtype == MEDIASUBTYPE_YV12;
    TMediaType type;
    auto* info = reinterpret_cast<VIDEOINFO*>(type.AllocFormat(sizeof(VIDEOINFO)));
    if (!info) return type;
    info->AvgTimePerFrame = frameTime;
    BITMAPINFOHEADER& header = info->bmiHeader;
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = yv12 ? 3 : 1;
    header.biBitCount = yv12 ? 12 : 32;
    header.biCompression = yv12 ? kFourCC_YV12 : BI_RGB;
    header.biSizeImage = GetBitmapSize(header);
    info->rcSource = info->rcTarget = RECT{0, 0, width, height};
    type->majortype = MEDIATYPE_Video;
    type->subtype = GetBitmapSubtype(&header);
    type->formattype = FORMAT_VideoInfo;
    type->bFixedSizeSamples = true;
    type->bTemporalCompression = false;
    type->lSampleSize = header.biSizeImage;
    return type;
}

TMediaType PcmAudioType(int channels, int samplesPerSecond) {
    TMediaType type;
    auto* format = reinterpret_cast<WAVEFORMATEX*>(type.AllocFormat(sizeof(WAVEFORMATEX)));
    if (!format) return type;
    format->wFormatTag = WAVE_FORMAT_PCM;
    format->nChannels = static_cast<WORD>(channels);
    format->nSamplesPerSec = static_cast<DWORD>(samplesPerSecond);
    format->wBitsPerSample = 16;
    format->nBlockAlign = static_cast<WORD>(channels * 2);
    format->nAvgBytesPerSec = format->nSamplesPerSec * format->nBlockAlign;
    type->majortype = MEDIATYPE_Audio;
    type->subtype = MEDIASUBTYPE_PCM;
    type->formattype = FORMAT_WaveFormatEx;
    type->lSampleSize = format->nBlockAlign;
    return type;
}

const VIDEOINFO* VideoInfoOf(const AM_MEDIA_TYPE& type) noexcept {
    if (type.formattype != FORMAT_VideoInfo || type.cbFormat < sizeof(VIDEOINFOHEADER) || !type.pbFormat)
        return nullptr;
    return reinterpret_cast<const VIDEOINFO*>(type.pbFormat);
}

const WAVEFORMATEX* WaveFormatOf(const AM_MEDIA_TYPE& type) noexcept {
    if (type.formattype != FORMAT_WaveFormatEx || type.cbFormat < sizeof(WAVEFORMATEX) || !type.pbFormat)
        return nullptr;
    return reinterpret_cast<const WAVEFORMATEX*>(type.pbFormat);
}
