#pragma once
// Texts on their way into and out of a catalogue.

#include <string>
#include <string_view>

#include "platform/rtl/String.h"

// The catalogue key of Text: UTF-8 (a surrogate pair as one four-byte
// sequence) without carriage returns.
std::string TranslationKey(const String& text);
// A catalogue text as String: a carriage return goes before every line feed
// that is not the first byte and does not follow one already. Invalid UTF-8
// (also five- and six-byte forms, surrogates and overlong forms) raises
// ETranslator.
String TranslationText(std::string_view utf8);
