#pragma once
// Character classes of XML 1.0 for every UTF-16 code unit.

#include <cstdint>

#include "platform/rtl/String.h"

namespace xmlchars {

enum : uint8_t {
    BaseChar = 0x01,
    CombiningChar = 0x02,
    Digit = 0x04,
    Ideographic = 0x08,
    Letter = 0x10,
    Extender = 0x20,
    Char = 0x40,
    NameChar = 0x80,
};

uint8_t ClassesOf(char16_t c) noexcept;

}  // namespace xmlchars

inline bool IsXmlLetter(char16_t c) noexcept { return xmlchars::ClassesOf(c) & xmlchars::Letter; }
inline bool IsXmlChar(char16_t c) noexcept { return xmlchars::ClassesOf(c) & xmlchars::Char; }
inline bool IsXmlNameChar(char16_t c) noexcept { return xmlchars::ClassesOf(c) & xmlchars::NameChar; }
inline bool IsXmlNameStart(char16_t c) noexcept { return c == u'_' || c == u':' || IsXmlLetter(c); }
inline bool IsXmlSpace(char16_t c) noexcept { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; }

// S without XML white space at either end.
String TrimXmlSpace(const String& s);
