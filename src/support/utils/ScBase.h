#pragma once
// The base layer of the support library: its exception family, the late
// binding of exported functions and the character helpers the other units share.

#include <cstdint>
#include <type_traits>

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

// The address of ProcName exported by ModuleName. A module already loaded is
// used as it is, another one is loaded and stays loaded for the life of the
// process. Raises EScError "Library not found: %s" or "Function not found: %s.%s".
void* ResolveProcedure(const String& moduleName, const String& procName);

// Late binding: sets Proc on its first call; once set, returns at once.
template <class Fn>
    requires std::is_function_v<Fn>
void BindProcedure(Fn*& proc, const String& moduleName, const String& procName) {
    if (proc) return;
    proc = reinterpret_cast<Fn*>(ResolveProcedure(moduleName, procName));
}

// The character that stands for one the system code page cannot hold. The
// code page is UTF-8, which holds every character; texts converted to narrower
// code pages get '?' (see EncodeCodePage).
inline constexpr char AnsiReplacementChar = '?';

// Copies Count characters from position FromIndex of Source to position ToIndex
// of Dest (1-based). Both starts must lie inside their strings and Count must
// fit both from there; otherwise raises ERangeError and leaves Dest unchanged.
// Source and Dest may be the same string.
void MoveChars(const String& source, int fromIndex, String& dest, int toIndex, int count);
