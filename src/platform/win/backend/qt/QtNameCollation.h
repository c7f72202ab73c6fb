#pragma once
// Names in the order of a locale's collation through Qt (ICU): pinyin for
// Chinese names under a Chinese locale, digits by value, case ignored. The C
// locale has no collation of its own: its names compare by code units.

#include <QCollator>
#include <QLocale>

#include "platform/win/shell/NameOrder.h"

class TQtNameCollation : public INameCollation {
public:
    // By default the user's collation (LC_ALL, LC_COLLATE or LANG).
    explicit TQtNameCollation(const QLocale& locale = QLocale::system().collation());

    int Compare(const String& a, const String& b) const override;

private:
    QCollator collator_;
    bool codeUnits_; // the C locale
};
