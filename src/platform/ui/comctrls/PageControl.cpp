#include "platform/ui/comctrls/PageControl.h"

#include <algorithm>

#include "platform/ui/ControlMessages.h"
#include "platform/ui/graphics/ImageList.h"
#include "platform/win/User.h"
#include "platform/win/controls/CommonControlConstants.h"

RTL_PUBLISHED(TTabSheet, c) {
    c.Property("ImageIndex", &TTabSheet::ImageIndex, &TTabSheet::SetImageIndex).Default(-1);
    c.Property("PageIndex", &TTabSheet::PageIndex, &TTabSheet::SetPageIndex).Stored(false);
    c.Property("TabVisible", &TTabSheet::TabVisible, &TTabSheet::SetTabVisible).Default(true);
}

RTL_PUBLISHED(TPageControl, c) {
    c.Property("ActivePage", &TPageControl::ActivePage, &TPageControl::SetActivePage);
    c.Property("Images", &TPageControl::Images, &TPageControl::SetImages);
    c.Property("OnChange", &TPageControl::OnChange, &TPageControl::OnChange);
    c.Property("OnChanging", &TPageControl::OnChanging, &TPageControl::OnChanging);
}

// --- TTabSheet ---------------------------------------------------------------------------

UI_MESSAGE_MAP(TTabSheet, t) { t.On<&TTabSheet::CMTextChanged>(CM_TEXTCHANGED); }

TTabSheet::TTabSheet(TComponent* owner) : TWinControl(owner) {
    SetControlStyle({csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks});
    visible_ = false;
    SetAlign(TAlign::alClient);
}

TTabSheet::~TTabSheet() { SetPageControl(nullptr); }

void TTabSheet::SetPageControl(TPageControl* value) {
    if (pageControl_ == value) return;
    if (pageControl_) pageControl_->RemovePage(this);
    SetParent(value);
    if (value) value->InsertPage(this);
}

int TTabSheet::PageIndex() const {
    if (!pageControl_) return -1;
    const auto& pages = pageControl_->pages_;
    return int(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::SetPageIndex(int value) {
    if (pageControl_) pageControl_->MovePage(this, value);
}

int TTabSheet::TabIndex() const {
    if (!tabVisible_ || !pageControl_) return -1;
    int index = 0;
    for (TTabSheet* page : pageControl_->pages_) {
        if (page == this) return index;
        index += page->tabVisible_;
    }
    return -1;
}

void TTabSheet::SetTabVisible(bool value) {
    if (tabVisible_ == value) return;
    tabVisible_ = value;
    if (pageControl_) pageControl_->UpdateTabs();
}

void TTabSheet::SetImageIndex(int value) {
    if (imageIndex_ == value) return;
    imageIndex_ = value;
    if (pageControl_) pageControl_->UpdateTabs();
}

void TTabSheet::CMTextChanged(TMessage& m) {
    InheritedMessage(m);
    if (pageControl_) pageControl_->UpdateTabs();
}

// --- TPageControl ------------------------------------------------------------------------

UI_MESSAGE_MAP(TPageControl, t) {
    t.On<&TPageControl::CNNotify>(CN_NOTIFY);
    t.On<&TPageControl::CMDialogKey>(CM_DIALOGKEY);
}

TPageControl::TPageControl(TComponent* owner) : TWinControl(owner) {
    SetControlStyle({csDoubleClicks, csOpaque});
    SetBounds(0, 0, 289, 193);
    SetTabStop(true);
}

// The sheets outlive their page control only as children freed with it.
TPageControl::~TPageControl() {
    for (TTabSheet* page : pages_) page->pageControl_ = nullptr;
    pages_.clear();
    activePage_ = nullptr;
}

void TPageControl::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    CreateSubClass(params, u"SysTabControl32");
    params.Style |= TCS_TABS | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
}

void TPageControl::CreateWnd() {
    TWinControl::CreateWnd();
    if (images_) SendMessageW(Handle(), TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_->Handle()));
    UpdateTabs();
    Realign();
}

void TPageControl::AdjustClientRect(TRect& rect) {
    TWinControl::AdjustClientRect(rect);
    if (!HandleAllocated()) return;
    RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
    SendMessageW(Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    rect = TRect{r.left, r.top, r.right, r.bottom};
}

void TPageControl::Notification(TComponent* component, TOperation operation) {
    TWinControl::Notification(component, operation);
    if (operation == opRemove && component == images_) SetImages(nullptr);
}

void TPageControl::SetImages(TCustomImageList* value) {
    if (images_ == value) return;
    if (images_) images_->RemoveFreeNotification(this);
    images_ = value;
    if (images_) images_->FreeNotification(this);
    if (HandleAllocated())
        SendMessageW(Handle(), TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_ ? images_->Handle() : nullptr));
}

void TPageControl::InsertPage(TTabSheet* page) {
    pages_.push_back(page);
    page->pageControl_ = this;
    UpdateTabs();
}

void TPageControl::RemovePage(TTabSheet* page) {
    if (page == activePage_) {
        TTabSheet* next = FindNextPage(page, true, false);
        SetActivePage(next != page ? next : nullptr);
    }
    pages_.erase(std::remove(pages_.begin(), pages_.end(), page), pages_.end());
    page->pageControl_ = nullptr;
    UpdateTabs();
}

void TPageControl::MovePage(TTabSheet* page, int index) {
    const int from = page->PageIndex();
    index = std::clamp(index, 0, PageCount() - 1);
    if (from < 0 || from == index) return;
    pages_.erase(pages_.begin() + from);
    pages_.insert(pages_.begin() + index, page);
    UpdateTabs();
}

void TPageControl::SetActivePage(TTabSheet* page) {
    if (page && page->pageControl_ != this) return;
    if (page == activePage_) return;
    TTabSheet* previous = activePage_;
    activePage_ = page;
    if (page) {
        page->BringToFront();
        page->SetVisible(true);
    }
    if (previous) previous->SetVisible(false);
    if (HandleAllocated()) SendMessageW(Handle(), TCM_SETCURSEL, WPARAM(page ? page->TabIndex() : -1), 0);
}

void TPageControl::SetActivePageIndex(int index) {
    SetActivePage(index >= 0 && index < PageCount() ? pages_[size_t(index)] : nullptr);
}

void TPageControl::UpdateTabs() {
    if (!HandleAllocated()) return;
    const HWND w = Handle();
    SendMessageW(w, WM_SETREDRAW, FALSE, 0);
    SendMessageW(w, TCM_DELETEALLITEMS, 0, 0);
    int tab = 0;
    for (TTabSheet* page : pages_) {
        if (!page->TabVisible()) continue;
        const String caption = page->Caption();
        TCITEMW item{};
        item.mask = TCIF_TEXT | TCIF_IMAGE;
        item.pszText = const_cast<LPWSTR>(caption.c_str());
        item.iImage = page->ImageIndex();
        SendMessageW(w, TCM_INSERTITEMW, WPARAM(tab++), reinterpret_cast<LPARAM>(&item));
    }
    SendMessageW(w, TCM_SETCURSEL, WPARAM(activePage_ ? activePage_->TabIndex() : -1), 0);
    SendMessageW(w, WM_SETREDRAW, TRUE, 0);
    Realign();
    InvalidateRect(w, nullptr, TRUE);
}

TTabSheet* TPageControl::PageForTab(int tabIndex) const {
    for (TTabSheet* page : pages_)
        if (page->TabVisible() && tabIndex-- == 0) return page;
    return nullptr;
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* current, bool goForward, bool checkTabVisible) const {
    const int count = PageCount();
    if (count == 0) return nullptr;
    int start = current ? current->PageIndex() : -1;
    if (start < 0) start = goForward ? count - 1 : 0;
    int i = start;
    do {
        i = (i + (goForward ? 1 : count - 1)) % count;
        if (!checkTabVisible || pages_[size_t(i)]->TabVisible()) return pages_[size_t(i)];
    } while (i != start);
    return nullptr;
}

bool TPageControl::CanChange() {
    bool allow = true;
    if (OnChanging) OnChanging(this, allow);
    return allow;
}

void TPageControl::Change() {
    if (OnChange) OnChange(this);
}

void TPageControl::SelectNextPage(bool goForward, bool checkTabVisible) {
    TTabSheet* next = FindNextPage(activePage_, goForward, checkTabVisible);
    if (!next || next == activePage_ || !CanChange()) return;
    SetActivePage(next);
    Change();
}

void TPageControl::CNNotify(TMessage& m) {
    const auto* header = reinterpret_cast<const NMHDR*>(m.LParam);
    switch (header->code) {
    case TCN_SELCHANGING: m.Result = !CanChange(); return;
    case TCN_SELCHANGE:
        SetActivePage(PageForTab(int(SendMessageW(Handle(), TCM_GETCURSEL, 0, 0))));
        Change();
        return;
    }
    InheritedMessage(m);
}

// Ctrl+Tab and Ctrl+Shift+Tab turn the pages while the focus is on the control or inside it.
void TPageControl::CMDialogKey(TMessage& m) {
    if (m.WParam == VK_TAB && GetKeyState(VK_CONTROL) < 0 && HandleAllocated() &&
        (GetFocus() == Handle() || IsChild(Handle(), GetFocus()))) {
        SelectNextPage(GetKeyState(VK_SHIFT) >= 0);
        m.Result = 1;
        return;
    }
    InheritedMessage(m);
}
