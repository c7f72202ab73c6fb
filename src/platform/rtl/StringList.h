#pragma once
// TStrings: the text-list interface (indexes 0-based) with its text forms:
// Text (one item per line), DelimitedText/CommaText (quoted items) and
// name=value pairs. TStringList: the list of strings with objects, optional
// sorting and change events.

#include <functional>
#include <vector>

#include "platform/rtl/String.h"
#include "platform/rtl/Persistent.h"

class TStream;

class TStrings : public TPersistent {
    RTL_CLASS(TStrings, TPersistent);

public:
    int Count() const { return GetCount(); }
    String Strings(int index) const { return Get(index); }
    void SetStrings(int index, const String& s) { Put(index, s); }
    String operator[](int index) const { return Get(index); }
    TObject* Objects(int index) const { return GetObject(index); }
    void SetObjects(int index, TObject* object) { PutObject(index, object); }

    int Add(const String& s) { return AddObject(s, nullptr); }
    // Returns the index the item took (sorted lists choose it).
    virtual int AddObject(const String& s, TObject* object);
    void Insert(int index, const String& s) { InsertObject(index, s, nullptr); }
    virtual void InsertObject(int index, const String& s, TObject* object) = 0;
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;
    virtual void Exchange(int index1, int index2);
    virtual void Move(int curIndex, int newIndex);
    // Both raise EStringListError "Cannot copy objects owned by another string list"
    // and change nothing when both lists own their objects and Source holds any.
    void AddStrings(const TStrings& strings);
    // Copies the items, their objects and the separators of Source.
    virtual void Assign(const TStrings& source);
    // The same for a string-list source; other classes as TPersistent does.
    void Assign(TPersistent* source) override;

    virtual int IndexOf(const String& s) const;
    int IndexOfName(const String& name) const;
    int IndexOfObject(const TObject* object) const;

    // Text before the first NameValueSeparator; empty when the item has none.
    String Names(int index) const;
    String Values(const String& name) const;
    // An empty value deletes the pair; a missing name is added.
    void SetValues(const String& name, const String& value);
    String ValueFromIndex(int index) const;
    void SetValueFromIndex(int index, const String& value);

    // Items joined by LineBreak (also after the last one when TrailingLineBreak).
    // Reading splits at CR, LF and CR LF while LineBreak is one of those, else at LineBreak.
    String Text() const { return GetTextStr(); }
    void SetText(const String& text) { SetTextStr(text); }
    // Room for Count items, so that adding that many allocates once; a list
    // without a store of its own ignores it.
    virtual void SetCapacity(int count);
    // Items separated by Delimiter; items holding the delimiter, the quote or
    // (without StrictDelimiter) characters up to space are quoted with QuoteChar.
    // Reading without StrictDelimiter also splits at characters up to space.
    String DelimitedText() const;
    void SetDelimitedText(const String& text);
    // DelimitedText with ',', '"' and no StrictDelimiter.
    String CommaText() const;
    void SetCommaText(const String& text);

    char16_t Delimiter() const noexcept { return delimiter_; }
    void SetDelimiter(char16_t value) noexcept { delimiter_ = value; }
    char16_t QuoteChar() const noexcept { return quoteChar_; }
    void SetQuoteChar(char16_t value) noexcept { quoteChar_ = value; }
    bool StrictDelimiter() const noexcept { return strictDelimiter_; }
    void SetStrictDelimiter(bool value) noexcept { strictDelimiter_ = value; }
    char16_t NameValueSeparator() const noexcept { return nameValueSeparator_; }
    void SetNameValueSeparator(char16_t value) noexcept { nameValueSeparator_ = value; }
    const String& LineBreak() const noexcept { return lineBreak_; }
    void SetLineBreak(const String& value) { lineBreak_ = value; }
    bool TrailingLineBreak() const noexcept { return trailingLineBreak_; }
    void SetTrailingLineBreak(bool value) noexcept { trailingLineBreak_ = value; }

    // Brackets that merge the change events of many edits into one pair.
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const noexcept { return updateCount_; }
    // Runs Edit inside an update bracket that also closes when Edit raises.
    template <class Edit>
    void Updating(Edit&& edit) {
        BeginUpdate();
        try {
            edit();
        } catch (...) {
            EndUpdate();
            throw;
        }
        EndUpdate();
    }

    // Reading skips a UTF-8 byte-order mark and decodes UTF-16 marked by its
    // byte-order mark; other text is read in CodePage. Writing uses CodePage without a mark.
    void LoadFromStream(TStream& stream, int codePage = CP_UTF8);
    void LoadFromFile(const String& fileName, int codePage = CP_UTF8);
    void SaveToStream(TStream& stream, int codePage = CP_UTF8) const;
    void SaveToFile(const String& fileName, int codePage = CP_UTF8) const;

protected:
    // A component stream keeps the items as "Strings", a list of texts.
    void DefineProperties(TFiler* filer) override;
    virtual String Get(int index) const = 0;
    virtual int GetCount() const = 0;
    virtual TObject* GetObject(int index) const;
    virtual void Put(int index, const String& s);
    virtual void PutObject(int index, TObject* object);
    // Text's reading and writing; a list kept as one text elsewhere takes it whole.
    virtual String GetTextStr() const;
    virtual void SetTextStr(const String& text);
    // Called with true when the outermost update starts and false when it ends.
    virtual void SetUpdateState(bool updating);
    // How items compare in IndexOf and IndexOfName: ASCII and Unicode case-insensitive.
    virtual int CompareStrings(const String& a, const String& b) const;

private:
    int updateCount_ = 0;
    char16_t delimiter_ = u',';
    char16_t quoteChar_ = u'"';
    char16_t nameValueSeparator_ = u'=';
    bool strictDelimiter_ = false;
    bool trailingLineBreak_ = true;
    String lineBreak_ = sLineBreak;
};

enum class TDuplicates { dupIgnore, dupAccept, dupError };
using enum TDuplicates;

class TStringList;
// Compares the items at two indexes: negative, zero or positive.
using TStringListSortCompare = std::function<int(TStringList& list, int index1, int index2)>;

// Out-of-range indexes raise EStringListError "List index out of bounds (%d)";
// Insert, Put, Exchange and Move on a sorted list raise "Operation not allowed on sorted list";
// adding a duplicate to a sorted list with dupError raises "String list does not allow duplicates".
class TStringList : public TStrings {
    RTL_CLASS(TStringList, TStrings);

public:
    explicit TStringList(bool ownsObjects = false) : ownsObjects_(ownsObjects) {}
    ~TStringList() override;

    int AddObject(const String& s, TObject* object) override;
    void InsertObject(int index, const String& s, TObject* object) override;
    void Delete(int index) override;
    void Clear() override;
    void Exchange(int index1, int index2) override;
    void Move(int curIndex, int newIndex) override;
    int IndexOf(const String& s) const override;

    // Binary search of a sorted list: true when found; Index receives the
    // position of the first equal item or where S would be inserted.
    bool Find(const String& s, int& index) const;
    // Both do nothing on a sorted list, which is kept in order already.
    void Sort();
    void CustomSort(const TStringListSortCompare& compare);

    bool Sorted() const noexcept { return sorted_; }
    void SetSorted(bool value);
    TDuplicates Duplicates() const noexcept { return duplicates_; }
    void SetDuplicates(TDuplicates value) noexcept { duplicates_ = value; }
    // Off: AnsiCompareText; on: AnsiCompareStr. A sorted list re-sorts on a change.
    bool CaseSensitive() const noexcept { return caseSensitive_; }
    void SetCaseSensitive(bool value);
    // Owned objects are freed when their item is deleted, their slot is
    // overwritten or the list is cleared or destroyed; an object added with a
    // duplicate that dupIgnore drops is freed at once.
    bool OwnsObjects() const noexcept { return ownsObjects_; }
    void SetOwnsObjects(bool value) noexcept { ownsObjects_ = value; }
    int Capacity() const noexcept { return static_cast<int>(items_.capacity()); }
    // Raises EStringListError for fewer items than the list holds.
    void SetCapacity(int value) override;

    std::function<void(TObject*)> OnChange;
    std::function<void(TObject*)> OnChanging;

protected:
    String Get(int index) const override;
    int GetCount() const override { return static_cast<int>(items_.size()); }
    TObject* GetObject(int index) const override;
    void Put(int index, const String& s) override;
    void PutObject(int index, TObject* object) override;
    void SetUpdateState(bool updating) override;
    int CompareStrings(const String& a, const String& b) const override;
    String GetTextStr() const override;

    virtual void Changing();
    virtual void Changed();

private:
    struct Item {
        String string;
        TObject* object;
    };

    void CheckIndex(int index) const;
    void CheckUnsorted() const;
    void SortBy(const TStringListSortCompare& compare);
    static int CompareItems(TStringList& list, int index1, int index2);

    std::vector<Item> items_;
    bool sorted_ = false;
    bool caseSensitive_ = false;
    bool ownsObjects_;
    TDuplicates duplicates_ = dupIgnore;
};
