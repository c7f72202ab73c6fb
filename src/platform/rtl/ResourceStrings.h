#pragma once
// Resource strings: the program's own message texts, each a record of an
// identifier (below 0x10000) and its default English text, declared next to
// the unit that uses it:
//   inline constexpr TResStringRec SLibraryNotFound{0xF100, u"Library not found: %s"};
// A unit registers its records at start-up so they can also be loaded by
// identifier. Every load passes through a replaceable hook (the translation
// layer installs one); without a hook the default text comes back unchanged.

#include <functional>
#include <initializer_list>
#include <span>

#include "platform/rtl/Format.h"
#include "platform/rtl/String.h"

struct TResStringRec {
    int Identifier;
    const char16_t* Default;
};

// The three ways a text is loaded; the hook is told which one asks.
enum class TResStringLoader { ByRecord, ByIdentifier, FormattedByIdentifier };

// Receives the loader, the identifier and the loaded text (for the formatted
// loader the text after formatting) and returns the text to use.
using TResStringHook = std::function<String(TResStringLoader loader, int identifier, const String& text)>;

// Installs Hook (empty restores the plain texts) and returns the previous one.
TResStringHook SetResStringHook(TResStringHook hook);

// Makes the records loadable by identifier; the records must outlive the
// program (static data). A later record with the same identifier wins.
void RegisterResStrings(std::span<const TResStringRec* const> records);
void RegisterResStrings(std::initializer_list<const TResStringRec*> records);
// Forgets the records (a unit's shut-down).
void UnregisterResStrings(std::span<const TResStringRec* const> records);
void UnregisterResStrings(std::initializer_list<const TResStringRec*> records);

// The record's text.
String LoadResString(const TResStringRec& rec);
// The registered text of Identifier; empty when none is registered.
String LoadStr(int identifier);
// The registered text of Identifier formatted with Args. Raises EConvertError
// for arguments that do not fit the text.
String FmtLoadStr(int identifier, std::initializer_list<TVarRec> args);

// Keeps a hook installed while in scope (tests, the translator's lifetime).
class TResStringHookScope {
public:
    explicit TResStringHookScope(TResStringHook hook) : previous_(SetResStringHook(std::move(hook))) {}
    ~TResStringHookScope() { SetResStringHook(std::move(previous_)); }
    TResStringHookScope(const TResStringHookScope&) = delete;
    TResStringHookScope& operator=(const TResStringHookScope&) = delete;

private:
    TResStringHook previous_;
};
