#include "engine/AVLogger.h"

#include <cstdio>

namespace {
// Each thread only ever reads and writes its own entry, so no lock is needed.
thread_local TIntfPtr<IAVLogger> threadLogger;

constexpr int kMaxLine = 1024;
} // namespace

int LogLevelToAV(TAVLogLevel level) {
    const auto ordinal = static_cast<unsigned>(level);
    return ordinal > static_cast<unsigned>(llDebug) ? 48 : static_cast<int>(ordinal) * 8;
}

void RegisterAVLogger(TIntfPtr<IAVLogger> logger) { threadLogger = std::move(logger); }

void UnregisterAVLogger() { threadLogger = nullptr; }

void AVLogCallback(void*, int level, const char* format, va_list args) {
    // A copy, so that a logger that unregisters itself lives until it returns.
    const TIntfPtr<IAVLogger> logger = threadLogger;
    if (!logger) return;
    level &= 0xFF; // the bits above carry a colour hint
    try {
        if (level > logger->GetLevel()) return;
        char line[kMaxLine + 1];
        const int n = std::vsnprintf(line, sizeof line, format, args);
        if (n < 0) return;
        logger->Log(level, String::FromUtf8(std::string_view(line, n < kMaxLine ? n : kMaxLine)));
    } catch (...) {
    }
}
