#include "platform/rtl/UserFolders.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/rtl/DataFolder.h"
#include "platform/rtl/Files.h"

namespace {

struct TUserFolderName {
    std::string_view key;
    const char* fallback;
};

constexpr TUserFolderName kNames[] = {
    {"XDG_DESKTOP_DIR", "Desktop"}, {"XDG_DOCUMENTS_DIR", "Documents"}, {"XDG_DOWNLOAD_DIR", "Downloads"},
    {"XDG_MUSIC_DIR", "Music"},     {"XDG_PICTURES_DIR", "Pictures"},   {"XDG_VIDEOS_DIR", "Videos"},
    {"XDG_TEMPLATES_DIR", "Templates"},
};

std::string ReadUserDirs(const String& home) {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const String base = config && config[0] == '/' ? String(config) : home + "/.config";
    std::ifstream in(IncludeTrailingPathDelimiter(base).ToUtf8() + "user-dirs.dirs");
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

} // namespace

String ParseUserFolder(std::string_view userDirs, TUserFolder kind, const String& home) {
    const std::string_view key = kNames[size_t(kind)].key;
    String found;
    while (!userDirs.empty()) {
        const size_t end = userDirs.find('\n');
        std::string_view line = Trim(userDirs.substr(0, end));
        userDirs = end == std::string_view::npos ? std::string_view{} : userDirs.substr(end + 1);
        if (!line.starts_with(key)) continue;
        line = Trim(line.substr(key.size()));
        if (!line.starts_with('=')) continue;
        line = Trim(line.substr(1));
        if (line.size() < 2 || line.front() != '"' || line.back() != '"') continue;
        std::string value(line.substr(1, line.size() - 2));
        // The file's own quoting: a backslash keeps the next character.
        std::string unquoted;
        for (size_t i = 0; i < value.size(); ++i) unquoted += value[i] == '\\' && i + 1 < value.size() ? value[++i] : value[i];
        const bool underHome = unquoted == "$HOME" || unquoted.starts_with("$HOME/");
        if (underHome) found = home + String::FromUtf8(std::string_view(unquoted).substr(5));
        else if (unquoted.starts_with('/')) found = String::FromUtf8(unquoted);
        else continue;
        found = ExcludeTrailingPathDelimiter(found);
    }
    return found;
}

String UserFolder(TUserFolder kind) {
    const String home = HomeFolder();
    const String named = ParseUserFolder(ReadUserDirs(home), kind, home);
    // An entry naming the home folder means the desktop switched the folder off.
    if (!named.IsEmpty() && named != home) return named;
    return home + "/" + kNames[size_t(kind)].fallback;
}
