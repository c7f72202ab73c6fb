// Reads untrusted bytes as a message catalogue and looks up each of its keys,
// the empty key and the input itself.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "support/translation/ScMoFile.h"
#include "support/translation/ScTranslationErrors.h"
#include "support/translation/ScTranslationText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        TMoFile file(std::vector<uint8_t>(data, data + size), u"fuzz.mo");
        for (std::string_view key : {std::string_view(), std::string_view(reinterpret_cast<const char*>(data), size)}) {
            if (auto translation = file.Lookup(key)) {
                try {
                    TranslationText(*translation);
                } catch (const ETranslator&) {
                }
            }
        }
    } catch (const ETrIOError&) {
    }
    return 0;
}
