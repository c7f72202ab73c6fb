#pragma once
// The one exception the tree control raises, with the help context that
// tells its causes apart.

#include "platform/rtl/Exceptions.h"

RTL_DECLARE_EXCEPTION(EViewTreeError, Exception);

enum class TTreeError {
    EditLinkIsNil = 2000,
    MoveIntoOwnChild = 2001,
    WrongStreamFormat = 2002,
    UnknownStreamVersion = 2003,
    StreamTooShort = 2004,
    AnchorChunkMissing = 2005,
    DataAfterNodeEnd = 2006,
    ClipboardFailed = 2007,
    UserDataTooSmall = 2008,
};

// The message of an error; its help context is the error's value.
String TreeErrorText(TTreeError error);

[[noreturn]] void RaiseTreeError(const String& message, int helpContext);
[[noreturn]] void RaiseTreeError(TTreeError error);
