#include "platform/rtl/Exceptions.h"

#include <cerrno>
#include <cstring>

namespace {
String BaseName(const char* path) {
    const char* slash = std::strrchr(path, '/');
    return String(slash ? slash + 1 : path);
}
} // namespace

EAssertionFailed::EAssertionFailed(const String& message, const char* file, int line)
    : Exception(message + " (" + BaseName(file) + ", line " + String(std::to_string(line)) + ")"),
      file_(BaseName(file)),
      line_(line) {}

String SysErrorMessage(int errorCode) {
    char buf[256];
    // GNU strerror_r returns the message pointer, which may not be buf.
    return String(strerror_r(errorCode, buf, sizeof buf));
}

void RaiseLastOSError() { RaiseLastOSError(errno); }

void RaiseLastOSError(int errorCode) {
    throw EOSError("System Error.  Code: " + String(std::to_string(errorCode)) + ".\n" + SysErrorMessage(errorCode),
                   errorCode);
}

void RaiseLastOSError(int errorCode, const String& context) {
    throw EOSError(context + ": " + SysErrorMessage(errorCode) + " (" + String(std::to_string(errorCode)) + ")",
                   errorCode);
}

void AssertionFailed(const char* message, const char* file, int line) {
    throw EAssertionFailed(String(message), file, line);
}
