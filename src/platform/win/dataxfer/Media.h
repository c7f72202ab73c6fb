#pragma once
// Moving bytes in and out of global blocks and media.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/rtl/Streams.h" // TBytes
#include "platform/win/dataxfer/DataTransfer.h"

// A new block holding a copy of Bytes; null when it cannot be made.
HGLOBAL GlobalFromBytes(std::string_view bytes);
HGLOBAL GlobalFromBytes(const void* data, size_t size);
// The bytes of a block; nothing for an invalid handle.
std::optional<TBytes> BytesOfGlobal(HGLOBAL memory);
// The whole content of a medium holding a global block or a stream (read from
// its start); nothing for other media or when reading fails.
std::optional<TBytes> BytesOfMedium(const STGMEDIUM& medium);
