#include "platform/win/dataxfer/UriList.h"

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <optional>
#include <string>

namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
               return lower(x) == lower(y);
           });
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Nothing for a malformed escape or a decoded NUL.
std::optional<std::string> PercentDecode(std::string_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '%') {
            if (i + 2 >= text.size()) return std::nullopt;
            const int hi = HexDigit(text[i + 1]), lo = HexDigit(text[i + 2]);
            if (hi < 0 || lo < 0) return std::nullopt;
            c = char(hi * 16 + lo);
            i += 2;
        }
        if (c == '\0') return std::nullopt;
        bytes.push_back(c);
    }
    return bytes;
}

// Whether Bytes are well-formed UTF-8 (no overlongs, surrogates or values past U+10FFFF).
bool IsUtf8(std::string_view bytes) {
    size_t i = 0;
    while (i < bytes.size()) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        size_t extra;
        char32_t value;
        if (b < 0x80) { ++i; continue; }
        if (b >= 0xC2 && b <= 0xDF) { extra = 1; value = b & 0x1F; }
        else if (b >= 0xE0 && b <= 0xEF) { extra = 2; value = b & 0x0F; }
        else if (b >= 0xF0 && b <= 0xF4) { extra = 3; value = b & 0x07; }
        else return false;
        if (bytes.size() - i <= extra) return false;
        for (size_t k = 1; k <= extra; ++k) {
            const auto c = static_cast<unsigned char>(bytes[i + k]);
            if ((c & 0xC0) != 0x80) return false;
            value = value << 6 | (c & 0x3F);
        }
        if ((extra == 2 && (value < 0x800 || (value >= 0xD800 && value <= 0xDFFF))) ||
            (extra == 3 && (value < 0x10000 || value > 0x10FFFF)))
            return false;
        i += extra + 1;
    }
    return true;
}

// The local path of one URI, or nothing.
std::optional<String> LocalPath(std::string_view uri, std::string_view hostName) {
    constexpr std::string_view scheme = "file:";
    if (uri.size() < scheme.size() || !EqualsIgnoringCase(uri.substr(0, scheme.size()), scheme)) return std::nullopt;
    std::string_view rest = uri.substr(scheme.size());
    // A query or fragment is not part of the path.
    rest = rest.substr(0, rest.find_first_of("?#"));
    if (rest.starts_with("//")) {
        rest.remove_prefix(2);
        const size_t slash = rest.find('/');
        if (slash == std::string_view::npos) return std::nullopt;
        const std::string_view host = rest.substr(0, slash);
        if (!host.empty() && !EqualsIgnoringCase(host, "localhost") &&
            (hostName.empty() || !EqualsIgnoringCase(host, hostName)))
            return std::nullopt;
        rest.remove_prefix(slash);
    }
    if (!rest.starts_with('/')) return std::nullopt;
    const auto bytes = PercentDecode(rest);
    if (!bytes || !IsUtf8(*bytes)) return std::nullopt;
    return String::FromUtf8(*bytes);
}

std::string ThisHostName() {
    char name[HOST_NAME_MAX + 1] = {};
    if (gethostname(name, sizeof name - 1) != 0) return {};
    return name;
}

} // namespace

std::vector<String> LocalFilesFromUriList(std::string_view list) { return LocalFilesFromUriList(list, ThisHostName()); }

std::vector<String> LocalFilesFromUriList(std::string_view list, std::string_view hostName) {
    std::vector<String> paths;
    while (!list.empty()) {
        const size_t end = list.find('\n');
        std::string_view line = list.substr(0, end);
        list = end == std::string_view::npos ? std::string_view() : list.substr(end + 1);
        if (line.ends_with('\r')) line.remove_suffix(1);
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
        while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
        if (line.empty() || line.front() == '#') continue;
        if (auto path = LocalPath(line, hostName)) paths.push_back(std::move(*path));
    }
    return paths;
}
