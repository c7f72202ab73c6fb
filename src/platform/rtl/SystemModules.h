#pragma once
// Modules the platform layer provides itself under the names of system
// libraries. Loading a library by name consults this table before any shared
// library: a registered module answers its own entry points and strings, and a
// name registered as absent is missing without a search. Names ignore case and
// a trailing ".dll" ("User32.dll" and "USER32" are "user32").
//
// Registration happens at start-up (static initialisation or a unit's start);
// lookups are safe from any thread. Registered texts and addresses must
// outlive the program (functions and static data).

#include <initializer_list>
#include <string_view>

#include "platform/rtl/String.h"

struct TSystemEntry {
    const char* Name;
    void* Address;
};

// The address of a function as an entry of the table.
template <class Fn>
void* SystemEntryAddress(Fn* function) noexcept {
    return reinterpret_cast<void*>(function);
}

struct TSystemString {
    int Identifier;
    std::u16string_view Text;
};

// The canonical form of a module name: lower case, without ".dll".
String SystemModuleName(const String& name);

// Registers module Name as present (also with no entries yet) and adds
// entries and strings to it; a later entry or string of the same name or
// identifier replaces the earlier. A module cannot be both present and absent:
// registering it the other way raises EInvalidOperation.
void RegisterSystemModule(const String& name, std::initializer_list<TSystemEntry> entries = {},
                          std::initializer_list<TSystemString> strings = {});
void RegisterAbsentSystemModule(const String& name);

bool IsSystemModule(const String& name);
bool IsAbsentSystemModule(const String& name);
// Null when the module is not registered or lacks the entry.
void* SystemModuleEntry(const String& module, std::string_view entry);
// False when the module is not registered or lacks the string.
bool SystemModuleString(const String& module, int identifier, std::u16string_view& text);
