#include "platform/rtl/SystemModules.h"

#include <map>
#include <mutex>
#include <set>
#include <string>

#include "platform/rtl/Exceptions.h"

namespace {

struct TModule {
    std::map<std::string, void*, std::less<>> entries;
    std::map<int, std::u16string_view> strings;
};

class TModuleTable {
public:
    void Register(const String& name, std::initializer_list<TSystemEntry> entries,
                  std::initializer_list<TSystemString> strings) {
        const String key = SystemModuleName(name);
        std::lock_guard lock(mutex_);
        if (absent_.contains(key)) throw EInvalidOperation("System module " + key + " is registered as absent");
        TModule& module = modules_[key];
        for (const TSystemEntry& entry : entries) module.entries[entry.Name] = entry.Address;
        for (const TSystemString& string : strings) module.strings[string.Identifier] = string.Text;
    }

    void RegisterAbsent(const String& name) {
        const String key = SystemModuleName(name);
        std::lock_guard lock(mutex_);
        if (modules_.contains(key)) throw EInvalidOperation("System module " + key + " is registered as present");
        absent_.insert(key);
    }

    bool Present(const String& name) {
        const String key = SystemModuleName(name);
        std::lock_guard lock(mutex_);
        return modules_.contains(key);
    }

    bool Absent(const String& name) {
        const String key = SystemModuleName(name);
        std::lock_guard lock(mutex_);
        return absent_.contains(key);
    }

    void* Entry(const String& name, std::string_view entry) {
        const String key = SystemModuleName(name);
        std::lock_guard lock(mutex_);
        const auto module = modules_.find(key);
        if (module == modules_.end()) return nullptr;
        const auto found = module->second.entries.find(entry);
        return found == module->second.entries.end() ? nullptr : found->second;
    }

    bool Text(const String& name, int identifier, std::u16string_view& text) {
        const String key = SystemModuleName(name);
        std::lock_guard lock(mutex_);
        const auto module = modules_.find(key);
        if (module == modules_.end()) return false;
        const auto found = module->second.strings.find(identifier);
        if (found == module->second.strings.end()) return false;
        text = found->second;
        return true;
    }

private:
    std::mutex mutex_;
    std::map<String, TModule> modules_;
    std::set<String> absent_;
};

TModuleTable& Modules() {
    static TModuleTable table;
    return table;
}

} // namespace

String SystemModuleName(const String& name) {
    String key = LowerCase(name);
    if (key.ends_with(u".dll")) key = String(key.Std().substr(0, key.size() - 4));
    return key;
}

void RegisterSystemModule(const String& name, std::initializer_list<TSystemEntry> entries,
                          std::initializer_list<TSystemString> strings) {
    Modules().Register(name, entries, strings);
}
void RegisterAbsentSystemModule(const String& name) { Modules().RegisterAbsent(name); }
bool IsSystemModule(const String& name) { return Modules().Present(name); }
bool IsAbsentSystemModule(const String& name) { return Modules().Absent(name); }
void* SystemModuleEntry(const String& module, std::string_view entry) { return Modules().Entry(module, entry); }
bool SystemModuleString(const String& module, int identifier, std::u16string_view& text) {
    return Modules().Text(module, identifier, text);
}
