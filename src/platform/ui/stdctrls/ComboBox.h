#pragma once
// TCustomComboBox and TComboBox over the "COMBOBOX" window class. The items
// live in the window; while there is none (before the first and between
// re-creations) Items keeps them with their objects and the chosen index.

#include <memory>

#include "platform/rtl/StringList.h"
#include "platform/ui/Canvas.h"
#include "platform/ui/WinControl.h"
#include "platform/ui/stdctrls/ItemStrings.h"
#include "platform/ui/stdctrls/StdCtrlTypes.h"

enum class TComboBoxStyle { csDropDown, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
using enum TComboBoxStyle;
RTL_ENUM(TComboBoxStyle, csDropDown, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable);

class TCustomComboBox;

// The combo's items. A window out of room for another item raises EOutOfResources.
class TComboBoxStrings : public TWindowItemStrings {
    RTL_CLASS(TComboBoxStrings, TWindowItemStrings);

public:
    explicit TComboBoxStrings(TCustomComboBox* combo);
    // The held index goes with the items.
    void Clear() override;

protected:
    void StoreRefused() const override;

private:
    TCustomComboBox* combo_;
};

class TCustomComboBox : public TWinControl {
    RTL_CLASS(TCustomComboBox, TWinControl);
    UI_MESSAGES(TCustomComboBox, TWinControl);

public:
    explicit TCustomComboBox(TComponent* owner);
    ~TCustomComboBox() override;

    TStrings* Items() const noexcept { return items_.get(); }
    void SetItems(TStrings* value) { items_->Assign(*value); }
    int ItemIndex();
    void SetItemIndex(int value);
    TComboBoxStyle Style() const noexcept { return style_; }
    void SetStyle(TComboBoxStyle value);
    bool Sorted() const noexcept { return sorted_; }
    void SetSorted(bool value);
    int DropDownCount() const noexcept { return dropDownCount_; }
    void SetDropDownCount(int value) { dropDownCount_ = value; }
    int MaxLength() const noexcept { return maxLength_; }
    void SetMaxLength(int value);
    TEditCharCase CharCase() const noexcept { return charCase_; }
    void SetCharCase(TEditCharCase value);
    int ItemHeight();
    void SetItemHeight(int value);
    bool DroppedDown();
    void SetDroppedDown(bool value);
    bool AutoComplete() const noexcept { return autoComplete_; }
    void SetAutoComplete(bool value) { autoComplete_ = value; }
    // The edit's selection (drop-down lists have none).
    int SelStart();
    void SetSelStart(int value);
    int SelLength();
    void SetSelLength(int value);
    String SelText();
    void SetSelText(const String& value);
    void SelectAll();
    void Clear();
    TCanvas* Canvas() const noexcept { return canvas_.get(); }

    TNotifyEvent OnChange;
    TNotifyEvent OnSelect;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;
    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    virtual void Change();
    virtual void Select();
    virtual void DropDown();
    virtual void CloseUp();
    virtual void DrawItem(int index, TRect rect, TOwnerDrawState state);
    virtual void MeasureItem(int index, int& height);

private:
    friend class TComboBoxStrings;
    bool OwnerDraw() const noexcept { return style_ == csOwnerDrawFixed || style_ == csOwnerDrawVariable; }
    bool Editable() const noexcept { return style_ == csDropDown; }
    HWND EditHandle();
    // Sets the edit's selection: Start and the length in UTF-16 units.
    void SetEditSel(int start, int length);
    std::pair<int, int> EditSel();
    // Completes the text from the items when the user has just typed at its end.
    void Complete();
    // Sends to the window, made when there is none.
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    void CNCommand(TMessage& m);
    void CNDrawItem(TMessage& m);
    void CNMeasureItem(TMessage& m);
    void WMCtlColor(TMessage& m);

    std::unique_ptr<TComboBoxStrings> items_;
    // The item index while there is no window.
    int heldIndex_ = -1;
    std::unique_ptr<TCanvas> canvas_;
    TComboBoxStyle style_ = csDropDown;
    TEditCharCase charCase_ = ecNormal;
    bool sorted_ = false;
    bool autoComplete_ = true;
    int dropDownCount_ = 8;
    int maxLength_ = 0;
    int itemHeight_ = 16;
    String typed_; // the text as the user last left it, for completion
};

class TComboBox : public TCustomComboBox {
    RTL_CLASS(TComboBox, TCustomComboBox);

public:
    explicit TComboBox(TComponent* owner) : TCustomComboBox(owner) {}
};
