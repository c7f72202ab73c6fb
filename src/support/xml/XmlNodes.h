#pragma once
// The classes behind the DOM interfaces, for the parser, the writer and the
// XPath evaluator. Everything else uses the interfaces of XmlDom.h.

#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "support/xml/XmlDictionary.h"
#include "support/xml/XmlDom.h"

class TXMLDocument;

class TXMLCustomList : public TInterfacedObject, public virtual IXMLCustomList {
public:
    int Length() const override { return static_cast<int>(items_.size()); }
    TIntfPtr<IXMLNode> Item(int index) const override;
    int Add(const TIntfPtr<IXMLNode>& node) override;
    int IndexOf(const TIntfPtr<IXMLNode>& node) const override { return IndexOf(node.get()); }
    int IndexOf(const IXMLNode* node) const noexcept;
    void Insert(int index, const TIntfPtr<IXMLNode>& node) override;
    int Remove(const TIntfPtr<IXMLNode>& node) override;
    void Delete(int index) override;
    void Clear() override { items_.clear(); }
    bool GetInterface(const TGUID& iid, void** obj) override;

    auto begin() const noexcept { return items_.begin(); }
    auto end() const noexcept { return items_.end(); }

protected:
    void CheckIndex(int index, int limit) const;
    std::vector<TIntfPtr<IXMLNode>> items_;
};

class TXMLNodeList : public TXMLCustomList, public virtual IXMLNodeList {
public:
    TIntfPtr<IXMLNode> Append(const TIntfPtr<IXMLNode>& node) override;
    void Rewind() override { position_ = 0; }
    TIntfPtr<IXMLNode> Next() override;
    bool GetInterface(const TGUID& iid, void** obj) override;

private:
    int position_ = 0;
};

// Items in document order, found by name: a short map by comparing each name,
// a longer one through an index of the first item of each name, built at the
// first lookup. A change other than an append rebuilds the index on the next lookup.
class TXMLNamedNodeMap : public TXMLCustomList, public virtual IXMLNamedNodeMap {
public:
    TIntfPtr<IXMLNode> GetNamedItem(const String& name) const override;
    TIntfPtr<IXMLNode> SetNamedItem(const TIntfPtr<IXMLNode>& node) override;
    TIntfPtr<IXMLNode> RemoveNamedItem(const String& name) override;
    int Add(const TIntfPtr<IXMLNode>& node) override;
    void Insert(int index, const TIntfPtr<IXMLNode>& node) override;
    int Remove(const TIntfPtr<IXMLNode>& node) override;
    void Delete(int index) override;
    void Clear() override;
    bool GetInterface(const TGUID& iid, void** obj) override;

private:
    // The position of the first item named Name, or -1.
    int Find(std::u16string_view name) const;

    static constexpr size_t kIndexedLength = 8;

    // Keys view the names of the items: a node's name lives as long as the node.
    mutable std::unordered_map<std::u16string_view, int> firstByName_;
    mutable bool indexed_ = false;
};

class TXMLNode : public TInterfacedObject, public virtual IXMLNode {
public:
    ~TXMLNode() override;

    TIntfPtr<IXMLNamedNodeMap> Attributes() const override { return AttributeMap(); }
    TIntfPtr<IXMLNodeList> ChildNodes() const override { return ChildList(); }
    TIntfPtr<IXMLNode> FirstChild() const override;
    TIntfPtr<IXMLNode> LastChild() const override;
    TIntfPtr<IXMLNode> NextSibling() const override { return Sibling(+1); }
    uint8_t NodeType() const override { return type_; }
    String NodeValue() const override { return String(); }
    TIntfPtr<IXMLDocument> OwnerDocument() const override;
    TIntfPtr<IXMLNode> ParentNode() const override;
    TIntfPtr<IXMLNode> PreviousSibling() const override { return Sibling(-1); }
    void SetNodeValue(const String& value) override;
    TIntfPtr<IXMLNode> InsertBefore(const TIntfPtr<IXMLNode>& newChild, const TIntfPtr<IXMLNode>& refChild) override;
    TIntfPtr<IXMLNode> ReplaceChild(const TIntfPtr<IXMLNode>& newChild, const TIntfPtr<IXMLNode>& oldChild) override;
    TIntfPtr<IXMLNode> RemoveChild(const TIntfPtr<IXMLNode>& oldChild) override;
    TIntfPtr<IXMLNode> AppendChild(const TIntfPtr<IXMLNode>& newChild) override;
    bool HasChildNodes() const override { return children_ && children_->Length() > 0; }
    TIntfPtr<IXMLNode> CloneNode(bool deep) const override;
    String TextContent() const override;
    void SetTextContent(const String& text) override;
    TIntfPtr<IXMLNode> FindNode(const String& pattern) const override;
    TIntfPtr<IXMLNodeList> FindNodes(const String& pattern) const override;
    String XmlText() const override;
    bool GetInterface(const TGUID& iid, void** obj) override;

    // The lists themselves, created on first use.
    const TIntfPtr<TXMLNodeList>& ChildList() const;
    const TIntfPtr<TXMLNamedNodeMap>& AttributeMap() const;
    // Without creating the list.
    bool HasAttributeItems() const noexcept { return attributes_ && attributes_->Length() > 0; }
    // A copy made by Owner.
    virtual TIntfPtr<IXMLNode> CloneFor(TXMLDocument& owner, bool deep) const;
    // Appends without the checks of AppendChild, for nodes just created by the parser.
    void AdoptChild(const TIntfPtr<IXMLNode>& child);
    // Takes every child out of the list; they keep no parent.
    void DropChildren();

protected:
    TXMLNode(TXMLDocument* owner, uint8_t type);

    // The document that created this node, or the document itself; null once destroyed.
    TXMLDocument* Owner() const;
    TXMLDocument& LiveOwner() const;
    bool KeepsWhitespace() const;
    // A new node of the same kind and contents, without children or attributes.
    virtual TIntfPtr<IXMLNode> CloneShallow(TXMLDocument& owner) const = 0;
    void WriteChildren(TXMLTextStream& out) const;
    TDictionary& Names() const noexcept { return *names_; }

    std::shared_ptr<TDictionary> names_;

private:
    using TAnchor = std::shared_ptr<TXMLNode*>;  // reads null once the node is destroyed
    const TAnchor& Anchor() const;
    TIntfPtr<IXMLNode> Sibling(int step) const;
    void CheckOwner(const TXMLNode& newChild) const;
    void CheckNotAncestor(const TXMLNode& newChild) const;
    void Detach();

    mutable TAnchor anchor_;
    TAnchor owner_;
    TAnchor parent_;
    mutable TIntfPtr<TXMLNodeList> children_;
    mutable TIntfPtr<TXMLNamedNodeMap> attributes_;
    uint8_t type_;
};

// The implementation behind a node interface.
TXMLNode& NodeImpl(const IXMLNode& node);

class TXMLElement : public TXMLNode, public virtual IXMLElement {
public:
    TXMLElement(TXMLDocument& owner, const String& tagName);

    const String& NodeName() const override { return Names().TextOf(tagName_); }
    const String& TagName() const override { return NodeName(); }
    String GetAttribute(const String& name) const override;
    void SetAttribute(const String& name, const String& value) override;
    void RemoveAttribute(const String& name) override;
    TIntfPtr<IXMLAttribute> GetAttributeNode(const String& name) const override;
    TIntfPtr<IXMLAttribute> SetAttributeNode(const TIntfPtr<IXMLAttribute>& attr) override;
    TIntfPtr<IXMLAttribute> RemoveAttributeNode(const TIntfPtr<IXMLAttribute>& attr) override;
    TIntfPtr<IXMLNodeList> GetElementsByTagName(const String& name) const override;
    void Normalize() override;
    void WriteNode(TXMLTextStream& out) const override;
    bool GetInterface(const TGUID& iid, void** obj) override;

protected:
    TIntfPtr<IXMLNode> CloneShallow(TXMLDocument& owner) const override;

private:
    int tagName_;
};

class TXMLAttr : public TXMLNode, public virtual IXMLAttribute {
public:
    TXMLAttr(TXMLDocument& owner, const String& name);

    const String& NodeName() const override { return Names().TextOf(name_); }
    String NodeValue() const override { return value_; }
    void SetNodeValue(const String& value) override { value_ = value; }
    const String& Name() const override { return NodeName(); }
    bool Specified() const override { return true; }
    String Value() const override { return NodeValue(); }
    void SetValue(const String& value) override { SetNodeValue(value); }
    String TextContent() const override;
    void WriteNode(TXMLTextStream& out) const override;
    bool GetInterface(const TGUID& iid, void** obj) override;

protected:
    TIntfPtr<IXMLNode> CloneShallow(TXMLDocument& owner) const override;

private:
    int name_;
    String value_;
};

class TXMLCharacterData : public TXMLNode, public virtual IXMLCharacterData {
public:
    String NodeValue() const override { return value_; }
    // Line ends become LF.
    void SetNodeValue(const String& value) override;
    String Data() const override { return NodeValue(); }
    void SetData(const String& value) override { SetNodeValue(value); }
    int Length() const override { return value_.Length(); }
    String SubstringData(int offset, int count) const override;
    void AppendData(const String& arg) override;
    void InsertData(int offset, const String& arg) override;
    void DeleteData(int offset, int count) override;
    void ReplaceData(int offset, int count, const String& arg) override;
    bool GetInterface(const TGUID& iid, void** obj) override;

protected:
    TXMLCharacterData(TXMLDocument& owner, uint8_t type) : TXMLNode(&owner, type) {}
    String value_;
};

class TXMLText : public TXMLCharacterData, public virtual IXMLText {
public:
    TXMLText(TXMLDocument& owner, const String& data);
    const String& NodeName() const override;
    TIntfPtr<IXMLText> SplitText(int offset) override;
    void WriteNode(TXMLTextStream& out) const override;
    bool GetInterface(const TGUID& iid, void** obj) override;

protected:
    TXMLText(TXMLDocument& owner, uint8_t type) : TXMLCharacterData(owner, type) {}
    TIntfPtr<IXMLNode> CloneShallow(TXMLDocument& owner) const override;
};

class TXMLCDATASection : public TXMLText, public virtual IXMLCDataNode {
public:
    TXMLCDATASection(TXMLDocument& owner, const String& data);
    const String& NodeName() const override;
    // Refuses "]]>"; stored without line-end changes.
    void SetNodeValue(const String& value) override;
    void WriteNode(TXMLTextStream& out) const override;
    bool GetInterface(const TGUID& iid, void** obj) override;

protected:
    TIntfPtr<IXMLNode> CloneShallow(TXMLDocument& owner) const override;
};

class TXMLDocumentType : public TXMLText, public virtual IXMLDocumentType {
public:
    TXMLDocumentType(TXMLDocument& owner, const String& text);
    const String& NodeName() const override;
    void WriteNode(TXMLTextStream& out) const override;
    bool GetInterface(const TGUID& iid, void** obj) override;

protected:
    TIntfPtr<IXMLNode> CloneShallow(TXMLDocument& owner) const override;
};

class TXMLComment : public TXMLCharacterData, public virtual IXMLCommentNode {
public:
    TXMLComment(TXMLDocument& owner, const String& data);
    const String& NodeName() const override;
    void WriteNode(TXMLTextStream& out) const override;
    bool GetInterface(const TGUID& iid, void** obj) override;

protected:
    TIntfPtr<IXMLNode> CloneShallow(TXMLDocument& owner) const override;
};

class TXMLProcessingInstruction : public TXMLNode, public virtual IXMLProcessingInstruction {
public:
    TXMLProcessingInstruction(TXMLDocument& owner, const String& target, const String& data);
    const String& NodeName() const override { return target_; }
    const String& Target() const override { return target_; }
    const String& Data() const override { return data_; }
    void SetData(const String& data) override { data_ = data; }
    void SetTarget(const String& target) { target_ = target; }
    void WriteNode(TXMLTextStream& out) const override;
    bool GetInterface(const TGUID& iid, void** obj) override;

protected:
    TIntfPtr<IXMLNode> CloneShallow(TXMLDocument& owner) const override;

private:
    String target_;
    String data_;
};

class TXMLDocumentFragment : public TXMLNode, public virtual IXMLFragmentNode {
public:
    explicit TXMLDocumentFragment(TXMLDocument& owner) : TXMLNode(&owner, DOCUMENT_FRAGMENT_NODE) {}
    const String& NodeName() const override;
    void WriteNode(TXMLTextStream& out) const override;
    bool GetInterface(const TGUID& iid, void** obj) override;

protected:
    TIntfPtr<IXMLNode> CloneShallow(TXMLDocument& owner) const override;
};

class TXMLDocument : public TXMLNode, public virtual IXMLDocument {
public:
    TXMLDocument();

    const String& NodeName() const override;
    String TextContent() const override;
    TIntfPtr<IXMLNode> CloneFor(TXMLDocument& owner, bool deep) const override;
    TIntfPtr<IXMLNode> CloneNode(bool deep) const override;

    TIntfPtr<IXMLDocumentType> DocType() const override { return docType_; }
    TIntfPtr<IXMLElement> DocumentElement() const override;
    void SetDocumentElement(const TIntfPtr<IXMLElement>& element) override;
    bool KeepWhitespace() const override { return keepWhitespace_; }
    void SetKeepWhitespace(bool value) override { keepWhitespace_ = value; }

    TIntfPtr<IXMLAttribute> CreateAttribute(const String& name) override;
    TIntfPtr<IXMLCDataNode> CreateCDATASection(const String& data) override;
    TIntfPtr<IXMLCommentNode> CreateComment(const String& data) override;
    TIntfPtr<IXMLDocumentType> CreateDocType(const String& text) override;
    TIntfPtr<IXMLFragmentNode> CreateDocumentFragment() override;
    TIntfPtr<IXMLElement> CreateElement(const String& tagName) override;
    TIntfPtr<IXMLNode> CreateEntityReference(const String& name) override;
    TIntfPtr<IXMLProcessingInstruction> CreateProcessingInstruction(const String& target, const String& data) override;
    TIntfPtr<IXMLText> CreateTextNode(const String& data) override;
    TIntfPtr<IXMLNodeList> GetElementsByTagName(const String& name) const override;

    bool LoadFile(const String& fileName) override;
    bool LoadStream(TStream& stream) override;
    bool LoadText(const String& text) override;
    const TXMLParseError& LoadError() const override { return loadError_; }
    void SaveFile(const String& fileName, uint8_t outputFormat) override;
    void SaveStream(TStream& stream, uint8_t outputFormat) override;

    void WriteNode(TXMLTextStream& out) const override;
    bool GetInterface(const TGUID& iid, void** obj) override;

protected:
    TIntfPtr<IXMLNode> CloneShallow(TXMLDocument& owner) const override;

private:
    friend class TXMLNode;
    int SaveEncoding() const;

    TIntfPtr<IXMLDocumentType> docType_;
    TXMLParseError loadError_;
    String loadingFile_;
    bool keepWhitespace_ = true;
};

// Answers Iid with Self seen as interface I.
template <class I, class Self>
bool AnswerInterface(Self* self, const TGUID& iid, void** obj) {
    if (iid != I::IID) return false;
    I* p = self;
    p->_AddRef();
    *obj = p;
    return true;
}
