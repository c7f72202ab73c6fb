#include "controls/dragdrop/UnicodeStrings.h"

#include <algorithm>

#include "platform/rtl/ClassInfo.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Lists.h"
#include "platform/rtl/StringList.h"

namespace {

constexpr std::u16string_view kUnicodeLineBreak = u"\r\n";

// At least the number of pieces SetText cuts from Text.
int EstimatedLineCount(std::u16string_view text) {
    return static_cast<int>(std::count_if(text.begin(), text.end(), [](char16_t c) { return c == u'\r' || c == u'\n'; })) + 1;
}

// Adds every string of Source to Dest, in order.
template <class Source, class Dest>
void CopyStrings(const Source& source, Dest& dest) {
    for (int i = 0; i < source.Count(); ++i) dest.Add(source.Strings(i));
}

} // namespace

RTL_PUBLISHED_NONE(TUnicodeStrings);
RTL_PUBLISHED_NONE(TUnicodeStringList);

String TUnicodeStrings::Text() const {
    String text;
    for (int i = 0; i < Count(); ++i) {
        if (i > 0) text += String(kUnicodeLineBreak);
        text += Get(i);
    }
    return text;
}

void TUnicodeStrings::SetText(const String& text) {
    Updating([&] {
        Clear();
        if (!text.empty()) {
            SetCapacity(EstimatedLineCount(text));
            const std::u16string_view rest = text;
            size_t at = 0;
            while (at < rest.size() && rest[at] != u'\0') {
                const size_t end = std::min(rest.find_first_of(std::u16string_view(u"\0\r\n", 3), at), rest.size());
                Add(String(rest.substr(at, end - at)));
                at = end;
                if (at < rest.size() && rest[at] == u'\r') ++at;
                if (at < rest.size() && rest[at] == u'\n') ++at;
            }
        }
    });
}

int TUnicodeStrings::Add(const String& value) {
    const int index = Count();
    Insert(index, value);
    return index;
}

int TUnicodeStrings::IndexOf(const String& value) const {
    for (int i = Count() - 1; i >= 0; --i)
        if (Get(i) == value) return i;
    return -1;
}

void TUnicodeStrings::CheckIndex(int index) const {
    if (index < 0 || index >= Count()) ListIndexError(index);
}

void TUnicodeStrings::Exchange(int index1, int index2) {
    CheckIndex(index1);
    CheckIndex(index2);
    Updating([&] {
        const String first = Get(index1);
        Put(index1, Get(index2));
        Put(index2, first);
    });
}

void TUnicodeStrings::Move(int curIndex, int newIndex) {
    CheckIndex(curIndex);
    CheckIndex(newIndex);
    Updating([&] {
        const String moved = Get(curIndex);
        Delete(curIndex);
        Insert(newIndex, moved);
    });
}

void TUnicodeStrings::BeginUpdate() {
    if (updateCount_ == 0) Changing();
    ++updateCount_;
}

void TUnicodeStrings::EndUpdate() {
    if (--updateCount_ == 0) Changed();
}

void TUnicodeStrings::Changed() {
    if (updateCount_ == 0 && OnChange) OnChange(this);
}

void TUnicodeStrings::Changing() {
    if (updateCount_ == 0 && OnChanging) OnChanging(this);
}

void TUnicodeStrings::Assign(TPersistent* source) {
    auto* unicode = dynamic_cast<TUnicodeStrings*>(source);
    auto* framework = dynamic_cast<TStrings*>(source);
    if (!unicode && !framework) return TPersistent::Assign(source);
    if (source == this) return;
    Updating([&] {
        Clear();
        if (unicode) {
            SetCapacity(unicode->Count());
            CopyStrings(*unicode, *this);
        } else {
            SetCapacity(framework->Count());
            CopyStrings(*framework, *this);
        }
    });
}

void TUnicodeStrings::AssignTo(TPersistent* dest) {
    auto* framework = dynamic_cast<TStrings*>(dest);
    if (!framework) return TPersistent::AssignTo(dest);
    framework->Updating([&] {
        framework->Clear();
        if (auto* list = dynamic_cast<TStringList*>(framework)) list->SetCapacity(Count());
        CopyStrings(*this, *framework);
    });
}

void TUnicodeStringList::SetCapacity(int value) {
    RTL_ASSERT(value >= count_, "Capacity below Count");
    items_.resize(static_cast<size_t>(value));
}

void TUnicodeStringList::Grow() {
    const int capacity = GetCapacity();
    const int delta = capacity > 64 ? capacity / 4 : capacity > 8 ? 16 : 4;
    SetCapacity(capacity + delta);
}

String TUnicodeStringList::Get(int index) const {
    CheckIndex(index);
    return items_[static_cast<size_t>(index)];
}

void TUnicodeStringList::Put(int index, const String& value) {
    CheckIndex(index);
    Changing();
    items_[static_cast<size_t>(index)] = value;
    Changed();
}

void TUnicodeStringList::Insert(int index, const String& value) {
    if (index < 0 || index > count_) ListIndexError(index);
    Changing();
    if (count_ == GetCapacity()) Grow();
    const auto at = items_.begin() + index;
    std::move_backward(at, items_.begin() + count_, items_.begin() + count_ + 1);
    *at = value;
    ++count_;
    Changed();
}

void TUnicodeStringList::Delete(int index) {
    CheckIndex(index);
    Changing();
    --count_;
    const auto at = items_.begin() + index;
    std::move(at + 1, items_.begin() + count_ + 1, at);
    items_[static_cast<size_t>(count_)].clear();
    Changed();
}

void TUnicodeStringList::Clear() {
    Changing();
    std::fill(items_.begin(), items_.begin() + count_, String());
    count_ = 0;
    Changed();
}
