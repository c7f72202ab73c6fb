/* A library with one unit-version record (laid out as TUnitVersionInfo), for
   the registry's tests to load and unload. */
#include <uchar.h>

struct UnitVersionInfo {
    const char16_t* rcsFile;
    const char16_t* revision;
    const char16_t* date;
    const char16_t* logPath;
    const char16_t* extra;
    const void* data;
};

static const struct UnitVersionInfo record = {u"$URL: tests/support/utils/UnitVersionLibrary.c $", u"", u"", u"tests",
                                              u"", 0};

const void* UnitVersionLibraryRecord(void) { return &record; }
