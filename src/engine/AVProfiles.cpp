#include "engine/AVProfiles.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

#include "engine/AVConverter.h"
#include "platform/rtl/ClassInfo.h"
#include "platform/rtl/Conversions.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/UnitRegistry.h"

RTL_PUBLISHED(TAVCustomAudioProfile, c) {
    using T = TAVCustomAudioProfile;
    c.Property("SampleRate", &T::SampleRate, &T::SetSampleRate);
    c.Property("AudioEncoder", &T::AudioEncoder, &T::SetAudioEncoder);
    c.Property("AudioChannels", &T::AudioChannels, &T::SetAudioChannels);
    c.Property("AudioBitrate", &T::AudioBitrate, &T::SetAudioBitrate);
    c.Property("Format", &T::Format, &T::SetFormat);
    c.Property("Options", &T::Options, &T::SetOptions);
}

RTL_PUBLISHED(TAVCustomVideoProfile, c) {
    using T = TAVCustomVideoProfile;
    c.Property("FrameWidth", &T::FrameWidth, &T::SetFrameWidth);
    c.Property("FrameHeight", &T::FrameHeight, &T::SetFrameHeight);
    c.Property("VideoEncoder", &T::VideoEncoder, &T::SetVideoEncoder);
    c.Property("FrameRate", &T::FrameRate, &T::SetFrameRate);
    c.Property("VideoBitrate", &T::VideoBitrate, &T::SetVideoBitrate);
    c.Property("Pass", &T::Pass, &T::SetPass).Default(1);
    c.Property("FrameAspectRatio", &T::FrameAspectRatio, &T::SetFrameAspectRatio);
    c.Property("FrameSize", &T::FrameSize);
}

RTL_PUBLISHED(TAVTargetProfile, c) {
    c.Property("Target", &TAVTargetProfile::Target, &TAVTargetProfile::SetTarget).Default(TAVTarget::pal);
}

RTL_PUBLISHED_NONE(TAVVcdProfile);
RTL_PUBLISHED_NONE(TAVSVcdProfile);
RTL_PUBLISHED_NONE(TAVDvdProfile);
RTL_PUBLISHED_NONE(TAVDvProfile);
RTL_PUBLISHED_NONE(TAVDv50Profile);

RTL_PUBLISHED(TAVImageProfile, c) {
    c.Property("ImageType", &TAVImageProfile::ImageType, &TAVImageProfile::SetImageType)
        .Default(TAVImageType::bitmap);
}

RTL_PUBLISHED(TAVX264Profile, c) {
    c.Property("preset", &TAVX264Profile::Preset, &TAVX264Profile::SetPreset);
}

namespace {

// FFmpeg's names, by ordinal. Debian's FFmpeg has no AMR-NB encoder: a
// profile that asks for it fails when the conversion opens.
constexpr std::array<const char*, kValueCount<TCustomAudioEncoder::AMR_NB>> kAudioCodecs{
    "aac", "wmav2", "ac3", "mp2", "libmp3lame", "pcm_s16le", "real_144", "libopencore_amrnb"};
constexpr std::array<const char*, kValueCount<TCustomVideoEncoder::FLV>> kVideoCodecs{
    "h263", "libx264", "mpeg4", "wmv2", "mpeg2video", "msmpeg4", "rv20", "libxvid", "flv"};
// F_NONE leaves the output format as it is.
constexpr std::array<const char*, kValueCount<TCustomAVFormat::F_MKV>> kMuxers{
    "", "rm", "mp4", "asf", "avi", "3gp", "3g2", "flv", "mov", "psp", "ipod", "svcd", "vcd", "vob", "dvd", "webm",
    "ac3", "matroska"};

template <class E, size_t N>
const char* NameOf(const std::array<const char*, N>& names, E value) {
    const auto ordinal = static_cast<size_t>(value);
    RTL_ASSERT(ordinal < N, "Ordinal outside its enumeration");
    return names[ordinal];
}

// Kbit/s as bit/s, within the range of the options' integers.
int BitsPerSecond(double kbps) {
    const double bits = std::round(kbps * 1000);
    if (!(bits > 0)) return 0;
    return bits >= std::numeric_limits<int>::max() ? std::numeric_limits<int>::max() : static_cast<int>(bits);
}

void SetOptionsFrameRate(TAVConvertOptions& options, TFrameRateValue rate) {
    TRational value;
    value.SetNum(rate.num);
    value.SetDen(rate.den);
    options.VideoOptions()->SetFrameRate(&value);
}

TFrameRateValue TargetRate(TAVTarget target) {
    const auto ordinal = static_cast<size_t>(target);
    RTL_ASSERT(ordinal < TargetFrameRates.size(), "Invalid target");
    return TargetFrameRates[ordinal];
}

// An ordinal key of the profile at Index; a missing or unknown value keeps Current.
template <class E>
E ReadOrdinal(const TCustomIniFile& ini, const char* name, int index, E current) {
    const int value = ini.ReadInteger(kProfileSection, ProfileKey(name, index), static_cast<int>(current));
    const TTypeInfo* type = TypeInfo<E>();
    return value >= type->MinValue && value <= type->MaxValue ? static_cast<E>(value) : current;
}

template <class E>
void WriteOrdinal(TCustomIniFile& ini, const char* name, int index, E value) {
    ini.WriteInteger(kProfileSection, ProfileKey(name, index), static_cast<int>(value));
}

// The VCD, SVCD and DVD standards.
struct TDiscStandard {
    const char* videoCodec;
    const char* audioCodec;
    const char* format;
    int width;
    int palHeight;
    int ntscHeight; // NTSC and film
    int videoBitrate;
    int audioBitrate;
    std::array<std::pair<const char*, const char*>, 5> codecOptions;
    int sampleRate;
};

constexpr TDiscStandard kVcd{"mpeg1video", "mp2", "vcd", 352, 288, 240, 1150000, 224000,
                             {{{"maxrate", "1150000"}, {"minrate", "1150000"}, {"bufsize", "327680"},
                               {"packetsize", "2324"}, {"muxrate", "1411200"}}},
                             44100};
constexpr TDiscStandard kSvcd{"mpeg2video", "mp2", "svcd", 480, 576, 480, 2040000, 224000,
                              {{{"maxrate", "2516000"}, {"minrate", "0"}, {"bufsize", "1835008"},
                                {"scan_offset", "1"}, {"packetsize", "2324"}}},
                              44100};
constexpr TDiscStandard kDvd{"mpeg2video", "ac3", "dvd", 720, 576, 480, 6000000, 448000,
                             {{{"maxrate", "9000000"}, {"minrate", "0"}, {"bufsize", "1835008"},
                               {"packetsize", "2048"}, {"muxrate", "10080000"}}},
                             48000};

void ApplyDisc(const TDiscStandard& standard, TAVTarget target, TAVConvertOptions& options) {
    const TFrameRateValue rate = TargetRate(target);
    TVideoOptions& video = *options.VideoOptions();
    TAudioOptions& audio = *options.AudioOptions();
    video.SetVideoCodecName(standard.videoCodec);
    video.SetPixelFormat(AV_PIX_FMT_YUV420P); // the discs' sampling
    audio.SetAudioCodecName(standard.audioCodec);
    options.SetOutputFormat(standard.format);
    video.SetFrameWidth(standard.width);
    video.SetFrameHeight(target == TAVTarget::pal ? standard.palHeight : standard.ntscHeight);
    options.CodecOptions()->Add(target == TAVTarget::pal ? "g=15" : "g=18");
    video.SetBitrate(standard.videoBitrate);
    audio.SetBitrate(standard.audioBitrate);
    for (const auto& [name, value] : standard.codecOptions) options.SetCodecOption(name, value);
    audio.SetAudioSampleRate(standard.sampleRate);
    SetOptionsFrameRate(options, rate);
}

void ApplyDv(TAVTarget target, TAVConvertOptions& options) {
    const TFrameRateValue rate = TargetRate(target);
    TVideoOptions& video = *options.VideoOptions();
    options.SetOutputFormat("dv");
    video.SetFrameWidth(720);
    video.SetFrameHeight(target == TAVTarget::pal ? 576 : 480);
    video.SetPixelFormat(target == TAVTarget::pal ? AV_PIX_FMT_YUV420P : AV_PIX_FMT_YUV411P);
    options.AudioOptions()->SetAudioSampleRate(48000);
    options.AudioOptions()->SetAudioChannels(2);
    SetOptionsFrameRate(options, rate);
}

} // namespace

// --- TAVCustomAudioProfile ---

String TAVCustomAudioProfile::AudioEncoderName() const { return NameOf(AudioEncoderNames, audioEncoder_); }

bool TAVCustomAudioProfile::ApplyToConverter(TAVConverter& converter) const {
    TAVConvertOptions& options = *converter.ConvertOptions();
    TAudioOptions& audio = *options.AudioOptions();
    options.VideoOptions()->SetVideoDisable(true);
    options.SubtitleOptions()->SetSubtitleDisable(true);
    if (audio.AudioStreamCopy()) return true;
    audio.SetAudioCodecName(NameOf(kAudioCodecs, audioEncoder_));
    if (format_ != TCustomAVFormat::F_NONE) options.SetOutputFormat(NameOf(kMuxers, format_));
    audio.SetBitrate(BitsPerSecond(audioBitrate_));
    audio.SetAudioSampleRate(sampleRate_);
    audio.SetAudioChannels(audioChannels_ == TCustomAudioChannels::mono1 ? 1 : 2);
    for (int i = 0; i < options_->Count(); ++i)
        if (const String name = options_->Names(i); !name.empty())
            options.SetCodecOption(name, options_->ValueFromIndex(i));
    return true;
}

void TAVCustomAudioProfile::SaveToIni(TCustomIniFile& ini, int index) const {
    TAVProfile::SaveToIni(ini, index);
    ini.WriteBool(kProfileSection, ProfileKey("IsVideo", index), false);
    ini.WriteInteger(kProfileSection, ProfileKey("SampleRate", index), sampleRate_);
    WriteOrdinal(ini, "AudioEncoder", index, audioEncoder_);
    WriteOrdinal(ini, "AudioChannels", index, audioChannels_);
    ini.WriteFloat(kProfileSection, ProfileKey("AudioBitrate", index), audioBitrate_);
    WriteOrdinal(ini, "Format", index, format_);
    ini.WriteString(kProfileSection, ProfileKey("Options", index), options_->CommaText());
}

void TAVCustomAudioProfile::LoadFromIni(const TCustomIniFile& ini, int index) {
    TAVProfile::LoadFromIni(ini, index);
    sampleRate_ = ini.ReadInteger(kProfileSection, ProfileKey("SampleRate", index), sampleRate_);
    audioEncoder_ = ReadOrdinal(ini, "AudioEncoder", index, audioEncoder_);
    audioChannels_ = ReadOrdinal(ini, "AudioChannels", index, audioChannels_);
    audioBitrate_ = ini.ReadFloat(kProfileSection, ProfileKey("AudioBitrate", index), audioBitrate_);
    format_ = ReadOrdinal(ini, "Format", index, format_);
    options_->SetCommaText(ini.ReadString(kProfileSection, ProfileKey("Options", index), options_->CommaText()));
}

// --- TAVCustomVideoProfile ---

String TAVCustomVideoProfile::VideoEncoderName() const { return NameOf(VideoEncoderNames, videoEncoder_); }

double TAVCustomVideoProfile::FrameRateValue() const {
    return StrToFloatDef(NameOf(FrameRateNames, frameRate_), 0, TFormatSettings::Invariant());
}

bool TAVCustomVideoProfile::ApplyToConverter(TAVConverter& converter) const {
    const bool result = TAVCustomAudioProfile::ApplyToConverter(converter);
    TAVConvertOptions& options = *converter.ConvertOptions();
    TVideoOptions& video = *options.VideoOptions();
    video.SetVideoDisable(false);
    video.SetVideoCodecName(NameOf(kVideoCodecs, videoEncoder_));
    // What players and devices decode, whatever the source's sampling; even sizes follow from it.
    video.SetPixelFormat(AV_PIX_FMT_YUV420P);
    switch (videoEncoder_) {
    case TCustomVideoEncoder::H263:
    case TCustomVideoEncoder::WMV2:
    case TCustomVideoEncoder::RV20:
    case TCustomVideoEncoder::FLV: options.SetThreadCount(1); break;
    case TCustomVideoEncoder::H264: {
        TAVX264Profile x264(nullptr);
        x264.SetPreset(TPreset::faster);
        x264.ApplyToConverter(converter);
        options.SetCodecOption("mbd", "rd");
        options.SetCodecOption("level", "41");
        break;
    }
    default: break;
    }
    if (frameWidth_ > 0) video.SetFrameWidth(frameWidth_);
    if (frameHeight_ > 0) video.SetFrameHeight(frameHeight_);
    video.SetBitrate(BitsPerSecond(videoBitrate_));
    if (frameAspectRatio_ == TAVAspectRatio::AR4_3) video.SetFrameAspectRatio(4.0f / 3.0f);
    video.SetPass(pass_);
    if (frameRate_ != TCustomFrameRate::rOriginal) {
        const auto ordinal = static_cast<size_t>(frameRate_);
        RTL_ASSERT(ordinal < FrameRates.size(), "Ordinal outside its enumeration");
        SetOptionsFrameRate(options, FrameRates[ordinal]);
    }
    return result;
}

void TAVCustomVideoProfile::SaveToIni(TCustomIniFile& ini, int index) const {
    TAVCustomAudioProfile::SaveToIni(ini, index);
    ini.WriteBool(kProfileSection, ProfileKey("IsVideo", index), true);
    ini.WriteInteger(kProfileSection, ProfileKey("FrameWidth", index), frameWidth_);
    ini.WriteInteger(kProfileSection, ProfileKey("FrameHeight", index), frameHeight_);
    WriteOrdinal(ini, "VideoEncoder", index, videoEncoder_);
    WriteOrdinal(ini, "FrameRate", index, frameRate_);
    ini.WriteInteger(kProfileSection, ProfileKey("VideoBitrate", index), videoBitrate_);
}

void TAVCustomVideoProfile::LoadFromIni(const TCustomIniFile& ini, int index) {
    TAVCustomAudioProfile::LoadFromIni(ini, index);
    frameWidth_ = ini.ReadInteger(kProfileSection, ProfileKey("FrameWidth", index), frameWidth_);
    frameHeight_ = ini.ReadInteger(kProfileSection, ProfileKey("FrameHeight", index), frameHeight_);
    videoEncoder_ = ReadOrdinal(ini, "VideoEncoder", index, videoEncoder_);
    frameRate_ = ReadOrdinal(ini, "FrameRate", index, frameRate_);
    videoBitrate_ = ini.ReadInteger(kProfileSection, ProfileKey("VideoBitrate", index), videoBitrate_);
}

// --- Targets ---

TAVVcdProfile::TAVVcdProfile(TComponent* owner) : TAVTargetProfile(owner) {
    SetDescription("VCD");
    SetExtension(".mpg");
}

bool TAVVcdProfile::ApplyToConverter(TAVConverter& converter) const {
    TAVConvertOptions& options = *converter.ConvertOptions();
    ApplyDisc(kVcd, Target(), options);
    options.AudioOptions()->SetAudioChannels(2);
    options.MuxerOptions()->SetMuxPreload(0.44f);
    return true;
}

TAVSVcdProfile::TAVSVcdProfile(TComponent* owner) : TAVTargetProfile(owner) {
    SetDescription("SVCD");
    SetExtension(".mpg");
}

bool TAVSVcdProfile::ApplyToConverter(TAVConverter& converter) const {
    ApplyDisc(kSvcd, Target(), *converter.ConvertOptions());
    return true;
}

TAVDvdProfile::TAVDvdProfile(TComponent* owner) : TAVTargetProfile(owner) {
    SetDescription("DVD");
    SetExtension(".vob");
}

bool TAVDvdProfile::ApplyToConverter(TAVConverter& converter) const {
    ApplyDisc(kDvd, Target(), *converter.ConvertOptions());
    return true;
}

TAVDvProfile::TAVDvProfile(TComponent* owner) : TAVTargetProfile(owner) {
    SetDescription("DV");
    SetExtension(".dv");
}

bool TAVDvProfile::ApplyToConverter(TAVConverter& converter) const {
    ApplyDv(Target(), *converter.ConvertOptions());
    return true;
}

TAVDv50Profile::TAVDv50Profile(TComponent* owner) : TAVTargetProfile(owner) {
    SetDescription("DV50");
    SetExtension(".dv");
}

bool TAVDv50Profile::ApplyToConverter(TAVConverter& converter) const {
    TAVConvertOptions& options = *converter.ConvertOptions();
    ApplyDv(Target(), options);
    options.VideoOptions()->SetPixelFormat(AV_PIX_FMT_YUV422P);
    return true;
}

// --- TAVImageProfile ---

TAVImageProfile::TAVImageProfile(TComponent* owner) : TAVProfile(owner) { SetDescription("Image Sequence Profile"); }

bool TAVImageProfile::ApplyToConverter(TAVConverter& converter) const {
    converter.ConvertOptions()->SetThreadCount(1);
    return true;
}

// --- TAVX264Profile ---

TAVX264Profile::TAVX264Profile(TComponent* owner) : TAVProfile(owner) {
    SetDescription("H264 Profile");
    SetExtension(".mp4");
}

bool TAVX264Profile::ApplyToConverter(TAVConverter& converter) const {
    converter.ConvertOptions()->SetCodecOption("preset", EnumName(preset_));
    return true;
}

namespace {
std::array<TClass, 8> StreamableProfiles() {
    return {TAVVcdProfile::StaticClass(),   TAVSVcdProfile::StaticClass(),         TAVDvdProfile::StaticClass(),
            TAVDvProfile::StaticClass(),    TAVDv50Profile::StaticClass(),         TAVImageProfile::StaticClass(),
            TAVCustomAudioProfile::StaticClass(), TAVCustomVideoProfile::StaticClass()};
}

const bool avProfilesRegistered = (RegisterUnit(
                                 "AVProfiles",
                                 [] {
                                     for (TClass cls : StreamableProfiles()) RegisterClass(cls);
                                 },
                                 [] {
                                     for (TClass cls : StreamableProfiles()) UnRegisterClass(cls);
                                 }),
                             true);
} // namespace
