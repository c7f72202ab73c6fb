#pragma once
// Routing of FFmpeg log lines to the logger registered for the producing
// thread. Lines from threads without a logger, and lines finer than the
// logger's level, are dropped.

#include <cstdarg>
#include <functional>

#include "platform/rtl/Interfaces.h"
#include "platform/rtl/String.h"
#include "platform/rtl/TypeInfo.h"

enum class TAVLogLevel { llPanic, llFatal, llError, llWarning, llInfo, llVerbose, llDebug };
using enum TAVLogLevel;
RTL_ENUM(TAVLogLevel, llPanic, llFatal, llError, llWarning, llInfo, llVerbose, llDebug);

// FFmpeg's level (0, 8, ... 48) of a user-facing level; ordinals above llDebug give 48.
int LogLevelToAV(TAVLogLevel level);

class IAVLogger : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{436E54B8-2D13-476E-A825-241E3290F8A0}");
    // Called on the thread that produced the line; Level is FFmpeg's.
    virtual void Log(int level, const String& message) = 0;
    // The finest FFmpeg level the logger wants.
    virtual int GetLevel() = 0;
};

// A log line raised by Sender; Level is FFmpeg's.
using TAVLogEvent = std::function<void(TObject* sender, int level, const String& line)>;

// Registers Logger for the calling thread (null removes it); the registry
// holds a counted reference until the thread removes it or ends.
void RegisterAVLogger(TIntfPtr<IAVLogger> logger);
void UnregisterAVLogger();

// Keeps a logger registered for the calling thread while in scope.
class TAVLoggerRegistration {
public:
    explicit TAVLoggerRegistration(TIntfPtr<IAVLogger> logger) { RegisterAVLogger(std::move(logger)); }
    ~TAVLoggerRegistration() { UnregisterAVLogger(); }
    TAVLoggerRegistration(const TAVLoggerRegistration&) = delete;
    TAVLoggerRegistration& operator=(const TAVLoggerRegistration&) = delete;
};

// The callback LoadAVLib installs. A line is cut after 1024 bytes; exceptions
// never reach FFmpeg.
void AVLogCallback(void* context, int level, const char* format, va_list args);
