// The shell entries this layer implements, answered by name as those of
// "shell32", and that module's version information: 6.0, so callers that
// look at the shell's version use every option it offers.

#include "platform/rtl/SystemModules.h"
#include "platform/rtl/VersionBlockWriter.h"
#include "platform/rtl/VersionInfo.h"
#include "platform/win/shell/FileInfo.h"
#include "platform/win/shell/ShellExecute.h"

namespace {

[[maybe_unused]] const bool shell32Registered = [] {
    RegisterSystemModule(u"shell32", {{"ShellExecuteW", SystemEntryAddress(&ShellExecuteW)},
                                      {"SHGetFileInfoW", SystemEntryAddress(&SHGetFileInfoW)}});
    TVersionResourceInfo version;
    version.Version = u"6.0";
    version.FileDescription = u"Shell services";
    version.InternalName = u"shell32";
    version.OriginalFilename = u"shell32.dll";
    RegisterVersionBlock(u"shell32.dll", ProgramVersionBlock(version));
    return true;
}();

} // namespace

// Referenced from the window system's start so this file is always linked.
void LinkShell32Module() {}
