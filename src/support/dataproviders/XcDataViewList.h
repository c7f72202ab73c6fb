#pragma once
// The flat view: a consumer's item tree as one list of rows, in which an
// item's children follow it, indented by level, and can be expanded and
// collapsed. Consumers with attribute xcaList carry one; it is rebuilt when
// provider, context or view change and patched when the provider announces
// an added or deleted item. Rows keep item IDs; ItemAt looks the item up.
// Row indexes outside 0 .. Count-1 raise EListError "List index out of bounds (%d)".

#include <cstdint>
#include <vector>

#include "support/dataproviders/XcDataConsumer.h"

// A row: the item's ID and its flags.
struct TViewListItem {
    String ID;
    uint32_t Flags = 0;
};
using TViewListItems = std::vector<TViewListItem>;

// The flags of a row: the level in the low 24 bits and these.
inline constexpr uint32_t vlLevelMask = 0x00FFFFFF;
inline constexpr uint32_t vlExpanded = 1u << 29;    // the children follow the row
inline constexpr uint32_t vlHasSubList = 1u << 30;
inline constexpr uint32_t vlHasChildren = 1u << 31; // the sub-list has items

class TXcCustomDataConsumerViewList
    : public TImplements<TXcDataConsumerAggregatedObject, IXcDataConsumerFlatView> {
    RTL_CLASS(TXcCustomDataConsumerViewList, TXcDataConsumerAggregatedObject);

public:
    using TImplements::TImplements;

    // How many levels below the root items a rebuild shows; negative: all.
    int AutoExpandLevel() override { return autoExpandLevel_; }
    void SetAutoExpandLevel(int value) override { autoExpandLevel_ = value; }
    // Whether a new item opens the rows down to it.
    bool ExpandOnNewItem() override { return expandOnNewItem_; }
    void SetExpandOnNewItem(bool value) override { expandOnNewItem_ = value; }
    // Pixels per level for the control; a new value is a setting change.
    int LevelIndent() override { return levelIndent_; }
    void SetLevelIndent(int value) override;

private:
    int autoExpandLevel_ = 0;
    bool expandOnNewItem_ = false;
    int levelIndent_ = 16;
};

class TXcDataConsumerViewList : public TXcCustomDataConsumerViewList {
    RTL_CLASS(TXcDataConsumerViewList, TXcCustomDataConsumerViewList);

public:
    explicit TXcDataConsumerViewList(TExtensibleInterfacedPersistent* owner);

    // Rows of the list's items at Index (which advances past them), Levels
    // deep below them; the row before becomes their parent.
    virtual void AddItems(int& index, IXcDataItems* list, int levels);
    virtual void AddItem(int index, IXcDataItem* item, int levels);
    virtual void AddChildItem(int parentIndex, IXcDataItem* item);
    virtual void InsertItem(int position, int parentIndex, IXcDataItem* item);
    virtual void DeleteItem(int index);
    virtual void CollapseItem(int index);
    virtual void UpdateItemFlags(int index, uint32_t value, uint32_t mask);
    virtual void ClearView();
    const TViewListItems& Rows() const noexcept { return rows_; }

    void RebuildView() override;
    // Opens the rows down to the item.
    void ExpandTreeTo(IXcDataItem* item) override;
    void ToggleItem(int index) override;
    int IndexOfItem(IXcDataItem* item) override;
    int IndexOfID(const String& id) override;
    int ChildIndexOfItem(IXcDataItem* item) override;
    int ChildIndexOfID(const String& id) override;
    TIntfPtr<IXcDataItem> ItemAt(int index) override;
    int ItemLevel(int index) override;
    bool ItemIsExpanded(int index) override;
    bool ItemHasChildren(int index) override;
    TIntfPtr<IXcDataItem> ItemParent(int index) override;
    int ItemParentIndex(int index) override;
    TIntfPtr<IXcDataItem> ItemSibling(int index) override;
    int ItemSiblingIndex(int index) override;
    TIntfPtr<IXcDataItem> SubItem(IXcDataItem* parent, int n) override;
    TIntfPtr<IXcDataItem> SubItem(int parentIndex, int n) override;
    int SubItemIndex(IXcDataItem* parent, int n) override;
    // The parent index may be -1: the n-th root row.
    int SubItemIndex(int parentIndex, int n) override;
    // One bit per ancestor level, set when the ancestor has a following sibling.
    std::vector<uint32_t> ItemGroupInfo(int index) override;
    int Count() override { return static_cast<int>(rows_.size()); }

    void AfterConstruction() override;
    bool KeepOnProviderChange() override { return true; }
    void ProviderReplacing() override { ClearView(); }
    void ProviderReplaced() override { RebuildView(); }
    void ContextReplaced() override { RebuildView(); }
    void ViewChanged(TXcDataConsumerAggregatedObject*) override { RebuildView(); }
    void DataChanging(IXcDataProvider* provider, TDataProviderChangeReason reason, IInterface* source) override;
    void DataChanged(IXcDataProvider* provider, TDataProviderChangeReason reason, IInterface* source) override;

private:
    void CheckIndex(int index) const;
    int LevelOf(int index) const { return static_cast<int>(rows_[static_cast<size_t>(index)].Flags & vlLevelMask); }
    bool IsShown(IXcDataItem* item);
    // The row of an item on Level: its ID and the flags of its sub-list.
    TViewListItem RowOf(IXcDataItem* item, int level);
    // The rows of the list's shown items, and Levels deep below them, appended to Rows.
    void CollectRows(IXcDataItems* list, int level, int levels, TViewListItems& rows);
    // The index after the last row below the row at Index.
    int EndOfChildren(int index) const;
    // Bits 30 and 31 (and 29 without children) as the item's sub-list has
    // them now; whether they changed.
    bool RefreshItemFlags(int index);
    template <class Work>
    void WithProviderAccess(Work work);

    TViewListItems rows_;
    // The parent of an item being deleted, whose flags follow the deletion.
    String deletedParentID_;
};
