#pragma once
// TWindowItemStrings: the items of a control whose window keeps a list of
// strings with data (the list box, the combo box). While the control has a
// window the items are the window's, reached through its item messages; while
// it has none (before the first window and while one is made again) a held
// string list keeps them with their objects.

#include <memory>

#include "platform/rtl/StringList.h"
#include "platform/win/Types.h"

class TWinControl;

// The messages by which a window's items are added, read and removed.
struct TItemMessages {
    UINT AddString;
    UINT InsertString;
    UINT DeleteString;
    UINT ResetContent;
    UINT FindStringExact;
    UINT GetTextLen;
    UINT GetText;
    UINT GetCount;
    UINT GetItemData;
    UINT SetItemData;
};

// The error of an item index outside the items.
[[noreturn]] void ItemIndexError(int index);

class TWindowItemStrings : public TStrings {
    RTL_CLASS(TWindowItemStrings, TStrings);

public:
    TWindowItemStrings(TWinControl* control, const TItemMessages& messages);
    ~TWindowItemStrings() override;

    // Sorted windows answer where the item went.
    int AddObject(const String& s, TObject* object) override;
    void InsertObject(int index, const String& s, TObject* object) override;
    void Delete(int index) override;
    void Clear() override;
    int IndexOf(const String& s) const override;

    // The items while the control has no window; they accept duplicates, as a window does.
    TStringList& Held() const noexcept { return *held_; }
    // The window's items, in the window's order, into the held list before the window goes.
    void HoldWindowItems();

protected:
    String Get(int index) const override;
    int GetCount() const override;
    TObject* GetObject(int index) const override;
    void PutObject(int index, TObject* object) override;

    // The control's window; null while it has none.
    HWND Window() const;
    // The window refused to store an item; by default the item is just not there.
    virtual void StoreRefused() const {}

private:
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    // Stores the item's object once the window stored its text at Index.
    int Stored(LRESULT index, TObject* object);

    TWinControl* control_;
    const TItemMessages& messages_;
    std::unique_ptr<TStringList> held_ = std::make_unique<TStringList>();
};
