#pragma once
// In-process streams handed to FFmpeg by URL. A stream registered here is
// named "stream:<id>" (anything after the number is ignored); OpenInput reads
// it through a custom I/O context. The registry does not keep a stream alive:
// its owner does, and an open input holds it while open.

#include <memory>

#include "engine/AVDict.h"
#include "engine/AVLib.h"
#include "platform/rtl/Stream.h"

// Implemented by a registered stream whose bytes carry no header to probe
// (raw frames): the demuxer that reads them and its options, which OpenInput
// uses in place of the format and the same options the caller gives.
class IRawInput {
public:
    virtual ~IRawInput() = default;
    virtual const char* DemuxerName() const = 0;
    virtual void DemuxerOptions(TAVDict& options) const = 0;
};

// Returns the id under which Stream can be found until it is unregistered or dies.
int RegisterStream(std::shared_ptr<TStream> stream);
void UnregisterStream(int id);
// "stream:<id>"
String StreamURL(int id);
// The live stream a "stream:" URL names, or null.
std::shared_ptr<TStream> StreamFromURL(const String& url);

// avformat_open_input for a file name (passed in UTF-8) or a "stream:" URL.
// Returns FFmpeg's result; a URL naming no live stream gives AVERROR(ENOENT).
// A stream that names its demuxer (IRawInput) is opened with that demuxer
// and its options.
// On failure *Context is null. Close with CloseInput.
int OpenInput(AVFormatContext** context, const String& url, const AVInputFormat* format,
              AVDictionary** options);
// Closes an input opened by OpenInput and sets *Context to null.
void CloseInput(AVFormatContext** context);
