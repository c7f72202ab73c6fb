#pragma once
// The order the file and folder dialogs list names in, as the user expects:
// the user's locale collation (pinyin for Chinese names under a Chinese
// locale), runs of digits by value ("电影2" before "电影10"), case ignored.
// The desktop backend installs the locale's collation at start-up; without
// one, and under the C locale, names compare by UTF-16 code units, digits by
// value.

#include "platform/rtl/String.h"

class INameCollation {
public:
    virtual ~INameCollation() = default;
    // Negative, zero or positive; zero for names equal but for case.
    virtual int Compare(const String& a, const String& b) const = 0;
};

// The installed collation, or null.
INameCollation* NameCollation();
// Installs Collation (null removes it) and returns the previous one. It must
// outlive its installation.
INameCollation* SetNameCollation(INameCollation* collation);

// Keeps Collation installed while in scope.
class TNameCollationScope {
public:
    explicit TNameCollationScope(INameCollation& collation) : previous_(SetNameCollation(&collation)) {}
    ~TNameCollationScope() { SetNameCollation(previous_); }
    TNameCollationScope(const TNameCollationScope&) = delete;
    TNameCollationScope& operator=(const TNameCollationScope&) = delete;

private:
    INameCollation* previous_;
};

// Negative, zero or positive: case ignored, runs of digits compared by value
// (leading zeros do not count), anything else by code units.
int CompareNamesByCodeUnits(const String& a, const String& b);
// Negative, zero or positive in the installed collation (else
// CompareNamesByCodeUnits); names equal in it still get a fixed order, by
// code units, so zero means the very same name.
int CompareFileNames(const String& a, const String& b);
