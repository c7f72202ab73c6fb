// Reads untrusted bytes as a message catalogue and looks up the empty key and
// the input itself, turning what it finds into text. Only the documented
// failures may come out: ETrIOError for a file that is not a catalogue, a
// plain ETranslator for a translation that is not UTF-8; anything else is a
// finding.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <typeinfo>
#include <vector>

#include "support/translation/ScMoFile.h"
#include "support/translation/ScTranslationErrors.h"
#include "support/translation/ScTranslationText.h"

namespace {

std::optional<TMoFile> Catalogue(const uint8_t* data, size_t size) {
    try {
        return TMoFile(std::vector<uint8_t>(data, data + size), u"fuzz.mo");
    } catch (const ETrIOError&) {
        return std::nullopt;
    }
}

void ReadText(std::string_view translation) {
    try {
        TranslationText(translation);
    } catch (const ETranslator& e) {
        if (typeid(e) != typeid(ETranslator)) throw;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::optional<TMoFile> file = Catalogue(data, size);
    if (!file) return 0;
    for (std::string_view key : {std::string_view(), std::string_view(reinterpret_cast<const char*>(data), size)})
        if (const std::optional<std::string_view> translation = file->Lookup(key)) ReadText(*translation);
    return 0;
}
