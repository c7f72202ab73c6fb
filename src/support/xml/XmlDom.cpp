#include "support/xml/XmlDom.h"

#include <string>
#include <utility>

#include "support/xml/XmlXPath.h"

namespace {

bool IsXmlWhite(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; }

String TrimXmlWhite(const String& s) {
    size_t first = 0, last = s.size();
    while (first < last && IsXmlWhite(s[first])) ++first;
    while (last > first && IsXmlWhite(s[last - 1])) --last;
    return first == 0 && last == s.size() ? s : s.substr(first, last - first);
}

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
    for (const IXMLNode& child : *node.ChildNodes()) {
        if (child->NodeType() != ELEMENT_NODE) continue;
        if (child->NodeName() == name) list.Add(child);
        CollectElements(*child, name, list);
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

// --- Lists -------------------------------------------------------------------

void TXMLCustomList::CheckIndex(int index, int limit) const {
    if (index < 0 || index >= limit) throw EListError("List index out of bounds (" + String(std::to_string(index)) + ")");
}

const IXMLNode& TXMLCustomList::Item(int index) const {
    CheckIndex(index, Length());
    return items_[index];
}

int TXMLCustomList::Add(IXMLNode node) {
    items_.push_back(std::move(node));
    return Length() - 1;
}

int TXMLCustomList::IndexOf(const TXMLNode* node) const noexcept {
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].get() == node) return static_cast<int>(i);
    return -1;
}

void TXMLCustomList::Insert(int index, IXMLNode node) {
    CheckIndex(index, Length() + 1);
    items_.insert(items_.begin() + index, std::move(node));
}

int TXMLCustomList::Remove(const IXMLNode& node) {
    const int index = IndexOf(node);
    if (index >= 0) items_.erase(items_.begin() + index);
    return index;
}

void TXMLCustomList::Delete(int index) {
    CheckIndex(index, Length());
    items_.erase(items_.begin() + index);
}

const IXMLNode& TXMLNodeList::Append(const IXMLNode& node) {
    Add(node);
    return node;
}

IXMLNode TXMLNodeList::Next() {
    if (position_ >= Length()) return nullptr;
    return items_[position_++];
}

IXMLNode TXMLNamedNodeMap::GetNamedItem(const String& name) const {
    for (const IXMLNode& item : items_)
        if (item->NodeName() == name) return item;
    return nullptr;
}

IXMLNode TXMLNamedNodeMap::SetNamedItem(const IXMLNode& node) {
    const String& name = node->NodeName();
    for (IXMLNode& item : items_)
        if (item->NodeName() == name) return std::exchange(item, node);
    items_.push_back(node);
    return nullptr;
}

IXMLNode TXMLNamedNodeMap::RemoveNamedItem(const String& name) {
    for (auto it = items_.begin(); it != items_.end(); ++it) {
        if ((*it)->NodeName() == name) {
            IXMLNode removed = std::move(*it);
            items_.erase(it);
            return removed;
        }
    }
    return nullptr;
}

// --- TXMLNode ------------------------------------------------------------------

TXMLNode::TXMLNode(TXMLDocument* owner, uint8_t type) : type_(type) {
    if (owner) {
        names_ = owner->names_;
        owner_ = std::static_pointer_cast<TXMLDocument>(owner->shared_from_this());
    } else {
        names_ = std::make_shared<TDictionary>();
    }
}

TXMLNode::~TXMLNode() = default;

std::shared_ptr<TXMLDocument> TXMLNode::Owner() const {
    if (type_ == DOCUMENT_NODE)
        return std::static_pointer_cast<TXMLDocument>(const_cast<TXMLNode*>(this)->shared_from_this());
    return owner_.lock();
}

IXMLDocument TXMLNode::OwnerDocument() const { return type_ == DOCUMENT_NODE ? nullptr : owner_.lock(); }

bool TXMLNode::KeepsWhitespace() const {
    const auto doc = Owner();
    return !doc || doc->KeepWhitespace();
}

void TXMLNode::SetNodeValue(const String&) {
    throw EXMLException(DOM_NO_MODIFICATION_ALLOWED_ERR, xeWrongNodeType, {NodeTypeName(type_)});
}

const IXMLNamedNodeMap& TXMLNode::Attributes() const {
    if (!attributes_) attributes_ = std::make_shared<TXMLNamedNodeMap>();
    return attributes_;
}

const IXMLNodeList& TXMLNode::ChildNodes() const {
    if (!children_) children_ = std::make_shared<TXMLNodeList>();
    return children_;
}

IXMLNode TXMLNode::FirstChild() const { return HasChildNodes() ? children_->Item(0) : nullptr; }

IXMLNode TXMLNode::LastChild() const { return HasChildNodes() ? children_->Item(children_->Length() - 1) : nullptr; }

IXMLNode TXMLNode::Sibling(int step) const {
    const IXMLNode parent = ParentNode();
    if (!parent || !parent->children_) return nullptr;
    const int index = parent->children_->IndexOf(this);
    if (index < 0) return nullptr;
    const int at = index + step;
    return at >= 0 && at < parent->children_->Length() ? parent->children_->Item(at) : nullptr;
}

void TXMLNode::CheckOwner(const IXMLNode& newChild) const {
    const auto mine = Owner();
    const auto theirs = newChild->Owner();
    if (mine && theirs && mine != theirs) throw EXMLException(DOM_WRONG_DOCUMENT_ERR, xeWrongDocument);
}

void TXMLNode::CheckNotAncestor(const IXMLNode& newChild) const {
    if (newChild.get() == this) throw EXMLException(DOM_HIERARCHY_REQUEST_ERR, xeInsertIntoDescendant);
    for (IXMLNode up = ParentNode(); up; up = up->ParentNode())
        if (up == newChild) throw EXMLException(DOM_HIERARCHY_REQUEST_ERR, xeInsertIntoDescendant);
}

// Takes this node out of its parent's child list.
void TXMLNode::Detach() {
    const IXMLNode parent = ParentNode();
    if (parent && parent->children_) {
        parent->children_->Remove(shared_from_this());
        if (parent->children_->Length() == 0) parent->children_.reset();
    }
    parent_.reset();
}

IXMLNode TXMLNode::AppendChild(const IXMLNode& newChild) {
    CheckOwner(newChild);
    if (type_ == ELEMENT_NODE && newChild->type_ == ATTRIBUTE_NODE)
        throw EXMLException(DOM_HIERARCHY_REQUEST_ERR, xeWrongNodeType, {NodeTypeName(ATTRIBUTE_NODE)});
    CheckNotAncestor(newChild);
    newChild->Detach();
    ChildNodes()->Add(newChild);
    newChild->parent_ = weak_from_this();
    return newChild;
}

void TXMLNode::AdoptChild(const IXMLNode& child) {
    ChildNodes()->Add(child);
    child->parent_ = weak_from_this();
}

IXMLNode TXMLNode::InsertBefore(const IXMLNode& newChild, const IXMLNode& refChild) {
    CheckOwner(newChild);
    if (!refChild) return AppendChild(newChild);
    if (!children_ || children_->IndexOf(refChild) < 0)
        throw EXMLException(DOM_NOT_FOUND_ERR, xeText, {u"RefChild is not a child of this node."});
    if (newChild == refChild) return newChild;
    CheckNotAncestor(newChild);
    newChild->Detach();
    ChildNodes()->Insert(children_->IndexOf(refChild), newChild);
    newChild->parent_ = weak_from_this();
    return newChild;
}

IXMLNode TXMLNode::RemoveChild(const IXMLNode& oldChild) {
    if (!children_ || children_->IndexOf(oldChild) < 0)
        throw EXMLException(DOM_NOT_FOUND_ERR, xeText, {u"Child not found."});
    children_->Remove(oldChild);
    if (children_->Length() == 0) children_.reset();
    oldChild->parent_.reset();
    return oldChild;
}

IXMLNode TXMLNode::ReplaceChild(const IXMLNode& newChild, const IXMLNode& oldChild) {
    if (!children_ || children_->IndexOf(oldChild) < 0)
        throw EXMLException(DOM_NOT_FOUND_ERR, xeText, {u"Child not found."});
    if (newChild == oldChild) return oldChild;
    CheckNotAncestor(newChild);
    newChild->Detach();
    const IXMLNodeList& children = ChildNodes();
    children->Insert(children->IndexOf(oldChild), newChild);
    newChild->parent_ = weak_from_this();
    children->Remove(oldChild);
    oldChild->parent_.reset();
    return oldChild;
}

void TXMLNode::DropChildren() {
    if (!children_) return;
    for (const IXMLNode& child : *children_) child->parent_.reset();
    children_.reset();
}

IXMLNode TXMLNode::CloneNode(bool deep) {
    const auto doc = Owner();
    RTL_ASSERT(doc != nullptr, "XmlDom: node outlived its document");
    return CloneFor(*doc, deep);
}

IXMLNode TXMLNode::CloneFor(TXMLDocument& owner, bool deep) const {
    IXMLNode copy = CloneShallow(owner);
    if (attributes_)
        for (const IXMLNode& attr : *attributes_) copy->Attributes()->Add(attr->CloneFor(owner, deep));
    if (deep && children_)
        for (const IXMLNode& child : *children_) copy->AppendChild(child->CloneFor(owner, true));
    return copy;
}

String TXMLNode::TextContent() const {
    String result;
    if (children_)
        for (const IXMLNode& child : *children_) result += child->TextContent();
    const String own = NodeValue();
    result += KeepsWhitespace() ? own : TrimXmlWhite(own);
    return result;
}

void TXMLNode::SetTextContent(const String& text) {
    DropChildren();
    if (text.empty()) return;
    const auto doc = Owner();
    RTL_ASSERT(doc != nullptr, "XmlDom: node outlived its document");
    AppendChild(doc->CreateTextNode(text));
}

IXMLNodeList TXMLNode::FindNodes(const String& pattern) { return EvaluateXPath(shared_from_this(), pattern); }

IXMLNode TXMLNode::FindNode(const String& pattern) {
    const IXMLNodeList list = FindNodes(pattern);
    return list->Length() > 0 ? list->Item(0) : nullptr;
}

// --- Elements and attributes -----------------------------------------------------

TXMLElement::TXMLElement(TXMLDocument& owner, const String& tagName)
    : TXMLNode(&owner, ELEMENT_NODE), tagName_(Names().Intern(tagName)) {}

IXMLNode TXMLElement::CloneShallow(TXMLDocument& owner) const { return owner.CreateElement(NodeName()); }

IXMLAttribute TXMLElement::GetAttributeNode(const String& name) const {
    const IXMLNode found = Attributes()->GetNamedItem(name);
    return std::static_pointer_cast<TXMLAttr>(found);
}

String TXMLElement::GetAttribute(const String& name) const {
    const IXMLAttribute attr = GetAttributeNode(name);
    return attr ? attr->Value() : String();
}

void TXMLElement::SetAttribute(const String& name, const String& value) {
    const auto doc = Owner();
    RTL_ASSERT(doc != nullptr, "XmlDom: node outlived its document");
    IXMLAttribute attr = doc->CreateAttribute(name);
    attr->SetValue(value);
    Attributes()->SetNamedItem(attr);
}

IXMLNodeList TXMLElement::GetElementsByTagName(const String& name) const {
    auto list = std::make_shared<TXMLNodeList>();
    CollectElements(*this, name, *list);
    return list;
}

void TXMLElement::RemoveAttribute(const String&) { RTL_ASSERT(false, "NYI - RemoveAttribute"); }
IXMLAttribute TXMLElement::SetAttributeNode(const IXMLAttribute&) { RTL_ASSERT(false, "NYI - SetAttributeNode"); return nullptr; }
IXMLAttribute TXMLElement::RemoveAttributeNode(const IXMLAttribute&) {
    RTL_ASSERT(false, "NYI - RemoveAttributeNode");
    return nullptr;
}
void TXMLElement::Normalize() { RTL_ASSERT(false, "NYI - Normalize"); }

TXMLAttr::TXMLAttr(TXMLDocument& owner, const String& name) : TXMLNode(&owner, ATTRIBUTE_NODE), name_(Names().Intern(name)) {}

String TXMLAttr::TextContent() const { return KeepsWhitespace() ? Value() : TrimXmlWhite(Value()); }

IXMLNode TXMLAttr::CloneShallow(TXMLDocument& owner) const {
    IXMLAttribute copy = owner.CreateAttribute(NodeName());
    copy->SetValue(Value());
    return copy;
}

// --- Character data -----------------------------------------------------------------

void TXMLCharacterData::SetNodeValue(const String& value) { value_ = NormalizeLineEnds(value); }

String TXMLCharacterData::SubstringData(int, int) const { RTL_ASSERT(false, "NYI - SubstringData"); return String(); }
void TXMLCharacterData::AppendData(const String&) { RTL_ASSERT(false, "NYI - AppendData"); }
void TXMLCharacterData::InsertData(int, const String&) { RTL_ASSERT(false, "NYI - InsertData"); }
void TXMLCharacterData::DeleteData(int, int) { RTL_ASSERT(false, "NYI - DeleteData"); }
void TXMLCharacterData::ReplaceData(int, int, const String&) { RTL_ASSERT(false, "NYI - ReplaceData"); }

TXMLText::TXMLText(TXMLDocument& owner, const String& data) : TXMLCharacterData(owner, TEXT_NODE) { SetNodeValue(data); }

IXMLText TXMLText::SplitText(int) { RTL_ASSERT(false, "NYI - SplitText"); return nullptr; }

IXMLNode TXMLText::CloneShallow(TXMLDocument& owner) const { return owner.CreateTextNode(NodeValue()); }

TXMLCDATASection::TXMLCDATASection(TXMLDocument& owner, const String& data) : TXMLText(owner, CDATA_SECTION_NODE) {
    SetNodeValue(data);
}

void TXMLCDATASection::SetNodeValue(const String& value) {
    if (value.find(u"]]>") != String::npos) throw EXMLException(DOM_INVALID_CHARACTER_ERR, xeCDataEndInContent);
    value_ = value;
}

IXMLNode TXMLCDATASection::CloneShallow(TXMLDocument& owner) const { return owner.CreateCDATASection(NodeValue()); }

TXMLDocumentType::TXMLDocumentType(TXMLDocument& owner, const String& text) : TXMLText(owner, DOCUMENT_TYPE_NODE) {
    SetNodeValue(text);
}

IXMLNode TXMLDocumentType::CloneShallow(TXMLDocument&) const {
    RTL_ASSERT(false, "NYI - CloneNode");
    return nullptr;
}

TXMLComment::TXMLComment(TXMLDocument& owner, const String& data) : TXMLCharacterData(owner, COMMENT_NODE) {
    SetNodeValue(data);
}

IXMLNode TXMLComment::CloneShallow(TXMLDocument& owner) const { return owner.CreateComment(NodeValue()); }

TXMLProcessingInstruction::TXMLProcessingInstruction(TXMLDocument& owner, const String& target, const String& data)
    : TXMLNode(&owner, PROCESSING_INSTRUCTION_NODE), target_(target), data_(data) {}

IXMLNode TXMLProcessingInstruction::CloneShallow(TXMLDocument& owner) const {
    return owner.CreateProcessingInstruction(target_, data_);
}

IXMLNode TXMLDocumentFragment::CloneShallow(TXMLDocument& owner) const { return owner.CreateDocumentFragment(); }

// --- TXMLDocument ------------------------------------------------------------------------

TXMLDocument::TXMLDocument() : TXMLNode(nullptr, DOCUMENT_NODE) {}

IXMLDocument NewXMLDocument() { return std::make_shared<TXMLDocument>(); }

String TXMLDocument::TextContent() const {
    const IXMLElement root = DocumentElement();
    return root ? root->TextContent() : String();
}

IXMLNode TXMLDocument::CloneShallow(TXMLDocument&) const { return NewXMLDocument(); }

// Copies of the top-level nodes belong to the new document.
IXMLNode TXMLDocument::CloneNode(bool deep) {
    IXMLDocument copy = NewXMLDocument();
    copy->keepWhitespace_ = keepWhitespace_;
    if (deep && HasChildNodes()) {
        for (const IXMLNode& child : *ChildNodes()) {
            if (child->NodeType() == DOCUMENT_TYPE_NODE) {
                copy->AppendChild(copy->CreateDocType(child->NodeValue()));
            } else {
                copy->AppendChild(child->CloneFor(*copy, true));
            }
        }
    }
    return copy;
}

IXMLElement TXMLDocument::DocumentElement() const {
    if (HasChildNodes())
        for (const IXMLNode& child : *ChildNodes())
            if (child->NodeType() == ELEMENT_NODE) return std::static_pointer_cast<TXMLElement>(child);
    return nullptr;
}

void TXMLDocument::SetDocumentElement(const IXMLElement& element) {
    const IXMLElement old = DocumentElement();
    if (!old) {
        AppendChild(element);
        return;
    }
    ReplaceChild(element, old);
}

IXMLAttribute TXMLDocument::CreateAttribute(const String& name) { return std::make_shared<TXMLAttr>(*this, name); }

IXMLCDataNode TXMLDocument::CreateCDATASection(const String& data) {
    return std::make_shared<TXMLCDATASection>(*this, data);
}

IXMLCommentNode TXMLDocument::CreateComment(const String& data) { return std::make_shared<TXMLComment>(*this, data); }

IXMLDocumentType TXMLDocument::CreateDocType(const String& text) {
    docType_ = std::make_shared<TXMLDocumentType>(*this, text);
    return docType_;
}

IXMLFragmentNode TXMLDocument::CreateDocumentFragment() { return std::make_shared<TXMLDocumentFragment>(*this); }

IXMLElement TXMLDocument::CreateElement(const String& tagName) { return std::make_shared<TXMLElement>(*this, tagName); }

IXMLNode TXMLDocument::CreateEntityReference(const String&) {
    RTL_ASSERT(false, "NYI - CreateEntityReference");
    return nullptr;
}

IXMLProcessingInstruction TXMLDocument::CreateProcessingInstruction(const String& target, const String& data) {
    return std::make_shared<TXMLProcessingInstruction>(*this, target, data);
}

IXMLText TXMLDocument::CreateTextNode(const String& data) { return std::make_shared<TXMLText>(*this, data); }

IXMLNodeList TXMLDocument::GetElementsByTagName(const String& name) {
    auto list = std::make_shared<TXMLNodeList>();
    if (const IXMLElement root = DocumentElement()) {
        if (root->NodeName() == name) list->Add(root);
        CollectElements(*root, name, *list);
    }
    return list;
}
