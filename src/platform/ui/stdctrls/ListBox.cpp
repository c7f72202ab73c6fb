#include "platform/ui/stdctrls/ListBox.h"

#include "platform/ui/WinGeometry.h"
#include "platform/win/User.h"
#include "platform/win/controls/ControlConstants.h"

RTL_PUBLISHED_NONE(TListBoxStrings);

RTL_PUBLISHED(TCustomListBox, c) {
    c.Property("Style", &TCustomListBox::Style, &TCustomListBox::SetStyle).Default(lbStandard);
    c.Property("ItemHeight", &TCustomListBox::ItemHeight, &TCustomListBox::SetItemHeight);
    c.Property("Items", &TCustomListBox::Items, &TCustomListBox::SetItems);
    c.Property("MultiSelect", &TCustomListBox::MultiSelect, &TCustomListBox::SetMultiSelect).Default(false);
    c.Property("ExtendedSelect", &TCustomListBox::ExtendedSelect, &TCustomListBox::SetExtendedSelect).Default(true);
    c.Property("Sorted", &TCustomListBox::Sorted, &TCustomListBox::SetSorted).Default(false);
    c.Property("IntegralHeight", &TCustomListBox::IntegralHeight, &TCustomListBox::SetIntegralHeight).Default(false);
    c.Property("OnDrawItem", &TCustomListBox::OnDrawItem, &TCustomListBox::OnDrawItem);
    c.Property("OnMeasureItem", &TCustomListBox::OnMeasureItem, &TCustomListBox::OnMeasureItem);
}

RTL_PUBLISHED_NONE(TListBox);

UI_MESSAGE_MAP(TCustomListBox, t) {
    t.On<&TCustomListBox::CNCommand>(CN_COMMAND);
    t.On<&TCustomListBox::CNDrawItem>(CN_DRAWITEM);
    t.On<&TCustomListBox::CNMeasureItem>(CN_MEASUREITEM);
    t.On<&TCustomListBox::CNCtlColorListBox>(CN_CTLCOLORLISTBOX);
    t.On<&TCustomListBox::WMEraseBkgnd>(WM_ERASEBKGND);
}

// --- Items ------------------------------------------------------------------------------

namespace {

constexpr TItemMessages kListBoxMessages{LB_ADDSTRING,   LB_INSERTSTRING, LB_DELETESTRING, LB_RESETCONTENT,
                                         LB_FINDSTRINGEXACT, LB_GETTEXTLEN, LB_GETTEXT,     LB_GETCOUNT,
                                         LB_GETITEMDATA, LB_SETITEMDATA};

} // namespace

TListBoxStrings::TListBoxStrings(TCustomListBox* listBox)
    : TWindowItemStrings(listBox, kListBoxMessages), listBox_(listBox) {}

void TListBoxStrings::Clear() {
    listBox_->keptItemIndex_ = -1;
    listBox_->keptTopIndex_ = 0;
    TWindowItemStrings::Clear();
}

void TListBoxStrings::Put(int index, const String& s) {
    if (!Window()) return Held().SetStrings(index, s);
    const int selected = listBox_->ItemIndex();
    TObject* object = GetObject(index);
    Delete(index);
    if (listBox_->Sorted())
        AddObject(s, object);
    else
        InsertObject(index, s, object);
    listBox_->SetItemIndex(selected);
}

void TListBoxStrings::SetUpdateState(bool updating) {
    const HWND w = Window();
    if (!w) return;
    SendMessageW(w, WM_SETREDRAW, updating ? FALSE : TRUE, 0);
    if (!updating) listBox_->Refresh();
}

// --- The control --------------------------------------------------------------------------

TCustomListBox::TCustomListBox(TComponent* owner)
    : TWinControl(owner), items_(std::make_unique<TListBoxStrings>(this)), canvas_(std::make_unique<TControlCanvas>()) {
    canvas_->SetControl(this);
    SetControlStyle({csSetCaption, csDoubleClicks, csOpaque});
    SetBounds(Left(), Top(), 121, 97);
    SetTabStop(true);
    SetParentColor(false);
    SetColor(clWindow);
}

TCustomListBox::~TCustomListBox() = default;

void TCustomListBox::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    CreateSubClass(params, u"LISTBOX");
    params.Style |= WS_VSCROLL | LBS_HASSTRINGS | LBS_NOTIFY | WS_TABSTOP;
    if (style_ == lbOwnerDrawFixed) params.Style |= LBS_OWNERDRAWFIXED;
    if (style_ == lbOwnerDrawVariable) params.Style |= LBS_OWNERDRAWVARIABLE;
    if (multiSelect_) params.Style |= extendedSelect_ ? LBS_EXTENDEDSEL : LBS_MULTIPLESEL;
    if (sorted_) params.Style |= LBS_SORT;
    if (!integralHeight_) params.Style |= LBS_NOINTEGRALHEIGHT;
    params.ExStyle |= WS_EX_CLIENTEDGE;
}

// The kept items go into the new window (a sorted one sorts them), then the item and top index.
void TCustomListBox::CreateWnd() {
    TWinControl::CreateWnd();
    const HWND w = Handle();
    TStringList& kept = items_->Held();
    if (kept.Count() == 0) return;
    SendMessageW(w, WM_SETREDRAW, FALSE, 0);
    for (int i = 0; i < kept.Count(); ++i) items_->AddObject(kept.Strings(i), kept.Objects(i));
    SendMessageW(w, WM_SETREDRAW, TRUE, 0);
    kept.Clear();
    SetItemIndex(keptItemIndex_);
    SetTopIndex(keptTopIndex_);
}

void TCustomListBox::DestroyWnd() {
    keptItemIndex_ = ItemIndex();
    keptTopIndex_ = TopIndex();
    items_->HoldWindowItems();
    TWinControl::DestroyWnd();
}

void TCustomListBox::SetSorted(bool value) {
    if (sorted_ == value) return;
    sorted_ = value;
    items_->Held().SetSorted(value);
    RecreateWnd();
}

int TCustomListBox::ItemIndex() {
    if (!HandleAllocated()) return keptItemIndex_;
    const UINT message = multiSelect_ ? LB_GETCARETINDEX : LB_GETCURSEL;
    return int(SendMessageW(Handle(), message, 0, 0));
}

void TCustomListBox::SetItemIndex(int value) {
    if (!HandleAllocated()) {
        keptItemIndex_ = value;
        return;
    }
    if (ItemIndex() == value) return;
    if (multiSelect_)
        SendMessageW(Handle(), LB_SETCARETINDEX, WPARAM(value), 0);
    else
        SendMessageW(Handle(), LB_SETCURSEL, WPARAM(value), 0);
}

bool TCustomListBox::Selected(int index) {
    const LRESULT result = SendMessageW(Handle(), LB_GETSEL, WPARAM(index), 0);
    if (result == LB_ERR) ItemIndexError(index);
    return result != 0;
}

void TCustomListBox::SetSelected(int index, bool value) {
    if (multiSelect_) {
        if (SendMessageW(Handle(), LB_SETSEL, value, LPARAM(index)) == LB_ERR) ItemIndexError(index);
    } else if (value) {
        SetItemIndex(index);
    } else if (ItemIndex() == index) {
        SetItemIndex(-1);
    }
}

int TCustomListBox::SelCount() { return int(SendMessageW(Handle(), LB_GETSELCOUNT, 0, 0)); }

int TCustomListBox::TopIndex() {
    return HandleAllocated() ? int(SendMessageW(Handle(), LB_GETTOPINDEX, 0, 0)) : keptTopIndex_;
}

void TCustomListBox::SetTopIndex(int value) {
    if (!HandleAllocated()) {
        keptTopIndex_ = value;
        return;
    }
    SendMessageW(Handle(), LB_SETTOPINDEX, WPARAM(value), 0);
}

int TCustomListBox::ItemAtPos(TPoint pos, bool existing) {
    const LRESULT hit = SendMessageW(Handle(), LB_ITEMFROMPOINT, 0, MAKELPARAM(pos.X, pos.Y));
    const int index = LOWORD(hit);
    const TRect client = ClientRect();
    const bool inside = pos.X >= client.Left && pos.X < client.Right && pos.Y >= client.Top && pos.Y < client.Bottom;
    if (!HIWORD(hit) && inside) return index;
    if (existing) return -1;
    return items_->Count();
}

TRect TCustomListBox::ItemRect(int index) {
    RECT r{};
    const int count = items_->Count();
    if (index == count && count > 0) {
        SendMessageW(Handle(), LB_GETITEMRECT, WPARAM(count - 1), reinterpret_cast<LPARAM>(&r));
        const int height = r.bottom - r.top;
        r.top += height;
        r.bottom += height;
    } else if (SendMessageW(Handle(), LB_GETITEMRECT, WPARAM(index), reinterpret_cast<LPARAM>(&r)) == LB_ERR) {
        ItemIndexError(index);
    }
    return ToTRect(r);
}

int TCustomListBox::ItemHeight() {
    if (style_ == lbStandard && HandleAllocated()) return int(SendMessageW(Handle(), LB_GETITEMHEIGHT, 0, 0));
    return itemHeight_;
}

void TCustomListBox::SetItemHeight(int value) {
    if (value <= 0 || value == itemHeight_) return;
    itemHeight_ = value;
    if (style_ != lbStandard) RecreateWnd();
}

void TCustomListBox::DrawItem(int index, const TRect& rect, TOwnerDrawState state) {
    if (OnDrawItem) return OnDrawItem(this, index, rect, state);
    canvas_->FillRect(rect);
    if (index < items_->Count()) canvas_->TextOut(rect.Left + 2, rect.Top, items_->Strings(index));
}

void TCustomListBox::MeasureItem(int index, int& height) {
    if (OnMeasureItem) OnMeasureItem(this, index, height);
}

void TCustomListBox::CNCommand(TMessage& m) {
    switch (HIWORD(m.WParam)) {
    case LBN_SELCHANGE: Click(); break;
    case LBN_DBLCLK: DblClick(); break;
    default: break;
    }
}

void TCustomListBox::CNDrawItem(TMessage& m) {
    const auto& draw = *reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam);
    const TOwnerDrawState state = OwnerDrawState(draw.itemState);
    const TRect rect = ToTRect(draw.rcItem);
    canvas_->SetHandle(draw.hDC);
    canvas_->Font()->Assign(Font());
    canvas_->Brush()->Assign(Brush());
    if (state.Contains(odSelected)) {
        canvas_->Brush()->SetColor(clHighlight);
        canvas_->Font()->SetColor(clHighlightText);
    }
    if (int(draw.itemID) >= 0)
        DrawItem(int(draw.itemID), rect, state);
    else
        canvas_->FillRect(rect);
    if (state.Contains(odFocused)) DrawFocusRect(draw.hDC, &draw.rcItem);
    canvas_->SetHandle(nullptr);
    m.Result = TRUE;
}

void TCustomListBox::CNMeasureItem(TMessage& m) {
    auto& measure = *reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
    int height = itemHeight_;
    if (style_ == lbOwnerDrawVariable) MeasureItem(int(measure.itemID), height);
    measure.itemHeight = UINT(height);
    m.Result = TRUE;
}

void TCustomListBox::CNCtlColorListBox(TMessage& m) {
    const HDC dc = reinterpret_cast<HDC>(m.WParam);
    SetTextColor(dc, ColorToRGB(Font()->Color()));
    SetBkColor(dc, ColorToRGB(Brush()->Color()));
    m.Result = reinterpret_cast<LRESULT>(Brush()->Handle());
}

// The window paints every pixel of its rows and below them.
void TCustomListBox::WMEraseBkgnd(TMessage& m) { DefaultHandler(m); }
