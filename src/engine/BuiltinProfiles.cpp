#include "engine/BuiltinProfiles.h"

#include "engine/AVProfileList.h"
#include "engine/AVProfiles.h"
#include "platform/rtl/Exceptions.h"

const std::array<const char*, kValueCount<TProfileCategory::pcUser>> ProfileCategoryNames{
    "常用视频", "高清视频", "苹果 iPhone", "苹果 iPad", "苹果 iPod/Apple TV", "安卓手机", "安卓平板", "普通手机",
    "索尼 PSP", "索尼 PlayStation", "微软 Xbox", "任天堂", "MP4/MP5 播放器", "电视与机顶盒", "网络视频",
    "DVD/VCD/SVCD", "DV 摄像机", "常用音频", "手机铃声", "图片与动画", "用户自定义"};

namespace {

using enum TProfileCategory;
using enum TCustomAVFormat;
using enum TCustomFrameRate;
using enum TCustomAudioChannels;

// Which class a row makes. Audio and Video are the custom kinds, replaced by
// the user's "Profiles.ini" once it exists; the others are fixed.
enum class TKind { Audio, Video, Vcd, SVcd, Dvd, Dv, Dv50, Image };

struct TVideo {
    TCustomVideoEncoder encoder;
    int width; // 0 x 0 keeps the source's size
    int height;
    int kbps;
    TCustomFrameRate rate;
};

struct TAudio {
    TCustomAudioEncoder encoder;
    double kbps;
    int sampleRate;
    TCustomAudioChannels channels;
};

struct TRow {
    TProfileCategory category;
    const char* description;
    TKind kind;
    const char* extension; // targets keep their class's
    TCustomAVFormat format = F_NONE;
    TVideo video{};
    TAudio audio{};
    TAVTarget target = TAVTarget::pal;
    TAVImageType image = TAVImageType::bitmap;
};

// Custom kinds. Sizes are rows of the frame-size table, so that the profile
// editor shows them; encoders that need a standard frame rate get one.
constexpr TRow Video(TProfileCategory category, const char* description, const char* extension,
                     TCustomAVFormat format, TVideo video, TAudio audio) {
    return {category, description, TKind::Video, extension, format, video, audio};
}
constexpr TRow Audio(TProfileCategory category, const char* description, const char* extension,
                     TCustomAVFormat format, TAudio audio) {
    return {category, description, TKind::Audio, extension, format, {}, audio};
}

// Fixed kinds.
constexpr TRow Target(TProfileCategory category, const char* description, TKind kind, TAVTarget target) {
    return {.category = category, .description = description, .kind = kind, .extension = nullptr,
            .target = target};
}
// A sequence's extension carries the frame number that the image muxer needs.
constexpr TRow Image(const char* description, const char* extension, TAVImageType image) {
    return {.category = pcImages, .description = description, .kind = TKind::Image, .extension = extension,
            .image = image};
}

constexpr TVideo H264(int width, int height, int kbps) {
    return {TCustomVideoEncoder::H264, width, height, kbps, rOriginal};
}
constexpr TVideo Mpeg4(int width, int height, int kbps, TCustomFrameRate rate = rOriginal) {
    return {TCustomVideoEncoder::MPEG4, width, height, kbps, rate};
}
constexpr TVideo Xvid(int width, int height, int kbps, TCustomFrameRate rate = rOriginal) {
    return {TCustomVideoEncoder::XVID, width, height, kbps, rate};
}
constexpr TVideo Wmv8(int width, int height, int kbps) {
    return {TCustomVideoEncoder::WMV2, width, height, kbps, rOriginal};
}
constexpr TVideo MsMpeg4(int width, int height, int kbps, TCustomFrameRate rate) {
    return {TCustomVideoEncoder::MSMPEGV3, width, height, kbps, rate};
}
constexpr TVideo Flash(int width, int height, int kbps) {
    return {TCustomVideoEncoder::FLV, width, height, kbps, rOriginal};
}
constexpr TVideo RealVideo(int width, int height, int kbps) {
    return {TCustomVideoEncoder::RV20, width, height, kbps, rOriginal};
}
// Only the sizes sqcif, qcif, cif, 4cif and 16cif.
constexpr TVideo H263(int width, int height, int kbps, TCustomFrameRate rate) {
    return {TCustomVideoEncoder::H263, width, height, kbps, rate};
}
// MPEG-2 knows only the standard frame rates.
constexpr TVideo Mpeg2(int width, int height, int kbps, TCustomFrameRate rate) {
    return {TCustomVideoEncoder::MPEG2VIDEO, width, height, kbps, rate};
}

constexpr TAudio Aac(double kbps, int sampleRate = 44100, TCustomAudioChannels channels = stereo2) {
    return {TCustomAudioEncoder::AAC, kbps, sampleRate, channels};
}
constexpr TAudio Mp3(double kbps, int sampleRate = 44100, TCustomAudioChannels channels = stereo2) {
    return {TCustomAudioEncoder::MP3, kbps, sampleRate, channels};
}
constexpr TAudio Mp2(double kbps, int sampleRate = 44100) {
    return {TCustomAudioEncoder::MP2, kbps, sampleRate, stereo2};
}
constexpr TAudio Wma(double kbps) { return {TCustomAudioEncoder::WMAV2, kbps, 44100, stereo2}; }
constexpr TAudio Ac3(double kbps) { return {TCustomAudioEncoder::AC3, kbps, 48000, stereo2}; }
constexpr TAudio Pcm(int sampleRate, TCustomAudioChannels channels = stereo2) {
    return {TCustomAudioEncoder::PCM_S16LE, 0, sampleRate, channels};
}
// RealAudio 1.0 is 8 kbit/s mono at 8 kHz.
constexpr TAudio RealAudio() { return {TCustomAudioEncoder::RA1, 8, 8000, mono1}; }

const TRow kBuiltinProfiles[] = {
    Video(pcCommonVideo, "MP4 视频 (H.264 + AAC, 原始尺寸)", ".mp4", F_MP4, H264(0, 0, 2000), Aac(128)),
    Video(pcCommonVideo, "MP4 视频 兼容旧设备 (MPEG-4 + AAC, 原始尺寸)", ".mp4", F_MP4, Mpeg4(0, 0, 2000),
          Aac(128)),
    Video(pcCommonVideo, "MKV 视频 (H.264 + AAC, 原始尺寸)", ".mkv", F_MKV, H264(0, 0, 2000), Aac(128)),
    Video(pcCommonVideo, "MOV 视频 (H.264 + AAC, 原始尺寸)", ".mov", F_MOV, H264(0, 0, 2000), Aac(128)),
    Video(pcCommonVideo, "AVI 视频 (Xvid + MP3, 原始尺寸)", ".avi", F_AVI, Xvid(0, 0, 2000), Mp3(128)),
    Video(pcCommonVideo, "WMV 视频 (WMV 8 + WMA, 原始尺寸)", ".wmv", F_ASF, Wmv8(0, 0, 2000), Wma(128)),
    Video(pcCommonVideo, "MPG 视频 (MPEG-2 + MP2, 原始尺寸, 25 帧/秒)", ".mpg", F_VOB, Mpeg2(0, 0, 4000, r25),
          Mp2(192, 48000)),

    Video(pcHdVideo, "高清 MP4 720p (H.264 + AAC, 1280x720)", ".mp4", F_MP4, H264(1280, 720, 3000), Aac(160)),
    Video(pcHdVideo, "高清 MP4 1080p (H.264 + AAC, 1920x1080)", ".mp4", F_MP4, H264(1920, 1080, 6000), Aac(192)),
    Video(pcHdVideo, "高清 MKV 1080p (H.264 + AC3, 1920x1080)", ".mkv", F_MKV, H264(1920, 1080, 8000), Ac3(224)),
    Video(pcHdVideo, "高清 MOV 720p (H.264 + AAC, 1280x720)", ".mov", F_MOV, H264(1280, 720, 3000), Aac(160)),
    Video(pcHdVideo, "高清 AVI 720p (Xvid + MP3, 1280x720)", ".avi", F_AVI, Xvid(1280, 720, 4000), Mp3(192)),
    Video(pcHdVideo, "高清 WMV 720p (WMV 8 + WMA, 1280x720)", ".wmv", F_ASF, Wmv8(1280, 720, 5000), Wma(160)),

    Video(pcIPhone, "iPhone 全高清 (H.264, 1920x1080)", ".mp4", F_MP4, H264(1920, 1080, 5000), Aac(160)),
    Video(pcIPhone, "iPhone 高清 (H.264, 1280x720)", ".mp4", F_MP4, H264(1280, 720, 2500), Aac(128)),
    Video(pcIPhone, "iPhone 标清 (H.264, 852x480)", ".mp4", F_MP4, H264(852, 480, 1200), Aac(128)),
    Video(pcIPhone, "iPhone 3G/3GS (MPEG-4, 480x320)", ".mp4", F_MP4, Mpeg4(480, 320, 1000), Aac(128)),

    Video(pcIPad, "iPad 全高清 (H.264, 1920x1080)", ".mp4", F_MP4, H264(1920, 1080, 5000), Aac(160)),
    Video(pcIPad, "iPad 高清 (H.264, 1280x720)", ".mp4", F_MP4, H264(1280, 720, 2500), Aac(128)),
    Video(pcIPad, "iPad 4:3 全屏 (H.264, 1024x768)", ".mp4", F_MP4, H264(1024, 768, 2000), Aac(128)),
    Video(pcIPad, "iPad 标清 (H.264, 852x480)", ".mp4", F_MP4, H264(852, 480, 1200), Aac(128)),

    Video(pcIPodAppleTv, "iPod touch (H.264, 1280x720)", ".mp4", F_MP4, H264(1280, 720, 2000), Aac(128)),
    Video(pcIPodAppleTv, "iPod classic (MPEG-4, 640x480)", ".m4v", F_IPOD, Mpeg4(640, 480, 1500), Aac(128)),
    Video(pcIPodAppleTv, "iPod nano (MPEG-4, 320x240)", ".m4v", F_IPOD, Mpeg4(320, 240, 768), Aac(128)),
    Video(pcIPodAppleTv, "Apple TV 全高清 (H.264, 1920x1080)", ".mp4", F_MP4, H264(1920, 1080, 6000), Aac(160)),
    Video(pcIPodAppleTv, "Apple TV 高清 (H.264, 1280x720)", ".mp4", F_MP4, H264(1280, 720, 4000), Aac(160)),

    Video(pcAndroidPhone, "安卓手机 全高清 (H.264, 1920x1080)", ".mp4", F_MP4, H264(1920, 1080, 5000), Aac(160)),
    Video(pcAndroidPhone, "安卓手机 高清 (H.264, 1280x720)", ".mp4", F_MP4, H264(1280, 720, 2500), Aac(128)),
    Video(pcAndroidPhone, "安卓手机 标清 (H.264, 852x480)", ".mp4", F_MP4, H264(852, 480, 1200), Aac(128)),
    Video(pcAndroidPhone, "安卓手机 低配 (MPEG-4, 480x320)", ".mp4", F_MP4, Mpeg4(480, 320, 768), Aac(96)),

    Video(pcAndroidTablet, "安卓平板 全高清 (H.264, 1920x1080)", ".mp4", F_MP4, H264(1920, 1080, 5000), Aac(160)),
    Video(pcAndroidTablet, "安卓平板 高清 (H.264, 1280x720)", ".mp4", F_MP4, H264(1280, 720, 2500), Aac(128)),
    Video(pcAndroidTablet, "安卓平板 宽屏 (H.264, 1366x768)", ".mp4", F_MP4, H264(1366, 768, 3000), Aac(128)),
    Video(pcAndroidTablet, "安卓平板 4:3 (H.264, 1024x768)", ".mp4", F_MP4, H264(1024, 768, 2000), Aac(128)),

    Video(pcFeaturePhone, "3GP 手机 (H.263 + AAC, 176x144)", ".3gp", F_3GP, H263(176, 144, 192, r1499),
          Aac(32, 22050, mono1)),
    Video(pcFeaturePhone, "3GP 手机 小屏 (H.263 + AAC, 128x96)", ".3gp", F_3GP, H263(128, 96, 128, r1499),
          Aac(32, 22050, mono1)),
    Video(pcFeaturePhone, "3GP 手机 大屏 (MPEG-4 + AAC, 320x240)", ".3gp", F_3GP, Mpeg4(320, 240, 384, r1499),
          Aac(64, 22050)),
    Video(pcFeaturePhone, "3G2 手机 (MPEG-4 + AAC, 176x144)", ".3g2", F_3GP2, Mpeg4(176, 144, 192, r1499),
          Aac(32, 22050, mono1)),

    Video(pcPsp, "PSP (MPEG-4 + AAC, 320x240)", ".mp4", F_PSP, Mpeg4(320, 240, 768, r2997), Aac(128, 48000)),
    Video(pcPsp, "PSP 宽屏 (MPEG-4 + AAC, 368x208)", ".mp4", F_PSP, Mpeg4(368, 208, 768, r2997), Aac(128, 48000)),
    Video(pcPsp, "PS Vita (H.264 + AAC, 852x480)", ".mp4", F_MP4, H264(852, 480, 2000), Aac(128)),

    Video(pcPlayStation, "PS3 全高清 (H.264 + AAC, 1920x1080)", ".mp4", F_MP4, H264(1920, 1080, 6000), Aac(160)),
    Video(pcPlayStation, "PS3 高清 (H.264 + AAC, 1280x720)", ".mp4", F_MP4, H264(1280, 720, 4000), Aac(160)),
    Video(pcPlayStation, "PS3 AVI (Xvid + MP3, 1280x720)", ".avi", F_AVI, Xvid(1280, 720, 4000), Mp3(192)),
    Video(pcPlayStation, "PS4/PS5 (H.264 + AAC, 1920x1080)", ".mp4", F_MP4, H264(1920, 1080, 8000), Aac(192)),

    Video(pcXbox, "Xbox 360 (H.264 + AAC, 1280x720)", ".mp4", F_MP4, H264(1280, 720, 4000), Aac(160)),
    Video(pcXbox, "Xbox 360 WMV (WMV 8 + WMA, 1280x720)", ".wmv", F_ASF, Wmv8(1280, 720, 5000), Wma(160)),
    Video(pcXbox, "Xbox 360 AVI (Xvid + MP3, 640x480)", ".avi", F_AVI, Xvid(640, 480, 2000), Mp3(128)),
    Video(pcXbox, "Xbox One/Series (H.264 + AAC, 1920x1080)", ".mp4", F_MP4, H264(1920, 1080, 8000), Aac(192)),

    Video(pcNintendo, "任天堂 Wii (Flash 视频 + MP3, 320x240)", ".flv", F_FLV, Flash(320, 240, 512), Mp3(96)),
    Video(pcNintendo, "任天堂 Wii U (H.264 + AAC, 1280x720)", ".mp4", F_MP4, H264(1280, 720, 2500), Aac(128)),
    Video(pcNintendo, "任天堂 Switch (H.264 + AAC, 1280x720)", ".mp4", F_MP4, H264(1280, 720, 3000), Aac(128)),

    Video(pcPortablePlayer, "MP4 播放器 AVI (Xvid + MP3, 320x240)", ".avi", F_AVI, Xvid(320, 240, 768, r25),
          Mp3(128)),
    Video(pcPortablePlayer, "MP4 播放器 MP4 (MPEG-4 + AAC, 320x240)", ".mp4", F_MP4, Mpeg4(320, 240, 768, r25),
          Aac(128)),
    Video(pcPortablePlayer, "MP4 播放器 旧款 (MS-MPEG4 V3 + MP3, 320x240)", ".avi", F_AVI,
          MsMpeg4(320, 240, 768, r25), Mp3(128)),
    Video(pcPortablePlayer, "MP5 播放器 (Flash 视频 + MP3, 480x320)", ".flv", F_FLV, Flash(480, 320, 1000), Mp3(128)),
    Video(pcPortablePlayer, "MP5 播放器 高清 (H.264 + AAC, 852x480)", ".mp4", F_MP4, H264(852, 480, 1500), Aac(128)),

    Video(pcTv, "智能电视 (H.264 + AAC, 1920x1080)", ".mp4", F_MP4, H264(1920, 1080, 8000), Aac(192)),
    Video(pcTv, "智能电视 MKV (H.264 + AC3, 1920x1080)", ".mkv", F_MKV, H264(1920, 1080, 8000), Ac3(224)),
    Video(pcTv, "高清电视 720p (H.264 + AAC, 1280x720)", ".mp4", F_MP4, H264(1280, 720, 4000), Aac(160)),
    Video(pcTv, "机顶盒 PAL (MPEG-2 + AC3, 720x576)", ".mpg", F_VOB, Mpeg2(720, 576, 5000, r25), Ac3(224)),
    Video(pcTv, "机顶盒 NTSC (MPEG-2 + AC3, 720x480)", ".mpg", F_VOB, Mpeg2(720, 480, 5000, r2997), Ac3(224)),

    Video(pcWebVideo, "网络视频 MP4 高清 (H.264 + AAC, 1280x720)", ".mp4", F_MP4, H264(1280, 720, 2500), Aac(128)),
    Video(pcWebVideo, "网络视频 MP4 标清 (H.264 + AAC, 852x480)", ".mp4", F_MP4, H264(852, 480, 1000), Aac(96)),
    Video(pcWebVideo, "网络视频 FLV (H.264 + AAC, 852x480)", ".flv", F_FLV, H264(852, 480, 1000), Aac(96)),
    Video(pcWebVideo, "Flash 视频 FLV (Sorenson + MP3, 640x480)", ".flv", F_FLV, Flash(640, 480, 900), Mp3(96)),
    Video(pcWebVideo, "RealMedia 视频 (RealVideo 2 + RealAudio, 320x240)", ".rm", F_RM, RealVideo(320, 240, 384),
          RealAudio()),

    Target(pcDisc, "DVD PAL (MPEG-2 + AC3, 720x576)", TKind::Dvd, TAVTarget::pal),
    Target(pcDisc, "DVD NTSC (MPEG-2 + AC3, 720x480)", TKind::Dvd, TAVTarget::ntsc),
    Target(pcDisc, "SVCD PAL (MPEG-2 + MP2, 480x576)", TKind::SVcd, TAVTarget::pal),
    Target(pcDisc, "SVCD NTSC (MPEG-2 + MP2, 480x480)", TKind::SVcd, TAVTarget::ntsc),
    Target(pcDisc, "VCD PAL (MPEG-1 + MP2, 352x288)", TKind::Vcd, TAVTarget::pal),
    Target(pcDisc, "VCD NTSC (MPEG-1 + MP2, 352x240)", TKind::Vcd, TAVTarget::ntsc),

    Target(pcDvCamcorder, "DV PAL (DV + PCM, 720x576)", TKind::Dv, TAVTarget::pal),
    Target(pcDvCamcorder, "DV NTSC (DV + PCM, 720x480)", TKind::Dv, TAVTarget::ntsc),
    Target(pcDvCamcorder, "DV50 PAL (DV50 4:2:2 + PCM, 720x576)", TKind::Dv50, TAVTarget::pal),
    Target(pcDvCamcorder, "DV50 NTSC (DV50 4:2:2 + PCM, 720x480)", TKind::Dv50, TAVTarget::ntsc),

    Audio(pcAudio, "MP3 音频 高音质 (MP3, 192 kbps, 44100 Hz)", ".mp3", F_NONE, Mp3(192)),
    Audio(pcAudio, "MP3 音频 标准音质 (MP3, 128 kbps, 44100 Hz)", ".mp3", F_NONE, Mp3(128)),
    Audio(pcAudio, "M4A 音频 (AAC, 192 kbps, 44100 Hz)", ".m4a", F_IPOD, Aac(192)),
    Audio(pcAudio, "WAV 音频 (PCM 无压缩, 44100 Hz)", ".wav", F_NONE, Pcm(44100)),
    Audio(pcAudio, "WMA 音频 (WMA 2, 128 kbps, 44100 Hz)", ".wma", F_ASF, Wma(128)),
    Audio(pcAudio, "AC3 杜比数字 (AC3, 224 kbps, 48000 Hz)", ".ac3", F_AC3, Ac3(224)),
    Audio(pcAudio, "MP2 音频 (MP2, 192 kbps, 44100 Hz)", ".mp2", F_NONE, Mp2(192)),
    Audio(pcAudio, "RealAudio 音频 (RealAudio 1, 8000 Hz 单声道)", ".ra", F_RM, RealAudio()),

    Audio(pcRingtone, "iPhone 铃声 (AAC, 128 kbps, M4R)", ".m4r", F_IPOD, Aac(128)),
    Audio(pcRingtone, "安卓手机铃声 (MP3, 128 kbps)", ".mp3", F_NONE, Mp3(128)),
    Audio(pcRingtone, "普通手机铃声 (MP3, 64 kbps 单声道)", ".mp3", F_NONE, Mp3(64, 22050, mono1)),
    Audio(pcRingtone, "WAV 铃声 (PCM, 8000 Hz 单声道)", ".wav", F_NONE, Pcm(8000, mono1)),

    Image("JPEG 图片序列 (原始尺寸, 每帧一张)", "-%05d.jpg", TAVImageType::jpeg),
    Image("PNG 图片序列 (原始尺寸, 每帧一张)", "-%05d.png", TAVImageType::png),
    Image("BMP 图片序列 (原始尺寸, 每帧一张)", "-%05d.bmp", TAVImageType::bitmap),
    Image("TIFF 图片序列 (原始尺寸, 每帧一张)", "-%05d.tif", TAVImageType::tiff),
    Image("GIF 动画 (原始尺寸, 单个文件)", ".gif", TAVImageType::gif),
};

TAVProfile* NewProfile(TKind kind, TAVProfileList& owner) {
    switch (kind) {
    case TKind::Audio: return new TAVCustomAudioProfile(&owner);
    case TKind::Video: return new TAVCustomVideoProfile(&owner);
    case TKind::Vcd: return new TAVVcdProfile(&owner);
    case TKind::SVcd: return new TAVSVcdProfile(&owner);
    case TKind::Dvd: return new TAVDvdProfile(&owner);
    case TKind::Dv: return new TAVDvProfile(&owner);
    case TKind::Dv50: return new TAVDv50Profile(&owner);
    case TKind::Image: return new TAVImageProfile(&owner);
    }
    RTL_ASSERT(false, "Unknown profile kind");
    return nullptr;
}

void Configure(TAVProfile& profile, const TRow& row) {
    profile.SetDescription(row.description);
    profile.SetCategory(ProfileCategoryNames[static_cast<size_t>(row.category)]);
    if (row.extension) profile.SetExtension(row.extension);
    if (auto* audio = dynamic_cast<TAVCustomAudioProfile*>(&profile)) {
        audio->SetFormat(row.format);
        audio->SetAudioEncoder(row.audio.encoder);
        audio->SetAudioBitrate(row.audio.kbps);
        audio->SetSampleRate(row.audio.sampleRate);
        audio->SetAudioChannels(row.audio.channels);
    }
    if (auto* video = dynamic_cast<TAVCustomVideoProfile*>(&profile)) {
        video->SetVideoEncoder(row.video.encoder);
        video->SetFrameWidth(row.video.width);
        video->SetFrameHeight(row.video.height);
        video->SetVideoBitrate(row.video.kbps);
        video->SetFrameRate(row.video.rate);
    }
    if (auto* target = dynamic_cast<TAVTargetProfile*>(&profile)) target->SetTarget(row.target);
    if (auto* image = dynamic_cast<TAVImageProfile*>(&profile)) image->SetImageType(row.image);
}

} // namespace

void AddBuiltinProfiles(TAVProfileList& list) {
    list.Categories()->Clear();
    for (const char* name : ProfileCategoryNames) list.Categories()->Add(name);
    for (const TRow& row : kBuiltinProfiles) {
        TAVProfile* profile = NewProfile(row.kind, list);
        Configure(*profile, row);
        profile->SetProfileList(&list);
    }
}
