#include "support/sqlite/SQLiteDriver.h"

#include "support/sqlite/SQLiteError.h"

std::unique_ptr<TSQLiteDriver> TSQLiteDriver::Load(const String& fileName) {
    auto library = TDynamicLibrary::TryLoad(fileName);
    if (!library) return nullptr;
    std::unique_ptr<TSQLiteDriver> driver(new TSQLiteDriver(std::move(library)));
    const TDynamicLibrary& lib = *driver->library_;
#define SQLITE_BIND_ENTRY(name, ...) driver->name = lib.TryResolve<decltype(driver->name)>(#name);
    SQLITE_REQUIRED_ENTRIES(SQLITE_BIND_ENTRY)
    SQLITE_OPTIONAL_ENTRIES(SQLITE_BIND_ENTRY)
#undef SQLITE_BIND_ENTRY
#define SQLITE_CHECK_ENTRY(name, text) \
    if (!driver->name) throw ESQLiteError(text);
    SQLITE_REQUIRED_ENTRIES(SQLITE_CHECK_ENTRY)
#undef SQLITE_CHECK_ENTRY
    return driver;
}
