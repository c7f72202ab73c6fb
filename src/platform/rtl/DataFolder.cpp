#include "platform/rtl/DataFolder.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Files.h"

namespace {

String Environment(const char* name) {
    const char* value = std::getenv(name);
    return String(value ? value : "");
}

} // namespace

String HomeFolder() {
    String home = Environment("HOME");
    if (home.IsEmpty()) {
        if (const passwd* pw = getpwuid(getuid())) home = String(pw->pw_dir);
    }
    return ExcludeTrailingPathDelimiter(home);
}

String DataFolder() {
    const String own = Environment("OSTREL_HOME");
    if (!own.IsEmpty()) return ExcludeTrailingPathDelimiter(own);
    String base = Environment("XDG_DATA_HOME");
    if (!base.starts_with(PathDelim)) base = HomeFolder() + "/.local/share";
    return IncludeTrailingPathDelimiter(base) + "ostrel-converter";
}

void EnterDataFolder() {
    const String folder = DataFolder();
    if (!ForceDirectories(folder + "/Config")) RaiseLastOSError(errno, "Cannot create " + folder);
    if (!SetCurrentDir(folder)) RaiseLastOSError(errno, "Cannot enter " + folder);
}

String DefaultOutputFolder() { return HomeFolder() + "/Conversion"; }
