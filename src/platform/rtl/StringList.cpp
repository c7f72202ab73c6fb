#include "platform/rtl/StringList.h"

#include <algorithm>
#include <numeric>
#include <string>

#include "platform/rtl/ClassInfo.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/Lists.h"
#include "platform/rtl/Streams.h"

namespace {

[[noreturn]] void IndexError(int index) {
    throw EStringListError("List index out of bounds (" + String(std::to_string(index)) + ")");
}

bool OwnsObjects(const TStrings& strings) {
    const auto* list = dynamic_cast<const TStringList*>(&strings);
    return list && list->OwnsObjects();
}

// Two owners of one object would free it twice.
void CheckObjectsCanMove(const TStrings& source, const TStrings& target) {
    if (!OwnsObjects(source) || !OwnsObjects(target)) return;
    for (int i = 0, n = source.Count(); i < n; ++i)
        if (source.Objects(i))
            throw EStringListError("Cannot copy objects owned by another string list");
}

bool IsCrLfBreak(const String& lineBreak) {
    return lineBreak == u"\n" || lineBreak == u"\r\n" || lineBreak == u"\r";
}

} // namespace

// --- TStrings --------------------------------------------------------------

int TStrings::AddObject(const String& s, TObject* object) {
    const int index = Count();
    InsertObject(index, s, object);
    return index;
}

void TStrings::Exchange(int index1, int index2) {
    Updating([&] {
        const String s = Get(index1);
        TObject* object = GetObject(index1);
        Put(index1, Get(index2));
        PutObject(index1, GetObject(index2));
        Put(index2, s);
        PutObject(index2, object);
    });
}

void TStrings::Move(int curIndex, int newIndex) {
    if (curIndex == newIndex) return;
    Updating([&] {
        const String s = Get(curIndex);
        TObject* object = GetObject(curIndex);
        Delete(curIndex);
        InsertObject(newIndex, s, object);
    });
}

void TStrings::AddStrings(const TStrings& strings) {
    CheckObjectsCanMove(strings, *this);
    Updating([&] {
        for (int i = 0, n = strings.Count(); i < n; ++i) AddObject(strings.Get(i), strings.GetObject(i));
    });
}

RTL_PUBLISHED_NONE(TStrings);

void TStrings::DefineProperties(TFiler* filer) {
    TPersistent::DefineProperties(filer);
    const auto read = [this](TReader& reader) {
        reader.ReadListBegin();
        Updating([&] {
            Clear();
            while (!reader.EndOfList()) Add(reader.ReadString());
        });
        reader.ReadListEnd();
    };
    const auto write = [this](TWriter& writer) {
        writer.WriteListBegin();
        for (int i = 0; i < Count(); ++i) writer.WriteString(Get(i));
        writer.WriteListEnd();
    };
    filer->DefineProperty(u"Strings", read, write, Count() > 0);
}
RTL_PUBLISHED_NONE(TStringList);

void TStrings::Assign(TPersistent* source) {
    if (auto* strings = dynamic_cast<TStrings*>(source)) Assign(*strings);
    else TPersistent::Assign(source);
}

void TStrings::Assign(const TStrings& source) {
    if (&source == this) return;
    CheckObjectsCanMove(source, *this);
    Updating([&] {
        Clear();
        delimiter_ = source.delimiter_;
        quoteChar_ = source.quoteChar_;
        nameValueSeparator_ = source.nameValueSeparator_;
        strictDelimiter_ = source.strictDelimiter_;
        trailingLineBreak_ = source.trailingLineBreak_;
        lineBreak_ = source.lineBreak_;
        AddStrings(source);
    });
}

int TStrings::IndexOf(const String& s) const {
    for (int i = 0, n = Count(); i < n; ++i)
        if (CompareStrings(Get(i), s) == 0) return i;
    return -1;
}

int TStrings::IndexOfName(const String& name) const {
    for (int i = 0, n = Count(); i < n; ++i) {
        const String line = Get(i);
        const auto sep = line.find(nameValueSeparator_);
        if (sep != String::npos && CompareStrings(line.substr(0, sep), name) == 0) return i;
    }
    return -1;
}

int TStrings::IndexOfObject(const TObject* object) const {
    for (int i = 0, n = Count(); i < n; ++i)
        if (GetObject(i) == object) return i;
    return -1;
}

String TStrings::Names(int index) const {
    const String line = Get(index);
    const auto sep = line.find(nameValueSeparator_);
    return sep == String::npos ? String() : line.substr(0, sep);
}

String TStrings::Values(const String& name) const {
    const int index = IndexOfName(name);
    return index < 0 ? String() : ValueFromIndex(index);
}

void TStrings::SetValues(const String& name, const String& value) {
    const int index = IndexOfName(name);
    if (!value.empty()) {
        const String line = name + nameValueSeparator_ + value;
        if (index < 0)
            Add(line);
        else
            Put(index, line);
    } else if (index >= 0) {
        Delete(index);
    }
}

String TStrings::ValueFromIndex(int index) const {
    const String line = Get(index);
    const auto sep = line.find(nameValueSeparator_);
    return sep == String::npos ? String() : line.substr(sep + 1);
}

void TStrings::SetValueFromIndex(int index, const String& value) {
    if (!value.empty())
        Put(index, Names(index) + nameValueSeparator_ + value);
    else
        Delete(index);
}

String TStrings::GetTextStr() const {
    const int n = Count();
    String out;
    for (int i = 0; i < n; ++i) {
        out += Get(i);
        if (i + 1 < n || trailingLineBreak_) out += lineBreak_;
    }
    return out;
}

void TStrings::SetCapacity(int) {}

void TStrings::SetTextStr(const String& text) {
    Updating([&] {
        Clear();
        const size_t n = text.size();
        size_t p = 0;
        if (IsCrLfBreak(lineBreak_)) {
            SetCapacity(static_cast<int>(std::count(text.begin(), text.end(), u'\n') + 1));
            while (p < n) {
                const size_t start = p;
                while (p < n && text[p] != u'\r' && text[p] != u'\n') ++p;
                Add(text.substr(start, p - start));
                if (p < n && text[p] == u'\r') ++p;
                if (p < n && text[p] == u'\n') ++p;
            }
        } else {
            while (p < n) {
                const size_t next = lineBreak_.empty() ? String::npos : text.find(lineBreak_, p);
                const size_t end = next == String::npos ? n : next;
                Add(text.substr(p, end - p));
                p = next == String::npos ? n : end + lineBreak_.size();
            }
        }
    });
}

String TStrings::DelimitedText() const {
    const int n = Count();
    if (n == 1 && Get(0).empty()) return String(2, quoteChar_);
    const auto needsQuotes = [&](char16_t c) {
        return c == quoteChar_ || c == delimiter_ || c == 0 || (!strictDelimiter_ && c <= u' ');
    };
    String out;
    for (int i = 0; i < n; ++i) {
        if (i > 0) out += delimiter_;
        const String s = Get(i);
        if (std::any_of(s.begin(), s.end(), needsQuotes))
            out += AnsiQuotedStr(s, quoteChar_);
        else
            out += s;
    }
    return out;
}

void TStrings::SetDelimitedText(const String& text) {
    const auto isSpace = [&](char16_t c) { return !strictDelimiter_ && c <= u' '; };
    Updating([&] {
        Clear();
        const size_t n = text.size();
        size_t p = 0;
        const auto skipSpaces = [&] {
            while (p < n && isSpace(text[p])) ++p;
        };
        skipSpaces();
        while (p < n) {
            if (text[p] == quoteChar_) {
                Add(AnsiExtractQuotedStr(text, p, quoteChar_));
            } else {
                const size_t start = p;
                while (p < n && text[p] != delimiter_ && !isSpace(text[p])) ++p;
                Add(text.substr(start, p - start));
            }
            skipSpaces();
            if (p < n && text[p] == delimiter_) {
                ++p;
                if (p == n) Add(String());
                skipSpaces();
            }
        }
    });
}

namespace {

// Switches a list to comma-text settings for its lifetime.
class CommaSettings {
public:
    explicit CommaSettings(TStrings& list)
        : list_(list), delimiter_(list.Delimiter()), quote_(list.QuoteChar()), strict_(list.StrictDelimiter()) {
        list.SetDelimiter(u',');
        list.SetQuoteChar(u'"');
        list.SetStrictDelimiter(false);
    }
    ~CommaSettings() {
        list_.SetDelimiter(delimiter_);
        list_.SetQuoteChar(quote_);
        list_.SetStrictDelimiter(strict_);
    }
    CommaSettings(const CommaSettings&) = delete;
    CommaSettings& operator=(const CommaSettings&) = delete;

private:
    TStrings& list_;
    char16_t delimiter_;
    char16_t quote_;
    bool strict_;
};

} // namespace

String TStrings::CommaText() const {
    CommaSettings comma(const_cast<TStrings&>(*this));
    return DelimitedText();
}

void TStrings::SetCommaText(const String& text) {
    CommaSettings comma(*this);
    SetDelimitedText(text);
}

void TStrings::BeginUpdate() {
    if (updateCount_ == 0) SetUpdateState(true);
    ++updateCount_;
}

void TStrings::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0) SetUpdateState(false);
}

void TStrings::LoadFromStream(TStream& stream, int codePage) {
    const int64_t size = stream.Size() - stream.Position();
    std::string bytes(static_cast<size_t>(std::max<int64_t>(size, 0)), '\0');
    stream.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    std::string_view view(bytes);
    if (view.starts_with("\xEF\xBB\xBF")) {
        view.remove_prefix(3);
        codePage = CP_UTF8;
    } else if (view.starts_with("\xFF\xFE")) {
        view.remove_prefix(2);
        codePage = 1200;
    } else if (view.starts_with("\xFE\xFF")) {
        view.remove_prefix(2);
        codePage = 1201;
    }
    SetText(DecodeCodePage(view, codePage));
}

void TStrings::LoadFromFile(const String& fileName, int codePage) {
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(file, codePage);
}

void TStrings::SaveToStream(TStream& stream, int codePage) const {
    const std::string bytes = EncodeCodePage(Text(), codePage);
    stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

void TStrings::SaveToFile(const String& fileName, int codePage) const {
    TFileStream file(fileName, fmCreate);
    SaveToStream(file, codePage);
}

TObject* TStrings::GetObject(int) const { return nullptr; }

void TStrings::Put(int index, const String& s) {
    Updating([&] {
        TObject* object = GetObject(index);
        Delete(index);
        InsertObject(index, s, object);
    });
}

void TStrings::PutObject(int, TObject*) {}

void TStrings::SetUpdateState(bool) {}

int TStrings::CompareStrings(const String& a, const String& b) const { return AnsiCompareText(a, b); }

// --- TStringList -----------------------------------------------------------

TStringList::~TStringList() {
    OnChange = nullptr;
    OnChanging = nullptr;
    Clear();
}

void TStringList::CheckIndex(int index) const {
    if (index < 0 || index >= Count()) IndexError(index);
}

void TStringList::CheckUnsorted() const {
    if (sorted_) throw EStringListError("Operation not allowed on sorted list");
}

String TStringList::Get(int index) const {
    CheckIndex(index);
    return items_[static_cast<size_t>(index)].string;
}

TObject* TStringList::GetObject(int index) const {
    CheckIndex(index);
    return items_[static_cast<size_t>(index)].object;
}

void TStringList::Put(int index, const String& s) {
    CheckUnsorted();
    CheckIndex(index);
    Changing();
    items_[static_cast<size_t>(index)].string = s;
    Changed();
}

void TStringList::PutObject(int index, TObject* object) {
    CheckIndex(index);
    Changing();
    TObject*& slot = items_[static_cast<size_t>(index)].object;
    if (ownsObjects_ && slot != object) delete slot;
    slot = object;
    Changed();
}

int TStringList::AddObject(const String& s, TObject* object) {
    if (!sorted_) return TStrings::AddObject(s, object);
    int index = 0;
    if (Find(s, index)) {
        if (duplicates_ == dupIgnore) {
            if (ownsObjects_ && object != items_[static_cast<size_t>(index)].object) delete object;
            return index;
        }
        if (duplicates_ == dupError) throw EStringListError("String list does not allow duplicates");
    }
    Changing();
    items_.insert(items_.begin() + index, Item{s, object});
    Changed();
    return index;
}

void TStringList::InsertObject(int index, const String& s, TObject* object) {
    CheckUnsorted();
    if (index < 0 || index > Count()) IndexError(index);
    Changing();
    items_.insert(items_.begin() + index, Item{s, object});
    Changed();
}

void TStringList::Delete(int index) {
    CheckIndex(index);
    Changing();
    TObject* object = items_[static_cast<size_t>(index)].object;
    items_.erase(items_.begin() + index);
    if (ownsObjects_) delete object;
    Changed();
}

void TStringList::Clear() {
    if (items_.empty()) return;
    Changing();
    std::vector<Item> old;
    old.swap(items_);
    if (ownsObjects_)
        for (Item& item : old) delete item.object;
    Changed();
}

void TStringList::Exchange(int index1, int index2) {
    CheckUnsorted();
    CheckIndex(index1);
    CheckIndex(index2);
    Changing();
    std::swap(items_[static_cast<size_t>(index1)], items_[static_cast<size_t>(index2)]);
    Changed();
}

void TStringList::Move(int curIndex, int newIndex) {
    CheckUnsorted();
    CheckIndex(curIndex);
    CheckIndex(newIndex);
    if (curIndex == newIndex) return;
    Changing();
    MoveElement(items_, curIndex, newIndex);
    Changed();
}

int TStringList::IndexOf(const String& s) const {
    int index = 0;
    if (sorted_) return Find(s, index) ? index : -1;
    const auto it = std::find_if(items_.begin(), items_.end(),
                                 [&](const Item& item) { return CompareStrings(item.string, s) == 0; });
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

bool TStringList::Find(const String& s, int& index) const {
    const auto it = std::lower_bound(items_.begin(), items_.end(), s,
                                     [&](const Item& item, const String& key) { return CompareStrings(item.string, key) < 0; });
    index = static_cast<int>(it - items_.begin());
    return it != items_.end() && CompareStrings(it->string, s) == 0;
}

int TStringList::CompareItems(TStringList& list, int index1, int index2) {
    return list.CompareStrings(list.items_[static_cast<size_t>(index1)].string,
                               list.items_[static_cast<size_t>(index2)].string);
}

void TStringList::Sort() { CustomSort(CompareItems); }

void TStringList::CustomSort(const TStringListSortCompare& compare) {
    if (!sorted_) SortBy(compare);
}

void TStringList::SortBy(const TStringListSortCompare& compare) {
    if (items_.size() < 2) return;
    Changing();
    // The comparison reads the list by index, so the list stays untouched while an order is found.
    std::vector<int> order(items_.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return compare(*this, a, b) < 0; });
    std::vector<Item> sorted;
    sorted.reserve(items_.size());
    for (int i : order) sorted.push_back(std::move(items_[static_cast<size_t>(i)]));
    items_.swap(sorted);
    Changed();
}

void TStringList::SetSorted(bool value) {
    if (value == sorted_) return;
    if (value) Sort();
    sorted_ = value;
}

void TStringList::SetCaseSensitive(bool value) {
    if (value == caseSensitive_) return;
    caseSensitive_ = value;
    if (sorted_) SortBy(CompareItems);
}

void TStringList::SetCapacity(int value) {
    if (value < Count()) IndexError(value);
    items_.reserve(static_cast<size_t>(value));
}

String TStringList::GetTextStr() const {
    const bool breakAfterLast = TrailingLineBreak();
    const size_t breaks = items_.empty() ? 0 : items_.size() - (breakAfterLast ? 0 : 1);
    size_t length = breaks * LineBreak().size();
    for (const Item& item : items_) length += item.string.size();
    String out;
    out.reserve(length);
    for (size_t i = 0; i < items_.size(); ++i) {
        out += items_[i].string;
        if (i + 1 < items_.size() || breakAfterLast) out += LineBreak();
    }
    return out;
}

void TStringList::SetUpdateState(bool updating) {
    if (updating)
        Changing();
    else
        Changed();
}

int TStringList::CompareStrings(const String& a, const String& b) const {
    return caseSensitive_ ? AnsiCompareStr(a, b) : AnsiCompareText(a, b);
}

void TStringList::Changing() {
    if (UpdateCount() == 0 && OnChanging) OnChanging(this);
}

void TStringList::Changed() {
    if (UpdateCount() == 0 && OnChange) OnChange(this);
}
