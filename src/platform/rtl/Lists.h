#pragma once
// TList: an ordered list of untyped pointers with 0-based indexes.
// TObjectList: a TList of TObject* that frees its items when OwnsObjects is set.
// Index errors raise EListError "List index out of bounds (%d)".

#include <algorithm>
#include <functional>
#include <vector>

#include "platform/rtl/TObject.h"

// Moves the element at `from` to index `to`, shifting the ones between.
template <class Vector>
void MoveElement(Vector& items, int from, int to) {
    const auto cur = items.begin() + from;
    const auto dest = items.begin() + to;
    if (from < to)
        std::rotate(cur, cur + 1, dest + 1);
    else
        std::rotate(dest, cur, cur + 1);
}

// Raises EListError "List index out of bounds (Index)": the index error of every list of the library.
[[noreturn]] void ListIndexError(int index);

enum class TListNotification { lnAdded, lnExtracted, lnDeleted };
using enum TListNotification;

// Negative, zero or positive, as the first item sorts before, with or after the second.
using TListSortCompare = std::function<int(void*, void*)>;

class TList : public TObject {
public:
    TList() = default;
    ~TList() override;

    int Count() const noexcept { return static_cast<int>(items_.size()); }
    // Growing fills with null items; shrinking deletes the items past the new count.
    void SetCount(int value);
    int Capacity() const noexcept { return static_cast<int>(items_.capacity()); }
    // Raises EListError "List capacity out of bounds (%d)" below Count.
    void SetCapacity(int value);

    void* Items(int index) const;
    void SetItems(int index, void* item);
    void* First() const { return Items(0); }
    void* Last() const { return Items(Count() - 1); }

    int Add(void* item);
    void Insert(int index, void* item);
    void Delete(int index);
    // Deletes the first occurrence; returns its former index or -1.
    int Remove(void* item);
    // Takes the first occurrence out without deleting it; null when absent.
    void* Extract(void* item);
    int IndexOf(void* item) const;
    void Exchange(int index1, int index2);
    // Moves the item at CurIndex so that it ends up at NewIndex.
    void Move(int curIndex, int newIndex);
    void Clear();
    // Stable: items that compare equal keep their order.
    void Sort(const TListSortCompare& compare);

    auto begin() const noexcept { return items_.begin(); }
    auto end() const noexcept { return items_.end(); }

protected:
    // Called after an item entered or left the list.
    virtual void Notify(void* item, TListNotification action);
    void CheckIndex(int index) const;

private:
    std::vector<void*> items_;
};

class TObjectList : public TList {
public:
    explicit TObjectList(bool ownsObjects = true) : ownsObjects_(ownsObjects) {}
    ~TObjectList() override { Clear(); }

    bool OwnsObjects() const noexcept { return ownsObjects_; }
    void SetOwnsObjects(bool value) noexcept { ownsObjects_ = value; }

    TObject* Items(int index) const { return static_cast<TObject*>(TList::Items(index)); }
    void SetItems(int index, TObject* item) { TList::SetItems(index, item); }
    TObject* First() const { return Items(0); }
    TObject* Last() const { return Items(Count() - 1); }
    int Add(TObject* item) { return TList::Add(item); }
    void Insert(int index, TObject* item) { TList::Insert(index, item); }
    int Remove(TObject* item) { return TList::Remove(item); }
    TObject* Extract(TObject* item) { return static_cast<TObject*>(TList::Extract(item)); }
    int IndexOf(TObject* item) const { return TList::IndexOf(item); }

protected:
    void Notify(void* item, TListNotification action) override;

private:
    bool ownsObjects_;
};
