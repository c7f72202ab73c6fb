#include "platform/win/shell/FileChooser.h"

#include <cstdlib>
#include <cstring>
#include <optional>

namespace {

IFileChooser* registered = nullptr;
std::optional<TFileDialogMode> chosenMode;

TFileDialogMode ModeFromEnvironment() {
    const char* value = std::getenv("OSTREL_FILE_DIALOG");
    return value && std::strcmp(value, "builtin") == 0 ? TFileDialogMode::fdOwnOnly
                                                       : TFileDialogMode::fdDesktopThenOwn;
}

} // namespace

IFileChooser* SetFileChooser(IFileChooser* chooser) {
    IFileChooser* previous = registered;
    registered = chooser;
    return previous;
}

IFileChooser* FileChooser() { return registered; }

TFileDialogMode FileDialogMode() { return chosenMode.value_or(ModeFromEnvironment()); }

void SetFileDialogMode(TFileDialogMode mode) { chosenMode = mode; }
