#pragma once
// Free-form FFmpeg options of a conversion. Names are looked up in FFmpeg's
// codec and format option tables (child classes included, no object needed):
// a codec option lands in the codec options, a format option in the format
// options, a name known to both in both, an unknown name nowhere.

#include <string>

#include "engine/AVDict.h"

class TStrings;

class TAVOptionState {
public:
    // Demuxer and muxer options.
    TAVDict& FormatOptions() noexcept { return formatOptions_; }
    const TAVDict& CodecOptions() const noexcept { return codecOptions_; }

    // The value of a flags option is appended to an earlier one.
    void SetDefault(const std::string& name, const std::string& value);
    // "name=value" lines; the value is everything after the first '='. Lines
    // without '=' are ignored.
    void Apply(const TStrings& lines);
    void Reset() noexcept;

private:
    TAVDict formatOptions_;
    TAVDict codecOptions_;
};

// The codec options meant for one stream: every entry that is an option of
// the codec context for this direction (encoding or decoding) and media type,
// or a private option of Codec (may be null), and every entry named with the
// media type's letter ('v', 'a', 's') before such an option, stored without it.
// The bit rate "b" is the video rate: audio encoders take "ab" as their "b".
TAVDict StreamCodecOptions(const TAVDict& codecOptions, AVMediaType type, const AVCodec* codec, bool encoder);
