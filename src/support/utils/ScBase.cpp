#include "support/utils/ScBase.h"

#include <cerrno>

#include "platform/rtl/Format.h"

namespace {

inline constexpr TResStringRec SWin32Error{0xF000, u"Win32 error: %s (%u)%s%s"};

} // namespace

EScWin32Error EScWin32Error::CreateRes(const TResStringRec& ident) {
    const uint32_t code = static_cast<uint32_t>(errno);
    return EScWin32Error(code, LoadResString(ident));
}

EScWin32Error::EScWin32Error(uint32_t lastError, const String& resourceText)
    : EScError(String()), lastError_(lastError), lastErrorMsg_(SysErrorMessage(static_cast<int>(lastError))) {
    SetMessage(Format(LoadResString(SWin32Error), {lastErrorMsg_, lastError_, u"\r\n", resourceText}));
}
