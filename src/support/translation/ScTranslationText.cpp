#include "support/translation/ScTranslationText.h"

#include "support/translation/ScTranslationErrors.h"

namespace {

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(char(c));
    } else if (c < 0x800) {
        out.push_back(char(0xC0 | c >> 6));
        out.push_back(char(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(char(0xE0 | c >> 12));
        out.push_back(char(0x80 | (c >> 6 & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    } else {
        out.push_back(char(0xF0 | c >> 18));
        out.push_back(char(0x80 | (c >> 12 & 0x3F)));
        out.push_back(char(0x80 | (c >> 6 & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    }
}


[[noreturn]] void InvalidSequence() { throw ETranslator("Invalid byte sequence encountered in utf-8 string"); }

} // namespace

std::string TranslationKey(const String& text) {
    std::string key;
    key.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'\r') continue;
        if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            AppendUtf8(key, 0x10000 + (char32_t(c - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else {
            AppendUtf8(key, c);
        }
    }
    return key;
}

String TranslationText(std::string_view utf8) {
    String text;
    text.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        const uint8_t lead = uint8_t(utf8[i]);
        if (lead == '\n' && i > 0 && utf8[i - 1] != '\r') text.push_back(u'\r');
        size_t length;
        char32_t c;
        if (lead < 0x80) length = 1, c = lead;
        else if (lead >= 0xC2 && lead <= 0xDF) length = 2, c = lead & 0x1F;
        else if (lead >= 0xE0 && lead <= 0xEF) length = 3, c = lead & 0x0F;
        else if (lead >= 0xF0 && lead <= 0xF4) length = 4, c = lead & 0x07;
        else InvalidSequence();
        if (i + length > utf8.size()) {
            // A truncated sequence is reported as such only when what is there is sound.
            for (size_t k = i + 1; k < utf8.size(); ++k)
                if ((uint8_t(utf8[k]) & 0xC0) != 0x80) InvalidSequence();
            throw ETranslator("Utf-8 string terminated unexpectedly in the middle of a multibyte sequence");
        }
        for (size_t k = 1; k < length; ++k) {
            const uint8_t next = uint8_t(utf8[i + k]);
            if ((next & 0xC0) != 0x80) InvalidSequence();
            c = c << 6 | (next & 0x3F);
        }
        static constexpr char32_t Smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (c < Smallest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) InvalidSequence();
        if (c >= 0x10000) {
            text.push_back(char16_t(0xD800 + ((c - 0x10000) >> 10)));
            text.push_back(char16_t(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            text.push_back(char16_t(c));
        }
        i += length;
    }
    return text;
}
