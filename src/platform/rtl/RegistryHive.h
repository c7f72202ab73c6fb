#pragma once
// The contents of one registry root and their file form.
//
// Names compare case-insensitively (each UTF-16 unit upper-cased on its own)
// and keep their case. Subkeys are kept in case-insensitive order, values in
// creation order; a value keeps its type and its exact bytes.
//
// File form, UTF-8 with LF after every line:
//   OSTREL-REGISTRY 2
//   "RootValue"=dword:00000001        values of the root itself
//   [Ostrel]                          every key by its path, a key before its subkeys
//   [Ostrel\Conversion]
//   "NormPos"="100,80,900,680"        its values in creation order
//   END                               the last line: a file cut short lacks it
// Version 1 (header "OSTREL-REGISTRY 1", no END line) is still read.
// Data is dword:XXXXXXXX (type 4, 4 bytes), "text" (type 1 holding whole UTF-16
// units ending in its only NUL, no lone surrogate), expand:"text" (type 2
// likewise) or hex(T):bb,bb,... (T decimal). In names and texts a control
// character, '%', '"', '[', ']' or a lone surrogate is written %uXXXX.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtl/String.h"

inline constexpr int RegMaxKeyNameLength = 255;
inline constexpr int RegMaxValueNameLength = 16383;
inline constexpr int RegMaxKeyDepth = 512;

struct TRegValue {
    String Name;
    uint32_t Type = 0;
    std::string Data;
};

class TRegKey {
public:
    explicit TRegKey(String name = {}) : name_(std::move(name)) {}

    const String& Name() const noexcept { return name_; }
    const std::vector<std::unique_ptr<TRegKey>>& SubKeys() const noexcept { return subKeys_; }
    const std::vector<TRegValue>& Values() const noexcept { return values_; }

    TRegKey* FindSubKey(const String& name) const;
    // The subkey, created in its place when missing.
    TRegKey& AddSubKey(const String& name, bool* created = nullptr);
    // False when there is no such subkey.
    bool RemoveSubKey(const String& name);

    const TRegValue* FindValue(const String& name) const;
    // Replaces a value in its place or appends a new one.
    void SetValue(const String& name, uint32_t type, std::string data);
    bool RemoveValue(const String& name);

private:
    String name_;
    std::vector<std::unique_ptr<TRegKey>> subKeys_;
    std::vector<TRegValue> values_;
};

// Ordinal comparison of the names upper-cased unit by unit.
int CompareRegNames(const String& a, const String& b) noexcept;

std::string WriteRegistryHive(const TRegKey& root);
// Raises EReadError for text that is not a whole, well-formed hive (cut short,
// names too long, keys nested deeper than RegMaxKeyDepth, a key before its
// parent or twice).
std::unique_ptr<TRegKey> ReadRegistryHive(std::string_view text);
