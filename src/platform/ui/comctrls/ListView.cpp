#include "platform/ui/comctrls/ListView.h"

#include <algorithm>
#include <string_view>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Format.h"
#include "platform/ui/ControlMessages.h"
#include "platform/ui/WinGeometry.h"
#include "platform/win/User.h"
#include "platform/win/controls/CommonControlConstants.h"

RTL_PUBLISHED(TListColumn, c) {
    c.Property("Caption", &TListColumn::Caption, &TListColumn::SetCaption);
    c.Property("Width", &TListColumn::Width, &TListColumn::SetWidth).Default(50);
    c.Property("Alignment", &TListColumn::Alignment, &TListColumn::SetAlignment).Default(taLeftJustify);
}

RTL_PUBLISHED_NONE(TListColumns);
RTL_PUBLISHED_NONE(TListItem);
RTL_PUBLISHED_NONE(TListItems);

RTL_PUBLISHED(TCustomListView, c) {
    c.Property("Columns", &TCustomListView::Columns);
    c.Property("ViewStyle", &TCustomListView::ViewStyle, &TCustomListView::SetViewStyle).Default(vsReport);
    c.Property("MultiSelect", &TCustomListView::MultiSelect, &TCustomListView::SetMultiSelect).Default(false);
    c.Property("RowSelect", &TCustomListView::RowSelect, &TCustomListView::SetRowSelect).Default(false);
    c.Property("ReadOnly", &TCustomListView::ReadOnly, &TCustomListView::SetReadOnly).Default(false);
    c.Property("ColumnClick", &TCustomListView::ColumnClick, &TCustomListView::SetColumnClick).Default(true);
    c.Property("HideSelection", &TCustomListView::HideSelection, &TCustomListView::SetHideSelection).Default(true);
    c.Property("SmallImages", &TCustomListView::SmallImages, &TCustomListView::SetSmallImages);
    c.Property("SortType", &TCustomListView::SortType, &TCustomListView::SetSortType).Default(stNone);
    c.Property("OnColumnClick", &TCustomListView::OnColumnClick, &TCustomListView::OnColumnClick);
    c.Property("OnCompare", &TCustomListView::OnCompare, &TCustomListView::OnCompare);
    c.Property("OnSelectItem", &TCustomListView::OnSelectItem, &TCustomListView::OnSelectItem);
}

RTL_PUBLISHED_NONE(TListView);

UI_MESSAGE_MAP(TCustomListView, t) { t.On<&TCustomListView::CNNotify>(CN_NOTIFY); }

namespace {

int ColumnFormat(TAlignment alignment) {
    switch (alignment) {
    case taRightJustify: return LVCFMT_RIGHT;
    case taCenter: return LVCFMT_CENTER;
    default: return LVCFMT_LEFT;
    }
}

LVCOLUMNW ColumnRecord(const String& caption, int width, TAlignment alignment) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.pszText = const_cast<LPWSTR>(caption.c_str());
    column.cx = width;
    column.fmt = ColumnFormat(alignment);
    return column;
}

} // namespace

// --- Columns -------------------------------------------------------------------------------

TListColumn::TListColumn(TCollection* collection) : TCollectionItem(collection) {}

TCustomListView* TListColumn::ListView() const {
    return Collection() ? static_cast<TListColumns*>(Collection())->Owner() : nullptr;
}

void TListColumn::SetCaption(const String& value) {
    if (caption_ == value) return;
    caption_ = value;
    Changed(false);
}

int TListColumn::Width() const {
    TCustomListView* view = ListView();
    if (view && view->HandleAllocated()) return int(SendMessageW(view->Handle(), LVM_GETCOLUMNWIDTH, WPARAM(Index()), 0));
    return width_;
}

void TListColumn::SetWidth(int value) {
    width_ = value;
    TCustomListView* view = ListView();
    if (view && view->HandleAllocated())
        SendMessageW(view->Handle(), LVM_SETCOLUMNWIDTH, WPARAM(Index()), MAKELPARAM(value, 0));
}

void TListColumn::SetAlignment(TAlignment value) {
    if (alignment_ == value) return;
    alignment_ = value;
    Changed(false);
}

TListColumns::TListColumns(TCustomListView* owner) : TCollection(TListColumn::StaticClass()), owner_(owner) {}

TPersistent* TListColumns::GetOwner() const { return owner_; }

void TListColumns::Update(TCollectionItem*) { owner_->UpdateColumns(); }

// --- Items ---------------------------------------------------------------------------------

TListItem::TListItem(TListItems* owner) : owner_(owner), subItems_(std::make_unique<TStringList>()) {
    subItems_->OnChange = [this](TObject*) { UpdateWindow(); };
}

TListItem::~TListItem() = default;

TCustomListView* TListItem::ListView() const { return owner_->Owner(); }

void TListItem::SetCaption(const String& value) {
    caption_ = value;
    UpdateWindow();
    TCustomListView* view = ListView();
    if (view->sortType_ == stText || view->sortType_ == stBoth) view->PlaceSorted(this);
}

void TListItem::SetData(void* value) {
    data_ = value;
    TCustomListView* view = ListView();
    if (view->sortType_ == stData || view->sortType_ == stBoth) view->PlaceSorted(this);
}

void TListItem::SetImageIndex(int value) {
    imageIndex_ = value;
    UpdateWindow();
}

void TListItem::UpdateWindow() const {
    TCustomListView* view = ListView();
    if (!view->HandleAllocated()) return;
    const HWND w = view->Handle();
    const int index = Index();
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = index;
    item.pszText = const_cast<LPWSTR>(caption_.c_str());
    item.iImage = imageIndex_;
    SendMessageW(w, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    const int columns = std::max(view->Columns()->Count() - 1, subItems_->Count());
    for (int i = 0; i < columns; ++i) {
        const String text = i < subItems_->Count() ? subItems_->Strings(i) : String();
        item.iSubItem = i + 1;
        item.pszText = const_cast<LPWSTR>(text.c_str());
        SendMessageW(w, LVM_SETITEMTEXTW, WPARAM(index), reinterpret_cast<LPARAM>(&item));
    }
}

bool TListItem::State(UINT bit) const {
    TCustomListView* view = ListView();
    if (!view->HandleAllocated()) return keptState_ & bit;
    return SendMessageW(view->Handle(), LVM_GETITEMSTATE, WPARAM(Index()), LPARAM(bit)) != 0;
}

void TListItem::SetState(UINT bit, bool value) {
    TCustomListView* view = ListView();
    if (!view->HandleAllocated()) {
        keptState_ = value ? keptState_ | bit : keptState_ & ~bit;
        return;
    }
    LVITEMW item{};
    item.stateMask = bit;
    item.state = value ? bit : 0;
    SendMessageW(view->Handle(), LVM_SETITEMSTATE, WPARAM(Index()), reinterpret_cast<LPARAM>(&item));
}

bool TListItem::Selected() const { return State(LVIS_SELECTED); }
void TListItem::SetSelected(bool value) { SetState(LVIS_SELECTED, value); }
bool TListItem::Focused() const { return State(LVIS_FOCUSED); }
void TListItem::SetFocused(bool value) { SetState(LVIS_FOCUSED, value); }
void TListItem::Delete() { owner_->Delete(Index()); }

void TListItem::MakeVisible(bool partialOk) {
    TCustomListView* view = ListView();
    if (view->HandleAllocated()) SendMessageW(view->Handle(), LVM_ENSUREVISIBLE, WPARAM(Index()), partialOk);
}

TRect TListItem::DisplayRect() const {
    RECT r{LVIR_BOUNDS, 0, 0, 0};
    TCustomListView* view = ListView();
    if (!view->HandleAllocated() || !SendMessageW(view->Handle(), LVM_GETITEMRECT, WPARAM(Index()), reinterpret_cast<LPARAM>(&r)))
        return TRect{};
    return ToTRect(r);
}

TListItems::TListItems(TCustomListView* owner) : owner_(owner) {}

TListItems::~TListItems() = default;

TListItem* TListItems::Item(int index) const {
    if (index < 0 || index >= Count()) throw EListError(Format(u"List index out of bounds (%d)", {index}));
    return items_[size_t(index)].get();
}

int TListItems::IndexOf(const TListItem* item) const {
    return item && item->owner_ == this ? item->index_ : -1;
}

void TListItems::Renumber(int first) {
    for (int i = first; i < Count(); ++i) items_[size_t(i)]->index_ = i;
}

TListItem* TListItems::Insert(int index) {
    if (index < 0 || index > Count()) throw EListError(Format(u"List index out of bounds (%d)", {index}));
    items_.insert(items_.begin() + index, std::make_unique<TListItem>(this));
    Renumber(index);
    AddToWindow(index);
    return items_[size_t(index)].get();
}

void TListItems::AddToWindow(int index) const {
    if (!owner_->HandleAllocated()) return;
    TListItem* added = items_[size_t(index)].get();
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
    item.iItem = index;
    item.pszText = const_cast<LPWSTR>(added->caption_.c_str());
    item.iImage = added->imageIndex_;
    item.lParam = reinterpret_cast<LPARAM>(added);
    item.state = added->keptState_;
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(owner_->Handle(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    if (added->subItems_->Count() > 0) added->UpdateWindow();
}

void TListItems::Delete(int index) {
    Item(index);
    if (owner_->HandleAllocated()) SendMessageW(owner_->Handle(), LVM_DELETEITEM, WPARAM(index), 0);
    items_.erase(items_.begin() + index);
    Renumber(index);
}

void TListItems::Clear() {
    if (owner_->HandleAllocated()) SendMessageW(owner_->Handle(), LVM_DELETEALLITEMS, 0, 0);
    items_.clear();
}

void TListItems::BeginUpdate() {
    if (updateCount_++ == 0 && owner_->HandleAllocated()) SendMessageW(owner_->Handle(), WM_SETREDRAW, FALSE, 0);
}

void TListItems::EndUpdate() {
    if (updateCount_ == 0 || --updateCount_ > 0 || !owner_->HandleAllocated()) return;
    SendMessageW(owner_->Handle(), WM_SETREDRAW, TRUE, 0);
    owner_->Invalidate();
}

// --- The control ---------------------------------------------------------------------------

TCustomListView::TCustomListView(TComponent* owner)
    : TWinControl(owner), columns_(std::make_unique<TListColumns>(this)), items_(std::make_unique<TListItems>(this)) {
    SetControlStyle({csDoubleClicks, csOpaque});
    SetBounds(Left(), Top(), 250, 150);
    SetTabStop(true);
    SetParentColor(false);
    SetColor(clWindow);
}

TCustomListView::~TCustomListView() = default;

void TCustomListView::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    CreateSubClass(params, u"SysListView32");
    params.Style |= LVS_REPORT | WS_TABSTOP;
    if (!multiSelect_) params.Style |= LVS_SINGLESEL;
    if (!hideSelection_) params.Style |= LVS_SHOWSELALWAYS;
    if (!columnClick_) params.Style |= LVS_NOSORTHEADER;
    params.ExStyle |= WS_EX_CLIENTEDGE;
}

// The kept columns, items and their state go into the new window.
void TCustomListView::CreateWnd() {
    TWinControl::CreateWnd();
    const HWND w = Handle();
    restoring_ = true;
    SendMessageW(w, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, rowSelect_ ? LVS_EX_FULLROWSELECT : 0);
    UpdateImages();
    for (int i = 0; i < columns_->Count(); ++i) {
        TListColumn* c = columns_->Items(i);
        LVCOLUMNW column = ColumnRecord(c->caption_, c->width_, c->alignment_);
        SendMessageW(w, LVM_INSERTCOLUMNW, WPARAM(i), reinterpret_cast<LPARAM>(&column));
    }
    SendMessageW(w, WM_SETREDRAW, FALSE, 0);
    for (int i = 0; i < items_->Count(); ++i) items_->AddToWindow(i);
    SendMessageW(w, WM_SETREDRAW, TRUE, 0);
    const int page = std::max(int(SendMessageW(w, LVM_GETCOUNTPERPAGE, 0, 0)), 1);
    if (keptTop_ > 0 && keptTop_ < items_->Count())
        SendMessageW(w, LVM_ENSUREVISIBLE, WPARAM(std::min(keptTop_ + page - 1, items_->Count() - 1)), FALSE);
    restoring_ = false;
}

void TCustomListView::DestroyWnd() {
    const HWND w = Handle();
    for (int i = 0; i < columns_->Count(); ++i)
        columns_->Items(i)->width_ = int(SendMessageW(w, LVM_GETCOLUMNWIDTH, WPARAM(i), 0));
    for (int i = 0; i < items_->Count(); ++i)
        items_->Item(i)->keptState_ = UINT(SendMessageW(w, LVM_GETITEMSTATE, WPARAM(i), LVIS_SELECTED | LVIS_FOCUSED));
    keptTop_ = int(SendMessageW(w, LVM_GETTOPINDEX, 0, 0));
    // The window's items go without events; the kept ones stay.
    restoring_ = true;
    SendMessageW(w, LVM_DELETEALLITEMS, 0, 0);
    restoring_ = false;
    TWinControl::DestroyWnd();
}

void TCustomListView::UpdateColumns() {
    if (!HandleAllocated()) return;
    const HWND w = Handle();
    const HWND header = reinterpret_cast<HWND>(SendMessageW(w, LVM_GETHEADER, 0, 0));
    int shown = int(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    for (; shown > columns_->Count(); --shown) SendMessageW(w, LVM_DELETECOLUMN, WPARAM(shown - 1), 0);
    for (int i = 0; i < columns_->Count(); ++i) {
        TListColumn* c = columns_->Items(i);
        LVCOLUMNW column = ColumnRecord(c->caption_, c->width_, c->alignment_);
        if (i < shown) {
            column.mask &= ~LVCF_WIDTH; // the window's width may come from a divider drag
            SendMessageW(w, LVM_SETCOLUMNW, WPARAM(i), reinterpret_cast<LPARAM>(&column));
        } else {
            SendMessageW(w, LVM_INSERTCOLUMNW, WPARAM(i), reinterpret_cast<LPARAM>(&column));
        }
    }
}

void TCustomListView::UpdateImages() {
    if (!HandleAllocated()) return;
    TCustomImageList* images = smallImages_.Get();
    SendMessageW(Handle(), LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images ? images->Handle() : nullptr));
}

void TCustomListView::SetRowSelect(bool value) {
    rowSelect_ = value;
    if (HandleAllocated())
        SendMessageW(Handle(), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, value ? LVS_EX_FULLROWSELECT : 0);
}

TListItem* TCustomListView::FirstWith(UINT state) const {
    if (HandleAllocated()) {
        const HWND w = const_cast<TCustomListView*>(this)->Handle();
        const UINT flags = (state & LVIS_SELECTED ? LVNI_SELECTED : 0) | (state & LVIS_FOCUSED ? LVNI_FOCUSED : 0);
        const int found = int(SendMessageW(w, LVM_GETNEXTITEM, WPARAM(-1), LPARAM(flags)));
        return found >= 0 ? items_->Item(found) : nullptr;
    }
    for (int i = 0; i < items_->Count(); ++i)
        if (items_->Item(i)->keptState_ & state) return items_->Item(i);
    return nullptr;
}

TListItem* TCustomListView::Selected() const { return FirstWith(LVIS_SELECTED); }

void TCustomListView::SetSelected(TListItem* value) {
    for (int i = 0; i < items_->Count(); ++i)
        if (items_->Item(i) != value && items_->Item(i)->Selected()) items_->Item(i)->SetSelected(false);
    if (value) value->SetSelected(true);
}

TListItem* TCustomListView::ItemFocused() const { return FirstWith(LVIS_FOCUSED); }

void TCustomListView::SetItemFocused(TListItem* value) {
    if (TListItem* old = ItemFocused(); old && old != value) old->SetFocused(false);
    if (value) value->SetFocused(true);
}

int TCustomListView::SelCount() const {
    int n = 0;
    for (int i = 0; i < items_->Count(); ++i) n += items_->Item(i)->Selected();
    return n;
}

TListItem* TCustomListView::TopItem() const {
    if (!HandleAllocated() || items_->Count() == 0) return nullptr;
    return items_->Item(int(SendMessageW(const_cast<TCustomListView*>(this)->Handle(), LVM_GETTOPINDEX, 0, 0)));
}

TListItem* TCustomListView::GetItemAt(int x, int y) const {
    if (!HandleAllocated()) return nullptr;
    LVHITTESTINFO hit{{x, y}, 0, -1, 0};
    const int index = int(SendMessageW(const_cast<TCustomListView*>(this)->Handle(), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    return index >= 0 && index < items_->Count() ? items_->Item(index) : nullptr;
}

void TCustomListView::SetSortType(TSortType value) {
    if (sortType_ == value) return;
    sortType_ = value;
    if (value != stNone) AlphaSort();
}

int TCustomListView::CompareItems(TListItem* a, TListItem* b, int data) {
    int result = 0;
    if (OnCompare) {
        OnCompare(this, a, b, data, result);
        return result;
    }
    if (sortType_ == stData) return a->Data() < b->Data() ? -1 : a->Data() > b->Data() ? 1 : 0;
    return AnsiCompareText(a->Caption(), b->Caption());
}

bool TCustomListView::AlphaSort() {
    if (OnCompare || sortType_ == stData)
        Reorder([this](TListItem* a, TListItem* b) { return CompareItems(a, b, 0) < 0; });
    else
        SortByCaption();
    return true;
}

bool TCustomListView::CustomSort(TLVCompare compare, LPARAM sortParam) {
    if (!compare) return AlphaSort();
    Reorder([&](TListItem* a, TListItem* b) {
        return compare(reinterpret_cast<LPARAM>(a), reinterpret_cast<LPARAM>(b), sortParam) < 0;
    });
    return true;
}

template <class TLess>
void TCustomListView::Reorder(TLess less) {
    auto& items = items_->items_;
    std::stable_sort(items.begin(), items.end(),
                     [&](const std::unique_ptr<TListItem>& a, const std::unique_ptr<TListItem>& b) {
                         return less(a.get(), b.get());
                     });
    std::vector<int> places(items.size());
    for (size_t i = 0; i < items.size(); ++i) places[size_t(items[i]->index_)] = int(i);
    ItemsReordered(places);
}

// The captions are folded once into one block of text: comparing then reads
// neighbouring memory instead of following every item to its own caption.
void TCustomListView::SortByCaption() {
    auto& items = items_->items_;
    struct TKey {
        size_t start;
        size_t length;
        size_t place;
    };
    std::u16string folded;
    std::vector<TKey> keys;
    keys.reserve(items.size());
    for (size_t i = 0; i < items.size(); ++i) {
        const String& caption = items[i]->caption_;
        keys.push_back({folded.size(), caption.size(), i});
        for (char16_t c : caption) folded.push_back(CharLower(c));
    }
    const std::u16string_view text(folded);
    std::stable_sort(keys.begin(), keys.end(), [&](const TKey& a, const TKey& b) {
        return text.substr(a.start, a.length) < text.substr(b.start, b.length);
    });
    std::vector<std::unique_ptr<TListItem>> sorted;
    std::vector<int> places(items.size());
    sorted.reserve(items.size());
    for (const TKey& key : keys) {
        places[key.place] = int(sorted.size());
        sorted.push_back(std::move(items[key.place]));
    }
    items = std::move(sorted);
    ItemsReordered(places);
}

// The window's item moves by going and coming again with its state, without events.
void TCustomListView::PlaceSorted(TListItem* item) {
    auto& items = items_->items_;
    const int from = item->index_;
    std::unique_ptr<TListItem> owned = std::move(items[size_t(from)]);
    items.erase(items.begin() + from);
    const auto less = [this](const std::unique_ptr<TListItem>& a, const std::unique_ptr<TListItem>& b) {
        return CompareItems(a.get(), b.get(), 0) < 0;
    };
    // A change the sort type does not watch (data under stText, say) may have left the others out of order.
    if (!std::is_sorted(items.begin(), items.end(), less)) {
        items.insert(items.begin() + from, std::move(owned));
        AlphaSort();
        return;
    }
    const auto at = std::upper_bound(items.begin(), items.end(), owned, less);
    const int to = int(at - items.begin());
    items.insert(at, std::move(owned));
    items_->Renumber(std::min(from, to));
    if (to == from || !HandleAllocated()) return;
    const HWND w = Handle();
    item->keptState_ = UINT(SendMessageW(w, LVM_GETITEMSTATE, WPARAM(from), LVIS_SELECTED | LVIS_FOCUSED));
    restoring_ = true;
    SendMessageW(w, LVM_DELETEITEM, WPARAM(from), 0);
    items_->AddToWindow(to);
    restoring_ = false;
}

// The window sorts by the places the kept items took, so its state travels with them.
void TCustomListView::ItemsReordered(const std::vector<int>& places) {
    items_->Renumber(0);
    if (!HandleAllocated()) return;
    const PFNLVCOMPARE byPlace = [](LPARAM a, LPARAM b, LPARAM sortParam) {
        const auto& places = *reinterpret_cast<const std::vector<int>*>(sortParam);
        return places[size_t(a)] - places[size_t(b)];
    };
    SendMessageW(Handle(), LVM_SORTITEMSEX, reinterpret_cast<WPARAM>(&places), reinterpret_cast<LPARAM>(byPlace));
}

void TCustomListView::ColumnClicked(TListColumn* column) {
    if (OnColumnClick) OnColumnClick(this, column);
}

void TCustomListView::CNNotify(TMessage& m) {
    const auto& hdr = *reinterpret_cast<const NMHDR*>(m.LParam);
    switch (hdr.code) {
    case LVN_COLUMNCLICK: {
        const auto& nm = reinterpret_cast<const NMLISTVIEW&>(hdr);
        if (nm.iSubItem >= 0 && nm.iSubItem < columns_->Count()) ColumnClicked(columns_->Items(nm.iSubItem));
        return;
    }
    case LVN_ITEMCHANGED: {
        const auto& nm = reinterpret_cast<const NMLISTVIEW&>(hdr);
        if (restoring_ || !(nm.uChanged & LVIF_STATE) || !((nm.uOldState ^ nm.uNewState) & LVIS_SELECTED)) return;
        if (OnSelectItem)
            OnSelectItem(this, reinterpret_cast<TListItem*>(nm.lParam), (nm.uNewState & LVIS_SELECTED) != 0);
        return;
    }
    case NM_CLICK: Click(); return;
    case NM_DBLCLK: DblClick(); return;
    default: return;
    }
}
