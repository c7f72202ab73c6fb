#include "support/sqlite/SQLiteProfile.h"

#include <exception>
#include <map>
#include <mutex>

#include "platform/rtl/AppServices.h"

namespace {
struct TListeners {
    std::mutex lock;
    std::map<int, TSQLiteProfileListener> byKey;
    int lastKey = 0;
};

TListeners& Listeners() {
    static TListeners listeners;
    return listeners;
}
} // namespace

int AddSQLiteProfileListener(TSQLiteProfileListener listener) {
    TListeners& listeners = Listeners();
    std::lock_guard guard(listeners.lock);
    listeners.byKey.emplace(++listeners.lastKey, std::move(listener));
    return listeners.lastKey;
}

void RemoveSQLiteProfileListener(int key) {
    TListeners& listeners = Listeners();
    std::lock_guard guard(listeners.lock);
    listeners.byKey.erase(key);
}

namespace sqlite_detail {
void NotifyProfileListeners(TASQLite3DB& connection, const char* sql, uint64_t nanoseconds) noexcept {
    std::map<int, TSQLiteProfileListener> listeners;
    {
        TListeners& all = Listeners();
        std::lock_guard guard(all.lock);
        if (all.byKey.empty()) return;
        listeners = all.byKey;
    }
    const String text = String::FromUtf8(sql ? sql : "");
    for (const auto& [key, listener] : listeners) {
        try {
            listener(connection, text, nanoseconds);
        } catch (const std::exception& error) {
            AppServices().HandleException(error);
        }
    }
}
} // namespace sqlite_detail
