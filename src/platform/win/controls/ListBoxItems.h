#pragma once
// The items of a list box: text, caller's data, selection flag and (for
// variable-height lists) height of each row, in display order. Appending and
// reading are constant time; a sorted insertion finds its place by binary
// search; the number of selected items is counted as flags change.

#include <vector>

#include "platform/rtl/String.h"
#include "platform/win/Types.h"

class TListBoxItems {
public:
    struct TItem {
        String text;
        ULONG_PTR data = 0;
        int height = 0;
        bool selected = false;
    };

    int Count() const noexcept { return int(items_.size()); }
    bool Valid(int index) const noexcept { return index >= 0 && index < Count(); }
    const TItem& operator[](int index) const { return items_[size_t(index)]; }

    // Index -1 (or past the end) appends; answers where the item went.
    int Insert(int index, TItem item);
    // Where Text goes in a list kept in order ignoring case: after its equals, by binary search.
    int SortedPosition(const String& text) const;
    void Delete(int index);
    void Clear();

    void SetData(int index, ULONG_PTR data) { items_[size_t(index)].data = data; }
    void SetHeight(int index, int height) { items_[size_t(index)].height = height; }
    // Answers whether the flag changed.
    bool Select(int index, bool selected);
    int SelectedCount() const noexcept { return selectedCount_; }

    // The first item from Start + 1 on, wrapping round, whose text begins
    // with (Exact: equals) Text, ignoring case; -1 when none.
    int Find(const String& text, int start, bool exact) const;

private:
    std::vector<TItem> items_;
    int selectedCount_ = 0;
};
