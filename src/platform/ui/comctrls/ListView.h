#pragma once
// TListView: the framework's list view over the "SysListView32" window class
// in report view. Columns and items (captions, sub-items, images, data and
// their selection and focus) are kept by the control, so a window made again
// shows the same list; each window item carries its TListItem as its data.

#include <memory>
#include <vector>

#include "platform/rtl/Alignment.h"
#include "platform/rtl/Collection.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/WinControl.h"
#include "platform/ui/graphics/ImageListReference.h"

enum class TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };
using enum TViewStyle;
RTL_ENUM(TViewStyle, vsIcon, vsSmallIcon, vsList, vsReport);

enum class TSortType { stNone, stData, stText, stBoth };
using enum TSortType;
RTL_ENUM(TSortType, stNone, stData, stText, stBoth);

class TCustomListView;
class TListItem;
class TListItems;
class TListColumn;

using TLVColumnClickEvent = std::function<void(TObject* sender, TListColumn* column)>;
using TLVCompareEvent = std::function<void(TObject* sender, TListItem* item1, TListItem* item2, int data, int& compare)>;
using TLVSelectItemEvent = std::function<void(TObject* sender, TListItem* item, bool selected)>;
// CustomSort's comparison of two items (their TListItem pointers): negative, zero or positive.
using TLVCompare = int (*)(LPARAM data1, LPARAM data2, LPARAM sortParam);

class TListColumn : public TCollectionItem {
    RTL_CLASS(TListColumn, TCollectionItem);

public:
    explicit TListColumn(TCollection* collection);

    String Caption() const { return caption_; }
    void SetCaption(const String& value);
    // The window's width once there is one (a divider drag changes it).
    int Width() const;
    void SetWidth(int value);
    TAlignment Alignment() const noexcept { return alignment_; }
    void SetAlignment(TAlignment value);
    String DisplayName() const override { return caption_; }

private:
    friend class TCustomListView;
    TCustomListView* ListView() const;
    String caption_;
    int width_ = 50;
    TAlignment alignment_ = taLeftJustify;
};

class TListColumns : public TCollection {
    RTL_CLASS(TListColumns, TCollection);

public:
    explicit TListColumns(TCustomListView* owner);
    TListColumn* Add() { return static_cast<TListColumn*>(TCollection::Add()); }
    TListColumn* Items(int index) const { return static_cast<TListColumn*>(TCollection::Items(index)); }
    TCustomListView* Owner() const noexcept { return owner_; }
    TPersistent* GetOwner() const override;

protected:
    void Update(TCollectionItem* item) override;

private:
    TCustomListView* owner_;
};

class TListItem : public TPersistent {
    RTL_CLASS(TListItem, TPersistent);

public:
    explicit TListItem(TListItems* owner);
    ~TListItem() override;

    TListItems* Owner() const noexcept { return owner_; }
    TCustomListView* ListView() const;
    int Index() const noexcept { return index_; }
    const String& Caption() const noexcept { return caption_; }
    // With SortType stText or stBoth the item then moves to its sorted place.
    void SetCaption(const String& value);
    // The texts of the columns after the first.
    TStrings* SubItems() const noexcept { return subItems_.get(); }
    void SetSubItems(TStrings* value) { subItems_->Assign(value); }
    int ImageIndex() const noexcept { return imageIndex_; }
    void SetImageIndex(int value);
    void* Data() const noexcept { return data_; }
    // With SortType stData or stBoth the item then moves to its sorted place.
    void SetData(void* value);
    bool Selected() const;
    void SetSelected(bool value);
    bool Focused() const;
    void SetFocused(bool value);
    void Delete();
    void MakeVisible(bool partialOk);
    TRect DisplayRect() const;

private:
    friend class TCustomListView;
    friend class TListItems;
    // Writes the item's texts and image into the window, when there is one.
    void UpdateWindow() const;
    bool State(UINT bit) const;
    void SetState(UINT bit, bool value);

    TListItems* owner_;
    String caption_;
    std::unique_ptr<TStringList> subItems_;
    int imageIndex_ = -1;
    void* data_ = nullptr;
    UINT keptState_ = 0; // selection and focus while there is no window
    int index_ = 0; // kept up to date by the items
};

class TListItems : public TPersistent {
    RTL_CLASS(TListItems, TPersistent);

public:
    explicit TListItems(TCustomListView* owner);
    ~TListItems() override;

    TCustomListView* Owner() const noexcept { return owner_; }
    int Count() const noexcept { return int(items_.size()); }
    // Raises EListError for an index out of bounds.
    TListItem* Item(int index) const;
    TListItem* Add() { return Insert(Count()); }
    TListItem* Insert(int index);
    void Delete(int index);
    void Clear();
    int IndexOf(const TListItem* item) const;
    // Holds the window's painting back until the last EndUpdate.
    void BeginUpdate();
    void EndUpdate();

private:
    friend class TCustomListView;
    friend class TListItem;
    void AddToWindow(int index) const;
    // Numbers the items from First on after a change of places.
    void Renumber(int first);
    TCustomListView* owner_;
    std::vector<std::unique_ptr<TListItem>> items_;
    int updateCount_ = 0;
};

class TCustomListView : public TWinControl {
    RTL_CLASS(TCustomListView, TWinControl);
    UI_MESSAGES(TCustomListView, TWinControl);

public:
    explicit TCustomListView(TComponent* owner);
    ~TCustomListView() override;

    TListColumns* Columns() const noexcept { return columns_.get(); }
    TListItems* Items() const noexcept { return items_.get(); }
    TViewStyle ViewStyle() const noexcept { return viewStyle_; }
    // Report view is the one this list view draws.
    void SetViewStyle(TViewStyle value) { viewStyle_ = value; }
    // The first selected item; assigning selects that one alone (null: none).
    TListItem* Selected() const;
    void SetSelected(TListItem* value);
    TListItem* ItemFocused() const;
    void SetItemFocused(TListItem* value);
    int SelCount() const;
    bool MultiSelect() const noexcept { return multiSelect_; }
    void SetMultiSelect(bool value) { SetAndRecreate(multiSelect_, value); }
    bool RowSelect() const noexcept { return rowSelect_; }
    void SetRowSelect(bool value);
    bool ReadOnly() const noexcept { return readOnly_; }
    void SetReadOnly(bool value) { readOnly_ = value; }
    bool ColumnClick() const noexcept { return columnClick_; }
    void SetColumnClick(bool value) { SetAndRecreate(columnClick_, value); }
    bool HideSelection() const noexcept { return hideSelection_; }
    void SetHideSelection(bool value) { SetAndRecreate(hideSelection_, value); }
    TCustomImageList* SmallImages() const noexcept { return smallImages_.Get(); }
    void SetSmallImages(TCustomImageList* value) { smallImages_.Set(value); }
    TSortType SortType() const noexcept { return sortType_; }
    // Anything but stNone sorts the items now; from then on an item whose
    // caption (stText, stBoth) or data (stData, stBoth) changes moves to its
    // place among the others.
    void SetSortType(TSortType value);
    TListItem* TopItem() const;
    TListItem* GetItemAt(int x, int y) const;

    // Sorts by OnCompare, or without one by the captions.
    bool AlphaSort();
    // Sorts by Compare, or with none as AlphaSort does.
    bool CustomSort(TLVCompare compare, LPARAM sortParam);

    TLVColumnClickEvent OnColumnClick;
    TLVCompareEvent OnCompare;
    TLVSelectItemEvent OnSelectItem;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    virtual void ColumnClicked(TListColumn* column);

    void CNNotify(TMessage& m);

private:
    template <class T>
    void SetAndRecreate(T& field, T value) {
        if (field == value) return;
        field = value;
        RecreateWnd();
    }
    friend class TListColumn;
    friend class TListColumns;
    friend class TListItem;
    friend class TListItems;
    // OnCompare, else the captions (stText, stBoth) or Data (stData).
    int CompareItems(TListItem* a, TListItem* b, int data);
    // Orders the kept items by Less, then the window's to match.
    template <class TLess>
    void Reorder(TLess less);
    // Orders the kept items by their captions as AnsiCompareText does, then the window's to match.
    void SortByCaption();
    // Moves Item to its place by CompareItems among the others when they are
    // in order, else sorts all.
    void PlaceSorted(TListItem* item);
    // Numbers the kept items in their new order and moves the window's to match:
    // Places gives each item's new index by its old one.
    void ItemsReordered(const std::vector<int>& places);
    // The first item whose State bit (LVIS_SELECTED, LVIS_FOCUSED) is set.
    TListItem* FirstWith(UINT state) const;
    void UpdateColumns();
    void UpdateImages();

    std::unique_ptr<TListColumns> columns_;
    std::unique_ptr<TListItems> items_;
    TImageListReference smallImages_{[this] { UpdateImages(); }};
    TViewStyle viewStyle_ = vsReport;
    TSortType sortType_ = stNone;
    bool multiSelect_ = false;
    bool rowSelect_ = false;
    bool readOnly_ = false;
    bool columnClick_ = true;
    bool hideSelection_ = true;
    bool restoring_ = false; // a new window takes the kept state: no events
    int keptTop_ = 0;
};

class TListView : public TCustomListView {
    RTL_CLASS(TListView, TCustomListView);

public:
    using TCustomListView::TCustomListView;
};
