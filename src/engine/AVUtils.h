#pragma once
// Small helpers shared by the engine, the preview and the application.
// FFmpeg's own header inlines (av_cmp_q, av_q2d, av_inv_q, av_clip, MKTAG,
// FFERRTAG, AVERROR, FFALIGN) are used as they are.

#include <cstdint>
#include <functional>

#include "engine/AVLib.h"

// The microsecond time base.
inline constexpr AVRational kAVTimeBaseQ{1, AV_TIME_BASE};

// "%d:%d:%d" of hours, minutes and seconds; hours do not wrap.
String FormatHMS(int64_t seconds);
// Exchanges the lowest and the third byte and clears the top byte.
uint32_t SwapRB(uint32_t color);

// Arithmetic (sign-keeping) right shift.
constexpr int32_t ShiftRightSigned(int32_t value, int shift) { return value >> shift; }
// BT.601 studio-range conversion in 10-bit fixed point. U and V take sums of
// 2^Shift samples.
int RgbToYCcir(int r, int g, int b);
int RgbToUCcir(int r, int g, int b, int shift);
int RgbToVCcir(int r, int g, int b, int shift);

// Current position of an I/O context.
int64_t AVIOPosition(AVIOContext* context);
// > 0 the stream matches, 0 it does not, < 0 the specifier is invalid.
int MatchStreamSpecifier(AVFormatContext* context, AVStream* stream, const String& specifier);

// Reports an engine error to the user (caption "Error"). The application
// installs the message box; until then the text goes to standard error. The
// report always runs on the main thread: another thread waits for it there.
void ShowAVError(const String& text);
void SetAVErrorHandler(std::function<void(const String&)> handler);
