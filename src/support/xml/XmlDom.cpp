#include <iterator>
#include <utility>

#include "support/xml/XmlCharClasses.h"
#include "support/xml/XmlNodes.h"
#include "support/xml/XmlXPath.h"

namespace {

// CR LF and lone CR become LF.
String NormalizeLineEnds(const String& s) {
    if (s.find(u'\r') == String::npos) return s;
    String result;
    result.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == u'\r') {
            result += u'\n';
            if (i + 1 < s.size() && s[i + 1] == u'\n') ++i;
        } else {
            result += s[i];
        }
    }
    return result;
}

void CollectElements(const TXMLNode& node, const String& name, TXMLNodeList& list) {
    if (!node.HasChildNodes()) return;
    for (const TIntfPtr<IXMLNode>& child : *node.ChildList()) {
        if (child->NodeType() != ELEMENT_NODE) continue;
        if (child->NodeName() == name) list.Add(child);
        CollectElements(NodeImpl(*child), name, list);
    }
}

}  // namespace

String NodeTypeName(uint8_t type) {
    static const char* const kNames[] = {"",
                                         "ELEMENT",
                                         "ATTRIBUTE",
                                         "TEXT",
                                         "CDATA_SECTION",
                                         "ENTITY_REFERENCE",
                                         "ENTITY_NODE",
                                         "PROCESSING_INSTRUCTION",
                                         "COMMENT",
                                         "DOCUMENT",
                                         "DOCUMENT_TYPE",
                                         "DOCUMENT_FRAGMENT",
                                         "NOTATION"};
    return type < std::size(kNames) ? String(kNames[type]) : String();
}

TXMLNode& NodeImpl(const IXMLNode& node) {
    auto* impl = dynamic_cast<TXMLNode*>(const_cast<IXMLNode*>(&node));
    RTL_ASSERT(impl != nullptr, "XmlDom: foreign node");
    return *impl;
}

// --- Lists -------------------------------------------------------------------

void TXMLCustomList::CheckIndex(int index, int limit) const {
    if (index < 0 || index >= limit) throw EListError(Format(u"List index out of bounds (%d)", {index}));
}

TIntfPtr<IXMLNode> TXMLCustomList::Item(int index) const {
    CheckIndex(index, Length());
    return items_[index];
}

int TXMLCustomList::Add(const TIntfPtr<IXMLNode>& node) {
    items_.push_back(node);
    return Length() - 1;
}

int TXMLCustomList::IndexOf(const IXMLNode* node) const noexcept {
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].get() == node) return static_cast<int>(i);
    return -1;
}

void TXMLCustomList::Insert(int index, const TIntfPtr<IXMLNode>& node) {
    CheckIndex(index, Length() + 1);
    items_.insert(items_.begin() + index, node);
}

int TXMLCustomList::Remove(const TIntfPtr<IXMLNode>& node) {
    const int index = IndexOf(node);
    if (index >= 0) items_.erase(items_.begin() + index);
    return index;
}

void TXMLCustomList::Delete(int index) {
    CheckIndex(index, Length());
    items_.erase(items_.begin() + index);
}

bool TXMLCustomList::GetInterface(const TGUID& iid, void** obj) {
    return AnswerInterface<IXMLCustomList>(this, iid, obj) || TInterfacedObject::GetInterface(iid, obj);
}

TIntfPtr<IXMLNode> TXMLNodeList::Append(const TIntfPtr<IXMLNode>& node) {
    Add(node);
    return node;
}

TIntfPtr<IXMLNode> TXMLNodeList::Next() {
    if (position_ >= Length()) return nullptr;
    return items_[position_++];
}

bool TXMLNodeList::GetInterface(const TGUID& iid, void** obj) {
    return AnswerInterface<IXMLNodeList>(this, iid, obj) || TXMLCustomList::GetInterface(iid, obj);
}

int TXMLNamedNodeMap::Find(std::u16string_view name) const {
    if (items_.size() < kIndexedLength) {
        for (size_t i = 0; i < items_.size(); ++i)
            if (std::u16string_view(items_[i]->NodeName()) == name) return static_cast<int>(i);
        return -1;
    }
    if (!indexed_) {
        firstByName_.clear();
        for (size_t i = 0; i < items_.size(); ++i) firstByName_.try_emplace(items_[i]->NodeName(), static_cast<int>(i));
        indexed_ = true;
    }
    const auto it = firstByName_.find(name);
    return it == firstByName_.end() ? -1 : it->second;
}

TIntfPtr<IXMLNode> TXMLNamedNodeMap::GetNamedItem(const String& name) const {
    const int index = Find(name);
    return index < 0 ? nullptr : items_[index];
}

TIntfPtr<IXMLNode> TXMLNamedNodeMap::SetNamedItem(const TIntfPtr<IXMLNode>& node) {
    const int index = Find(node->NodeName());
    if (index >= 0) {
        TIntfPtr<IXMLNode> replaced = std::exchange(items_[index], node);
        if (indexed_) {
            firstByName_.erase(node->NodeName()); // the key views the name of the item it finds
            firstByName_.emplace(node->NodeName(), index);
        }
        return replaced;
    }
    Add(node);
    return nullptr;
}

TIntfPtr<IXMLNode> TXMLNamedNodeMap::RemoveNamedItem(const String& name) {
    const int index = Find(name);
    if (index < 0) return nullptr;
    TIntfPtr<IXMLNode> removed = items_[index];
    Delete(index);
    return removed;
}

int TXMLNamedNodeMap::Add(const TIntfPtr<IXMLNode>& node) {
    const int index = TXMLCustomList::Add(node);
    if (indexed_) firstByName_.try_emplace(node->NodeName(), index);
    return index;
}

void TXMLNamedNodeMap::Insert(int index, const TIntfPtr<IXMLNode>& node) {
    TXMLCustomList::Insert(index, node);
    indexed_ = false;
}

int TXMLNamedNodeMap::Remove(const TIntfPtr<IXMLNode>& node) {
    const int index = TXMLCustomList::Remove(node);
    if (index >= 0) indexed_ = false;
    return index;
}

void TXMLNamedNodeMap::Delete(int index) {
    TXMLCustomList::Delete(index);
    indexed_ = false;
}

void TXMLNamedNodeMap::Clear() {
    TXMLCustomList::Clear();
    indexed_ = false;
}

bool TXMLNamedNodeMap::GetInterface(const TGUID& iid, void** obj) {
    return AnswerInterface<IXMLNamedNodeMap>(this, iid, obj) || TXMLCustomList::GetInterface(iid, obj);
}

// --- TXMLNode ------------------------------------------------------------------

TXMLNode::TXMLNode(TXMLDocument* owner, uint8_t type) : type_(type) {
    if (owner) {
        names_ = owner->names_;
        owner_ = owner->Anchor();
    } else {
        names_ = std::make_shared<TDictionary>();
    }
}

TXMLNode::~TXMLNode() {
    if (anchor_) *anchor_ = nullptr;
}

const TXMLNode::TAnchor& TXMLNode::Anchor() const {
    if (!anchor_) anchor_ = std::make_shared<TXMLNode*>(const_cast<TXMLNode*>(this));
    return anchor_;
}

bool TXMLNode::GetInterface(const TGUID& iid, void** obj) {
    return AnswerInterface<IXMLNode>(this, iid, obj) || TInterfacedObject::GetInterface(iid, obj);
}

TXMLDocument* TXMLNode::Owner() const {
    if (type_ == DOCUMENT_NODE) return static_cast<TXMLDocument*>(const_cast<TXMLNode*>(this));
    return owner_ ? static_cast<TXMLDocument*>(*owner_) : nullptr;
}

TXMLDocument& TXMLNode::LiveOwner() const {
    TXMLDocument* doc = Owner();
    RTL_ASSERT(doc != nullptr, "XmlDom: node outlived its document");
    return *doc;
}

TIntfPtr<IXMLDocument> TXMLNode::OwnerDocument() const {
    return type_ == DOCUMENT_NODE ? nullptr : TIntfPtr<IXMLDocument>(Owner());
}

TIntfPtr<IXMLNode> TXMLNode::ParentNode() const { return parent_ ? TIntfPtr<IXMLNode>(*parent_) : nullptr; }

bool TXMLNode::KeepsWhitespace() const {
    const TXMLDocument* doc = Owner();
    return !doc || doc->KeepWhitespace();
}

void TXMLNode::SetNodeValue(const String&) {
    throw EXMLException(DOM_NO_MODIFICATION_ALLOWED_ERR, xeWrongNodeType, {NodeTypeName(type_)});
}

const TIntfPtr<TXMLNamedNodeMap>& TXMLNode::AttributeMap() const {
    if (!attributes_) attributes_ = MakeIntf<TXMLNamedNodeMap>();
    return attributes_;
}

const TIntfPtr<TXMLNodeList>& TXMLNode::ChildList() const {
    if (!children_) children_ = MakeIntf<TXMLNodeList>();
    return children_;
}

TIntfPtr<IXMLNode> TXMLNode::FirstChild() const { return HasChildNodes() ? children_->Item(0) : nullptr; }

TIntfPtr<IXMLNode> TXMLNode::LastChild() const {
    return HasChildNodes() ? children_->Item(children_->Length() - 1) : nullptr;
}

TIntfPtr<IXMLNode> TXMLNode::Sibling(int step) const {
    TXMLNode* parent = parent_ ? *parent_ : nullptr;
    if (!parent || !parent->children_) return nullptr;
    const int index = parent->children_->IndexOf(this);
    if (index < 0) return nullptr;
    const int at = index + step;
    return at >= 0 && at < parent->children_->Length() ? parent->children_->Item(at) : nullptr;
}

void TXMLNode::CheckOwner(const TXMLNode& newChild) const {
    const TXMLDocument* mine = Owner();
    const TXMLDocument* theirs = newChild.Owner();
    if (mine && theirs && mine != theirs) throw EXMLException(DOM_WRONG_DOCUMENT_ERR, xeWrongDocument);
}

void TXMLNode::CheckNotAncestor(const TXMLNode& newChild) const {
    for (const TXMLNode* up = this; up; up = up->parent_ ? *up->parent_ : nullptr)
        if (up == &newChild) throw EXMLException(DOM_HIERARCHY_REQUEST_ERR, xeInsertIntoDescendant);
}

// Takes this node out of its parent's child list.
void TXMLNode::Detach() {
    TXMLNode* parent = parent_ ? *parent_ : nullptr;
    parent_.reset();
    if (parent && parent->children_) {
        const int index = parent->children_->IndexOf(this);
        if (index >= 0) parent->children_->Delete(index);
    }
}

void TXMLNode::AdoptChild(const TIntfPtr<IXMLNode>& child) {
    ChildList()->Add(child);
    NodeImpl(*child).parent_ = Anchor();
}

TIntfPtr<IXMLNode> TXMLNode::AppendChild(const TIntfPtr<IXMLNode>& newChild) {
    TXMLNode& child = NodeImpl(*newChild);
    CheckOwner(child);
    if (type_ == ELEMENT_NODE && child.type_ == ATTRIBUTE_NODE)
        throw EXMLException(DOM_HIERARCHY_REQUEST_ERR, xeWrongNodeType, {NodeTypeName(ATTRIBUTE_NODE)});
    CheckNotAncestor(child);
    child.Detach();
    AdoptChild(newChild);
    return newChild;
}

TIntfPtr<IXMLNode> TXMLNode::InsertBefore(const TIntfPtr<IXMLNode>& newChild, const TIntfPtr<IXMLNode>& refChild) {
    TXMLNode& child = NodeImpl(*newChild);
    CheckOwner(child);
    if (!refChild) return AppendChild(newChild);
    if (!children_ || children_->IndexOf(refChild) < 0)
        throw EXMLException(DOM_NOT_FOUND_ERR, xeText, {u"RefChild is not a child of this node."});
    if (newChild == refChild) return newChild;
    CheckNotAncestor(child);
    child.Detach();
    ChildList()->Insert(children_->IndexOf(refChild), newChild);
    child.parent_ = Anchor();
    return newChild;
}

TIntfPtr<IXMLNode> TXMLNode::RemoveChild(const TIntfPtr<IXMLNode>& oldChild) {
    if (!children_ || children_->IndexOf(oldChild) < 0)
        throw EXMLException(DOM_NOT_FOUND_ERR, xeText, {u"Child not found."});
    children_->Remove(oldChild);
    if (children_->Length() == 0) children_.Reset();
    NodeImpl(*oldChild).parent_.reset();
    return oldChild;
}

TIntfPtr<IXMLNode> TXMLNode::ReplaceChild(const TIntfPtr<IXMLNode>& newChild, const TIntfPtr<IXMLNode>& oldChild) {
    if (!children_ || children_->IndexOf(oldChild) < 0)
        throw EXMLException(DOM_NOT_FOUND_ERR, xeText, {u"Child not found."});
    if (newChild == oldChild) return oldChild;
    TXMLNode& child = NodeImpl(*newChild);
    CheckNotAncestor(child);
    child.Detach();
    children_->Insert(children_->IndexOf(oldChild), newChild);
    child.parent_ = Anchor();
    children_->Remove(oldChild);
    NodeImpl(*oldChild).parent_.reset();
    return oldChild;
}

void TXMLNode::DropChildren() {
    if (!children_) return;
    for (const TIntfPtr<IXMLNode>& child : *children_) {
        TXMLNode& impl = NodeImpl(*child);
        if (impl.parent_ && *impl.parent_ == this) impl.parent_.reset();
    }
    children_.Reset();
}

TIntfPtr<IXMLNode> TXMLNode::CloneNode(bool deep) const { return CloneFor(LiveOwner(), deep); }

TIntfPtr<IXMLNode> TXMLNode::CloneFor(TXMLDocument& owner, bool deep) const {
    TIntfPtr<IXMLNode> copy = CloneShallow(owner);
    TXMLNode& impl = NodeImpl(*copy);
    if (attributes_)
        for (const TIntfPtr<IXMLNode>& attr : *attributes_)
            impl.AttributeMap()->Add(NodeImpl(*attr).CloneFor(owner, deep));
    if (deep && children_)
        for (const TIntfPtr<IXMLNode>& child : *children_) impl.AdoptChild(NodeImpl(*child).CloneFor(owner, true));
    return copy;
}

String TXMLNode::TextContent() const {
    String result;
    if (children_)
        for (const TIntfPtr<IXMLNode>& child : *children_) result += child->TextContent();
    const String own = NodeValue();
    result += KeepsWhitespace() ? own : TrimXmlSpace(own);
    return result;
}

void TXMLNode::SetTextContent(const String& text) {
    DropChildren();
    if (!text.empty()) AppendChild(LiveOwner().CreateTextNode(text));
}

TIntfPtr<IXMLNodeList> TXMLNode::FindNodes(const String& pattern) const {
    return EvaluateXPath(TIntfPtr<IXMLNode>(const_cast<TXMLNode*>(this)), pattern);
}

TIntfPtr<IXMLNode> TXMLNode::FindNode(const String& pattern) const {
    const TIntfPtr<IXMLNodeList> list = FindNodes(pattern);
    return list->Length() > 0 ? list->Item(0) : nullptr;
}

// --- Elements and attributes -----------------------------------------------------

TXMLElement::TXMLElement(TXMLDocument& owner, const String& tagName)
    : TXMLNode(&owner, ELEMENT_NODE), tagName_(Names().Intern(tagName)) {}

bool TXMLElement::GetInterface(const TGUID& iid, void** obj) {
    return AnswerInterface<IXMLElement>(this, iid, obj) || TXMLNode::GetInterface(iid, obj);
}

TIntfPtr<IXMLNode> TXMLElement::CloneShallow(TXMLDocument& owner) const { return owner.CreateElement(NodeName()); }

TIntfPtr<IXMLAttribute> TXMLElement::GetAttributeNode(const String& name) const {
    const TIntfPtr<IXMLNode> found = AttributeMap()->GetNamedItem(name);
    return found ? TIntfPtr<IXMLAttribute>(static_cast<TXMLAttr*>(&NodeImpl(*found))) : nullptr;
}

String TXMLElement::GetAttribute(const String& name) const {
    const TIntfPtr<IXMLAttribute> attr = GetAttributeNode(name);
    return attr ? attr->Value() : String();
}

void TXMLElement::SetAttribute(const String& name, const String& value) {
    TIntfPtr<IXMLAttribute> attr = LiveOwner().CreateAttribute(name);
    attr->SetValue(value);
    AttributeMap()->SetNamedItem(attr);
}

TIntfPtr<IXMLNodeList> TXMLElement::GetElementsByTagName(const String& name) const {
    TIntfPtr<TXMLNodeList> list = MakeIntf<TXMLNodeList>();
    CollectElements(*this, name, *list);
    return list;
}

void TXMLElement::RemoveAttribute(const String&) { RTL_ASSERT(false, "NYI - RemoveAttribute"); }

TIntfPtr<IXMLAttribute> TXMLElement::SetAttributeNode(const TIntfPtr<IXMLAttribute>&) {
    RTL_ASSERT(false, "NYI - SetAttributeNode");
    return nullptr;
}

TIntfPtr<IXMLAttribute> TXMLElement::RemoveAttributeNode(const TIntfPtr<IXMLAttribute>&) {
    RTL_ASSERT(false, "NYI - RemoveAttributeNode");
    return nullptr;
}

void TXMLElement::Normalize() { RTL_ASSERT(false, "NYI - Normalize"); }

TXMLAttr::TXMLAttr(TXMLDocument& owner, const String& name)
    : TXMLNode(&owner, ATTRIBUTE_NODE), name_(Names().Intern(name)) {}

bool TXMLAttr::GetInterface(const TGUID& iid, void** obj) {
    return AnswerInterface<IXMLAttribute>(this, iid, obj) || TXMLNode::GetInterface(iid, obj);
}

String TXMLAttr::TextContent() const { return KeepsWhitespace() ? Value() : TrimXmlSpace(Value()); }

TIntfPtr<IXMLNode> TXMLAttr::CloneShallow(TXMLDocument& owner) const {
    TIntfPtr<IXMLAttribute> copy = owner.CreateAttribute(NodeName());
    copy->SetValue(Value());
    return copy;
}

// --- Character data -----------------------------------------------------------------

void TXMLCharacterData::SetNodeValue(const String& value) { value_ = NormalizeLineEnds(value); }

bool TXMLCharacterData::GetInterface(const TGUID& iid, void** obj) {
    return AnswerInterface<IXMLCharacterData>(this, iid, obj) || TXMLNode::GetInterface(iid, obj);
}

String TXMLCharacterData::SubstringData(int, int) const {
    RTL_ASSERT(false, "NYI - SubstringData");
    return String();
}
void TXMLCharacterData::AppendData(const String&) { RTL_ASSERT(false, "NYI - AppendData"); }
void TXMLCharacterData::InsertData(int, const String&) { RTL_ASSERT(false, "NYI - InsertData"); }
void TXMLCharacterData::DeleteData(int, int) { RTL_ASSERT(false, "NYI - DeleteData"); }
void TXMLCharacterData::ReplaceData(int, int, const String&) { RTL_ASSERT(false, "NYI - ReplaceData"); }

TXMLText::TXMLText(TXMLDocument& owner, const String& data) : TXMLCharacterData(owner, TEXT_NODE) {
    SetNodeValue(data);
}

const String& TXMLText::NodeName() const {
    static const String name(u"#text");
    return name;
}

bool TXMLText::GetInterface(const TGUID& iid, void** obj) {
    return AnswerInterface<IXMLText>(this, iid, obj) || TXMLCharacterData::GetInterface(iid, obj);
}

TIntfPtr<IXMLText> TXMLText::SplitText(int) {
    RTL_ASSERT(false, "NYI - SplitText");
    return nullptr;
}

TIntfPtr<IXMLNode> TXMLText::CloneShallow(TXMLDocument& owner) const { return owner.CreateTextNode(NodeValue()); }

TXMLCDATASection::TXMLCDATASection(TXMLDocument& owner, const String& data) : TXMLText(owner, CDATA_SECTION_NODE) {
    SetNodeValue(data);
}

const String& TXMLCDATASection::NodeName() const {
    static const String name(u"#cdata-section");
    return name;
}

bool TXMLCDATASection::GetInterface(const TGUID& iid, void** obj) {
    return AnswerInterface<IXMLCDataNode>(this, iid, obj) || TXMLText::GetInterface(iid, obj);
}

void TXMLCDATASection::SetNodeValue(const String& value) {
    if (value.find(u"]]>") != String::npos) throw EXMLException(DOM_INVALID_CHARACTER_ERR, xeCDataEndInContent);
    value_ = value;
}

TIntfPtr<IXMLNode> TXMLCDATASection::CloneShallow(TXMLDocument& owner) const {
    return owner.CreateCDATASection(NodeValue());
}

TXMLDocumentType::TXMLDocumentType(TXMLDocument& owner, const String& text) : TXMLText(owner, DOCUMENT_TYPE_NODE) {
    SetNodeValue(text);
}

const String& TXMLDocumentType::NodeName() const {
    static const String name(u"#doctype");
    return name;
}

bool TXMLDocumentType::GetInterface(const TGUID& iid, void** obj) {
    return AnswerInterface<IXMLDocumentType>(this, iid, obj) || TXMLText::GetInterface(iid, obj);
}

// A copy that does not become the owner's DocType.
TIntfPtr<IXMLNode> TXMLDocumentType::CloneShallow(TXMLDocument& owner) const {
    return MakeIntf<TXMLDocumentType>(owner, NodeValue());
}

TXMLComment::TXMLComment(TXMLDocument& owner, const String& data) : TXMLCharacterData(owner, COMMENT_NODE) {
    SetNodeValue(data);
}

const String& TXMLComment::NodeName() const {
    static const String name(u"#comment");
    return name;
}

bool TXMLComment::GetInterface(const TGUID& iid, void** obj) {
    return AnswerInterface<IXMLCommentNode>(this, iid, obj) || TXMLCharacterData::GetInterface(iid, obj);
}

TIntfPtr<IXMLNode> TXMLComment::CloneShallow(TXMLDocument& owner) const { return owner.CreateComment(NodeValue()); }

TXMLProcessingInstruction::TXMLProcessingInstruction(TXMLDocument& owner, const String& target, const String& data)
    : TXMLNode(&owner, PROCESSING_INSTRUCTION_NODE), target_(target), data_(data) {}

bool TXMLProcessingInstruction::GetInterface(const TGUID& iid, void** obj) {
    return AnswerInterface<IXMLProcessingInstruction>(this, iid, obj) || TXMLNode::GetInterface(iid, obj);
}

TIntfPtr<IXMLNode> TXMLProcessingInstruction::CloneShallow(TXMLDocument& owner) const {
    return owner.CreateProcessingInstruction(target_, data_);
}

const String& TXMLDocumentFragment::NodeName() const {
    static const String name(u"#document-fragment");
    return name;
}

bool TXMLDocumentFragment::GetInterface(const TGUID& iid, void** obj) {
    return AnswerInterface<IXMLFragmentNode>(this, iid, obj) || TXMLNode::GetInterface(iid, obj);
}

TIntfPtr<IXMLNode> TXMLDocumentFragment::CloneShallow(TXMLDocument& owner) const {
    return owner.CreateDocumentFragment();
}

// --- TXMLDocument ------------------------------------------------------------------------

TXMLDocument::TXMLDocument() : TXMLNode(nullptr, DOCUMENT_NODE) {}

TIntfPtr<IXMLDocument> NewXMLDocument() { return MakeIntf<TXMLDocument>(); }

const String& TXMLDocument::NodeName() const {
    static const String name(u"#document");
    return name;
}

bool TXMLDocument::GetInterface(const TGUID& iid, void** obj) {
    return AnswerInterface<IXMLDocument>(this, iid, obj) || TXMLNode::GetInterface(iid, obj);
}

String TXMLDocument::TextContent() const {
    const TIntfPtr<IXMLElement> root = DocumentElement();
    return root ? root->TextContent() : String();
}

TIntfPtr<IXMLNode> TXMLDocument::CloneShallow(TXMLDocument&) const { return NewXMLDocument(); }

TIntfPtr<IXMLNode> TXMLDocument::CloneFor(TXMLDocument&, bool deep) const { return CloneNode(deep); }

// Copies of the top-level nodes belong to the new document.
TIntfPtr<IXMLNode> TXMLDocument::CloneNode(bool deep) const {
    TIntfPtr<TXMLDocument> copy = MakeIntf<TXMLDocument>();
    copy->keepWhitespace_ = keepWhitespace_;
    if (deep && HasChildNodes()) {
        for (const TIntfPtr<IXMLNode>& child : *ChildList()) {
            if (child->NodeType() == DOCUMENT_TYPE_NODE)
                copy->AdoptChild(copy->CreateDocType(child->NodeValue()));
            else
                copy->AdoptChild(NodeImpl(*child).CloneFor(*copy, true));
        }
    }
    return copy;
}

TIntfPtr<IXMLElement> TXMLDocument::DocumentElement() const {
    if (HasChildNodes())
        for (const TIntfPtr<IXMLNode>& child : *ChildList())
            if (child->NodeType() == ELEMENT_NODE)
                return TIntfPtr<IXMLElement>(static_cast<TXMLElement*>(&NodeImpl(*child)));
    return nullptr;
}

void TXMLDocument::SetDocumentElement(const TIntfPtr<IXMLElement>& element) {
    const TIntfPtr<IXMLElement> old = DocumentElement();
    if (old)
        ReplaceChild(element, old);
    else
        AppendChild(element);
}

TIntfPtr<IXMLAttribute> TXMLDocument::CreateAttribute(const String& name) { return MakeIntf<TXMLAttr>(*this, name); }

TIntfPtr<IXMLCDataNode> TXMLDocument::CreateCDATASection(const String& data) {
    return MakeIntf<TXMLCDATASection>(*this, data);
}

TIntfPtr<IXMLCommentNode> TXMLDocument::CreateComment(const String& data) {
    return MakeIntf<TXMLComment>(*this, data);
}

TIntfPtr<IXMLDocumentType> TXMLDocument::CreateDocType(const String& text) {
    docType_ = MakeIntf<TXMLDocumentType>(*this, text);
    return docType_;
}

TIntfPtr<IXMLFragmentNode> TXMLDocument::CreateDocumentFragment() { return MakeIntf<TXMLDocumentFragment>(*this); }

TIntfPtr<IXMLElement> TXMLDocument::CreateElement(const String& tagName) {
    return MakeIntf<TXMLElement>(*this, tagName);
}

TIntfPtr<IXMLNode> TXMLDocument::CreateEntityReference(const String&) {
    RTL_ASSERT(false, "NYI - CreateEntityReference");
    return nullptr;
}

TIntfPtr<IXMLProcessingInstruction> TXMLDocument::CreateProcessingInstruction(const String& target,
                                                                             const String& data) {
    return MakeIntf<TXMLProcessingInstruction>(*this, target, data);
}

TIntfPtr<IXMLText> TXMLDocument::CreateTextNode(const String& data) { return MakeIntf<TXMLText>(*this, data); }

TIntfPtr<IXMLNodeList> TXMLDocument::GetElementsByTagName(const String& name) const {
    TIntfPtr<TXMLNodeList> list = MakeIntf<TXMLNodeList>();
    if (const TIntfPtr<IXMLElement> root = DocumentElement()) {
        if (root->NodeName() == name) list->Add(root);
        CollectElements(NodeImpl(*root), name, *list);
    }
    return list;
}
