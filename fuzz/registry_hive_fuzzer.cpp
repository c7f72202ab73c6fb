// Feeds arbitrary bytes to the registry hive reader; a hive it accepts must
// write a text that reads back to the same hive, byte for byte.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/RegistryHive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::unique_ptr<TRegKey> hive;
    try {
        hive = ReadRegistryHive(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const EReadError&) {
        return 0;
    }
    const std::string written = WriteRegistryHive(*hive);
    if (WriteRegistryHive(*ReadRegistryHive(written)) != written) std::abort();
    return 0;
}
