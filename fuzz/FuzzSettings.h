#pragma once
// The persistence test's sample objects, with a collection item and an object
// that hold objects of their own, for the targets that read settings documents,
// and what a reader may raise for a document that does not read.

#include <typeinfo>

#include "../tests/support/xml/PersistentSamples.h"
#include "support/xml/XmlDomPersistent.h"

namespace {

class TFuzzTrack : public TTrack {
    RTL_CLASS(TFuzzTrack, TTrack);

public:
    using TTrack::TTrack;
    TNotes* Notes() { return &notes; }

    bool Muted = false;
    TNotes notes;
};
RTL_PUBLISHED(TFuzzTrack, c) {
    c.Property("Muted", &TFuzzTrack::Muted, &TFuzzTrack::Muted).Default(false);
    c.Property("Notes", &TFuzzTrack::Notes);
}

class TFuzzSettings : public TSample {
    RTL_CLASS(TFuzzSettings, TSample);

public:
    TFuzzSettings() : TSample(TFuzzTrack::StaticClass()) {}
    TNotebook* Notebook() { return &notebook; }

    TNotebook notebook;
};
RTL_PUBLISHED(TFuzzSettings, c) { c.Property("Notebook", &TFuzzSettings::Notebook); }

// A value that does not convert, and "<!-" not followed by "-" in the text.
inline bool IsDocumented(const Exception& e) {
    return dynamic_cast<const EXmlDomPersistent*>(&e) || dynamic_cast<const EPropertyConvertError*>(&e) ||
           (typeid(e) == typeid(Exception) && e.Message().starts_with(u"Invalid node "));
}

}  // namespace
