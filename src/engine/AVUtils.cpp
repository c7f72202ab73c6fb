#include "engine/AVUtils.h"

#include <cstdio>
#include <mutex>

#include "platform/rtl/Threads.h"

namespace {

constexpr int Fix(double x) { return static_cast<int>(x * 1024 + 0.5); }

std::mutex errorHandlerMutex;
std::function<void(const String&)> errorHandler;

} // namespace

String FormatHMS(int64_t seconds) {
    const int64_t minutesTotal = seconds / 60;
    return String(std::to_string(minutesTotal / 60) + ":" + std::to_string(minutesTotal % 60) + ":" +
                  std::to_string(seconds % 60));
}

uint32_t SwapRB(uint32_t color) {
    return ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
}

int RgbToYCcir(int r, int g, int b) {
    return (Fix(0.299 * 219 / 255) * r + Fix(0.587 * 219 / 255) * g + Fix(0.114 * 219 / 255) * b + 16896) >> 10;
}

int RgbToUCcir(int r, int g, int b, int shift) {
    return ShiftRightSigned(-Fix(0.16874 * 224 / 255) * r - Fix(0.33126 * 224 / 255) * g +
                                Fix(0.5 * 224 / 255) * b + (512 << shift) - 1,
                            10 + shift) +
           128;
}

int RgbToVCcir(int r, int g, int b, int shift) {
    return ShiftRightSigned(Fix(0.5 * 224 / 255) * r - Fix(0.41869 * 224 / 255) * g -
                                Fix(0.08131 * 224 / 255) * b + (512 << shift) - 1,
                            10 + shift) +
           128;
}

int64_t AVIOPosition(AVIOContext* context) { return avlib::avio_seek(context, 0, SEEK_CUR); }

int MatchStreamSpecifier(AVFormatContext* context, AVStream* stream, const String& specifier) {
    return avlib::avformat_match_stream_specifier(context, stream, specifier.ToUtf8().c_str());
}

void ShowAVError(const String& text) {
    TThread::Synchronize(nullptr, [&text] {
        std::function<void(const String&)> handler;
        {
            std::lock_guard lock(errorHandlerMutex);
            handler = errorHandler;
        }
        if (handler)
            handler(text);
        else
            std::fprintf(stderr, "Error: %s\n", text.ToUtf8().c_str());
    });
}

void SetAVErrorHandler(std::function<void(const String&)> handler) {
    std::lock_guard lock(errorHandlerMutex);
    errorHandler = std::move(handler);
}
