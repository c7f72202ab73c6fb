#include "platform/ui/stdctrls/ComboBox.h"

#include <algorithm>

#include "platform/ui/Colors.h"
#include "platform/ui/UiErrors.h"
#include "platform/win/controls/Controls.h"

RTL_PUBLISHED(TCustomComboBox, c) {
    c.Property("Style", &TCustomComboBox::Style, &TCustomComboBox::SetStyle).Default(csDropDown);
    c.Property("AutoComplete", &TCustomComboBox::AutoComplete, &TCustomComboBox::SetAutoComplete).Default(true);
    c.Property("CharCase", &TCustomComboBox::CharCase, &TCustomComboBox::SetCharCase).Default(ecNormal);
    c.Property("DropDownCount", &TCustomComboBox::DropDownCount, &TCustomComboBox::SetDropDownCount).Default(8);
    c.Property("ItemHeight", &TCustomComboBox::ItemHeight, &TCustomComboBox::SetItemHeight);
    c.Property("MaxLength", &TCustomComboBox::MaxLength, &TCustomComboBox::SetMaxLength).Default(0);
    c.Property("Sorted", &TCustomComboBox::Sorted, &TCustomComboBox::SetSorted).Default(false);
    c.Property("Items", &TCustomComboBox::Items, &TCustomComboBox::SetItems);
    c.Property("ItemIndex", &TCustomComboBox::ItemIndex, &TCustomComboBox::SetItemIndex).Default(-1);
    c.Property("OnChange", &TCustomComboBox::OnChange, &TCustomComboBox::OnChange);
    c.Property("OnSelect", &TCustomComboBox::OnSelect, &TCustomComboBox::OnSelect);
    c.Property("OnDropDown", &TCustomComboBox::OnDropDown, &TCustomComboBox::OnDropDown);
    c.Property("OnCloseUp", &TCustomComboBox::OnCloseUp, &TCustomComboBox::OnCloseUp);
    c.Property("OnDrawItem", &TCustomComboBox::OnDrawItem, &TCustomComboBox::OnDrawItem);
    c.Property("OnMeasureItem", &TCustomComboBox::OnMeasureItem, &TCustomComboBox::OnMeasureItem);
}
RTL_PUBLISHED_NONE(TComboBox);
RTL_PUBLISHED_NONE(TComboBoxStrings);

// --- Items ----------------------------------------------------------------------------------

namespace {

constexpr TItemMessages kComboBoxMessages{CB_ADDSTRING,   CB_INSERTSTRING, CB_DELETESTRING, CB_RESETCONTENT,
                                          CB_FINDSTRINGEXACT, CB_GETLBTEXTLEN, CB_GETLBTEXT, CB_GETCOUNT,
                                          CB_GETITEMDATA, CB_SETITEMDATA};

} // namespace

TComboBoxStrings::TComboBoxStrings(TCustomComboBox* combo)
    : TWindowItemStrings(combo, kComboBoxMessages), combo_(combo) {}

void TComboBoxStrings::Clear() {
    combo_->heldIndex_ = -1;
    TWindowItemStrings::Clear();
}

void TComboBoxStrings::StoreRefused() const { throw EOutOfResources(u"Out of system resources"); }

// --- The control -------------------------------------------------------------------------------

UI_MESSAGE_MAP(TCustomComboBox, t) {
    t.On<&TCustomComboBox::CNCommand>(CN_COMMAND);
    t.On<&TCustomComboBox::CNDrawItem>(CN_DRAWITEM);
    t.On<&TCustomComboBox::CNMeasureItem>(CN_MEASUREITEM);
    for (UINT message : {WM_CTLCOLOREDIT, WM_CTLCOLORLISTBOX, WM_CTLCOLORSTATIC, CN_CTLCOLOREDIT, CN_CTLCOLORLISTBOX,
                         CN_CTLCOLORSTATIC})
        t.On<&TCustomComboBox::WMCtlColor>(message);
}

TCustomComboBox::TCustomComboBox(TComponent* owner)
    : TWinControl(owner), items_(std::make_unique<TComboBoxStrings>(this)), canvas_(std::make_unique<TCanvas>()) {
    SetBounds(Left(), Top(), 145, 21);
    SetTabStop(true);
    SetParentColor(false);
    SetColor(clWindow);
    SetControlStyle(TControlStyle{csSetCaption, csDoubleClicks, csFixedHeight});
}

TCustomComboBox::~TCustomComboBox() = default;

LRESULT TCustomComboBox::Send(UINT message, WPARAM wParam, LPARAM lParam) {
    return SendMessageW(Handle(), message, wParam, lParam);
}

void TCustomComboBox::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    CreateSubClass(params, u"COMBOBOX");
    static constexpr DWORD kStyles[] = {CBS_DROPDOWN, CBS_DROPDOWNLIST, CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED,
                                        CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE};
    params.Style |= WS_VSCROLL | CBS_AUTOHSCROLL | kStyles[int(style_)];
    if (OwnerDraw()) params.Style |= CBS_HASSTRINGS;
    if (sorted_) params.Style |= CBS_SORT;
    if (charCase_ == ecUpperCase) params.Style |= CBS_UPPERCASE;
    if (charCase_ == ecLowerCase) params.Style |= CBS_LOWERCASE;
}

void TCustomComboBox::CreateWnd() {
    const String text = Text();
    TWinControl::CreateWnd();
    if (style_ == csOwnerDrawFixed) Send(CB_SETITEMHEIGHT, 0, itemHeight_);
    if (maxLength_ > 0) Send(CB_LIMITTEXT, WPARAM(maxLength_));
    // The held items go into the window, which keeps them from now on.
    TStringList& held = items_->Held();
    for (int i = 0; i < held.Count(); ++i) items_->AddObject(held.Strings(i), held.Objects(i));
    held.Clear();
    if (heldIndex_ >= 0) Send(CB_SETCURSEL, WPARAM(heldIndex_));
    else if (Editable()) SetWindowTextW(Handle(), text.c_str());
    heldIndex_ = -1;
    typed_ = Editable() ? Text() : String();
}

void TCustomComboBox::DestroyWnd() {
    items_->HoldWindowItems();
    heldIndex_ = int(Send(CB_GETCURSEL));
    TWinControl::DestroyWnd();
}

int TCustomComboBox::ItemIndex() { return HandleAllocated() ? int(Send(CB_GETCURSEL)) : heldIndex_; }

void TCustomComboBox::SetItemIndex(int value) {
    if (!HandleAllocated()) {
        heldIndex_ = value >= 0 && value < items_->Count() ? value : -1;
        return;
    }
    if (ItemIndex() == value) return;
    Send(CB_SETCURSEL, WPARAM(value));
    if (Editable()) typed_ = Text();
}

void TCustomComboBox::SetStyle(TComboBoxStyle value) {
    if (style_ == value) return;
    style_ = value;
    RecreateWnd();
}

void TCustomComboBox::SetSorted(bool value) {
    if (sorted_ == value) return;
    sorted_ = value;
    items_->Held().SetSorted(value);
    RecreateWnd();
}

void TCustomComboBox::SetCharCase(TEditCharCase value) {
    if (charCase_ == value) return;
    charCase_ = value;
    RecreateWnd();
}

void TCustomComboBox::SetMaxLength(int value) {
    maxLength_ = std::max(0, value);
    if (HandleAllocated()) Send(CB_LIMITTEXT, WPARAM(maxLength_));
}

int TCustomComboBox::ItemHeight() {
    if (style_ == csOwnerDrawFixed || !HandleAllocated()) return itemHeight_;
    return int(Send(CB_GETITEMHEIGHT, 0));
}

void TCustomComboBox::SetItemHeight(int value) {
    if (value <= 0) return;
    itemHeight_ = value;
    if (style_ == csOwnerDrawFixed && HandleAllocated()) Send(CB_SETITEMHEIGHT, 0, value);
}

bool TCustomComboBox::DroppedDown() { return HandleAllocated() && Send(CB_GETDROPPEDSTATE) != 0; }

void TCustomComboBox::SetDroppedDown(bool value) { Send(CB_SHOWDROPDOWN, value); }

void TCustomComboBox::Clear() {
    items_->Clear();
    SetText(String());
}

// --- The edit's selection ------------------------------------------------------------------------

HWND TCustomComboBox::EditHandle() { return Editable() ? GetWindow(Handle(), GW_CHILD) : nullptr; }

std::pair<int, int> TCustomComboBox::EditSel() {
    DWORD start = 0, end = 0;
    if (Send(CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end)) == CB_ERR) return {0, 0};
    return {int(start), int(end)};
}

void TCustomComboBox::SetEditSel(int start, int length) {
    if (HWND edit = EditHandle()) SendMessageW(edit, EM_SETSEL, WPARAM(start), LPARAM(start + length));
}

int TCustomComboBox::SelStart() { return EditSel().first; }
void TCustomComboBox::SetSelStart(int value) { SetEditSel(value, 0); }
int TCustomComboBox::SelLength() {
    const auto [start, end] = EditSel();
    return end - start;
}
void TCustomComboBox::SetSelLength(int value) { SetEditSel(SelStart(), value); }

String TCustomComboBox::SelText() {
    const auto [start, end] = EditSel();
    return Text().substr(size_t(start), size_t(end - start));
}

void TCustomComboBox::SetSelText(const String& value) {
    if (HWND edit = EditHandle()) SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(value.c_str()));
}

void TCustomComboBox::SelectAll() { SetEditSel(0, int(Text().size())); }

// The text grew at its end by the user's typing: the first item it begins
// takes its place, with the completed part selected, so typing on replaces it.
void TCustomComboBox::Complete() {
    const String text = Text();
    const bool grew = text.size() > typed_.size() && SelStart() == int(text.size());
    typed_ = text;
    if (!grew) return;
    const LRESULT index = Send(CB_FINDSTRING, WPARAM(-1), reinterpret_cast<LPARAM>(text.c_str()));
    if (index < 0) return;
    const String item = items_->Strings(int(index));
    if (item.size() <= text.size()) return;
    SetWindowTextW(Handle(), item.c_str());
    Send(CB_SETCURSEL, WPARAM(index));
    SetEditSel(int(text.size()), int(item.size() - text.size()));
}

// --- Events ------------------------------------------------------------------------------------

void TCustomComboBox::Change() {
    Changed();
    if (OnChange) OnChange(this);
}

void TCustomComboBox::Select() {
    if (OnSelect)
        OnSelect(this);
    else
        Change();
}

void TCustomComboBox::DropDown() {
    if (OnDropDown) OnDropDown(this);
}

void TCustomComboBox::CloseUp() {
    if (OnCloseUp) OnCloseUp(this);
}

void TCustomComboBox::DrawItem(int index, TRect rect, TOwnerDrawState state) {
    if (OnDrawItem) return OnDrawItem(this, index, rect, state);
    canvas_->FillRect(rect);
    if (index >= 0) canvas_->TextOut(rect.Left + 2, rect.Top, items_->Strings(index));
}

void TCustomComboBox::MeasureItem(int index, int& height) {
    if (OnMeasureItem) OnMeasureItem(this, index, height);
}

void TCustomComboBox::CNCommand(TMessage& m) {
    switch (HIWORD(m.WParam)) {
    case CBN_DBLCLK: DblClick(); break;
    case CBN_EDITCHANGE:
        if (autoComplete_)
            Complete();
        else
            typed_ = Text();
        Change();
        break;
    case CBN_DROPDOWN:
        DropDown();
        // The list is DropDownCount items high.
        SetWindowPos(Handle(), nullptr, 0, 0, Width(), Height() + ItemHeight() * dropDownCount_ + 2,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
        break;
    case CBN_SELCHANGE:
        if (Editable()) typed_ = Text();
        Click();
        Select();
        break;
    case CBN_CLOSEUP: CloseUp(); break;
    default: break;
    }
}

void TCustomComboBox::CNDrawItem(TMessage& m) {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam);
    TOwnerDrawState state = OwnerDrawState(item->itemState);
    canvas_->SetHandle(item->hDC);
    canvas_->Font()->Assign(Font());
    canvas_->Brush()->Assign(Brush());
    if (state.Contains(odSelected)) {
        canvas_->Brush()->SetColor(clHighlight);
        canvas_->Font()->SetColor(clHighlightText);
    }
    const TRect rect{item->rcItem.left, item->rcItem.top, item->rcItem.right, item->rcItem.bottom};
    DrawItem(int(item->itemID), rect, state);
    if (state.Contains(odFocused) && !state.Contains(odNoFocusRect)) canvas_->DrawFocusRect(rect);
    canvas_->SetHandle(nullptr);
    m.Result = 1;
}

void TCustomComboBox::CNMeasureItem(TMessage& m) {
    auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
    int height = int(item->itemHeight);
    if (item->itemID != UINT(-1) && style_ == csOwnerDrawVariable) MeasureItem(int(item->itemID), height);
    else if (item->itemID != UINT(-1)) height = itemHeight_;
    item->itemHeight = UINT(height);
    m.Result = 1;
}

// The field, the edit and the list take the control's colours.
void TCustomComboBox::WMCtlColor(TMessage& m) {
    HDC dc = reinterpret_cast<HDC>(m.WParam);
    SetTextColor(dc, ColorToRGB(Font()->Color()));
    SetBkColor(dc, ColorToRGB(Brush()->Color()));
    m.Result = reinterpret_cast<LRESULT>(Brush()->Handle());
}
