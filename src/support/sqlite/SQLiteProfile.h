#pragma once
// The process-wide listeners to the statements SQLite finishes on any
// connection, with the time each took. They are called on the thread that ran
// the statement, from inside SQLite; what a listener raises goes to the
// application's exception handler.

#include <cstdint>
#include <functional>

#include "platform/rtl/String.h"

class TASQLite3DB;

using TSQLiteProfileListener =
    std::function<void(TASQLite3DB& connection, const String& sql, uint64_t nanoseconds)>;

// Returns the key that removes the listener again.
int AddSQLiteProfileListener(TSQLiteProfileListener listener);
void RemoveSQLiteProfileListener(int key);

namespace sqlite_detail {
void NotifyProfileListeners(TASQLite3DB& connection, const char* sql, uint64_t nanoseconds) noexcept;
} // namespace sqlite_detail
