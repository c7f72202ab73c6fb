#pragma once
// The kinds of conversion profiles. The custom audio and video profiles are
// the user-editable ones, stored in "Profiles.ini"; the targets (VCD, SVCD,
// DVD, DV, DV50), the image profile and the x264 preset are fixed.

#include <memory>

#include "engine/AVProfile.h"
#include "engine/ProfileTables.h"
#include "platform/rtl/StringList.h"

class TAVCustomAudioProfile : public TAVProfile {
    RTL_CLASS(TAVCustomAudioProfile, TAVProfile);

public:
    explicit TAVCustomAudioProfile(TComponent* owner) : TAVProfile(owner) {}

    // Hz; 0 keeps the source's.
    int SampleRate() const { return sampleRate_; }
    void SetSampleRate(int value) { sampleRate_ = value; }
    TCustomAudioEncoder AudioEncoder() const { return audioEncoder_; }
    void SetAudioEncoder(TCustomAudioEncoder value) { audioEncoder_ = value; }
    TCustomAudioChannels AudioChannels() const { return audioChannels_; }
    void SetAudioChannels(TCustomAudioChannels value) { audioChannels_ = value; }
    // kbit/s.
    double AudioBitrate() const { return audioBitrate_; }
    void SetAudioBitrate(double value) { audioBitrate_ = value; }
    // F_NONE chooses the container by the output file name.
    TCustomAVFormat Format() const { return format_; }
    void SetFormat(TCustomAVFormat value) { format_ = value; }
    // name=value codec options.
    TStrings* Options() const { return options_.get(); }
    void SetOptions(TStrings* value) { options_->Assign(value); }

    String AudioEncoderName() const;

    // Disables video and subtitles; unless the options copy the audio stream,
    // sets the audio encoder, the container, the audio rate, sample rate and
    // channels, and the codec options of Options.
    bool ApplyToConverter(TAVConverter& converter) const override;

protected:
    void SaveToIni(TCustomIniFile& ini, int index) const override;
    // A missing key, or an ordinal outside its enumeration, keeps the current value.
    void LoadFromIni(const TCustomIniFile& ini, int index) override;

private:
    int sampleRate_ = 0;
    TCustomAudioEncoder audioEncoder_ = TCustomAudioEncoder::AAC;
    TCustomAudioChannels audioChannels_ = TCustomAudioChannels::mono1;
    double audioBitrate_ = 0;
    TCustomAVFormat format_ = TCustomAVFormat::F_NONE;
    std::unique_ptr<TStringList> options_ = std::make_unique<TStringList>();
};

class TAVCustomVideoProfile : public TAVCustomAudioProfile {
    RTL_CLASS(TAVCustomVideoProfile, TAVCustomAudioProfile);

public:
    explicit TAVCustomVideoProfile(TComponent* owner) : TAVCustomAudioProfile(owner) {}

    // 0 keeps the source's.
    int FrameWidth() const { return frameWidth_; }
    void SetFrameWidth(int value) { frameWidth_ = value; }
    int FrameHeight() const { return frameHeight_; }
    void SetFrameHeight(int value) { frameHeight_ = value; }
    TCustomVideoEncoder VideoEncoder() const { return videoEncoder_; }
    void SetVideoEncoder(TCustomVideoEncoder value) { videoEncoder_ = value; }
    TCustomFrameRate FrameRate() const { return frameRate_; }
    void SetFrameRate(TCustomFrameRate value) { frameRate_ = value; }
    // kbit/s.
    int VideoBitrate() const { return videoBitrate_; }
    void SetVideoBitrate(int value) { videoBitrate_ = value; }
    // The converter's pass number: 0 one pass, 1 and 2 the passes of two, 3 both.
    int Pass() const { return pass_; }
    void SetPass(int value) { pass_ = value; }
    TAVAspectRatio FrameAspectRatio() const { return frameAspectRatio_; }
    void SetFrameAspectRatio(TAVAspectRatio value) { frameAspectRatio_ = value; }
    // The first frame-size table row of FrameWidth x FrameHeight; fsOriginal when none.
    TAVFrameSize FrameSize() const { return FrameSizeOf(frameWidth_, frameHeight_); }

    String VideoEncoderName() const;
    // 0 for rOriginal.
    double FrameRateValue() const;

    // The audio profile's settings, then video enabled with the video encoder
    // (one thread for H.263, WMV2, RV20 and FLV; the x264 preset "faster",
    // "mbd"="rd" and "level"="41" for H.264), the frame size, video rate,
    // aspect ratio, pass and frame rate.
    bool ApplyToConverter(TAVConverter& converter) const override;

protected:
    void SaveToIni(TCustomIniFile& ini, int index) const override;
    void LoadFromIni(const TCustomIniFile& ini, int index) override;

private:
    int frameWidth_ = 0;
    int frameHeight_ = 0;
    TCustomVideoEncoder videoEncoder_ = TCustomVideoEncoder::H263;
    TCustomFrameRate frameRate_ = TCustomFrameRate::rOriginal;
    int videoBitrate_ = 0;
    int pass_ = 0;
    TAVAspectRatio frameAspectRatio_ = TAVAspectRatio::AR_NONE;
};

// The disc and camcorder standards, each in PAL, NTSC or film timing.
class TAVTargetProfile : public TAVProfile {
    RTL_CLASS(TAVTargetProfile, TAVProfile);

public:
    explicit TAVTargetProfile(TComponent* owner) : TAVProfile(owner) {}

    TAVTarget Target() const { return target_; }
    void SetTarget(TAVTarget value) { target_ = value; }

private:
    TAVTarget target_ = TAVTarget::pal;
};

class TAVVcdProfile : public TAVTargetProfile {
    RTL_CLASS(TAVVcdProfile, TAVTargetProfile);

public:
    explicit TAVVcdProfile(TComponent* owner);
    bool ApplyToConverter(TAVConverter& converter) const override;
};

class TAVSVcdProfile : public TAVTargetProfile {
    RTL_CLASS(TAVSVcdProfile, TAVTargetProfile);

public:
    explicit TAVSVcdProfile(TComponent* owner);
    bool ApplyToConverter(TAVConverter& converter) const override;
};

class TAVDvdProfile : public TAVTargetProfile {
    RTL_CLASS(TAVDvdProfile, TAVTargetProfile);

public:
    explicit TAVDvdProfile(TComponent* owner);
    bool ApplyToConverter(TAVConverter& converter) const override;
};

class TAVDvProfile : public TAVTargetProfile {
    RTL_CLASS(TAVDvProfile, TAVTargetProfile);

public:
    explicit TAVDvProfile(TComponent* owner);
    bool ApplyToConverter(TAVConverter& converter) const override;
};

// DV at 50 Mbit/s: the DV settings with 4:2:2 pictures.
class TAVDv50Profile : public TAVTargetProfile {
    RTL_CLASS(TAVDv50Profile, TAVTargetProfile);

public:
    explicit TAVDv50Profile(TComponent* owner);
    bool ApplyToConverter(TAVConverter& converter) const override;
};

// Pictures, one file per frame, or an animated GIF: the container follows
// from the output name, so a sequence's extension carries the frame number
// pattern ("-%05d.jpg").
class TAVImageProfile : public TAVProfile {
    RTL_CLASS(TAVImageProfile, TAVProfile);

public:
    explicit TAVImageProfile(TComponent* owner);

    TAVImageType ImageType() const { return imageType_; }
    void SetImageType(TAVImageType value) { imageType_ = value; }

    // One thread.
    bool ApplyToConverter(TAVConverter& converter) const override;

private:
    TAVImageType imageType_ = TAVImageType::bitmap;
};

class TAVX264Profile : public TAVProfile {
    RTL_CLASS(TAVX264Profile, TAVProfile);

public:
    explicit TAVX264Profile(TComponent* owner);

    // Published as "preset".
    TPreset Preset() const { return preset_; }
    void SetPreset(TPreset value) { preset_ = value; }

    // The codec option "preset".
    bool ApplyToConverter(TAVConverter& converter) const override;

private:
    TPreset preset_ = TPreset::medium;
};
