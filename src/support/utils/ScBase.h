#pragma once
// The support library's exception family.

#include <cstdint>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ResourceStrings.h"

RTL_DECLARE_EXCEPTION(EScError, Exception);
RTL_DECLARE_EXCEPTION(EScInternalError, EScError);

// A system call failed: carries the call's error number and its system text.
class EScWin32Error : public EScError {
public:
    // Captures errno at once; the message is "Win32 error: <text> (<code>)"
    // CR LF <the resource text>.
    static EScWin32Error CreateRes(const TResStringRec& ident);
    // The same for a known error number.
    EScWin32Error(uint32_t lastError, const String& resourceText);

    uint32_t LastError() const noexcept { return lastError_; }
    const String& LastErrorMsg() const noexcept { return lastErrorMsg_; }

private:
    uint32_t lastError_;
    String lastErrorMsg_;
};

// Derived errors that are raised through CreateRes declare themselves with this.
#define SC_DECLARE_WIN32_ERROR(Name)                                                     \
    class Name : public EScWin32Error {                                                  \
    public:                                                                              \
        using EScWin32Error::EScWin32Error;                                              \
        static Name CreateRes(const TResStringRec& ident) {                              \
            return Name(EScWin32Error::CreateRes(ident));                                \
        }                                                                                \
                                                                                         \
    private:                                                                             \
        explicit Name(const EScWin32Error& error) : EScWin32Error(error) {}              \
    }
