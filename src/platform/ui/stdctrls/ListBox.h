#pragma once
// TCustomListBox / TListBox: the framework's list box over the "LISTBOX"
// window class. Items (with their objects, kept as the items' data) live in
// the window while there is one; before it is made and while it is made
// again they are kept by the control with the item index and top index, so
// a re-created window (a new style, a font change) shows the same list.

#include <memory>

#include "platform/rtl/StringList.h"
#include "platform/ui/CustomControl.h"
#include "platform/ui/stdctrls/ItemStrings.h"
#include "platform/ui/stdctrls/StdCtrlTypes.h"

enum class TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable };
using enum TListBoxStyle;
RTL_ENUM(TListBoxStyle, lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable);

class TCustomListBox;

// The items of a list box. Replacing an item keeps the selection; redrawing waits for the end of an update.
class TListBoxStrings : public TWindowItemStrings {
    RTL_CLASS(TListBoxStrings, TWindowItemStrings);

public:
    explicit TListBoxStrings(TCustomListBox* listBox);
    // The kept item and top index go with the items.
    void Clear() override;

protected:
    void Put(int index, const String& s) override;
    void SetUpdateState(bool updating) override;

private:
    TCustomListBox* listBox_;
};

class TCustomListBox : public TWinControl {
    RTL_CLASS(TCustomListBox, TWinControl);
    UI_MESSAGES(TCustomListBox, TWinControl);

public:
    explicit TCustomListBox(TComponent* owner);
    ~TCustomListBox() override;

    TStrings* Items() const noexcept { return items_.get(); }
    void SetItems(TStrings* value) { items_->Assign(value); }
    void AddItem(const String& item, TObject* object) { items_->AddObject(item, object); }
    void Clear() { items_->Clear(); }

    // The selected item (multi-selection: the one with the focus rectangle); -1 for none.
    int ItemIndex();
    void SetItemIndex(int value);
    bool Selected(int index);
    void SetSelected(int index, bool value);
    // Selected items; -1 unless MultiSelect.
    int SelCount();
    int TopIndex();
    void SetTopIndex(int value);
    // The item at a client point; with Existing -1 off the items, else Count below them.
    int ItemAtPos(TPoint pos, bool existing);
    TRect ItemRect(int index);

    TListBoxStyle Style() const noexcept { return style_; }
    void SetStyle(TListBoxStyle value) { SetAndRecreate(style_, value); }
    // Standard rows: the font's height, once there is a window.
    int ItemHeight();
    void SetItemHeight(int value);
    bool MultiSelect() const noexcept { return multiSelect_; }
    void SetMultiSelect(bool value) { SetAndRecreate(multiSelect_, value); }
    bool ExtendedSelect() const noexcept { return extendedSelect_; }
    void SetExtendedSelect(bool value) { SetAndRecreate(extendedSelect_, value); }
    bool Sorted() const noexcept { return sorted_; }
    void SetSorted(bool value);
    bool IntegralHeight() const noexcept { return integralHeight_; }
    void SetIntegralHeight(bool value) { SetAndRecreate(integralHeight_, value); }
    TCanvas* Canvas() const noexcept { return canvas_.get(); }

    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    // OnDrawItem, or the item's text on the canvas's brush.
    virtual void DrawItem(int index, const TRect& rect, TOwnerDrawState state);
    virtual void MeasureItem(int index, int& height);

    void CNCommand(TMessage& m);
    void CNDrawItem(TMessage& m);
    void CNMeasureItem(TMessage& m);
    void CNCtlColorListBox(TMessage& m);
    void WMEraseBkgnd(TMessage& m);

private:
    template <class T>
    void SetAndRecreate(T& field, T value) {
        if (field == value) return;
        field = value;
        RecreateWnd();
    }

    friend class TListBoxStrings;
    std::unique_ptr<TListBoxStrings> items_;
    // The item index and top index while there is no window.
    int keptItemIndex_ = -1;
    int keptTopIndex_ = 0;
    std::unique_ptr<TControlCanvas> canvas_;
    TListBoxStyle style_ = lbStandard;
    int itemHeight_ = 16;
    bool multiSelect_ = false;
    bool extendedSelect_ = true;
    bool sorted_ = false;
    bool integralHeight_ = false;
};

class TListBox : public TCustomListBox {
    RTL_CLASS(TListBox, TCustomListBox);

public:
    using TCustomListBox::TCustomListBox;
};
