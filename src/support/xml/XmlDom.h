#pragma once
// The XML document object model after the W3C DOM Level 1 Core: a document and
// its nodes, node lists and attribute maps, all reference counted and used
// through these interfaces. Child lists and attribute maps hold their items;
// the parent and owner-document links do not count and read as absent once the
// parent or the document is gone.

#include <cstdint>

#include "platform/rtl/Interfaces.h"
#include "platform/rtl/Stream.h"
#include "platform/rtl/String.h"
#include "support/xml/XmlErrors.h"
#include "support/xml/XmlTextStream.h"

class IXMLNode;
class IXMLElement;
class IXMLAttribute;
class IXMLText;
class IXMLCDataNode;
class IXMLCommentNode;
class IXMLDocumentType;
class IXMLProcessingInstruction;
class IXMLFragmentNode;
class IXMLDocument;

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

// Lists check nothing about node kinds and leave parent links alone; an index
// out of range raises EListError.
class IXMLCustomList : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{3B351ACA-AE63-4195-9E68-EC3A791FAFE5}");
    virtual int Length() const = 0;
    virtual TIntfPtr<IXMLNode> Item(int index) const = 0;
    virtual int Add(const TIntfPtr<IXMLNode>& node) = 0;
    virtual int IndexOf(const TIntfPtr<IXMLNode>& node) const = 0;
    virtual void Insert(int index, const TIntfPtr<IXMLNode>& node) = 0;
    virtual int Remove(const TIntfPtr<IXMLNode>& node) = 0;
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;
};

class IXMLNodeList : public virtual IXMLCustomList {
public:
    static constexpr TGUID IID = TGUID::Parse("{C82CC9B2-7721-44D4-AF19-6BD76521AA61}");
    using Inherited = IXMLCustomList;
    virtual TIntfPtr<IXMLNode> Append(const TIntfPtr<IXMLNode>& node) = 0;
    virtual void Rewind() = 0;
    // The item at the iteration position, then one step on; absent past the end.
    virtual TIntfPtr<IXMLNode> Next() = 0;
};

class IXMLNamedNodeMap : public virtual IXMLCustomList {
public:
    static constexpr TGUID IID = TGUID::Parse("{6EF78C83-BA41-459E-9020-A8349BB92745}");
    using Inherited = IXMLCustomList;
    virtual TIntfPtr<IXMLNode> GetNamedItem(const String& name) const = 0;
    // Replaces an item of the same name in place and returns it; else appends and returns absent.
    virtual TIntfPtr<IXMLNode> SetNamedItem(const TIntfPtr<IXMLNode>& node) = 0;
    virtual TIntfPtr<IXMLNode> RemoveNamedItem(const String& name) = 0;
};

class IXMLNode : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{121EECDD-3FBD-44C7-AD6C-AF29006C35A2}");
    virtual TIntfPtr<IXMLNamedNodeMap> Attributes() const = 0;
    virtual TIntfPtr<IXMLNodeList> ChildNodes() const = 0;
    virtual TIntfPtr<IXMLNode> FirstChild() const = 0;
    virtual TIntfPtr<IXMLNode> LastChild() const = 0;
    virtual TIntfPtr<IXMLNode> NextSibling() const = 0;
    virtual const String& NodeName() const = 0;
    virtual uint8_t NodeType() const = 0;
    virtual String NodeValue() const = 0;
    // Absent for a document, and once the document is gone.
    virtual TIntfPtr<IXMLDocument> OwnerDocument() const = 0;
    virtual TIntfPtr<IXMLNode> ParentNode() const = 0;
    virtual TIntfPtr<IXMLNode> PreviousSibling() const = 0;
    virtual void SetNodeValue(const String& value) = 0;
    virtual TIntfPtr<IXMLNode> InsertBefore(const TIntfPtr<IXMLNode>& newChild, const TIntfPtr<IXMLNode>& refChild) = 0;
    virtual TIntfPtr<IXMLNode> ReplaceChild(const TIntfPtr<IXMLNode>& newChild, const TIntfPtr<IXMLNode>& oldChild) = 0;
    virtual TIntfPtr<IXMLNode> RemoveChild(const TIntfPtr<IXMLNode>& oldChild) = 0;
    virtual TIntfPtr<IXMLNode> AppendChild(const TIntfPtr<IXMLNode>& newChild) = 0;
    virtual bool HasChildNodes() const = 0;
    virtual TIntfPtr<IXMLNode> CloneNode(bool deep) const = 0;
    virtual String TextContent() const = 0;
    virtual void SetTextContent(const String& text) = 0;
    // Serialises the node and its subtree.
    virtual void WriteNode(TXMLTextStream& out) const = 0;
    virtual TIntfPtr<IXMLNode> FindNode(const String& pattern) const = 0;
    virtual TIntfPtr<IXMLNodeList> FindNodes(const String& pattern) const = 0;
    // The node written without line breaks.
    virtual String XmlText() const = 0;
};

class IXMLElement : public virtual IXMLNode {
public:
    static constexpr TGUID IID = TGUID::Parse("{89CF2B69-F509-4AF9-A7E8-3D4CD7AC07F2}");
    using Inherited = IXMLNode;
    virtual const String& TagName() const = 0;
    // Empty when there is no such attribute.
    virtual String GetAttribute(const String& name) const = 0;
    virtual void SetAttribute(const String& name, const String& value) = 0;
    virtual void RemoveAttribute(const String& name) = 0;
    virtual TIntfPtr<IXMLAttribute> GetAttributeNode(const String& name) const = 0;
    virtual TIntfPtr<IXMLAttribute> SetAttributeNode(const TIntfPtr<IXMLAttribute>& attr) = 0;
    virtual TIntfPtr<IXMLAttribute> RemoveAttributeNode(const TIntfPtr<IXMLAttribute>& attr) = 0;
    virtual TIntfPtr<IXMLNodeList> GetElementsByTagName(const String& name) const = 0;
    virtual void Normalize() = 0;
};

class IXMLAttribute : public virtual IXMLNode {
public:
    static constexpr TGUID IID = TGUID::Parse("{19C374E8-47BA-4421-AAF8-91CD0D6BCF85}");
    using Inherited = IXMLNode;
    virtual const String& Name() const = 0;
    virtual bool Specified() const = 0;
    virtual String Value() const = 0;
    virtual void SetValue(const String& value) = 0;
};

class IXMLCharacterData : public virtual IXMLNode {
public:
    static constexpr TGUID IID = TGUID::Parse("{22162430-F7B6-40FF-BBDF-F88029B3E81E}");
    using Inherited = IXMLNode;
    virtual String Data() const = 0;
    virtual int Length() const = 0;
    virtual void SetData(const String& value) = 0;
    virtual String SubstringData(int offset, int count) const = 0;
    virtual void AppendData(const String& arg) = 0;
    virtual void InsertData(int offset, const String& arg) = 0;
    virtual void DeleteData(int offset, int count) = 0;
    virtual void ReplaceData(int offset, int count, const String& arg) = 0;
};

class IXMLText : public virtual IXMLCharacterData {
public:
    static constexpr TGUID IID = TGUID::Parse("{74814BCC-AD08-46C7-8BE4-465AA0B20523}");
    using Inherited = IXMLCharacterData;
    virtual TIntfPtr<IXMLText> SplitText(int offset) = 0;
};

class IXMLCommentNode : public virtual IXMLCharacterData {
public:
    static constexpr TGUID IID = TGUID::Parse("{B8F0DF74-A096-4654-B3A1-92AD2AAC72A3}");
    using Inherited = IXMLCharacterData;
};

class IXMLCDataNode : public virtual IXMLText {
public:
    static constexpr TGUID IID = TGUID::Parse("{52284B29-44CA-4689-93C0-DDBA05931D45}");
    using Inherited = IXMLText;
};

class IXMLDocumentType : public virtual IXMLText {
public:
    static constexpr TGUID IID = TGUID::Parse("{37E2DD7C-ED2B-4A1F-9A8C-C18F1A200C45}");
    using Inherited = IXMLText;
};

class IXMLFragmentNode : public virtual IXMLNode {
public:
    static constexpr TGUID IID = TGUID::Parse("{5F0592A0-0862-49FE-ACC8-24F20C65BA24}");
    using Inherited = IXMLNode;
};

class IXMLProcessingInstruction : public virtual IXMLNode {
public:
    static constexpr TGUID IID = TGUID::Parse("{7DB23785-E5C4-460C-A7B7-5A43EAEDDF97}");
    using Inherited = IXMLNode;
    virtual const String& Data() const = 0;
    virtual const String& Target() const = 0;
    virtual void SetData(const String& data) = 0;
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

class IXMLDocument : public virtual IXMLNode {
public:
    static constexpr TGUID IID = TGUID::Parse("{D5F27428-6413-439E-BB81-2DEEDA182D8F}");
    using Inherited = IXMLNode;
    virtual TIntfPtr<IXMLDocumentType> DocType() const = 0;
    // The first element child, absent when none.
    virtual TIntfPtr<IXMLElement> DocumentElement() const = 0;
    virtual void SetDocumentElement(const TIntfPtr<IXMLElement>& element) = 0;
    virtual bool KeepWhitespace() const = 0;
    virtual void SetKeepWhitespace(bool value) = 0;
    virtual TIntfPtr<IXMLAttribute> CreateAttribute(const String& name) = 0;
    virtual TIntfPtr<IXMLCDataNode> CreateCDATASection(const String& data) = 0;
    virtual TIntfPtr<IXMLCommentNode> CreateComment(const String& data) = 0;
    virtual TIntfPtr<IXMLDocumentType> CreateDocType(const String& text) = 0;
    virtual TIntfPtr<IXMLFragmentNode> CreateDocumentFragment() = 0;
    virtual TIntfPtr<IXMLElement> CreateElement(const String& tagName) = 0;
    virtual TIntfPtr<IXMLNode> CreateEntityReference(const String& name) = 0;
    virtual TIntfPtr<IXMLProcessingInstruction> CreateProcessingInstruction(const String& target,
                                                                          const String& data) = 0;
    virtual TIntfPtr<IXMLText> CreateTextNode(const String& data) = 0;
    virtual TIntfPtr<IXMLNodeList> GetElementsByTagName(const String& name) const = 0;
    // False after an XML error, with LoadError filled; file and stream errors raise.
    virtual bool LoadFile(const String& fileName) = 0;
    virtual bool LoadStream(TStream& stream) = 0;
    virtual bool LoadText(const String& text) = 0;
    virtual const TXMLParseError& LoadError() const = 0;
    // Replaces the file only when every byte was written; raises and keeps the old file otherwise.
    virtual void SaveFile(const String& fileName, uint8_t outputFormat) = 0;
    // Output formats xofNone, xofFlat, xofIndent. Raises EWriteError when the
    // stream does not take every byte.
    virtual void SaveStream(TStream& stream, uint8_t outputFormat) = 0;
};

TIntfPtr<IXMLDocument> NewXMLDocument();
