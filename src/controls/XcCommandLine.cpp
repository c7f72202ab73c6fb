#include "controls/XcCommandLine.h"

#include <vector>

namespace {

char16_t CommandLineCharAt(std::u16string_view line, size_t at) { return at < line.size() ? line[at] : u'\0'; }

bool IsParamChar(char16_t c) { return c > u' '; }

std::vector<String> CommandLineParams(const String& line) {
    std::vector<String> params;
    String param;
    for (size_t at = NextCommandLineParam(line, 0, param); !param.empty(); at = NextCommandLineParam(line, at, param))
        params.push_back(param);
    return params;
}

} // namespace

size_t NextCommandLineParam(std::u16string_view line, size_t from, String& param) {
    size_t at = from;
    for (;;) {
        while (CommandLineCharAt(line, at) != u'\0' && !IsParamChar(CommandLineCharAt(line, at))) ++at;
        if (CommandLineCharAt(line, at) != u'"' || CommandLineCharAt(line, at + 1) != u'"') break;
        at += 2;
    }
    param.clear();
    while (IsParamChar(CommandLineCharAt(line, at))) {
        if (line[at] != u'"') {
            param += line[at++];
            continue;
        }
        const size_t close = line.find_first_of(std::u16string_view(u"\"\0", 2), at + 1);
        const size_t end = close == std::u16string_view::npos ? line.size() : close;
        param += line.substr(at + 1, end - at - 1);
        at = CommandLineCharAt(line, end) == u'"' ? end + 1 : end;
    }
    return at;
}

int CommandLineParamCount(const String& line) {
    const int count = static_cast<int>(CommandLineParams(line).size());
    return count > 0 ? count - 1 : 0;
}

String CommandLineParam(const String& line, int index) {
    String param;
    size_t at = 0;
    for (int i = 0; i <= index; ++i) {
        at = NextCommandLineParam(line, at, param);
        if (param.empty()) break;
    }
    return index < 0 ? String() : param;
}

void SplitProgramAndParams(const String& line, String& program, String& params) {
    const std::vector<String> all = CommandLineParams(line);
    program = all.empty() ? String() : all.front();
    params.clear();
    for (size_t i = 1; i < all.size(); ++i) {
        if (i > 1) params += u' ';
        params += all[i].find(u' ') == String::npos ? all[i] : u"\"" + all[i] + u"\"";
    }
}
