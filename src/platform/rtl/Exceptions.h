#pragma once
// The exception family of the run-time library. Every failure the program
// raises derives from Exception and carries its message as String; what()
// gives the same text in UTF-8.

#include <exception>
#include <string>

#include "platform/rtl/String.h"

class Exception : public std::exception {
public:
    explicit Exception(const String& message) : message_(message), utf8_(message.ToUtf8()) {}
    Exception(const String& message, int helpContext) : Exception(message) { helpContext_ = helpContext; }

    const String& Message() const noexcept { return message_; }
    void SetMessage(const String& message) {
        message_ = message;
        utf8_ = message.ToUtf8();
    }
    int HelpContext() const noexcept { return helpContext_; }
    void SetHelpContext(int value) noexcept { helpContext_ = value; }
    const char* what() const noexcept override { return utf8_.c_str(); }

private:
    String message_;
    std::string utf8_;
    int helpContext_ = 0;
};

#define RTL_DECLARE_EXCEPTION(Name, Base) \
    class Name : public Base {            \
    public:                               \
        using Base::Base;                 \
    }

// Silent exception: stops an operation without an error box.
RTL_DECLARE_EXCEPTION(EAbort, Exception);
RTL_DECLARE_EXCEPTION(EConvertError, Exception);
// A code page without a converter.
RTL_DECLARE_EXCEPTION(EEncodingError, Exception);
RTL_DECLARE_EXCEPTION(EListError, Exception);
RTL_DECLARE_EXCEPTION(EStringListError, Exception);
RTL_DECLARE_EXCEPTION(EStreamError, Exception);
RTL_DECLARE_EXCEPTION(EFilerError, EStreamError);
RTL_DECLARE_EXCEPTION(EReadError, EFilerError);
RTL_DECLARE_EXCEPTION(EWriteError, EFilerError);
RTL_DECLARE_EXCEPTION(EFCreateError, EStreamError);
RTL_DECLARE_EXCEPTION(EFOpenError, EStreamError);
RTL_DECLARE_EXCEPTION(EInOutError, Exception);
RTL_DECLARE_EXCEPTION(EIniFileException, Exception);
RTL_DECLARE_EXCEPTION(EArgumentException, Exception);
RTL_DECLARE_EXCEPTION(EArgumentOutOfRangeException, EArgumentException);
RTL_DECLARE_EXCEPTION(EInvalidOperation, Exception);
RTL_DECLARE_EXCEPTION(EInvalidCast, Exception);
RTL_DECLARE_EXCEPTION(EInvalidPointer, Exception);
RTL_DECLARE_EXCEPTION(ENotSupportedException, Exception);
RTL_DECLARE_EXCEPTION(EOutOfMemory, Exception);
RTL_DECLARE_EXCEPTION(EIntError, Exception);
RTL_DECLARE_EXCEPTION(ERangeError, EIntError);
RTL_DECLARE_EXCEPTION(EIntOverflow, EIntError);
RTL_DECLARE_EXCEPTION(EDivByZero, EIntError);
RTL_DECLARE_EXCEPTION(EMathError, Exception);
RTL_DECLARE_EXCEPTION(EZeroDivide, EMathError);
RTL_DECLARE_EXCEPTION(EOverflow, EMathError);
RTL_DECLARE_EXCEPTION(EVariantError, Exception);
RTL_DECLARE_EXCEPTION(EThread, Exception);
RTL_DECLARE_EXCEPTION(EDynamicLibraryError, Exception);

// An operating-system call failed; ErrorCode is the errno value.
class EOSError : public Exception {
public:
    EOSError(const String& message, int errorCode) : Exception(message), errorCode_(errorCode) {}
    int ErrorCode() const noexcept { return errorCode_; }

private:
    int errorCode_;
};

// A broken internal invariant, naming the source file and line.
class EAssertionFailed : public Exception {
public:
    EAssertionFailed(const String& message, const char* file, int line);
    const String& FileName() const noexcept { return file_; }
    int LineNumber() const noexcept { return line_; }

private:
    String file_;
    int line_;
};

// The system's text for an errno value.
String SysErrorMessage(int errorCode);
// Raises EOSError for errno (or the given code): "System Error.  Code: %d.\n%s".
[[noreturn]] void RaiseLastOSError();
[[noreturn]] void RaiseLastOSError(int errorCode);
[[noreturn]] void RaiseLastOSError(int errorCode, const String& context);
[[noreturn]] void AssertionFailed(const char* message, const char* file, int line);

// RTL_ASSERT(cond) or RTL_ASSERT(cond, "message"): raises EAssertionFailed with
// "<message> (<file>, line <n>)"; the default message is "Assertion failure".
#define RTL_ASSERT_1(cond) RTL_ASSERT_2(cond, "Assertion failure")
#define RTL_ASSERT_2(cond, msg) \
    ((cond) ? static_cast<void>(0) : ::AssertionFailed(msg, __FILE__, __LINE__))
#define RTL_ASSERT_PICK(_1, _2, name, ...) name
#define RTL_ASSERT(...) RTL_ASSERT_PICK(__VA_ARGS__, RTL_ASSERT_2, RTL_ASSERT_1, )(__VA_ARGS__)
