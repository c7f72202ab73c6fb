#include "platform/win/backend/qt/QtNameCollation.h"

#include "platform/win/backend/qt/QtStrings.h"

TQtNameCollation::TQtNameCollation(const QLocale& locale)
    : collator_(locale), codeUnits_(locale.language() == QLocale::C) {
    collator_.setNumericMode(true);
    collator_.setCaseSensitivity(Qt::CaseInsensitive);
}

int TQtNameCollation::Compare(const String& a, const String& b) const {
    if (codeUnits_) return CompareNamesByCodeUnits(a, b);
    return collator_.compare(QStringOf(a), QStringOf(b));
}
