#include "support/utils/ScBase.h"

#include <dlfcn.h>

#include <cerrno>

#include "platform/rtl/Format.h"
#include "support/utils/SupportUnit.h"

namespace {

// Identifiers 0xF000-0xF00F.
constexpr TResStringRec SWin32Error{0xF000, u"Win32 error: %s (%u)%s%s"};
constexpr TResStringRec SLibraryNotFound{0xF001, u"Library not found: %s"};
constexpr TResStringRec SFunctionNotFound{0xF002, u"Function not found: %s.%s"};

constexpr const TResStringRec* ScBaseStrings[] = {&SWin32Error, &SLibraryNotFound, &SFunctionNotFound};

} // namespace

extern const TSupportUnit ScBaseUnit{u"ScBase", SC_UNIT_VERSION("src/support/utils/ScBase.cpp"), ScBaseStrings};

EScWin32Error EScWin32Error::CreateRes(const TResStringRec& ident) {
    const uint32_t code = static_cast<uint32_t>(errno);
    return EScWin32Error(code, LoadResString(ident));
}

EScWin32Error::EScWin32Error(uint32_t lastError, const String& resourceText)
    : EScError(String()), lastError_(lastError), lastErrorMsg_(SysErrorMessage(static_cast<int>(lastError))) {
    SetMessage(Format(LoadResString(SWin32Error), {lastErrorMsg_, lastError_, u"\r\n", resourceText}));
}

void* ResolveProcedure(const String& moduleName, const String& procName) {
    const std::string module = moduleName.ToUtf8();
    void* handle = dlopen(module.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (!handle) handle = dlopen(module.c_str(), RTLD_NOW);
    if (!handle) throw EScError(Format(LoadResString(SLibraryNotFound), {moduleName}));
    void* proc = dlsym(handle, procName.ToUtf8().c_str());
    if (!proc) throw EScError(Format(LoadResString(SFunctionNotFound), {moduleName, procName}));
    return proc;
}

void MoveChars(const String& source, int fromIndex, String& dest, int toIndex, int count) {
    const auto fits = [count](int index, int length) {
        return index >= 1 && index <= length && count >= 0 && int64_t{index} - 1 + count <= length;
    };
    if (!fits(fromIndex, source.Length()) || !fits(toIndex, dest.Length())) throw ERangeError("Range check error");
    dest.replace(toIndex - 1, count, source.substr(fromIndex - 1, count));
}
