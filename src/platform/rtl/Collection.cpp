#include "platform/rtl/Collection.h"

#include <algorithm>

#include "platform/rtl/ClassInfo.h"
#include "platform/rtl/Lists.h"
#include "platform/rtl/Properties.h"

RTL_PUBLISHED_NONE(TCollectionItem);
RTL_PUBLISHED_NONE(TCollection);
RTL_PUBLISHED_NONE(TOwnedCollection);

TCollectionItem::TCollectionItem(TCollection* collection) { SetCollection(collection); }

TCollectionItem::~TCollectionItem() { SetCollection(nullptr); }

void TCollectionItem::SetCollection(TCollection* value) {
    if (collection_ == value) return;
    if (collection_) collection_->RemoveItem(this);
    if (value) value->InsertItem(this);
}

int TCollectionItem::Index() const {
    if (!collection_) return -1;
    const auto& items = collection_->items_;
    return static_cast<int>(std::find(items.begin(), items.end(), this) - items.begin());
}

void TCollectionItem::SetIndex(int value) {
    const int current = Index();
    if (current < 0 || value < 0 || value == current) return;
    auto& items = collection_->items_;
    if (value >= static_cast<int>(items.size())) ListIndexError(value);
    items.erase(items.begin() + current);
    items.insert(items.begin() + value, this);
    Changed(true);
}

String TCollectionItem::DisplayName() const { return ClassName(); }

void TCollectionItem::SetDisplayName(const String&) { Changed(false); }

String TCollectionItem::GetNamePath() const {
    if (!collection_) return ClassName();
    return collection_->GetNamePath() + "[" + String(std::to_string(Index())) + "]";
}

TPersistent* TCollectionItem::GetOwner() const { return collection_; }

void TCollectionItem::Changed(bool allItems) {
    if (collection_ && collection_->updateCount_ == 0) collection_->Update(allItems ? nullptr : this);
}

TCollection::TCollection(TClass itemClass) : itemClass_(itemClass) {
    RTL_ASSERT(itemClass && itemClass->InheritsFrom(TCollectionItem::StaticClass()), "Item class is no collection item");
}

TCollection::~TCollection() {
    updateCount_ = 1; // no Update calls into a collection being destroyed
    Clear();
}

TCollectionItem* TCollection::Items(int index) const {
    if (index < 0 || index >= Count()) ListIndexError(index);
    return items_[static_cast<size_t>(index)];
}

void TCollection::SetItem(int index, TCollectionItem* value) { Items(index)->Assign(value); }

TCollectionItem* TCollection::Add() {
    // The item joins in its base constructor; Update comes once it is whole.
    BeginUpdate();
    TCollectionItem* item = nullptr;
    try {
        item = itemClass_->CreateItem(this);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    RTL_ASSERT(item->collection_ == this, "Item constructor did not join the collection");
    return item;
}

TCollectionItem* TCollection::Insert(int index) {
    if (index < 0 || index > Count()) ListIndexError(index);
    TCollectionItem* item = Add();
    item->SetIndex(index);
    return item;
}

void TCollection::Delete(int index) {
    TCollectionItem* item = Items(index);
    Notify(item, cnDeleting);
    delete item;
}

void TCollection::Clear() {
    if (items_.empty()) return;
    BeginUpdate();
    try {
        while (!items_.empty()) delete items_.back();
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

TCollectionItem* TCollection::FindItemID(int id) const {
    for (TCollectionItem* item : items_)
        if (item->id_ == id) return item;
    return nullptr;
}

void TCollection::Assign(TPersistent* source) {
    auto* other = dynamic_cast<TCollection*>(source);
    if (!other) return TPersistent::Assign(source);
    if (other == this) return;
    BeginUpdate();
    try {
        Clear();
        for (TCollectionItem* item : other->items_) Add()->Assign(item);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TCollection::EndUpdate() {
    --updateCount_;
    Changed();
}

String TCollection::GetNamePath() const {
    const TPersistent* owner = GetOwner();
    if (!owner) return ClassName();
    const String ownerPath = owner->GetNamePath();
    if (ownerPath.empty()) return ClassName();
    const String prop = PropName();
    return prop.empty() ? ClassName() : ownerPath + "." + prop;
}

String TCollection::PropName() const {
    auto* owner = const_cast<TPersistent*>(GetOwner());
    for (const TPropInfo* prop : GetPropList(owner, {tkClass}))
        if (prop->HasReader() && GetObjectProp(owner, prop) == this) return prop->Name();
    return String();
}

void TCollection::Update(TCollectionItem*) {}

void TCollection::Notify(TCollectionItem*, TCollectionNotification) {}

void TCollection::Changed() {
    if (updateCount_ == 0) Update(nullptr);
}

void TCollection::InsertItem(TCollectionItem* item) {
    items_.push_back(item);
    item->collection_ = this;
    item->id_ = nextId_++;
    Notify(item, cnAdded);
    Changed();
}

void TCollection::RemoveItem(TCollectionItem* item) {
    Notify(item, cnExtracting);
    std::erase(items_, item);
    item->collection_ = nullptr;
    Changed();
}
