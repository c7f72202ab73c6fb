#pragma once
// Replacing a whole file so that a reader sees either its old or its new
// contents: the bytes go to a temporary file in the target's folder, every
// write is checked, the file is flushed to disk and renamed over the target,
// and the folder is flushed. The target's mode is kept; a symbolic link is
// kept and the file it points to is replaced. On failure the temporary file is
// removed and the target is unchanged.
//
// The temporary file is "<target>.tmp<pid>-<n>". A writer that dies before the
// rename leaves it behind; the next successful write of the same target removes
// such files of processes that no longer run (and of this process, when none
// of its writers holds them).

#include <optional>
#include <string_view>

#include "platform/rtl/String.h"

struct TAtomicWriteFailure {
    // The temporary file could not be created (otherwise writing, flushing or renaming failed).
    bool creating;
    // The errno value.
    int error;
};

std::optional<TAtomicWriteFailure> TryWriteFileAtomically(const String& fileName, std::string_view bytes);

// Raises EFCreateError "Cannot create file \"%s\". <system text>" or
// EWriteError "Cannot write file \"%s\". <system text>".
void WriteFileAtomically(const String& fileName, std::string_view bytes);
