#include "platform/win/shell/UserFolders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace {

// More than any real "user-dirs.dirs" holds; the rest of a bigger file is not read.
constexpr std::streamsize kMaxFileSize = 64 * 1024;

constexpr std::string_view kKeys[] = {"DESKTOP", "DOCUMENTS", "DOWNLOAD", "MUSIC",
                                      "PICTURES", "PUBLICSHARE", "TEMPLATES", "VIDEOS"};

String AbsoluteEnvironmentFolder(const char* name) {
    const char* value = std::getenv(name);
    return value && value[0] == '/' ? String::FromUtf8(value) : String();
}

std::string_view TrimLeft(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    return s;
}

// The quoted value at the start of S, its escapes taken; false when the
// quotes are not closed or something but blanks follows them.
bool QuotedValue(std::string_view s, std::string& value) {
    if (s.empty() || s.front() != '"') return false;
    value.clear();
    size_t i = 1;
    for (; i < s.size() && s[i] != '"'; ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) ++i;
        value += s[i];
    }
    if (i >= s.size()) return false;
    return TrimLeft(s.substr(i + 1)).empty();
}

// Folder/Relative without a trailing '/'.
String Join(const String& folder, const std::string& relative) {
    String result = folder;
    while (!result.empty() && result.back() == u'/') result.pop_back();
    if (!relative.empty()) result += u"/" + String::FromUtf8(relative);
    while (!result.empty() && result.back() == u'/') result.pop_back();
    return result.empty() ? String(u"/") : result;
}

std::string ReadUserDirsFile() {
    std::ifstream file((ConfigHomeFolder() + u"/user-dirs.dirs").ToUtf8(), std::ios::binary);
    if (!file) return {};
    std::string text(size_t(kMaxFileSize), '\0');
    file.read(text.data(), kMaxFileSize);
    text.resize(size_t(file.gcount()));
    return text;
}

} // namespace

String HomeFolder() {
    if (String home = AbsoluteEnvironmentFolder("HOME"); !home.empty()) return home;
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir && entry->pw_dir[0] == '/')
        return String::FromUtf8(entry->pw_dir);
    return u"/";
}

String ConfigHomeFolder() {
    const String folder = AbsoluteEnvironmentFolder("XDG_CONFIG_HOME");
    return folder.empty() ? Join(HomeFolder(), ".config") : folder;
}

String DataHomeFolder() {
    const String folder = AbsoluteEnvironmentFolder("XDG_DATA_HOME");
    return folder.empty() ? Join(HomeFolder(), ".local/share") : folder;
}

String UserFolderFromText(std::string_view text, TUserFolder folder, const String& home) {
    const std::string key = "XDG_" + std::string(kKeys[size_t(folder)]) + "_DIR";
    String result;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = TrimLeft(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!line.starts_with(key)) continue;
        line = TrimLeft(line.substr(key.size()));
        if (line.empty() || line.front() != '=') continue;
        std::string value;
        if (!QuotedValue(TrimLeft(line.substr(1)), value)) continue;
        if (value.starts_with("$HOME") && (value.size() == 5 || value[5] == '/'))
            result = Join(home, value.substr(std::min<size_t>(value.size(), 6)));
        else if (value.starts_with('/'))
            result = Join(u"/", value.substr(1));
        // A later line overrides an earlier one, as the file's readers do.
    }
    return result;
}

String UserFolder(TUserFolder folder) {
    const String home = HomeFolder();
    String result = UserFolderFromText(ReadUserDirsFile(), folder, home);
    if (!result.empty()) return result;
    return folder == TUserFolder::Desktop ? Join(home, "Desktop") : Join(home, "");
}
