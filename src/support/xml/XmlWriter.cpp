// Saving a document: every node writes itself to a TXMLTextStream.

#include "platform/rtl/AtomicFile.h"
#include "platform/rtl/Streams.h"
#include "support/xml/XmlNodes.h"
#include "support/xml/XmlEncodings.h"

void TXMLNode::WriteChildren(TXMLTextStream& out) const {
    if (!HasChildNodes()) return;
    out.LevelUp();
    for (const TIntfPtr<IXMLNode>& child : *children_) child->WriteNode(out);
    out.LevelDown();
}

void TXMLElement::WriteNode(TXMLTextStream& out) const {
    out.BreakLine(false);
    const String& name = NodeName();
    out.Write(u"<");
    out.Write(name);
    if (HasAttributeItems())
        for (const TIntfPtr<IXMLNode>& attr : *AttributeMap()) attr->WriteNode(out);
    if (!HasChildNodes()) {
        out.Write(out.OutputFormat() == xofIndent ? u" />" : u"/>");
        return;
    }
    out.Write(u">");
    WriteChildren(out);
    const TXMLNodeList& children = *ChildList();
    if (children.Length() != 1 || children.Item(0)->NodeType() != TEXT_NODE) out.BreakLine(false);
    out.Write(u"</");
    out.Write(name);
    out.Write(u">");
}

void TXMLAttr::WriteNode(TXMLTextStream& out) const {
    out.Write(u" ");
    out.Write(NodeName());
    out.Write(u"=\"");
    out.WriteText(value_, true, false);
    out.Write(u"\"");
}

void TXMLText::WriteNode(TXMLTextStream& out) const {
    WriteChildren(out);
    out.WriteText(value_, true, true);
}

void TXMLCDATASection::WriteNode(TXMLTextStream& out) const {
    out.BreakLine(true);
    out.Write(u"<![CDATA[");
    out.Write(value_);
    out.Write(u"]]>");
}

void TXMLComment::WriteNode(TXMLTextStream& out) const {
    out.BreakLine(true);
    out.Write(u"<!--");
    out.WriteText(value_, false, true);
    out.Write(u"-->");
}

void TXMLDocumentType::WriteNode(TXMLTextStream& out) const {
    out.BreakLine(false);
    out.Write(u"<!DOCTYPE ");
    out.Write(value_);
    out.Write(u">");
}

void TXMLProcessingInstruction::WriteNode(TXMLTextStream& out) const {
    out.BreakLine(false);
    out.Write(u"<?");
    out.Write(target_);
    out.Write(u" ");
    out.Write(data_);
    out.Write(u"?>");
}

void TXMLDocumentFragment::WriteNode(TXMLTextStream& out) const { WriteChildren(out); }

void TXMLDocument::WriteNode(TXMLTextStream& out) const {
    if (!HasChildNodes()) return;
    out.LevelUp();
    bool first = true;
    for (const TIntfPtr<IXMLNode>& child : *ChildList()) {
        if (!first) out.BreakLine(true);
        first = false;
        child->WriteNode(out);
    }
    out.LevelDown();
}

int TXMLDocument::SaveEncoding() const {
    const IXMLNode* last = nullptr;
    if (HasChildNodes())
        for (const TIntfPtr<IXMLNode>& child : *ChildList())
            if (child->NodeType() == PROCESSING_INSTRUCTION_NODE) last = child.get();
    if (!last || !SameText(last->NodeName(), u"xml")) return CP_UTF8;
    const int declared = DeclaredCodePage(static_cast<const TXMLProcessingInstruction&>(NodeImpl(*last)).Data());
    return declared ? declared : CP_UTF8;
}

void TXMLDocument::SaveStream(TStream& stream, uint8_t outputFormat) {
    TXMLTextStream out(stream, SaveEncoding(), TXmlStreamMode::Write);
    out.SetOutputFormat(outputFormat);
    WriteNode(out);
    out.Flush();
}

void TXMLDocument::SaveFile(const String& fileName, uint8_t outputFormat) {
    TBytesStream bytes;
    SaveStream(bytes, outputFormat);
    const TBytes& b = bytes.Bytes();
    WriteFileAtomically(fileName, std::string_view(reinterpret_cast<const char*>(b.data()), b.size()));
}

String TXMLNode::XmlText() const {
    TBytesStream bytes;
    TXMLTextStream out(bytes, CP_UTF16, TXmlStreamMode::Write);
    WriteNode(out);
    out.Flush();
    // Little-endian UTF-16 after its byte-order mark.
    const TBytes& b = bytes.Bytes();
    String text(b.size() < 2 ? 0 : (b.size() - 2) / 2, u'\0');
    for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char16_t>(b[2 + 2 * i] | b[3 + 2 * i] << 8);
    return text;
}
