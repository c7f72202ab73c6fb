#pragma once
// A registry storage that records the last segment of every value path it
// writes.

#include <string>
#include <vector>

#include "support/storage/XcAppStorage.h"

// Rooted "Ostrel" below HKEY_CURRENT_USER; Written outlives it.
TXcCustomAppStorage* NewRecordingRegistryStorage(TComponent* owner, std::vector<std::string>& written);
