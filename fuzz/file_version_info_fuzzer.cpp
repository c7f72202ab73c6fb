// Feeds arbitrary bytes to the version-block parser and to VerQueryValueW, then reads everything they found.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/rtl/VersionInfo.h"
#include "support/utils/ScFileVersionInfo.h"

namespace {

void Exercise(TScFileVersionInfo& info) {
    for (int language = 0; language < info.LanguageCount(); ++language) {
        info.SetLanguageIndex(language);
        for (int key = 1; key <= 12; ++key) (void)info.ItemByKeyIndex(key);
        (void)info.FileVersionMajor();
        (void)info.FileVersionMinor();
        (void)info.FileVersionRelease();
        (void)info.FileVersionBuild();
    }
    (void)info.BinFileVersion();
    (void)info.BinProductVersion();
}

unsigned Touch(const void* buffer, uint32_t length) {
    unsigned sum = 0;
    for (uint32_t i = 0; i < length; ++i) sum += static_cast<const uint8_t*>(buffer)[i];
    return sum;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> block(data, data + size);
    try {
        Exercise(*TScFileVersionInfo::Attach(block));
    } catch (const EScFileVersionInfoError&) {
        // Malformed blocks are reported this way.
    }
    // What GetFileVersionInfoW guarantees of the blocks it hands out: the root's length holds.
    if (size >= 2 && static_cast<size_t>(data[0] | data[1] << 8) <= size) {
        for (const char16_t* path : {u"\\", u"\\VarFileInfo\\Translation", u"\\StringFileInfo\\080404b0\\ProductName",
                                     u"\\StringFileInfo\\040904b0\\FileVersion"}) {
            const void* buffer = nullptr;
            uint32_t length = 0;
            if (VerQueryValueW(block.data(), path, &buffer, &length)) (void)Touch(buffer, length);
        }
    }
    return 0;
}
