#include "platform/win/controls/ListBoxItems.h"

#include <algorithm>

int TListBoxItems::Insert(int index, TItem item) {
    if (index < 0 || index > Count()) index = Count();
    if (item.selected) ++selectedCount_;
    items_.insert(items_.begin() + index, std::move(item));
    return index;
}

int TListBoxItems::SortedPosition(const String& text) const {
    const auto it = std::upper_bound(items_.begin(), items_.end(), text, [](const String& t, const TItem& item) {
        return AnsiCompareText(t, item.text) < 0;
    });
    return int(it - items_.begin());
}

void TListBoxItems::Delete(int index) {
    if (items_[size_t(index)].selected) --selectedCount_;
    items_.erase(items_.begin() + index);
}

void TListBoxItems::Clear() {
    items_.clear();
    selectedCount_ = 0;
}

bool TListBoxItems::Select(int index, bool selected) {
    bool& flag = items_[size_t(index)].selected;
    if (flag == selected) return false;
    flag = selected;
    selectedCount_ += selected ? 1 : -1;
    return true;
}

int TListBoxItems::Find(const String& text, int start, bool exact) const {
    const int count = Count();
    if (count == 0) return -1;
    if (start < -1 || start >= count) start = -1;
    for (int step = 1; step <= count; ++step) {
        const int i = (start + step) % count;
        const String& s = items_[size_t(i)].text;
        if (exact ? AnsiSameText(s, text) : (s.size() >= text.size() && AnsiSameText(s.substr(0, text.size()), text)))
            return i;
    }
    return -1;
}
