#include "platform/win/shell/ShellExecute.h"

#include <unistd.h>

#include <fstream>
#include <string>

#include "platform/rtl/CommandLine.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/Spawn.h"
#include "platform/win/shell/DesktopServices.h"

namespace {

// What ShellExecuteW answers on success (any value above 32 would do).
constexpr int kStarted = 42;

HINSTANCE Answer(int code) { return reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(code)); }

String Text(LPCWSTR text) { return text ? String(text) : String(); }

bool SameIgnoringCase(const String& a, const char16_t* b) {
    const std::u16string_view other(b);
    if (a.size() != other.size()) return false;
    for (size_t i = 0; i < other.size(); ++i) {
        char16_t c = a.Std()[i];
        if (c >= u'A' && c <= u'Z') c = char16_t(c - u'A' + u'a');
        if (c != other[i]) return false;
    }
    return true;
}

// "scheme:..." with a scheme of two or more letters, digits, '+', '-' or '.'.
bool IsUrl(const String& file) {
    const size_t colon = file.find(u":");
    if (colon == String::npos || colon < 2) return false;
    for (size_t i = 0; i < colon; ++i) {
        const char16_t c = file.Std()[i];
        const bool letter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
        if (!letter && (i == 0 || !((c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.'))) return false;
    }
    return true;
}

// An executable file that the system can start itself: an ELF binary or a
// script naming its interpreter. Documents on file systems that mark every
// file executable are not programs.
bool IsProgram(const String& path) {
    const std::string name = path.ToUtf8();
    if (access(name.c_str(), X_OK) != 0) return false;
    char head[4] = {};
    std::ifstream file(name, std::ios::binary);
    file.read(head, sizeof head);
    const std::string_view start(head, size_t(file.gcount()));
    return start.starts_with("\x7F" "ELF") || start.starts_with("#!");
}

// Parameters as the arguments a command line would give after its program name.
std::vector<String> SplitParameters(const String& parameters) {
    std::vector<String> arguments = SplitCommandLine(u"program " + parameters);
    arguments.erase(arguments.begin());
    return arguments;
}

int Open(const String& target) {
    IDesktopServices* services = DesktopServices();
    return services && services->OpenDocument(target) ? kStarted : SE_ERR_NOASSOC;
}

int Execute(const String& verb, const String& file, const String& parameters, const String& folder) {
    const bool open = verb.IsEmpty() || SameIgnoringCase(verb, u"open");
    const bool explore = SameIgnoringCase(verb, u"explore");
    if (!open && !explore) return SE_ERR_NOASSOC;
    if (file.IsEmpty()) return SE_ERR_FNF;
    if (IsUrl(file)) return open ? Open(file) : SE_ERR_NOASSOC;
    if (!folder.IsEmpty() && !DirectoryExists(folder)) return SE_ERR_PNF;
    const String path = ExpandFileName(file.starts_with(u"/") || folder.IsEmpty()
                                           ? file
                                           : IncludeTrailingPathDelimiter(folder) + file);
    if (DirectoryExists(path)) return Open(path);
    if (!FileExists(path)) return DirectoryExists(ExtractFileDir(path)) ? SE_ERR_FNF : SE_ERR_PNF;
    if (!open) return SE_ERR_NOASSOC;
    if (!IsProgram(path)) return Open(path);
    return Spawn(path, SplitParameters(parameters), folder) ? kStarted : SE_ERR_ACCESSDENIED;
}

} // namespace

HINSTANCE ShellExecuteW(HWND, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR folder, int) {
    return Answer(Execute(Text(verb), Text(file), Text(parameters), Text(folder)));
}
