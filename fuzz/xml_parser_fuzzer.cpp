// Feeds arbitrary bytes to the XML parser, then writes and searches whatever it built.
// Malformed input may only fail the load (LoadError) or raise the plain "Invalid
// node" exception; any other exception, and an internal error reported as a
// parse error, is a finding.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <typeinfo>

#include "platform/rtl/Streams.h"
#include "support/xml/XmlDom.h"
#include "support/xml/XmlErrors.h"
#include "support/xml/XmlXPath.h"

namespace {

void Require(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "xml_parser_fuzzer: %s\n", what);
    std::abort();
}

// "<!-" not followed by "-" ends the load with a plain Exception.
bool IsInvalidNode(const Exception& e) {
    return typeid(e) == typeid(Exception) && e.Message().starts_with(u"Invalid node ");
}

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

TIntfPtr<IXMLDocument> Loaded(const uint8_t* data, size_t size, bool keepWhitespace) {
    TIntfPtr<IXMLDocument> doc = NewXMLDocument();
    doc->SetKeepWhitespace(keepWhitespace);
    TBytesStream in(TBytes(data, data + size));
    try {
        if (!doc->LoadStream(in)) Require(doc->LoadError().Code != xeInternalError, "internal parser error");
    } catch (const Exception& e) {
        if (!IsInvalidNode(e)) throw;
    }
    return doc;
}

}  // namespace

// Both whitespace modes parse; the document that keeps whitespace, which has
// every node the other has, is written and searched.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    (void)Loaded(data, size, false);
    Exercise(Loaded(data, size, true));
    return 0;
}
