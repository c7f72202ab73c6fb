#pragma once
// Lists of UTF-16 strings with change notification, apart from the
// framework's string list: the file names of the drag-and-drop formats.
// TUnicodeStrings is the interface, TUnicodeStringList the array behind it;
// TUnicodeStringsAdapter (UnicodeStringsAdapter.h) shows a framework list
// through it. Index errors raise EListError "List index out of bounds (%d)"
// and leave the list unchanged.

#include <vector>

#include "platform/rtl/Persistent.h"
#include "platform/rtl/String.h"
#include "platform/ui/Events.h"

class TUnicodeStrings : public TPersistent {
    RTL_CLASS(TUnicodeStrings, TPersistent);

public:
    int Count() const { return GetCount(); }
    String Strings(int index) const { return Get(index); }
    void SetStrings(int index, const String& value) { Put(index, value); }
    String operator[](int index) const { return Get(index); }
    int Capacity() const { return GetCapacity(); }
    // Not below Count.
    virtual void SetCapacity(int) {}

    // The strings joined with CR LF, without a line break after the last.
    String Text() const;
    // Pieces end at CR, LF or the end (a NUL ends the text); one CR and then
    // one LF after a piece are skipped, and every piece is added, empty ones too.
    void SetText(const String& text);

    // Inserts at Count; returns the index.
    virtual int Add(const String& value);
    // The highest index of an exactly equal string; -1 when absent.
    virtual int IndexOf(const String& value) const;
    virtual void Insert(int index, const String& value) = 0;
    virtual void Clear() = 0;
    virtual void Delete(int index) = 0;
    virtual void Exchange(int index1, int index2);
    virtual void Move(int curIndex, int newIndex);

    // OnChanging fires when the outermost bracket opens, OnChange when it closes.
    void BeginUpdate();
    void EndUpdate();
    // From another TUnicodeStrings or a framework TStrings, inside one update bracket.
    void Assign(TPersistent* source) override;

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    virtual int GetCapacity() const { return GetCount(); }
    virtual int GetCount() const = 0;
    virtual String Get(int index) const = 0;
    virtual void Put(int index, const String& value) = 0;
    // Fire their events outside update brackets only.
    virtual void Changed();
    virtual void Changing();
    // To a framework TStrings.
    void AssignTo(TPersistent* dest) override;
    // Raises the index error unless 0 <= Index < Count.
    void CheckIndex(int index) const;

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

private:
    int updateCount_ = 0;
};

class TUnicodeStringList : public TUnicodeStrings {
    RTL_CLASS(TUnicodeStringList, TUnicodeStrings);

public:
    TUnicodeStringList() = default;
    // Below Count is a programming error (EAssertionFailed).
    void SetCapacity(int value) override;
    void Insert(int index, const String& value) override;
    // Empties the strings; the capacity stays.
    void Clear() override;
    void Delete(int index) override;

protected:
    int GetCapacity() const override { return static_cast<int>(items_.size()); }
    int GetCount() const override { return count_; }
    String Get(int index) const override;
    void Put(int index, const String& value) override;

private:
    void Grow();

    // Its length is the capacity; the first Count hold the strings.
    std::vector<String> items_;
    int count_ = 0;
};
