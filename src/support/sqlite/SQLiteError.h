#pragma once
// Failures of the SQLite layer: SQLite's message and result code, or -1 for
// the layer's own checks.

#include "platform/rtl/Exceptions.h"

class ESQLiteError : public Exception {
public:
    explicit ESQLiteError(const String& message, int code = -1) : Exception(message), code_(code) {}
    int ErrorCode() const noexcept { return code_; }

private:
    int code_;
};
