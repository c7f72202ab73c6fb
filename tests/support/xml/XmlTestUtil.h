#pragma once
// Helpers shared by the XML tests.

#include <string>

#include "support/xml/XmlBufferStream.h"
#include "support/xml/XmlDom.h"

inline std::string Bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) s += static_cast<char>(v);
    return s;
}

// The document's output bytes in the given format.
inline std::string Saved(IXMLDocument& doc, uint8_t format) {
    TXmlBufferStream out;
    doc.SaveStream(out, format);
    return out.Bytes();
}

inline TIntfPtr<IXMLDocument> Parsed(const std::string& bytes, bool keepWhitespace = true) {
    TIntfPtr<IXMLDocument> doc = NewXMLDocument();
    doc->SetKeepWhitespace(keepWhitespace);
    TXmlBufferStream in(bytes);
    doc->LoadStream(in);
    return doc;
}
