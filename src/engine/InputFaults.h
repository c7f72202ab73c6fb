#pragma once
// The converter's own words for an input it cannot convert whole, naming the
// file and what is wrong with it. FFmpeg's words for the same failure go to
// the log (the error line of the run), never into the message.

#include "platform/rtl/String.h"

enum class TInputFault {
    Unreadable,  // missing, or the system refuses to read it
    NotMedia,    // no demuxer recognises its content
    CutShort,    // a recognised file that ends early or is damaged
    Unsupported, // a media file whose streams this program cannot read
};

// "Input file <url> ..." for Fault.
String InputFaultMessage(TInputFault fault, const String& url);

// The fault behind FFmpeg's Error when it could not open Url: a missing or
// unreadable file; otherwise a file whose content a demuxer recognises is cut
// short or damaged, anything else is not a media file.
TInputFault OpenFault(int error, const String& url);

// Logs FFmpeg's words for Error about Url at the error level.
void LogInputError(int error, const String& url);
