#include "platform/rtl/CommandLine.h"

namespace {

bool IsSeparator(char16_t c) { return c == u' ' || c == u'\t'; }

} // namespace

std::vector<String> SplitCommandLine(const String& line) {
    std::vector<String> result;
    size_t i = 0;
    const size_t n = line.size();
    while (i < n && IsSeparator(line[i])) ++i;
    if (i == n) return result;

    String program;
    if (line[i] == u'"') {
        size_t close = line.find(u'"', i + 1);
        if (close == String::npos) close = n;
        program = line.substr(i + 1, close - i - 1);
        i = close < n ? close + 1 : n;
    } else {
        size_t end = i;
        while (end < n && !IsSeparator(line[end])) ++end;
        program = line.substr(i, end - i);
        i = end;
    }
    result.push_back(program);

    while (true) {
        while (i < n && IsSeparator(line[i])) ++i;
        if (i == n) break;
        String argument;
        bool quoted = false;
        while (i < n && (quoted || !IsSeparator(line[i]))) {
            if (line[i] == u'\\') {
                size_t backslashes = 0;
                while (i < n && line[i] == u'\\') {
                    ++backslashes;
                    ++i;
                }
                if (i < n && line[i] == u'"') {
                    argument.append(backslashes / 2, u'\\');
                    if (backslashes % 2 == 1) {
                        argument.push_back(u'"');
                        ++i;
                    }
                } else {
                    argument.append(backslashes, u'\\');
                }
            } else if (line[i] == u'"') {
                if (quoted && i + 1 < n && line[i + 1] == u'"') {
                    argument.push_back(u'"');
                    i += 2;
                } else {
                    quoted = !quoted;
                    ++i;
                }
            } else {
                argument.push_back(line[i++]);
            }
        }
        result.push_back(argument);
    }
    return result;
}
