#include "platform/ui/Menus.h"

#include <algorithm>

#include "platform/rtl/Conversions.h"
#include "platform/ui/Actions.h"
#include "platform/ui/Application.h"
#include "platform/ui/ControlMessages.h"
#include "platform/ui/ControlStrings.h"
#include "platform/ui/UtilityWindow.h"
#include "platform/ui/graphics/Bitmap.h"
#include "platform/ui/graphics/ImageList.h"
#include "platform/win/User.h"
#include "platform/win/menus/Menus.h"

RTL_PUBLISHED(TMenuItem, c) {
    c.Property("Action", &TMenuItem::Action, &TMenuItem::SetAction);
    c.Property("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption);
    c.Property("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked).Default(false);
    c.Property("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled).Default(true);
    c.Property("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible).Default(true);
    c.Property("Default", &TMenuItem::Default, &TMenuItem::SetDefault).Default(false);
    c.Property("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem).Default(false);
    c.Property("GroupIndex", &TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex).Default(0);
    c.Property("Break", &TMenuItem::Break, &TMenuItem::SetBreak).Default(mbNone);
    c.Property("ShortCut", &TMenuItem::ShortCut, &TMenuItem::SetShortCut).Default(0);
    c.Property("ImageIndex", &TMenuItem::ImageIndex, &TMenuItem::SetImageIndex).Default(-1);
    c.Property("SubMenuImages", &TMenuItem::SubMenuImages, &TMenuItem::SetSubMenuImages);
    c.Property("Hint", &TMenuItem::Hint, &TMenuItem::SetHint);
    c.Property("AutoCheck", &TMenuItem::AutoCheck, &TMenuItem::SetAutoCheck).Default(false);
    c.Property("OnClick", &TMenuItem::OnClick, &TMenuItem::OnClick);
}

RTL_PUBLISHED(TMenu, c) { c.Property("Images", &TMenu::Images, &TMenu::SetImages); }
RTL_PUBLISHED_NONE(TMainMenu);

RTL_PUBLISHED(TPopupMenu, c) {
    c.Property("Alignment", &TPopupMenu::Alignment, &TPopupMenu::SetAlignment).Default(paLeft);
    c.Property("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup).Default(true);
    c.Property("TrackButton", &TPopupMenu::TrackButton, &TPopupMenu::SetTrackButton).Default(tbRightButton);
    c.Property("OnPopup", &TPopupMenu::OnPopup, &TPopupMenu::OnPopup);
}

// Each property of the item follows the action's while it still equals it.
class TMenuActionLink final : public TActionLink {
public:
    explicit TMenuActionLink(TMenuItem* item) : TActionLink(item), item_(item) {}

    bool IsAutoCheckLinked() const override { return Linked() && item_->AutoCheck() == Custom()->AutoCheck(); }
    bool IsCaptionLinked() const override { return Linked() && item_->Caption() == Custom()->Caption(); }
    bool IsCheckedLinked() const override { return Linked() && item_->Checked() == Custom()->Checked(); }
    bool IsEnabledLinked() const override { return Linked() && item_->Enabled() == Custom()->Enabled(); }
    bool IsGroupIndexLinked() const override { return Linked() && item_->GroupIndex() == Custom()->GroupIndex(); }
    bool IsHintLinked() const override { return Linked() && item_->Hint() == Custom()->Hint(); }
    bool IsImageIndexLinked() const override { return Linked() && item_->ImageIndex() == Custom()->ImageIndex(); }
    bool IsShortCutLinked() const override { return Linked() && item_->ShortCut() == Custom()->ShortCut(); }
    bool IsVisibleLinked() const override { return Linked() && item_->Visible() == Custom()->Visible(); }

    void SetAutoCheck(bool value) override {
        if (IsAutoCheckLinked()) item_->SetAutoCheck(value);
    }
    void SetCaption(const String& value) override {
        if (IsCaptionLinked()) item_->SetCaption(value);
    }
    void SetChecked(bool value) override {
        if (IsCheckedLinked()) item_->SetChecked(value);
    }
    void SetEnabled(bool value) override {
        if (IsEnabledLinked()) item_->SetEnabled(value);
    }
    void SetGroupIndex(int value) override {
        if (IsGroupIndexLinked()) item_->SetGroupIndex(uint8_t(value));
    }
    void SetHint(const String& value) override {
        if (IsHintLinked()) item_->SetHint(value);
    }
    void SetImageIndex(int value) override {
        if (IsImageIndexLinked()) item_->SetImageIndex(value);
    }
    void SetShortCut(TShortCut value) override {
        if (IsShortCutLinked()) item_->SetShortCut(value);
    }
    void SetVisible(bool value) override {
        if (IsVisibleLinked()) item_->SetVisible(value);
    }

protected:
    void ActionDestroying() override { item_->SetAction(nullptr); }

private:
    bool Linked() const { return Custom() != nullptr; }
    TCustomAction* Custom() const { return CustomAction(); }
    TMenuItem* item_;
};

namespace {

// Command numbers are never 0 (no choice) and fit WM_COMMAND's low word.
UINT NewCommand() {
    static UINT next = 0;
    next = next % 0xFFFF + 1;
    return next;
}

TMenuItem* FindIn(TMenuItem* item, UINT_PTR value, TFindItemKind kind) {
    for (int i = 0; i < item->Count(); ++i) {
        TMenuItem* child = item->Items(i);
        const bool found = kind == fkCommand    ? child->Command() == value
                           : kind == fkHandle   ? child->HandleAllocated() && UINT_PTR(child->Handle()) == value
                                                : child->ShortCut() != 0 && child->ShortCut() == value;
        if (found) return child;
        if (TMenuItem* deeper = FindIn(child, value, kind)) return deeper;
    }
    return nullptr;
}

} // namespace

// --- TMenuItem ---------------------------------------------------------------------------

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner), command_(NewCommand()) {}

TMenuItem::~TMenuItem() {
    Destroying();
    actionLink_.reset();
    if (parent_) parent_->Remove(this);
    // The handle keeps no sub-menu of ours while they go.
    if (handle_)
        while (GetMenuItemCount(handle_) > 0) RemoveMenu(handle_, 0, MF_BYPOSITION);
    while (!items_.empty()) delete items_.back();
    if (handle_) DestroyMenu(handle_);
}

TMenu* TMenuItem::GetParentMenu() const {
    const TMenuItem* root = this;
    while (root->parent_) root = root->parent_;
    return root->menu_;
}

void TMenuItem::SetCaption(const String& value) {
    if (caption_ == value) return;
    caption_ = value;
    Changed();
}

void TMenuItem::SetChecked(bool value) {
    if (checked_ == value) return;
    checked_ = value;
    if (value && radioItem_) TurnSiblingsOff();
    Changed();
}

void TMenuItem::TurnSiblingsOff() {
    if (!parent_) return;
    for (TMenuItem* sibling : parent_->items_)
        if (sibling != this && sibling->radioItem_ && sibling->groupIndex_ == groupIndex_) sibling->SetChecked(false);
}

void TMenuItem::SetEnabled(bool value) {
    if (enabled_ == value) return;
    enabled_ = value;
    Changed();
}

void TMenuItem::SetVisible(bool value) {
    if (visible_ == value) return;
    visible_ = value;
    Changed();
}

void TMenuItem::SetDefault(bool value) {
    if (default_ == value) return;
    if (value && parent_)
        for (TMenuItem* sibling : parent_->items_) sibling->default_ = false;
    default_ = value;
    Changed();
}

void TMenuItem::SetRadioItem(bool value) {
    if (radioItem_ == value) return;
    radioItem_ = value;
    if (checked_ && value) TurnSiblingsOff();
    Changed();
}

void TMenuItem::SetGroupIndex(uint8_t value) {
    if (groupIndex_ == value) return;
    groupIndex_ = value;
    if (checked_ && radioItem_) TurnSiblingsOff();
}

void TMenuItem::SetBreak(TMenuBreak value) {
    if (break_ == value) return;
    break_ = value;
    Changed();
}

void TMenuItem::SetShortCut(TShortCut value) {
    if (shortCut_ == value) return;
    shortCut_ = value;
    Changed();
}

void TMenuItem::SetImageIndex(int value) {
    if (imageIndex_ == value) return;
    imageIndex_ = value;
    Changed();
}

TBitmap* TMenuItem::Bitmap() {
    if (!bitmap_) {
        bitmap_ = std::make_unique<TBitmap>();
        bitmap_->OnChange = [this](TObject*) { Changed(); };
    }
    return bitmap_.get();
}

void TMenuItem::SetBitmap(TBitmap* value) { Bitmap()->Assign(value); }

void TMenuItem::SetSubMenuImages(TCustomImageList* value) { subMenuImages_.Set(value); }

// A new, changed or freed list: the branch's handles take it again.
void TMenuItem::ImagesChanged() {
    if (!ComponentState().Contains(csDestroying)) RebuildHandles();
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
    if (item->parent_) throw EMenuError(LoadResString(SMenuReinserted));
    if (index < 0 || index > Count()) throw EMenuError(LoadResString(SMenuIndexError));
    items_.insert(items_.begin() + index, item);
    item->parent_ = this;
    if (handle_) RebuildHandle();
    if (items_.size() == 1) Changed(); // now a sub-menu in its parent
    else if (TMenu* menu = GetParentMenu()) menu->MenuChanged();
}

void TMenuItem::Delete(int index) {
    if (index < 0 || index >= Count()) throw EMenuError(LoadResString(SMenuIndexError));
    TMenuItem* item = items_[size_t(index)];
    items_.erase(items_.begin() + index);
    item->parent_ = nullptr;
    if (ComponentState().Contains(csDestroying)) return;
    if (handle_) RebuildHandle();
    if (items_.empty()) Changed();
    else if (TMenu* menu = GetParentMenu()) menu->MenuChanged();
}

void TMenuItem::Remove(TMenuItem* item) {
    if (const int index = IndexOf(item); index >= 0) Delete(index);
}

void TMenuItem::Clear() {
    while (!items_.empty()) delete items_.back();
}

TMenuItem* TMenuItem::Items(int index) const {
    if (index < 0 || index >= Count()) throw EMenuError(LoadResString(SMenuIndexError));
    return items_[size_t(index)];
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
    const auto it = std::find(items_.begin(), items_.end(), item);
    return it == items_.end() ? -1 : int(it - items_.begin());
}

int TMenuItem::MenuIndex() const { return parent_ ? parent_->IndexOf(this) : -1; }

void TMenuItem::SetMenuIndex(int value) {
    if (!parent_) return;
    TMenuItem* parent = parent_;
    parent->Delete(MenuIndex());
    parent->Insert(std::clamp(value, 0, parent->Count()), this);
}

void TMenuItem::Click() {
    if (!enabled_) return;
    // A linked action checks itself (AutoCheck), and runs unless the item has its own handler.
    if (autoCheck_ && !actionLink_) SetChecked(!checked_);
    if (OnClick)
        OnClick(this);
    else if (actionLink_)
        actionLink_->Execute(this);
}

// The item and the sub-items about to show bring their actions up to date.
void TMenuItem::InitiateAction() {
    if (actionLink_) actionLink_->Update();
    for (TMenuItem* item : items_)
        if (item->actionLink_) item->actionLink_->Update();
}

// --- Actions -----------------------------------------------------------------------------

TBasicAction* TMenuItem::Action() const { return actionLink_ ? actionLink_->Action() : nullptr; }

void TMenuItem::SetAction(TBasicAction* value) {
    if (!value) {
        actionLink_.reset();
        return;
    }
    if (!actionLink_) actionLink_ = std::make_unique<TMenuActionLink>(this);
    actionLink_->SetAction(value);
    auto* action = dynamic_cast<TCustomAction*>(value);
    if (!action) return;
    // A loading item keeps what it was given; otherwise it takes the action's state.
    const bool keep = value->ComponentState().Contains(csLoading);
    if (!keep || caption_.empty()) SetCaption(action->Caption());
    if (!keep || enabled_) SetEnabled(action->Enabled());
    if (!keep || visible_) SetVisible(action->Visible());
    if (!keep || !checked_) SetChecked(action->Checked());
    if (!keep || imageIndex_ == -1) SetImageIndex(action->ImageIndex());
    if (!keep || shortCut_ == 0) SetShortCut(action->ShortCut());
    if (!keep || hint_.empty()) SetHint(action->Hint());
    if (!keep || groupIndex_ == 0) SetGroupIndex(uint8_t(action->GroupIndex()));
    if (!keep || !autoCheck_) SetAutoCheck(action->AutoCheck());
}

HMENU TMenuItem::Handle() {
    if (!handle_) {
        handle_ = menu_ && !menu_->popup_ ? CreateMenu() : CreatePopupMenu();
        RebuildHandle();
    }
    return handle_;
}

String TMenuItem::EntryText() const {
    const String shortCut = ShortCutToText(shortCut_);
    return shortCut.empty() ? caption_ : caption_ + u"\t" + shortCut;
}

void TMenuItem::AppendEntry(HMENU menu) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_DATA;
    info.wID = command_;
    info.dwItemData = ULONG_PTR(this);
    if (IsLine()) {
        info.fType = MFT_SEPARATOR;
    } else {
        const String text = EntryText();
        info.fMask |= MIIM_STRING | MIIM_IMAGE;
        info.fType = MFT_STRING | (radioItem_ ? MFT_RADIOCHECK : 0);
        info.dwTypeData = const_cast<LPWSTR>(text.c_str());
        info.iImage = imageIndex_;
        if (break_ == mbBreak) info.fType |= MFT_MENUBREAK;
        if (break_ == mbBarBreak) info.fType |= MFT_MENUBARBREAK;
        info.fState = (checked_ ? MFS_CHECKED : 0) | (enabled_ ? 0 : MFS_GRAYED) | (default_ ? MFS_DEFAULT : 0);
        if (!items_.empty()) {
            info.fMask |= MIIM_SUBMENU;
            info.hSubMenu = Handle();
        }
        if (imageIndex_ < 0 && bitmap_ && !bitmap_->Empty()) {
            info.fMask |= MIIM_BITMAP;
            info.hbmpItem = bitmap_->Handle();
        }
        InsertMenuItemW(menu, UINT(GetMenuItemCount(menu)), TRUE, &info);
        return;
    }
    InsertMenuItemW(menu, UINT(GetMenuItemCount(menu)), TRUE, &info);
}

void TMenuItem::RebuildHandle() {
    while (GetMenuItemCount(handle_) > 0) RemoveMenu(handle_, 0, MF_BYPOSITION);
    for (TMenuItem* item : items_)
        if (item->visible_) item->AppendEntry(handle_);
    // The nearest SubMenuImages up the tree, else the menu's Images.
    TCustomImageList* images = nullptr;
    for (const TMenuItem* item = this; item && !images; item = item->parent_) images = item->subMenuImages_.Get();
    if (!images)
        if (const TMenu* menu = GetParentMenu()) images = menu->images_.Get();
    MENUINFO info{};
    info.cbSize = sizeof info;
    info.fMask = MIM_IMAGELIST;
    info.hImageList = images ? images->Handle() : nullptr;
    SetMenuInfo(handle_, &info);
}

void TMenuItem::RebuildHandles() {
    if (handle_) RebuildHandle();
    for (TMenuItem* item : items_) item->RebuildHandles();
}

void TMenuItem::Changed() {
    if (ComponentState().Contains(csDestroying)) return;
    if (parent_ && parent_->handle_) parent_->RebuildHandle();
    if (TMenu* menu = GetParentMenu()) menu->MenuChanged();
}

// --- TMenu ---------------------------------------------------------------------------------

TMenu::TMenu(TComponent* owner, bool popup) : TComponent(owner), items_(new TMenuItem(this)), popup_(popup) {
    items_->menu_ = this;
}

TMenu::~TMenu() {
    // The window lets go of the menu bar before its handle goes.
    if (windowHandle_ && items_->handle_ && GetMenu(windowHandle_) == items_->handle_)
        SetMenu(windowHandle_, nullptr);
}

HMENU TMenu::Handle() { return items_->Handle(); }

void TMenu::SetImages(TCustomImageList* value) { images_.Set(value); }

void TMenu::ImagesChanged() {
    if (ComponentState().Contains(csDestroying)) return;
    items_->RebuildHandles();
    MenuChanged();
}

void TMenu::MenuChanged() {
    if (ComponentState().Contains(csDestroying)) return;
    if (items_->handle_) items_->RebuildHandle();
    if (windowHandle_) SendMessageW(windowHandle_, CM_MENUCHANGED, 0, LPARAM(this));
}

TMenuItem* TMenu::FindItem(UINT_PTR value, TFindItemKind kind) const {
    if (kind == fkHandle && items_->handle_ && UINT_PTR(items_->handle_) == value) return items_;
    return FindIn(items_, value, kind);
}

bool TMenu::DispatchCommand(UINT command) {
    TMenuItem* item = FindItem(command, fkCommand);
    if (!item || item == items_) return false;
    item->Click();
    return true;
}

bool TMenu::IsShortCut(const TMessage& message) {
    const TShortCut shortCut = ShortCutFromMessage(message);
    TMenuItem* item = FindItem(shortCut, fkShortCut);
    if (!item) return false;
    // The item and the sub-menus on the way are brought up to date as if they opened.
    for (TMenuItem* up = item; up; up = up->Parent()) up->InitiateAction();
    for (TMenuItem* up = item; up; up = up->Parent())
        if (!up->Enabled() || !up->Visible()) return false;
    item->Click();
    return true;
}

bool TMenu::DispatchPopup(HMENU submenu) {
    TMenuItem* item = FindItem(UINT_PTR(submenu), fkHandle);
    if (!item) return false;
    item->InitiateAction();
    return true;
}

void MenuInitPopup(TMenu* menu, const TMessage& message) {
    if (menu && HIWORD(message.LParam) == 0) menu->DispatchPopup(reinterpret_cast<HMENU>(message.WParam));
}

void MenuSelect(TMenu* menu, const TMessage& message) {
    const UINT id = LOWORD(message.WParam), flags = HIWORD(message.WParam);
    TMenuItem* item = nullptr;
    if (menu && flags != 0xFFFF && !(flags & MF_SYSMENU))
        item = (flags & MF_POPUP) ? menu->FindItem(UINT_PTR(GetSubMenu(reinterpret_cast<HMENU>(message.LParam), int(id))),
                                                   fkHandle)
                                  : menu->FindItem(id, fkCommand);
    Application().SetHint(item ? item->Hint() : String());
}

// --- TPopupMenu -----------------------------------------------------------------------------

TPopupMenu::TPopupMenu(TComponent* owner) : TMenu(owner, true) {}

TPopupMenu::~TPopupMenu() { DeallocateHWnd(window_); }

void TPopupMenu::Popup(int x, int y) {
    if (OnPopup) OnPopup(this);
    // The items are brought up to date by WM_INITMENUPOPUP as the menu opens.
    if (!window_)
        window_ = AllocateHWnd([this](UINT message, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
            const TMessage m{message, wParam, lParam, 0};
            if (message == WM_INITMENUPOPUP) MenuInitPopup(this, m);
            else if (message == WM_MENUSELECT) MenuSelect(this, m);
            else return std::nullopt;
            return 0;
        });
    static constexpr UINT kAlign[] = {TPM_LEFTALIGN, TPM_RIGHTALIGN, TPM_CENTERALIGN};
    const UINT flags = kAlign[int(alignment_)] | (trackButton_ == tbRightButton ? TPM_RIGHTBUTTON : TPM_LEFTBUTTON) |
                       TPM_RETURNCMD;
    if (const UINT command = UINT(TrackPopupMenu(Handle(), flags, x, y, 0, window_, nullptr)); command != 0)
        DispatchCommand(command);
}
