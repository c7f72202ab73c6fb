#include "platform/rtl/Lists.h"

#include <algorithm>
#include <string>

#include "platform/rtl/Exceptions.h"

namespace {

[[noreturn]] void ListError(const char* text, int value) {
    throw EListError(String(text) + " (" + String(std::to_string(value)) + ")");
}

} // namespace

void ListIndexError(int index) { ListError("List index out of bounds", index); }

TList::~TList() { Clear(); }

void TList::CheckIndex(int index) const {
    if (index < 0 || index >= Count()) ListIndexError(index);
}

void TList::SetCount(int value) {
    if (value < 0) ListError("List count out of bounds", value);
    if (value >= Count()) {
        items_.resize(static_cast<size_t>(value), nullptr);
        return;
    }
    while (Count() > value) Delete(Count() - 1);
}

void TList::SetCapacity(int value) {
    if (value < Count()) ListError("List capacity out of bounds", value);
    if (static_cast<size_t>(value) > items_.capacity()) {
        items_.reserve(static_cast<size_t>(value));
    } else {
        std::vector<void*> shrunk;
        shrunk.reserve(static_cast<size_t>(value));
        shrunk.assign(items_.begin(), items_.end());
        items_.swap(shrunk);
    }
}

void* TList::Items(int index) const {
    CheckIndex(index);
    return items_[static_cast<size_t>(index)];
}

void TList::SetItems(int index, void* item) {
    CheckIndex(index);
    void*& slot = items_[static_cast<size_t>(index)];
    if (slot == item) return;
    void* old = slot;
    slot = item;
    if (old) Notify(old, lnDeleted);
    if (item) Notify(item, lnAdded);
}

int TList::Add(void* item) {
    items_.push_back(item);
    if (item) Notify(item, lnAdded);
    return Count() - 1;
}

void TList::Insert(int index, void* item) {
    if (index < 0 || index > Count()) ListError("List index out of bounds", index);
    items_.insert(items_.begin() + index, item);
    if (item) Notify(item, lnAdded);
}

void TList::Delete(int index) {
    CheckIndex(index);
    void* item = items_[static_cast<size_t>(index)];
    items_.erase(items_.begin() + index);
    if (item) Notify(item, lnDeleted);
}

int TList::Remove(void* item) {
    const int index = IndexOf(item);
    if (index >= 0) Delete(index);
    return index;
}

void* TList::Extract(void* item) {
    const int index = IndexOf(item);
    if (index < 0) return nullptr;
    items_.erase(items_.begin() + index);
    if (item) Notify(item, lnExtracted);
    return item;
}

int TList::IndexOf(void* item) const {
    const auto it = std::find(items_.begin(), items_.end(), item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TList::Exchange(int index1, int index2) {
    CheckIndex(index1);
    CheckIndex(index2);
    std::swap(items_[static_cast<size_t>(index1)], items_[static_cast<size_t>(index2)]);
}

void TList::Move(int curIndex, int newIndex) {
    CheckIndex(curIndex);
    CheckIndex(newIndex);
    MoveElement(items_, curIndex, newIndex);
}

void TList::Clear() {
    // Items leave one by one from the end, so a notification sees a consistent list.
    while (!items_.empty()) Delete(Count() - 1);
    items_.shrink_to_fit();
}

void TList::Sort(const TListSortCompare& compare) {
    std::stable_sort(items_.begin(), items_.end(), [&](void* a, void* b) { return compare(a, b) < 0; });
}

void TList::Notify(void*, TListNotification) {}

void TObjectList::Notify(void* item, TListNotification action) {
    if (ownsObjects_ && action == lnDeleted) delete static_cast<TObject*>(item);
    TList::Notify(item, action);
}
