#pragma once
// Inside the data-transfer layer: reading a global block without locking it,
// and telling whether it may have changed since it was last read.

#include <cstddef>
#include <cstdint>

#include "platform/win/dataxfer/DataTransfer.h"

struct TGlobalView {
    const uint8_t* data = nullptr; // null for an invalid handle
    size_t size = 0;
    // Changes whenever the block is locked (and so may be written) or resized.
    uint64_t stamp = 0;
};
TGlobalView ViewGlobal(HGLOBAL memory);
