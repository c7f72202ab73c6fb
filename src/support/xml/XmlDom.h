#pragma once
// The XML document object model: a document and its nodes after the W3C DOM
// Level 1 Core. Nodes, node lists and attribute maps are reference counted and
// used through the IXML* handles. A child list and an attribute map hold their
// items; the parent and owner-document links do not count and read as absent
// once the parent or the document is gone.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/rtl/Stream.h"
#include "platform/rtl/String.h"
#include "support/xml/XmlDictionary.h"
#include "support/xml/XmlErrors.h"
#include "support/xml/XmlTextStream.h"

class TXMLNode;
class TXMLElement;
class TXMLAttr;
class TXMLCharacterData;
class TXMLText;
class TXMLCDATASection;
class TXMLComment;
class TXMLDocumentType;
class TXMLProcessingInstruction;
class TXMLDocumentFragment;
class TXMLDocument;
class TXMLNodeList;
class TXMLNamedNodeMap;

using IXMLNode = std::shared_ptr<TXMLNode>;
using IXMLElement = std::shared_ptr<TXMLElement>;
using IXMLAttribute = std::shared_ptr<TXMLAttr>;
using IXMLCharacterData = std::shared_ptr<TXMLCharacterData>;
using IXMLText = std::shared_ptr<TXMLText>;
using IXMLCDataNode = std::shared_ptr<TXMLCDATASection>;
using IXMLCommentNode = std::shared_ptr<TXMLComment>;
using IXMLDocumentType = std::shared_ptr<TXMLDocumentType>;
using IXMLProcessingInstruction = std::shared_ptr<TXMLProcessingInstruction>;
using IXMLFragmentNode = std::shared_ptr<TXMLDocumentFragment>;
using IXMLDocument = std::shared_ptr<TXMLDocument>;
using IXMLNodeList = std::shared_ptr<TXMLNodeList>;
using IXMLNamedNodeMap = std::shared_ptr<TXMLNamedNodeMap>;

enum : uint8_t {
    ELEMENT_NODE = 1,
    ATTRIBUTE_NODE = 2,
    TEXT_NODE = 3,
    CDATA_SECTION_NODE = 4,
    ENTITY_REFERENCE_NODE = 5,
    ENTITY_NODE = 6,
    PROCESSING_INSTRUCTION_NODE = 7,
    COMMENT_NODE = 8,
    DOCUMENT_NODE = 9,
    DOCUMENT_TYPE_NODE = 10,
    DOCUMENT_FRAGMENT_NODE = 11,
    NOTATION_NODE = 12,
};

// "ELEMENT", "ATTRIBUTE", ... as used in messages.
String NodeTypeName(uint8_t type);

class TXMLCustomList {
public:
    int Length() const noexcept { return static_cast<int>(items_.size()); }
    // Raises EListError for an index out of range.
    const IXMLNode& Item(int index) const;
    int Add(IXMLNode node);
    int IndexOf(const TXMLNode* node) const noexcept;
    int IndexOf(const IXMLNode& node) const noexcept { return IndexOf(node.get()); }
    void Insert(int index, IXMLNode node);
    int Remove(const IXMLNode& node);
    void Delete(int index);
    void Clear() noexcept { items_.clear(); }

    auto begin() const noexcept { return items_.begin(); }
    auto end() const noexcept { return items_.end(); }

protected:
    void CheckIndex(int index, int limit) const;
    std::vector<IXMLNode> items_;
};

class TXMLNodeList : public TXMLCustomList {
public:
    const IXMLNode& Append(const IXMLNode& node);
    void Rewind() noexcept { position_ = 0; }
    // The item at the iteration position, then one step on; absent past the end.
    IXMLNode Next();

private:
    int position_ = 0;
};

class TXMLNamedNodeMap : public TXMLCustomList {
public:
    IXMLNode GetNamedItem(const String& name) const;
    // Replaces an item of the same name in place and returns it; else appends and returns absent.
    IXMLNode SetNamedItem(const IXMLNode& node);
    IXMLNode RemoveNamedItem(const String& name);
};

struct TXMLParseError {
    int Code = 0;
    int64_t FilePosition = 0;
    int Line = 0;
    int Column = 0;
    String Reason;
    String LineText;
    String FileName;
};

class TXMLNode : public std::enable_shared_from_this<TXMLNode> {
public:
    TXMLNode(const TXMLNode&) = delete;
    TXMLNode& operator=(const TXMLNode&) = delete;
    virtual ~TXMLNode();

    uint8_t NodeType() const noexcept { return type_; }
    virtual const String& NodeName() const = 0;
    virtual String NodeValue() const { return String(); }
    virtual void SetNodeValue(const String& value);
    IXMLDocument OwnerDocument() const;
    IXMLNode ParentNode() const { return parent_.lock(); }

    const IXMLNamedNodeMap& Attributes() const;
    const IXMLNodeList& ChildNodes() const;
    bool HasChildNodes() const noexcept { return children_ && children_->Length() > 0; }
    IXMLNode FirstChild() const;
    IXMLNode LastChild() const;
    IXMLNode NextSibling() const { return Sibling(+1); }
    IXMLNode PreviousSibling() const { return Sibling(-1); }

    IXMLNode InsertBefore(const IXMLNode& newChild, const IXMLNode& refChild);
    IXMLNode ReplaceChild(const IXMLNode& newChild, const IXMLNode& oldChild);
    IXMLNode RemoveChild(const IXMLNode& oldChild);
    IXMLNode AppendChild(const IXMLNode& newChild);

    virtual IXMLNode CloneNode(bool deep);
    // A copy made by Owner.
    IXMLNode CloneFor(TXMLDocument& owner, bool deep) const;
    virtual String TextContent() const;
    void SetTextContent(const String& text);

    IXMLNodeList FindNodes(const String& pattern);
    IXMLNode FindNode(const String& pattern);

    // Serialises the node and its subtree.
    virtual void WriteNode(TXMLTextStream& out) const = 0;
    // The node written without line breaks.
    String XmlText() const;

protected:
    TXMLNode(TXMLDocument* owner, uint8_t type);

    // The document that created this node (itself for a document); absent once destroyed.
    std::shared_ptr<TXMLDocument> Owner() const;
    bool KeepsWhitespace() const;
    // A new node of the same kind and contents, without children or attributes.
    virtual IXMLNode CloneShallow(TXMLDocument& owner) const = 0;
    void WriteChildren(TXMLTextStream& out) const;
    TDictionary& Names() const noexcept { return *names_; }

    std::shared_ptr<TDictionary> names_;

private:
    friend class TXMLDocument;
    friend class TXMLParser;
    IXMLNode Sibling(int step) const;
    // Appends without the checks of AppendChild, for nodes just created by the parser.
    void AdoptChild(const IXMLNode& child);
    void CheckOwner(const IXMLNode& newChild) const;
    void CheckNotAncestor(const IXMLNode& newChild) const;
    void Detach();
    void DropChildren();

    std::weak_ptr<TXMLDocument> owner_;
    std::weak_ptr<TXMLNode> parent_;
    mutable IXMLNodeList children_;
    mutable IXMLNamedNodeMap attributes_;
    uint8_t type_;
};

class TXMLElement : public TXMLNode {
public:
    TXMLElement(TXMLDocument& owner, const String& tagName);

    const String& NodeName() const override { return Names().TextOf(tagName_); }
    String TagName() const { return NodeName(); }
    String GetAttribute(const String& name) const;
    void SetAttribute(const String& name, const String& value);
    IXMLAttribute GetAttributeNode(const String& name) const;
    void RemoveAttribute(const String& name);
    IXMLAttribute SetAttributeNode(const IXMLAttribute& attr);
    IXMLAttribute RemoveAttributeNode(const IXMLAttribute& attr);
    IXMLNodeList GetElementsByTagName(const String& name) const;
    void Normalize();
    void WriteNode(TXMLTextStream& out) const override;

protected:
    IXMLNode CloneShallow(TXMLDocument& owner) const override;

private:
    int tagName_;
};

class TXMLAttr : public TXMLNode {
public:
    TXMLAttr(TXMLDocument& owner, const String& name);

    const String& NodeName() const override { return Names().TextOf(name_); }
    String NodeValue() const override { return valueId_ < 0 ? String() : Names().TextOf(valueId_); }
    void SetNodeValue(const String& value) override { valueId_ = Names().Intern(value); }
    String Name() const { return NodeName(); }
    bool Specified() const noexcept { return true; }
    String Value() const { return NodeValue(); }
    void SetValue(const String& value) { SetNodeValue(value); }
    String TextContent() const override;
    void WriteNode(TXMLTextStream& out) const override;

protected:
    IXMLNode CloneShallow(TXMLDocument& owner) const override;

private:
    int name_;
    int valueId_ = -1;
};

class TXMLCharacterData : public TXMLNode {
public:
    String NodeValue() const override { return value_; }
    // Line ends become LF.
    void SetNodeValue(const String& value) override;
    String Data() const { return NodeValue(); }
    void SetData(const String& value) { SetNodeValue(value); }
    int Length() const noexcept { return value_.Length(); }
    String SubstringData(int offset, int count) const;
    void AppendData(const String& arg);
    void InsertData(int offset, const String& arg);
    void DeleteData(int offset, int count);
    void ReplaceData(int offset, int count, const String& arg);

protected:
    TXMLCharacterData(TXMLDocument& owner, uint8_t type) : TXMLNode(&owner, type) {}
    String value_;
};

class TXMLText : public TXMLCharacterData {
public:
    TXMLText(TXMLDocument& owner, const String& data);
    const String& NodeName() const override {
        static const String name(u"#text");
        return name;
    }
    IXMLText SplitText(int offset);
    void WriteNode(TXMLTextStream& out) const override;

protected:
    TXMLText(TXMLDocument& owner, uint8_t type) : TXMLCharacterData(owner, type) {}
    IXMLNode CloneShallow(TXMLDocument& owner) const override;
};

class TXMLCDATASection : public TXMLText {
public:
    TXMLCDATASection(TXMLDocument& owner, const String& data);
    const String& NodeName() const override {
        static const String name(u"#cdata-section");
        return name;
    }
    // Refuses "]]>"; stored without line-end changes.
    void SetNodeValue(const String& value) override;
    void WriteNode(TXMLTextStream& out) const override;

protected:
    IXMLNode CloneShallow(TXMLDocument& owner) const override;
};

class TXMLDocumentType : public TXMLText {
public:
    TXMLDocumentType(TXMLDocument& owner, const String& text);
    const String& NodeName() const override {
        static const String name(u"#doctype");
        return name;
    }
    void WriteNode(TXMLTextStream& out) const override;

protected:
    IXMLNode CloneShallow(TXMLDocument& owner) const override;
};

class TXMLComment : public TXMLCharacterData {
public:
    TXMLComment(TXMLDocument& owner, const String& data);
    const String& NodeName() const override {
        static const String name(u"#comment");
        return name;
    }
    void WriteNode(TXMLTextStream& out) const override;

protected:
    IXMLNode CloneShallow(TXMLDocument& owner) const override;
};

class TXMLProcessingInstruction : public TXMLNode {
public:
    TXMLProcessingInstruction(TXMLDocument& owner, const String& target, const String& data);
    const String& NodeName() const override { return target_; }
    const String& Target() const noexcept { return target_; }
    const String& Data() const noexcept { return data_; }
    void SetData(const String& data) { data_ = data; }
    void WriteNode(TXMLTextStream& out) const override;

protected:
    IXMLNode CloneShallow(TXMLDocument& owner) const override;

private:
    friend class TXMLParser;
    String target_;
    String data_;
};

class TXMLDocumentFragment : public TXMLNode {
public:
    explicit TXMLDocumentFragment(TXMLDocument& owner) : TXMLNode(&owner, DOCUMENT_FRAGMENT_NODE) {}
    const String& NodeName() const override {
        static const String name(u"#document-fragment");
        return name;
    }
    void WriteNode(TXMLTextStream& out) const override;

protected:
    IXMLNode CloneShallow(TXMLDocument& owner) const override;
};

class TXMLDocument : public TXMLNode {
public:
    TXMLDocument();

    const String& NodeName() const override {
        static const String name(u"#document");
        return name;
    }
    String TextContent() const override;
    IXMLNode CloneNode(bool deep) override;

    const IXMLDocumentType& DocType() const noexcept { return docType_; }
    IXMLElement DocumentElement() const;
    void SetDocumentElement(const IXMLElement& element);
    bool KeepWhitespace() const noexcept { return keepWhitespace_; }
    void SetKeepWhitespace(bool value) noexcept { keepWhitespace_ = value; }

    IXMLAttribute CreateAttribute(const String& name);
    IXMLCDataNode CreateCDATASection(const String& data);
    IXMLCommentNode CreateComment(const String& data);
    IXMLDocumentType CreateDocType(const String& text);
    IXMLFragmentNode CreateDocumentFragment();
    IXMLElement CreateElement(const String& tagName);
    IXMLNode CreateEntityReference(const String& name);
    IXMLProcessingInstruction CreateProcessingInstruction(const String& target, const String& data);
    IXMLText CreateTextNode(const String& data);
    IXMLNodeList GetElementsByTagName(const String& name);

    // False after an XML error, with LoadError filled; file and stream errors raise.
    bool LoadFile(const String& fileName);
    bool LoadStream(TStream& stream);
    bool LoadText(const String& text);
    const TXMLParseError& LoadError() const noexcept { return loadError_; }

    // Replaces the file only when every byte was written; raises and keeps the old file otherwise.
    void SaveFile(const String& fileName, uint8_t outputFormat);
    void SaveStream(TStream& stream, uint8_t outputFormat);

    void WriteNode(TXMLTextStream& out) const override;

protected:
    IXMLNode CloneShallow(TXMLDocument& owner) const override;

private:
    friend class TXMLParser;
    int SaveEncoding() const;

    IXMLDocumentType docType_;
    TXMLParseError loadError_;
    String loadingFile_;
    bool keepWhitespace_ = true;
};

IXMLDocument NewXMLDocument();

// Node handle conversions: absent when the node is not of that kind.
template <class T>
std::shared_ptr<T> XmlCast(const IXMLNode& node) {
    return std::dynamic_pointer_cast<T>(node);
}
