#pragma once
// Media fixtures made by the engine tests themselves.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/AVLib.h"

// 16-bit little-endian mono PCM samples, a recognisable ramp.
std::vector<uint8_t> MakePcm(int samples);
// A RIFF/WAVE file around Pcm.
std::vector<uint8_t> MakeWav(const std::vector<uint8_t>& pcm, int sampleRate);

// One stream of a generated media file.
struct TTestTrack {
    AVMediaType type = AVMEDIA_TYPE_VIDEO;
    std::string codec;
    int width = 0;
    int height = 0;
    int channels = 0;
    int sampleRate = 0;
    int frameRate = 10;
    // None: the encoder's first.
    AVPixelFormat pixelFormat = AV_PIX_FMT_NONE;
    // Pictures between key frames; 0: the encoder's default.
    int keyFrameInterval = 0;
    // Seconds of nothing before the first picture or sample.
    double start = 0;
    // Picture times in milliseconds, in place of a steady frame rate.
    std::vector<int> pictureTimes;
};
TTestTrack VideoTrack(int width, int height, const std::string& codec = "mpeg4", int frameRate = 10);
TTestTrack AudioTrack(int channels, const std::string& codec = "pcm_s16le", int sampleRate = 8000);

// Encodes Frames tenths of a second of every track (from each track's start),
// interleaved in time, into Path (the container follows the extension;
// ".dvd" is a DVD program stream with each picture's sound beside it),
// through the engine's FFmpeg binding: plain grey pictures, each of the
// brightness TestPictureLuma gives for its index, and a quiet tone. Loads the
// binding. Raises Exception on failure.
int TestPictureLuma(int index);
void WriteTestMedia(const String& path, const std::vector<TTestTrack>& tracks, int frames = 3);

// What a media file holds, read through the engine's binding.
struct TTestStreamInfo {
    AVMediaType type = AVMEDIA_TYPE_UNKNOWN;
    std::string codec;
    int width = 0;
    int height = 0;
    int channels = 0;
    int sampleRate = 0;
    std::string pixelFormat; // FFmpeg's name
    AVRational aspect{0, 1}; // sample aspect ratio
    double frameRate = 0;    // the demuxer's guess, pictures per second
    int packets = 0;
    bool startsWithKeyFrame = false;
    // Presentation times of the packets, seconds, in file order, and which are key frames.
    std::vector<double> times;
    std::vector<bool> keys;
    // Seconds from the earliest packet's start to the latest packet's end.
    double start = 0;
    double end = 0;
    // Audio: seconds of sound the decoder gives (encoder delay and padding trimmed).
    double decoded = 0;
};
struct TTestMediaInfo {
    std::string format;
    std::string brand; // the "major_brand" of ISO media files
    double duration = 0; // seconds, the container's
    std::vector<TTestStreamInfo> streams;
    // The first stream of Type, or null.
    const TTestStreamInfo* Find(AVMediaType type) const;
};
// Raises Exception when the file does not open.
TTestMediaInfo ReadTestMedia(const String& path);
// Average luma of a rectangle of the picture Index of the first video stream.
double TestPictureLuma(const String& path, int index, int x, int y, int width, int height);

// A folder of the running test's own, created on demand; ends with '/'.
String TestFolder();
// The whole content of a file.
std::vector<uint8_t> ReadFileBytes(const String& path);

// A rectangle of a picture, in pixels.
struct TPictureArea {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};
// A decoded picture: its presentation time in seconds, the brightness of its
// centre and the average brightness of each area asked for.
struct TDecodedPicture {
    double time = 0;
    int luma = 0;
    std::vector<double> areas;
};
// Opens Url through OpenInput and decodes every picture of its first video
// stream, which must be in a YUV format. Raises Exception on failure, also
// when an area does not fit a picture.
std::vector<TDecodedPicture> DecodePictures(const String& url, const std::vector<TPictureArea>& areas = {});
