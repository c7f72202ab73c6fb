// Feeds arbitrary bytes to the XML parser, then writes and searches whatever it built.

#include <cstddef>
#include <cstdint>

#include "platform/rtl/Streams.h"
#include "support/xml/XmlDom.h"
#include "support/xml/XmlXPath.h"

namespace {

void Exercise(const TIntfPtr<IXMLDocument>& doc) {
    for (uint8_t format : {xofNone, xofFlat, xofIndent}) {
        TBytesStream out;
        doc->SaveStream(out, format);
    }
    (void)doc->XmlText();
    (void)doc->TextContent();
    for (const char16_t* path : {u"//*", u"*/@*", u"//a[1]", u"/x[@y='1']"}) (void)EvaluateXPath(doc, path);
    if (TIntfPtr<IXMLElement> root = doc->DocumentElement()) (void)root->CloneNode(true)->XmlText();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    for (bool keep : {true, false}) {
        TIntfPtr<IXMLDocument> doc = NewXMLDocument();
        doc->SetKeepWhitespace(keep);
        TBytesStream in(TBytes(data, data + size));
        try {
            doc->LoadStream(in);
            Exercise(doc);
        } catch (const Exception&) {
            // "Invalid node", code-page conversions and encodings the output cannot hold are reported this way.
        }
    }
    return 0;
}
