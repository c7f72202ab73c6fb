#pragma once
// Channel layouts of audio streams whose files name only a channel count (a
// layout without channel order).

#include "engine/AVLib.h"

// Gives a layout without channel order FFmpeg's default order for its channel
// count. False, the layout unchanged, when FFmpeg has no default for the count.
bool OrderByDefault(AVChannelLayout& layout);

// Completes the layouts of an audio input stream and of the first output
// stream it feeds. An input without order takes the output's layout when that
// has one with the same count, else the default for its count; an output
// without order then takes the input's when the counts agree, else the
// default for its count. No default raises Exception "unable to find default
// channel" for the input, "Unable to find default channle layout" for the output.
void CompleteChannelLayouts(AVChannelLayout& input, AVChannelLayout& output);
// The input's half alone: for a stream that feeds no encoder and for decoded frames.
void CompleteInputChannelLayout(AVChannelLayout& input);
