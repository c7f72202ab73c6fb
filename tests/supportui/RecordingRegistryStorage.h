#pragma once
// A registry storage that records the last segment of every value path it
// writes. Kept apart from the window system's headers, whose error codes the
// registry's own would clash with.

#include <cstdint>
#include <string>
#include <vector>

#include "support/storage/XcAppStorage.h"

inline constexpr uint32_t kRegSz = 1;
inline constexpr uint32_t kRegDword = 4;

// Rooted "Ostrel" below HKEY_CURRENT_USER; Written outlives it.
TXcCustomAppStorage* NewRecordingRegistryStorage(TComponent* owner, std::vector<std::string>& written);
// The type of a value of HKEY_CURRENT_USER; 0 when there is none.
uint32_t RegistryValueType(const String& key, const String& name);
