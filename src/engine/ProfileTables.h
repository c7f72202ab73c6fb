#pragma once
// The enumerations of the conversion profiles and their read-only tables, in
// enumeration order (the profile editor lists them by ordinal).

#include <array>

#include "platform/rtl/TypeInfo.h"

enum class TCustomAudioEncoder { AAC, WMAV2, AC3, MP2, MP3, PCM_S16LE, RA1, AMR_NB };
RTL_ENUM(TCustomAudioEncoder, TCustomAudioEncoder::AAC, TCustomAudioEncoder::WMAV2, TCustomAudioEncoder::AC3,
         TCustomAudioEncoder::MP2, TCustomAudioEncoder::MP3, TCustomAudioEncoder::PCM_S16LE,
         TCustomAudioEncoder::RA1, TCustomAudioEncoder::AMR_NB);

enum class TCustomVideoEncoder { H263, H264, MPEG4, WMV2, MPEG2VIDEO, MSMPEGV3, RV20, XVID, FLV };
RTL_ENUM(TCustomVideoEncoder, TCustomVideoEncoder::H263, TCustomVideoEncoder::H264, TCustomVideoEncoder::MPEG4,
         TCustomVideoEncoder::WMV2, TCustomVideoEncoder::MPEG2VIDEO, TCustomVideoEncoder::MSMPEGV3,
         TCustomVideoEncoder::RV20, TCustomVideoEncoder::XVID, TCustomVideoEncoder::FLV);

enum class TCustomAVFormat {
    F_NONE, F_RM, F_MP4, F_ASF, F_AVI, F_3GP, F_3GP2, F_FLV, F_MOV, F_PSP, F_IPOD, F_SVCD, F_VCD, F_VOB, F_DVD,
    F_WEBM, F_AC3, F_MKV
};
RTL_ENUM(TCustomAVFormat, TCustomAVFormat::F_NONE, TCustomAVFormat::F_RM, TCustomAVFormat::F_MP4,
         TCustomAVFormat::F_ASF, TCustomAVFormat::F_AVI, TCustomAVFormat::F_3GP, TCustomAVFormat::F_3GP2,
         TCustomAVFormat::F_FLV, TCustomAVFormat::F_MOV, TCustomAVFormat::F_PSP, TCustomAVFormat::F_IPOD,
         TCustomAVFormat::F_SVCD, TCustomAVFormat::F_VCD, TCustomAVFormat::F_VOB, TCustomAVFormat::F_DVD,
         TCustomAVFormat::F_WEBM, TCustomAVFormat::F_AC3, TCustomAVFormat::F_MKV);

enum class TCustomFrameRate { rOriginal, r1499, r20, r2397, r24, r25, r2997, r30 };
RTL_ENUM(TCustomFrameRate, TCustomFrameRate::rOriginal, TCustomFrameRate::r1499, TCustomFrameRate::r20,
         TCustomFrameRate::r2397, TCustomFrameRate::r24, TCustomFrameRate::r25, TCustomFrameRate::r2997,
         TCustomFrameRate::r30);

enum class TCustomAudioChannels { mono1, stereo2 };
RTL_ENUM(TCustomAudioChannels, TCustomAudioChannels::mono1, TCustomAudioChannels::stereo2);

enum class TAVAspectRatio { AR_NONE, AR4_3 };
RTL_ENUM(TAVAspectRatio, TAVAspectRatio::AR_NONE, TAVAspectRatio::AR4_3);

enum class TAVTarget { pal, ntsc, film };
RTL_ENUM(TAVTarget, TAVTarget::pal, TAVTarget::ntsc, TAVTarget::film);

enum class TAVImageType { bitmap, jpeg, png, gif, tiff };
RTL_ENUM(TAVImageType, TAVImageType::bitmap, TAVImageType::jpeg, TAVImageType::png, TAVImageType::gif,
         TAVImageType::tiff);

enum class TPreset { ultrafast, superfast, veryfast, faster, fast, medium, slow, slower, veryslow, placebo };
RTL_ENUM(TPreset, TPreset::ultrafast, TPreset::superfast, TPreset::veryfast, TPreset::faster, TPreset::fast,
         TPreset::medium, TPreset::slow, TPreset::slower, TPreset::veryslow, TPreset::placebo);

enum class TAVFrameSize {
    fsOriginal, fsNtsc, fsPal, fsQntsc, fsIPaq, fsPsp, fsSpal, fsIPhone, fsSqcif, fsQcif, fsCif, fs4cif, fs16cif,
    fsQqvga, fsQvga, fsVga, fsSvga, fsXga, fsUxga, fsQxga, fsSxga, fsQsxga, fsHsxga, fsWvga, fsWxga, fsWsxga,
    fsWuxga, fsWoxga, fsWqsxga, fsWquxga, fsWhsxga, fsWhuxga, fsCga, fsEga, fsHd480, fsHd720, fsHd1080, fsMceHd
};
using enum TAVFrameSize;
RTL_ENUM(TAVFrameSize, fsOriginal, fsNtsc, fsPal, fsQntsc, fsIPaq, fsPsp, fsSpal, fsIPhone, fsSqcif, fsQcif, fsCif,
         fs4cif, fs16cif, fsQqvga, fsQvga, fsVga, fsSvga, fsXga, fsUxga, fsQxga, fsSxga, fsQsxga, fsHsxga, fsWvga,
         fsWxga, fsWsxga, fsWuxga, fsWoxga, fsWqsxga, fsWquxga, fsWhsxga, fsWhuxga, fsCga, fsEga, fsHd480, fsHd720,
         fsHd1080, fsMceHd);

// The number of values of an enumeration whose last value is Last.
template <auto Last>
inline constexpr size_t kValueCount = static_cast<size_t>(Last) + 1;

struct TFrameSizeRow {
    const char* name;
    int width;
    int height;
};

inline constexpr std::array<TFrameSizeRow, kValueCount<fsMceHd>> FrameSizeTable{{
    {"Original", 0, 0},
    {"ntsc(720x480)", 720, 480},
    {"pal(720x576)", 720, 576},
    {"352x240", 352, 240},
    {"240x240", 240, 240},
    {"368x208", 368, 208},
    {"spal(768x576)", 768, 576},
    {"480x320", 480, 320},
    {"sqcif(128x96)", 128, 96},
    {"qcif(176x144)", 176, 144},
    {"cif(352x288)", 352, 288},
    {"4cif(704x576)", 704, 576},
    {"16cif(1408x1152)", 1408, 1152},
    {"qqvga(160x120)", 160, 120},
    {"qvga(320x240)", 320, 240},
    {"vga(640x480)", 640, 480},
    {"svga(800x600)", 800, 600},
    {"xga(1024x768)", 1024, 768},
    {"uxga(1600x1200)", 1600, 1200},
    {"qxga(2048x1536)", 2048, 1536},
    {"sxga(1280x1024)", 1280, 1024},
    {"qsxga(2560x2048)", 2560, 2048},
    {"hsxga(5120x4096)", 5120, 4096},
    {"wvga(852x480)", 852, 480},
    {"wxga(1366x768)", 1366, 768},
    {"wsxga(1600x1024)", 1600, 1024},
    {"wuxga(1920x1200)", 1920, 1200},
    {"woxga(2560x1600)", 2560, 1600},
    {"wqsxga(3200x2048)", 3200, 2048},
    {"wquxga(3840x2400)", 3840, 2400},
    {"whsxga(6400x4096)", 6400, 4096},
    {"whuxga(7680x4800)", 7680, 4800},
    {"cga(320x200)", 320, 200},
    {"ega(640x350)", 640, 350},
    {"hd480(852x480)", 852, 480},
    {"hd720(1280x720)", 1280, 720},
    {"hd1080(1920x1080)", 1920, 1080},
    {"1440x1080", 1440, 1080},
}};

inline constexpr std::array<const char*, kValueCount<TCustomVideoEncoder::FLV>> VideoEncoderNames{
    "H263", "H264", "MPEG4", "WMV2", "MPEG2VIDEO", "MSMPEGV3", "RV20", "XVID", "FLV"};

inline constexpr std::array<const char*, kValueCount<TCustomAudioEncoder::AMR_NB>> AudioEncoderNames{
    "AAC", "WMAV2", "AC3", "MP2", "MP3", "PCM_S16LE", "RA1", "AMR_NB"};

inline constexpr std::array<const char*, kValueCount<TCustomAVFormat::F_MKV>> FormatNames{
    "NONE", "RM", "MP4", "ASF", "AVI", "3GP", "3GP2", "FLV", "MOV", "PSP", "IPOD", "SVCD", "VCD", "VOB", "DVD",
    "WEBM", "AC3", "MKV"};

inline constexpr std::array<const char*, kValueCount<TCustomFrameRate::r30>> FrameRateNames{
    "Original", "14.99", "20", "23.97", "24", "25", "29.97", "30"};

inline constexpr std::array<const char*, kValueCount<TCustomAudioChannels::stereo2>> ChannelNames{"mono", "stereo"};

struct TFrameRateValue {
    int num;
    int den;
};

// 0/0 for rOriginal.
inline constexpr std::array<TFrameRateValue, kValueCount<TCustomFrameRate::r30>> FrameRates{{
    {0, 0}, {15000, 1001}, {20, 1}, {24000, 1001}, {24, 1}, {25, 1}, {30000, 1001}, {30, 1}}};

inline constexpr std::array<TFrameRateValue, kValueCount<TAVTarget::film>> TargetFrameRates{{
    {25, 1}, {30000, 1001}, {24000, 1001}}};

// The first row of FrameSizeTable of this width and height; fsOriginal when none.
constexpr TAVFrameSize FrameSizeOf(int width, int height) {
    for (size_t i = 0; i < FrameSizeTable.size(); ++i)
        if (FrameSizeTable[i].width == width && FrameSizeTable[i].height == height)
            return static_cast<TAVFrameSize>(i);
    return fsOriginal;
}
