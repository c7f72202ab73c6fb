#pragma once
// TCustomTreeView / TTreeView: the framework's tree over the "SysTreeView32"
// window class. The nodes (TTreeNodes of TTreeNode, or of the class
// CreateNode makes) belong to the control and outlive its window: a new
// window gets the same nodes with their texts, data, images, expansion and
// the selection. Each window item carries its node in its lParam; images are
// asked for as they are drawn (OnGetImageIndex, OnGetSelectedIndex).
//
// Subclasses keeping node data of their own around a window re-creation
// override DestroyWnd and CreateWnd and look for csRecreating: the nodes
// still exist in DestroyWnd, and have their new window items once
// TCustomTreeView::CreateWnd returns.

#include <memory>
#include <vector>

#include "platform/rtl/Persistent.h"
#include "platform/ui/WinControl.h"
#include "platform/win/controls/CommonControlConstants.h"

class TCustomImageList;
class TCustomTreeView;
class TTreeNodes;

class TTreeNode : public TPersistent {
    RTL_CLASS(TTreeNode, TPersistent);

public:
    explicit TTreeNode(TTreeNodes* owner);
    ~TTreeNode() override;

    TTreeNodes* Owner() const noexcept { return owner_; }
    TCustomTreeView* TreeView() const noexcept;
    // The window item while the tree has a window.
    HTREEITEM ItemId() const noexcept { return item_; }

    const String& Text() const noexcept { return text_; }
    void SetText(const String& value);
    void* Data() const noexcept { return data_; }
    void SetData(void* value) { data_ = value; }
    int ImageIndex() const noexcept { return imageIndex_; }
    void SetImageIndex(int value);
    int SelectedIndex() const noexcept { return selectedIndex_; }
    void SetSelectedIndex(int value);
    bool Expanded() const;
    void SetExpanded(bool value);
    void Expand(bool recurse);
    void Collapse(bool recurse);
    // Children present, or announced before they are added.
    bool HasChildren() const noexcept { return hasChildren_ || !children_.empty(); }
    void SetHasChildren(bool value);
    bool Selected() const;
    void SetSelected(bool value);

    TTreeNode* Parent() const noexcept { return parent_; }
    int Level() const noexcept;
    int Index() const noexcept;
    int Count() const noexcept { return int(children_.size()); }
    TTreeNode* Item(int index) const;
    TTreeNode* getFirstChild() const noexcept { return children_.empty() ? nullptr : children_.front().get(); }
    TTreeNode* getNextSibling() const noexcept;
    TTreeNode* getPrevSibling() const noexcept;
    // The next node in tree order (children first), expanded or not.
    TTreeNode* GetNext() const noexcept;
    // Position in tree order among all nodes.
    int AbsoluteIndex() const noexcept;

    void Delete();
    void MakeVisible();
    // The node's row (TextOnly: its label) in client coordinates; empty when not shown.
    TRect DisplayRect(bool textOnly) const;
    // Copies text, data, images and HasChildren of another node.
    void Assign(TPersistent* source) override;

private:
    friend class TTreeNodes;
    friend class TCustomTreeView;
    std::vector<std::unique_ptr<TTreeNode>>& Siblings() const noexcept;
    void UpdateItem(UINT mask);

    TTreeNodes* owner_;
    TTreeNode* parent_ = nullptr;
    std::vector<std::unique_ptr<TTreeNode>> children_;
    HTREEITEM item_ = nullptr;
    String text_;
    void* data_ = nullptr;
    int imageIndex_ = -1;
    int selectedIndex_ = -1;
    bool expanded_ = false; // kept for a window made again
    bool hasChildren_ = false;
};

class TTreeNodes : public TPersistent {
    RTL_CLASS(TTreeNodes, TPersistent);

public:
    explicit TTreeNodes(TCustomTreeView* owner);
    ~TTreeNodes() override;

    TCustomTreeView* Owner() const noexcept { return owner_; }
    // New nodes: after the last sibling of Sibling (a root when null), before
    // the first, as the last or first child of Parent, or just before Sibling.
    TTreeNode* Add(TTreeNode* sibling, const String& text) { return AddObject(sibling, text, nullptr); }
    TTreeNode* AddObject(TTreeNode* sibling, const String& text, void* data);
    TTreeNode* AddFirst(TTreeNode* sibling, const String& text);
    TTreeNode* AddChild(TTreeNode* parent, const String& text) { return AddChildObject(parent, text, nullptr); }
    TTreeNode* AddChildObject(TTreeNode* parent, const String& text, void* data);
    TTreeNode* AddChildFirst(TTreeNode* parent, const String& text);
    TTreeNode* Insert(TTreeNode* sibling, const String& text);
    void Delete(TTreeNode* node);
    void Clear();
    void BeginUpdate();
    void EndUpdate();

    int Count() const noexcept;
    // Nodes in tree order.
    TTreeNode* Item(int index) const;
    TTreeNode* GetFirstNode() const noexcept { return roots_.empty() ? nullptr : roots_.front().get(); }
    // Copies another TTreeNodes' nodes.
    void Assign(TPersistent* source) override;

private:
    friend class TTreeNode;
    friend class TCustomTreeView;
    std::vector<std::unique_ptr<TTreeNode>>& ChildrenOf(TTreeNode* parent) {
        return parent ? parent->children_ : roots_;
    }
    TTreeNode* InsertNode(TTreeNode* parent, size_t at, const String& text, void* data);
    void CopyChildren(TTreeNode* into, const std::vector<std::unique_ptr<TTreeNode>>& from);

    TCustomTreeView* owner_;
    std::vector<std::unique_ptr<TTreeNode>> roots_;
    int updateCount_ = 0;
};

using TTVChangingEvent = std::function<void(TObject* sender, TTreeNode* node, bool& allowChange)>;
using TTVChangedEvent = std::function<void(TObject* sender, TTreeNode* node)>;
using TTVExpandingEvent = std::function<void(TObject* sender, TTreeNode* node, bool& allowExpansion)>;
using TTVCollapsingEvent = std::function<void(TObject* sender, TTreeNode* node, bool& allowCollapse)>;
using TTVExpandedEvent = std::function<void(TObject* sender, TTreeNode* node)>;

class TCustomTreeView : public TWinControl {
    RTL_CLASS(TCustomTreeView, TWinControl);
    UI_MESSAGES(TCustomTreeView, TWinControl);

public:
    explicit TCustomTreeView(TComponent* owner);
    ~TCustomTreeView() override;

    TTreeNodes* Items() const noexcept { return nodes_.get(); }
    void SetItems(TTreeNodes* value) { nodes_->Assign(value); }
    TTreeNode* Selected();
    void SetSelected(TTreeNode* value);
    TCustomImageList* Images() const noexcept { return images_; }
    void SetImages(TCustomImageList* value);
    int Indent();
    void SetIndent(int value);
    bool ReadOnly() const noexcept { return readOnly_; }
    void SetReadOnly(bool value) { readOnly_ = value; }
    // Selecting a node expands it.
    bool AutoExpand() const noexcept { return autoExpand_; }
    void SetAutoExpand(bool value) { autoExpand_ = value; }
    bool ShowLines() const noexcept { return showLines_; }
    void SetShowLines(bool value) { SetAndRecreate(showLines_, value); }
    bool ShowButtons() const noexcept { return showButtons_; }
    void SetShowButtons(bool value) { SetAndRecreate(showButtons_, value); }
    bool ShowRoot() const noexcept { return showRoot_; }
    void SetShowRoot(bool value) { SetAndRecreate(showRoot_, value); }
    bool HideSelection() const noexcept { return hideSelection_; }
    void SetHideSelection(bool value) { SetAndRecreate(hideSelection_, value); }
    bool RowSelect() const noexcept { return rowSelect_; }
    void SetRowSelect(bool value) { SetAndRecreate(rowSelect_, value); }
    // The node at a client point, or null.
    TTreeNode* GetNodeAt(int x, int y);

    TTVChangingEvent OnChanging;
    TTVChangedEvent OnChange;
    TTVExpandingEvent OnExpanding;
    TTVExpandedEvent OnExpanded;
    TTVCollapsingEvent OnCollapsing;
    TTVExpandedEvent OnCollapsed;
    TTVExpandedEvent OnDeletion;
    TTVExpandedEvent OnGetImageIndex;
    TTVExpandedEvent OnGetSelectedIndex;

protected:
    // The node class of this tree; TTreeNodes makes every node through it.
    virtual TTreeNode* CreateNode();
    virtual bool CanChange(TTreeNode* node);
    virtual void Change(TTreeNode* node);
    virtual bool CanExpand(TTreeNode* node);
    virtual void Expand(TTreeNode* node);
    virtual bool CanCollapse(TTreeNode* node);
    virtual void Collapse(TTreeNode* node);
    virtual void Delete(TTreeNode* node);
    // Asked before a node is drawn: the events may set the node's ImageIndex / SelectedIndex.
    virtual void GetImageIndex(TTreeNode* node);
    virtual void GetSelectedIndex(TTreeNode* node);

    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void Notification(TComponent* component, TOperation operation) override;

    void CNNotify(TMessage& m);

private:
    friend class TTreeNodes;
    friend class TTreeNode;
    template <class T>
    void SetAndRecreate(T& field, T value) {
        if (field == value) return;
        field = value;
        RecreateWnd();
    }
    // Puts Node (and its subtree) into the window after the item Before (TVI_FIRST, TVI_LAST...).
    void CreateItems(TTreeNode* node, HTREEITEM before);
    void ExpandItems(const std::vector<std::unique_ptr<TTreeNode>>& nodes);
    static TTreeNode* NodeOf(const TVITEMW& item) { return reinterpret_cast<TTreeNode*>(item.lParam); }
    void DispInfo(NMTVDISPINFOW& info);

    std::unique_ptr<TTreeNodes> nodes_;
    TTreeNode* keptSelected_ = nullptr; // the selection while there is no window
    TCustomImageList* images_ = nullptr;
    bool askingImages_ = false; // inside OnGetImageIndex / OnGetSelectedIndex
    int indent_ = 19;
    bool readOnly_ = false;
    bool autoExpand_ = false;
    bool showLines_ = true;
    bool showButtons_ = true;
    bool showRoot_ = true;
    bool hideSelection_ = true;
    bool rowSelect_ = false;
};

class TTreeView : public TCustomTreeView {
    RTL_CLASS(TTreeView, TCustomTreeView);

public:
    using TCustomTreeView::TCustomTreeView;
};
