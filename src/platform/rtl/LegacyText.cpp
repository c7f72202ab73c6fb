#include "platform/rtl/LegacyText.h"

#include <cstdlib>

namespace {

// The language and region part of a locale name ("zh_TW" of "zh_TW.UTF-8").
std::string_view LanguageOf(std::string_view locale) { return locale.substr(0, locale.find_first_of(".@")); }

const char* UserLocale() {
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"})
        if (const char* value = std::getenv(variable); value && *value) return value;
    return "";
}

bool Encodes(const String& text, int codePage, std::string_view bytes) { return EncodeCodePage(text, codePage) == bytes; }

} // namespace

int LegacyAnsiCodePage() {
    const std::string_view language = LanguageOf(UserLocale());
    if (language.starts_with("zh_TW") || language.starts_with("zh_HK") || language.starts_with("zh_MO")) return 950;
    if (language.starts_with("ja")) return 932;
    if (language.starts_with("ko")) return 949;
    return 936;
}

TDecodedText DecodeLegacyText(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    TDecodedText utf8{String::FromUtf8(bytes), CP_UTF8, true};
    if (Encodes(utf8.Text, CP_UTF8, bytes)) return utf8;
    const int codePage = LegacyAnsiCodePage();
    TDecodedText legacy{DecodeCodePage(bytes, codePage), codePage, true};
    if (Encodes(legacy.Text, codePage, bytes)) return legacy;
    utf8.Exact = false;
    return utf8;
}

std::string EncodeLegacyText(const String& text, int codePage) {
    if (codePage != CP_UTF8) {
        std::string bytes = EncodeCodePage(text, codePage);
        if (DecodeCodePage(bytes, codePage) == text) return bytes;
    }
    return text.ToUtf8();
}
