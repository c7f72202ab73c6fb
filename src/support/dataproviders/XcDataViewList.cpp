#include "support/dataproviders/XcDataViewList.h"

#include <iterator>
#include <utility>

#include "support/dataproviders/XcDataItems.h"
#include "support/dataproviders/XcDataProviderTexts.h"

RTL_PUBLISHED_NONE(TXcCustomDataConsumerViewList);
RTL_PUBLISHED(TXcDataConsumerViewList, c) {
    c.Property("LevelIndent", &TXcDataConsumerViewList::LevelIndent, &TXcDataConsumerViewList::SetLevelIndent)
        .Default(16);
}

TClass XcDataConsumerViewListClass() { return TXcDataConsumerViewList::StaticClass(); }

void TXcCustomDataConsumerViewList::SetLevelIndent(int value) {
    if (value == levelIndent_) return;
    levelIndent_ = value;
    Changed(ccrExtensionSettingChanged);
}

TXcDataConsumerViewList::TXcDataConsumerViewList(TExtensibleInterfacedPersistent* owner)
    : TXcCustomDataConsumerViewList(owner) {}

void TXcDataConsumerViewList::AfterConstruction() {
    TXcCustomDataConsumerViewList::AfterConstruction();
    if (Consumer()->Provider()) RebuildView();
}

template <class Work>
void TXcDataConsumerViewList::WithProviderAccess(Work work) {
    TXcDataConsumer* consumer = Consumer();
    if (!consumer->Provider()) return work();
    consumer->BeginProviderAccess();
    try {
        work();
    } catch (...) {
        consumer->EndProviderAccess();
        throw;
    }
    consumer->EndProviderAccess();
}

void TXcDataConsumerViewList::CheckIndex(int index) const {
    if (index < 0 || index >= static_cast<int>(rows_.size())) throw EListError(XcListIndexText(index));
}

bool TXcDataConsumerViewList::IsShown(IXcDataItem* item) {
    if (!item) return true;
    TXcItemVisibility state = ivNotUsed;
    const TIntfPtr<IXcDataProvider> provider = Consumer()->Provider();
    TIntfPtr<IXcDataConsumerItemVisibility> consumerVisibility;
    if (provider && Supports(provider->CurrentConsumer(), consumerVisibility))
        state = consumerVisibility->ItemVisibility(item);
    TIntfPtr<IXcDataItemVisibility> itemVisibility;
    if ((state == ivUndetermined || state == ivNotUsed) && Supports(item, itemVisibility))
        state = itemVisibility->Visibility();
    return state != ivHidden;
}

TViewListItem TXcDataConsumerViewList::RowOf(IXcDataItem* item, int level) {
    TViewListItem row{item->ID(), static_cast<uint32_t>(level) & vlLevelMask};
    if (const TIntfPtr<IXcDataItems> subList = SubListOf(item)) {
        row.Flags |= vlHasSubList;
        if (subList->Count() > 0) row.Flags |= vlHasChildren;
    }
    return row;
}

void TXcDataConsumerViewList::CollectRows(IXcDataItems* list, int level, int levels, TViewListItems& rows) {
    if (!list) return;
    for (int i = 0, count = list->Count(); i < count; ++i) {
        const TIntfPtr<IXcDataItem> item = list->Item(i);
        if (!item || !IsShown(item.get())) continue;
        rows.push_back(RowOf(item.get(), level));
        if (levels != 0 && (rows.back().Flags & vlHasChildren)) {
            rows.back().Flags |= vlExpanded;
            CollectRows(SubListOf(item.get()).get(), level + 1, levels - 1, rows);
        }
    }
}

int TXcDataConsumerViewList::EndOfChildren(int index) const {
    const int level = LevelOf(index);
    int end = index + 1;
    while (end < static_cast<int>(rows_.size()) && LevelOf(end) > level) ++end;
    return end;
}

// The rows are gathered first and placed at once, so a rebuild takes time in
// proportion to the rows it shows.
void TXcDataConsumerViewList::AddItems(int& index, IXcDataItems* list, int levels) {
    if (!list) return;
    const int level = index > 0 ? LevelOf(index - 1) + 1 : 0;
    if (index > 0) rows_[static_cast<size_t>(index - 1)].Flags |= vlExpanded;
    TViewListItems block;
    CollectRows(list, level, levels, block);
    rows_.insert(rows_.begin() + index, std::make_move_iterator(block.begin()), std::make_move_iterator(block.end()));
    index += static_cast<int>(block.size());
}

void TXcDataConsumerViewList::AddItem(int index, IXcDataItem* item, int levels) {
    if (!IsShown(item)) return;
    int level = 0;
    int position = Count();
    if (index >= 0) {
        CheckIndex(index);
        uint32_t& flags = rows_[static_cast<size_t>(index)].Flags;
        if ((flags & vlHasChildren) && !(flags & vlExpanded)) return ToggleItem(index);
        flags |= vlExpanded | vlHasSubList | vlHasChildren;
        level = LevelOf(index) + 1;
        position = EndOfChildren(index);
    }
    TViewListItems block{RowOf(item, level)};
    if (levels != 0 && (block[0].Flags & vlHasChildren)) {
        block[0].Flags |= vlExpanded;
        CollectRows(SubListOf(item).get(), level + 1, levels - 1, block);
    }
    rows_.insert(rows_.begin() + position, std::make_move_iterator(block.begin()), std::make_move_iterator(block.end()));
}

void TXcDataConsumerViewList::AddChildItem(int parentIndex, IXcDataItem* item) {
    if (!IsShown(item)) return;
    int position = Count();
    if (parentIndex >= 0) {
        CheckIndex(parentIndex);
        uint32_t& flags = rows_[static_cast<size_t>(parentIndex)].Flags;
        if (!(flags & vlExpanded)) {
            if (!(flags & vlHasChildren)) flags |= vlHasSubList | vlHasChildren;
            ToggleItem(parentIndex);
        }
        if (IndexOfItem(item) >= 0) return; // opening the parent showed it
        position = EndOfChildren(parentIndex);
    }
    InsertItem(position, parentIndex, item);
}

void TXcDataConsumerViewList::InsertItem(int position, int parentIndex, IXcDataItem* item) {
    if (!IsShown(item)) return;
    const int level = parentIndex >= 0 ? LevelOf(parentIndex) + 1 : 0;
    rows_.insert(rows_.begin() + position, RowOf(item, level));
    if (parentIndex >= 0) rows_[static_cast<size_t>(parentIndex)].Flags |= vlExpanded | vlHasSubList | vlHasChildren;
}

void TXcDataConsumerViewList::DeleteItem(int index) {
    CheckIndex(index);
    CollapseItem(index);
    const int level = LevelOf(index);
    rows_.erase(rows_.begin() + index);
    if (index == 0) return;
    const int parent = index - 1;
    const int parentLevel = LevelOf(parent);
    if (parentLevel + 1 == level && (index >= Count() || LevelOf(index) <= parentLevel))
        rows_[static_cast<size_t>(parent)].Flags &= ~(vlExpanded | vlHasChildren);
}

void TXcDataConsumerViewList::CollapseItem(int index) {
    CheckIndex(index);
    const uint32_t flags = rows_[static_cast<size_t>(index)].Flags;
    if (!(flags & vlHasChildren) || !(flags & vlExpanded)) return;
    rows_.erase(rows_.begin() + index + 1, rows_.begin() + EndOfChildren(index));
    rows_[static_cast<size_t>(index)].Flags &= ~vlExpanded;
}

void TXcDataConsumerViewList::UpdateItemFlags(int index, uint32_t value, uint32_t mask) {
    CheckIndex(index);
    uint32_t& flags = rows_[static_cast<size_t>(index)].Flags;
    flags = (flags & ~mask) | (value & mask);
}

void TXcDataConsumerViewList::ClearView() { rows_.clear(); }

void TXcDataConsumerViewList::RebuildView() {
    ClearView();
    if (Consumer()->Provider()) {
        WithProviderAccess([&] {
            int index = 0;
            AddItems(index, RootItems().get(), AutoExpandLevel());
        });
    }
    NotifyViewChanged();
}

void TXcDataConsumerViewList::ExpandTreeTo(IXcDataItem* item) {
    WithProviderAccess([&] {
        if (!item || !IsShown(item) || IndexOfItem(item) >= 0) return;
        const TIntfPtr<IXcDataItems> list = item->Items();
        const TIntfPtr<IXcDataItem> parent = list ? list->Parent() : nullptr;
        if (!parent) return;
        ExpandTreeTo(parent.get());
        const int parentIndex = IndexOfItem(parent.get());
        if (parentIndex < 0) return;
        if (ItemIsExpanded(parentIndex)) throw EXCLDataConsumer(LoadResString(RsXcViewListOutOfSync));
        RefreshItemFlags(parentIndex);
        ToggleItem(parentIndex);
    });
}

void TXcDataConsumerViewList::ToggleItem(int index) {
    CheckIndex(index);
    const uint32_t flags = rows_[static_cast<size_t>(index)].Flags;
    if (!(flags & vlHasChildren)) return;
    if (flags & vlExpanded) {
        CollapseItem(index);
    } else {
        WithProviderAccess([&] {
            const TIntfPtr<IXcDataItem> item = ItemAt(index);
            int at = index + 1;
            AddItems(at, SubListOf(item.get()).get(), 0);
        });
    }
    NotifyViewChanged();
}

int TXcDataConsumerViewList::IndexOfItem(IXcDataItem* item) { return item ? IndexOfID(item->ID()) : -1; }

int TXcDataConsumerViewList::IndexOfID(const String& id) {
    for (int i = Count(); i-- > 0;)
        if (AnsiSameText(rows_[static_cast<size_t>(i)].ID, id)) return i;
    return -1;
}

int TXcDataConsumerViewList::ChildIndexOfItem(IXcDataItem* item) { return item ? ChildIndexOfID(item->ID()) : -1; }

int TXcDataConsumerViewList::ChildIndexOfID(const String& id) {
    const int index = IndexOfID(id);
    if (index < 0) return -1;
    const int level = LevelOf(index);
    int position = 0;
    for (int i = index - 1; i >= 0 && LevelOf(i) >= level; --i)
        if (LevelOf(i) == level) ++position;
    return position;
}

TIntfPtr<IXcDataItem> TXcDataConsumerViewList::ItemAt(int index) {
    CheckIndex(index);
    TIntfPtr<IXcDataItem> result;
    WithProviderAccess([&] {
        const int parentIndex = ItemParentIndex(index);
        const TIntfPtr<IXcDataItems> list = parentIndex < 0 ? RootItems() : SubListOf(ItemAt(parentIndex).get());
        TIntfPtr<IXcDataItemFinder> finder;
        if (Supports(list, finder)) result = finder->Find(rows_[static_cast<size_t>(index)].ID, false);
    });
    return result;
}

int TXcDataConsumerViewList::ItemLevel(int index) {
    CheckIndex(index);
    return LevelOf(index);
}

bool TXcDataConsumerViewList::ItemIsExpanded(int index) {
    CheckIndex(index);
    return (rows_[static_cast<size_t>(index)].Flags & vlExpanded) != 0;
}

bool TXcDataConsumerViewList::ItemHasChildren(int index) {
    CheckIndex(index);
    return (rows_[static_cast<size_t>(index)].Flags & vlHasChildren) != 0;
}

int TXcDataConsumerViewList::ItemParentIndex(int index) {
    CheckIndex(index);
    const int level = LevelOf(index);
    for (int i = index; i-- > 0;)
        if (LevelOf(i) < level) return i;
    return -1;
}

TIntfPtr<IXcDataItem> TXcDataConsumerViewList::ItemParent(int index) {
    const int parent = ItemParentIndex(index);
    return parent < 0 ? nullptr : ItemAt(parent);
}

int TXcDataConsumerViewList::ItemSiblingIndex(int index) {
    CheckIndex(index);
    const int level = LevelOf(index);
    for (int i = index + 1; i < Count(); ++i) {
        if (LevelOf(i) == level) return i;
        if (LevelOf(i) < level) return -1;
    }
    return -1;
}

TIntfPtr<IXcDataItem> TXcDataConsumerViewList::ItemSibling(int index) {
    const int sibling = ItemSiblingIndex(index);
    return sibling < 0 ? nullptr : ItemAt(sibling);
}

int TXcDataConsumerViewList::SubItemIndex(int parentIndex, int n) {
    if (parentIndex != -1) CheckIndex(parentIndex);
    int index = parentIndex + 1;
    // A collapsed parent's next row is no child of it.
    if (index >= Count() || (parentIndex >= 0 && LevelOf(index) <= LevelOf(parentIndex))) return -1;
    for (int k = 0; k < n && index >= 0; ++k) index = ItemSiblingIndex(index);
    return index;
}

int TXcDataConsumerViewList::SubItemIndex(IXcDataItem* parent, int n) {
    if (!parent) return SubItemIndex(-1, n);
    const int parentIndex = IndexOfItem(parent);
    return parentIndex < 0 ? -1 : SubItemIndex(parentIndex, n);
}

TIntfPtr<IXcDataItem> TXcDataConsumerViewList::SubItem(int parentIndex, int n) {
    const int index = SubItemIndex(parentIndex, n);
    return index < 0 ? nullptr : ItemAt(index);
}

TIntfPtr<IXcDataItem> TXcDataConsumerViewList::SubItem(IXcDataItem* parent, int n) {
    const int index = SubItemIndex(parent, n);
    return index < 0 ? nullptr : ItemAt(index);
}

std::vector<uint32_t> TXcDataConsumerViewList::ItemGroupInfo(int index) {
    CheckIndex(index);
    const int level = LevelOf(index);
    std::vector<uint32_t> info(static_cast<size_t>((level + 31) / 32));
    int ancestor = index;
    for (int n = level - 1; n >= 0; --n) {
        ancestor = ItemParentIndex(ancestor);
        if (ancestor < 0) break;
        if (ItemSiblingIndex(ancestor) >= 0) info[static_cast<size_t>(n / 32)] |= 1u << (n % 32);
    }
    return info;
}

bool TXcDataConsumerViewList::RefreshItemFlags(int index) {
    const uint32_t before = rows_[static_cast<size_t>(index)].Flags;
    const TIntfPtr<IXcDataItem> item = ItemAt(index);
    if (!item) return false;
    const uint32_t now = RowOf(item.get(), 0).Flags;
    uint32_t& flags = rows_[static_cast<size_t>(index)].Flags;
    flags = (flags & ~(vlHasSubList | vlHasChildren)) | now;
    if (!(flags & vlHasChildren)) flags &= ~vlExpanded;
    return flags != before;
}

void TXcDataConsumerViewList::DataChanging(IXcDataProvider*, TDataProviderChangeReason reason, IInterface* source) {
    TIntfPtr<IXcDataItem> item;
    if (reason != pcrItemDeleted || !Supports(source, item)) return;
    WithProviderAccess([&] {
        const TIntfPtr<IXcDataItems> list = item->Items();
        const TIntfPtr<IXcDataItem> parent = list ? list->Parent() : nullptr;
        deletedParentID_ = parent ? parent->ID() : String();
        if (const int index = IndexOfItem(item.get()); index >= 0) {
            DeleteItem(index);
            NotifyViewChanged();
        }
    });
}

void TXcDataConsumerViewList::DataChanged(IXcDataProvider*, TDataProviderChangeReason reason, IInterface* source) {
    switch (reason) {
    case pcrItemDeleted: {
        const String parentID = std::exchange(deletedParentID_, String());
        WithProviderAccess([&] {
            // The parent may have lost its last child without a row of it in view.
            if (const int index = parentID.empty() ? -1 : IndexOfID(parentID); index >= 0 && RefreshItemFlags(index))
                NotifyViewChanged();
        });
        return;
    }
    case pcrItemAdded: {
        TIntfPtr<IXcDataItem> item;
        if (!Supports(source, item)) return;
        WithProviderAccess([&] {
            const TIntfPtr<IXcDataItems> list = item->Items();
            const TIntfPtr<IXcDataItem> parent = list ? list->Parent() : nullptr;
            if (!parent) {
                AddChildItem(-1, item.get());
                return NotifyViewChanged();
            }
            int parentIndex = IndexOfItem(parent.get());
            if (parentIndex < 0 && ExpandOnNewItem()) {
                ExpandTreeTo(parent.get());
                parentIndex = IndexOfItem(parent.get());
            }
            if (parentIndex < 0) return;
            // A rebuild opens a parent with its first child down to the auto-expand level.
            const bool firstChildOpens = !ItemHasChildren(parentIndex) &&
                                         (AutoExpandLevel() < 0 || ItemLevel(parentIndex) < AutoExpandLevel());
            if (ItemIsExpanded(parentIndex)) {
                AddChildItem(parentIndex, item.get());
                NotifyViewChanged();
            } else if (ExpandOnNewItem() || firstChildOpens) {
                UpdateItemFlags(parentIndex, vlHasSubList | vlHasChildren, vlHasSubList | vlHasChildren);
                ToggleItem(parentIndex);
            } else if (RefreshItemFlags(parentIndex)) {
                NotifyViewChanged(); // a collapsed parent that had no children has one now
            }
        });
        return;
    }
    case pcrItemsChanged:
        // A list that was emptied leaves no rows behind.
        RebuildView();
        return;
    default: return;
    }
}
