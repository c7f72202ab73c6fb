// Reads arbitrary text (as UTF-8) into objects with a property of every kind the
// persistence handles, as LoadFromString does with a task's settings, once into
// an object and once into a collection instance. Malformed input may only raise
// what the reader documents; whatever was read must then save, read back into a
// fresh object and save again to the same text in both layouts (checked once
// for what an input that reads nothing leaves).

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "FuzzSettings.h"

namespace {

void Load(TPersistent& instance, const String& xml) {
    try {
        TXmlDomReader::LoadFromString(&instance, xml);
    } catch (const Exception& e) {
        if (!IsDocumented(e)) throw;
    }
}

// Saved, the text of an object in Format, must read into a fresh object that
// saves to the same text.
template <class Make>
void CheckReadsBack(const String& saved, TPropFormat format, Make make) {
    auto back = make();
    TXmlDomReader::LoadFromString(back.get(), saved);
    const String again = TXmlDomWriter::SaveToString(back.get(), format);
    if (again == saved) return;
    std::fprintf(stderr, "xml_persistence_fuzzer: saved object reads back differently\n%s\n%s\n",
                 saved.ToUtf8().c_str(), again.ToUtf8().c_str());
    std::abort();
}

// The text of a fresh object in Format, checked once: an input that reads
// nothing would only repeat the check.
template <class Make>
String CheckedFreshText(TPropFormat format, Make make) {
    const String saved = TXmlDomWriter::SaveToString(make().get(), format);
    CheckReadsBack(saved, format, make);
    return saved;
}

template <class Make>
void Check(const String& xml, Make make) {
    static const String freshNode = CheckedFreshText(pfNode, make);
    static const String freshAttr = CheckedFreshText(pfAttr, make);
    auto loaded = make();
    Load(*loaded, xml);
    for (TPropFormat format : {pfNode, pfAttr}) {
        const String saved = TXmlDomWriter::SaveToString(loaded.get(), format);
        if (saved != (format == pfNode ? freshNode : freshAttr)) CheckReadsBack(saved, format, make);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const String xml = String::FromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
    Check(xml, [] { return std::make_unique<TFuzzSettings>(); });
    Check(xml, [] { return std::make_unique<TOwnedCollection>(nullptr, TFuzzTrack::StaticClass()); });
    return 0;
}
