#include "platform/ui/comctrls/TreeView.h"

#include <algorithm>
#include <utility>

#include "platform/rtl/Conversions.h"
#include "platform/rtl/Exceptions.h"
#include "platform/ui/ControlMessages.h"
#include "platform/ui/graphics/ImageList.h"
#include "platform/win/controls/Controls.h"

RTL_PUBLISHED(TTreeNode, c) {}
RTL_PUBLISHED_NONE(TTreeNodes);

RTL_PUBLISHED(TCustomTreeView, c) {
    c.Property("Indent", &TCustomTreeView::Indent, &TCustomTreeView::SetIndent);
    c.Property("ReadOnly", &TCustomTreeView::ReadOnly, &TCustomTreeView::SetReadOnly).Default(false);
    c.Property("AutoExpand", &TCustomTreeView::AutoExpand, &TCustomTreeView::SetAutoExpand).Default(false);
    c.Property("ShowLines", &TCustomTreeView::ShowLines, &TCustomTreeView::SetShowLines).Default(true);
    c.Property("ShowButtons", &TCustomTreeView::ShowButtons, &TCustomTreeView::SetShowButtons).Default(true);
    c.Property("ShowRoot", &TCustomTreeView::ShowRoot, &TCustomTreeView::SetShowRoot).Default(true);
    c.Property("HideSelection", &TCustomTreeView::HideSelection, &TCustomTreeView::SetHideSelection).Default(true);
    c.Property("RowSelect", &TCustomTreeView::RowSelect, &TCustomTreeView::SetRowSelect).Default(false);
}

RTL_PUBLISHED_NONE(TTreeView);

UI_MESSAGE_MAP(TCustomTreeView, t) { t.On<&TCustomTreeView::CNNotify>(CN_NOTIFY); }

namespace {

HWND TreeWindow(const TCustomTreeView* tree) {
    auto* control = const_cast<TCustomTreeView*>(tree);
    return control && control->HandleAllocated() ? control->Handle() : nullptr;
}

} // namespace

// --- TTreeNode -------------------------------------------------------------------------

TTreeNode::TTreeNode(TTreeNodes* owner) : owner_(owner) {}

TTreeNode::~TTreeNode() = default;

TCustomTreeView* TTreeNode::TreeView() const noexcept { return owner_->Owner(); }

void TTreeNode::UpdateItem(UINT mask) {
    const HWND w = TreeWindow(TreeView());
    if (!w || !item_) return;
    TVITEMW fields{};
    fields.mask = mask;
    fields.hItem = item_;
    fields.pszText = const_cast<char16_t*>(text_.c_str());
    fields.cChildren = hasChildren_ ? 1 : 0;
    fields.iImage = I_IMAGECALLBACK;
    fields.iSelectedImage = I_IMAGECALLBACK;
    SendMessageW(w, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&fields));
}

void TTreeNode::SetText(const String& value) {
    text_ = value;
    UpdateItem(TVIF_TEXT);
}

// The window asks for images as it draws them; a new index only needs the row drawn again,
// and none while the tree is being asked.
void TTreeNode::SetImageIndex(int value) {
    if (imageIndex_ == value) return;
    imageIndex_ = value;
    if (!TreeView()->askingImages_) UpdateItem(TVIF_IMAGE);
}

void TTreeNode::SetSelectedIndex(int value) {
    if (selectedIndex_ == value) return;
    selectedIndex_ = value;
    if (!TreeView()->askingImages_) UpdateItem(TVIF_SELECTEDIMAGE);
}

void TTreeNode::SetHasChildren(bool value) {
    hasChildren_ = value;
    UpdateItem(TVIF_CHILDREN);
}

bool TTreeNode::Expanded() const {
    const HWND w = TreeWindow(TreeView());
    if (!w || !item_) return expanded_;
    TVITEMW fields{TVIF_STATE, item_, 0, TVIS_EXPANDED};
    SendMessageW(w, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&fields));
    return fields.state & TVIS_EXPANDED;
}

void TTreeNode::SetExpanded(bool value) {
    if (value)
        Expand(false);
    else
        Collapse(false);
}

void TTreeNode::Expand(bool recurse) {
    if (const HWND w = TreeWindow(TreeView()); w && item_)
        SendMessageW(w, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item_));
    else if (HasChildren())
        expanded_ = true;
    if (recurse)
        for (auto& child : children_) child->Expand(true);
}

void TTreeNode::Collapse(bool recurse) {
    if (const HWND w = TreeWindow(TreeView()); w && item_)
        SendMessageW(w, TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(item_));
    else
        expanded_ = false;
    if (recurse)
        for (auto& child : children_) child->Collapse(true);
}

bool TTreeNode::Selected() const { return TreeView()->Selected() == this; }

void TTreeNode::SetSelected(bool value) {
    if (value)
        TreeView()->SetSelected(this);
    else if (Selected())
        TreeView()->SetSelected(nullptr);
}

std::vector<std::unique_ptr<TTreeNode>>& TTreeNode::Siblings() const noexcept {
    return owner_->ChildrenOf(parent_);
}

int TTreeNode::Level() const noexcept {
    int level = 0;
    for (const TTreeNode* p = parent_; p; p = p->parent_) ++level;
    return level;
}

int TTreeNode::Index() const noexcept {
    const auto& siblings = Siblings();
    for (size_t i = 0; i < siblings.size(); ++i)
        if (siblings[i].get() == this) return int(i);
    return -1;
}

TTreeNode* TTreeNode::Item(int index) const {
    if (index < 0 || index >= Count()) throw EListError(u"List index out of bounds (" + IntToStr(index) + u")");
    return children_[size_t(index)].get();
}

TTreeNode* TTreeNode::getNextSibling() const noexcept {
    const auto& siblings = Siblings();
    const size_t next = size_t(Index()) + 1;
    return next < siblings.size() ? siblings[next].get() : nullptr;
}

TTreeNode* TTreeNode::getPrevSibling() const noexcept {
    const int index = Index();
    return index > 0 ? Siblings()[size_t(index) - 1].get() : nullptr;
}

TTreeNode* TTreeNode::GetNext() const noexcept {
    if (TTreeNode* child = getFirstChild()) return child;
    for (const TTreeNode* node = this; node; node = node->parent_)
        if (TTreeNode* next = node->getNextSibling()) return next;
    return nullptr;
}

int TTreeNode::AbsoluteIndex() const noexcept {
    int index = 0;
    for (TTreeNode* node = owner_->GetFirstNode(); node && node != this; node = node->GetNext()) ++index;
    return index;
}

void TTreeNode::Delete() { owner_->Delete(this); }

void TTreeNode::MakeVisible() {
    if (const HWND w = TreeWindow(TreeView()); w && item_)
        SendMessageW(w, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item_));
    else
        for (TTreeNode* p = parent_; p; p = p->parent_) p->expanded_ = true;
}

TRect TTreeNode::DisplayRect(bool textOnly) const {
    const HWND w = TreeWindow(TreeView());
    RECT rect{};
    *reinterpret_cast<HTREEITEM*>(&rect) = item_;
    if (!w || !item_ || !SendMessageW(w, TVM_GETITEMRECT, textOnly, reinterpret_cast<LPARAM>(&rect))) return TRect{};
    return TRect{rect.left, rect.top, rect.right, rect.bottom};
}

void TTreeNode::Assign(TPersistent* source) {
    auto* node = dynamic_cast<TTreeNode*>(source);
    if (!node) return TPersistent::Assign(source);
    data_ = node->data_;
    imageIndex_ = node->imageIndex_;
    selectedIndex_ = node->selectedIndex_;
    hasChildren_ = node->hasChildren_;
    SetText(node->text_);
    UpdateItem(TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN);
}

// --- TTreeNodes ------------------------------------------------------------------------

TTreeNodes::TTreeNodes(TCustomTreeView* owner) : owner_(owner) {}

TTreeNodes::~TTreeNodes() = default;

TTreeNode* TTreeNodes::InsertNode(TTreeNode* parent, size_t at, const String& text, void* data) {
    std::unique_ptr<TTreeNode> node(owner_->CreateNode());
    node->parent_ = parent;
    node->text_ = text;
    node->data_ = data;
    auto& siblings = ChildrenOf(parent);
    TTreeNode* raw = node.get();
    siblings.insert(siblings.begin() + std::ptrdiff_t(at), std::move(node));
    if (TreeWindow(owner_) && (!parent || parent->item_)) {
        const TTreeNode* before = at > 0 ? siblings[at - 1].get() : nullptr;
        owner_->CreateItems(raw, before ? before->item_ : TVI_FIRST);
    }
    return raw;
}

TTreeNode* TTreeNodes::AddObject(TTreeNode* sibling, const String& text, void* data) {
    TTreeNode* parent = sibling ? sibling->parent_ : nullptr;
    return InsertNode(parent, ChildrenOf(parent).size(), text, data);
}

TTreeNode* TTreeNodes::AddFirst(TTreeNode* sibling, const String& text) {
    return InsertNode(sibling ? sibling->parent_ : nullptr, 0, text, nullptr);
}

TTreeNode* TTreeNodes::AddChildObject(TTreeNode* parent, const String& text, void* data) {
    return InsertNode(parent, ChildrenOf(parent).size(), text, data);
}

TTreeNode* TTreeNodes::AddChildFirst(TTreeNode* parent, const String& text) {
    return InsertNode(parent, 0, text, nullptr);
}

TTreeNode* TTreeNodes::Insert(TTreeNode* sibling, const String& text) {
    if (!sibling) return AddObject(nullptr, text, nullptr);
    return InsertNode(sibling->parent_, size_t(sibling->Index()), text, nullptr);
}

// Children go first; each node is announced to the tree before its window item and the node itself go.
void TTreeNodes::Delete(TTreeNode* node) {
    while (!node->children_.empty()) Delete(node->children_.back().get());
    owner_->Delete(node);
    if (owner_->keptSelected_ == node) owner_->keptSelected_ = nullptr;
    if (const HWND w = TreeWindow(owner_); w && node->item_)
        SendMessageW(w, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(node->item_));
    auto& siblings = node->Siblings();
    siblings.erase(siblings.begin() + node->Index());
}

void TTreeNodes::Clear() {
    BeginUpdate();
    while (!roots_.empty()) Delete(roots_.back().get());
    EndUpdate();
}

void TTreeNodes::BeginUpdate() {
    if (updateCount_++ == 0)
        if (const HWND w = TreeWindow(owner_)) SendMessageW(w, WM_SETREDRAW, FALSE, 0);
}

void TTreeNodes::EndUpdate() {
    if (updateCount_ == 0 || --updateCount_ > 0) return;
    if (const HWND w = TreeWindow(owner_)) {
        SendMessageW(w, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(w, nullptr, TRUE);
    }
}

int TTreeNodes::Count() const noexcept {
    int count = 0;
    for (TTreeNode* node = GetFirstNode(); node; node = node->GetNext()) ++count;
    return count;
}

TTreeNode* TTreeNodes::Item(int index) const {
    TTreeNode* node = index >= 0 ? GetFirstNode() : nullptr;
    for (int i = 0; node && i < index; ++i) node = node->GetNext();
    if (!node) throw EListError(u"List index out of bounds (" + IntToStr(index) + u")");
    return node;
}

void TTreeNodes::CopyChildren(TTreeNode* into, const std::vector<std::unique_ptr<TTreeNode>>& from) {
    for (const auto& source : from) {
        TTreeNode* node = InsertNode(into, ChildrenOf(into).size(), source->text_, source->data_);
        node->Assign(source.get());
        CopyChildren(node, source->children_);
    }
}

void TTreeNodes::Assign(TPersistent* source) {
    auto* nodes = dynamic_cast<TTreeNodes*>(source);
    if (!nodes) return TPersistent::Assign(source);
    if (nodes == this) return;
    BeginUpdate();
    Clear();
    CopyChildren(nullptr, nodes->roots_);
    EndUpdate();
}

// --- TCustomTreeView ---------------------------------------------------------------------

TCustomTreeView::TCustomTreeView(TComponent* owner)
    : TWinControl(owner), nodes_(std::make_unique<TTreeNodes>(this)) {
    SetControlStyle({csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque});
    SetBounds(Left(), Top(), 121, 97);
    SetTabStop(true);
    SetParentColor(false);
    SetColor(clWindow);
}

TCustomTreeView::~TCustomTreeView() {
    if (images_) images_->RemoveFreeNotification(this);
}

void TCustomTreeView::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    CreateSubClass(params, u"SysTreeView32");
    params.Style |= WS_VSCROLL | WS_TABSTOP | TVS_DISABLEDRAGDROP;
    if (showLines_) params.Style |= TVS_HASLINES;
    if (showButtons_) params.Style |= TVS_HASBUTTONS;
    if (showRoot_) params.Style |= TVS_LINESATROOT;
    if (!hideSelection_) params.Style |= TVS_SHOWSELALWAYS;
    if (rowSelect_) params.Style |= TVS_FULLROWSELECT;
    params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomTreeView::CreateItems(TTreeNode* node, HTREEITEM before) {
    const HWND w = Handle();
    TVINSERTSTRUCTW insert{};
    insert.hParent = node->parent_ ? node->parent_->item_ : TVI_ROOT;
    insert.hInsertAfter = before;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_CHILDREN;
    insert.item.pszText = const_cast<char16_t*>(node->text_.c_str());
    insert.item.iImage = I_IMAGECALLBACK;
    insert.item.iSelectedImage = I_IMAGECALLBACK;
    insert.item.cChildren = node->hasChildren_ ? 1 : 0;
    insert.item.lParam = reinterpret_cast<LPARAM>(node);
    node->item_ = reinterpret_cast<HTREEITEM>(SendMessageW(w, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    for (auto& child : node->children_) CreateItems(child.get(), TVI_LAST);
}

void TCustomTreeView::ExpandItems(const std::vector<std::unique_ptr<TTreeNode>>& nodes) {
    for (auto& node : nodes) {
        if (node->expanded_) SendMessageW(Handle(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(node->item_));
        ExpandItems(node->children_);
    }
}

// The kept nodes go into the new window with their expansion and the selection.
void TCustomTreeView::CreateWnd() {
    TWinControl::CreateWnd();
    const HWND w = Handle();
    SendMessageW(w, TVM_SETINDENT, WPARAM(indent_), 0);
    if (images_) SendMessageW(w, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images_->Handle()));
    if (!nodes_->roots_.empty()) {
        SendMessageW(w, WM_SETREDRAW, FALSE, 0);
        for (auto& root : nodes_->roots_) CreateItems(root.get(), TVI_LAST);
        ExpandItems(nodes_->roots_);
        SendMessageW(w, WM_SETREDRAW, TRUE, 0);
    }
    if (TTreeNode* kept = std::exchange(keptSelected_, nullptr))
        SendMessageW(w, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(kept->item_));
}

void TCustomTreeView::DestroyWnd() {
    keptSelected_ = Selected();
    indent_ = Indent();
    for (TTreeNode* node = nodes_->GetFirstNode(); node; node = node->GetNext()) {
        node->expanded_ = node->Expanded();
        node->item_ = nullptr;
    }
    TWinControl::DestroyWnd();
}

void TCustomTreeView::Notification(TComponent* component, TOperation operation) {
    TWinControl::Notification(component, operation);
    if (operation == TOperation::opRemove && component == images_) SetImages(nullptr);
}

TTreeNode* TCustomTreeView::CreateNode() { return new TTreeNode(nodes_.get()); }

TTreeNode* TCustomTreeView::Selected() {
    if (!HandleAllocated()) return keptSelected_;
    const auto item = reinterpret_cast<HTREEITEM>(SendMessageW(Handle(), TVM_GETNEXTITEM, TVGN_CARET, 0));
    if (!item) return nullptr;
    TVITEMW fields{TVIF_PARAM, item};
    SendMessageW(Handle(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&fields));
    return NodeOf(fields);
}

void TCustomTreeView::SetSelected(TTreeNode* value) {
    if (!HandleAllocated()) {
        keptSelected_ = value;
        return;
    }
    SendMessageW(Handle(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(value ? value->item_ : nullptr));
}

void TCustomTreeView::SetImages(TCustomImageList* value) {
    if (images_ == value) return;
    if (images_) images_->RemoveFreeNotification(this);
    images_ = value;
    if (images_) images_->FreeNotification(this);
    if (HandleAllocated())
        SendMessageW(Handle(), TVM_SETIMAGELIST, TVSIL_NORMAL,
                     reinterpret_cast<LPARAM>(images_ ? images_->Handle() : nullptr));
}

int TCustomTreeView::Indent() { return HandleAllocated() ? int(SendMessageW(Handle(), TVM_GETINDENT, 0, 0)) : indent_; }

void TCustomTreeView::SetIndent(int value) {
    indent_ = value;
    if (HandleAllocated()) SendMessageW(Handle(), TVM_SETINDENT, WPARAM(value), 0);
}

TTreeNode* TCustomTreeView::GetNodeAt(int x, int y) {
    TVHITTESTINFO hit{{x, y}};
    SendMessageW(Handle(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    if (!hit.hItem || !(hit.flags & (TVHT_ONITEM | TVHT_ONITEMRIGHT | TVHT_ONITEMINDENT | TVHT_ONITEMBUTTON)))
        return nullptr;
    TVITEMW fields{TVIF_PARAM, hit.hItem};
    SendMessageW(Handle(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&fields));
    return NodeOf(fields);
}

bool TCustomTreeView::CanChange(TTreeNode* node) {
    bool allow = true;
    if (OnChanging) OnChanging(this, node, allow);
    return allow;
}

void TCustomTreeView::Change(TTreeNode* node) {
    if (autoExpand_ && node) node->Expand(false);
    if (OnChange) OnChange(this, node);
}

bool TCustomTreeView::CanExpand(TTreeNode* node) {
    bool allow = true;
    if (OnExpanding) OnExpanding(this, node, allow);
    return allow;
}

void TCustomTreeView::Expand(TTreeNode* node) {
    if (OnExpanded) OnExpanded(this, node);
}

bool TCustomTreeView::CanCollapse(TTreeNode* node) {
    bool allow = true;
    if (OnCollapsing) OnCollapsing(this, node, allow);
    return allow;
}

void TCustomTreeView::Collapse(TTreeNode* node) {
    if (OnCollapsed) OnCollapsed(this, node);
}

void TCustomTreeView::Delete(TTreeNode* node) {
    if (OnDeletion) OnDeletion(this, node);
}

void TCustomTreeView::GetImageIndex(TTreeNode* node) {
    if (OnGetImageIndex) OnGetImageIndex(this, node);
}

void TCustomTreeView::GetSelectedIndex(TTreeNode* node) {
    if (OnGetSelectedIndex) OnGetSelectedIndex(this, node);
}

void TCustomTreeView::DispInfo(NMTVDISPINFOW& info) {
    TTreeNode* node = NodeOf(info.item);
    if (!node) return;
    const bool wasAsking = std::exchange(askingImages_, true);
    if (info.item.mask & TVIF_IMAGE) {
        GetImageIndex(node);
        info.item.iImage = node->imageIndex_;
    }
    if (info.item.mask & TVIF_SELECTEDIMAGE) {
        GetSelectedIndex(node);
        info.item.iSelectedImage = node->selectedIndex_;
    }
    askingImages_ = wasAsking;
}

// Window items die with the window or with their node, whose deletion is announced by TTreeNodes.
void TCustomTreeView::CNNotify(TMessage& m) {
    const auto* header = reinterpret_cast<NMHDR*>(m.LParam);
    const auto* tree = reinterpret_cast<NMTREEVIEWW*>(m.LParam);
    switch (header->code) {
    case TVN_SELCHANGINGW: m.Result = CanChange(NodeOf(tree->itemNew)) ? 0 : 1; break;
    case TVN_SELCHANGEDW: Change(NodeOf(tree->itemNew)); break;
    case TVN_ITEMEXPANDINGW: {
        TTreeNode* node = NodeOf(tree->itemNew);
        const bool allow = tree->action == TVE_EXPAND ? CanExpand(node) : CanCollapse(node);
        m.Result = allow ? 0 : 1;
        break;
    }
    case TVN_ITEMEXPANDEDW: {
        TTreeNode* node = NodeOf(tree->itemNew);
        node->expanded_ = tree->action == TVE_EXPAND;
        if (node->expanded_)
            Expand(node);
        else
            Collapse(node);
        break;
    }
    case TVN_GETDISPINFOW: DispInfo(*reinterpret_cast<NMTVDISPINFOW*>(m.LParam)); break;
    default: InheritedMessage(m); break;
    }
}
