#pragma once
// Our UTF-16 strings and Qt's, converted unit for unit.

#include <QString>

#include "platform/rtl/String.h"

inline QString QStringOf(const String& text) {
    return QString(reinterpret_cast<const QChar*>(text.data()), qsizetype(text.size()));
}

inline String StringOf(const QString& text) {
    return String(reinterpret_cast<const char16_t*>(text.utf16()), String::size_type(text.size()));
}
