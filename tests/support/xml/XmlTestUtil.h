#pragma once
// Helpers shared by the XML tests.

#include <string>

#include "platform/rtl/Streams.h"
#include "support/xml/XmlDom.h"

inline TBytes ToBytes(const std::string& s) { return TBytes(s.begin(), s.end()); }
inline std::string FromBytes(const TBytes& b) { return std::string(b.begin(), b.end()); }

inline std::string Bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) s += static_cast<char>(v);
    return s;
}

// The document's output bytes in the given format.
inline std::string Saved(IXMLDocument& doc, uint8_t format) {
    TBytesStream out;
    doc.SaveStream(out, format);
    return FromBytes(out.Bytes());
}

inline TIntfPtr<IXMLDocument> Parsed(const std::string& bytes, bool keepWhitespace = true) {
    TIntfPtr<IXMLDocument> doc = NewXMLDocument();
    doc->SetKeepWhitespace(keepWhitespace);
    TBytesStream in(ToBytes(bytes));
    doc->LoadStream(in);
    return doc;
}
